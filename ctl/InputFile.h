#pragma once

#include "firmware/HexToBin.h"
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

// The largest Intel HEX file taken: the 1.1 MiB of the device's regions in
// records of a single byte each, with room to spare.
constexpr qint64 MaxHexSize = 32 * 1024 * 1024;

// The size of fileName before a byte of it is read, so that a device (or an
// endless one like /dev/urandom) or a huge file is never read whole. False
// after the refusal "FILE: not a regular file"; a file that is not there
// gives true with *size -1, for the reader to refuse with its own words.
bool sizeOf(const QString &fileName, Console &console, qint64 *size);

// A HEX file's size checked (sizeOf, then at most MaxHexSize), or false
// after the refusal.
bool hexSizeAccepted(const QString &fileName, Console &console);

// The refusal of a HEX file that its reader gave back: "cannot read FILE:
// reason" for one that could not be opened, otherwise the window's words.
void refuseHex(const QString &fileName, const HexToBinResult &result, Console &console);

// The bytes of a raw file (write-flash's FILE.bin) of at most maxSize
// bytes, or false after the refusal; tooLarge gives the words for a larger
// one from its size.
bool readAll(const QString &fileName, Console &console, qint64 maxSize,
             const std::function<QString(qint64 size)> &tooLarge, QByteArray *bytes);

// The upgrade file, its type and size checked first (exactly
// UpgradeFile::FileSize bytes), then read and checked whole
// (UpgradeFile::read): ExitDone
// with *contents accepted, or ExitFileRefused. A refused file first gets the
// window's lines through showRefusal, then its reason on standard error too,
// whatever standard output shows.
int readUpgrade(const QString &fileName, Console &console,
                const std::function<void(const UpgradeFile::Contents &)> &showRefusal, UpgradeFile::Contents *contents);

} // namespace InputFile
