#include "sim/usbfs/UrbBridge.h"

#include <QtGlobal>

#include <umockdev.h>

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace vt520usbfs {

namespace {

constexpr int SetupSize = 8;

int64_t nowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

bool debugEnabled()
{
    static const bool on = qEnvironmentVariableIntValue("VT520_USBFS_DEBUG") != 0;
    return on;
}

// The URB status a Linux host controller gives for what the device did.
int urbStatusOf(int libusbResult)
{
    switch (libusbResult) {
    case LIBUSB_ERROR_PIPE:
        return -EPIPE;
    case LIBUSB_ERROR_NO_DEVICE:
        return -ESHUTDOWN;
    case LIBUSB_ERROR_OVERFLOW:
        return -EOVERFLOW;
    case LIBUSB_ERROR_INVALID_PARAM:
        return -EINVAL;
    default:
        return -EPROTO;
    }
}

void complete(UMockdevIoctlClient *client, long result, int error)
{
    umockdev_ioctl_client_complete(client, result, error);
}

} // namespace

struct UrbBridge::Urb {
    enum class State { Queued, Running, Held, Done };

    UMockdevIoctlClient *client = nullptr; // references held for the URB's life
    UMockdevIoctlData *urb = nullptr;
    UMockdevIoctlData *buffer = nullptr;
    std::shared_ptr<UsbfsNode> node;
    gulong clientAddress = 0;
    uint8_t type = 0;
    uint8_t endpoint = 0;
    QByteArray data; // the client's buffer as submitted; the answer for IN
    State state = State::Queued;
    int status = 0;
    int actualLength = 0;
    uint64_t completion = 0;
    int64_t submittedUs = 0;

    ~Urb()
    {
        if (buffer)
            g_object_unref(buffer);
        if (urb)
            g_object_unref(urb);
        if (client)
            g_object_unref(client);
    }
};

UrbBridge::UrbBridge()
    : ioctlHandler(umockdev_ioctl_base_new())
{
    g_signal_connect(ioctlHandler, "handle-ioctl", G_CALLBACK(&UrbBridge::onIoctl), this);
    g_signal_connect(ioctlHandler, "client-vanished", G_CALLBACK(&UrbBridge::onClientVanished), this);
    for (int i = 0; i < WorkerCount; ++i)
        workers.emplace_back([this] { work(); });
}

UrbBridge::~UrbBridge()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    queued.notify_all();
    for (std::thread &worker : workers)
        worker.join();
    g_signal_handlers_disconnect_by_data(ioctlHandler, this);
    std::lock_guard<std::mutex> lock(mutex);
    urbs.clear();
    for (auto &entry : nodes)
        if (entry.second->fifo >= 0)
            ::close(entry.second->fifo);
    g_object_unref(ioctlHandler);
}

void UrbBridge::addNode(const std::shared_ptr<UsbfsNode> &node)
{
    std::lock_guard<std::mutex> lock(mutex);
    nodes[node->devNode] = node;
}

void UrbBridge::nodeGone(UsbfsNode &node)
{
    std::lock_guard<std::mutex> lock(mutex);
    node.gone = true;
    for (auto &urb : urbs)
        if (urb->node.get() == &node && urb->state != Urb::State::Done)
            finishLocked(*urb, -ESHUTDOWN, 0);
    wakeLocked(node);
}

bool UrbBridge::isGone(const UsbfsNode &node) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return node.gone;
}

int UrbBridge::answeredTransfers() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return answered;
}

int64_t UrbBridge::meanTransferMicroseconds() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return answered ? answeredUs / answered : 0;
}

int UrbBridge::onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, void *self)
{
    return static_cast<UrbBridge *>(self)->handle(client);
}

void UrbBridge::onClientVanished(UMockdevIoctlBase *, UMockdevIoctlClient *client, void *self)
{
    auto *bridge = static_cast<UrbBridge *>(self);
    std::lock_guard<std::mutex> lock(bridge->mutex);
    bridge->urbs.remove_if([client](const std::shared_ptr<Urb> &urb) { return urb->client == client; });
}

