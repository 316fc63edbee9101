// The libusb-1.0 functions the transport uses, answered by the emulated bus.
// Same names, C signatures and error codes as <libusb.h>, so that the library
// can stand in for libusb-1.0 at link time or through LD_PRELOAD.

#include "sim/BusPrivate.h"
#include "sim/WireTime.h"

#include <libusb.h>

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstring>
#include <thread>

using vt520sim::BusPrivate;
using vt520sim::ControlSetup;
using vt520sim::EmulatedDevice;
using vt520sim::TransferRecord;
using vt520sim::TransportEntry;

struct libusb_context {
    int unused = 0;
};

// One appearance of a device on the bus: a replugged or re-enumerated device
// is a new libusb_device.
struct libusb_device {
    std::shared_ptr<EmulatedDevice> device;
    int epoch = 0;
    uint8_t bus = 0;
    uint8_t address = 0;
    QList<uint8_t> ports;
    libusb_device_descriptor descriptor{};
    std::atomic<int> references{1};
};

struct libusb_device_handle {
    libusb_device *device = nullptr;
    int epoch = 0;
    bool claimed = false;
};

namespace {

using Lock = std::unique_lock<std::mutex>;

bool reachable(const libusb_device_handle *handle)
{
    const EmulatedDevice &device = *handle->device->device;
    return !device.removed && device.present && device.epoch == handle->epoch;
}

// Applies the cost of a call and the thread-test hold time; unlocks first.
void finishCall(Lock &lock, int64_t costUs)
{
    BusPrivate &bus = BusPrivate::global();
    bus.pass(lock, costUs);
    lock.unlock();
    if (const int hold = bus.holdUs.load())
        std::this_thread::sleep_for(std::chrono::microseconds(hold));
}

// Reports an overlapping call in the log.
int overlapFailure(TransferRecord record)
{
    BusPrivate &bus = BusPrivate::global();
    Lock lock(bus.mutex);
    record.result = LIBUSB_ERROR_BUSY;
    record.overlapped = true;
    bus.recordLocked(record);
    return LIBUSB_ERROR_BUSY;
}

const char *errorName(int code)
{
    switch (code) {
    case LIBUSB_SUCCESS:
        return "LIBUSB_SUCCESS";
    case LIBUSB_ERROR_IO:
        return "LIBUSB_ERROR_IO";
    case LIBUSB_ERROR_INVALID_PARAM:
        return "LIBUSB_ERROR_INVALID_PARAM";
    case LIBUSB_ERROR_ACCESS:
        return "LIBUSB_ERROR_ACCESS";
    case LIBUSB_ERROR_NO_DEVICE:
        return "LIBUSB_ERROR_NO_DEVICE";
    case LIBUSB_ERROR_NOT_FOUND:
        return "LIBUSB_ERROR_NOT_FOUND";
    case LIBUSB_ERROR_BUSY:
        return "LIBUSB_ERROR_BUSY";
    case LIBUSB_ERROR_TIMEOUT:
        return "LIBUSB_ERROR_TIMEOUT";
    case LIBUSB_ERROR_OVERFLOW:
        return "LIBUSB_ERROR_OVERFLOW";
    case LIBUSB_ERROR_PIPE:
        return "LIBUSB_ERROR_PIPE";
    case LIBUSB_ERROR_INTERRUPTED:
        return "LIBUSB_ERROR_INTERRUPTED";
    case LIBUSB_ERROR_NO_MEM:
        return "LIBUSB_ERROR_NO_MEM";
    case LIBUSB_ERROR_NOT_SUPPORTED:
        return "LIBUSB_ERROR_NOT_SUPPORTED";
    default:
        return "LIBUSB_ERROR_OTHER";
    }
}

} // namespace

int LIBUSB_CALL libusb_init(libusb_context **ctx)
{
    BusPrivate::global();
    if (ctx)
        *ctx = new libusb_context;
    return LIBUSB_SUCCESS;
}

void LIBUSB_CALL libusb_exit(libusb_context *ctx)
{
    delete ctx;
}

void LIBUSB_CALL libusb_set_debug(libusb_context *, int)
{
}

int LIBUSB_CALL libusb_set_option(libusb_context *, enum libusb_option, ...)
{
    return LIBUSB_SUCCESS;
}

