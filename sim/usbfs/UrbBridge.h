#pragma once

#include "sim/usbfs/UsbfsNode.h"

#include <QByteArray>
#include <QList>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _GSocket GSocket;

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
//
// Each open file of a node is a client of its own, bound to the appearance
// it opened: a file opened before an unplug keeps answering ENODEV even
// once a newcomer has the same device node. Interface claims belong to the
// open file, as in the kernel: a claim another file holds makes a claim,
// a transfer through the interface and a change of configuration busy, and
// closing the file releases its claim.
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
    // Told when a client changes a device's active configuration (0:
    // unconfigured), on umockdev's handler thread; set before the first client.
    void setConfigurationListener(std::function<void(const UsbfsNode &, int)> listener);
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
    static void onClientConnected(UMockdevIoctlBase *base, UMockdevIoctlClient *client, void *self);
    static void onClientConnectionChanged(UMockdevIoctlClient *client, void *spec, void *self);
    void forgetClient(UMockdevIoctlClient *client);
    // The socket of the client's connection, null where umockdev hides it.
    GSocket *socketOf(UMockdevIoctlClient *client) const;
    // True once the client's process has closed its end of the connection.
    bool connectionEnded(UMockdevIoctlClient *client) const;
    // The client's process id, 0 where unknown (for the debug output).
    int processOf(UMockdevIoctlClient *client) const;
    // Releases the interface of a node whose holder has closed its file
    // before umockdev noticed (see the definition).
    void releaseClosedHolder(UMockdevIoctlClient *client, UsbfsNode &node);
    std::shared_ptr<UsbfsNode> nodeOf(UMockdevIoctlClient *client);
    bool handle(UMockdevIoctlClient *client);
    // The kernel's checks of these requests, answered here.
    void setConfiguration(UMockdevIoctlClient *client, UsbfsNode &node, int value);
    void claimInterface(UMockdevIoctlClient *client, UsbfsNode &node, unsigned int number);
    void releaseInterface(UMockdevIoctlClient *client, UsbfsNode &node, unsigned int number);
    // For a request that uses interface 0: 0 once the client holds it
    // (claimed now if nobody does), else the errno.
    int useInterfaceLocked(UMockdevIoctlClient *client, UsbfsNode &node);
    // The interface an endpoint belongs to: 0 for those of interface 0, -1
    // for an endpoint the active configuration lacks.
    static int interfaceOfEndpoint(const UsbfsNode &node, unsigned int endpoint);
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
    std::map<QByteArray, std::shared_ptr<UsbfsNode>> nodes; // by device node: the newest appearance
    // Open files, each with the appearance it opened (referenced while open).
    std::map<UMockdevIoctlClient *, std::shared_ptr<UsbfsNode>> clients;
    std::list<std::shared_ptr<Urb>> urbs;
    QList<QByteArray> claimedElsewhere; // set before the first client
    std::function<void(const UsbfsNode &, int)> configurationListener;
    uint64_t completions = 0;
    int answered = 0;
    int64_t answeredUs = 0;
    bool stopping = false;
    std::vector<std::thread> workers;
};

} // namespace vt520usbfs
