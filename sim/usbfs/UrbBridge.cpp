#include "sim/usbfs/UrbBridge.h"

#include <QtGlobal>

#include <umockdev.h>

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

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
    g_signal_connect(ioctlHandler, "client-connected", G_CALLBACK(&UrbBridge::onClientConnected), this);
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
    // The command has ended; a client whose stream umockdev has not closed
    // yet is left to it (releasing it now would finalize an open stream).
    for (auto &entry : clients) {
        g_signal_handlers_disconnect_by_data(entry.first, this);
        if (!umockdev_ioctl_client_get_connected(entry.first))
            g_object_unref(entry.first);
    }
    clients.clear();
    g_object_unref(ioctlHandler);
}

void UrbBridge::addNode(const std::shared_ptr<UsbfsNode> &node)
{
    std::lock_guard<std::mutex> lock(mutex);
    node->claimedElsewhere = claimedElsewhere.contains(QByteArray::number(node->busNumber) + '-' + node->ports);
    nodes[node->devNode] = node;
}

void UrbBridge::setConfigurationListener(std::function<void(const UsbfsNode &, int)> listener)
{
    configurationListener = std::move(listener);
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

// A new open file of a device node: it belongs to the appearance that has
// the node now, for as long as it stays open.
void UrbBridge::onClientConnected(UMockdevIoctlBase *, UMockdevIoctlClient *client, void *self)
{
    static_cast<UrbBridge *>(self)->nodeOf(client);
}

void UrbBridge::onClientConnectionChanged(UMockdevIoctlClient *client, void *, void *self)
{
    if (!umockdev_ioctl_client_get_connected(client))
        static_cast<UrbBridge *>(self)->forgetClient(client);
}

// The file was closed: as the kernel does, its claim is released and its
// URBs are given up.
void UrbBridge::forgetClient(UMockdevIoctlClient *client)
{
    std::list<std::shared_ptr<Urb>> dropped;
    bool known = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto it = urbs.begin(); it != urbs.end();) {
            if ((*it)->client == client) {
                (*it)->state = Urb::State::Done; // a worker running it drops it
                dropped.push_back(*it);
                it = urbs.erase(it);
            } else {
                ++it;
            }
        }
        const auto it = clients.find(client);
        if (it != clients.end()) {
            if (it->second->interfaceHolder == client)
                it->second->interfaceHolder = nullptr;
            clients.erase(it);
            known = true;
        }
    }
    dropped.clear();
    if (known) {
        g_signal_handlers_disconnect_by_data(client, this);
        g_object_unref(client);
    }
}

GSocket *UrbBridge::socketOf(UMockdevIoctlClient *client) const
{
    // umockdev does not give the client's connection: its private part
    // starts with the handler and the stream (umockdev 0.16 and later). Both
    // are checked before the stream is used.
    struct ClientPrivateStart {
        UMockdevIoctlBase *handler;
        GIOStream *stream;
    };
    const auto *start = reinterpret_cast<const ClientPrivateStart *>(client->priv);
    if (!start || start->handler != ioctlHandler || !G_IS_SOCKET_CONNECTION(start->stream))
        return nullptr;
    return g_socket_connection_get_socket(G_SOCKET_CONNECTION(start->stream));
}

