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
