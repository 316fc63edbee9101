#include "usb/UsbDevice.h"

#include "usb/SerialStringCache.h"
#include "usb/SerialStringDecoder.h"

#include <QDebug>
#include <QMutex>
#include <QMutexLocker>
#include <QtEndian>

#include <libusb.h>

#include <algorithm>
#include <vector>

namespace {

// One libusb context for the process, created on the first connect and kept
// until exit. libusb-1.0 lets any number of threads use one context at once;
// only its creation is guarded, because device objects on different threads
// may connect for the first time together.
QMutex contextLock;
libusb_context *usbContext = nullptr;

libusb_context *sharedContext()
{
    QMutexLocker locker(&contextLock);
    if (!usbContext && libusb_init(&usbContext) < 0) {
        usbContext = nullptr;
        qDebug() << "libusb_init failed";
    }
    return usbContext;
}

constexpr uint8_t RequestTypeVendorOut = 0x40; // vendor, host to device, device
constexpr uint8_t RequestTypeVendorIn = 0xC0;  // vendor, device to host, device
constexpr unsigned int TimeoutMs = 2000;
constexpr unsigned char BulkOutEndpoint = 0x02;
constexpr unsigned char BulkInEndpoint = 0x81;
constexpr int Configuration = 1;
constexpr int Interface = 0;
constexpr uint8_t DeviceIdRequest = 255;
constexpr uint8_t SerialStringIndex = 3;

void logTransfer(const char *direction, int bRequest, int wValue, int wIndex, int length, bool ok)
{
    const char *outcome = ok ? "OK" : "ERROR";
    if (length != 0)
        qDebug("USB Control %s bRequest=%d, wValue=%d, wIndex=%d, dataLength=%d - %s.", direction, bRequest, wValue,
               wIndex, length, outcome);
    else
        qDebug("USB Control %s bRequest=%d, wValue=%d, wIndex=%d - %s.", direction, bRequest, wValue, wIndex, outcome);
}

bool validLength(int length)
{
    return length >= 0 && length <= 0xFFFF;
}

// Bus numbers ascending, and device addresses ascending within a bus.
void sortByBusAndAddress(std::vector<libusb_device *> &devices)
{
    std::sort(devices.begin(), devices.end(), [](libusb_device *a, libusb_device *b) {
        const int busA = libusb_get_bus_number(a), busB = libusb_get_bus_number(b);
        if (busA != busB)
            return busA < busB;
        return libusb_get_device_address(a) < libusb_get_device_address(b);
    });
}

} // namespace

UsbDevice::UsbDevice() = default;

UsbDevice::~UsbDevice()
{
    qDebug() << "UsbDevice destructor";
    if (handle)
        disconnect();
}

void UsbDevice::setVidPid(uint16_t vid, uint16_t pid)
{
    QMutexLocker locker(&transportLock);
    vendorId = vid;
    productId = pid;
}

void UsbDevice::setDeviceId(uint16_t id)
{
    deviceId = id;
}

QString UsbDevice::portPathOf(libusb_device *device)
{
    uint8_t ports[8] = {};
    const int count = libusb_get_port_numbers(device, ports, int(sizeof ports));
    QString path = QString::number(libusb_get_bus_number(device)) + QLatin1Char('-');
    for (int i = 0; i < count; ++i)
        path += (i ? QStringLiteral(".") : QString()) + QString::number(ports[i]);
    return count > 0 ? path : path + QLatin1Char('0'); // a root hub has no ports
}

QList<UsbDevice::Location> UsbDevice::findAll(uint16_t vid, uint16_t pid)
{
    // No device object's lock: listing opens nothing, and libusb lets any
    // thread enumerate on the shared context.
    return findAll(vid, pid, sharedContext());
}

QList<UsbDevice::Location> UsbDevice::findAll(uint16_t vid, uint16_t pid, libusb_context *context)
{
    QList<Location> found;
    if (!context)
        return found;
    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    if (count < 0 || !list)
        return found;
    std::vector<libusb_device *> devices(list, list + count);
    sortByBusAndAddress(devices);
    for (libusb_device *dev : devices) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(dev, &descriptor) < 0 || descriptor.idVendor != vid
            || descriptor.idProduct != pid)
            continue;
        found.append({portPathOf(dev), libusb_get_bus_number(dev), libusb_get_device_address(dev)});
    }
    libusb_free_device_list(list, 1);
    return found;
}

void UsbDevice::pinToPort(const QString &portPath)
{
    QMutexLocker locker(&transportLock);
    pinnedPortPath = portPath;
}

QString UsbDevice::pinnedPort() const
{
    QMutexLocker locker(&transportLock);
    return pinnedPortPath;
}

int UsbDevice::connect()
{
    return tryConnect().failed() ? -1 : 0;
}

Failure UsbDevice::tryConnect()
{
    QMutexLocker locker(&transportLock);
    return connectPrivate();
}

Failure UsbDevice::identityFailure() const
{
    QMutexLocker locker(&transportLock);
    return failedIdentity;
}

