#pragma once

// Version text shown in the window title and in the information dialog.
inline constexpr char Vt520VersionText[] = "1.03";
