#pragma once

#include "firmware/FirmwareChange.h"
#include "firmware/RetriedChange.h"
#include "firmware/UpgradeFile.h"
#include "usb/Clock.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <functional>

// The firmware change of several Vt520s at once, from one upgrade file: the
// file is read and checked once, before any device command; then each unit
// gets the whole firmware change sequence on its own thread, with its own
// device object held to the unit's port path, so that its reconnects after
// the reset into the bootloader and after the start of the application find
// that unit again and never a neighbour. Whether a unit came back running
// its new firmware is the firmware change's own verdict. A unit that fails, is unplugged or
// never comes back affects no other unit.
class GangChange
{
public:
    enum class Outcome {
        Changed,            // written, verified, and back running its application
        Failed,             // the sequence stopped, or a page did not read back equal
        NotBack,            // written and verified, but not seen again after the start
        StayedInBootloader, // written and verified, but came back in its bootloader
    };

    struct UnitResult {
        QString portPath;
        QByteArray serialBefore; // as the change identified it (bootloader form ends in 'b')
        QByteArray serialAfter;  // after the start of the new application; empty if not seen
        Outcome outcome = Outcome::Failed;
        FirmwareChange::Outcome change = FirmwareChange::Outcome::NotRun; // the change's own, in detail
        QString verdict;                                                  // the change's last line
        qint64 milliseconds = 0;                                          // this unit's change, on the clock
        bool firmwareComplete = false;          // FirmwareChange::firmwareComplete(): only its start is left
        QList<RetriedChange::Attempt> attempts; // every run of the change, the last one included
        bool succeeded() const { return outcome == Outcome::Changed; }
    };

    struct Result {
        UpgradeFile::Status fileStatus = UpgradeFile::Status::Ok;
        QList<UnitResult> units; // in the order of the port paths given, each port once
        bool allSucceeded() const;
    };

    // Called from the units' threads, one call at a time: a callback needs
    // no lock of its own and lines of different units never mix.
    struct Callbacks {
        std::function<void(const QString &portPath, const QString &line)> say;
        std::function<void(const QString &portPath, int percent)> percent; // application flash
        // A unit's steps (FirmwareChange::Callbacks::step), from its thread.
        std::function<void(const QString &portPath, const QString &step)> step;
        // Before a unit's change runs again (setRetries), with the run that failed.
        std::function<void(const QString &portPath, int failedAttempt, const RetriedChange::Attempt &failed)> retrying;
    };

    // Every wait of every unit is a sleep on the clock (the units wait side
    // by side), and its stop request is asked at each unit's safe points
    // (FirmwareChange).
    explicit GangChange(Callbacks callbacks, Clock &clock = Clock::standard());

    // How often a unit's failed change runs again where another run may
    // mend it (RetriedChange); 0, the default: once.
    void setRetries(int retries) { retryCount = retries; }

    // Changes every unit named by its port path, all at once, and returns
    // when the last one has finished. A refused file touches no device and
    // leaves units empty; it is said once with an empty port path.
    Result run(const QString &fileName, const QStringList &portPaths);
    // The same with a file that the caller has read and checked already
    // (before it looked for the units), so that it is read only once.
    Result run(const QString &fileName, const UpgradeFile::Contents &contents, const QStringList &portPaths);

    static Outcome outcomeOf(FirmwareChange::Outcome outcome);

private:
    UnitResult changeUnit(const QString &fileName, const UpgradeFile::Contents &contents, const QString &portPath);
    void say(const QString &portPath, const QString &line);
    void percent(const QString &portPath, int value);

    Callbacks callbacks;
    Clock &clock;
    int retryCount = 0;
    QMutex callbackLock; // one callback at a time, whichever unit's thread calls
};
