#include "sim/BusPrivate.h"

#include <QtGlobal>

namespace vt520sim {

namespace {

using Lock = std::lock_guard<std::mutex>;

std::mutex &busMutex()
{
    return BusPrivate::global().mutex;
}

uint32_t internalOffset(uint32_t address)
{
    return address - InternalFlashBase;
}

// Clips [offset, offset + length) to an image of size bytes.
uint32_t clippedLength(uint32_t offset, uint32_t length, uint32_t size)
{
    if (offset >= size)
        return 0;
    return qMin(length, size - offset);
}

} // namespace

Device::Device(EmulatedDevice *device)
    : d(device)
{
}

int Device::busNumber() const
{
    return d->bus;
}

int Device::address() const
{
    Lock lock(busMutex());
    return d->address;
}

QString Device::portPath() const
{
    Lock lock(busMutex());
    return QString::fromLatin1(d->portPath());
}

bool Device::setPortPath(const QString &portPath)
{
    const QList<uint8_t> ports = parsePortPath(portPath.toLatin1(), d->bus);
    if (ports.isEmpty())
        return false;
    Lock lock(busMutex());
    d->ports = ports;
    return true;
}

void Device::setIds(uint16_t vendorId, uint16_t productId)
{
    Lock lock(busMutex());
    d->vendorId = vendorId;
    d->productId = productId;
}

void Device::setIdReply(const QByteArray &reply)
{
    Lock lock(busMutex());
    d->idReply = reply;
}

void Device::setSerial(const QByteArray &serial)
{
    Lock lock(busMutex());
    d->serial = serial;
    d->persistSettings();
}

QByteArray Device::serial() const
{
    Lock lock(busMutex());
    return d->serial;
}

QByteArray Device::serialString() const
{
    Lock lock(busMutex());
    return d->serialString();
}

QByteArray Device::stringText(int index) const
{
    Lock lock(busMutex());
    return d->stringText(index);
}

Mode Device::mode() const
{
    Lock lock(busMutex());
    return d->mode;
}

void Device::setMode(Mode mode)
{
    Lock lock(busMutex());
    d->mode = mode;
    d->persistSettings();
}

QByteArray Device::internalFlash(uint32_t address, uint32_t length) const
{
    Lock lock(busMutex());
    const uint32_t offset = internalOffset(address);
    return d->internal.mid(int(offset), int(clippedLength(offset, length, InternalFlashSize)));
}

void Device::setInternalFlash(uint32_t address, const QByteArray &bytes)
{
    Lock lock(busMutex());
    const uint32_t offset = internalOffset(address);
    const uint32_t length = clippedLength(offset, uint32_t(bytes.size()), InternalFlashSize);
    d->internal.replace(int(offset), int(length), bytes.left(int(length)));
    d->persistInternal(offset, length);
}

void Device::setVersionBlock(const QByteArray &version, const QByteArray &date)
{
    QByteArray block(int(VersionBlockSize), '\0');
    block.replace(0, qMin<int>(version.size(), 15), version.left(15));
    block.replace(16, qMin<int>(date.size(), 15), date.left(15));
    setInternalFlash(VersionBlockAddress, block);
}

uint32_t Device::applicationSum() const
{
    Lock lock(busMutex());
    return d->computeApplicationSum();
}

bool Device::applicationSumValid() const
{
    Lock lock(busMutex());
    return d->computeApplicationSum() == d->storedApplicationSum();
}

void Device::fixApplicationSum()
{
    const uint32_t sum = applicationSum();
    const char word[4] = {char(sum), char(sum >> 8), char(sum >> 16), char(sum >> 24)};
    setInternalFlash(ApplicationSumAddress, QByteArray(word, 4));
}

QByteArray Device::externalFlash(uint32_t address, uint32_t length) const
{
    Lock lock(busMutex());
    return d->external.mid(int(address), int(clippedLength(address, length, ExternalFlashSize)));
}

void Device::setExternalFlash(uint32_t address, const QByteArray &bytes)
{
    Lock lock(busMutex());
    const uint32_t length = clippedLength(address, uint32_t(bytes.size()), ExternalFlashSize);
    d->external.replace(int(address), int(length), bytes.left(int(length)));
    d->persistExternal(address, length);
}

void Device::eraseExternalFlash()
{
    Lock lock(busMutex());
    d->external.fill(char(0xFF));
    d->persistExternal(0, ExternalFlashSize);
}

QByteArray Device::testBlock() const
{
    Lock lock(busMutex());
    return d->testBlock;
}

void Device::queueBulkIn(const QByteArray &block)
{
    Lock lock(busMutex());
    d->bulkIn.append(block);
}

QByteArray Device::bulkOutData() const
{
    Lock lock(busMutex());
    return d->bulkOut;
}

uint32_t Device::status() const
{
    Lock lock(busMutex());
    return d->status;
}

void Device::setStatus(uint32_t status)
{
    Lock lock(busMutex());
    d->status = status;
    d->acknowledgePending = false;
    d->persistSettings();
}

void Device::setAcknowledgeAfterReads(int reads)
{
    Lock lock(busMutex());
    d->acknowledgeAfterReads = reads < 0 ? Never : reads;
}

void Device::setReenumerateDelay(int milliseconds)
{
    Lock lock(busMutex());
    d->reenumerateMs = qMax(0, milliseconds);
    d->persistSettings();
}

void Device::setBootloaderNeverReturns(bool never)
{
    Lock lock(busMutex());
    d->bootloaderNeverReturns = never;
}

void Device::unplug()
{
    Lock lock(busMutex());
    d->leaveBus(-1);
}

void Device::replug()
{
    Lock lock(busMutex());
    d->comeBack();
}

void Device::powerCycle()
{
    BusPrivate &bus = BusPrivate::global();
    Lock lock(bus.mutex);
    if (d->removed)
        return;
    d->leaveBus(bus.nowUsLocked());
    d->powerOn();
    d->comeBack();
}

bool Device::isPresent() const
{
    BusPrivate &bus = BusPrivate::global();
    Lock lock(bus.mutex);
    d->refreshPresence(bus.nowUsLocked());
    return d->present;
}

void Device::failOpen(int libusbError)
{
    Lock lock(busMutex());
    d->openError = libusbError;
}

void Device::leaveIdRequestsUnanswered(int count)
{
    Lock lock(busMutex());
    d->idRequestsUnanswered = count < 0 ? Never : count;
    d->persistSettings();
}

void Device::failSetConfiguration(int libusbError)
{
    Lock lock(busMutex());
    d->setConfigurationError = libusbError;
}

void Device::failClaimInterface(int libusbError)
{
    Lock lock(busMutex());
    d->claimError = libusbError;
}

void Device::setActiveConfiguration(int configuration)
{
    Lock lock(busMutex());
    d->activeConfiguration = configuration;
    d->configurationEpoch = d->epoch;
}

void Device::corruptReadBack(uint32_t address, uint8_t xorMask, int count)
{
    Lock lock(busMutex());
    d->corruptions.append({address, xorMask, count < 0 ? Never : count});
}

void Device::setTransferCost(const TransferCost &cost)
{
    Lock lock(busMutex());
    d->cost = cost;
    d->persistSettings();
}

TransferCost Device::transferCost() const
{
    Lock lock(busMutex());
    return d->cost;
}

bool Device::setTransferKey(const QByteArray &key)
{
    Lock lock(busMutex());
    return d->setTransferKey(key);
}

QString Device::stateFolder() const
{
    Lock lock(busMutex());
    return d->stateFolder ? d->stateFolder->path() : QString();
}

} // namespace vt520sim
