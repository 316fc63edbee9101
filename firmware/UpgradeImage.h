#pragma once

#include "firmware/HexToBin.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The upgrade image: the device address window 0x08000000..0x0803FFFF, with
// the application region (written page by page into the internal flash) and
// the external flash region, each closed by a 32-bit sum word.
namespace UpgradeImage {

constexpr quint32 BaseAddress = 0x08000000;
constexpr int Size = 0x40000;

constexpr int ApplicationOffset = 0x04000;
constexpr int ApplicationSize = 0x1C000;
constexpr quint32 ApplicationAddress = BaseAddress + ApplicationOffset;

constexpr int ExternalFlashOffset = 0x20000;
constexpr int ExternalFlashSize = 0x14000;
constexpr quint32 ExternalFlashImageAddress = BaseAddress + ExternalFlashOffset;

// Sum modulo 2^32 of the little-endian words of a region, its last word
// (the sum word itself) left out.
quint32 regionSum(const unsigned char *region, int regionSize);

// True when the region's last word is the sum of the words before it.
bool regionSumHolds(const unsigned char *region, int regionSize);

// True when the application region of a plain image holds a byte other
// than zero before its sum word. An all-zero application adds up to its sum
// (zero), so a unit's own check would pass and jump into zeros.
bool holdsApplication(const unsigned char *image);

// Replaces the last word of both regions with the sum of the words before it.
void storeRegionSums(unsigned char *image);

// Result of building an image from an Intel HEX file: the plain image and
// how the file was read. hex.code is 0 for an image that may be written;
// hex.outsideBytes counts the file's data bytes that lie in neither region
// and were left out (a bootloader merged into the file, for one).
struct FromHex {
    QByteArray image;
    HexToBinResult hex;
};

// Reads the file once, placing its data into both regions of a zero image,
// and stores the sums. Any reader failure refuses the file, as does a file
// without a byte for the application region: HexFileWithoutData when it has
// data for neither region, HexFileWithoutApplication when it has some for
// the external flash region only. The external flash region may stay empty.
FromHex fromHexFile(const QString &hexFileName);

} // namespace UpgradeImage