bool UrbBridge::handle(UMockdevIoctlClient *client)
{
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    std::shared_ptr<UsbfsNode> node;
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto it = nodes.find(QByteArray(umockdev_ioctl_client_get_devnode(client)));
        if (it != nodes.end())
            node = it->second;
    }
    if (debugEnabled())
        fprintf(stderr, "vt520-usbfs: ioctl 0x%lx on %s\n", request, umockdev_ioctl_client_get_devnode(client));
    if (!node) {
        complete(client, -1, ENODEV);
        return true;
    }

    // URBs finished by a departure can still be reaped; nothing else works
    // on a node whose device left.
    if (request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY) {
        reap(client, node);
        return true;
    }
    if (isGone(*node)) {
        complete(client, -1, ENODEV);
        return true;
    }

    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData *caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(uint32_t), nullptr);
        if (!caps) {
            complete(client, -1, EFAULT);
            return true;
        }
        const uint32_t value =
            USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
        std::memcpy(caps->data, &value, sizeof value);
        complete(client, 0, 0);
        g_object_unref(caps);
        return true;
    }
    case USBDEVFS_SETCONFIGURATION:
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE: {
        UMockdevIoctlData *number = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), nullptr);
        int value = 0;
        if (number) {
            std::memcpy(&value, number->data, sizeof value);
            g_object_unref(number);
        }
        // One configuration (1) with one interface (0).
        const bool known = request == USBDEVFS_SETCONFIGURATION ? (value == 1 || value == -1) : value == 0;
        if (known && request == USBDEVFS_CLAIMINTERFACE
            && claimedElsewhere.contains(QByteArray::number(node->busNumber) + '-' + node->ports)) {
            complete(client, -1, EBUSY);
            return true;
        }
        complete(client, known ? 0 : -1, known ? 0 : (request == USBDEVFS_SETCONFIGURATION ? EINVAL : ENOENT));
        return true;
    }
    case USBDEVFS_SETINTERFACE:
    case USBDEVFS_CLEAR_HALT:
    case USBDEVFS_RESETEP:
        complete(client, 0, 0);
        return true;
    case USBDEVFS_GETDRIVER:
    case USBDEVFS_IOCTL:
        complete(client, -1, ENODATA); // no kernel driver is bound to the interface
        return true;
    case USBDEVFS_GET_SPEED:
        complete(client, 2, 0); // USB_SPEED_FULL
        return true;
    case USBDEVFS_SUBMITURB:
        submit(client, node);
        return true;
    case USBDEVFS_DISCARDURB:
        discard(client);
        return true;
    default:
        complete(client, -1, ENOTTY);
        return true;
    }
}

void UrbBridge::submit(UMockdevIoctlClient *client, const std::shared_ptr<UsbfsNode> &node)
{
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    UMockdevIoctlData *urbData = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
    if (!urbData) {
        complete(client, -1, EFAULT);
        return;
    }
    auto urb = std::make_shared<Urb>();
    urb->client = UMOCKDEV_IOCTL_CLIENT(g_object_ref(client));
    urb->urb = urbData;
    urb->node = node;
    urb->clientAddress = urbData->client_addr;
    urb->submittedUs = nowUs();
    const auto *u = reinterpret_cast<const usbdevfs_urb *>(urbData->data);
    urb->type = u->type;
    urb->endpoint = u->endpoint;
    const int length = u->buffer_length;
    if (length > 0)
        urb->buffer = umockdev_ioctl_data_resolve(urbData, offsetof(usbdevfs_urb, buffer), size_t(length), nullptr);
    const bool control = urb->type == USBDEVFS_URB_TYPE_CONTROL;
    const bool bulk = urb->type == USBDEVFS_URB_TYPE_BULK;
    if ((!control && !bulk) || length < 0 || (length > 0 && !urb->buffer) || (control && length < SetupSize)) {
        complete(client, -1, EINVAL);
        return;
    }
    if (urb->buffer)
        urb->data = QByteArray(reinterpret_cast<const char *>(urb->buffer->data), length);
    {
        std::lock_guard<std::mutex> lock(mutex);
        urbs.push_back(urb);
    }
    queued.notify_one();
    complete(client, 0, 0);
}

void UrbBridge::reap(UMockdevIoctlClient *client, const std::shared_ptr<UsbfsNode> &node)
{
    std::shared_ptr<Urb> done;
    bool gone = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        gone = node->gone;
        for (auto &urb : urbs)
            if (urb->client == client && urb->state == Urb::State::Done
                && (!done || urb->completion < done->completion))
                done = urb;
        if (done)
            urbs.remove(done);
        else if (!gone)
            sleepIfIdleLocked(*node);
    }
    if (!done) {
        complete(client, -1, gone ? ENODEV : EAGAIN);
        return;
    }

    auto *u = reinterpret_cast<usbdevfs_urb *>(done->urb->data);
    u->status = done->status;
    u->actual_length = done->actualLength;
    const bool in = done->type == USBDEVFS_URB_TYPE_CONTROL ? (done->data.size() >= 1 && (done->data.at(0) & 0x80))
                                                            : (done->endpoint & 0x80);
    if (in && done->buffer && done->status == 0) {
        const int offset = done->type == USBDEVFS_URB_TYPE_CONTROL ? SetupSize : 0;
        const int n = std::min<int>(done->actualLength, done->buffer->data_len - offset);
        std::memcpy(done->buffer->data + offset, done->data.constData() + offset, size_t(std::max(0, n)));
    }
    UMockdevIoctlData *pointer =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(void *), nullptr);
    if (!pointer) {
        complete(client, -1, EFAULT);
        return;
    }
    umockdev_ioctl_data_set_ptr(pointer, 0, done->urb);
    complete(client, 0, 0);
    g_object_unref(pointer);
    std::lock_guard<std::mutex> lock(mutex);
    sleepIfIdleLocked(*node);
}