// The emulator has no hotplug events: a program that follows plugging asks
// here first and finds it must poll the device list. Registering a callback
// anyway is refused, and there are no events to handle.
int LIBUSB_CALL libusb_has_capability(uint32_t capability)
{
    return capability == LIBUSB_CAP_HAS_CAPABILITY ? 1 : 0;
}

int LIBUSB_CALL libusb_hotplug_register_callback(libusb_context *, int, int, int, int, int, libusb_hotplug_callback_fn,
                                                 void *, libusb_hotplug_callback_handle *callback_handle)
{
    if (callback_handle)
        *callback_handle = 0;
    return LIBUSB_ERROR_NOT_SUPPORTED;
}

void LIBUSB_CALL libusb_hotplug_deregister_callback(libusb_context *, libusb_hotplug_callback_handle)
{
}

int LIBUSB_CALL libusb_handle_events_timeout_completed(libusb_context *, struct timeval *, int *)
{
    return LIBUSB_ERROR_NOT_SUPPORTED;
}

void LIBUSB_CALL libusb_interrupt_event_handler(libusb_context *)
{
}

const char *LIBUSB_CALL libusb_error_name(int errcode)
{
    return errorName(errcode);
}

const char *LIBUSB_CALL libusb_strerror(int errcode)
{
    return errorName(errcode);
}

ssize_t LIBUSB_CALL libusb_get_device_list(libusb_context *, libusb_device ***list)
{
    if (!list)
        return LIBUSB_ERROR_INVALID_PARAM;
    // Not watched for overlaps: the list belongs to no device, and libusb
    // lets several threads enumerate on one context at once.
    BusPrivate &bus = BusPrivate::global();
    Lock lock(bus.mutex);
    const int64_t now = bus.nowUsLocked();
    std::vector<libusb_device *> present;
    // Devices come in the order they were put on the bus, not sorted.
    for (auto &slot : bus.devices) {
        EmulatedDevice &device = *slot.device;
        device.refreshPresence(now);
        if (!device.present)
            continue;
        auto *dev = new libusb_device;
        dev->device = slot.device;
        dev->epoch = device.epoch;
        dev->bus = uint8_t(device.bus);
        dev->address = uint8_t(device.address);
        dev->ports = device.ports;
        dev->descriptor = device.deviceDescriptor();
        present.push_back(dev);
    }
    lock.unlock();
    auto **array = new libusb_device *[present.size() + 1];
    for (size_t i = 0; i < present.size(); ++i)
        array[i] = present[i];
    array[present.size()] = nullptr;
    *list = array;
    return ssize_t(present.size());
}

void LIBUSB_CALL libusb_free_device_list(libusb_device **list, int unref_devices)
{
    if (!list)
        return;
    if (unref_devices)
        for (libusb_device **dev = list; *dev; ++dev)
            libusb_unref_device(*dev);
    delete[] list;
}

libusb_device *LIBUSB_CALL libusb_ref_device(libusb_device *dev)
{
    if (dev)
        ++dev->references;
    return dev;
}

void LIBUSB_CALL libusb_unref_device(libusb_device *dev)
{
    if (dev && --dev->references == 0)
        delete dev;
}

int LIBUSB_CALL libusb_get_device_descriptor(libusb_device *dev, struct libusb_device_descriptor *desc)
{
    if (!dev || !desc)
        return LIBUSB_ERROR_INVALID_PARAM;
    *desc = dev->descriptor;
    return LIBUSB_SUCCESS;
}

uint8_t LIBUSB_CALL libusb_get_bus_number(libusb_device *dev)
{
    return dev ? dev->bus : 0;
}

uint8_t LIBUSB_CALL libusb_get_device_address(libusb_device *dev)
{
    return dev ? dev->address : 0;
}

uint8_t LIBUSB_CALL libusb_get_port_number(libusb_device *dev)
{
    return dev && !dev->ports.isEmpty() ? dev->ports.last() : 0;
}

int LIBUSB_CALL libusb_get_port_numbers(libusb_device *dev, uint8_t *port_numbers, int port_numbers_len)
{
    if (!dev || !port_numbers || port_numbers_len <= 0)
        return LIBUSB_ERROR_INVALID_PARAM;
    if (dev->ports.size() > port_numbers_len)
        return LIBUSB_ERROR_OVERFLOW;
    for (int i = 0; i < dev->ports.size(); ++i)
        port_numbers[i] = dev->ports[i];
    return int(dev->ports.size());
}

