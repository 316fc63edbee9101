#include "sim/EmulatedDevice.h"

#include "sim/BusPrivate.h"

#include "usb/TransferKey.h"

#include <libusb.h>

#include <algorithm>
#include <cstring>

namespace vt520sim {

namespace {

constexpr uint8_t VendorOut = 0x40;
constexpr uint8_t VendorIn = 0xC0;
constexpr uint8_t StandardIn = 0x80;

constexpr uint32_t VersionTextSize = 16;
constexpr uint32_t ExternalSectorSize = 4096;              // erase unit of the external flash
constexpr uint32_t ApplicationEnd = ApplicationSumAddress; // the sum covers the words before it

uint32_t loadWord(const unsigned char *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void storeWord(unsigned char *p, uint32_t w)
{
    p[0] = uint8_t(w);
    p[1] = uint8_t(w >> 8);
    p[2] = uint8_t(w >> 16);
    p[3] = uint8_t(w >> 24);
}

// The device's side of the transfer scrambling, with the device's own key:
// key word 0 at the first byte of every request.
void scramble(const TransferKeyTable &key, unsigned char *data, uint32_t length)
{
    for (uint32_t i = 0; i < length / 4; ++i) {
        const uint32_t k = key[i % TransferKeyWordCount];
        storeWord(data + 4 * i, (loadWord(data + 4 * i) ^ k) + k);
    }
}

void unscramble(const TransferKeyTable &key, unsigned char *data, uint32_t length)
{
    for (uint32_t i = 0; i < length / 4; ++i) {
        const uint32_t k = key[i % TransferKeyWordCount];
        storeWord(data + 4 * i, (loadWord(data + 4 * i) - k) ^ k);
    }
}

uint32_t addressOf(const ControlSetup &setup)
{
    return uint32_t(setup.index) << 16 | setup.value;
}

// A deterministic stand-in for code, so that flash areas are not uniform.
void fillPattern(QByteArray &image, uint32_t offset, uint32_t length, uint32_t seed)
{
    uint32_t x = seed;
    for (uint32_t i = 0; i < length; ++i) {
        x = x * 1664525u + 1013904223u;
        image[int(offset + i)] = char(x >> 24);
    }
}

} // namespace

EmulatedDevice::EmulatedDevice(int busNumber, int deviceAddress, bool vt520)
    : bus(busNumber)
    , address(deviceAddress)
    , ports{uint8_t(deviceAddress)}
    , isVt520(vt520)
{
    std::copy(std::begin(TransferKey), std::end(TransferKey), transferKey.begin());
    makeFactoryFresh();
}

bool EmulatedDevice::setTransferKey(const QByteArray &key)
{
    if (key.size() != int(sizeof(uint32_t)) * TransferKeyWordCount)
        return false;
    for (int i = 0; i < TransferKeyWordCount; ++i)
        transferKey[size_t(i)] = loadWord(reinterpret_cast<const unsigned char *>(key.constData()) + 4 * i);
    return true;
}

void EmulatedDevice::makeFactoryFresh()
{
    mode = Mode::Application;
    status = 0;
    internal = QByteArray(int(InternalFlashSize), char(0xFF));
    external = QByteArray(int(ExternalFlashSize), char(0xFF));
    const uint32_t versionOffset = VersionBlockAddress - InternalFlashBase;
    fillPattern(internal, 0, versionOffset, 0xB007u);
    QByteArray version(int(VersionBlockSize), '\0');
    const QByteArray versionText = "1.00";
    const QByteArray dateText = "Nov 26 2010";
    std::memcpy(version.data(), versionText.constData(), size_t(versionText.size()));
    std::memcpy(version.data() + VersionTextSize, dateText.constData(), size_t(dateText.size()));
    internal.replace(int(versionOffset), version.size(), version);
    // 48 KiB of application code; the rest of the region stays erased.
    fillPattern(internal, ApplicationBase - InternalFlashBase, 48 * 1024, 0xA991u);
    storeWord(reinterpret_cast<unsigned char *>(internal.data()) + (ApplicationSumAddress - InternalFlashBase),
              computeApplicationSum());
}

uint32_t EmulatedDevice::computeApplicationSum() const
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(internal.constData());
    uint32_t sum = 0;
    for (uint32_t a = ApplicationBase; a < ApplicationEnd; a += 4)
        sum += loadWord(bytes + (a - InternalFlashBase));
    return sum;
}

uint32_t EmulatedDevice::storedApplicationSum() const
{
    return loadWord(reinterpret_cast<const unsigned char *>(internal.constData())
                    + (ApplicationSumAddress - InternalFlashBase));
}

QByteArray EmulatedDevice::serialString() const
{
    return mode == Mode::Bootloader ? serial + 'b' : serial;
}

void EmulatedDevice::refreshPresence(int64_t nowUs)
{
    if (!present && !removed && returnAtUs >= 0 && nowUs >= returnAtUs)
        comeBack();
}

void EmulatedDevice::leaveBus(int64_t returnAt)
{
    present = false;
    ++epoch;
    returnAtUs = returnAt;
}

void EmulatedDevice::powerOn()
{
    mode = computeApplicationSum() == storedApplicationSum() ? Mode::Application : Mode::Bootloader;
    status = 0;
    acknowledgePending = false;
    pendingAcknowledgeReads = 0;
    bulkIn.clear();
    bulkOut.clear();
    testBlock.clear();
    persistSettings();
}

void EmulatedDevice::comeBack()
{
    if (removed)
        return;
    if (!present)
        address = BusPrivate::global().allocateAddressLocked(bus, this);
    present = true;
    returnAtUs = -1;
}

QByteArray EmulatedDevice::portPath() const
{
    QByteArray path = QByteArray::number(bus) + '-';
    for (int i = 0; i < ports.size(); ++i)
        path += (i ? "." : "") + QByteArray::number(ports[i]);
    return path;
}

int EmulatedDevice::control(const ControlSetup &setup, unsigned char *data, int64_t nowUs, int64_t &costUs)
{
    costUs = cost.controlMicroseconds;
    if (setup.length > 0 && data == nullptr)
        return LIBUSB_ERROR_INVALID_PARAM;
    if ((setup.requestType & 0x60) == 0x00)
        return standardRequest(setup, data);
    if (!isVt520)
        return LIBUSB_ERROR_PIPE;
    return vendorRequest(setup, data, nowUs, costUs);
}

libusb_device_descriptor EmulatedDevice::deviceDescriptor() const
{
    libusb_device_descriptor d{};
    d.bLength = LIBUSB_DT_DEVICE_SIZE;
    d.bDescriptorType = LIBUSB_DT_DEVICE;
    d.bcdUSB = 0x0200;
    d.bDeviceClass = isVt520 ? 0xFF : 0x00;
    d.bMaxPacketSize0 = 64;
    d.idVendor = vendorId;
    d.idProduct = productId;
    d.bcdDevice = mode == Mode::Bootloader ? 0x0000 : 0x0100; // release 1.00 of the application
    d.iManufacturer = ManufacturerIndex;
    d.iProduct = ProductIndex;
    d.iSerialNumber = SerialIndex;
    d.bNumConfigurations = 1;
    return d;
}

QByteArray EmulatedDevice::stringText(int index) const
{
    switch (index) {
    case ManufacturerIndex:
        return "Vt520";
    case ProductIndex:
        return "Vt520 LED driver";
    case SerialIndex:
        return serialString();
    default:
        return {};
    }
}

QByteArray EmulatedDevice::descriptor(int type, int index, uint16_t languageId) const
{
    if (type == LIBUSB_DT_DEVICE && index == 0 && languageId == 0) {
        const libusb_device_descriptor d = deviceDescriptor();
        const unsigned char device[LIBUSB_DT_DEVICE_SIZE] = {d.bLength,
                                                             d.bDescriptorType,
                                                             uint8_t(d.bcdUSB),
                                                             uint8_t(d.bcdUSB >> 8),
                                                             d.bDeviceClass,
                                                             d.bDeviceSubClass,
                                                             d.bDeviceProtocol,
                                                             d.bMaxPacketSize0,
                                                             uint8_t(d.idVendor),
                                                             uint8_t(d.idVendor >> 8),
                                                             uint8_t(d.idProduct),
                                                             uint8_t(d.idProduct >> 8),
                                                             uint8_t(d.bcdDevice),
                                                             uint8_t(d.bcdDevice >> 8),
                                                             d.iManufacturer,
                                                             d.iProduct,
                                                             d.iSerialNumber,
                                                             d.bNumConfigurations};
        return QByteArray(reinterpret_cast<const char *>(device), sizeof device);
    }
    if (type == LIBUSB_DT_CONFIG && index == 0 && languageId == 0) {
        // One configuration: the vendor interface with bulk endpoints 0x81 and 0x02.
        const unsigned char configuration[] = {LIBUSB_DT_CONFIG_SIZE,
                                               LIBUSB_DT_CONFIG,
                                               32,
                                               0,
                                               1,
                                               1,
                                               0,
                                               0x80,
                                               50,
                                               LIBUSB_DT_INTERFACE_SIZE,
                                               LIBUSB_DT_INTERFACE,
                                               0,
                                               0,
                                               2,
                                               0xFF,
                                               0,
                                               0,
                                               0,
                                               LIBUSB_DT_ENDPOINT_SIZE,
                                               LIBUSB_DT_ENDPOINT,
                                               0x81,
                                               LIBUSB_TRANSFER_TYPE_BULK,
                                               64,
                                               0,
                                               0,
                                               LIBUSB_DT_ENDPOINT_SIZE,
                                               LIBUSB_DT_ENDPOINT,
                                               0x02,
                                               LIBUSB_TRANSFER_TYPE_BULK,
                                               64,
                                               0,
                                               0};
        return QByteArray(reinterpret_cast<const char *>(configuration), sizeof configuration);
    }
    if (type != LIBUSB_DT_STRING)
        return {};
    if (index == 0) // the language table: US English only
        return languageId == 0 ? QByteArray("\x04\x03\x09\x04", 4) : QByteArray();
    // US English, or no language at all as hosts that skip the table ask.
    const QByteArray text = stringText(index);
    if (text.isEmpty() || (languageId != 0 && languageId != EnglishUs))
        return {};
    QByteArray bytes;
    bytes.append(char(2 + 2 * text.size()));
    bytes.append(char(LIBUSB_DT_STRING));
    for (char c : text) {
        bytes.append(c);
        bytes.append('\0');
    }
    return bytes;
}

int EmulatedDevice::standardRequest(const ControlSetup &setup, unsigned char *data)
{
    constexpr uint8_t GetStatus = 0x00;
    constexpr uint8_t GetDescriptor = 0x06;
    constexpr uint8_t GetConfiguration = 0x08;
    constexpr uint8_t ToInterface = 0x01;
    constexpr uint8_t ToEndpoint = 0x02;
    QByteArray answer;
    switch (setup.request) {
    case GetStatus: {
        // Bus powered, no remote wakeup; interface 0 and the three endpoints
        // are never halted.
        const uint8_t recipient = setup.requestType & 0x1F;
        const bool known =
            (setup.requestType & 0x80) && setup.value == 0 && setup.length == 2
            && ((recipient == 0 && setup.index == 0) || (recipient == ToInterface && setup.index == 0)
                || (recipient == ToEndpoint && (setup.index == 0x00 || setup.index == 0x81 || setup.index == 0x02)));
        if (!known)
            return LIBUSB_ERROR_PIPE;
        answer = QByteArray(2, '\0');
        break;
    }
    case GetDescriptor:
        if (setup.requestType != StandardIn)
            return LIBUSB_ERROR_PIPE;
        answer = descriptor(setup.value >> 8, setup.value & 0xFF, setup.index);
        if (answer.isEmpty())
            return LIBUSB_ERROR_PIPE;
        break;
    case GetConfiguration:
        if (setup.requestType != StandardIn || setup.value != 0 || setup.index != 0 || setup.length != 1)
            return LIBUSB_ERROR_PIPE;
        answer = QByteArray(1, char(1)); // configured: the host selects configuration 1 on opening
        break;
    default:
        return LIBUSB_ERROR_PIPE;
    }
    const int n = std::min<int>(setup.length, answer.size());
    std::memcpy(data, answer.constData(), size_t(n));
    return n;
}

int EmulatedDevice::vendorRequest(const ControlSetup &setup, unsigned char *data, int64_t nowUs, int64_t &costUs)
{
    const bool in = setup.requestType == VendorIn;
    const bool out = setup.requestType == VendorOut;
    const bool noAddress = setup.value == 0 && setup.index == 0;
    const uint32_t addr = addressOf(setup);
    const uint16_t length = setup.length;

    switch (setup.request) {
    case 1: // read memory, scrambled per request
        if (!in || length < 1 || length > 2048)
            return LIBUSB_ERROR_PIPE;
        return readMemory(addr, data, length);
    case 2: // test block
        if (!out || !noAddress || length != 512)
            return LIBUSB_ERROR_PIPE;
        testBlock = QByteArray(reinterpret_cast<const char *>(data), length);
        return length;
    case 3: // program one application page (bootloader only)
        if (!out)
            return LIBUSB_ERROR_PIPE;
        return writePage(addr, data, length, costUs);
    case 4: // run application / reset into the bootloader
        if (!out || !noAddress || length != 0)
            return LIBUSB_ERROR_PIPE;
        runApplication(nowUs);
        return 0;
    case 5: // read external flash
        if (!in || length < 1 || length > 512 || uint64_t(addr) + length > ExternalFlashSize)
            return LIBUSB_ERROR_PIPE;
        std::memcpy(data, external.constData() + addr, length);
        return length;
    case 6: // write external flash
        if (!out || length < 1 || length > 256 || uint64_t(addr) + length > ExternalFlashSize)
            return LIBUSB_ERROR_PIPE;
        std::memcpy(external.data() + addr, data, length);
        persistExternal(addr, length);
        costUs += cost.externalProgramMicroseconds;
        if (addr % ExternalSectorSize == 0)
            costUs += cost.sectorEraseMicroseconds;
        return length;
    case 7: { // set status bits
        if (!out || !noAddress || length != 4)
            return LIBUSB_ERROR_PIPE;
        const uint32_t mask = loadWord(data);
        status |= mask & ~1u;
        if ((mask & 1u) && !(status & 1u) && !acknowledgePending) {
            if (acknowledgeAfterReads == 0) {
                status |= 1u;
            } else if (acknowledgeAfterReads > 0) {
                acknowledgePending = true;
                pendingAcknowledgeReads = acknowledgeAfterReads;
            }
        }
        persistSettings();
        return 4;
    }
    case 8: { // clear status bits
        if (!out || !noAddress || length != 4)
            return LIBUSB_ERROR_PIPE;
        const uint32_t mask = loadWord(data);
        status &= ~mask;
        if (mask & 1u)
            acknowledgePending = false;
        persistSettings();
        return 4;
    }
    case 9: // read status
        if (!in || !noAddress || length != 4)
            return LIBUSB_ERROR_PIPE;
        if (acknowledgePending && --pendingAcknowledgeReads <= 0) {
            acknowledgePending = false;
            status |= 1u;
            persistSettings();
        }
        storeWord(data, status);
        return 4;
    case 255: { // device id
        if (!in || !noAddress || length < 1)
            return LIBUSB_ERROR_PIPE;
        if (idRequestsUnanswered != 0) {
            if (idRequestsUnanswered > 0) {
                --idRequestsUnanswered;
                persistSettings();
            }
            return LIBUSB_ERROR_TIMEOUT;
        }
        const int n = std::min<int>(length, idReply.size());
        std::memcpy(data, idReply.constData(), size_t(n));
        return n;
    }
    default:
        return LIBUSB_ERROR_PIPE;
    }
}

int EmulatedDevice::readMemory(uint32_t addr, unsigned char *data, uint16_t length)
{
    if (addr < InternalFlashBase || uint64_t(addr) + length > uint64_t(InternalFlashBase) + InternalFlashSize)
        return LIBUSB_ERROR_PIPE;
    std::memcpy(data, internal.constData() + (addr - InternalFlashBase), length);
    for (Corruption &c : corruptions) {
        if (c.remaining == 0 || c.address < addr || c.address >= addr + length)
            continue;
        data[c.address - addr] ^= c.xorMask;
        if (c.remaining > 0)
            --c.remaining;
    }
    scramble(transferKey, data, length);
    return length;
}

int EmulatedDevice::writePage(uint32_t addr, const unsigned char *data, uint16_t length, int64_t &costUs)
{
    if (mode != Mode::Bootloader || length != PageSize || addr < ApplicationBase
        || (addr - InternalFlashBase) % PageSize != 0
        || uint64_t(addr) + PageSize > uint64_t(InternalFlashBase) + InternalFlashSize)
        return LIBUSB_ERROR_PIPE;
    unsigned char page[PageSize];
    std::memcpy(page, data, PageSize);
    unscramble(transferKey, page, PageSize);
    const uint32_t offset = addr - InternalFlashBase;
    std::memcpy(internal.data() + offset, page, PageSize);
    persistInternal(offset, PageSize);
    costUs += cost.pageProgramMicroseconds;
    return PageSize;
}

void EmulatedDevice::runApplication(int64_t nowUs)
{
    bool comesBack = true;
    if (mode == Mode::Application) {
        mode = Mode::Bootloader;
        comesBack = !bootloaderNeverReturns;
    } else {
        mode = computeApplicationSum() == storedApplicationSum() ? Mode::Application : Mode::Bootloader;
    }
    status = 0;
    acknowledgePending = false;
    persistSettings();
    leaveBus(comesBack ? nowUs + int64_t(reenumerateMs) * 1000 : -1);
}

int EmulatedDevice::bulk(unsigned char endpoint, unsigned char *data, int length, int64_t &costUs)
{
    costUs = cost.controlMicroseconds;
    if (!isVt520 || data == nullptr || length < 0)
        return LIBUSB_ERROR_PIPE;
    if (endpoint == 0x02) {
        bulkOut.append(reinterpret_cast<const char *>(data), length);
        return length;
    }
    if (endpoint == 0x81) {
        if (bulkIn.isEmpty())
            return LIBUSB_ERROR_TIMEOUT;
        const QByteArray block = bulkIn.takeFirst();
        const int n = std::min<int>(length, block.size());
        std::memcpy(data, block.constData(), size_t(n));
        return n;
    }
    return LIBUSB_ERROR_PIPE;
}

void EmulatedDevice::attachStateFolder(std::unique_ptr<DeviceStateFolder> folder)
{
    stateFolder = std::move(folder);
}

void EmulatedDevice::persistInternal(uint32_t offset, uint32_t length)
{
    if (stateFolder)
        stateFolder->writeInternal(internal, offset, length);
}

void EmulatedDevice::persistExternal(uint32_t offset, uint32_t length)
{
    if (stateFolder)
        stateFolder->writeExternal(external, offset, length);
}

void EmulatedDevice::persistSettings()
{
    if (!stateFolder)
        return;
    DeviceSettings settings;
    settings.bootloaderMode = mode == Mode::Bootloader;
    settings.serial = serial;
    settings.status = status;
    settings.reenumerateMs = reenumerateMs;
    settings.transferCost = !cost.isNone();
    settings.transferKeyFile = transferKeyFile;
    settings.idRequestsUnanswered = idRequestsUnanswered;
    stateFolder->writeSettings(settings);
}

} // namespace vt520sim
