#pragma once

#include <QByteArray>
#include <QString>

// The mode a Vt520 runs in, as its serial string tells it: the nine-digit
// production serial while it runs its application, the serial and 'b' while
// it sits in its bootloader. Anything else is no mode we know. This is the
// one place that knows the serial string's form.
enum class DeviceMode { Application, Bootloader, Unknown };

constexpr int ProductionSerialLength = 9;
constexpr char BootloaderMark = 'b';

DeviceMode deviceModeOf(const QByteArray &serialString);

// The production serial of either mode's form ("261100042b" and
// "261100042" both give "261100042"); any other text as it is.
QByteArray productionSerialOf(const QByteArray &serialString);
QString productionSerialOf(const QString &serialString);

// Looser than deviceModeOf: the bootloader's mark after the production
// serial, whatever follows it (used while waiting for a reset to end).
bool showsBootloaderMark(const QByteArray &serialString);
