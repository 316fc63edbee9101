#pragma once

#include "usb/Vt520Enumeration.h"

#include <QList>
#include <QString>

// Which Vt520 a command means. A selector is a port path ("1-1.4"), a bus
// and address ("1:7", decimal) or a serial in either mode's form
// ("261100042" or "261100042b"). The choice is carried on as the port path,
// which survives the re-enumeration of a reset where the address does not.
class DeviceSelection
{
public:
    enum class Result {
        Selected,       // *chosen holds the device
        NoDevice,       // no Vt520 attached
        SeveralDevices, // an empty selector and more than one Vt520
        NotFound,       // no attached Vt520 matches the selector
    };

    // An empty selector takes the only Vt520 there is.
    static Result select(const QString &selector, const QList<Vt520Enumeration::Entry> &devices,
                         Vt520Enumeration::Entry *chosen);

    static bool matches(const QString &selector, const Vt520Enumeration::Entry &device);
};
