#include "usb/USBVT350.h"

#include <QDebug>
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

// After a failed chunk the transport has dropped the connection: connect
// again, and give a unit that has left the bus (a cable glitch, a re-plug)
// its attempts to come back. The last connect's failure when it did not, or
// when it has been silent too long already.
Failure reconnectAfterFailure(UsbDevice &device, Clock &clock, qint64 lastGoodChunk)
{
    for (int attempt = 1;; ++attempt) {
        const Failure failure = device.tryConnect();
        if (!failure.failed())
            return failure;
        if (attempt >= USBVT350::ComeBackAttempts || clock.now() - lastGoodChunk >= USBVT350::SilenceLimitMs)
            return failure;
        clock.sleep(USBVT350::ComeBackPauseMs);
    }
}

// A unit that did not come back is one that stopped answering, unless it is
// there but may not be opened.
Failure notAnswering(const Failure &lastConnect)
{
    if (lastConnect.kind == Failure::Kind::AccessDenied || lastConnect.kind == Failure::Kind::Busy)
        return lastConnect;
    Failure failure(Failure::Kind::NotAnswering, lastConnect.detail);
    failure.portPath = lastConnect.portPath;
    return failure;
}

// The scheme that external flash reads and writes share: chunks of at most
// chunkLimit bytes, a budget of retries for the whole call (not per chunk),
// and a progress value after every good chunk only. A failed transfer has
// dropped the connection, so the repeated chunk reconnects first; with a
// clock that reconnection waits for a unit that has left the bus, and the
// clock's stop request is asked between chunks.
template <typename Transfer, typename Progress>
int transferExternalFlash(UsbDevice &device, uint32_t address, uint32_t length, uint32_t chunkLimit, Transfer transfer,
                          Progress progress, Clock *clock, Failure *failure)
{
    qint64 lastGoodChunk = clock ? clock->now() : 0;
    uint32_t done = 0;
    int retries = USBVT350::ExtFlashRetries;
    auto fail = [failure](const Failure &why) {
        if (failure)
            *failure = why;
        return -1;
    };
    while (done < length) {
        // A safe point: the chunks before went through whole, and the caller
        // knows the transfer is incomplete.
        if (done > 0 && clock && clock->stopRequested())
            return fail(Failure(Failure::Kind::Stopped));
        const uint32_t chunk = std::min(length - done, chunkLimit);
        const FailureOr<int> moved = transfer(done, address + done, chunk);
        if (!moved.ok() || moved.value != int(chunk)) {
            if (clock && clock->now() - lastGoodChunk >= USBVT350::SilenceLimitMs)
                return fail(notAnswering(moved.failure));
            if (retries == 0) {
                Failure refused(Failure::Kind::Refused, moved.failure.detail);
                refused.portPath = moved.failure.portPath;
                refused.request = moved.failure.request;
                refused.address = address + done;
                return fail(refused);
            }
            --retries;
            if (clock) {
                if (const Failure lost = reconnectAfterFailure(device, *clock, lastGoodChunk); lost.failed())
                    return fail(notAnswering(lost));
            }
            continue;
        }
        done += chunk;
        if (clock)
            lastGoodChunk = clock->now();
        progress(int(uint64_t(done) * 100 / length)); // truncating, so the last one is 100
    }
    if (failure)
        *failure = Failure();
    return 0;
}

} // namespace

USBVT350::USBVT350()
{
    setVidPid(VendorId, ProductId);
    setDeviceId(DeviceIdReply);
    qDebug() << "USBVT350 constructor";
}

bool USBVT350::awaitReturn(Clock &clock, qint64 lastGoodMs)
{
    return !reconnectAfterFailure(*this, clock, lastGoodMs).failed();
}

bool USBVT350::unitLost(const Failure &failure)
{
    return failure.failed() && failure.kind != Failure::Kind::Refused && failure.kind != Failure::Kind::Stopped;
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

int USBVT350::ReadExternalFlashFromAddress(unsigned char *buffer, uint32_t address, uint32_t length, Clock &clock,
                                           Failure *failure)
{
    return readExternalFlash(buffer, address, length, &clock, failure);
}

int USBVT350::WriteExternalFlashToAddress(const unsigned char *buffer, uint32_t address, uint32_t length, Clock &clock,
                                          Failure *failure)
{
    return writeExternalFlash(buffer, address, length, &clock, failure);
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

int USBVT350::ReadExternalFlashFromAddress(QByteArray &buffer, uint32_t address, Clock &clock, Failure *failure)
{
    return readExternalFlash(bytesOf(buffer), address, uint32_t(buffer.size()), &clock, failure);
}

int USBVT350::WriteExternalFlashToAddress(const QByteArray &bytes, uint32_t address, Clock &clock, Failure *failure)
{
    return writeExternalFlash(bytesOf(bytes), address, uint32_t(bytes.size()), &clock, failure);
}

int USBVT350::readExternalFlash(unsigned char *buffer, uint32_t address, uint32_t length, Clock *clock,
                                Failure *failure)
{
    return transferExternalFlash(
        *this, address, length, ExtFlashReadChunk,
        [&](uint32_t done, uint32_t at, uint32_t chunk) {
            return receiveControl(RequestReadExternalFlash, lowHalf(at), highHalf(at), buffer + done, int(chunk));
        },
        [this](int percent) { emit sendPercentExtFlashRead(percent); }, clock, failure);
}

int USBVT350::writeExternalFlash(const unsigned char *buffer, uint32_t address, uint32_t length, Clock *clock,
                                 Failure *failure)
{
    return transferExternalFlash(
        *this, address, length, ExtFlashWriteChunk,
        [&](uint32_t done, uint32_t at, uint32_t chunk) {
            return sendControl(RequestWriteExternalFlash, lowHalf(at), highHalf(at), buffer + done, int(chunk));
        },
        [this](int percent) { emit sendPercentExtFlashWrite(percent); }, clock, failure);
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
    return acquireHostAccess().failure.failed() ? -1 : 0;
}

USBVT350::HostAccess USBVT350::acquireHostAccess()
{
    HostAccess access;
    if (access.failure = tryConnect(); access.failure.failed())
        return access;
    // The unit answered the connect: a failure from here on is one of the
    // status transfers (the last one's), never one of not reaching it.
    access.failure = Failure(Failure::Kind::Refused);
    for (int read = 0; read < StatusAcquireReads; ++read) {
        unsigned char word[4] = {};
        const FailureOr<int> received = receiveControl(RequestStatusGet, 0, 0, word, 4);
        if (!received.ok() || received.value != 4) {
            if (!received.ok() && received.failure.reachedUnit())
                access.failure = received.failure;
            connect();
            continue;
        }
        if (qFromLittleEndian<uint32_t>(word) & HostAccessBit) {
            access.failure = Failure();
            return access;
        }
        access.askedForBit = true;
        StatusSet(HostAccessBit);
    }
    return access;
}

int USBVT350::StatusRelease()
{
    return StatusClr(HostAccessBit);
}

int USBVT350::ReadBulkBlock(unsigned char *buffer)
{
    return bulk_read(buffer, 64) == 64 ? 0 : -1;
}
