#include "usb/USBVT350.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QThread>
#include <QtEndian>

#include <algorithm>

namespace {

uint16_t lowHalf(uint32_t address)
{
    return uint16_t(address & 0xFFFF);
}

uint16_t highHalf(uint32_t address)
{
    return uint16_t(address >> 16);
}

// A monotonic clock in milliseconds: the recovery's own, or a steady one.
class RecoveryClock
{
public:
    explicit RecoveryClock(const USBVT350::Recovery *recovery)
        : recovery(recovery)
    {
        steady.start();
    }
    qint64 now() const { return recovery && recovery->now ? recovery->now() : steady.elapsed(); }
    void sleep(int milliseconds) const
    {
        if (recovery && recovery->sleep)
            recovery->sleep(milliseconds);
        else
            QThread::msleep(static_cast<unsigned long>(milliseconds));
    }

private:
    const USBVT350::Recovery *recovery;
    QElapsedTimer steady;
};

// After a failed chunk the transport has dropped the connection: connect
// again, and give a unit that has left the bus (a cable glitch, a re-plug)
// its attempts to come back. False when it did not, or when it has been
// silent too long already.
bool reconnectAfterFailure(UsbDevice &device, const RecoveryClock &clock, qint64 lastGoodChunk)
{
    for (int attempt = 1;; ++attempt) {
        if (device.connect() == 0)
            return true;
        if (attempt >= USBVT350::ComeBackAttempts || clock.now() - lastGoodChunk >= USBVT350::SilenceLimitMs)
            return false;
        clock.sleep(USBVT350::ComeBackPauseMs);
    }
}

// The scheme that external flash reads and writes share: chunks of at most
// chunkLimit bytes, a budget of retries for the whole call (not per chunk),
// and a progress value after every good chunk only. A failed transfer has
// dropped the connection, so the repeated chunk reconnects first; with a
// recovery that reconnection waits for a unit that has left the bus, and
// the recovery's stop hook is asked between chunks.
template <typename Transfer, typename Progress>
int transferExternalFlash(UsbDevice &device, uint32_t address, uint32_t length, uint32_t chunkLimit, Transfer transfer,
                          Progress progress, const USBVT350::Recovery *recovery, USBVT350::TransferFailure *failure)
{
    const RecoveryClock clock(recovery);
    qint64 lastGoodChunk = clock.now();
    uint32_t done = 0;
    int retries = USBVT350::ExtFlashRetries;
    auto fail = [failure](USBVT350::TransferFailure why) {
        if (failure)
            *failure = why;
        return -1;
    };
    while (done < length) {
        // A safe point: the chunks before went through whole, and the caller
        // knows the transfer is incomplete.
        if (done > 0 && recovery && recovery->stopRequested && recovery->stopRequested())
            return fail(USBVT350::TransferFailure::Stopped);
        const uint32_t chunk = std::min(length - done, chunkLimit);
        if (transfer(done, address + done, chunk) != int(chunk)) {
            if (recovery && clock.now() - lastGoodChunk >= USBVT350::SilenceLimitMs)
                return fail(USBVT350::TransferFailure::StoppedAnswering);
            if (retries == 0)
                return fail(USBVT350::TransferFailure::Refused);
            --retries;
            if (recovery && !reconnectAfterFailure(device, clock, lastGoodChunk))
                return fail(USBVT350::TransferFailure::StoppedAnswering);
            continue;
        }
        done += chunk;
        lastGoodChunk = clock.now();
        progress(int(uint64_t(done) * 100 / length)); // truncating, so the last one is 100
    }
    if (failure)
        *failure = USBVT350::TransferFailure::None;
    return 0;
}

} // namespace

USBVT350::USBVT350()
{
    setVidPid(VendorId, ProductId);
    setDeviceId(DeviceIdReply);
    qDebug() << "USBVT350 constructor";
}

bool USBVT350::awaitReturn(const Recovery &recovery, qint64 lastGoodMs)
{
    return reconnectAfterFailure(*this, RecoveryClock(&recovery), lastGoodMs);
}

int USBVT350::ReadMemory(unsigned char *buffer, uint32_t address, uint32_t length)
{
    while (length > 0) {
        const uint32_t chunk = std::min<uint32_t>(length, ReadMemoryChunk);
        const int received =
            control_receive(RequestReadMemory, lowHalf(address), highHalf(address), buffer, int(chunk));
        if (received != int(chunk))
            return -1;
        // The device scrambles every request from key word 0.
        DecodeBuffer(buffer, chunk);
        buffer += chunk;
        address += chunk;
        length -= chunk;
    }
    return 0;
}

int USBVT350::WritePage(unsigned char *buffer, uint32_t address)
{
    EncodeBuffer(buffer, PageSize);
    const int sent = control_send(RequestWritePage, lowHalf(address), highHalf(address), buffer, PageSize);
    return sent == PageSize ? 0 : -1;
}

int USBVT350::ReadExternalFlashFromAddress(unsigned char *buffer, uint32_t address, uint32_t length)
{
    return readExternalFlash(buffer, address, length, nullptr, nullptr);
}

