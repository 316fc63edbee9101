// start: a unit in its bootloader started into its application, and seen
// back at its port running it.
#include "ctl/Commands.h"

#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/DeviceChoice.h"
#include "ctl/ExitStatus.h"
#include "ctl/Interruption.h"
#include "ctl/JsonReport.h"
#include "ctl/UnitLog.h"
#include "firmware/FailureText.h"
#include "firmware/FirmwareChange.h"
#include "usb/DeviceMode.h"
#include "usb/USBVT350.h"

#include <QJsonArray>
#include <QJsonObject>

namespace Commands {

namespace {

// What the start's outcome means for the unit, said on the console.
int startOutcome(const QString &port, FirmwareChange &change, FirmwareChange::Outcome outcome, const QString &before,
                 Console &console)
{
    switch (outcome) {
    case FirmwareChange::Outcome::Changed:
        console.line(QStringLiteral("%1: started; the Vt520 %2 runs its application")
                         .arg(port, QString::fromLatin1(change.serialAfterStart())));
        return ExitDone;
    case FirmwareChange::Outcome::NotIdentified:
        if (deviceModeOf(change.identifiedSerial()) == DeviceMode::Application) {
            console.line(
                QStringLiteral("%1: the Vt520 %2 runs its application already; nothing sent").arg(port, before));
            return ExitDone;
        }
        console.error(QStringLiteral("unit %1: its serial \"%2\" fits neither mode; nothing sent").arg(port, before));
        return ExitDeviceFailed;
    case FirmwareChange::Outcome::NoDevice:
        console.error(QStringLiteral("unit %1 did not answer; nothing sent").arg(port));
        return ExitDeviceFailed;
    case FirmwareChange::Outcome::StayedInBootloader:
        console.error(QStringLiteral("unit %1 came back in its bootloader: its application did not start; run "
                                     "the upgrade again")
                          .arg(port));
        return ExitDeviceFailed;
    default:
        console.error(QStringLiteral("unit %1 did not come back at its port after the start; replug it, and if "
                                     "it stays in its bootloader, run the upgrade again")
                          .arg(port));
        return ExitDeviceFailed;
    }
}

// One unit: ExitDone when it runs its application at the end; its entry of
// the --json document into *entry.
int startUnit(const Vt520Enumeration::Entry &device, Console &console, QJsonObject *entry)
{
    const QString port = device.portPath;
    USBVT350 usb;
    usb.pinToPort(port);
    FirmwareChange::Callbacks callbacks;
    callbacks.say = [&](const QString &text) { console.line(port + QStringLiteral(": ") + text); };
    FirmwareChange change(usb, callbacks);
    Clock &clock = Clock::standard();
    const qint64 start = clock.now();
    const FirmwareChange::Outcome outcome = change.startApplication();
    const QString before = QString::fromLatin1(change.identifiedSerial());
    *entry = JsonReport::unit(device);
    if (!before.isEmpty())
        entry->insert("serial", before);
    const QByteArray after = change.serialAfterStart();
    entry->insert("serialAfter", after.isEmpty() ? QJsonValue() : QJsonValue(QString::fromLatin1(after)));
    entry->insert("seconds", double(clock.now() - start) / 1000.0);
    entry->insert("attempts", 1);
    const int errorsBefore = int(console.errors().size());
    const int status = startOutcome(port, change, outcome, before, console);
    const QStringList errors = console.errors();
    entry->insert("result", status == ExitDone ? QStringLiteral("ok") : FailureText::resultWord(outcome));
    entry->insert("reason", errors.size() > errorsBefore ? errors.last() : console.lastLine());
    UnitLog::instance().record(port, QStringLiteral("verdict"),
                               {{"result", entry->value("result")},
                                {"reason", entry->value("reason")},
                                {"serialAfter", entry->value("serialAfter")},
                                {"seconds", entry->value("seconds")}});
    return status;
}

} // namespace

int start(const CtlOptions &options, Console &console)
{
    QList<Vt520Enumeration::Entry> chosen;
    if (const int refused = DeviceChoice::choose(options, console, &chosen))
        return refused;
    int status = ExitDone;
    QJsonArray units;
    for (const Vt520Enumeration::Entry &device : std::as_const(chosen)) {
        // A start is one step: a signal is acted on between units.
        if (Interruption::requested()) {
            const QString reason = QStringLiteral("%1: unit %2 was not started; it is as it was")
                                       .arg(Interruption::signalName(), device.portPath);
            console.error(reason);
            QJsonObject entry = JsonReport::unit(device);
            entry.insert("serialAfter", QJsonValue());
            entry.insert("result", QStringLiteral("interrupted"));
            entry.insert("reason", reason);
            units.append(entry);
            continue;
        }
        QJsonObject entry;
        if (startUnit(device, console, &entry) != ExitDone)
            status = ExitDeviceFailed;
        units.append(entry);
    }
    if (Interruption::requested())
        status = Interruption::exitStatus();
    if (!options.json)
        return status;
    QJsonObject document = JsonReport::header(options);
    document.insert("units", units);
    return JsonReport::give(console, document, status);
}

} // namespace Commands
