#include "ctl/DeviceChoice.h"

#include "ctl/Command.h"
#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/ExitStatus.h"
#include "ctl/Interruption.h"
#include "ctl/UnitLog.h"
#include "firmware/FailureText.h"
#include "usb/Clock.h"
#include "usb/DeviceSelection.h"
#include "usb/UnitLock.h"
#include "usb/UsbDevice.h"

#include <algorithm>
#include <list>
#include <utility>

namespace DeviceChoice {

QString describe(const Vt520Enumeration::Entry &device)
{
    const QString place =
        QStringLiteral("%1  bus %2 address %3").arg(device.portPath).arg(device.bus).arg(device.address);
    if (device.accessDenied())
        return place + QStringLiteral("  access denied");
    if (device.busy() && !device.holder.isEmpty())
        return place
               + QStringLiteral("  busy (in use by %1)  %2  serial %3")
                     .arg(device.holder, Vt520Enumeration::modeName(device.mode),
                          QString::fromLatin1(device.serialString));
    if (device.unidentified())
        return place + QStringLiteral("  not identified: ") + unidentifiedReason(device)
               + (device.serialString.isEmpty()
                      ? QString()
                      : QStringLiteral("  %1  serial %2")
                            .arg(Vt520Enumeration::modeName(device.mode), QString::fromLatin1(device.serialString)));
    if (device.busy())
        return place
               + QStringLiteral("  busy (claimed by another program)  %1  serial %2")
                     .arg(Vt520Enumeration::modeName(device.mode), QString::fromLatin1(device.serialString));
    return place
           + QStringLiteral("  %1  serial %2  bootloader %3 (%4)")
                 .arg(Vt520Enumeration::modeName(device.mode), QString::fromLatin1(device.serialString),
                      QString::fromLatin1(device.bootloaderVersion), QString::fromLatin1(device.bootloaderDate));
}

QJsonObject toJson(const Vt520Enumeration::Entry &device)
{
    QJsonObject object{
        {"portPath", device.portPath},           {"bus", device.bus},     {"address", device.address},
        {"accessDenied", device.accessDenied()}, {"busy", device.busy()},
    };
    if (device.accessDenied()) {
        object.insert("hint", FailureText::sentence(Failure::Kind::AccessDenied));
        return object;
    }
    if (!device.holder.isEmpty())
        object.insert("holder", device.holder);
    object.insert("mode", Vt520Enumeration::modeName(device.mode));
    object.insert("serial", QString::fromLatin1(device.serial));
    object.insert("serialString", QString::fromLatin1(device.serialString));
    object.insert("bootloaderVersion", QString::fromLatin1(device.bootloaderVersion));
    object.insert("bootloaderDate", QString::fromLatin1(device.bootloaderDate));
    return object;
}

namespace {

// How often the bus is looked at while --wait waits.
constexpr qint64 WaitPollMs = 200;

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
    // Two units can answer to one serial (a copied bootloader image, a
    // unit not yet given its own): never take the first of them.
    QList<Vt520Enumeration::Entry> matching;
    if (!selector.isEmpty()) {
        for (const Vt520Enumeration::Entry &candidate : devices) {
            if (DeviceSelection::matches(selector, candidate))
                matching.append(candidate);
        }
    }
    if (matching.size() > 1) {
        console.error(QStringLiteral("%1 Vt520s match \"%2\"; choose one with --device by its port path:")
                          .arg(matching.size())
                          .arg(selector));
        listAttached(matching, console);
        return ExitNoDevice;
    }
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

// Each unit chosen locked before the command's first transfer to it, and
// held until the process ends; one in use refuses the whole command before
// any unit is touched, each unit in use named.
int lockChosen(const CtlOptions &options, Console &console, const QList<Vt520Enumeration::Entry> &chosen,
               QList<Busy> *busy)
{
    int status = ExitDone;
    const auto refuse = [&](const QString &port, const QString &reason) {
        console.error(reason);
        if (busy)
            busy->append({port, reason});
        status = ExitInUse;
    };
    static std::list<UnitLock> held;
    const QString holder = QStringLiteral("vt520ctl ") + options.command->name;
    for (const Vt520Enumeration::Entry &device : chosen) {
        UnitLock &lock = held.emplace_back(device.portPath);
        switch (lock.take(holder)) {
        case UnitLock::Status::Taken:
            UnitLog::instance().record(device.portPath, QStringLiteral("locked"));
            if (!lock.warning().isEmpty())
                console.errorLine(QStringLiteral("vt520ctl: warning: ") + lock.warning());
            break;
        case UnitLock::Status::InUse:
            refuse(device.portPath, QStringLiteral("unit %1 is in use by %2").arg(device.portPath, lock.holderText()));
            break;
        case UnitLock::Status::Failed:
            refuse(device.portPath,
                   QStringLiteral("unit %1 could not be locked: %2").arg(device.portPath, lock.reason()));
            break;
        }
    }
    return status;
}

int found = -1;
QList<Vt520Enumeration::Entry> unidentified;

// Whether the units that the command names are attached: each --device
// matching at least one, exactly as many as --expect asks, or any unit at
// all.
bool present(const CtlOptions &options, const QList<Vt520Enumeration::Entry> &devices)
{
    if (options.expect > 0)
        return devices.size() == options.expect;
    if (devices.isEmpty())
        return false;
    return std::all_of(options.devices.begin(), options.devices.end(), [&](const QString &selector) {
        return std::any_of(devices.begin(), devices.end(), [&](const Vt520Enumeration::Entry &device) {
            return DeviceSelection::matches(selector, device);
        });
    });
}

// The attached units, after up to --wait seconds for the named ones to
// appear (a unit being plugged in, or on its way back from a reset); one
// line says so while it waits. A signal ends the wait.
QList<Vt520Enumeration::Entry> attachedUnits(const CtlOptions &options, Console &console)
{
    QList<Vt520Enumeration::Entry> devices = Vt520Enumeration::list();
    if (options.waitSeconds <= 0 || present(options, devices))
        return devices;
    if (!console.isQuiet()) {
        const QString which = options.expect > 0 ? QStringLiteral("%1 Vt520s").arg(options.expect)
                              : options.devices.isEmpty()
                                  ? QStringLiteral("a Vt520")
                                  : QStringLiteral("a Vt520 matching ") + options.devices.join(QStringLiteral(", "));
        console.errorLine(
            QStringLiteral("vt520ctl: waiting up to %1 s for %2 ...").arg(options.waitSeconds).arg(which));
    }
    Clock &clock = Clock::standard();
    const qint64 start = clock.now();
    const qint64 limit = qint64(options.waitSeconds) * 1000;
    const auto waited = [&] { return clock.now() - start; };
    while (!present(options, devices) && waited() < limit && !Interruption::requested()) {
        clock.sleep(int(std::min<qint64>(WaitPollMs, limit - waited() + 1)));
        devices = Vt520Enumeration::list();
    }
    return devices;
}

// --expect: exactly that many units, or the refusal naming those seen.
int checkExpected(const CtlOptions &options, Console &console, const QList<Vt520Enumeration::Entry> &devices)
{
    if (options.expect <= 0 || devices.size() == options.expect)
        return ExitDone;
    if (devices.isEmpty()) {
        console.error(QStringLiteral("expected %1 Vt520s, found none").arg(options.expect));
        return ExitNoDevice;
    }
    console.error(QStringLiteral("expected %1 Vt520s, found %2; nothing done. Attached:")
                      .arg(options.expect)
                      .arg(devices.size()));
    listAttached(devices, console);
    return ExitNoDevice;
}

} // namespace

QList<Vt520Enumeration::Entry> attached(const CtlOptions &options, Console &console)
{
    const QList<Vt520Enumeration::Entry> devices = attachedUnits(options, console);
    found = int(devices.size());
    return devices;
}

int unitsFound()
{
    return found;
}

QList<Vt520Enumeration::Entry> unidentifiedChosen()
{
    return unidentified;
}

QString unidentifiedReason(const Vt520Enumeration::Entry &device)
{
    return QStringLiteral("identity request failed twice (%1)").arg(FailureText::word(device.unopened));
}

int refuseNoDevice(Console &console)
{
    console.error(QStringLiteral("no Vt520 found"));
    return ExitNoDevice;
}

int choose(const CtlOptions &options, Console &console, QList<Vt520Enumeration::Entry> *chosen, QList<Busy> *busy)
{
    if (options.devices.size() > 1 && options.command->devices != Command::Devices::Several) {
        console.error(QStringLiteral("%1 works on one device: give --device once").arg(options.command->name));
        return ExitUsage;
    }
    const QList<Vt520Enumeration::Entry> devices = attachedUnits(options, console);
    found = int(devices.size());
    if (const int refused = checkExpected(options, console, devices))
        return refused;
    if (devices.isEmpty())
        return refuseNoDevice(console);
    if (options.all)
        *chosen = devices;
    const QStringList selectors = options.all || !options.devices.isEmpty() ? options.devices : QStringList{QString()};
    for (const QString &selector : selectors) {
        Vt520Enumeration::Entry device;
        if (const int refused = select(selector, devices, console, &device))
            return refused;
        const bool named = std::any_of(chosen->begin(), chosen->end(), [&](const Vt520Enumeration::Entry &earlier) {
            return earlier.portPath == device.portPath;
        });
        if (!named)
            chosen->append(device);
    }
    for (const Vt520Enumeration::Entry &device : std::as_const(*chosen)) {
        if (device.accessDenied()) {
            console.error(QStringLiteral("the Vt520 at %1 may not be opened by this user.").arg(device.portPath));
            console.errorLine(FailureText::sentence(Failure::Kind::AccessDenied));
            return ExitNoDevice;
        }
    }
    // Attached, but not identified: the unit is there and failed, so the
    // command fails for it rather than finding no Vt520.
    unidentified.clear();
    for (const Vt520Enumeration::Entry &device : std::as_const(*chosen)) {
        const bool named =
            std::any_of(unidentified.begin(), unidentified.end(),
                        [&](const Vt520Enumeration::Entry &seen) { return seen.portPath == device.portPath; });
        if (!device.unidentified() || named)
            continue;
        console.error(
            QStringLiteral("unit %1 was not identified: %2").arg(device.portPath, unidentifiedReason(device)));
        unidentified.append(device);
    }
    if (!unidentified.isEmpty())
        return ExitDeviceFailed;
    for (const Vt520Enumeration::Entry &device : std::as_const(*chosen)) {
        UnitLog::instance().know(device.portPath, device.serial);
        UnitLog::instance().record(device.portPath, QStringLiteral("chosen"),
                                   {{"bus", device.bus},
                                    {"address", device.address},
                                    {"mode", Vt520Enumeration::modeName(device.mode)},
                                    {"bootloaderVersion", QString::fromLatin1(device.bootloaderVersion)}});
    }
    if (const int refused = lockChosen(options, console, *chosen, busy))
        return refused;
    // A unit listed as held by another of our programs is ours now: that
    // holder has finished, so it is looked at again.
    const bool wasHeld = std::any_of(chosen->begin(), chosen->end(),
                                     [](const Vt520Enumeration::Entry &device) { return !device.holder.isEmpty(); });
    if (wasHeld) {
        const QList<Vt520Enumeration::Entry> again = Vt520Enumeration::list();
        for (Vt520Enumeration::Entry &device : *chosen) {
            for (const Vt520Enumeration::Entry &fresh : again) {
                if (!device.holder.isEmpty() && fresh.portPath == device.portPath)
                    device = fresh;
            }
        }
    }
    // Held by a program that takes no lock of ours: the kernel says so.
    int status = ExitDone;
    QStringList named;
    for (const Vt520Enumeration::Entry &device : std::as_const(*chosen)) {
        if (!device.busy() || named.contains(device.portPath))
            continue;
        named.append(device.portPath);
        const QString reason =
            QStringLiteral("unit %1 is in use by another program (its interface is claimed)").arg(device.portPath);
        console.error(reason);
        if (busy)
            busy->append({device.portPath, reason});
        status = ExitInUse;
    }
    return status;
}

} // namespace DeviceChoice
