// start: a unit in its bootloader started into its application, and seen
// back at its port running it.
#include "ctl/Commands.h"

#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/DeviceChoice.h"
#include "ctl/ExitStatus.h"
#include "ctl/Interruption.h"
#include "firmware/FirmwareChange.h"
#include "usb/DeviceMode.h"
#include "usb/USBVT350.h"

namespace Commands {

namespace {

// One unit: ExitDone when it runs its application at the end.
int startUnit(const Vt520Enumeration::Entry &device, Console &console)
{
    const QString port = device.portPath;
    USBVT350 usb;
    usb.pinToPort(port);
    FirmwareChange::Callbacks callbacks;
    callbacks.say = [&](const QString &text) { console.line(port + QStringLiteral(": ") + text); };
    FirmwareChange change(usb, callbacks);
    const FirmwareChange::Outcome outcome = change.startApplication();
    const QString before = QString::fromLatin1(change.identifiedSerial());
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

} // namespace

int start(const CtlOptions &options, Console &console)
{
    QList<Vt520Enumeration::Entry> chosen;
    if (const int refused = DeviceChoice::choose(options, console, &chosen))
        return refused;
    int status = ExitDone;
    QStringList done;
    for (const Vt520Enumeration::Entry &device : std::as_const(chosen)) {
        if (done.contains(device.portPath)) // named twice
            continue;
        // A start is one step: a signal is acted on between units.
        if (Interruption::requested()) {
            console.error(QStringLiteral("%1: unit %2 was not started; it is as it was")
                              .arg(Interruption::signalName(), device.portPath));
            continue;
        }
        done.append(device.portPath);
        if (startUnit(device, console) != ExitDone)
            status = ExitDeviceFailed;
    }
    return Interruption::requested() ? Interruption::exitStatus() : status;
}

} // namespace Commands
