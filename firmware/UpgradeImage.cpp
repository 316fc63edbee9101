#include "firmware/UpgradeImage.h"

#include <QtEndian>

#include <algorithm>

namespace UpgradeImage {

quint32 regionSum(const unsigned char *region, int regionSize)
{
    quint32 sum = 0;
    for (int offset = 0; offset + 4 < regionSize; offset += 4)
        sum += qFromLittleEndian<quint32>(region + offset);
    return sum;
}

bool regionSumHolds(const unsigned char *region, int regionSize)
{
    return qFromLittleEndian<quint32>(region + regionSize - 4) == regionSum(region, regionSize);
}

bool holdsApplication(const unsigned char *image)
{
    const unsigned char *region = image + ApplicationOffset;
    return std::any_of(region, region + ApplicationSize - 4, [](unsigned char byte) { return byte != 0; });
}

static void storeSum(unsigned char *region, int regionSize)
{
    qToLittleEndian<quint32>(regionSum(region, regionSize), region + regionSize - 4);
}

void storeRegionSums(unsigned char *image)
{
    storeSum(image + ApplicationOffset, ApplicationSize);
    storeSum(image + ExternalFlashOffset, ExternalFlashSize);
}

FromHex fromHexFile(const QString &hexFileName)
{
    FromHex result;
    result.image = QByteArray(Size, '\0');
    auto *image = reinterpret_cast<unsigned char *>(result.image.data());
    QList<HexWindow> regions{
        {image + ApplicationOffset, ApplicationAddress, ApplicationAddress + ApplicationSize - 1, 0},
        {image + ExternalFlashOffset, ExternalFlashImageAddress, ExternalFlashImageAddress + ExternalFlashSize - 1, 0},
    };
    result.hex = readHexWindows(hexFileName, regions);
    if (result.hex.code != 0)
        return result;
    // An all-zero application would pass for a firmware that the unit runs.
    if (!holdsApplication(image)) {
        const bool noData = regions.at(0).storedBytes == 0 && regions.at(1).storedBytes == 0;
        result.hex.code = noData ? HexFileWithoutData : HexFileWithoutApplication;
        return result;
    }
    storeRegionSums(image);
    return result;
}

} // namespace UpgradeImage