bool UrbBridge::connectionEnded(UMockdevIoctlClient *client) const
{
    if (!umockdev_ioctl_client_get_connected(client))
        return true;
    GSocket *socket = socketOf(client);
    if (!socket)
        return false;
    // umockdev closes the socket as soon as it has read the end, and only
    // later marks the client as gone.
    if (g_socket_is_closed(socket))
        return true;
    char byte = 0;
    const ssize_t peeked = ::recv(g_socket_get_fd(socket), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return peeked == 0 || (peeked < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

int UrbBridge::processOf(UMockdevIoctlClient *client) const
{
    ucred credentials{};
    socklen_t length = sizeof credentials;
    GSocket *socket = socketOf(client);
    if (!socket || g_socket_is_closed(socket)
        || ::getsockopt(g_socket_get_fd(socket), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return 0;
    return int(credentials.pid);
}

// The kernel releases a file's claim within close(); here the preload only
// closes the file's connection, and umockdev reads its end a little later.
// A process that closes its file and then claims the interface through
// another one (or tells another process to) must find it free: a holder
// whose connection has ended is let go first. Every ioctl runs on umockdev's
// one handler thread, so nothing claims in between.
void UrbBridge::releaseClosedHolder(UMockdevIoctlClient *client, UsbfsNode &node)
{
    UMockdevIoctlClient *holder = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (node.interfaceHolder && node.interfaceHolder != client)
            holder = UMOCKDEV_IOCTL_CLIENT(g_object_ref(node.interfaceHolder));
    }
    if (!holder)
        return;
    if (connectionEnded(holder))
        forgetClient(holder);
    g_object_unref(holder);
}

std::shared_ptr<UsbfsNode> UrbBridge::nodeOf(UMockdevIoctlClient *client)
{
    std::shared_ptr<UsbfsNode> node;
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto known = clients.find(client);
        if (known != clients.end())
            return known->second;
        const auto it = nodes.find(QByteArray(umockdev_ioctl_client_get_devnode(client)));
        if (it == nodes.end())
            return nullptr;
        node = it->second;
        clients.emplace(client, node);
    }
    g_object_ref(client);
    g_signal_connect(client, "notify::connected", G_CALLBACK(&UrbBridge::onClientConnectionChanged), this);
    return node;
}

bool UrbBridge::handle(UMockdevIoctlClient *client)
{
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    const std::shared_ptr<UsbfsNode> node = nodeOf(client);
    if (debugEnabled() && request != USBDEVFS_SUBMITURB && request != USBDEVFS_REAPURB
        && request != USBDEVFS_REAPURBNDELAY)
        fprintf(stderr, "vt520-usbfs: ioctl 0x%lx on %s from process %d\n", request,
                umockdev_ioctl_client_get_devnode(client), processOf(client));
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

    switch (request) {
    case USBDEVFS_SETCONFIGURATION:
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_SETINTERFACE:
    case USBDEVFS_CLEAR_HALT:
    case USBDEVFS_RESETEP:
    case USBDEVFS_SUBMITURB:
        releaseClosedHolder(client, *node);
        break;
    default:
        break;
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
        if (!number) {
            complete(client, -1, EFAULT);
            return true;
        }
        int value = 0;
        std::memcpy(&value, number->data, sizeof value);
        g_object_unref(number);
        if (request == USBDEVFS_SETCONFIGURATION)
            setConfiguration(client, *node, value);
        else if (request == USBDEVFS_CLAIMINTERFACE)
            claimInterface(client, *node, unsigned(value));
        else
            releaseInterface(client, *node, unsigned(value));
        return true;
    }
    case USBDEVFS_SETINTERFACE: {
        UMockdevIoctlData *setting = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_setinterface), nullptr);
        if (!setting) {
            complete(client, -1, EFAULT);
            return true;
        }
        usbdevfs_setinterface value{};
        std::memcpy(&value, setting->data, sizeof value);
        g_object_unref(setting);
        int error = 0;
        {
            std::lock_guard<std::mutex> lock(mutex);
            error = value.interface != 0 ? (node->configuration ? ENOENT : EHOSTUNREACH)
                                         : useInterfaceLocked(client, *node);
        }
        if (!error && value.altsetting != 0)
            error = EINVAL; // interface 0 has alternate setting 0 only
        complete(client, error ? -1 : 0, error);
        return true;
    }
    case USBDEVFS_CLEAR_HALT:
    case USBDEVFS_RESETEP: {
        UMockdevIoctlData *endpoint = umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned int), nullptr);
        if (!endpoint) {
            complete(client, -1, EFAULT);
            return true;
        }
        unsigned int address = 0;
        std::memcpy(&address, endpoint->data, sizeof address);
        g_object_unref(endpoint);
        int error = 0;
        {
            std::lock_guard<std::mutex> lock(mutex);
            const int interface = interfaceOfEndpoint(*node, address);
            error = interface < 0 ? -interface : useInterfaceLocked(client, *node);
        }
        complete(client, error ? -1 : 0, error);
        return true;
    }
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

