#include "sim/BusPrivate.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>

#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace vt520sim {

int64_t steadyMicroseconds()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// ---------------------------------------------------------------- BusPrivate

BusPrivate &BusPrivate::global()
{
    // Never destroyed: libusb calls made during static destruction (a device
    // object that outlives main) still find a bus.
    static BusPrivate *bus = new BusPrivate;
    return *bus;
}

BusPrivate::BusPrivate()
{
    std::lock_guard<std::mutex> lock(mutex);
    resetLocked();
    // A run that names a clock file shares its time with the program under
    // test and with every other process on that file.
    const QString clockFile = qEnvironmentVariable("VT520_SIM_CLOCK");
    if (!clockFile.isEmpty())
        sharedClock.map(clockFile, 0);
    addDefaultDeviceLocked();
    // A unit plugged in while the program already looks for it: the
    // default units come onto the bus only that long after the start.
    if (const int arriveMs = qEnvironmentVariableIntValue("VT520_SIM_ARRIVE_MS"); arriveMs > 0) {
        for (Entry &entry : devices)
            entry.device->leaveBus(nowUsLocked() + int64_t(arriveMs) * 1000);
    }
}

void BusPrivate::resetLocked()
{
    for (Entry &entry : devices) {
        entry.device->removed = true;
        entry.device->present = false;
        ++entry.device->epoch;
    }
    devices.clear();
    lastAddress.clear();
    virtualClock = false;
    virtualUs = 0;
    realStartUs = steadyMicroseconds();
    nthFaults.clear();
    requestFaults.clear();
    requestAtFaults.clear();
    requestUnplugs.clear();
    wireFreeAtUs.clear();
    log.clear();
    requestCounts.clear();
    overlaps = 0;
    holdUs = 0;
}

namespace {

// A device whose device.ini names another key file (relative to the state
// folder or absolute) scrambles with that key.
void loadTransferKey(EmulatedDevice &device, const QString &folder, const QString &file)
{
    QFile key(QDir(folder).absoluteFilePath(file));
    if (!key.open(QIODevice::ReadOnly) || !device.setTransferKey(key.read(129))) {
        qWarning("vt520sim: transfer_key %s is not a 128-byte key file; the build's key stays", qPrintable(file));
        return;
    }
    device.transferKeyFile = file;
}

// Gives a device its state folder: the state found there, or a factory-fresh
// device written there when the folder holds none. A fresh device costs
// realistic transfer time or none, as asked.
void attachStateFolder(EmulatedDevice &device, const QString &folder, bool realisticWhenFresh)
{
    auto state = std::make_unique<DeviceStateFolder>(folder);
    DeviceSettings settings;
    if (state->load(device.internal, device.external, settings)) {
        device.mode = settings.bootloaderMode ? Mode::Bootloader : Mode::Application;
        device.serial = settings.serial;
        device.status = settings.status;
        device.reenumerateMs = settings.reenumerateMs;
        device.idRequestsUnanswered = settings.idRequestsUnanswered;
        device.cost = settings.transferCost ? TransferCost::realistic() : TransferCost::none();
        if (!settings.transferKeyFile.isEmpty())
            loadTransferKey(device, folder, settings.transferKeyFile);
    } else {
        device.cost = realisticWhenFresh ? TransferCost::realistic() : TransferCost::none();
        settings = DeviceSettings{};
        settings.serial = device.serial;
        settings.reenumerateMs = device.reenumerateMs;
        settings.transferCost = realisticWhenFresh;
        state->saveAll(device.internal, device.external, settings);
    }
    device.attachStateFolder(std::move(state));
}

} // namespace

QList<uint8_t> parsePortPath(const QByteArray &portPath, int bus)
{
    const int dash = portPath.indexOf('-');
    bool ok = false;
    if (dash < 1 || portPath.left(dash).toInt(&ok) != bus || !ok)
        return {};
    QList<uint8_t> ports;
    const QList<QByteArray> parts = portPath.mid(dash + 1).split('.');
    if (parts.size() > 7) // USB allows 7 tiers
        return {};
    for (const QByteArray &part : parts) {
        const int port = part.toInt(&ok);
        if (!ok || port < 1 || port > 255)
            return {};
        ports.append(uint8_t(port));
    }
    return ports;
}

