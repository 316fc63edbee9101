#pragma once

#include <QMutex>
#include <QString>
#include <QThread>

#include <functional>

class USBVT350;

// The worker thread of the firmware change. The window hands it the upgrade
// file name and starts it; run() performs the change (FirmwareChange) on the
// window's device object and reports through the two signals.
class Upgrader : public QThread
{
    Q_OBJECT

public:
    explicit Upgrader(USBVT350 *usb);
    ~Upgrader() override;

    // How the sequence waits; QThread::msleep unless replaced. Set it while
    // the thread is not running (tests pass the emulator's clock here).
    void setSleep(std::function<void(int milliseconds)> sleep);
    // The clock the sequence measures its patience with (a steady one
    // unless replaced); set it, like the sleep, while the thread is idle.
    void setClock(std::function<qint64()> now);

signals:
    void sendText(QString s);
    void sendPercent(int percent);

public slots:
    // Takes effect at the next start; a running change keeps its file.
    void slotSetFileName(QString fileName);

protected:
    void run() override;

private:
    USBVT350 *usb = nullptr;
    QString fileName;
    // fileName is written on the GUI thread and read by run() on this one.
    QMutex fileNameLock;
    std::function<void(int)> sleep;
    std::function<qint64()> now;
};
