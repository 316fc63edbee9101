#pragma once

#include <QString>

#include <functional>

class QTranslator;
class Vt410_bootloader;

// Exit codes with which the Language menu ends a pass of the event loop.
constexpr int RestartInPolish = -11;
constexpr int RestartInEnglish = -12;

// Base name of the catalogue for a pass, given the previous pass's result
// (0 for the first pass) and the system locale name such as "pl_PL".
QString catalogueBaseName(int previousResult, const QString &systemLocaleName);

// Folder of the installed catalogues, found from the program's own folder:
// <prefix>/bin/../share/vt520-config/translations.
QString installedCatalogueDirectory();

// Loads the catalogue `baseName` from the current directory, or, when the
// current directory has none for it, from `fallbackDirectory`. Each lookup
// uses the toolkit's name fallback (vt410_pl_PL, vt410_pl, vt410). False when
// neither place has one.
bool loadCatalogue(QTranslator &translator, const QString &baseName, const QString &fallbackDirectory);

// Loads the toolkit's own catalogue (qt_<language>, from the toolkit's
// translations folder) for the language of the loaded catalogue `ours`, so
// that standard buttons and dialogs speak it too. False, with nothing loaded,
// when ours is empty or the toolkit has none for that language.
bool loadToolkitCatalogue(QTranslator &translator, const QTranslator &ours);

// Runs the window until it is closed: each pass installs the translators,
// builds the main window, shows it and runs the event loop; the language
// restart codes start another pass, whose window takes over the operator's
// work from the one before, and its place, size and shown tab. The first
// window takes those saved in the program's settings by the last run; the
// last one saves them there. Returns the exit code of the last pass.
// onWindowShown, if set, is called with each new window once it is shown.
int runLanguageRestartLoop(const QString &systemLocaleName,
                           const std::function<void(Vt410_bootloader &)> &onWindowShown = {});
