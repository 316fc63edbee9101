#include "firmware/RetriedChange.h"

#include "firmware/FailureText.h"

#include <utility>

RetriedChange::RetriedChange(FirmwareChange &change, Clock &clock, int retries, RetryNotice retrying)
    : change(change)
    , clock(clock)
    , retries(retries)
    , retrying(std::move(retrying))
{
}

bool RetriedChange::retryMayMend(FirmwareChange::Outcome outcome, Failure::Kind failure)
{
    // Another program's claim, a missing permission and a stop request stay
    // as they are however often the change runs.
    if (failure == Failure::Kind::AccessDenied || failure == Failure::Kind::Busy || failure == Failure::Kind::Stopped)
        return false;
    switch (outcome) {
    case FirmwareChange::Outcome::NoDevice:
    case FirmwareChange::Outcome::NotIdentified:
    case FirmwareChange::Outcome::BootloaderNotReached:
    case FirmwareChange::Outcome::PageWriteFailed:
    case FirmwareChange::Outcome::ExternalFlashFailed:
    case FirmwareChange::Outcome::StoppedAnswering:
    case FirmwareChange::Outcome::ExternalFlashDiffers:
    case FirmwareChange::Outcome::PagesDiffer:
    case FirmwareChange::Outcome::NotBack:
    case FirmwareChange::Outcome::StayedInBootloader:
        return true;
    case FirmwareChange::Outcome::NotRun:
    case FirmwareChange::Outcome::FileRefused:
    case FirmwareChange::Outcome::Stopped:
    case FirmwareChange::Outcome::StoppedUntouched:
    case FirmwareChange::Outcome::Changed:
        break;
    }
    return false;
}

FirmwareChange::Outcome RetriedChange::outcome() const
{
    if (change.outcome() == FirmwareChange::Outcome::StoppedUntouched && done.size() > 1)
        return FirmwareChange::Outcome::Stopped;
    // A stop before the next run leaves a unit that a run left in its
    // bootloader there, as a stop in the middle of the change does.
    if (stoppedBetweenRuns) {
        switch (change.outcome()) {
        case FirmwareChange::Outcome::PageWriteFailed:
        case FirmwareChange::Outcome::ExternalFlashFailed:
        case FirmwareChange::Outcome::ExternalFlashDiffers:
        case FirmwareChange::Outcome::StayedInBootloader:
            return FirmwareChange::Outcome::Stopped;
        default:
            break;
        }
    }
    return change.outcome();
}

QString RetriedChange::verdict() const
{
    return outcome() == change.outcome() ? change.verdict() : FailureText::verdict(outcome());
}

bool RetriedChange::run(const QString &fileName, const UpgradeFile::Contents &contents)
{
    done.clear();
    firstSerial.clear();
    stoppedBetweenRuns = false;
    for (;;) {
        const qint64 start = clock.now();
        const bool changed = change.run(fileName, contents);
        done.append({change.outcome(), change.verdict(), clock.now() - start, change.firmwareComplete()});
        if (done.size() == 1)
            firstSerial = change.identifiedSerial();
        if (changed || done.size() > retries || !retryMayMend(change.outcome(), change.failure().kind))
            return changed;
        // A stop request keeps the unit in the state this run left it in.
        stoppedBetweenRuns = clock.stopRequested();
        if (stoppedBetweenRuns)
            return false;
        if (retrying)
            retrying(int(done.size()), done.last());
        clock.sleep(PauseBeforeRetry);
        stoppedBetweenRuns = clock.stopRequested();
        if (stoppedBetweenRuns)
            return false;
    }
}
