#include "app/LanguageRestartLoop.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char *argv[])
{
    const QString localeName = QLocale::system().name();
    QApplication app(argc, argv);
    return runLanguageRestartLoop(localeName);
}
