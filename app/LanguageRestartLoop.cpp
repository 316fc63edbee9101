#include "app/LanguageRestartLoop.h"

#include "app/Vt410_bootloader.h"

#include <QCoreApplication>
#include <QTranslator>

#include <memory>

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

int runLanguageRestartLoop(const QString &systemLocaleName,
                           const std::function<void(Vt410_bootloader &)> &onWindowShown)
{
    int result = 0;
    do {
        // A missing catalogue is not reported: the English texts stay.
        auto translator = std::make_unique<QTranslator>();
        (void)loadCatalogue(*translator, catalogueBaseName(result, systemLocaleName),
                            installedCatalogueDirectory());
        QCoreApplication::installTranslator(translator.get());
        {
            Vt410_bootloader window;
            window.show();
            if (onWindowShown)
                onWindowShown(window);
            result = QCoreApplication::exec();
        }
        // The translator uninstalls itself when it goes, after the window.
    } while (result == RestartInPolish || result == RestartInEnglish);
    return result;
}
