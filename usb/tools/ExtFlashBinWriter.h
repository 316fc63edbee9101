#pragma once

#include <QByteArray>
#include <QtGlobal>

class USBVT350;

// Writes a binary image into the external flash (at its start unless told
// otherwise), scrambled with the transfer key, and verifies it by reading it
// back.
class ExtFlashBinWriter
{
public:
    enum class Result {
        Ok,
        LengthError, // empty, not a whole number of 32-bit words, or past the flash's end
        WriteFailed,
        ReadFailed,
        Mismatch, // read back, but differs from the image
    };

    // The unit's external flash: 1 MiB from address 0.
    static constexpr qint64 FlashSize = 0x100000;

    static bool lengthAccepted(qsizetype length) { return length > 0 && length % 4 == 0; }
    // Whether length bytes from address lie within the external flash.
    static bool fitsFlash(quint32 address, qint64 length)
    {
        return address <= FlashSize && length <= FlashSize - address;
    }

    // On Mismatch, *firstDifference (if given) receives the offset in the
    // image of the first byte that read back differently.
    static Result writeAndVerify(USBVT350 &usb, const QByteArray &image, quint32 address = 0,
                                 qsizetype *firstDifference = nullptr);
};
