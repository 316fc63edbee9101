#pragma once

// Control interface of the Vt520 device emulator (libvt520sim.so).
//
// The emulator implements the libusb-1.0 functions the transport uses over a
// virtual bus of emulated devices. A test links the library in place of
// libusb-1.0 and steers the bus through vt520sim::Bus::instance():
//
//     auto &bus = vt520sim::Bus::instance();
//     bus.reset();                                  // empty bus, zero costs
//     bus.useVirtualClock(true);                    // waits cost no real time
//     vt520sim::Device &vt = bus.addVt520(1, 4, "261100042");
//     USBVT350 usb;                                 // code under test
//     ...
//     QCOMPARE(bus.requestCount(6), 320);
//     QCOMPARE(vt.externalFlash(0x14000, 16), expected);
//
// Everything here is thread-safe: a test may steer the bus while the code
// under test runs transfers on another thread.
//
// Device references returned by addVt520()/addDevice()/device() stay valid
// until the next reset()/resetToDefault(), or until another device is added
// at the same bus and address (which unplugs the old one for good).
//
// Waits: reset() leaves the bus on the real clock. A test that makes the
// device re-enumerate (request 4) should call useVirtualClock(true) and let
// time pass with advanceClock()/sleepMs(); code under test that takes a
// sleep function can be given vt520sim::sleepMs, which advances the virtual
// clock instead of sleeping. Transfer costs and re-enumeration delays both
// run on this clock.
//
// A failed transfer (fault, stall, device gone) changes nothing on the
// device, except an answer lost on its way back (AnswerLost): the device has
// acted on that request, the host sees a timeout. Every vendor request is strict: wrong direction, size, address,
// mode or a non-zero wValue/wIndex where none belongs stalls
// (LIBUSB_ERROR_PIPE), as a real device would.
//
// What the bus holds before any test control (also when preloaded into the
// real program): one Vt520 on bus 1, address 1, port path 1-1. If
// VT520_SIM_STATE names a folder, that device keeps its state there
// (factory-fresh if the folder is missing, created then) and has realistic
// transfer costs and real time; otherwise it lives in memory with zero costs.
// VT520_SIM_UNITS=N (N > 1) puts N Vt520s there instead, behind a hub at
// root port 1: unit k at port path 1-1.k, address k, serial 261100042 + k - 1,
// with its state in VT520_SIM_STATE/unitk when that is set.
// VT520_SIM_UNITS=0 leaves the bus empty: no device attached.
// VT520_SIM_ARRIVE_MS=N keeps those units off the bus until N ms of bus
// time have passed since the library was loaded, as units plugged in while
// a program already looks for them.
// VT520_SIM_CLOCK names a clock file (see shareClock()): the bus then runs
// on that shared virtual clock, costs and all, instead of real time.
//
// Addresses and port paths: as on a real host, a device that comes back to
// the bus (after request 4, an unplug and replug, an ordered unplug) gets a
// new address, the next one after the last given out on its bus; its port
// path ("bus-port.port...", as Linux names it) stays. libusb_get_bus_number,
// libusb_get_device_address, libusb_get_port_number and
// libusb_get_port_numbers answer accordingly. A device added by bus and
// address sits at port path "bus-address" unless placed elsewhere.
//
// Power-on (Return::PowerOn, Device::powerCycle): our model of a Vt520 that
// has lost power, from its observed behaviour rather than the maker's
// documentation. The bootloader starts first and chooses the mode from the
// application's sum: a stored sum equal to the computed one starts the
// application, anything else stays in the bootloader. Everything held in RAM
// is gone: the status word is back to its power-on value 0 (the host-access
// bit clear, no acknowledge pending), the bulk queues and the last test
// block are empty. Both flashes keep their contents, including a page or
// chunk whose write had been acted on. A plain unplug and replug
// (Return::StateKept) keeps mode and status instead, as a cable glitch that
// leaves the unit powered does.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

