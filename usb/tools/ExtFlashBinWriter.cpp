#include "usb/tools/ExtFlashBinWriter.h"

#include "usb/Scrambling.h"
#include "usb/USBVT350.h"

#include <algorithm>

namespace {
quint8 *bytes(QByteArray &buffer)
{
    return reinterpret_cast<quint8 *>(buffer.data());
}
} // namespace

ExtFlashBinWriter::Result ExtFlashBinWriter::writeAndVerify(USBVT350 &usb, const QByteArray &image, quint32 address,
                                                            qsizetype *firstDifference)
{
    // Checked before any transfer: a write past the end would wrap round
    // onto the flash's start or fail only after overwriting the rest.
    if (!lengthAccepted(image.size()) || !fitsFlash(address, image.size()))
        return Result::LengthError;
    const quint32 length = quint32(image.size());

    QByteArray scrambled = image;
    EncodeBuffer(bytes(scrambled), length);
    if (usb.WriteExternalFlashToAddress(bytes(scrambled), address, length) != 0)
        return Result::WriteFailed;

    QByteArray readBack(image.size(), '\0');
    if (usb.ReadExternalFlashFromAddress(bytes(readBack), address, length) != 0)
        return Result::ReadFailed;
    DecodeBuffer(bytes(readBack), length);

    if (readBack == image)
        return Result::Ok;
    if (firstDifference)
        *firstDifference = std::mismatch(image.begin(), image.end(), readBack.begin()).first - image.begin();
    return Result::Mismatch;
}
