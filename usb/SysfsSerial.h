#pragma once

#include <QByteArray>
#include <QString>

// The serial string the kernel read from a Vt520 when it appeared, from
// sysfs: no transfer to the unit, so it can be had while another program
// holds the unit. Empty where sysfs does not show this very appearance at
// the port (the same ids, bus number and address), e.g. under a preloaded
// emulator whose port paths may name a real device of the machine.
QByteArray sysfsSerial(const QString &portPath, int bus, int address);
