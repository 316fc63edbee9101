#include "app/Vt410_bootloader.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {
constexpr int RestartInPolish = -11;
constexpr int RestartInEnglish = -12;

// Base name of the catalogue for a pass, given the previous pass's result.
// Only the base name is passed to the translator, so the lookup happens in the
// current directory with the toolkit's fallback (vt410_pl_PL -> vt410_pl -> vt410).
QString catalogueFor(int previousResult)
{
    if (previousResult == RestartInPolish)
        return QStringLiteral("vt410_pl");
    if (previousResult == RestartInEnglish)
        return QStringLiteral("vt410_en");
    return QStringLiteral("vt410_") + QLocale::system().name();
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int result = 0;
    do {
        auto translator = std::make_unique<QTranslator>();
        (void)translator->load(catalogueFor(result));
        QCoreApplication::installTranslator(translator.get());
        {
            Vt410_bootloader window;
            window.show();
            result = app.exec();
        }
    } while (result == RestartInPolish || result == RestartInEnglish);
    return result;
}
