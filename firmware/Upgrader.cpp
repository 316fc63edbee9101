#include "firmware/Upgrader.h"

#include "firmware/FirmwareChange.h"

#include <QDebug>
#include <QMutexLocker>

Upgrader::Upgrader(USBVT350 *usb)
    : QThread(nullptr)
    , usb(usb)
{
    qDebug() << "Upgrader constructor";
}

Upgrader::~Upgrader()
{
    qDebug() << "Upgrader destructor";
    // A QThread must not be destroyed while it runs; the change is never cut
    // short in the middle of a page.
    wait();
}

void Upgrader::setClock(Clock *newClock)
{
    clock = newClock;
}

void Upgrader::slotSetFileName(QString name)
{
    QMutexLocker locker(&fileNameLock);
    fileName = name;
}

void Upgrader::run()
{
    QString name;
    {
        QMutexLocker locker(&fileNameLock);
        name = fileName;
    }
    if (name.isEmpty() || !usb)
        return;

    FirmwareChange::Callbacks callbacks;
    callbacks.say = [this](const QString &text) { emit sendText(text); };
    callbacks.percent = [this](int percent) { emit sendPercent(percent); };
    FirmwareChange(*usb, callbacks, clock ? *clock : Clock::standard()).run(name);
}
