#include "firmware/UpgradeImage.h"

#include "firmware/HexToBin.h"

#include <QtEndian>

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
    result.applicationResult = HexToBin(hexFileName, image + ApplicationOffset, ApplicationAddress,
                                        ApplicationAddress + ApplicationSize - 1);
    result.externalFlashResult = HexToBin(hexFileName, image + ExternalFlashOffset,
                                          ExternalFlashImageAddress,
                                          ExternalFlashImageAddress + ExternalFlashSize - 1);
    // Both reads see the same lines, so they fail alike; only "no data"
    // differs between the regions, and counts against the file as a whole.
    const bool applicationEmpty = result.applicationResult == HexFileWithoutData;
    const bool externalFlashEmpty = result.externalFlashResult == HexFileWithoutData;
    if (applicationEmpty != externalFlashEmpty) {
        if (applicationEmpty)
            result.applicationResult = 0;
        else
            result.externalFlashResult = 0;
    }
    storeRegionSums(image);
    return result;
}

} // namespace UpgradeImage
