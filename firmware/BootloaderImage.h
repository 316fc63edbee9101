#pragma once

#include "firmware/HexToBin.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

// A bootloader image: the first 16 KiB of internal flash (0x08000000 to
// 0x08003FFF) from an Intel HEX file, with a unit's production serial written
// at 0x08003FF0. Stored unscrambled and without header.
namespace BootloaderImage {

constexpr quint32 BaseAddress = 0x08000000;
constexpr int Size = 0x4000;
constexpr int SerialOffset = 0x3FF0;
constexpr int SerialLength = 9;

// The serial YYMM00NNN: the prefix "YYMM00" and the unit number with leading
// zeros to three digits.
QByteArray serial(const QString &prefix, int unitNumber);

// "Vt520Bootloader_<serial>.bin", in the current directory.
QString fileName(const QByteArray &serial);

// Reads the HEX file into a zero image with the same reader as upgrade
// images. After any failure (a code other than 0) no image may be made from
// the file; a file without data for the image is refused as well.
HexToBinResult readHex(const QString &hexFileName, QByteArray *image);

// A copy of the image with the serial's nine ASCII bytes at 0x3FF0.
QByteArray withSerial(const QByteArray &image, const QByteArray &serial);

// Writes the image through a temporary, so that the target is either
// complete or left as it was. Returns false on any failure, with the
// system's reason in *reason when given.
bool write(const QString &fileName, const QByteArray &image, QString *reason = nullptr);

// A series of images: for every unit number from firstNumber on, count of
// them, the serial, its image file in folder (the current directory when
// empty) and the window's log lines through say: the serial, "New bootloader
// + serial:" and the file name. Stops at the first file that cannot be
// written; returns its name, or an empty string when all were written.
// The system's reason for that file goes to *reason when given.
QString writeSeries(const QByteArray &image, const QString &prefix, int firstNumber, int count, const QString &folder,
                    const std::function<void(const QString &)> &say, QString *reason = nullptr);

} // namespace BootloaderImage
