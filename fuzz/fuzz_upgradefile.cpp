// Upgrade file reader: header, version and image checks on any file content,
// then the image is descrambled and summed as the firmware change does.
#include "FuzzCheck.h"
#include "FuzzInputFile.h"

#include "firmware/FailureText.h"
#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"
#include "usb/Scrambling.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString fileName = FuzzInputFile::write(data, size);
    if (fileName.isEmpty())
        return 0;
    const UpgradeFile::Contents contents = UpgradeFile::read(fileName);
    if (contents.status != UpgradeFile::Status::Ok) {
        FUZZ_CHECK(!FailureText::upgradeFileRefusal(contents.status).isEmpty());
        return 0;
    }
    // Nothing shorter than a complete file can pass; bytes after it are not
    // looked at.
    FUZZ_CHECK(size >= size_t(UpgradeFile::FileSize));
    FUZZ_CHECK(contents.scrambledImage.size() == UpgradeImage::Size);

    QByteArray image = contents.scrambledImage;
    auto *bytes = reinterpret_cast<unsigned char *>(image.data());
    DecodeBuffer(bytes, quint32(image.size()));
    volatile quint32 sums =
        UpgradeImage::regionSum(bytes + UpgradeImage::ApplicationOffset, UpgradeImage::ApplicationSize)
        + UpgradeImage::regionSum(bytes + UpgradeImage::ExternalFlashOffset, UpgradeImage::ExternalFlashSize);
    (void)sums;
    return 0;
}
