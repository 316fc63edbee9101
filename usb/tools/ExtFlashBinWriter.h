#pragma once

#include <QByteArray>
#include <QtGlobal>

class USBVT350;

// Writes a binary image to the start of the external flash, scrambled with
// the transfer key, and verifies it by reading it back.
class ExtFlashBinWriter
{
public:
    enum class Result {
        Ok,
        LengthError, // empty, or not a whole number of 32-bit words
        WriteFailed,
        ReadFailed,
        Mismatch,    // read back, but differs from the image
    };

    static bool lengthAccepted(qsizetype length) { return length > 0 && length % 4 == 0; }

    static Result writeAndVerify(USBVT350 &usb, const QByteArray &image);
};