int LIBUSB_CALL libusb_get_port_path(libusb_context *, libusb_device *dev, uint8_t *path, uint8_t path_length)
{
    return libusb_get_port_numbers(dev, path, path_length);
}

libusb_device *LIBUSB_CALL libusb_get_parent(libusb_device *)
{
    return nullptr; // hubs are not emulated
}

libusb_device *LIBUSB_CALL libusb_get_device(libusb_device_handle *dev_handle)
{
    return dev_handle ? dev_handle->device : nullptr;
}

int LIBUSB_CALL libusb_open(libusb_device *dev, libusb_device_handle **dev_handle)
{
    if (!dev || !dev_handle)
        return LIBUSB_ERROR_INVALID_PARAM;
    TransportEntry entry(*dev->device);
    if (entry.overlapped())
        return LIBUSB_ERROR_BUSY;
    BusPrivate &bus = BusPrivate::global();
    Lock lock(bus.mutex);
    EmulatedDevice &device = *dev->device;
    device.refreshPresence(bus.nowUsLocked());
    if (device.removed || !device.present || device.epoch != dev->epoch)
        return LIBUSB_ERROR_NO_DEVICE;
    if (device.openError)
        return device.openError;
    auto *handle = new libusb_device_handle;
    handle->device = libusb_ref_device(dev);
    handle->epoch = dev->epoch;
    *dev_handle = handle;
    return LIBUSB_SUCCESS;
}

void LIBUSB_CALL libusb_close(libusb_device_handle *dev_handle)
{
    if (!dev_handle)
        return;
    // Keeps the device alive past the handle's last reference to it.
    const std::shared_ptr<EmulatedDevice> device = dev_handle->device->device;
    TransportEntry entry(*device); // an overlapping close is counted; the handle still goes
    {
        // Closing gives up the claim, as the system does with a closed file.
        Lock lock(BusPrivate::global().mutex);
        if (device->claimHolder == dev_handle)
            device->claimHolder = nullptr;
    }
    libusb_unref_device(dev_handle->device);
    delete dev_handle;
}

int LIBUSB_CALL libusb_get_configuration(libusb_device_handle *dev_handle, int *config)
{
    if (!dev_handle || !config)
        return LIBUSB_ERROR_INVALID_PARAM;
    BusPrivate &bus = BusPrivate::global();
    Lock lock(bus.mutex);
    if (!reachable(dev_handle))
        return LIBUSB_ERROR_NO_DEVICE;
    *config = dev_handle->device->device->activeConfigurationNow();
    return LIBUSB_SUCCESS;
}

int LIBUSB_CALL libusb_set_configuration(libusb_device_handle *dev_handle, int configuration)
{
    if (!dev_handle)
        return LIBUSB_ERROR_INVALID_PARAM;
    TransportEntry entry(*dev_handle->device->device);
    if (entry.overlapped())
        return LIBUSB_ERROR_BUSY;
    BusPrivate &bus = BusPrivate::global();
    Lock lock(bus.mutex);
    if (!reachable(dev_handle))
        return LIBUSB_ERROR_NO_DEVICE;
    EmulatedDevice &device = *dev_handle->device->device;
    if (device.setConfigurationError)
        return device.setConfigurationError;
    // The system refuses to change the configuration while any program,
    // this one included, has claimed an interface of it.
    if (device.claimedByAnyone() || device.claimError == LIBUSB_ERROR_BUSY)
        return LIBUSB_ERROR_BUSY;
    if (configuration != 1 && configuration != -1)
        return LIBUSB_ERROR_NOT_FOUND;
    device.activeConfiguration = configuration == 1 ? 1 : 0;
    device.configurationEpoch = device.epoch;
    return LIBUSB_SUCCESS;
}

