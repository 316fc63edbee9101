#pragma once

#include "firmware/UpgradeFile.h"
#include "usb/DeviceMode.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <functional>

class USBVT350;

// The firmware change: brings the device, in either of its modes, to the
// firmware of an upgrade file. Resets a device that runs its application
// into the bootloader, writes and reads back the application region page by
// page, writes and verifies the external flash region, and starts the new
// application. Runs synchronously on the calling thread; reports only through
// the callbacks and never asks the user anything.
class FirmwareChange
{
    Q_DECLARE_TR_FUNCTIONS(Upgrader)

public:
    struct Callbacks {
        std::function<void(const QString &)> say;  // one line for the log pane
        std::function<void(int)> percent;          // application flash progress, 0..100
        std::function<void(int)> sleep;            // waits, in milliseconds
    };

    // Waits of the sequence, in milliseconds, and its connection attempts.
    static constexpr int ConnectAttempts = 4;
    static constexpr int ConnectRetryWait = 200;
    static constexpr int AfterResetWait = 2000;
    static constexpr int AfterDisconnectWait = 500;
    static constexpr int BootloaderAttempts = 10;
    static constexpr int BootloaderRetryWait = 200;
    static constexpr int AfterStartWait = 1000;

    static constexpr quint32 VersionBlockAddress = 0x08003FD0;
    static constexpr int VersionBlockSize = 32;
    static constexpr quint32 ExternalFlashAddress = 0;

    // Missing callbacks do nothing; a missing sleep waits with QThread::msleep.
    FirmwareChange(USBVT350 &usb, Callbacks callbacks);

    // The whole sequence for one upgrade file. An empty name ends at once.
    // The file is read and checked whole before the first device command.
    // True when the new firmware was written, every page and the external
    // flash read back equal, and the device was told to start it (whether it
    // came back running it is for the caller to see).
    bool run(const QString &fileName);
    // The same sequence with a file that the caller has read and checked
    // already (several devices changed from one reading); says the name
    // first as run(fileName) does.
    bool run(const QString &fileName, const UpgradeFile::Contents &contents);

    // The serial string that the device showed when it was identified, in
    // the mode it was in then; empty when the change ended before.
    QByteArray identifiedSerial() const { return serialAtStart; }

private:
    static bool isBootloaderSerial(const QByteArray &serial);

    bool runChecked(const UpgradeFile::Contents &contents);
    bool connectFirstTime();
    bool identify(DeviceMode *mode);
    bool resetIntoBootloader();
    bool writeApplication(const QByteArray &region);
    bool writeAndVerifyExternalFlash(const QByteArray &region);

    QByteArray serialString();
    void say(const QString &text);
    void wait(int milliseconds);

    USBVT350 &usb;
    Callbacks callbacks;
    QByteArray serialAtStart;
    bool everyPageVerified = true;
};
