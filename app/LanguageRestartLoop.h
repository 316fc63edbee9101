#pragma once

#include <QString>

#include <functional>

class Vt410_bootloader;

// Exit codes with which the Language menu ends a pass of the event loop.
constexpr int RestartInPolish = -11;
constexpr int RestartInEnglish = -12;

// Base name of the catalogue for a pass, given the previous pass's result
// (0 for the first pass) and the system locale name such as "pl_PL".
QString catalogueBaseName(int previousResult, const QString &systemLocaleName);

// Runs the window until it is closed: each pass installs a translator, builds
// the main window, shows it and runs the event loop; the language restart
// codes start another pass. Returns the exit code of the last pass.
// onWindowShown, if set, is called with each new window once it is shown.
int runLanguageRestartLoop(const QString &systemLocaleName,
                           const std::function<void(Vt410_bootloader &)> &onWindowShown = {});