void UrbBridge::discard(UMockdevIoctlClient *client)
{
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    gulong address = 0;
    std::memcpy(&address, arg->data, std::min<size_t>(sizeof address, size_t(arg->data_len)));
    bool found = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto &urb : urbs) {
            if (urb->client == client && urb->clientAddress == address && urb->state != Urb::State::Done) {
                finishLocked(*urb, -ENOENT, 0);
                found = true;
                break;
            }
        }
    }
    complete(client, found ? 0 : -1, found ? 0 : EINVAL);
}

void UrbBridge::work()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        std::shared_ptr<Urb> next;
        queued.wait(lock, [&] {
            if (stopping)
                return true;
            // The first queued URB of an idle device is its oldest.
            for (auto &urb : urbs)
                if (urb->state == Urb::State::Queued && !urb->node->running) {
                    next = urb;
                    return true;
                }
            return false;
        });
        if (stopping)
            return;
        next->state = Urb::State::Running;
        next->node->running = true;
        lock.unlock();
        int status = 0;
        int actualLength = 0;
        QByteArray data = next->data;
        bool held = false;
        bool deviceGone = false;
        run(*next, &status, &actualLength, &data, &held, &deviceGone);
        lock.lock();
        next->node->running = false;
        queued.notify_all(); // its device's next URB may go now
        if (deviceGone)
            next->node->gone = true;
        if (next->state != Urb::State::Running)
            continue; // discarded, or the device left meanwhile
        if (held) {
            next->state = Urb::State::Held;
            continue;
        }
        next->data = data;
        ++answered;
        answeredUs += nowUs() - next->submittedUs;
        finishLocked(*next, status, actualLength);
    }
}

// One transfer through the emulator, with the emulator's own checks, faults,
// log and costs.
void UrbBridge::run(Urb &urb, int *status, int *actualLength, QByteArray *data, bool *held, bool *deviceGone)
{
    std::lock_guard<std::mutex> lock(urb.node->handleLock);
    libusb_device_handle *handle = urb.node->emulated;
    if (!handle) {
        *status = -EPROTO;
        return;
    }
    auto *bytes = reinterpret_cast<unsigned char *>(data->data());
    int result = 0;
    // The emulator holds a request that it never answers for the timeout it
    // is given; here the client's own timeout decides, so it gets the least.
    constexpr unsigned int ShortestTimeout = 1;
    if (urb.type == USBDEVFS_URB_TYPE_CONTROL) {
        const uint16_t value = uint16_t(bytes[2] | bytes[3] << 8);
        const uint16_t index = uint16_t(bytes[4] | bytes[5] << 8);
        const uint16_t length = uint16_t(bytes[6] | bytes[7] << 8);
        if (length > data->size() - SetupSize) {
            *status = -EINVAL;
            return;
        }
        result = libusb_control_transfer(handle, bytes[0], bytes[1], value, index, bytes + SetupSize, length,
                                         ShortestTimeout);
    } else {
        int moved = 0;
        result = libusb_bulk_transfer(handle, urb.endpoint, bytes, data->size(), &moved, ShortestTimeout);
        if (result == 0)
            result = moved;
    }
    if (result == LIBUSB_ERROR_TIMEOUT) {
        *held = true;
        return;
    }
    *deviceGone = result == LIBUSB_ERROR_NO_DEVICE;
    *status = result >= 0 ? 0 : urbStatusOf(result);
    *actualLength = result >= 0 ? result : 0;
}

void UrbBridge::finishLocked(Urb &urb, int status, int actualLength)
{
    urb.state = Urb::State::Done;
    urb.status = status;
    urb.actualLength = actualLength;
    urb.completion = ++completions;
    wakeLocked(*urb.node);
}

void UrbBridge::wakeLocked(UsbfsNode &node)
{
    if (node.awake || node.fifo < 0)
        return;
    char page[FifoPage];
    if (::read(node.fifo, page, sizeof page) > 0)
        node.awake = true;
}

void UrbBridge::sleepIfIdleLocked(UsbfsNode &node)
{
    if (!node.awake || node.gone || node.fifo < 0)
        return;
    for (auto &urb : urbs)
        if (urb->node.get() == &node && urb->state == Urb::State::Done)
            return;
    static const char page[FifoPage] = {};
    if (::write(node.fifo, page, sizeof page) == FifoPage)
        node.awake = false;
}

} // namespace vt520usbfs
