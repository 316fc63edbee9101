#pragma once

#include <QByteArray>

// The mode a Vt520 runs in, as its serial string tells it: the nine-digit
// serial while it runs its application, the serial and 'b' while it sits in
// its bootloader. Anything else is no mode we know.
enum class DeviceMode { Application, Bootloader, Unknown };

DeviceMode deviceModeOf(const QByteArray &serialString);