int LIBUSB_CALL libusb_claim_interface(libusb_device_handle *dev_handle, int interface_number)
{
    if (!dev_handle)
        return LIBUSB_ERROR_INVALID_PARAM;
    TransportEntry entry(*dev_handle->device->device);
    if (entry.overlapped())
        return LIBUSB_ERROR_BUSY;
    BusPrivate &bus = BusPrivate::global();
    Lock lock(bus.mutex);
    if (!reachable(dev_handle))
        return LIBUSB_ERROR_NO_DEVICE;
    if (dev_handle->device->device->claimError)
        return dev_handle->device->device->claimError;
    EmulatedDevice &device = *dev_handle->device->device;
    if (interface_number != 0 || device.activeConfigurationNow() != 1)
        return LIBUSB_ERROR_NOT_FOUND;
    if (device.claimedByOther(dev_handle))
        return LIBUSB_ERROR_BUSY;
    dev_handle->claimed = true;
    device.claimHolder = dev_handle;
    device.claimEpoch = device.epoch;
    return LIBUSB_SUCCESS;
}

int LIBUSB_CALL libusb_release_interface(libusb_device_handle *dev_handle, int interface_number)
{
    if (!dev_handle)
        return LIBUSB_ERROR_INVALID_PARAM;
    TransportEntry entry(*dev_handle->device->device);
    if (entry.overlapped())
        return LIBUSB_ERROR_BUSY;
    BusPrivate &bus = BusPrivate::global();
    Lock lock(bus.mutex);
    if (interface_number != 0 || !dev_handle->claimed)
        return LIBUSB_ERROR_NOT_FOUND;
    dev_handle->claimed = false;
    if (dev_handle->device->device->claimHolder == dev_handle)
        dev_handle->device->device->claimHolder = nullptr;
    return reachable(dev_handle) ? LIBUSB_SUCCESS : LIBUSB_ERROR_NO_DEVICE;
}

int LIBUSB_CALL libusb_kernel_driver_active(libusb_device_handle *, int)
{
    return 0;
}

int LIBUSB_CALL libusb_detach_kernel_driver(libusb_device_handle *, int)
{
    return LIBUSB_ERROR_NOT_FOUND;
}

int LIBUSB_CALL libusb_set_auto_detach_kernel_driver(libusb_device_handle *, int)
{
    return LIBUSB_SUCCESS;
}

int LIBUSB_CALL libusb_clear_halt(libusb_device_handle *dev_handle, unsigned char)
{
    return dev_handle ? LIBUSB_SUCCESS : LIBUSB_ERROR_INVALID_PARAM;
}

namespace {

// The way every transfer goes: the overlap check, the device's presence, an
// ordered fault or the device itself, then the transfer log and the cost on
// the bus clock. `serve` answers for the device and sets the device's own
// time; the wait for the shared wire and the wire time come on top.
template <typename Serve>
int passTransfer(libusb_device_handle *dev_handle, const ControlSetup &setup, int length, bool bulk, Serve serve)
{
    if (!dev_handle)
        return LIBUSB_ERROR_INVALID_PARAM;
    TransferRecord record;
    record.bus = dev_handle->device->bus;
    record.address = dev_handle->device->address;
    record.requestType = setup.requestType;
    record.request = setup.request;
    record.value = setup.value;
    record.index = setup.index;
    record.length = length;
    record.bulk = bulk;
    TransportEntry entry(*dev_handle->device->device);
    if (entry.overlapped())
        return overlapFailure(record);

    BusPrivate &bus = BusPrivate::global();
    Lock lock(bus.mutex);
    int64_t costUs = 0;
    EmulatedDevice &device = *dev_handle->device->device;
    device.refreshPresence(bus.nowUsLocked());
    if (reachable(dev_handle)) {
        record.result = serve(bus, device, costUs);
        if (device.cost.fullSpeedWire)
            costUs += bus.occupyWireLocked(device.bus, vt520sim::wireMicroseconds(bulk, length));
    } else {
        record.result = LIBUSB_ERROR_NO_DEVICE;
    }
    bus.recordLocked(record);
    finishCall(lock, costUs);
    return record.result;
}

// A device that never answers holds the transfer for the caller's whole
// timeout (on the virtual clock, where it costs no real time; 0 = unlimited
// is taken as one hour).
int64_t unansweredCostUs(const BusPrivate &bus, int result, unsigned int timeoutMs, int64_t costUs)
{
    if (result != LIBUSB_ERROR_TIMEOUT || !bus.virtualClock)
        return costUs;
    return int64_t(timeoutMs ? timeoutMs : 3600 * 1000) * 1000;
}

} // namespace