Failure UsbDevice::connectPrivate()
{
    qDebug() << "USB Connect";
    failedIdentity = Failure();
    if (handle) {
        // A fresh scan: the old handle is closed without releasing the interface.
        libusb_close(handle);
        handle = nullptr;
        openPortPath.clear();
    }

    libusb_context *context = sharedContext();
    if (!context)
        return Failure(Failure::Kind::NoDevice);

    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    if (count < 0 || !list)
        return Failure(Failure::Kind::NoDevice);

    std::vector<libusb_device *> devices(list, list + count);
    sortByBusAndAddress(devices);

    // No device taken: a device with the right ids that the system kept
    // from this user is the reason to tell, before one that another
    // program holds.
    Failure result(Failure::Kind::NoDevice);
    const auto keep = [&result](Failure::Kind kind, libusb_device *dev, int error) {
        if (result.kind == Failure::Kind::AccessDenied || result.kind == kind)
            return;
        result = Failure(kind, QString::fromLatin1(libusb_error_name(error)));
        result.portPath = portPathOf(dev);
    };
    int currentBus = -1;
    for (libusb_device *dev : devices) {
        const int busNumber = libusb_get_bus_number(dev);
        if (busNumber != currentBus) {
            currentBus = busNumber;
            qDebug() << "bus: " << busNumber;
        }
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(dev, &descriptor) < 0)
            continue;
        qDebug() << "bus->devices: " << static_cast<const void *>(dev);
        qDebug() << "dev->descriptor.idVendor: " << Qt::hex << descriptor.idVendor;
        qDebug() << "dev->descriptor.idProduct: " << Qt::hex << descriptor.idProduct;
        qDebug() << "dev->descriptor.iSerialNumber: " << Qt::hex << descriptor.iSerialNumber;
        qDebug() << "dev->descriptor.bMaxPacketSize0: " << Qt::hex << descriptor.bMaxPacketSize0;

        if (descriptor.idVendor != vendorId || descriptor.idProduct != productId)
            continue;
        if (!pinnedPortPath.isEmpty() && portPathOf(dev) != pinnedPortPath)
            continue;
        const int opened = libusb_open(dev, &handle);
        if (opened < 0) {
            handle = nullptr;
            if (opened == LIBUSB_ERROR_ACCESS) {
                qDebug() << "usb_open: permission denied (LIBUSB_ERROR_ACCESS); install the udev rule";
                keep(Failure::Kind::AccessDenied, dev, opened);
            }
            continue;
        }
        qDebug() << "usb_opened ";
        // The configuration is set only where it is not 1 already: setting
        // it resets the device's interfaces under any other program that is
        // using them, and the system refuses it while one has claimed them.
        int active = 0;
        if (libusb_get_configuration(handle, &active) < 0 || active != Configuration) {
            if (const int set = libusb_set_configuration(handle, Configuration); set < 0) {
                if (set == LIBUSB_ERROR_BUSY)
                    keep(Failure::Kind::Busy, dev, set);
                releaseAndClosePrivate();
                continue;
            }
            qDebug() << "usb_set_configuration ";
        }
        if (const int claimed = libusb_claim_interface(handle, Interface); claimed < 0) {
            // Another program holds the interface (the kernel says busy).
            if (claimed == LIBUSB_ERROR_BUSY)
                keep(Failure::Kind::Busy, dev, claimed);
            releaseAndClosePrivate();
            continue;
        }
        qDebug() << "usb_claim_interface ";

        unsigned char reply[2] = {0, 0};
        const FailureOr<int> identity = control_receivePrivate(DeviceIdRequest, 0, 0, reply, 2);
        const int received = identity.value;
        if (!identity.ok() && !failedIdentity.failed()) {
            failedIdentity = identity.failure;
            failedIdentity.portPath = portPathOf(dev); // not open, so the transfer could not name it
        }
        qDebug() << "control_receivePrivate( " << DeviceIdRequest << 0 << 0
                 << QByteArray(reinterpret_cast<const char *>(reply), 2) << 2 << ")";
        if (received == 2) {
            const uint16_t id = qFromLittleEndian<uint16_t>(reply);
            qDebug("\nvtid: %x", id);
            qDebug("\nUSB_VT810_ID: %x", deviceId);
            if (id == deviceId) {
                openPortPath = portPathOf(dev);
                ++connections;
                result = Failure();
                break;
            }
        }
        // Wrong id or length; a failed request has already dropped the handle.
        releaseAndClosePrivate();
    }

    libusb_free_device_list(list, 1);
    return result;
}

void UsbDevice::releaseAndClosePrivate()
{
    if (!handle)
        return;
    libusb_release_interface(handle, Interface);
    libusb_close(handle);
    handle = nullptr;
    openPortPath.clear();
}

void UsbDevice::disconnect()
{
    QMutexLocker locker(&transportLock);
    disconnectPrivate();
}

void UsbDevice::disconnectPrivate()
{
    qDebug() << "USB Disconnect";
    releaseAndClosePrivate();
}

bool UsbDevice::isConnected()
{
    QMutexLocker locker(&transportLock);
    return handle != nullptr;
}

QString UsbDevice::connectedPortPath() const
{
    QMutexLocker locker(&transportLock);
    return openPortPath;
}

