#pragma once

#include "sim/DeviceStateFolder.h"
#include "sim/Vt520Sim.h"

#include "usb/TransferKey.h"

#include <QByteArray>
#include <QList>

#include <libusb.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

namespace vt520sim {

using TransferKeyTable = std::array<uint32_t, TransferKeyWordCount>;

// The setup packet of a control transfer.
struct ControlSetup {
    uint8_t requestType = 0;
    uint8_t request = 0;
    uint16_t value = 0;
    uint16_t index = 0;
    uint16_t length = 0;
};

// One emulated device: a Vt520 in application or bootloader mode, or a decoy
// that only enumerates. Not thread-safe by itself: the bus calls it with its
// own lock held.
class EmulatedDevice
{
public:
    EmulatedDevice(int bus, int address, bool vt520);

    // Answers one control transfer. Returns bytes moved or a LIBUSB_ERROR_*
    // code; costUs receives the device's own time for it (latency,
    // programming); the bus adds the wire time.
    int control(const ControlSetup &setup, unsigned char *data, int64_t nowUs, int64_t &costUs);
    int bulk(unsigned char endpoint, unsigned char *data, int length, int64_t &costUs);

    // Bus presence: a device that left the bus (reset, unplug) comes back
    // when the bus clock reaches returnAtUs; each departure starts a new
    // epoch, so handles opened before it fail with LIBUSB_ERROR_NO_DEVICE.
    void refreshPresence(int64_t nowUs);
    void leaveBus(int64_t returnAtUs); // returnAtUs < 0: never comes back
    // The state of a unit that has lost power, once it is powered again:
    // the mode the bootloader chooses from the application's sum, the
    // status word at 0, RAM (bulk queues, test block) empty; flash kept.
    void powerOn();
    // Back on the bus at the same port, with a new address from the bus
    // (as a host numbers every enumeration afresh). Bus lock held.
    void comeBack();
    QByteArray portPath() const; // "bus-port.port...", as Linux names it

    void makeFactoryFresh();
    // The key the device scrambles with: 128 bytes, 32 little-endian words.
    bool setTransferKey(const QByteArray &key);
    uint32_t computeApplicationSum() const;
    uint32_t storedApplicationSum() const;
    QByteArray serialString() const;
    // The device descriptor as GET_DESCRIPTOR answers it and as the host
    // keeps it from enumeration (bcdDevice tells the mode).
    libusb_device_descriptor deviceDescriptor() const;
    // The text of string descriptor index in the current mode; empty for an
    // index the device descriptor does not name.
    QByteArray stringText(int index) const;

    static constexpr uint8_t ManufacturerIndex = 1;
    static constexpr uint8_t ProductIndex = 2;
    static constexpr uint8_t SerialIndex = 3;
    static constexpr uint16_t EnglishUs = 0x0409;

    // Write-through of the state, when the device has a state folder.
    void attachStateFolder(std::unique_ptr<DeviceStateFolder> folder);
    void persistInternal(uint32_t offset, uint32_t length);
    void persistExternal(uint32_t offset, uint32_t length);
    void persistSettings();

    struct Corruption {
        uint32_t address = 0;
        uint8_t xorMask = 0;
        int remaining = Never;
    };

    const int bus;
    int address;          // changes with every return to the bus
    QList<uint8_t> ports; // port numbers from the root hub; kept across returns
    const bool isVt520;

    uint16_t vendorId = 0x16C0;
    uint16_t productId = 0x078E;
    QByteArray idReply = QByteArray("\xFC\x00", 2);
    QByteArray serial = "261100042";
    Mode mode = Mode::Application;
    QByteArray internal;
    QByteArray external;
    QByteArray testBlock;
    QList<QByteArray> bulkIn;
    QByteArray bulkOut;

    uint32_t status = 0;
    int acknowledgeAfterReads = 1;
    int pendingAcknowledgeReads = 0; // > 0 while a bit 0 set waits to show
    bool acknowledgePending = false;

    int reenumerateMs = 1000;
    bool bootloaderNeverReturns = false;
    bool present = true;
    bool removed = false; // taken off the bus by a reset: gone for good
    int epoch = 0;
    int64_t returnAtUs = -1;

    // What the system knows of this appearance of the device: the system
    // selects configuration 1 when a device appears, and one open handle
    // at a time may claim its interface. Both hold for the appearance
    // (epoch) they were set in only.
    int activeConfiguration = 1;
    int configurationEpoch = 0;
    const void *claimHolder = nullptr;
    int claimEpoch = -1;
    int activeConfigurationNow() const { return configurationEpoch == epoch ? activeConfiguration : 1; }
    bool claimedByOther(const void *handle) const
    {
        return claimEpoch == epoch && claimHolder && claimHolder != handle;
    }
    bool claimedByAnyone() const { return claimEpoch == epoch && claimHolder; }

    int openError = 0;
    // Device-id requests left unanswered (a hung unit: the host times out)
    // before the unit answers again; Never: none is answered.
    int idRequestsUnanswered = 0;
    int setConfigurationError = 0;
    int claimError = 0;
    QList<Corruption> corruptions;

    TransferCost cost;
    TransferKeyTable transferKey{}; // the build's key unless told otherwise
    QString transferKeyFile;        // where another key came from (device.ini)
    std::unique_ptr<DeviceStateFolder> stateFolder;

    // Threads inside the transport with this device now (overlap detection;
    // touched without the bus lock).
    std::atomic<int> inside{0};

private:
    int vendorRequest(const ControlSetup &setup, unsigned char *data, int64_t nowUs, int64_t &costUs);
    int standardRequest(const ControlSetup &setup, unsigned char *data);
    // A descriptor as GET_DESCRIPTOR answers it; empty where the device stalls.
    QByteArray descriptor(int type, int index, uint16_t languageId) const;
    int readMemory(uint32_t address, unsigned char *data, uint16_t length);
    int writePage(uint32_t address, const unsigned char *data, uint16_t length, int64_t &costUs);
    void runApplication(int64_t nowUs);
};

} // namespace vt520sim
