#include "app/LanguageRestartLoop.h"
#include "app/QuitSignals.h"
#include "app/Vt410_bootloader.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char *argv[])
{
    const QString localeName = QLocale::system().name();
    QApplication app(argc, argv);
    // Where the program's settings live (the window's place and size).
    QCoreApplication::setOrganizationName(QStringLiteral("Vt520"));
    QCoreApplication::setApplicationName(QStringLiteral("vt520-config"));
    // A termination from outside goes the way of a close: a running firmware
    // change ends first.
    QuitSignals quitSignals;
    return runLanguageRestartLoop(localeName, [&quitSignals](Vt410_bootloader &window) {
        QObject::connect(&quitSignals, &QuitSignals::quitRequested, &window, &Vt410_bootloader::requestQuit);
    });
}