namespace vt520sim {

class BusPrivate;
class EmulatedDevice;

enum class Mode { Application, Bootloader };

// Layout of the emulated Vt520.
inline constexpr uint32_t InternalFlashBase = 0x08000000;
inline constexpr uint32_t InternalFlashSize = 256 * 1024;
inline constexpr uint32_t BootloaderSize = 16 * 1024;
inline constexpr uint32_t VersionBlockAddress = 0x08003FD0;
inline constexpr uint32_t VersionBlockSize = 32;
inline constexpr uint32_t ApplicationBase = 0x08004000;
inline constexpr uint32_t ApplicationSumAddress = 0x0801FFFC; // sum of the words before it
inline constexpr uint32_t PageSize = 1024;
inline constexpr uint32_t ExternalFlashSize = 1024 * 1024;
inline constexpr int Never = -1;
// Given as the error of a transfer fault (failTransfer, failRequest,
// failRequestAt): the device acts on the request (writes the page, sets the
// status bit, stores the chunk, counts the status read) but its answer is
// lost. The host sees LIBUSB_ERROR_TIMEOUT after its timeout, as for a
// device that never answers, and an IN transfer's buffer is left as it was.
// Outside every libusb error code.
inline constexpr int AnswerLost = -1000;

// How a device pulled out by an ordered unplug comes back.
enum class Return {
    StateKept, // mode, status and RAM as they were (a cable glitch)
    PowerOn,   // as at power-on, see the top of this file
};

// Time that transfers take on the bus clock. Zero by default in tests.
//
// Two kinds of time, so that parallel units are not free:
//  - the bus's time: with fullSpeedWire, each transfer occupies its bus for
//    the wire time of its packets at 12 Mbit/s (see sim/WireTime.h: a
//    1024-byte control transfer 846 us, 512 bytes 435 us, 256 bytes 229 us,
//    none 23 us). A bus carries one transfer at a time: a transfer waits
//    until every earlier transfer to any device on the same bus number has
//    left the wire;
//  - the unit's own time, which runs in parallel across units: the
//    per-transfer latency (the host schedules a transfer in the next 1 ms
//    frame and the device turns it around), programming and erasing flash,
//    and re-enumeration (Device::setReenumerateDelay, 1000 ms by default).
// A transfer's cost is its wait for the bus, its wire time and its unit's
// own time. On the real clock parallel threads wait side by side; the
// virtual clock is one timeline on which every wait of every thread adds
// up, so it gives one unit's figures exactly and several units' pessimistic
// ones.
struct TransferCost {
    int controlMicroseconds = 0;         // every transfer: frame scheduling and the device's turnaround
    int pageProgramMicroseconds = 0;     // request 3: erase and program one 1 KiB internal flash page
    int externalProgramMicroseconds = 0; // request 6: program one chunk (at most a 256-byte flash page)
    int sectorEraseMicroseconds = 0;     // request 6 starting at a 4 KiB sector boundary: erase it first
    bool fullSpeedWire = false;          // wire time on the shared bus, as above

    static TransferCost none() { return {}; }
    // 1 ms latency per transfer, 20 ms per internal page (erase and
    // program), a serial NOR flash's typical 0.7 ms page program and 45 ms
    // 4 KiB sector erase, and the wire at full speed.
    static TransferCost realistic() { return {1000, 20000, 700, 45000, true}; }
    bool isNone() const
    {
        return controlMicroseconds == 0 && pageProgramMicroseconds == 0 && externalProgramMicroseconds == 0
               && sectorEraseMicroseconds == 0 && !fullSpeedWire;
    }
};

// One entry of the transfer log: every libusb call that reaches a device
// (control and bulk transfers, also standard requests: GET_STATUS,
// GET_DESCRIPTOR, GET_CONFIGURATION).
struct TransferRecord {
    int bus = 0;
    int address = 0;
    uint8_t requestType = 0; // bmRequestType; for bulk: the endpoint
    uint8_t request = 0;     // bRequest; 0 for bulk
    uint16_t value = 0;
    uint16_t index = 0;
    int length = 0; // wLength / bulk length asked for
    int result = 0; // bytes moved or a LIBUSB_ERROR_* code
    bool bulk = false;
    bool overlapped = false; // another thread was inside the transport with this device
};

// One emulated device on the bus. A Vt520 (addVt520) implements the whole
// command set; a decoy (addDevice) only enumerates and stalls every request.
class Device
{
public:
    int busNumber() const;
    int address() const;      // the current one; changes when it comes back
    QString portPath() const; // e.g. "1-1.4"; kept across re-enumeration
    // Moves the device to another port of its bus ("1-2.3"); false if the
    // text is no port path on this bus.
    bool setPortPath(const QString &portPath);

    // ---- identity -------------------------------------------------------
    void setIds(uint16_t vendorId, uint16_t productId);
    // Bytes answered to vendor request 255 (default FC 00). One byte or
    // another value makes a decoy that the host must skip.
    void setIdReply(const QByteArray &reply);
    // Production serial (9 characters). In bootloader mode the string
    // descriptor reads serial + 'b'.
    void setSerial(const QByteArray &serial);
    QByteArray serial() const;
    QByteArray serialString() const; // as the host reads it in this mode
    // The text of string descriptor index (1 manufacturer, 2 product, 3
    // serial) in this mode, read without a transfer; empty for another index.
    QByteArray stringText(int index) const;

