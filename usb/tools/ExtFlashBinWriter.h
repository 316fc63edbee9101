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
        LengthError, // empty, or not a whole number of 32-bit words
        WriteFailed,
        ReadFailed,
        Mismatch, // read back, but differs from the image
    };

    static bool lengthAccepted(qsizetype length) { return length > 0 && length % 4 == 0; }

    // On Mismatch, *firstDifference (if given) receives the offset in the
    // image of the first byte that read back differently.
    static Result writeAndVerify(USBVT350 &usb, const QByteArray &image, quint32 address = 0,
                                 qsizetype *firstDifference = nullptr);
};
