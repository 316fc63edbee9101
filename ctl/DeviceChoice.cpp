#include "ctl/DeviceChoice.h"

#include "ctl/Command.h"
#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/ExitStatus.h"
#include "usb/DeviceSelection.h"
#include "usb/UsbDevice.h"

#include <utility>

namespace DeviceChoice {

QString describe(const Vt520Enumeration::Entry &device)
{
    const QString place =
        QStringLiteral("%1  bus %2 address %3").arg(device.portPath).arg(device.bus).arg(device.address);
    if (device.accessDenied)
        return place + QStringLiteral("  access denied");
    return place
           + QStringLiteral("  %1  serial %2  bootloader %3 (%4)")
                 .arg(Vt520Enumeration::modeName(device.mode), QString::fromLatin1(device.serialString),
                      QString::fromLatin1(device.bootloaderVersion), QString::fromLatin1(device.bootloaderDate));
}

QJsonObject toJson(const Vt520Enumeration::Entry &device)
{
    QJsonObject object{
        {"portPath", device.portPath},
        {"bus", device.bus},
        {"address", device.address},
        {"accessDenied", device.accessDenied},
    };
    if (device.accessDenied) {
        object.insert("hint", UsbDevice::accessDeniedHint());
        return object;
    }
    object.insert("mode", Vt520Enumeration::modeName(device.mode));
    object.insert("serial", QString::fromLatin1(device.serial));
    object.insert("serialString", QString::fromLatin1(device.serialString));
    object.insert("bootloaderVersion", QString::fromLatin1(device.bootloaderVersion));
    object.insert("bootloaderDate", QString::fromLatin1(device.bootloaderDate));
    return object;
}

namespace {

void listAttached(const QList<Vt520Enumeration::Entry> &devices, Console &console)
{
    for (const Vt520Enumeration::Entry &device : devices)
        console.errorLine(QStringLiteral("  ") + describe(device));
}

// The device that one selector means, or the exit status after the refusal;
// an empty selector means the only Vt520 there is.
int select(const QString &selector, const QList<Vt520Enumeration::Entry> &devices, Console &console,
           Vt520Enumeration::Entry *device)
{
    switch (DeviceSelection::select(selector, devices, device)) {
    case DeviceSelection::Result::NoDevice:
        return refuseNoDevice(console);
    case DeviceSelection::Result::SeveralDevices:
        console.error(QStringLiteral("%1 Vt520s are attached; choose one with --device (port path, BUS:ADDRESS "
                                     "or serial):")
                          .arg(devices.size()));
        listAttached(devices, console);
        return ExitNoDevice;
    case DeviceSelection::Result::NotFound:
        console.error(QStringLiteral("no attached Vt520 matches \"%1\"; attached:").arg(selector));
        listAttached(devices, console);
        return ExitNoDevice;
    case DeviceSelection::Result::Selected:
        break;
    }
    return ExitDone;
}

} // namespace

int refuseNoDevice(Console &console)
{
    console.error(QStringLiteral("no Vt520 found"));
    return ExitNoDevice;
}

int choose(const CtlOptions &options, Console &console, QList<Vt520Enumeration::Entry> *chosen)
{
    if (options.devices.size() > 1 && options.command->devices != Command::Devices::Several) {
        console.error(QStringLiteral("%1 works on one device: give --device once").arg(options.command->name));
        return ExitUsage;
    }
    const QList<Vt520Enumeration::Entry> devices = Vt520Enumeration::list();
    if (devices.isEmpty())
        return refuseNoDevice(console);
    if (options.all)
        *chosen = devices;
    const QStringList selectors = options.all || !options.devices.isEmpty() ? options.devices : QStringList{QString()};
    for (const QString &selector : selectors) {
        Vt520Enumeration::Entry device;
        if (const int refused = select(selector, devices, console, &device))
            return refused;
        chosen->append(device);
    }
    for (const Vt520Enumeration::Entry &device : std::as_const(*chosen)) {
        if (device.accessDenied) {
            console.error(QStringLiteral("the Vt520 at %1 may not be opened by this user.").arg(device.portPath));
            console.errorLine(UsbDevice::accessDeniedHint());
            return ExitNoDevice;
        }
    }
    return ExitDone;
}

} // namespace DeviceChoice
