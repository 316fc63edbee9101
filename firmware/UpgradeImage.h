#pragma once

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

// Replaces the last word of both regions with the sum of the words before it.
void storeRegionSums(unsigned char *image);

// Result of building an image from an Intel HEX file: the plain image and
// the HexToBin results of its two regions (0 for success).
struct FromHex {
    QByteArray image;
    int applicationResult = 0;
    int externalFlashResult = 0;
};

// Reads the file once per region into a zero image and stores the sums. The
// sums are stored even when a region failed, over whatever was read. A region
// without data is fine while the other one has some; a file that cannot be
// opened, or that has data for neither region, gives the same refusal
// (isHexFileRefused) in both results, and no image may be made from it.
FromHex fromHexFile(const QString &hexFileName);

} // namespace UpgradeImage
