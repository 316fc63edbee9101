#pragma once

#include "firmware/UpgradeFile.h"
#include "usb/Clock.h"
#include "usb/InterruptibleClock.h"
#include "usb/DeviceMode.h"
#include "usb/Failure.h"
#include "usb/USBVT350.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <functional>
#include <optional>

// The firmware change: brings the device, in either of its modes, to the
// firmware of an upgrade file. Resets a device that runs its application
// into the bootloader, writes and reads back the application region page by
// page, writes and verifies the external flash region, starts the new
// application and waits for the unit to come back at its port running it.
// Only then is the change done: every run ends with one verdict line that
// says so, or says what failed and what to do. Runs synchronously on the
// calling thread; reports only through the callbacks and never asks the
// user anything.
class FirmwareChange
{
    Q_DECLARE_TR_FUNCTIONS(Upgrader)

public:
    struct Callbacks {
        std::function<void(const QString &)> say; // one line for the log pane
        std::function<void(int)> percent;         // application flash progress, 0..100
        // The sequence's steps as they happen, for a record of the run:
        // "identified", "reset", "bootloader", "application-write-start",
        // "application-write-end", "external-flash-write-start",
        // "external-flash-write-end", "external-flash-verify-start",
        // "external-flash-verify-end", "start", "back".
        std::function<void(const QString &step)> step;
    };

    // How a run ended, from the unit's end state.
    enum class Outcome {
        NotRun,               // no file name
        FileRefused,          // nothing was sent to the unit
        NoDevice,             // no unit answered; nothing written
        NotIdentified,        // the unit could not be identified; nothing written
        BootloaderNotReached, // reset, but the bootloader did not answer; nothing written
        PageWriteFailed,      // the unit is in its bootloader with part of the firmware
        ExternalFlashFailed,  // the unit refused the external flash transfers
        StoppedAnswering,     // the unit left the bus or fell silent during the external flash
        ExternalFlashDiffers, // the external flash read back different
        PagesDiffer,          // written through, but a page read back different
        NotBack,              // written and started, but not seen again at its port
        StayedInBootloader,   // written and started, but back in its bootloader
        Stopped,              // stopped on request at a safe point: the unit is in its bootloader
        StoppedUntouched,     // stopped on request before the reset and the first write: the unit is as found
        Changed,              // back at its port, running its application, with its serial
    };

    // Waits of the sequence, in milliseconds, and its connection attempts.
    static constexpr int ConnectAttempts = 4;
    static constexpr int ConnectRetryWait = 200;
    static constexpr int AfterResetWait = 2000;
    static constexpr int AfterDisconnectWait = 500;
    static constexpr int BootloaderAttempts = 10;
    static constexpr int BootloaderRetryWait = 200;
    static constexpr int AfterStartWait = 1000;
    // After that wait: the tries to see the unit again at its port, running
    // its application (a unit takes about a second to re-enumerate).
    static constexpr int ComeBackAttempts = 25;
    static constexpr int ComeBackRetryWait = 200;
    // A firmware page whose write or read-back failed is tried this often in
    // all, each try after the unit answers again (a cable glitch, a replug).
    static constexpr int PageAttempts = 5;

    static constexpr quint32 ExternalFlashAddress = 0;

    // Missing callbacks do nothing. Every wait is a sleep on the clock, and
    // its stop request is asked at each safe point: before the reset into
    // the bootloader (StoppedUntouched), then between pages, between external flash chunks, between the
    // external flash write and its check, and before the start; true stops
    // the change there (Stopped).
    FirmwareChange(USBVT350 &usb, Callbacks callbacks, Clock &clock = Clock::standard());
    FirmwareChange(const FirmwareChange &) = delete;
    FirmwareChange &operator=(const FirmwareChange &) = delete;

    // The whole sequence for one upgrade file. An empty name ends at once.
    // The file is read and checked whole before the first device command.
    // True only when the new firmware was written, every page and the
    // external flash read back equal, and the unit came back at its port
    // running its application with the serial it had (Outcome::Changed).
    bool run(const QString &fileName);
    // The same sequence with a file that the caller has read and checked
    // already (several devices changed from one reading); says the name
    // first as run(fileName) does.
    bool run(const QString &fileName, const UpgradeFile::Contents &contents);

