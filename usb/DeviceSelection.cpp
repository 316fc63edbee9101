#include "usb/DeviceSelection.h"

#include "usb/DeviceMode.h"

bool DeviceSelection::matches(const QString &selector, const Vt520Enumeration::Entry &device)
{
    if (selector.isEmpty())
        return false;
    if (selector == device.portPath)
        return true;
    const QStringList busAddress = selector.split(QLatin1Char(':'));
    if (busAddress.size() == 2) {
        bool busOk = false, addressOk = false;
        const int bus = busAddress[0].toInt(&busOk);
        const int address = busAddress[1].toInt(&addressOk);
        return busOk && addressOk && bus == device.bus && address == device.address;
    }
    return !device.serial.isEmpty() && productionSerialOf(selector) == QString::fromLatin1(device.serial);
}

DeviceSelection::Result DeviceSelection::select(const QString &selector, const QList<Vt520Enumeration::Entry> &devices,
                                                Vt520Enumeration::Entry *chosen)
{
    if (devices.isEmpty())
        return Result::NoDevice;
    if (selector.isEmpty()) {
        if (devices.size() > 1)
            return Result::SeveralDevices;
        *chosen = devices.first();
        return Result::Selected;
    }
    for (const Vt520Enumeration::Entry &device : devices) {
        if (matches(selector, device)) {
            *chosen = device;
            return Result::Selected;
        }
    }
    return Result::NotFound;
}