namespace {

int busOfPortPath(const QByteArray &portPath)
{
    bool ok = false;
    const int bus = portPath.left(portPath.indexOf('-')).toInt(&ok);
    return ok ? bus : 0;
}

} // namespace

void BusPrivate::addDefaultDeviceLocked()
{
    const QString folder = qEnvironmentVariable("VT520_SIM_STATE");
    // Unset: one unit. 0: an empty bus (nothing attached).
    const int units = qEnvironmentVariableIsSet("VT520_SIM_UNITS")
                          ? qBound(0, qEnvironmentVariableIntValue("VT520_SIM_UNITS"), 127)
                          : 1;
    if (units == 0)
        return;
    if (units == 1) {
        auto device = std::make_shared<EmulatedDevice>(1, 1, true);
        if (!folder.isEmpty())
            attachStateFolder(*device, folder, true);
        addLocked(device);
        return;
    }
    // Several units behind a hub at root port 1, unit k at port k with
    // address k, serials counting up from the factory serial.
    for (int k = 1; k <= units; ++k) {
        auto device = std::make_shared<EmulatedDevice>(1, k, true);
        device->ports = {1, uint8_t(k)};
        device->serial = QByteArray::number(261100042 + k - 1);
        if (!folder.isEmpty())
            attachStateFolder(*device, QDir(folder).filePath(QStringLiteral("unit%1").arg(k)), true);
        addLocked(device);
    }
}

Device &BusPrivate::addLocked(std::shared_ptr<EmulatedDevice> device)
{
    // A device already at this place is unplugged for good.
    for (auto it = devices.begin(); it != devices.end(); ++it) {
        if (it->device->bus == device->bus && it->device->address == device->address) {
            it->device->removed = true;
            it->device->present = false;
            ++it->device->epoch;
            devices.erase(it);
            break;
        }
    }
    int &last = lastAddress[device->bus];
    last = qMax(last, device->address);
    Entry entry;
    entry.handle.reset(new Device(device.get()));
    entry.device = std::move(device);
    devices.push_back(std::move(entry));
    return *devices.back().handle;
}

Device *BusPrivate::findLocked(int bus, int address)
{
    for (Entry &entry : devices)
        if (entry.device->bus == bus && entry.device->address == address)
            return entry.handle.get();
    return nullptr;
}

void BusPrivate::removeAtPortLocked(const QByteArray &portPath)
{
    for (auto it = devices.begin(); it != devices.end(); ++it) {
        if (it->device->portPath() == portPath) {
            it->device->removed = true;
            it->device->present = false;
            ++it->device->epoch;
            devices.erase(it);
            return;
        }
    }
}

Device *BusPrivate::findAtPortLocked(const QByteArray &portPath)
{
    for (Entry &entry : devices)
        if (entry.device->portPath() == portPath)
            return entry.handle.get();
    return nullptr;
}

int BusPrivate::allocateAddressLocked(int bus, const EmulatedDevice *device)
{
    int &last = lastAddress[bus];
    for (int step = 1; step <= 127; ++step) {
        const int candidate = (last + step - 1) % 127 + 1;
        const bool taken = std::any_of(devices.begin(), devices.end(), [&](const Entry &entry) {
            return entry.device.get() != device && entry.device->bus == bus && entry.device->address == candidate;
        });
        if (!taken) {
            last = candidate;
            return candidate;
        }
    }
    return device->address;
}

int64_t BusPrivate::nowUsLocked() const
{
    if (sharedClock.isMapped())
        return sharedClock.microseconds();
    return virtualClock ? virtualUs : steadyMicroseconds() - realStartUs;
}

void BusPrivate::pass(std::unique_lock<std::mutex> &lock, int64_t microseconds)
{
    if (microseconds <= 0)
        return;
    if (sharedClock.isMapped()) {
        sharedClock.advance(microseconds);
        return;
    }
    if (virtualClock) {
        virtualUs += microseconds;
        return;
    }
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
    lock.lock();
}

