#pragma once

#include "sim/EmulatedDevice.h"
#include "sim/SharedClockFile.h"
#include "sim/Vt520Sim.h"

#include <QList>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace vt520sim {

// The state behind Bus: the emulated devices, the clock, the ordered faults,
// the transfer log and the overlap detector. All members are guarded by
// mutex, except the atomics.
class BusPrivate
{
public:
    static BusPrivate &global();

    struct Entry {
        std::shared_ptr<EmulatedDevice> device;
        std::unique_ptr<Device> handle;
    };

    struct RequestFault {
        int error = 0;
        int remaining = Never;
    };

    // A later run of one vendor request that fails: skip such requests go
    // through first, then remaining of them fail (Never: all from there).
    struct RequestAtFault {
        uint8_t request = 0;
        int skip = 0;
        int remaining = 1;
        int error = 0;
    };

    struct NthFault {
        int countdown = 0;
        int error = 0;
        int64_t unplugForUs = -1; // >= 0: the device leaves the bus for this long
        bool powerOn = false;     // and comes back as at power-on
    };

    struct RequestUnplug {
        uint8_t request = 0;
        int countdown = 0; // the countdown-th such request from now pulls the device out
        int64_t unplugForUs = 0;
        bool powerOn = false;
    };

    struct Fault {
        int error = 0; // 0: the transfer goes through
        int64_t unplugForUs = -1;
        bool powerOn = false;
        // The device acts on the transfer, the host sees error (a timeout).
        bool answerLost = false;
    };

    void resetLocked();
    // The bus at library load: VT520_SIM_UNITS Vt520s (default 1), with
    // their state under VT520_SIM_STATE when it is set.
    void addDefaultDeviceLocked();
    Device &addLocked(std::shared_ptr<EmulatedDevice> device);
    Device *findLocked(int bus, int address);
    Device *findAtPortLocked(const QByteArray &portPath);
    void removeAtPortLocked(const QByteArray &portPath);
    // The address a device gets when it (re)appears on a bus: the next one
    // after the last given out there, skipping those in use, 1..127 round.
    int allocateAddressLocked(int bus, const EmulatedDevice *device);

    int64_t nowUsLocked() const;
    // Lets time pass on the bus clock: advances a virtual clock, or sleeps
    // without holding the lock on a real one. lock must own mutex.
    void pass(std::unique_lock<std::mutex> &lock, int64_t microseconds);

    // Transfer fault due now (error 0 if none); counts the transfer. An
    // ordered AnswerLost comes as answerLost with LIBUSB_ERROR_TIMEOUT.
    Fault takeFaultLocked(const ControlSetup *setup);
    // Applies a due fault to the device that the transfer went to: an
    // ordered unplug takes it off the bus. Returns the transfer's error.
    int applyFaultLocked(const Fault &fault, EmulatedDevice &device);
    void recordLocked(const TransferRecord &record);
    // Puts a transfer of wireUs on the wire of its bus, after every transfer
    // already there. Returns the time from now until it has left the wire.
    int64_t occupyWireLocked(int busNumber, int64_t wireUs);

    mutable std::mutex mutex;
    std::vector<Entry> devices;
    std::map<int, int> lastAddress; // per bus number

    bool virtualClock = false;
    int64_t virtualUs = 0;
    int64_t realStartUs = 0;
    // When mapped, the bus clock is this virtual one, shared with other
    // processes (VT520_SIM_CLOCK, Bus::shareClock); a reset keeps it.
    SharedClockFile sharedClock;

    std::vector<NthFault> nthFaults;
    std::map<uint8_t, RequestFault> requestFaults;
    std::vector<RequestAtFault> requestAtFaults;
    std::vector<RequestUnplug> requestUnplugs;

    std::map<int, int64_t> wireFreeAtUs; // per bus number: when its wire is free again

    QList<TransferRecord> log;
    std::map<uint8_t, int> requestCounts;

    std::atomic<int> overlaps{0};
    std::atomic<int> holdUs{0};

private:
    BusPrivate();
};

// Marks a thread as inside the emulated transport of one device for the
// object's lifetime and notices when another thread is in there too. Each
// device (across its re-enumerations) is watched on its own: the host must
// never use one unit from two threads at once, while different units may
// well be busy at the same time.
class TransportEntry
{
public:
    explicit TransportEntry(EmulatedDevice &device);
    ~TransportEntry();
    TransportEntry(const TransportEntry &) = delete;
    TransportEntry &operator=(const TransportEntry &) = delete;

    bool overlapped() const { return overlap; }

private:
    EmulatedDevice &device;
    bool overlap = false;
};

int64_t steadyMicroseconds();

// Port numbers of "bus-port.port..." on the given bus; empty if malformed.
QList<uint8_t> parsePortPath(const QByteArray &portPath, int bus);

} // namespace vt520sim
