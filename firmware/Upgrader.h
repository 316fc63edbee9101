#pragma once

#include <QMutex>
#include <QString>
#include <QThread>

class Clock;
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

    // The clock the sequence waits on and measures its patience with; the
    // process's own (Clock::standard) unless given another, which must
    // outlive the runs. Set it while the thread is not running.
    void setClock(Clock *clock);

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
    Clock *clock = nullptr;
};
