#include "usb/Vt520Enumeration.h"

#include "usb/SysfsSerial.h"
#include "usb/UnitLock.h"
#include "usb/USBVT350.h"
#include "usb/UntilZero.h"
#include "usb/VersionBlock.h"

#include <QCoreApplication>
#include <QThread>

QString Vt520Enumeration::modeName(Mode mode)
{
    switch (mode) {
    case Mode::Application:
        return QStringLiteral("application");
    case Mode::Bootloader:
        return QStringLiteral("bootloader");
    case Mode::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

namespace {

// How often a unit found claimed is looked at again, and how far apart.
constexpr int BusyLookAttempts = 10;
constexpr unsigned long BusyLookPauseMs = 50;

// Only what the kernel read when the unit appeared: nothing goes to it.
void describeFromSysfs(Vt520Enumeration::Entry &entry, Failure::Kind why = Failure::Kind::Busy)
{
    entry.unopened = why;
    entry.serialString = sysfsSerial(entry.portPath, entry.bus, entry.address);
    entry.mode = deviceModeOf(entry.serialString);
    entry.serial = productionSerialOf(entry.serialString);
}

// The device-id request failed in a way that a Vt520 can fail it (no
// answer in time, an I/O error) rather than as a device that does not know
// the request refuses it (a stall) or one that left the bus.
bool identityRequestFailed(const UsbDevice &usb, const Failure &connect)
{
    const Failure::Kind kind = usb.identityFailure().kind;
    return connect.kind == Failure::Kind::NoDevice && usb.identityFailure().failed() && kind != Failure::Kind::Stalled
           && kind != Failure::Kind::Gone;
}

} // namespace

QList<Vt520Enumeration::Entry> Vt520Enumeration::list()
{
    QList<Entry> entries;
    for (const UsbDevice::Location &location : UsbDevice::findAll(USBVT350::VendorId, USBVT350::ProductId)) {
        Entry entry;
        entry.portPath = location.portPath;
        entry.bus = location.bus;
        entry.address = location.address;

        // This process's own operation on the unit does not keep it from
        // looking.
        UnitLock lock(location.portPath);
        if (lock.look() == UnitLock::Status::InUse && lock.holderPid() != QCoreApplication::applicationPid()) {
            entry.holder = lock.holderText();
            describeFromSysfs(entry);
            entries.append(entry);
            continue;
        }
        USBVT350 usb;
        usb.pinToPort(location.portPath);
        Failure failure = usb.tryConnect();
        // Another listing may hold the unit open for the moment it reads
        // its identity: that claim ends within moments, a program's does not.
        for (int attempt = 1; failure.kind == Failure::Kind::Busy && attempt < BusyLookAttempts; ++attempt) {
            QThread::msleep(BusyLookPauseMs);
            failure = usb.tryConnect();
        }
        // A unit that missed its identity request once (a glitch) is asked
        // once more; one that misses it again is listed with the reason.
        if (identityRequestFailed(usb, failure))
            failure = usb.tryConnect();
        if (identityRequestFailed(usb, failure)) {
            describeFromSysfs(entry, usb.identityFailure().kind);
            entries.append(entry);
            continue;
        }
        if (failure.failed()) {
            // Not a Vt520 (another device with the same ids) unless it
            // refused to be opened.
            if (failure.kind == Failure::Kind::AccessDenied) {
                entry.unopened = failure.kind;
                entries.append(entry);
            } else if (failure.kind == Failure::Kind::Busy) {
                describeFromSysfs(entry);
                entries.append(entry);
            }
            continue;
        }
        entry.serialString = untilZero(usb.getSerialString());
        entry.mode = deviceModeOf(entry.serialString);
        entry.serial = productionSerialOf(entry.serialString);
        QByteArray block(VersionBlock::Size, '\0');
        if (usb.ReadMemory(block, VersionBlock::Address) == 0) {
            entry.bootloaderVersion = untilZero(block.constData(), VersionBlock::FieldSize);
            entry.bootloaderDate = VersionBlock::date(block);
        }
        usb.disconnect();
        entries.append(entry);
    }
    return entries;
}
