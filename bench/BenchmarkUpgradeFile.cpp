#include "BenchmarkUpgradeFile.h"

#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace BenchmarkUpgradeFile {

namespace {

QByteArray upgradeImage()
{
    QByteArray image(UpgradeImage::Size, '\0');
    QRandomGenerator generator(520);
    for (int i = UpgradeImage::ApplicationOffset;
         i < UpgradeImage::ExternalFlashOffset + UpgradeImage::ExternalFlashSize; ++i)
        image[i] = char(generator.bounded(256));
    UpgradeImage::storeRegionSums(reinterpret_cast<unsigned char *>(image.data()));
    return image;
}

} // namespace

QString write(const QTemporaryDir &folder)
{
    const QString fileName = folder.filePath("bench.upg");
    if (!UpgradeFile::write(fileName, upgradeImage())) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(fileName));
        return QString();
    }
    return fileName;
}

} // namespace BenchmarkUpgradeFile