BusPrivate::Fault BusPrivate::takeFaultLocked(const ControlSetup *setup)
{
    Fault fault;
    for (auto it = nthFaults.begin(); it != nthFaults.end();) {
        if (--it->countdown <= 0) {
            if (fault.error == 0) {
                fault.error = it->error;
                fault.unplugForUs = it->unplugForUs;
                fault.powerOn = it->powerOn;
            }
            it = nthFaults.erase(it);
        } else {
            ++it;
        }
    }
    if (setup && (setup->requestType & 0x60) == 0x40) {
        auto it = requestFaults.find(setup->request);
        if (it != requestFaults.end() && it->second.remaining != 0) {
            if (fault.error == 0)
                fault.error = it->second.error;
            if (it->second.remaining > 0 && --it->second.remaining == 0)
                requestFaults.erase(it);
        }
        for (auto at = requestAtFaults.begin(); at != requestAtFaults.end();) {
            if (at->request != setup->request) {
                ++at;
            } else if (at->skip > 0) {
                --at->skip;
                ++at;
            } else {
                if (fault.error == 0)
                    fault.error = at->error;
                if (at->remaining > 0 && --at->remaining == 0)
                    at = requestAtFaults.erase(at);
                else
                    ++at;
            }
        }
        for (auto unplug = requestUnplugs.begin(); unplug != requestUnplugs.end();) {
            if (unplug->request == setup->request && --unplug->countdown <= 0) {
                if (fault.error == 0) {
                    fault.error = LIBUSB_ERROR_NO_DEVICE;
                    fault.unplugForUs = unplug->unplugForUs;
                    fault.powerOn = unplug->powerOn;
                }
                unplug = requestUnplugs.erase(unplug);
            } else {
                ++unplug;
            }
        }
    }
    if (fault.error == AnswerLost) {
        fault.error = LIBUSB_ERROR_TIMEOUT;
        fault.answerLost = true;
    }
    return fault;
}

int BusPrivate::applyFaultLocked(const Fault &fault, EmulatedDevice &device)
{
    if (fault.unplugForUs >= 0) {
        device.leaveBus(nowUsLocked() + fault.unplugForUs);
        if (fault.powerOn)
            device.powerOn();
    }
    return fault.error;
}

void BusPrivate::recordLocked(const TransferRecord &record)
{
    log.append(record);
    if (!record.bulk && (record.requestType & 0x60) == 0x40)
        ++requestCounts[record.request];
}

int64_t BusPrivate::occupyWireLocked(int busNumber, int64_t wireUs)
{
    const int64_t now = nowUsLocked();
    int64_t &freeAt = wireFreeAtUs[busNumber];
    freeAt = std::max(freeAt, now) + wireUs;
    return freeAt - now;
}

// ------------------------------------------------------------ TransportEntry

TransportEntry::TransportEntry(EmulatedDevice &entered)
    : device(entered)
{
    overlap = device.inside.fetch_add(1) != 0;
    if (overlap)
        ++BusPrivate::global().overlaps;
}

TransportEntry::~TransportEntry()
{
    --device.inside;
}

// ------------------------------------------------------------------------ Bus

Bus &Bus::instance()
{
    static Bus *bus = new Bus;
    BusPrivate::global();
    return *bus;
}

void Bus::reset()
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.resetLocked();
}

void Bus::resetToDefault()
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.resetLocked();
    p.addDefaultDeviceLocked();
}

Device &Bus::addVt520(int bus, int address, const QByteArray &serial)
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    auto device = std::make_shared<EmulatedDevice>(bus, address, true);
    device->serial = serial;
    return p.addLocked(std::move(device));
}

Device &Bus::addVt520At(const QString &portPath, const QByteArray &serial)
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    const QByteArray path = portPath.toLatin1();
    const int bus = busOfPortPath(path);
    auto device = std::make_shared<EmulatedDevice>(bus, 0, true);
    device->serial = serial;
    device->ports = parsePortPath(path, bus);
    Q_ASSERT_X(!device->ports.isEmpty(), "Bus::addVt520At", "port path like 1-1.4");
    p.removeAtPortLocked(path); // the place was taken: that device goes for good
    device->address = p.allocateAddressLocked(bus, device.get());
    return p.addLocked(std::move(device));
}

Device &Bus::addPersistentVt520(int bus, int address, const QString &folder)
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    auto device = std::make_shared<EmulatedDevice>(bus, address, true);
    attachStateFolder(*device, folder, false);
    return p.addLocked(std::move(device));
}