    // Starts the application of a unit in its bootloader (request 4) and
    // looks for it at its port as a change does after its writes: Changed
    // when it came back running its application with its serial,
    // StayedInBootloader or NotBack when not. NoDevice when no unit
    // answered; NotIdentified, with nothing sent, when the unit is not in
    // its bootloader (identifiedSerial() tells its mode).
    Outcome startApplication();

    // How the unit compares with an upgrade file, from compare().
    struct Comparison {
        enum class Result {
            Identical,     // every application page and the external flash region read back as in the file
            PageDiffers,   // address: the first application page that differs
            ChunkDiffers,  // address: the first external flash read chunk (offset in the flash) that differs
            ReadFailed,    // a read-back failed; nothing is known of the rest
            NoDevice,      // no unit answered
            NotIdentified, // the serial string fits neither mode
            Stopped,       // stopped on request between two reads
        };
        Result result = Result::NoDevice;
        quint32 address = 0;
        DeviceMode mode = DeviceMode::Unknown; // the mode the unit was found in, and is left in
    };
    // Reads the unit back as a change verifies its writes, with the same
    // page and external flash read-backs, and compares it with the file
    // (checked already, Status::Ok), writing nothing: no page, no flash,
    // no reset. Both reads answer in either mode, so the unit stays in the
    // mode it was found in. Stops at the first difference; asks the stop
    // hook between pages and between external flash chunks.
    Comparison compare(const UpgradeFile::Contents &contents);

    // The serial string that the device showed when it was identified, in
    // the mode it was in then; empty when the change ended before.
    QByteArray identifiedSerial() const { return serialAtStart; }
    // The serial string the unit showed when it came back after the start;
    // empty when it was not seen again.
    QByteArray serialAfterStart() const { return serialAfter; }
    // The port path of the unit that was written; empty before.
    QString portPath() const { return unitPort; }
    Outcome outcome() const { return ended; }
    // Whether every page and the external flash were written and read back
    // equal: a unit stopped after that needs only its start.
    bool firmwareComplete() const { return complete; }
    // The transport failure that ended the last run (no unit answered, the
    // unit did not come back in its bootloader, an external flash transfer
    // failed); Kind::None when the run ended otherwise.
    const Failure &failure() const { return endingFailure; }

    // The last line of a run: the outcome in plain words, with what to do
    // (FailureText::verdict words any outcome).
    QString verdict() const;

private:
    Outcome runChecked(const QString &fileName, const UpgradeFile::Contents &contents);
    Outcome writeAndStart(const UpgradeFile::Contents &contents);
    Outcome startAndAwait();
    bool connectFirstTime();
    bool identify(DeviceMode *mode);
    bool resetIntoBootloader();
    bool writeApplication(const QByteArray &region);
    enum class PageCheck { Same, Differs, ReadFailed };
    PageCheck checkPage(quint32 address, const unsigned char *plain);
    // Writes one page and reads it back; after a transfer that failed, waits
    // for the unit to come back and tries the page again.
    PageCheck writePage(quint32 address, const unsigned char *plain, bool *written);
    int readBackExternalFlash(QByteArray *plain, Failure *failure);
    std::optional<Outcome> writeAndVerifyExternalFlash(const QByteArray &region);

    QByteArray serialString();
    static QByteArray serialString(UsbDevice &device);
    void mark(const char *step);
    void say(const QString &text);
    void forgetLastRun();
    // Whether the caller asked to stop; remembered once asked.
    bool stopNow();
    void wait(int milliseconds) const;

    USBVT350 &usb;
    Callbacks callbacks;
    Clock &clock;
    // What the transfers wait on when they recover a unit: the same time,
    // and the change's own stop request, remembered once asked.
    InterruptibleClock recoveryClock;
    QByteArray serialAtStart;
    QByteArray serialAfter;
    QString unitPort;
    bool everyPageVerified = true;
    bool stopped = false;
    bool complete = false;
    bool startRequestFailed = false;
    // The device object's connections when the writes began: a unit reached
    // afresh since then may have restarted on its own (a power cut).
    quint64 connectionsAtWrite = 0;
    Outcome ended = Outcome::NotRun;
    Failure endingFailure;
};
