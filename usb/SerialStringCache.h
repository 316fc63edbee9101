#pragma once

#include <QByteArray>

// The serial string each attached device gave when a command last read it,
// by bus and address: one appearance of a device on the bus, since a device
// that re-enumerates (after a reset, in its other mode) gets a new address.
// Process-wide and thread-safe; the transport fills it, the device monitor
// reads it where the system shows no serial attribute.
class SerialStringCache
{
public:
    static void remember(int bus, int address, const QByteArray &serialString);
    // Empty when no command read this appearance's serial string.
    static QByteArray lookup(int bus, int address);
    // Forgets an appearance that left the bus.
    static void forget(int bus, int address);
    static void clear();
};
