#pragma once

#include "usb/Clock.h"
#include "usb/HexDump.h"
#include "usb/Scrambling.h"
#include "usb/UsbDevice.h"

#include <cstdint>

// The Vt520's command set: every device operation as vendor control transfers
// on endpoint 0. A 32-bit device address travels as wValue = bits 0-15 and
// wIndex = bits 16-31. All operations return 0 on success and -1 on failure
// (unless noted) and take the transport lock once per transfer, never for a
// whole chunked command.
class USBVT350 : public UsbDevice
{
    Q_OBJECT

public:
    // Vendor requests of the device.
    enum Request : uint8_t {
        RequestReadMemory = 1,         // IN, address, 1..2048 bytes, scrambled per request
        RequestTestWrite = 2,          // OUT, 512 bytes i mod 256
        RequestWritePage = 3,          // OUT, page address, 1024 scrambled bytes (bootloader)
        RequestRunApplication = 4,     // OUT, no data
        RequestReadExternalFlash = 5,  // IN, address, 1..512 bytes
        RequestWriteExternalFlash = 6, // OUT, address, 1..256 bytes
        RequestStatusSet = 7,          // OUT, 4-byte LE mask
        RequestStatusClr = 8,          // OUT, 4-byte LE mask
        RequestStatusGet = 9,          // IN, 4-byte LE status word
        RequestDeviceId = 255,         // IN, 2 bytes FC 00
    };

    static constexpr uint16_t VendorId = 0x16C0;
    static constexpr uint16_t ProductId = 0x078E;
    static constexpr uint16_t DeviceIdReply = 0x00FC;

    static constexpr int ReadMemoryChunk = 2048;
    static constexpr int PageSize = 1024;
    static constexpr int ExtFlashReadChunk = 512;
    static constexpr int ExtFlashWriteChunk = 256;
    static constexpr int ExtFlashRetries = 100; // failed chunks per call
    static constexpr int StatusAcquireReads = 11;
    static constexpr uint32_t HostAccessBit = 1;

    // How a chunked external flash transfer given a clock copes with a unit
    // that leaves the bus or stops answering, as a firmware change needs:
    // after a failed chunk it connects again, giving a unit that has left
    // the bus up to ComeBackAttempts tries ComeBackPauseMs apart (on that
    // clock) to return, and it gives up once no chunk has gone through for
    // SilenceLimitMs. Chunks that the unit refuses still count against
    // ExtFlashRetries. The clock's stop request is asked before every chunk
    // after the first: true ends the transfer there (Failure::Kind::Stopped),
    // between two chunks and never within one. Without a clock a failed
    // chunk is simply tried again at once.
    static constexpr int ComeBackPauseMs = 100;
    static constexpr int ComeBackAttempts = 50;
    static constexpr int SilenceLimitMs = 30000;

    // How an external flash transfer fails: Refused when the retries were
    // spent on chunks that failed (the detail is the last chunk's), and
    // with a clock only NotAnswering when the unit left the bus or
    // stayed silent (or, when it came back at once but could not be opened,
    // AccessDenied or Busy), Stopped when stopped on request between two
    // chunks. True for a failure after which the unit has not answered
    // since (its patience is spent): all but Refused and Stopped.
    static bool unitLost(const Failure &failure);

    USBVT350();

    // After a failed transfer (which has dropped the connection): connects
    // again, giving a unit that has left the bus ComeBackAttempts tries
    // ComeBackPauseMs apart to return, and none once it has been silent for
    // SilenceLimitMs since lastGoodMs on the clock (which must
    // be given here). False when it did not come back.
    bool awaitReturn(Clock &clock, qint64 lastGoodMs);

    // Reads length bytes of device memory and unscrambles each chunk.
    int ReadMemory(unsigned char *buffer, uint32_t address, uint32_t length);

    // Scrambles the caller's 1024 bytes in place and programs one page.
    int WritePage(unsigned char *buffer, uint32_t address);

    // External flash, bytes as stored; up to 100 failed chunks retried per
    // call; the progress signal follows every good chunk (last value 100).
    int ReadExternalFlashFromAddress(unsigned char *buffer, uint32_t address, uint32_t length);
    int WriteExternalFlashToAddress(const unsigned char *buffer, uint32_t address, uint32_t length);
    // The same with a clock to recover on; failure (may be null) tells why -1 came.
    int ReadExternalFlashFromAddress(unsigned char *buffer, uint32_t address, uint32_t length, Clock &clock,
                                     Failure *failure);
    int WriteExternalFlashToAddress(const unsigned char *buffer, uint32_t address, uint32_t length, Clock &clock,
                                    Failure *failure);

    // The same operations on byte arrays, the array's size being the length
    // (a page: PageSize bytes, scrambled in place as above).
    int ReadMemory(QByteArray &buffer, uint32_t address);
    int WritePage(QByteArray &page, uint32_t address);
    int ReadExternalFlashFromAddress(QByteArray &buffer, uint32_t address);
    int WriteExternalFlashToAddress(const QByteArray &bytes, uint32_t address);
    int ReadExternalFlashFromAddress(QByteArray &buffer, uint32_t address, Clock &clock, Failure *failure);
    int WriteExternalFlashToAddress(const QByteArray &bytes, uint32_t address, Clock &clock, Failure *failure);

    // Bootloader: start the application. Application: reset into the
    // bootloader. The device leaves the bus; callers reconnect. 0 when the
    // request went through; a device may also restart before it answers, so
    // only its return shows the outcome.
    int RunApplication();

    // Stores the status word only on success; status may not be null.
    int StatusGet(uint32_t *status);
    int StatusSet(uint32_t mask);
    int StatusClr(uint32_t mask);

    // Fresh connect, then up to 11 status reads, setting bit 0 after every
    // read that shows it clear. 0 once bit 0 is reported set.
    int StatusAcquire();
    int StatusRelease();

    // What an acquire got to, for a caller that has to clean up after it
    // failed: why it failed (a failure that reachedUnit() may be a unit that
    // then left the bus, worth waiting for), and whether it asked for bit 0
    // (which the unit may then hold although it was not seen set).
    struct HostAccess {
        Failure failure;
        bool askedForBit = false;
    };
    // StatusAcquire, telling what it got to.
    HostAccess acquireHostAccess();

    // One 64-byte bulk read on endpoint 0x81; 0 if exactly 64 bytes came.
    int ReadBulkBlock(unsigned char *buffer);

private:
    int readExternalFlash(unsigned char *buffer, uint32_t address, uint32_t length, Clock *clock, Failure *failure);
    int writeExternalFlash(const unsigned char *buffer, uint32_t address, uint32_t length, Clock *clock,
                           Failure *failure);

signals:
    void sendPercentExtFlashWrite(int percent);
    void sendPercentExtFlashRead(int percent);
};
