#pragma once

#include "firmware/UpgradeFile.h"

#include <QByteArray>
#include <QString>

#include <functional>

class Console;

// The files that commands read, read whole and checked before the device is
// touched, and the words of their refusal on standard error. A file that
// cannot be opened is "cannot read FILE: reason", never taken for a foreign
// one, which would mislead at a mistyped path.
namespace InputFile {

// The bytes of a raw file (write-flash's FILE.bin), or false after the
// refusal.
bool readAll(const QString &fileName, Console &console, QByteArray *bytes);

// The upgrade file, read and checked whole (UpgradeFile::read): ExitDone
// with *contents accepted, or ExitFileRefused. A refused file first gets the
// window's lines through showRefusal, then its reason on standard error too,
// whatever standard output shows.
int readUpgrade(const QString &fileName, Console &console,
                const std::function<void(const UpgradeFile::Contents &)> &showRefusal, UpgradeFile::Contents *contents);

} // namespace InputFile