int USBVT350::WriteExternalFlashToAddress(const unsigned char *buffer, uint32_t address, uint32_t length)
{
    return writeExternalFlash(buffer, address, length, nullptr, nullptr);
}

int USBVT350::ReadExternalFlashFromAddress(unsigned char *buffer, uint32_t address, uint32_t length,
                                           const Recovery &recovery, TransferFailure *failure)
{
    return readExternalFlash(buffer, address, length, &recovery, failure);
}

int USBVT350::WriteExternalFlashToAddress(const unsigned char *buffer, uint32_t address, uint32_t length,
                                          const Recovery &recovery, TransferFailure *failure)
{
    return writeExternalFlash(buffer, address, length, &recovery, failure);
}

namespace {

unsigned char *bytesOf(QByteArray &bytes)
{
    return reinterpret_cast<unsigned char *>(bytes.data());
}

const unsigned char *bytesOf(const QByteArray &bytes)
{
    return reinterpret_cast<const unsigned char *>(bytes.constData());
}

} // namespace

int USBVT350::ReadMemory(QByteArray &buffer, uint32_t address)
{
    return ReadMemory(bytesOf(buffer), address, uint32_t(buffer.size()));
}

int USBVT350::WritePage(QByteArray &page, uint32_t address)
{
    return page.size() == PageSize ? WritePage(bytesOf(page), address) : -1;
}

int USBVT350::ReadExternalFlashFromAddress(QByteArray &buffer, uint32_t address)
{
    return readExternalFlash(bytesOf(buffer), address, uint32_t(buffer.size()), nullptr, nullptr);
}

int USBVT350::WriteExternalFlashToAddress(const QByteArray &bytes, uint32_t address)
{
    return writeExternalFlash(bytesOf(bytes), address, uint32_t(bytes.size()), nullptr, nullptr);
}

int USBVT350::ReadExternalFlashFromAddress(QByteArray &buffer, uint32_t address, const Recovery &recovery,
                                           TransferFailure *failure)
{
    return readExternalFlash(bytesOf(buffer), address, uint32_t(buffer.size()), &recovery, failure);
}

int USBVT350::WriteExternalFlashToAddress(const QByteArray &bytes, uint32_t address, const Recovery &recovery,
                                          TransferFailure *failure)
{
    return writeExternalFlash(bytesOf(bytes), address, uint32_t(bytes.size()), &recovery, failure);
}

int USBVT350::readExternalFlash(unsigned char *buffer, uint32_t address, uint32_t length, const Recovery *recovery,
                                TransferFailure *failure)
{
    return transferExternalFlash(
        *this, address, length, ExtFlashReadChunk,
        [&](uint32_t done, uint32_t at, uint32_t chunk) {
            return control_receive(RequestReadExternalFlash, lowHalf(at), highHalf(at), buffer + done, int(chunk));
        },
        [this](int percent) { emit sendPercentExtFlashRead(percent); }, recovery, failure);
}

int USBVT350::writeExternalFlash(const unsigned char *buffer, uint32_t address, uint32_t length,
                                 const Recovery *recovery, TransferFailure *failure)
{
    return transferExternalFlash(
        *this, address, length, ExtFlashWriteChunk,
        [&](uint32_t done, uint32_t at, uint32_t chunk) {
            return control_send(RequestWriteExternalFlash, lowHalf(at), highHalf(at), buffer + done, int(chunk));
        },
        [this](int percent) { emit sendPercentExtFlashWrite(percent); }, recovery, failure);
}

int USBVT350::RunApplication()
{
    qDebug() << "USBVT350::RunApplication(void)";
    return control_send(RequestRunApplication, 0, 0, nullptr, 0) == 0 ? 0 : -1;
}

int USBVT350::StatusGet(uint32_t *status)
{
    unsigned char word[4] = {};
    if (control_receive(RequestStatusGet, 0, 0, word, 4) != 4)
        return -1;
    if (status)
        *status = qFromLittleEndian<uint32_t>(word);
    return 0;
}

int USBVT350::StatusSet(uint32_t mask)
{
    unsigned char word[4];
    qToLittleEndian<uint32_t>(mask, word);
    return control_send(RequestStatusSet, 0, 0, word, 4) == 4 ? 0 : -1;
}

int USBVT350::StatusClr(uint32_t mask)
{
    unsigned char word[4];
    qToLittleEndian<uint32_t>(mask, word);
    return control_send(RequestStatusClr, 0, 0, word, 4) == 4 ? 0 : -1;
}

int USBVT350::StatusAcquire()
{
    acquireReachedUnit = false;
    acquireAskedForBit = false;
    if (connect() != 0)
        return -1;
    acquireReachedUnit = true;
    for (int read = 0; read < StatusAcquireReads; ++read) {
        uint32_t status = 0;
        if (StatusGet(&status) != 0) {
            connect();
            continue;
        }
        if (status & HostAccessBit)
            return 0;
        acquireAskedForBit = true;
        StatusSet(HostAccessBit);
    }
    return -1;
}

int USBVT350::StatusRelease()
{
    return StatusClr(HostAccessBit);
}

int USBVT350::ReadBulkBlock(unsigned char *buffer)
{
    return bulk_read(buffer, 64) == 64 ? 0 : -1;
}
