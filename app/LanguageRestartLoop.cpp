#include "app/LanguageRestartLoop.h"

#include "app/Vt410_bootloader.h"
#include "app/WindowPlacement.h"
#include "app/WindowWork.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QSettings>
#include <QTranslator>

#include <memory>
#include <optional>

QString catalogueBaseName(int previousResult, const QString &systemLocaleName)
{
    if (previousResult == RestartInPolish)
        return QStringLiteral("vt410_pl");
    if (previousResult == RestartInEnglish)
        return QStringLiteral("vt410_en");
    return QStringLiteral("vt410_") + systemLocaleName;
}

QString installedCatalogueDirectory()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../share/vt520-config/translations");
}

bool loadCatalogue(QTranslator &translator, const QString &baseName, const QString &fallbackDirectory)
{
    // Only the base name first, so the current directory is searched as it
    // always was; an installed program finds its catalogues beside it.
    return translator.load(baseName) || translator.load(baseName, fallbackDirectory);
}

bool loadToolkitCatalogue(QTranslator &translator, const QTranslator &ours)
{
    // Only beside a catalogue of ours: an English window keeps English dialogs
    // also on a system whose language the toolkit knows and we do not.
    if (ours.isEmpty() || ours.language().isEmpty())
        return false;
    return translator.load(QStringLiteral("qt_") + ours.language(), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

int runLanguageRestartLoop(const QString &systemLocaleName,
                           const std::function<void(Vt410_bootloader &)> &onWindowShown)
{
    int result = 0;
    std::optional<WindowWork> carried;
    // Each window takes the place, size and tab of the one before it, the
    // first one those of the last run.
    QSettings settings;
    WindowPlacement placement = WindowPlacement::load(settings);
    do {
        // A missing catalogue is not reported: the English texts stay.
        auto translator = std::make_unique<QTranslator>();
        (void)loadCatalogue(*translator, catalogueBaseName(result, systemLocaleName), installedCatalogueDirectory());
        auto toolkitTranslator = std::make_unique<QTranslator>();
        (void)loadToolkitCatalogue(*toolkitTranslator, *translator);
        QCoreApplication::installTranslator(toolkitTranslator.get());
        QCoreApplication::installTranslator(translator.get());
        {
            Vt410_bootloader window;
            window.showLanguage(translator->isEmpty() ? QString() : translator->language());
            const QScreen *screen = QGuiApplication::primaryScreen();
            placement.applyTo(window, screen ? screen->availableGeometry() : QRect());
            if (carried)
                window.resumeWork(*carried);
            window.show();
            if (onWindowShown)
                onWindowShown(window);
            result = QCoreApplication::exec();
            placement = WindowPlacement::of(window);
            placement.save(settings);
            if (result == RestartInPolish || result == RestartInEnglish)
                carried = window.work();
        }
        // The translators uninstall themselves when they go, after the window.
    } while (result == RestartInPolish || result == RestartInEnglish);
    return result;
}
