#pragma once

// Version text shown in the window title and in the information dialog: the
// project's version, as CMake's project() gives it to every program.
#ifndef VT520_VERSION
#error "VT520_VERSION comes from the build (project version in CMakeLists.txt)"
#endif
inline constexpr char Vt520VersionText[] = VT520_VERSION;
