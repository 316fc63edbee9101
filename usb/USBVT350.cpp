#include "usb/USBVT350.h"

#include <QDebug>

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

void storeLittleEndian(unsigned char *p, uint32_t w)
{
    p[0] = uint8_t(w);
    p[1] = uint8_t(w >> 8);
    p[2] = uint8_t(w >> 16);
    p[3] = uint8_t(w >> 24);
}

// The scheme that external flash reads and writes share: chunks of at most
// chunkLimit bytes, a budget of retries for the whole call (not per chunk),
// and a progress value after every good chunk only. A failed transfer has
// dropped the connection, so the repeated chunk reconnects first.
template <typename Transfer, typename Progress>
int transferExternalFlash(uint32_t address, uint32_t length, uint32_t chunkLimit, Transfer transfer,
                          Progress progress)
{
    uint32_t done = 0;
    int retries = USBVT350::ExtFlashRetries;
    while (done < length) {
        const uint32_t chunk = std::min(length - done, chunkLimit);
        if (transfer(done, address + done, chunk) != int(chunk)) {
            if (retries == 0)
                return -1;
            --retries;
            continue;
        }
        done += chunk;
        progress(int(uint64_t(done) * 100 / length)); // truncating, so the last one is 100
    }
    return 0;
}

} // namespace

USBVT350::USBVT350()
{
    setVidPid(VendorId, ProductId);
    setDeviceId(DeviceIdReply);
    qDebug() << "USBVT350 constructor";
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
    return transferExternalFlash(address, length, ExtFlashReadChunk,
        [&](uint32_t done, uint32_t at, uint32_t chunk) {
            return control_receive(RequestReadExternalFlash, lowHalf(at), highHalf(at), buffer + done, int(chunk));
        },
        [this](int percent) { emit sendPercentExtFlashRead(percent); });
}

int USBVT350::WriteExternalFlashToAddress(const unsigned char *buffer, uint32_t address, uint32_t length)
{
    return transferExternalFlash(address, length, ExtFlashWriteChunk,
        [&](uint32_t done, uint32_t at, uint32_t chunk) {
            return control_send(RequestWriteExternalFlash, lowHalf(at), highHalf(at), buffer + done, int(chunk));
        },
        [this](int percent) { emit sendPercentExtFlashWrite(percent); });
}

void USBVT350::RunApplication()
{
    qDebug() << "USBVT350::RunApplication(void)";
    control_send(RequestRunApplication, 0, 0, nullptr, 0);
}

int USBVT350::StatusGet(uint32_t *status)
{
    unsigned char word[4] = {};
    if (control_receive(RequestStatusGet, 0, 0, word, 4) != 4)
        return -1;
    if (status)
        *status = uint32_t(word[0]) | uint32_t(word[1]) << 8 | uint32_t(word[2]) << 16 | uint32_t(word[3]) << 24;
    return 0;
}

int USBVT350::StatusSet(uint32_t mask)
{
    unsigned char word[4];
    storeLittleEndian(word, mask);
    return control_send(RequestStatusSet, 0, 0, word, 4) == 4 ? 0 : -1;
}

int USBVT350::StatusClr(uint32_t mask)
{
    unsigned char word[4];
    storeLittleEndian(word, mask);
    return control_send(RequestStatusClr, 0, 0, word, 4) == 4 ? 0 : -1;
}

int USBVT350::StatusAcquire()
{
    if (connect() != 0)
        return -1;
    for (int read = 0; read < StatusAcquireReads; ++read) {
        uint32_t status = 0;
        if (StatusGet(&status) != 0) {
            connect();
            continue;
        }
        if (status & HostAccessBit)
            return 0;
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