    // ---- mode -----------------------------------------------------------
    Mode mode() const;
    void setMode(Mode mode); // direct change, no re-enumeration

    // ---- memories (plain bytes, no scrambling) ---------------------------
    // Internal flash by absolute address (0x08000000..0x0803FFFF).
    QByteArray internalFlash(uint32_t address, uint32_t length) const;
    void setInternalFlash(uint32_t address, const QByteArray &bytes);
    // Two zero-terminated texts at 0x08003FD0 and 0x08003FE0.
    void setVersionBlock(const QByteArray &version, const QByteArray &date);
    // Sum of the LE words 0x08004000..0x0801FFFB, and the stored sum word.
    uint32_t applicationSum() const;
    bool applicationSumValid() const;
    void fixApplicationSum(); // store the computed sum at 0x0801FFFC
    // External flash, bytes as stored (0..0xFFFFF).
    QByteArray externalFlash(uint32_t address, uint32_t length) const;
    void setExternalFlash(uint32_t address, const QByteArray &bytes);
    void eraseExternalFlash(); // all 0xFF
    // Last block received by request 2 (empty if none).
    QByteArray testBlock() const;
    // Bulk endpoints: data the device will send on 0x81 (one queued block
    // per read, cut to the read's length), and all bytes received on 0x02.
    void queueBulkIn(const QByteArray &block);
    QByteArray bulkOutData() const;

    // ---- status word ----------------------------------------------------
    uint32_t status() const;
    void setStatus(uint32_t status);
    // After the host sets bit 0 the device shows it from the Nth status read
    // after the set (default 1: the very next read); Never: never shows it.
    void setAcknowledgeAfterReads(int reads);

    // ---- reset and re-enumeration --------------------------------------
    // Time (bus clock) between request 4 and the device's return (default 1000).
    void setReenumerateDelay(int milliseconds);
    // After request 4 in application mode the device never comes back.
    void setBootloaderNeverReturns(bool never);
    // Leaves the bus at once (open handles fail with LIBUSB_ERROR_NO_DEVICE)
    // / comes back at once with its state kept. Request 4 does the same by
    // itself: it leaves at once, clears the status word and comes back after
    // the re-enumeration delay in its new mode.
    void unplug();
    void replug();
    // Loses power and comes back at once as at power-on (see the top of
    // this file): off the bus for open handles, mode chosen by the sum.
    void powerCycle();
    bool isPresent() const; // on the bus now (also false while re-enumerating)

    // ---- per-device faults (0 = no fault) ------------------------------
    void failOpen(int libusbError); // e.g. LIBUSB_ERROR_ACCESS
    // The next count device-id requests (255) are never answered, as by a
    // hung unit: the host times out (Never = none is answered again). Kept
    // in the state folder, so that it holds across processes:
    // id_unanswered in device.ini, counted down as the requests come.
    void leaveIdRequestsUnanswered(int count);
    void failSetConfiguration(int libusbError);
    void failClaimInterface(int libusbError);
    // The configuration the system has selected for this appearance of the
    // device (1 when it appears; 0 = unconfigured).
    void setActiveConfiguration(int configuration);
    // Request 1 returns the byte at this internal flash address XORed with
    // xorMask (the stored byte stays right), for count reads (Never = always).
    void corruptReadBack(uint32_t address, uint8_t xorMask = 0x01, int count = Never);

    // ---- transfer cost ---------------------------------------------------
    void setTransferCost(const TransferCost &cost);
    TransferCost transferCost() const;

    // ---- transfer key ----------------------------------------------------
    // The key this device scrambles with (128 bytes, 32 little-endian words;
    // another size is refused). A key other than the host's makes a device
    // whose memory reads back as garbage, as a real one would.
    bool setTransferKey(const QByteArray &key);

    // ---- persistence -----------------------------------------------------
    // Folder where this device writes its state through, empty if memory only.
    QString stateFolder() const;

private:
    friend class BusPrivate;
    explicit Device(EmulatedDevice *device);
    EmulatedDevice *d;
};

class Bus
{
public:
    static Bus &instance();

    // Empty bus, no faults, empty log, zero overlap count, real clock at 0.
    void reset();
    // The bus as at library load (see the top of this file), e.g. to load a
    // persistent device again from VT520_SIM_STATE.
    void resetToDefault();

