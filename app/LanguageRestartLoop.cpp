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

int runLanguageRestartLoop(const QString &systemLocaleName,
                           const std::function<void(Vt410_bootloader &)> &onWindowShown)
{
    int result = 0;
    do {
        // Only the base name is given, so the catalogue is looked up in the
        // current directory with the toolkit's fallback (vt410_pl_PL, then
        // vt410_pl, then vt410). A missing catalogue leaves the English texts.
        auto translator = std::make_unique<QTranslator>();
        (void)translator->load(catalogueBaseName(result, systemLocaleName));
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
