#include "sim/usbfs/SysfsDescription.h"

#include <array>
#include <initializer_list>

namespace vt520usbfs {

namespace {

void appendWord(QByteArray &bytes, uint16_t word)
{
    bytes.append(char(word & 0xFF));
    bytes.append(char(word >> 8));
}

QByteArray deviceDescriptorBytes(const libusb_device_descriptor &d)
{
    QByteArray bytes;
    bytes.append(char(LIBUSB_DT_DEVICE_SIZE));
    bytes.append(char(LIBUSB_DT_DEVICE));
    appendWord(bytes, d.bcdUSB);
    bytes.append(char(d.bDeviceClass));
    bytes.append(char(d.bDeviceSubClass));
    bytes.append(char(d.bDeviceProtocol));
    bytes.append(char(d.bMaxPacketSize0));
    appendWord(bytes, d.idVendor);
    appendWord(bytes, d.idProduct);
    appendWord(bytes, d.bcdDevice);
    bytes.append(char(d.iManufacturer));
    bytes.append(char(d.iProduct));
    bytes.append(char(d.iSerialNumber));
    bytes.append(char(d.bNumConfigurations));
    return bytes;
}

// Configuration 1 with one interface; endpoints as {address, attributes, packet size, interval}.
QByteArray configurationBytes(uint8_t interfaceClass, std::initializer_list<std::array<int, 4>> endpoints)
{
    QByteArray bytes;
    const int total =
        LIBUSB_DT_CONFIG_SIZE + LIBUSB_DT_INTERFACE_SIZE + int(endpoints.size()) * LIBUSB_DT_ENDPOINT_SIZE;
    bytes.append(char(LIBUSB_DT_CONFIG_SIZE));
    bytes.append(char(LIBUSB_DT_CONFIG));
    appendWord(bytes, uint16_t(total));
    bytes.append(char(1));    // interfaces
    bytes.append(char(1));    // bConfigurationValue
    bytes.append(char(0));    // iConfiguration
    bytes.append(char(0x80)); // bus powered
    bytes.append(char(50));   // 100 mA
    bytes.append(char(LIBUSB_DT_INTERFACE_SIZE));
    bytes.append(char(LIBUSB_DT_INTERFACE));
    bytes.append(char(0)); // interface 0
    bytes.append(char(0)); // alternate setting 0
    bytes.append(char(endpoints.size()));
    bytes.append(char(interfaceClass));
    bytes.append(char(0));
    bytes.append(char(0));
    bytes.append(char(0));
    for (const auto &e : endpoints) {
        bytes.append(char(LIBUSB_DT_ENDPOINT_SIZE));
        bytes.append(char(LIBUSB_DT_ENDPOINT));
        bytes.append(char(e[0]));
        bytes.append(char(e[1]));
        appendWord(bytes, uint16_t(e[2]));
        bytes.append(char(e[3]));
    }
    return bytes;
}

QByteArray description(const QByteArray &sysPath, int busNumber, int deviceAddress, const QByteArray &speed,
                       const QByteArray &descriptors)
{
    const QByteArray bus = QByteArray::number(busNumber).rightJustified(3, '0');
    const QByteArray dev = QByteArray::number(deviceAddress).rightJustified(3, '0');
    QByteArray text;
    text += "P: " + sysPath + "\n";
    text += "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n";
    text += "E: BUSNUM=" + bus + "\nE: DEVNUM=" + dev + "\n";
    text += "E: DEVNAME=/dev/bus/usb/" + bus + "/" + dev + "\n";
    text += "A: busnum=" + QByteArray::number(busNumber) + "\\n\n";
    text += "A: devnum=" + QByteArray::number(deviceAddress) + "\\n\n";
    text += "A: bConfigurationValue=1\\n\n";
    text += "A: speed=" + speed + "\\n\n";
    text += "H: descriptors=" + descriptors.toHex() + "\n";
    return text;
}

} // namespace

namespace {

QByteArray hubDescriptors(uint16_t vendorId, uint16_t productId)
{
    libusb_device_descriptor hub{};
    hub.bcdUSB = 0x0200;
    hub.bDeviceClass = LIBUSB_CLASS_HUB;
    hub.bDeviceProtocol = 1;
    hub.bMaxPacketSize0 = 64;
    hub.idVendor = vendorId;
    hub.idProduct = productId;
    hub.bcdDevice = 0x0601;
    hub.iManufacturer = 3;
    hub.iProduct = 2;
    hub.iSerialNumber = 1;
    hub.bNumConfigurations = 1;
    return deviceDescriptorBytes(hub) + configurationBytes(LIBUSB_CLASS_HUB, {{0x81, 0x03, 4, 12}});
}

} // namespace

QByteArray rootHubDescription(const QByteArray &sysPath, int busNumber)
{
    // Linux Foundation 2.0 root hub.
    return description(sysPath, busNumber, 1, "480", hubDescriptors(0x1D6B, 0x0002));
}

QByteArray hubDescription(const QByteArray &sysPath, int busNumber, int deviceAddress)
{
    // A common 4-port high-speed hub chip.
    return description(sysPath, busNumber, deviceAddress, "480", hubDescriptors(0x0424, 0x2514));
}

QByteArray deviceDescription(const QByteArray &sysPath, int busNumber, int deviceAddress,
                             const libusb_device_descriptor &descriptor)
{
    // The Vt520's vendor interface with its two bulk endpoints.
    const QByteArray descriptors =
        deviceDescriptorBytes(descriptor) + configurationBytes(0xFF, {{0x81, 0x02, 64, 0}, {0x02, 0x02, 64, 0}});
    return description(sysPath, busNumber, deviceAddress, "12", descriptors);
}

} // namespace vt520usbfs