quint64 UsbDevice::connectionCount() const
{
    QMutexLocker locker(&transportLock);
    return connections;
}

int UsbDevice::control_send(int bRequest, int wValue, int wIndex, const unsigned char *data, int length)
{
    const FailureOr<int> sent = sendControl(bRequest, wValue, wIndex, data, length);
    return sent.ok() ? sent.value : -1;
}

Failure UsbDevice::transferFailedPrivate(int libusbResult, uint8_t request, uint16_t value, uint16_t index)
{
    Failure failure = Failure::fromLibusb(libusbResult);
    failure.portPath = openPortPath;
    failure.request = request;
    failure.address = qint64(value) | qint64(index) << 16;
    disconnectPrivate();
    return failure;
}

FailureOr<int> UsbDevice::sendControl(int bRequest, int wValue, int wIndex, const unsigned char *data, int length)
{
    QMutexLocker locker(&transportLock);
    qDebug() << "UsbDevice::control_send()";
    if (!handle) {
        if (Failure notConnected = connectPrivate(); notConnected.failed())
            return {0, notConnected};
    }

    const uint8_t request = uint8_t(bRequest);
    const uint16_t value = uint16_t(wValue);
    const uint16_t index = uint16_t(wIndex);
    const bool hasData = data != nullptr && length != 0;
    int result = LIBUSB_ERROR_INVALID_PARAM;
    if (validLength(length)) {
        result = libusb_control_transfer(handle, RequestTypeVendorOut, request, value, index,
                                         hasData ? const_cast<unsigned char *>(data) : nullptr,
                                         hasData ? uint16_t(length) : 0, TimeoutMs);
    }
    logTransfer("Send", request, value, index, length, result >= 0);
    if (result >= 0)
        return {result, Failure()};
    return {0, transferFailedPrivate(result, request, value, index)};
}

int UsbDevice::control_send(int bRequest, int wValue, int wIndex, const QByteArray &data)
{
    return control_send(bRequest, wValue, wIndex, reinterpret_cast<const unsigned char *>(data.constData()),
                        int(data.size()));
}

int UsbDevice::control_receive(int bRequest, int wValue, int wIndex, QByteArray &data)
{
    return control_receive(bRequest, wValue, wIndex, reinterpret_cast<unsigned char *>(data.data()), int(data.size()));
}

int UsbDevice::control_receive(int bRequest, int wValue, int wIndex, unsigned char *data, int length)
{
    const FailureOr<int> received = receiveControl(bRequest, wValue, wIndex, data, length);
    return received.ok() ? received.value : -1;
}

FailureOr<int> UsbDevice::receiveControl(int bRequest, int wValue, int wIndex, unsigned char *data, int length)
{
    QMutexLocker locker(&transportLock);
    return control_receivePrivate(bRequest, wValue, wIndex, data, length);
}

FailureOr<int> UsbDevice::control_receivePrivate(int bRequest, int wValue, int wIndex, unsigned char *data, int length)
{
    if (!handle) {
        if (Failure notConnected = connectPrivate(); notConnected.failed())
            return {0, notConnected};
    }

    const uint8_t request = uint8_t(bRequest);
    const uint16_t value = uint16_t(wValue);
    const uint16_t index = uint16_t(wIndex);
    int result = LIBUSB_ERROR_INVALID_PARAM;
    if (data != nullptr && length != 0 && validLength(length))
        result = libusb_control_transfer(handle, RequestTypeVendorIn, request, value, index, data, uint16_t(length),
                                         TimeoutMs);
    logTransfer("Receive", request, value, index, length, result >= 0);
    if (result >= 0)
        return {result, Failure()};
    return {0, transferFailedPrivate(result, request, value, index)};
}

int UsbDevice::bulk_write(const unsigned char *data, int length)
{
    QMutexLocker locker(&transportLock);
    if (!handle || !data || length < 1)
        return -1;
    int transferred = 0;
    const int result = libusb_bulk_transfer(handle, BulkOutEndpoint, const_cast<unsigned char *>(data), length,
                                            &transferred, TimeoutMs);
    return result < 0 ? result : transferred;
}

int UsbDevice::bulk_read(unsigned char *data, int length)
{
    QMutexLocker locker(&transportLock);
    if (!handle || !data || length < 1)
        return -1;
    int transferred = 0;
    const int result = libusb_bulk_transfer(handle, BulkInEndpoint, data, length, &transferred, TimeoutMs);
    return result < 0 ? result : transferred;
}

QByteArray UsbDevice::getSerialString()
{
    QMutexLocker locker(&transportLock);
    QByteArray serial;
    if (!handle)
        return serial;

    unsigned char buffer[256] = {};
    const int received = libusb_get_descriptor(handle, LIBUSB_DT_STRING, SerialStringIndex, buffer, sizeof buffer);
    serial = decodeSerialStringDescriptor(buffer, received);
    // The device monitor tells the mode from it where sysfs does not.
    libusb_device *device = libusb_get_device(handle);
    SerialStringCache::remember(libusb_get_bus_number(device), libusb_get_device_address(device), serial);
    return serial;
}
