#pragma once

#include "sim/usbfs/UeventSender.h"
#include "sim/usbfs/UrbBridge.h"
#include "sim/usbfs/UsbfsNode.h"

#include <QByteArray>
#include <QList>

#include <libusb.h>

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace vt520usbfs {

// The emulated /sys and /dev/bus/usb in front of the emulator's bus. Every
// device on the emulator's bus appears as a usbfs device at its own port
// path, below a root hub of its bus and the hubs its path passes through
// (the emulator's 1-1.4 is <bus>-1.4, behind a hub at <bus>-1), so that
// libusb derives the same port numbers from sysfs as the emulator gives.
// When it leaves the bus (a reset, an unplug) the testbed sends "remove" and
// takes it away, and when it comes back it is plugged in at the same port
// path with a new device address.
class UsbfsTestbed
{
public:
    // Bus numbers as the host sees them: the emulator's bus plus this. Linux
    // numbers at most 64 buses, so no real machine has these and a path the
    // testbed does not know never reaches a real device. An emulator bus
    // that would be numbered beyond LastBusNumber (the highest libusb can
    // hold) is left out.
    static constexpr int BusNumberOffset = 100;
    static constexpr int LastBusNumber = 255;

    UsbfsTestbed();
    ~UsbfsTestbed();
    UsbfsTestbed(const UsbfsTestbed &) = delete;
    UsbfsTestbed &operator=(const UsbfsTestbed &) = delete;

    bool isValid() const { return testbed && emulator; }
    // Device nodes that the user may not open (mode 000).
    void setNodesDenied(bool denied) { nodesDenied = denied; }
    // Devices whose interface another program holds, by host port path.
    void setClaimedElsewhere(const QList<QByteArray> &portPaths) { bridge.setClaimedElsewhere(portPaths); }
    // Follows the emulator's bus: unplugs what left, plugs in what came.
    void refresh();

    const UrbBridge &urbBridge() const { return bridge; }

private:
    void plug(libusb_device *device);
    void unplug(const std::shared_ptr<UsbfsNode> &node);
    void addRootHub(int busNumber);
    // The emulator's handle no longer reaches the device (it left and came back).
    static bool handleIsDead(UsbfsNode &node);
    // The next free device address on a bus.
    int allocateAddress(int busNumber);
    // The hubs between the root hub and a device at these ports; returns the
    // device's sysfs folder.
    QByteArray addHubsFor(int busNumber, const QList<QByteArray> &ports);
    QByteArray rootPath(const QByteArray &path) const;

    std::mutex emulatorLock; // the emulator's bus: listing, opening, closing
    UrbBridge bridge;
    UMockdevTestbed *testbed = nullptr;
    libusb_context *emulator = nullptr;
    QByteArray root;
    std::unique_ptr<UeventSender> uevents; // to every process under the testbed
    bool nodesDenied = false;
    std::vector<std::shared_ptr<UsbfsNode>> nodes; // present appearances
    std::set<QByteArray> attachedNodes;            // device nodes with the bridge's handler
    std::set<int> rootHubs;
    std::set<QByteArray> hubs;                  // sysfs paths of the hubs below root hubs
    std::set<int> busesLeftOut;                 // emulator buses without a usbfs number
    std::set<std::pair<int, int>> hubAddresses; // bus, address of those hubs
    std::map<int, int> lastAddress;             // per bus, the last address given out
};

} // namespace vt520usbfs