Device &Bus::addDevice(int bus, int address, uint16_t vendorId, uint16_t productId)
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    auto device = std::make_shared<EmulatedDevice>(bus, address, false);
    device->vendorId = vendorId;
    device->productId = productId;
    device->serial = "DECOY0000";
    return p.addLocked(std::move(device));
}

Device *Bus::device(int bus, int address)
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    return p.findLocked(bus, address);
}

Device *Bus::deviceAt(const QString &portPath)
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    return p.findAtPortLocked(portPath.toLatin1());
}

QList<Device *> Bus::devices()
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    QList<Device *> list;
    for (auto &entry : p.devices)
        list.append(entry.handle.get());
    return list;
}

void Bus::useVirtualClock(bool on)
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    if (on == p.virtualClock)
        return;
    // Keep the time continuous across the switch.
    const int64_t now = p.nowUsLocked();
    p.virtualClock = on;
    if (on)
        p.virtualUs = now;
    else
        p.realStartUs = steadyMicroseconds() - now;
}

bool Bus::isVirtualClock() const
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    return p.virtualClock || p.sharedClock.isMapped();
}

void Bus::advanceClock(int64_t milliseconds)
{
    BusPrivate &p = BusPrivate::global();
    std::unique_lock<std::mutex> lock(p.mutex);
    if ((p.virtualClock || p.sharedClock.isMapped()) && milliseconds > 0)
        p.pass(lock, milliseconds * 1000);
}

bool Bus::shareClock(const QString &fileName)
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    return p.sharedClock.map(fileName, p.nowUsLocked());
}

int64_t Bus::nowMs() const
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    return p.nowUsLocked() / 1000;
}

void Bus::sleepMs(int64_t milliseconds)
{
    BusPrivate &p = BusPrivate::global();
    std::unique_lock<std::mutex> lock(p.mutex);
    p.pass(lock, milliseconds * 1000);
}

void Bus::failTransfer(int nth, int libusbError)
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    if (nth >= 1)
        p.nthFaults.push_back({nth, libusbError});
}

void Bus::unplugAtTransfer(int nth, int64_t replugAfterMs, Return back)
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    if (nth >= 1)
        p.nthFaults.push_back(
            {nth, LIBUSB_ERROR_NO_DEVICE, qMax<int64_t>(0, replugAfterMs) * 1000, back == Return::PowerOn});
}

void Bus::unplugAtRequest(uint8_t request, int occurrence, int64_t replugAfterMs, Return back)
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    if (occurrence >= 1)
        p.requestUnplugs.push_back(
            {request, occurrence, qMax<int64_t>(0, replugAfterMs) * 1000, back == Return::PowerOn});
}

void Bus::failRequest(uint8_t request, int libusbError, int count)
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    if (count == 0 || libusbError == 0)
        p.requestFaults.erase(request);
    else
        p.requestFaults[request] = {libusbError, count < 0 ? Never : count};
}

void Bus::failRequestAt(uint8_t request, int occurrence, int libusbError, int count)
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    if (occurrence >= 1 && count != 0 && libusbError != 0)
        p.requestAtFaults.push_back({request, occurrence - 1, count < 0 ? Never : count, libusbError});
}

void Bus::clearFaults()
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.nthFaults.clear();
    p.requestFaults.clear();
    p.requestAtFaults.clear();
    p.requestUnplugs.clear();
}

QList<TransferRecord> Bus::transferLog() const
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    return p.log;
}

void Bus::clearTransferLog()
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.log.clear();
    p.requestCounts.clear();
}

int Bus::requestCount(uint8_t request) const
{
    BusPrivate &p = BusPrivate::global();
    std::lock_guard<std::mutex> lock(p.mutex);
    const auto it = p.requestCounts.find(request);
    return it == p.requestCounts.end() ? 0 : it->second;
}

int Bus::overlapCount() const
{
    return BusPrivate::global().overlaps.load();
}

void Bus::setTransferHoldMicroseconds(int microseconds)
{
    BusPrivate::global().holdUs = microseconds > 0 ? microseconds : 0;
}

void sleepMs(unsigned long milliseconds)
{
    Bus::instance().sleepMs(int64_t(milliseconds));
}

} // namespace vt520sim
