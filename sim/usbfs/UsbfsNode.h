#pragma once

#include <QByteArray>

#include <libusb.h>

#include <mutex>

#include <unistd.h>

typedef struct _UMockdevIoctlClient UMockdevIoctlClient;

namespace vt520usbfs {

// The size of the device node's FIFO: one page, read out to wake a client
// and written back to put it to sleep again.
constexpr int FifoPage = 4096;

// One appearance of an emulated device on the emulated usbfs: the device at
// a port, between a plug and the next unplug (a reset re-enumerates it as a
// new appearance with a new device address). Fields above `handleLock` are
// set on creation and read-only afterwards, but for `emulated`, cleared under
// that lock once the appearance has left; from `fifo` on they change under
// the bridge's lock.
struct UsbfsNode {
    UsbfsNode() = default;
    UsbfsNode(const UsbfsNode &) = delete;
    UsbfsNode &operator=(const UsbfsNode &) = delete;
    // The FIFO goes with the last holder: the testbed, or a file still open
    // on the appearance after it left.
    ~UsbfsNode()
    {
        if (fifo >= 0)
            ::close(fifo);
    }

    int modelBus = 0; // place on the emulator's bus
    int modelAddress = 0;
    int busNumber = 0; // as the host sees it
    int deviceAddress = 0;
    QByteArray ports;                         // the emulator's port numbers, e.g. "1.4"
    QByteArray sysPath;                       // /devices/.../usb<bus>/<bus>-1/<bus>-1.4
    QByteArray devNode;                       // /dev/bus/usb/BBB/DDD
    libusb_device_handle *emulated = nullptr; // the emulator's handle for this appearance
    // One call at a time on that handle (the emulator fails overlapping
    // calls on a device); calls on other devices run beside it.
    std::mutex handleLock;

    // The node is a FIFO kept full, so that a client polling it for POLLOUT
    // (as libusb does on usbfs) sleeps; one page read out of it wakes the
    // client when a URB is ready to be reaped or the device left.
    int fifo = -1;
    bool awake = false;
    bool gone = false;
    bool running = false; // one of its URBs is in the emulator

    // The device's state as usbfs keeps it, under the bridge's lock: the
    // active configuration (0: unconfigured), the open file that claimed
    // interface 0, and whether another program holds that interface.
    int configuration = 1;
    UMockdevIoctlClient *interfaceHolder = nullptr;
    bool claimedElsewhere = false;
};

} // namespace vt520usbfs
