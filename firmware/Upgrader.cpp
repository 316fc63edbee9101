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

void Upgrader::setSleep(std::function<void(int)> newSleep)
{
    sleep = std::move(newSleep);
}

void Upgrader::setClock(std::function<qint64()> newNow)
{
    now = std::move(newNow);
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
    callbacks.sleep = sleep;
    callbacks.now = now;
    FirmwareChange(*usb, callbacks).run(name);
}
