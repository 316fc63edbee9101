#include "lighting/LightingTransfer.h"

#include "usb/Scrambling.h"
#include "usb/USBVT350.h"

#include <QByteArray>

#include <cstring>

LightingTransfer::Status LightingTransfer::read(const Location &where, void *table)
{
    if (usb.StatusAcquire() != 0)
        return Status::AcquireFailed;

    QByteArray buffer(where.length, Qt::Uninitialized);
    auto *bytes = reinterpret_cast<unsigned char *>(buffer.data());
    const bool done = usb.ReadExternalFlashFromAddress(bytes, where.address, uint32_t(where.length)) == 0;
    if (done) {
        DecodeBuffer(bytes, unsigned(where.length));
        std::memcpy(table, bytes, size_t(where.length));
    }
    usb.StatusRelease();
    return done ? Status::Done : Status::TransferFailed;
}

LightingTransfer::Status LightingTransfer::write(const Location &where, const void *table,
                                                 const std::function<void()> &onAcquired)
{
    if (usb.StatusAcquire() != 0)
        return Status::AcquireFailed;
    if (onAcquired)
        onAcquired();

    QByteArray buffer(static_cast<const char *>(table), where.length);
    auto *bytes = reinterpret_cast<unsigned char *>(buffer.data());
    EncodeBuffer(bytes, unsigned(where.length));
    const bool done = usb.WriteExternalFlashToAddress(bytes, where.address, uint32_t(where.length)) == 0;
    usb.StatusRelease();
    return done ? Status::Done : Status::TransferFailed;
}

LightingTransfer::Verified LightingTransfer::writeVerified(const Location &where, const void *table)
{
    if (usb.StatusAcquire() != 0)
        return Verified::AcquireFailed;

    QByteArray buffer(static_cast<const char *>(table), where.length);
    auto *bytes = reinterpret_cast<unsigned char *>(buffer.data());
    EncodeBuffer(bytes, unsigned(where.length));
    Verified outcome = Verified::Done;
    if (usb.WriteExternalFlashToAddress(bytes, where.address, uint32_t(where.length)) != 0) {
        outcome = Verified::WriteFailed;
    } else {
        QByteArray readBack(where.length, Qt::Uninitialized);
        auto *back = reinterpret_cast<unsigned char *>(readBack.data());
        if (usb.ReadExternalFlashFromAddress(back, where.address, uint32_t(where.length)) != 0)
            outcome = Verified::ReadBackFailed;
        else if (readBack != buffer) // both scrambled with the same key words
            outcome = Verified::Mismatch;
    }
    // The access is given back whatever happened; a failed release only
    // counts when the table itself is in place.
    if (usb.StatusRelease() != 0 && outcome == Verified::Done)
        outcome = Verified::ReleaseFailed;
    return outcome;
}
