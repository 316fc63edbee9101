#pragma once

#include "sim/usbfs/UsbfsNode.h"

#include <QByteArray>
#include <QList>

#include <condition_variable>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;

namespace vt520usbfs {

// Serves the usbfs ioctls of the emulated nodes. umockdev calls it on its
// handler thread, which must never wait for a device: a submitted URB is
// queued and answered at once, worker threads carry URBs through the
// emulator (one device's in order, one at a time; several devices side by
// side, as their own waits run in parallel on a real bus), and the client
// reaps a URB once it is done. A request the device
// never answers stays in flight until the client discards it, as on a wire
// where the device keeps NAKing. A device that leaves fails its URBs in
// flight with -ESHUTDOWN and every later ioctl with ENODEV (the emulated
// node gives no POLLERR).
class UrbBridge
{
public:
    UrbBridge();
    ~UrbBridge();
    UrbBridge(const UrbBridge &) = delete;
    UrbBridge &operator=(const UrbBridge &) = delete;

    UMockdevIoctlBase *handler() const { return ioctlHandler; }

    // A new appearance; call before attaching the handler to its node.
    // Devices at these host port paths ("101-1.1") act as if another
    // program held their interface: a claim fails with EBUSY.
    void setClaimedElsewhere(const QList<QByteArray> &portPaths) { claimedElsewhere = portPaths; }
    void addNode(const std::shared_ptr<UsbfsNode> &node);
    // The appearance left the bus: its URBs fail, its clients wake up.
    void nodeGone(UsbfsNode &node);
    // True once a transfer found the device gone (the caller unplugs it).
    bool isGone(const UsbfsNode &node) const;

    // Transfers answered by the device, and their mean time from submit
    // until they were ready to reap.
    int answeredTransfers() const;
    int64_t meanTransferMicroseconds() const;

private:
    struct Urb;

    static int onIoctl(UMockdevIoctlBase *base, UMockdevIoctlClient *client, void *self);
    static void onClientVanished(UMockdevIoctlBase *base, UMockdevIoctlClient *client, void *self);
    bool handle(UMockdevIoctlClient *client);
    void submit(UMockdevIoctlClient *client, const std::shared_ptr<UsbfsNode> &node);
    void reap(UMockdevIoctlClient *client, const std::shared_ptr<UsbfsNode> &node);
    void discard(UMockdevIoctlClient *client);
    void work();
    void run(Urb &urb, int *status, int *actualLength, QByteArray *data, bool *held, bool *deviceGone);
    void finishLocked(Urb &urb, int status, int actualLength);
    void wakeLocked(UsbfsNode &node);
    void sleepIfIdleLocked(UsbfsNode &node);

    // Enough for every device vt520-usbfs-run makes to transfer at once.
    static constexpr int WorkerCount = 16;

    UMockdevIoctlBase *ioctlHandler = nullptr;

    mutable std::mutex mutex;
    std::condition_variable queued;
    std::map<QByteArray, std::shared_ptr<UsbfsNode>> nodes; // by device node, gone ones too
    std::list<std::shared_ptr<Urb>> urbs;
    QList<QByteArray> claimedElsewhere; // set before the first client
    uint64_t completions = 0;
    int answered = 0;
    int64_t answeredUs = 0;
    bool stopping = false;
    std::vector<std::thread> workers;
};

} // namespace vt520usbfs
