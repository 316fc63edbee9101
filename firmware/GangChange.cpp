#include "firmware/GangChange.h"

#include "firmware/FailureText.h"
#include "usb/USBVT350.h"

#include <QMutexLocker>
#include <QThread>

#include <algorithm>
#include <memory>
#include <vector>

bool GangChange::Result::allSucceeded() const
{
    return fileStatus == UpgradeFile::Status::Ok && !units.isEmpty()
           && std::all_of(units.begin(), units.end(), [](const UnitResult &unit) { return unit.succeeded(); });
}

GangChange::GangChange(Callbacks callbacks, Clock &clock)
    : callbacks(std::move(callbacks))
    , clock(clock)
{
}

GangChange::Outcome GangChange::outcomeOf(FirmwareChange::Outcome outcome)
{
    switch (outcome) {
    case FirmwareChange::Outcome::Changed:
        return Outcome::Changed;
    case FirmwareChange::Outcome::NotBack:
        return Outcome::NotBack;
    case FirmwareChange::Outcome::StayedInBootloader:
        return Outcome::StayedInBootloader;
    default:
        return Outcome::Failed;
    }
}

void GangChange::say(const QString &portPath, const QString &line)
{
    QMutexLocker locker(&callbackLock);
    if (callbacks.say)
        callbacks.say(portPath, line);
}

void GangChange::percent(const QString &portPath, int value)
{
    QMutexLocker locker(&callbackLock);
    if (callbacks.percent)
        callbacks.percent(portPath, value);
}

GangChange::Result GangChange::run(const QString &fileName, const QStringList &portPaths)
{
    // One reading for every unit, and no device command for a refused file.
    return run(fileName, UpgradeFile::read(fileName), portPaths);
}

GangChange::Result GangChange::run(const QString &fileName, const UpgradeFile::Contents &contents,
                                   const QStringList &portPaths)
{
    Result result;
    result.fileStatus = contents.status;
    if (contents.status != UpgradeFile::Status::Ok) {
        say(QString(), fileName);
        say(QString(), FailureText::upgradeFileRefusal(contents.status, fileName));
        say(QString(), FailureText::verdict(FirmwareChange::Outcome::FileRefused));
        return result;
    }

    // Two threads on one unit would fight over it: each port once.
    QStringList ports = portPaths;
    ports.removeDuplicates();
    // Each thread writes its own element; none is added once they run.
    result.units.resize(ports.size());
    std::vector<std::unique_ptr<QThread>> threads;
    for (int i = 0; i < ports.size(); ++i) {
        UnitResult *unit = &result.units[i];
        const QString portPath = ports.at(i);
        threads.emplace_back(QThread::create(
            [this, unit, portPath, &fileName, &contents] { *unit = changeUnit(fileName, contents, portPath); }));
    }
    for (auto &thread : threads)
        thread->start();
    for (auto &thread : threads)
        thread->wait();
    return result;
}

GangChange::UnitResult GangChange::changeUnit(const QString &fileName, const UpgradeFile::Contents &contents,
                                              const QString &portPath)
{
    const qint64 start = clock.now();
    UnitResult unit;
    unit.portPath = portPath;

    // The device object lives and dies on this thread.
    USBVT350 usb;
    usb.pinToPort(portPath);

    FirmwareChange::Callbacks unitCallbacks;
    unitCallbacks.say = [this, portPath](const QString &line) { say(portPath, line); };
    unitCallbacks.percent = [this, portPath](int value) { percent(portPath, value); };
    if (callbacks.step)
        unitCallbacks.step = [this, portPath](const QString &step) { callbacks.step(portPath, step); };
    FirmwareChange change(usb, unitCallbacks, clock);
    RetriedChange::RetryNotice retrying;
    if (callbacks.retrying)
        retrying = [this, portPath](int failedAttempt, const RetriedChange::Attempt &failed) {
            QMutexLocker locker(&callbackLock);
            callbacks.retrying(portPath, failedAttempt, failed);
        };
    RetriedChange retried(change, clock, retryCount, retrying);
    retried.run(fileName, contents);
    unit.attempts = retried.attempts();
    unit.serialBefore = retried.serialBefore();
    unit.serialAfter = change.serialAfterStart();
    unit.outcome = outcomeOf(retried.outcome());
    unit.change = retried.outcome();
    unit.verdict = retried.verdict();
    unit.firmwareComplete = change.firmwareComplete();
    unit.milliseconds = clock.now() - start;
    return unit;
}
