#pragma once

#include "firmware/FirmwareChange.h"
#include "firmware/UpgradeFile.h"
#include "usb/Clock.h"
#include "usb/Failure.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// A firmware change run again, up to a number of retries, while the way it
// failed is one that another run may mend: a transfer that failed, a unit
// that fell off the bus or did not come back in time, a page or the
// external flash that read back different, a start that did not take.
// Never again after a stop request, a refused file, or a unit that another
// program holds or that this user may not open: another run changes none of
// those. Each run is the whole sequence (FirmwareChange::run), which takes
// the unit in whichever mode the last one left it.
class RetriedChange
{
public:
    struct Attempt {
        FirmwareChange::Outcome outcome = FirmwareChange::Outcome::NotRun;
        QString verdict;
        qint64 milliseconds = 0;
        bool firmwareComplete = false;
    };

    // Before each retry: time for a unit that fell off the bus to be back.
    static constexpr int PauseBeforeRetry = 2000;

    // Called before a retry with the attempt that failed, numbered from 1.
    using RetryNotice = std::function<void(int failedAttempt, const Attempt &failed)>;

    // The change runs on the unit its device object is pinned to; retries
    // is how often a failed run may be repeated (0: run once).
    RetriedChange(FirmwareChange &change, Clock &clock, int retries, RetryNotice retrying = {});

    // True when the last run changed the unit (FirmwareChange::run).
    bool run(const QString &fileName, const UpgradeFile::Contents &contents);

    // Every run, the last one included.
    const QList<Attempt> &attempts() const { return done; }
    // The unit's serial as the first run identified it: as it was found.
    QByteArray serialBefore() const { return firstSerial; }
    // How the last run ended, and its verdict; a stop before the writes of
    // a later run, or between two runs, finds the unit as an earlier run
    // left it, not as it was found, and counts as a stop in the middle of
    // the change where that run left it in its bootloader.
    FirmwareChange::Outcome outcome() const;
    QString verdict() const;

    // Whether another run may mend a change that ended so.
    static bool retryMayMend(FirmwareChange::Outcome outcome, Failure::Kind failure);

private:
    FirmwareChange &change;
    Clock &clock;
    int retries;
    RetryNotice retrying;
    QList<Attempt> done;
    QByteArray firstSerial;
    bool stoppedBetweenRuns = false;
};
