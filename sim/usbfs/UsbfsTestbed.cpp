#include "sim/usbfs/UsbfsTestbed.h"

#include "sim/Vt520Sim.h"
#include "sim/usbfs/SysfsDescription.h"

#include <umockdev.h>

#include <QDir>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vt520usbfs {

namespace {

const QByteArray HostControllerPath = "/devices/pci0000:00/0000:00:1d.0";

QByteArray hubPath(int busNumber)
{
    return HostControllerPath + "/usb" + QByteArray::number(busNumber);
}

void warn(const char *what, GError *error)
{
    fprintf(stderr, "vt520-usbfs-run: %s: %s\n", what, error ? error->message : "failed");
    g_clear_error(&error);
}

// A device and its interface, parent first.
void addDescriptions(UMockdevTestbed *testbed, const QList<QByteArray> &texts, const char *what)
{
    for (const QByteArray &text : texts) {
        GError *error = nullptr;
        if (!umockdev_testbed_add_from_string(testbed, text.constData(), &error))
            warn(what, error);
    }
}

// A FIFO of one page, kept full: poll() for POLLOUT sleeps on it until the
// bridge reads the page out.
int makeSleepingFifo(const QByteArray &path, mode_t mode)
{
    ::unlink(path.constData());
    if (::mkfifo(path.constData(), 0600) != 0)
        return -1;
    ::chmod(path.constData(), mode);
    const int fd = ::open(path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    ::fcntl(fd, F_SETPIPE_SZ, FifoPage);
    static const char page[FifoPage] = {};
    while (::write(fd, page, sizeof page) > 0) {
    }
    return fd;
}

} // namespace

UsbfsTestbed::UsbfsTestbed()
{
    // Before any libusb context of the client exists: the client's libusb
    // only sees the testbed it finds at its own first libusb_init.
    testbed = umockdev_testbed_new();
    if (!testbed)
        return;
    gchar *dir = umockdev_testbed_get_root_dir(testbed);
    root = dir;
    g_free(dir);
    uevents = std::make_unique<UeventSender>(root);
    if (libusb_init(&emulator) != 0)
        emulator = nullptr;
    // The kernel shows an unconfigured device with an empty attribute.
    bridge.setConfigurationListener([this](const UsbfsNode &node, int configuration) {
        umockdev_testbed_set_attribute(testbed, ("/sys" + node.sysPath).constData(), "bConfigurationValue",
                                       configuration ? QByteArray::number(configuration).constData() : "");
    });
}

UsbfsTestbed::~UsbfsTestbed()
{
    {
        std::lock_guard<std::mutex> lock(emulatorLock);
        for (auto &node : nodes) {
            std::lock_guard<std::mutex> handleLock(node->handleLock);
            if (node->emulated)
                libusb_close(node->emulated);
            node->emulated = nullptr;
        }
        if (emulator)
            libusb_exit(emulator);
    }
    nodes.clear();
    if (testbed)
        g_object_unref(testbed);
}

QByteArray UsbfsTestbed::rootPath(const QByteArray &path) const
{
    return root + path;
}

void UsbfsTestbed::refresh()
{
    if (!isValid())
        return;
    std::vector<std::shared_ptr<UsbfsNode>> left;
    std::vector<libusb_device *> arrived;
    libusb_device **list = nullptr;
    {
        std::lock_guard<std::mutex> lock(emulatorLock);
        const ssize_t count = libusb_get_device_list(emulator, &list);
        if (count < 0)
            return;
        std::set<std::pair<int, int>> present;
        for (ssize_t i = 0; i < count; ++i)
            present.insert({libusb_get_bus_number(list[i]), libusb_get_device_address(list[i])});
        for (auto it = nodes.begin(); it != nodes.end();) {
            const auto &node = *it;
            // Gone: found so by a transfer, no longer on the bus, or left and
            // came back since the last look (its handle is dead).
            const bool gone =
                bridge.isGone(*node) || !present.count({node->modelBus, node->modelAddress}) || handleIsDead(*node);
            if (gone) {
                left.push_back(node);
                it = nodes.erase(it);
            } else {
                ++it;
            }
        }
        for (ssize_t i = 0; i < count; ++i) {
            const int bus = libusb_get_bus_number(list[i]);
            const int address = libusb_get_device_address(list[i]);
            bool known = false;
            for (const auto &node : nodes)
                known = known || (node->modelBus == bus && node->modelAddress == address);
            for (const auto &node : left)
                known = known || (node->modelBus == bus && node->modelAddress == address);
            if (!known)
                arrived.push_back(libusb_ref_device(list[i]));
        }
        libusb_free_device_list(list, 1);
    }
    for (const auto &node : left)
        unplug(node);
    for (libusb_device *device : arrived) {
        plug(device);
        std::lock_guard<std::mutex> lock(emulatorLock);
        libusb_unref_device(device);
    }
}

void UsbfsTestbed::addRootHub(int busNumber)
{
    if (rootHubs.count(busNumber))
        return;
    addDescriptions(testbed, rootHubDescription(hubPath(busNumber), busNumber), "root hub");
    rootHubs.insert(busNumber);
}

int UsbfsTestbed::allocateAddress(int busNumber)
{
    // The next address after the last one given out, as a host does, but
    // never one in use: libusb knows a device by bus and address, and would
    // take a newcomer with a present device's address for that device.
    int &last = lastAddress[busNumber];
    if (last < 1)
        last = 1;
    for (int step = 1; step <= 126; ++step) {
        const int candidate = (last - 2 + step) % 126 + 2; // 2..127; 1 is the root hub
        bool taken = hubAddresses.count({busNumber, candidate}) > 0;
        for (const auto &node : nodes)
            taken = taken || (node->busNumber == busNumber && node->deviceAddress == candidate);
        if (!taken)
            return last = candidate;
    }
    return 0;
}

QByteArray UsbfsTestbed::addHubsFor(int busNumber, const QList<QByteArray> &ports)
{
    const QByteArray busText = QByteArray::number(busNumber);
    QByteArray path = hubPath(busNumber);
    QByteArray name = busText + "-";
    for (int i = 0; i < ports.size(); ++i) {
        name += (i ? "." : "") + ports[i];
        path += "/" + name;
        if (i + 1 == ports.size() || hubs.count(path))
            continue;
        const int address = allocateAddress(busNumber);
        addDescriptions(testbed, hubDescription(path, busNumber, address), "hub");
        hubs.insert(path);
        hubAddresses.insert({busNumber, address});
    }
    return path;
}

void UsbfsTestbed::plug(libusb_device *device)
{
    auto node = std::make_shared<UsbfsNode>();
    libusb_device_descriptor descriptor{};
    int openResult = 0;
    uint8_t portNumbers[8] = {};
    int portCount = 0;
    {
        std::lock_guard<std::mutex> lock(emulatorLock);
        node->modelBus = libusb_get_bus_number(device);
        node->modelAddress = libusb_get_device_address(device);
        portCount = libusb_get_port_numbers(device, portNumbers, int(sizeof portNumbers));
        libusb_get_device_descriptor(device, &descriptor);
    }
    // The strings of this appearance (the serial tells the mode), read from
    // the emulator's model: no transfer that the emulator would log.
    DeviceStrings strings;
    if (const vt520sim::Device *model = vt520sim::Bus::instance().device(node->modelBus, node->modelAddress)) {
        strings.manufacturer = model->stringText(descriptor.iManufacturer);
        strings.product = model->stringText(descriptor.iProduct);
        strings.serial = model->stringText(descriptor.iSerialNumber);
    }
    node->busNumber = BusNumberOffset + node->modelBus;
    if (node->busNumber > LastBusNumber) {
        if (busesLeftOut.insert(node->modelBus).second)
            fprintf(stderr, "vt520-usbfs-run: the devices on bus %d are left out (buses up to %d only)\n",
                    node->modelBus, LastBusNumber - BusNumberOffset);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(emulatorLock);
        openResult = libusb_open(device, &node->emulated);
        if (openResult != 0)
            node->emulated = nullptr; // its URBs fail, as on a device that does not answer properly
        else
            libusb_set_configuration(node->emulated, 1);
    }
    QList<QByteArray> ports;
    for (int i = 0; i < portCount; ++i)
        ports.append(QByteArray::number(portNumbers[i]));
    if (ports.isEmpty())
        ports.append(QByteArray::number(node->modelAddress));
    node->ports = ports.join('.');
    addRootHub(node->busNumber);
    node->sysPath = addHubsFor(node->busNumber, ports);
    node->deviceAddress = allocateAddress(node->busNumber);

    const QByteArray bus = QByteArray::number(node->busNumber).rightJustified(3, '0');
    const QByteArray dev = QByteArray::number(node->deviceAddress).rightJustified(3, '0');
    node->devNode = "/dev/bus/usb/" + bus + "/" + dev;

    // The handler first (once for each device node: it stays, so that a
    // file opened on an earlier appearance at the same node keeps its
    // connection), then the node as a FIFO (umockdev would make a regular
    // file, always ready for poll()), then the device and its uevent.
    bridge.addNode(node);
    if (attachedNodes.insert(node->devNode).second) {
        GError *error = nullptr;
        if (!umockdev_testbed_attach_ioctl(testbed, node->devNode.constData(), bridge.handler(), &error))
            warn("attach ioctl handler", error);
    }
    QDir().mkpath(QString::fromUtf8(rootPath("/dev/bus/usb/" + bus)));
    // A device that the emulator refuses to open (failOpen) has a node
    // this user may not open either.
    const bool denied = nodesDenied || openResult == LIBUSB_ERROR_ACCESS;
    node->fifo = makeSleepingFifo(rootPath(node->devNode), denied ? 0000 : 0666);
    if (node->fifo < 0)
        fprintf(stderr, "vt520-usbfs-run: cannot make %s: %s\n", node->devNode.constData(), strerror(errno));
    addDescriptions(testbed,
                    deviceDescription(node->sysPath, node->busNumber, node->deviceAddress, descriptor, strings),
                    "add device");
    // As the kernel announces them: the device, then its interface.
    uevents->send(node->sysPath, "add");
    uevents->send(interfacePath(node->sysPath), "add");
    nodes.push_back(node);
    if (qEnvironmentVariableIntValue("VT520_USBFS_DEBUG"))
        fprintf(stderr, "vt520-usbfs: plugged %s at %s\n", node->devNode.constData(), node->sysPath.constData());
}

void UsbfsTestbed::unplug(const std::shared_ptr<UsbfsNode> &node)
{
    if (qEnvironmentVariableIntValue("VT520_USBFS_DEBUG"))
        fprintf(stderr, "vt520-usbfs: unplugged %s\n", node->devNode.constData());
    bridge.nodeGone(*node);
    // The interface goes first, as on a kernel.
    uevents->send(interfacePath(node->sysPath), "remove");
    umockdev_testbed_remove_device(testbed, ("/sys" + interfacePath(node->sysPath)).constData());
    uevents->send(node->sysPath, "remove");
    umockdev_testbed_remove_device(testbed, ("/sys" + node->sysPath).constData());
    // The node goes, its handler stays: a client that opens the node now
    // gets ENOENT, and files already open keep their connection to the
    // handler, which answers ENODEV. (Detaching the handler would close its
    // listening socket, and with it a connection that a client made just
    // before, still waiting to be accepted: the preload then aborts the
    // client.)
    ::unlink(rootPath(node->devNode).constData());
    std::lock_guard<std::mutex> lock(emulatorLock);
    std::lock_guard<std::mutex> handleLock(node->handleLock);
    if (node->emulated) {
        libusb_close(node->emulated);
        node->emulated = nullptr;
    }
}

bool UsbfsTestbed::handleIsDead(UsbfsNode &node)
{
    std::lock_guard<std::mutex> lock(node.handleLock);
    return node.emulated && libusb_set_configuration(node.emulated, 1) == LIBUSB_ERROR_NO_DEVICE;
}

} // namespace vt520usbfs