int LIBUSB_CALL libusb_control_transfer(libusb_device_handle *dev_handle, uint8_t request_type, uint8_t bRequest,
                                        uint16_t wValue, uint16_t wIndex, unsigned char *data, uint16_t wLength,
                                        unsigned int timeout)
{
    const ControlSetup setup{request_type, bRequest, wValue, wIndex, wLength};
    return passTransfer(dev_handle, setup, wLength, false,
                        [&](BusPrivate &bus, EmulatedDevice &device, int64_t &costUs) {
                            const BusPrivate::Fault fault = bus.takeFaultLocked(&setup);
                            if (fault.answerLost) {
                                // The device acts on it; an IN answer never reaches the caller's buffer.
                                QByteArray answer;
                                unsigned char *target = data;
                                if ((request_type & LIBUSB_ENDPOINT_IN) && data && wLength > 0) {
                                    answer = QByteArray(wLength, '\0');
                                    target = reinterpret_cast<unsigned char *>(answer.data());
                                }
                                device.control(setup, target, bus.nowUsLocked(), costUs);
                                costUs = unansweredCostUs(bus, fault.error, timeout, costUs);
                                return fault.error;
                            }
                            if (const int error = bus.applyFaultLocked(fault, device)) {
                                costUs = unansweredCostUs(bus, error, timeout, device.cost.controlMicroseconds);
                                return error;
                            }
                            // A request the device leaves unanswered holds the caller's timeout.
                            const int result = device.control(setup, data, bus.nowUsLocked(), costUs);
                            costUs = unansweredCostUs(bus, result, timeout, costUs);
                            return result;
                        });
}

int LIBUSB_CALL libusb_bulk_transfer(libusb_device_handle *dev_handle, unsigned char endpoint, unsigned char *data,
                                     int length, int *actual_length, unsigned int timeout)
{
    if (actual_length)
        *actual_length = 0;
    const ControlSetup setup{endpoint, 0, 0, 0, uint16_t(length)};
    const int result =
        passTransfer(dev_handle, setup, length, true, [&](BusPrivate &bus, EmulatedDevice &device, int64_t &costUs) {
            if (!dev_handle->claimed)
                return int(LIBUSB_ERROR_NOT_FOUND);
            const BusPrivate::Fault fault = bus.takeFaultLocked(nullptr);
            if (fault.answerLost) {
                QByteArray answer;
                unsigned char *target = data;
                if ((endpoint & LIBUSB_ENDPOINT_IN) && data && length > 0) {
                    answer = QByteArray(length, '\0');
                    target = reinterpret_cast<unsigned char *>(answer.data());
                }
                device.bulk(endpoint, target, length, costUs);
                costUs = unansweredCostUs(bus, fault.error, timeout, costUs);
                return fault.error;
            }
            if (const int error = bus.applyFaultLocked(fault, device)) {
                costUs = unansweredCostUs(bus, error, timeout, 0);
                return error;
            }
            const int result = device.bulk(endpoint, data, length, costUs);
            costUs = unansweredCostUs(bus, result, timeout, costUs);
            return result;
        });
    if (result < 0)
        return result;
    if (actual_length)
        *actual_length = result;
    return LIBUSB_SUCCESS;
}

int LIBUSB_CALL libusb_interrupt_transfer(libusb_device_handle *dev_handle, unsigned char, unsigned char *, int,
                                          int *actual_length, unsigned int)
{
    if (actual_length)
        *actual_length = 0;
    return dev_handle ? LIBUSB_ERROR_PIPE : LIBUSB_ERROR_INVALID_PARAM;
}

int LIBUSB_CALL libusb_get_string_descriptor_ascii(libusb_device_handle *dev_handle, uint8_t desc_index,
                                                   unsigned char *data, int length)
{
    if (!dev_handle || !data || length < 1)
        return LIBUSB_ERROR_INVALID_PARAM;
    unsigned char buffer[256];
    const int received = libusb_get_descriptor(dev_handle, LIBUSB_DT_STRING, desc_index, buffer, sizeof buffer);
    if (received < 0)
        return received;
    if (received < 2 || buffer[1] != LIBUSB_DT_STRING)
        return LIBUSB_ERROR_IO;
    int n = 0;
    for (int i = 2; i + 1 < received && i < buffer[0] && n < length - 1; i += 2)
        data[n++] = buffer[i + 1] ? '?' : buffer[i];
    data[n] = 0;
    return n;
}
