#pragma once

#include "sim/usbfs/UrbBridge.h"
#include "sim/usbfs/UsbfsNode.h"

#include <QByteArray>

#include <libusb.h>

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace vt520usbfs {

// The emulated /sys and /dev/bus/usb in front of the emulator's bus. Every
// device on the emulator's bus appears as a usbfs device below a root hub of
// its bus, at the port of its emulator address; when it leaves the bus (a
// reset, an unplug) the testbed sends "remove" and takes it away, and when
// it comes back it is plugged in at the same port with a new device address.
class UsbfsTestbed
{
public:
    // Bus numbers as the host sees them: the emulator's bus plus this. No
    // real machine has buses this high, so a path the testbed does not know
    // never reaches a real device.
    static constexpr int BusNumberOffset = 230;

    UsbfsTestbed();
    ~UsbfsTestbed();
    UsbfsTestbed(const UsbfsTestbed &) = delete;
    UsbfsTestbed &operator=(const UsbfsTestbed &) = delete;

    bool isValid() const { return testbed && emulator; }
    // Device nodes that the user may not open (mode 000).
    void setNodesDenied(bool denied) { nodesDenied = denied; }
    // Follows the emulator's bus: unplugs what left, plugs in what came.
    void refresh();

    const UrbBridge &urbBridge() const { return bridge; }

private:
    void plug(libusb_device *device);
    void unplug(const std::shared_ptr<UsbfsNode> &node);
    void addRootHub(int busNumber);
    QByteArray rootPath(const QByteArray &path) const;

    std::mutex emulatorLock;
    UrbBridge bridge;
    UMockdevTestbed *testbed = nullptr;
    libusb_context *emulator = nullptr;
    QByteArray root;
    bool nodesDenied = false;
    std::vector<std::shared_ptr<UsbfsNode>> nodes; // present appearances
    std::set<int> rootHubs;
    std::map<int, int> nextAddress; // per bus
};

} // namespace vt520usbfs
