// upgrade --all, or --device given several times: the firmware change of
// several units at once (GangChange), every line headed by its unit's port
// path, then a summary table.
#include "ctl/Commands.h"

#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/ExitStatus.h"
#include "ctl/InputFile.h"
#include "ctl/Interruption.h"
#include "ctl/ModeWords.h"
#include "ctl/RetryNotice.h"
#include "firmware/FailureText.h"
#include "ctl/UnitLog.h"
#include "ctl/UpgradeReport.h"
#include "firmware/FirmwareChange.h"
#include "firmware/GangChange.h"
#include "firmware/UpgradeFile.h"
#include "usb/InterruptibleClock.h"
#include "usb/USBVT350.h"
#include "usb/Vt520Enumeration.h"

#include <QSet>

#include <algorithm>
#include <utility>

namespace Commands {

namespace {

QString summaryRow(const QString &port, const QString &before, const QString &after, const QString &result,
                   const QString &time)
{
    return port.leftJustified(12) + QLatin1Char(' ') + before.leftJustified(14) + QLatin1Char(' ')
           + after.leftJustified(14) + QLatin1Char(' ') + result.leftJustified(14) + QLatin1Char(' ') + time;
}

QString orDash(const QByteArray &serial)
{
    return serial.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(serial);
}

// Whether the unit at port holds the file's firmware, read back with the
// firmware change's own read-backs (nothing written, no reset); *unit then
// tells it as a unit that needed no change.
bool holdsTheFile(const QString &port, const QString &fileName, const UpgradeFile::Contents &contents, Clock &clock,
                  GangChange::UnitResult *unit)
{
    USBVT350 usb;
    usb.pinToPort(port);
    FirmwareChange change(usb, FirmwareChange::Callbacks(), clock);
    const qint64 start = clock.now();
    const FirmwareChange::Comparison comparison = change.compare(contents);
    if (comparison.result != FirmwareChange::Comparison::Result::Identical)
        return false;
    unit->portPath = port;
    unit->serialBefore = change.identifiedSerial();
    unit->serialAfter = change.identifiedSerial();
    unit->outcome = GangChange::Outcome::Changed; // nothing left to do: it counts as done
    unit->verdict = QStringLiteral("holds the firmware of %1 already; nothing written").arg(fileName);
    unit->milliseconds = clock.now() - start;
    return true;
}

// The units of a run stopped before their changes began, each as found,
// never opened.
QList<GangChange::UnitResult> untouchedUnits(const QList<Vt520Enumeration::Entry> &chosen, const QStringList &ports)
{
    QList<GangChange::UnitResult> units;
    for (const QString &port : ports) {
        const auto found = std::find_if(chosen.begin(), chosen.end(),
                                        [&](const Vt520Enumeration::Entry &device) { return device.portPath == port; });
        GangChange::UnitResult unit;
        unit.portPath = port;
        if (found != chosen.end())
            unit.serialBefore = found->serialString;
        unit.change = FirmwareChange::Outcome::StoppedUntouched;
        unit.verdict = FailureText::verdict(unit.change);
        units.append(unit);
    }
    return units;
}

// Where a unit stands once a signal stopped the run, and what to do.
QString stateAtStop(const GangChange::UnitResult &unit, const QSet<QString> &identical)
{
    const QString port = unit.portPath;
    if (identical.contains(port))
        return QStringLiteral("unit %1 held the file's firmware already; nothing was written").arg(port);
    if (unit.succeeded())
        return QStringLiteral("unit %1 finished its change before the stop").arg(port);
    switch (unit.change) {
    case FirmwareChange::Outcome::StoppedUntouched:
        return QStringLiteral("unit %1 was not changed: it is still in %2").arg(port, modeWords(unit.serialBefore));
    case FirmwareChange::Outcome::Stopped:
        if (unit.firmwareComplete)
            return QStringLiteral("unit %1 holds the new firmware and is in its bootloader: run vt520ctl start "
                                  "--device %1")
                .arg(port);
        break;
    default:
        break;
    }
    return QStringLiteral("unit %1 did not finish its change and may be in its bootloader: run the upgrade again")
        .arg(port);
}

} // namespace

int upgradeMany(const CtlOptions &options, Console &log)
{
    const QString fileName = options.arguments[0];
    Console console(options.quiet);
    console.setJson(options.json);
    GangChange::Callbacks callbacks;
    callbacks.say = [&](const QString &port, const QString &text) {
        for (const QString &line : text.split(QLatin1Char('\n')))
            console.line(port.isEmpty() ? line : port + QStringLiteral(": ") + line);
    };
    callbacks.step = [](const QString &port, const QString &step) { UnitLog::instance().record(port, step); };
    callbacks.retrying = [&](const QString &port, int failedAttempt, const RetriedChange::Attempt &failed) {
        RetryNotice::record(port, failedAttempt, failed);
        console.line(port + QStringLiteral(": ") + RetryNotice::line(failedAttempt, options.retries, failed));
    };
    InterruptibleClock clock(Clock::standard(), Interruption::requested);
    GangChange gang(callbacks, clock);
    gang.setRetries(options.retries);

    // The whole file is read and checked before the first device command; a
    // refused file gets the window's lines (its name, then the reason).
    UpgradeFile::Contents contents;
    const auto showRefusal = [&](const UpgradeFile::Contents &refused) { gang.run(fileName, refused, {}); };
    if (const int refused = InputFile::readUpgrade(fileName, log, showRefusal, &contents))
        return refused;

    QList<Vt520Enumeration::Entry> chosen;
    if (const int refused = UpgradeReport::chooseUnits(options, log, &chosen))
        return refused;
    QStringList ports;
    for (const Vt520Enumeration::Entry &device : std::as_const(chosen))
        ports.append(device.portPath);
    // --if-different: the units that hold the file already, read back as
    // verify does, are left as they are.
    QSet<QString> identical;
    QList<GangChange::UnitResult> heldAlready;
    if (options.ifDifferent) {
        for (const QString &port : std::as_const(ports)) {
            if (Interruption::requested())
                continue;
            GangChange::UnitResult unit;
            if (holdsTheFile(port, fileName, contents, clock, &unit)) {
                identical.insert(port);
                heldAlready.append(unit);
                console.line(port + QStringLiteral(": ") + unit.verdict);
            }
        }
        ports.erase(
            std::remove_if(ports.begin(), ports.end(), [&](const QString &port) { return identical.contains(port); }),
            ports.end());
    }
    GangChange::Result result;
    if (!ports.isEmpty() && !Interruption::requested())
        result = gang.run(fileName, contents, ports);
    else if (Interruption::requested()) {
        result.units = untouchedUnits(chosen, ports);
        for (const GangChange::UnitResult &unit : std::as_const(result.units))
            callbacks.say(unit.portPath, unit.verdict);
    }
    result.units += heldAlready;
    const auto resultWord = [&](const GangChange::UnitResult &unit) {
        return identical.contains(unit.portPath) ? QStringLiteral("identical") : FailureText::resultWord(unit.change);
    };
    // A unit that held the file had one look; one stopped before its change, none.
    const auto attemptsOf = [&](const GangChange::UnitResult &unit) {
        return identical.contains(unit.portPath) ? 1 : int(unit.attempts.size());
    };

    for (const GangChange::UnitResult &unit : result.units)
        UnitLog::instance().record(unit.portPath, QStringLiteral("verdict"),
                                   {{"result", resultWord(unit)},
                                    {"reason", unit.verdict},
                                    {"serialAfter", QString::fromLatin1(unit.serialAfter)},
                                    {"seconds", double(unit.milliseconds) / 1000.0},
                                    {"attempts", attemptsOf(unit)}});
    console.line(summaryRow(QStringLiteral("port"), QStringLiteral("serial before"), QStringLiteral("serial after"),
                            QStringLiteral("result"), QStringLiteral("time")));
    for (const GangChange::UnitResult &unit : result.units) {
        const QString outcome =
            identical.contains(unit.portPath) ? QStringLiteral("identical") : FailureText::summaryWord(unit.change);
        console.line(summaryRow(unit.portPath, orDash(unit.serialBefore), orDash(unit.serialAfter), outcome,
                                QString::number(double(unit.milliseconds) / 1000.0, 'f', 1) + QStringLiteral(" s")));
        // The summary word in parentheses where it says more than that the
        // change failed ("not back", "in bootloader").
        if (!unit.succeeded() && outcome == QLatin1String("failed"))
            log.error(QStringLiteral("the firmware change of the Vt520 at %1 failed").arg(unit.portPath));
        else if (!unit.succeeded())
            log.error(QStringLiteral("the firmware change of the Vt520 at %1 failed (%2)").arg(unit.portPath, outcome));
    }
    int status = result.allSucceeded() ? ExitDone : ExitDeviceFailed;
    if (Interruption::requested()) {
        // Every unit's state at the stop, whichever step the signal found
        // it at, the ones that had finished included.
        for (const GangChange::UnitResult &unit : result.units)
            log.error(Interruption::signalName() + QStringLiteral(": ") + stateAtStop(unit, identical));
        status = Interruption::exitStatus();
    }
    if (options.json) {
        UpgradeReport report(options);
        for (const GangChange::UnitResult &unit : result.units) {
            const auto found = std::find_if(chosen.begin(), chosen.end(), [&](const Vt520Enumeration::Entry &device) {
                return device.portPath == unit.portPath;
            });
            report.add({found == chosen.end() ? Vt520Enumeration::Entry() : *found, unit.portPath, unit.serialBefore,
                        unit.serialAfter, resultWord(unit), unit.verdict, unit.milliseconds, attemptsOf(unit),
                        unit.attempts.mid(0, unit.attempts.size() - 1)});
        }
        return report.give(log, status);
    }
    return status;
}

} // namespace Commands
