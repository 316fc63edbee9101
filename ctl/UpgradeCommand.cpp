// upgrade: the firmware change of one device, with the window's log lines;
// of several at once with --all or several --device (GangUpgradeCommand.cpp).
#include "ctl/Commands.h"

#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/ExitStatus.h"
#include "ctl/InputFile.h"
#include "ctl/Interruption.h"
#include "ctl/ModeWords.h"
#include "firmware/FailureText.h"
#include "ctl/ProgressLine.h"
#include "ctl/RetryNotice.h"
#include "ctl/UnitLog.h"
#include "ctl/UpgradeReport.h"
#include "firmware/FirmwareChange.h"
#include "firmware/RetriedChange.h"
#include "firmware/UpgradeFile.h"
#include "usb/InterruptibleClock.h"
#include "usb/USBVT350.h"

#include <QObject>

#include <cstdio>
#include <utility>
#include <unistd.h>

namespace Commands {

int upgrade(const CtlOptions &options, Console &log)
{
    // --if-different looks at the unit before it changes it, as a gang does.
    if (options.all || options.devices.size() > 1 || options.ifDifferent)
        return upgradeMany(options, log);

    const QString fileName = options.arguments[0];
    ProgressLine progress(stderr, ProgressLine::drawsInPlace(STDERR_FILENO), !options.quiet && !options.noProgress);
    Console console(options.quiet, &progress);
    console.setJson(options.json);

    USBVT350 usb;
    InterruptibleClock clock(Clock::standard(), Interruption::requested);
    FirmwareChange::Callbacks callbacks;
    callbacks.say = [&](const QString &text) { console.line(text); };
    QString unitPort;
    callbacks.step = [&](const QString &step) { UnitLog::instance().record(unitPort, step); };
    callbacks.percent = [&](int percent) { progress.show(QStringLiteral("Writing firmware"), percent); };
    QObject::connect(&usb, &USBVT350::sendPercentExtFlashWrite, &usb,
                     [&](int percent) { progress.show(QStringLiteral("Writing external flash"), percent); });
    QObject::connect(&usb, &USBVT350::sendPercentExtFlashRead, &usb,
                     [&](int percent) { progress.show(QStringLiteral("Verifying external flash"), percent); });

    // The whole file is read and checked before the first device command; a
    // refused file gets the window's lines (its name, then the reason).
    UpgradeFile::Contents contents;
    const auto showRefusal = [&](const UpgradeFile::Contents &refused) {
        FirmwareChange(usb, callbacks, clock).run(fileName, refused);
    };
    if (const int refused = InputFile::readUpgrade(fileName, log, showRefusal, &contents))
        return refused;

    QList<Vt520Enumeration::Entry> chosen;
    if (const int refused = UpgradeReport::chooseUnits(options, log, &chosen))
        return refused;
    const Vt520Enumeration::Entry device = chosen.first();
    usb.pinToPort(device.portPath);
    unitPort = device.portPath;
    FirmwareChange change(usb, callbacks, clock);
    const auto retrying = [&](int failedAttempt, const RetriedChange::Attempt &failed) {
        progress.finish();
        RetryNotice::record(device.portPath, failedAttempt, failed);
        console.line(RetryNotice::line(failedAttempt, options.retries, failed));
    };
    RetriedChange retried(change, clock, options.retries, retrying);
    const qint64 start = clock.now();
    const bool changed = retried.run(fileName, contents);
    const qint64 milliseconds = clock.now() - start;
    progress.finish();
    UnitLog::instance().record(device.portPath, QStringLiteral("verdict"),
                               {{"result", FailureText::resultWord(retried.outcome())},
                                {"reason", retried.verdict()},
                                {"serialAfter", QString::fromLatin1(change.serialAfterStart())},
                                {"seconds", double(milliseconds) / 1000.0},
                                {"attempts", int(retried.attempts().size())}});
    int status = ExitDone;
    if (retried.outcome() == FirmwareChange::Outcome::StoppedUntouched) {
        log.error(QStringLiteral("%1: unit %2 was not changed: it is still in %3")
                      .arg(Interruption::signalName(), device.portPath, modeWords(change.identifiedSerial())));
        status = Interruption::exitStatus();
    } else if (retried.outcome() == FirmwareChange::Outcome::Stopped && change.firmwareComplete()) {
        log.error(QStringLiteral("%1: unit %2 holds the new firmware and is in its bootloader: run vt520ctl start "
                                 "--device %2")
                      .arg(Interruption::signalName(), device.portPath));
        status = Interruption::exitStatus();
    } else if (retried.outcome() == FirmwareChange::Outcome::Stopped) {
        log.error(QStringLiteral("%1: unit %2 is in its bootloader: run the upgrade again")
                      .arg(Interruption::signalName(), device.portPath));
        status = Interruption::exitStatus();
    } else if (!changed) {
        if (console.isQuiet() || console.isJson())
            log.errorLine(console.lastLine());
        log.error(QStringLiteral("the firmware change of the Vt520 at %1 failed").arg(device.portPath));
        status = ExitDeviceFailed;
    }
    // A signal after the last safe point: the change is complete, and the
    // run still ends with the signal's status.
    if (status == ExitDone && Interruption::requested()) {
        log.error(QStringLiteral("%1: stopped after the command's last step").arg(Interruption::signalName()));
        log.error(QStringLiteral("%1: unit %2 finished its change before the stop")
                      .arg(Interruption::signalName(), device.portPath));
        status = Interruption::exitStatus();
    }
    if (options.json) {
        UpgradeReport report(options);
        const QList<RetriedChange::Attempt> &attempts = retried.attempts();
        report.add({device, device.portPath, retried.serialBefore(), change.serialAfterStart(),
                    FailureText::resultWord(retried.outcome()), retried.verdict(), milliseconds, int(attempts.size()),
                    attempts.mid(0, attempts.size() - 1)});
        return report.give(log, status);
    }
    return status;
}

} // namespace Commands
