#include "usb/tools/ExtFlashBinWriter.h"

#include "usb/Scrambling.h"
#include "usb/USBVT350.h"

namespace {
constexpr quint32 ImageAddress = 0;

quint8 *bytes(QByteArray &buffer)
{
    return reinterpret_cast<quint8 *>(buffer.data());
}
} // namespace

ExtFlashBinWriter::Result ExtFlashBinWriter::writeAndVerify(USBVT350 &usb, const QByteArray &image)
{
    if (!lengthAccepted(image.size()))
        return Result::LengthError;
    const quint32 length = quint32(image.size());

    QByteArray scrambled = image;
    EncodeBuffer(bytes(scrambled), length);
    if (usb.WriteExternalFlashToAddress(bytes(scrambled), ImageAddress, length) != 0)
        return Result::WriteFailed;

    QByteArray readBack(image.size(), '\0');
    if (usb.ReadExternalFlashFromAddress(bytes(readBack), ImageAddress, length) != 0)
        return Result::ReadFailed;
    DecodeBuffer(bytes(readBack), length);

    return readBack == image ? Result::Ok : Result::Mismatch;
}