    // A factory-fresh Vt520 in application mode (version block "1.00" /
    // "Nov 26 2010", application region with a valid sum, external flash
    // erased, status 0), zero transfer costs, in memory only.
    Device &addVt520(int bus, int address, const QByteArray &serial = "261100042");
    // A Vt520 whose state lives in folder (loaded if all three files are
    // present and well-formed, otherwise created factory-fresh with
    // transfer_cost off) and is written through after every change:
    // internal.bin, external.bin, device.ini (mode, serial, status,
    // reenumerate_ms, transfer_cost on|off; "on" loads as realistic()).
    // Re-enumeration in progress is not kept: a reloaded device is present.
    Device &addPersistentVt520(int bus, int address, const QString &folder);
    // A Vt520 as addVt520() at a port path such as "1-1.4" (bus 1, port 4
    // of the hub at root port 1), with the next free address on its bus.
    // A device already at that port is unplugged for good.
    Device &addVt520At(const QString &portPath, const QByteArray &serial = "261100042");
    // A decoy with any ids; it enumerates, opens and claims, but stalls
    // every control request.
    Device &addDevice(int bus, int address, uint16_t vendorId, uint16_t productId);
    Device *device(int bus, int address); // by the current address
    Device *deviceAt(const QString &portPath);
    QList<Device *> devices();

    // ---- clock --------------------------------------------------------
    // Real: transfer costs and waits pass in real time. Virtual: time moves
    // only through advanceClock()/sleepMs() and transfer costs (which then
    // advance it without sleeping). Both start at 0 on reset().
    void useVirtualClock(bool on);
    bool isVirtualClock() const;
    void advanceClock(int64_t milliseconds);
    int64_t nowMs() const;
    // Sleeps on the bus clock: advances it when virtual, sleeps when real.
    void sleepMs(int64_t milliseconds);
    // Puts the bus on a virtual clock kept in a file (created, at the bus's
    // present time, when missing) that other processes share: an emulator
    // preloaded with VT520_SIM_CLOCK naming the same file runs on the same
    // time, and so do the waits of the program it runs under. It stays
    // virtual from then on, through reset(), and useVirtualClock() no
    // longer changes it; another file may be shared later. False, with a
    // warning, when the file cannot be a clock.
    bool shareClock(const QString &fileName);

    // ---- bus-wide transfer faults ---------------------------------------
    // A LIBUSB_ERROR_TIMEOUT fault is a device that never answers: on the
    // virtual clock it holds the transfer for the timeout the caller gave.
    // The nth transfer from now (1 = the next) fails with libusbError.
    void failTransfer(int nth, int libusbError);
    // The next count vendor requests bRequest fail (Never = all of them).
    void failRequest(uint8_t request, int libusbError, int count = Never);
    // The occurrence-th vendor request bRequest from now (1 = the next) and
    // the count - 1 such requests after it fail with libusbError (Never =
    // all from there on); the requests before it go through. Several may be
    // ordered for one request, also beside failRequest; the first ordered
    // that is due decides a transfer's error.
    void failRequestAt(uint8_t request, int occurrence, int libusbError, int count = 1);
    // The nth transfer from now (1 = the next) finds its device pulled out:
    // it fails with LIBUSB_ERROR_NO_DEVICE, every handle open on the device
    // is dead from then on, and the device is plugged in again once
    // replugAfterMs have passed on the bus clock (0: it is back on the bus
    // for the very next call, as a new device to be opened afresh), with its
    // state kept or as at power-on.
    void unplugAtTransfer(int nth, int64_t replugAfterMs, Return back = Return::StateKept);
    // The same for the occurrence-th vendor request bRequest from now (1 =
    // the next one), whatever transfers come between.
    void unplugAtRequest(uint8_t request, int occurrence, int64_t replugAfterMs, Return back = Return::StateKept);
    void clearFaults();

    // ---- transfer log -------------------------------------------------
    QList<TransferRecord> transferLog() const;
    void clearTransferLog(); // also clears the counters
    // Vendor requests with this bRequest logged since the last clear
    // (every attempt, successful or not).
    int requestCount(uint8_t request) const;

    // ---- overlap detection -----------------------------------------------
    // Calls that found another thread inside the transport with the same
    // device at the same time (they fail with LIBUSB_ERROR_BUSY and are
    // marked in the log). Each device is watched on its own, across its
    // re-enumerations: two devices busy at once is no overlap. Watched
    // calls: open, close, set_configuration, claim and release_interface,
    // control and bulk transfers (not get_device_list, which belongs to no
    // device).
    int overlapCount() const;
    // Keeps every transfer inside the transport this long in real time, to
    // widen the window in which an overlap is seen (thread tests).
    void setTransferHoldMicroseconds(int microseconds);

private:
    Bus() = default;
    Bus(const Bus &) = delete;
    Bus &operator=(const Bus &) = delete;
};

// Sleeps on the bus clock; a plain function for code that takes a sleep
// function pointer (e.g. the firmware upgrader's waits in tests).
void sleepMs(unsigned long milliseconds);

} // namespace vt520sim
