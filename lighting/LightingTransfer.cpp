#include "lighting/LightingTransfer.h"

#include "usb/Scrambling.h"

#include <QByteArray>

#include <cstring>

LightingTransfer::LightingTransfer(USBVT350 &usb, Clock &clock)
    : usb(usb)
    , clock(clock)
{
}

Failure LightingTransfer::acquire()
{
    accessMayBeSet = false;
    const qint64 start = clock.now();
    USBVT350::HostAccess access = usb.acquireHostAccess();
    if (!access.failure.failed())
        return access.failure;
    // A unit that answered and then left the bus gets the same chance to
    // come back as within a transfer, and is asked once more; a unit that
    // was never there, or is there but does not grant access, is not
    // waited for.
    if (access.failure.reachedUnit() && !usb.isConnected() && clock.now() - start < USBVT350::SilenceLimitMs
        && usb.awaitReturn(clock, start)) {
        access = usb.acquireHostAccess();
        if (!access.failure.failed())
            return access.failure;
    }
    if (access.askedForBit)
        giveBack(clock.now());
    return access.failure;
}

bool LightingTransfer::giveBack(qint64 lastAnswer)
{
    accessMayBeSet = false;
    if (usb.StatusRelease() == 0)
        return true;
    // The failed request has dropped the connection: a unit that left the
    // bus is waited for, then asked again.
    accessMayBeSet = !(usb.awaitReturn(clock, lastAnswer) && usb.StatusRelease() == 0);
    return !accessMayBeSet;
}

qint64 LightingTransfer::lastAnswerAfter(const Failure &failure) const
{
    // A unit that has stopped answering has been silent for the whole limit
    // already: the release gets one more try, not another wait.
    const qint64 now = clock.now();
    return USBVT350::unitLost(failure) ? now - USBVT350::SilenceLimitMs : now;
}

LightingTransfer::Status LightingTransfer::read(const Location &where, void *table)
{
    if (lastFailure = acquire(); lastFailure.failed())
        return Status::AcquireFailed;

    QByteArray buffer(where.length, Qt::Uninitialized);
    auto *bytes = reinterpret_cast<unsigned char *>(buffer.data());
    Failure failure;
    const bool done =
        usb.ReadExternalFlashFromAddress(bytes, where.address, uint32_t(where.length), clock, &failure) == 0;
    if (done) {
        DecodeBuffer(bytes, unsigned(where.length));
        std::memcpy(table, bytes, size_t(where.length));
    }
    giveBack(lastAnswerAfter(failure));
    lastFailure = failure;
    return done ? Status::Done : Status::TransferFailed;
}

LightingTransfer::Status LightingTransfer::write(const Location &where, const void *table,
                                                 const std::function<void()> &onAcquired)
{
    if (lastFailure = acquire(); lastFailure.failed())
        return Status::AcquireFailed;
    if (onAcquired)
        onAcquired();

    QByteArray buffer(static_cast<const char *>(table), where.length);
    auto *bytes = reinterpret_cast<unsigned char *>(buffer.data());
    EncodeBuffer(bytes, unsigned(where.length));
    Failure failure;
    const bool done =
        usb.WriteExternalFlashToAddress(bytes, where.address, uint32_t(where.length), clock, &failure) == 0;
    giveBack(lastAnswerAfter(failure));
    lastFailure = failure;
    return done ? Status::Done : Status::TransferFailed;
}

LightingTransfer::Verified LightingTransfer::writeVerified(const Location &where, const void *table)
{
    if (lastFailure = acquire(); lastFailure.failed())
        return Verified::AcquireFailed;

    QByteArray buffer(static_cast<const char *>(table), where.length);
    auto *bytes = reinterpret_cast<unsigned char *>(buffer.data());
    EncodeBuffer(bytes, unsigned(where.length));
    Verified outcome = Verified::Done;
    Failure failure;
    if (usb.WriteExternalFlashToAddress(bytes, where.address, uint32_t(where.length), clock, &failure) != 0) {
        outcome = Verified::WriteFailed;
    } else {
        QByteArray readBack(where.length, Qt::Uninitialized);
        auto *back = reinterpret_cast<unsigned char *>(readBack.data());
        if (usb.ReadExternalFlashFromAddress(back, where.address, uint32_t(where.length), clock, &failure) != 0)
            outcome = Verified::ReadBackFailed;
        else if (readBack != buffer) // both scrambled with the same key words
            outcome = Verified::Mismatch;
    }
    // The access is given back whatever happened; a failed release is the
    // outcome only when the table itself is in place, and is told by
    // hostAccessMayBeSet() in every case.
    if (!giveBack(lastAnswerAfter(failure)) && outcome == Verified::Done)
        outcome = Verified::ReleaseFailed;
    lastFailure = failure;
    return outcome;
}
