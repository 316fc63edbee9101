#include "app/LanguageRestartLoop.h"
#include "app/QuitSignals.h"
#include "app/Vt410_bootloader.h"

#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <QTimer>

#include <utility>

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
    // Programs and scenes files named on the command line open in the first
    // window, once it is on screen, so that a refusal shows over it.
    QStringList files = app.arguments().mid(1);
    return runLanguageRestartLoop(localeName, [&quitSignals, &files](Vt410_bootloader &window) {
        QObject::connect(&quitSignals, &QuitSignals::quitRequested, &window, &Vt410_bootloader::requestQuit);
        if (!files.isEmpty())
            QTimer::singleShot(0, &window, [&window, toOpen = std::exchange(files, {})] { window.openFiles(toOpen); });
    });
}
