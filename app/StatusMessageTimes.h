#pragma once

// How long results stay in the window's status bar: results in words for a
// few seconds, failures longer.
constexpr int ResultMessageMs = 5000;
constexpr int FailureMessageMs = 15000;