// As the kernel's usbfs: nothing changes while an interface of the active
// configuration is claimed, whoever holds it (the caller's own claim too);
// the active configuration again is a reset of it; 0 and -1 unconfigure.
void UrbBridge::setConfiguration(UMockdevIoctlClient *client, UsbfsNode &node, int value)
{
    int error = 0;
    bool changed = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (node.configuration != 0 && (node.interfaceHolder || node.claimedElsewhere)) {
            error = EBUSY;
        } else if (value == 0 || value == -1 || value == 1) {
            const int configuration = value == 1 ? 1 : 0;
            changed = configuration != node.configuration;
            node.configuration = configuration;
        } else {
            error = EINVAL; // the device has configuration 1 only
        }
    }
    if (changed && configurationListener)
        configurationListener(node, value == 1 ? 1 : 0);
    complete(client, error ? -1 : 0, error);
}

void UrbBridge::claimInterface(UMockdevIoctlClient *client, UsbfsNode &node, unsigned int number)
{
    int error = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (number >= 8 * sizeof(unsigned long))
            error = EINVAL;
        else if (number == 0 && node.interfaceHolder == client)
            error = 0; // its own already
        else if (number != 0 || node.configuration == 0)
            error = ENOENT;
        else if (node.interfaceHolder || node.claimedElsewhere)
            error = EBUSY;
        else
            node.interfaceHolder = client;
    }
    if (debugEnabled())
        fprintf(stderr, "vt520-usbfs: claim of %s by process %d: %s\n", node.devNode.constData(), processOf(client),
                error ? strerror(error) : "done");
    complete(client, error ? -1 : 0, error);
}

void UrbBridge::releaseInterface(UMockdevIoctlClient *client, UsbfsNode &node, unsigned int number)
{
    int error = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (number >= 8 * sizeof(unsigned long))
            error = EINVAL;
        else if (number != 0 || node.configuration == 0)
            error = ENOENT;
        else if (node.interfaceHolder != client)
            error = EINVAL; // not claimed through this file
        else
            node.interfaceHolder = nullptr;
    }
    complete(client, error ? -1 : 0, error);
}

int UrbBridge::useInterfaceLocked(UMockdevIoctlClient *client, UsbfsNode &node)
{
    if (node.configuration == 0)
        return EHOSTUNREACH;
    if (node.interfaceHolder == client)
        return 0;
    if (node.interfaceHolder || node.claimedElsewhere)
        return EBUSY;
    node.interfaceHolder = client; // the kernel claims it for the file, with a warning
    return 0;
}

int UrbBridge::interfaceOfEndpoint(const UsbfsNode &node, unsigned int endpoint)
{
    if (endpoint & ~(0x80u | 0x0fu))
        return -EINVAL;
    if (node.configuration == 0)
        return -ESRCH;
    return endpoint == 0x81 || endpoint == 0x02 ? 0 : -ENOENT; // the bulk pair of interface 0
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
    const auto *setup = reinterpret_cast<const uint8_t *>(urb->data.constData());
    int error = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!control || (urb->endpoint & 0x7f) != 0) {
            // A transfer through an interface's endpoint needs the interface.
            const int interface = interfaceOfEndpoint(*node, urb->endpoint);
            error = interface < 0 ? -interface : useInterfaceLocked(client, *node);
        } else if ((setup[0] & 0x60) != 0x40) {
            // A standard or class request to an interface or an endpoint
            // needs that interface; vendor requests and those to the device
            // need nothing.
            const unsigned int index = setup[4];
            if ((setup[0] & 0x1f) == 1) {
                error = index == 0 ? useInterfaceLocked(client, *node) : (node->configuration ? ENOENT : EHOSTUNREACH);
            } else if ((setup[0] & 0x1f) == 2 && (index & 0x7f) != 0) {
                int interface = interfaceOfEndpoint(*node, index);
                if (interface < 0)
                    interface = interfaceOfEndpoint(*node, index ^ 0x80); // the endpoint number alone
                error = interface < 0 ? -interface : useInterfaceLocked(client, *node);
            }
        }
        if (!error)
            urbs.push_back(urb);
    }
    if (error) {
        complete(client, -1, error);
        return;
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
