#include "sim/usbfs/SysfsDescription.h"

#include <QVector>

namespace vt520usbfs {

namespace {

struct Endpoint {
    uint8_t address;
    uint8_t attributes;
    uint16_t maxPacketSize;
    uint8_t interval;
};

// What sysfs says about one device beyond its place on the bus.
struct DeviceFacts {
    libusb_device_descriptor descriptor{};
    DeviceStrings strings;
    uint8_t interfaceClass = 0;
    QVector<Endpoint> endpoints;
    QByteArray speed; // Mbit/s as the kernel writes it: "12", "480"
    int maxChild = 0; // ports of a hub
    int maxPowerMa = 100;
};

QByteArray hex(unsigned value, int digits)
{
    return QByteArray::number(value, 16).rightJustified(digits, '0');
}

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

// Configuration 1 with one interface and its endpoints.
QByteArray configurationBytes(const DeviceFacts &facts)
{
    QByteArray bytes;
    const int total =
        LIBUSB_DT_CONFIG_SIZE + LIBUSB_DT_INTERFACE_SIZE + int(facts.endpoints.size()) * LIBUSB_DT_ENDPOINT_SIZE;
    bytes.append(char(LIBUSB_DT_CONFIG_SIZE));
    bytes.append(char(LIBUSB_DT_CONFIG));
    appendWord(bytes, uint16_t(total));
    bytes.append(char(1));                    // interfaces
    bytes.append(char(1));                    // bConfigurationValue
    bytes.append(char(0));                    // iConfiguration
    bytes.append(char(0x80));                 // bus powered
    bytes.append(char(facts.maxPowerMa / 2)); // in units of 2 mA
    bytes.append(char(LIBUSB_DT_INTERFACE_SIZE));
    bytes.append(char(LIBUSB_DT_INTERFACE));
    bytes.append(char(0)); // interface 0
    bytes.append(char(0)); // alternate setting 0
    bytes.append(char(facts.endpoints.size()));
    bytes.append(char(facts.interfaceClass));
    bytes.append(char(0));
    bytes.append(char(0));
    bytes.append(char(0));
    for (const Endpoint &e : facts.endpoints) {
        bytes.append(char(LIBUSB_DT_ENDPOINT_SIZE));
        bytes.append(char(LIBUSB_DT_ENDPOINT));
        bytes.append(char(e.address));
        bytes.append(char(e.attributes));
        appendWord(bytes, e.maxPacketSize);
        bytes.append(char(e.interval));
    }
    return bytes;
}

QByteArray lastComponent(const QByteArray &sysPath)
{
    return sysPath.mid(sysPath.lastIndexOf('/') + 1);
}

// "1.4" for 101-1.4; "0" for the root hub usb101.
QByteArray devpath(const QByteArray &sysPath)
{
    const QByteArray name = lastComponent(sysPath);
    const int dash = name.indexOf('-');
    return dash < 0 ? QByteArray("0") : name.mid(dash + 1);
}

QByteArray attribute(const QByteArray &name, const QByteArray &value)
{
    return "A: " + name + "=" + value + "\\n\n";
}

QByteArray productProperty(const libusb_device_descriptor &d)
{
    return QByteArray::number(d.idVendor, 16) + "/" + QByteArray::number(d.idProduct, 16) + "/"
           + QByteArray::number(d.bcdDevice, 16);
}

// The polling interval as the kernel shows it for an endpoint.
QByteArray intervalText(const Endpoint &e, bool highSpeed)
{
    const int type = e.attributes & 0x03;
    if (type == LIBUSB_TRANSFER_TYPE_BULK || type == LIBUSB_TRANSFER_TYPE_CONTROL || e.interval == 0)
        return "0ms";
    if (!highSpeed)
        return QByteArray::number(e.interval) + "ms";
    const int microseconds = (1 << (e.interval - 1)) * 125;
    return microseconds % 1000 ? QByteArray::number(microseconds) + "us"
                               : QByteArray::number(microseconds / 1000) + "ms";
}

QByteArray endpointType(const Endpoint &e)
{
    switch (e.attributes & 0x03) {
    case LIBUSB_TRANSFER_TYPE_CONTROL:
        return "Control";
    case LIBUSB_TRANSFER_TYPE_ISOCHRONOUS:
        return "Isoc";
    case LIBUSB_TRANSFER_TYPE_BULK:
        return "Bulk";
    default:
        return "Interrupt";
    }
}

QByteArray deviceText(const QByteArray &sysPath, int busNumber, int deviceAddress, const DeviceFacts &facts)
{
    const libusb_device_descriptor &d = facts.descriptor;
    const QByteArray bus = QByteArray::number(busNumber).rightJustified(3, '0');
    const QByteArray dev = QByteArray::number(deviceAddress).rightJustified(3, '0');
    const QByteArray minor = QByteArray::number((busNumber - 1) * 128 + deviceAddress - 1);
    QByteArray text;
    text += "P: " + sysPath + "\n";
    text += "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n";
    text += "E: MAJOR=189\nE: MINOR=" + minor + "\n";
    text += "E: PRODUCT=" + productProperty(d) + "\n";
    text += "E: TYPE=" + QByteArray::number(d.bDeviceClass) + "/" + QByteArray::number(d.bDeviceSubClass) + "/"
            + QByteArray::number(d.bDeviceProtocol) + "\n";
    text += "E: BUSNUM=" + bus + "\nE: DEVNUM=" + dev + "\n";
    text += "E: DEVNAME=/dev/bus/usb/" + bus + "/" + dev + "\n";
    text += attribute("busnum", QByteArray::number(busNumber));
    text += attribute("devnum", QByteArray::number(deviceAddress));
    text += attribute("devpath", devpath(sysPath));
    text += attribute("dev", "189:" + minor);
    text += attribute("speed", facts.speed);
    text += attribute("version",
                      QByteArray::number(d.bcdUSB >> 8, 16).rightJustified(2, ' ') + "." + hex(d.bcdUSB & 0xFF, 2));
    text += attribute("idVendor", hex(d.idVendor, 4));
    text += attribute("idProduct", hex(d.idProduct, 4));
    text += attribute("bcdDevice", hex(d.bcdDevice, 4));
    text += attribute("bDeviceClass", hex(d.bDeviceClass, 2));
    text += attribute("bDeviceSubClass", hex(d.bDeviceSubClass, 2));
    text += attribute("bDeviceProtocol", hex(d.bDeviceProtocol, 2));
    text += attribute("bMaxPacketSize0", QByteArray::number(d.bMaxPacketSize0));
    text += attribute("bNumConfigurations", QByteArray::number(d.bNumConfigurations));
    text += attribute("bConfigurationValue", "1");
    text += attribute("bNumInterfaces", QByteArray::number(1).rightJustified(2, ' '));
    text += attribute("bmAttributes", "80");
    text += attribute("bMaxPower", QByteArray::number(facts.maxPowerMa) + "mA");
    text += attribute("maxchild", QByteArray::number(facts.maxChild));
    text += attribute("authorized", "1");
    text += attribute("removable", "unknown");
    text += attribute("configuration", "");
    text += attribute("rx_lanes", "1");
    text += attribute("tx_lanes", "1");
    text += attribute("ltm_capable", "no");
    text += attribute("quirks", "0x0");
    text += attribute("avoid_reset_quirk", "0");
    // The kernel has a string attribute only for a string the device names.
    if (d.iManufacturer && !facts.strings.manufacturer.isEmpty())
        text += attribute("manufacturer", facts.strings.manufacturer);
    if (d.iProduct && !facts.strings.product.isEmpty())
        text += attribute("product", facts.strings.product);
    if (d.iSerialNumber && !facts.strings.serial.isEmpty())
        text += attribute("serial", facts.strings.serial);
    text += "H: descriptors=" + (deviceDescriptorBytes(d) + configurationBytes(facts)).toHex() + "\n";
    return text;
}

QByteArray interfaceText(const QByteArray &deviceSysPath, const DeviceFacts &facts)
{
    const libusb_device_descriptor &d = facts.descriptor;
    const bool highSpeed = facts.speed == "480";
    const QByteArray interfaceType = QByteArray::number(facts.interfaceClass) + "/0/0";
    const QByteArray modalias = "usb:v" + hex(d.idVendor, 4).toUpper() + "p" + hex(d.idProduct, 4).toUpper() + "d"
                                + hex(d.bcdDevice, 4).toUpper() + "dc" + hex(d.bDeviceClass, 2).toUpper() + "dsc"
                                + hex(d.bDeviceSubClass, 2).toUpper() + "dp" + hex(d.bDeviceProtocol, 2).toUpper()
                                + "ic" + hex(facts.interfaceClass, 2).toUpper() + "isc00ip00in00";
    QByteArray text;
    text += "P: " + interfacePath(deviceSysPath) + "\n";
    text += "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\n";
    text += "E: PRODUCT=" + productProperty(d) + "\n";
    text += "E: TYPE=" + QByteArray::number(d.bDeviceClass) + "/" + QByteArray::number(d.bDeviceSubClass) + "/"
            + QByteArray::number(d.bDeviceProtocol) + "\n";
    text += "E: INTERFACE=" + interfaceType + "\nE: MODALIAS=" + modalias + "\n";
    text += attribute("bInterfaceNumber", "00");
    text += attribute("bAlternateSetting", " 0");
    text += attribute("bNumEndpoints", hex(unsigned(facts.endpoints.size()), 2));
    text += attribute("bInterfaceClass", hex(facts.interfaceClass, 2));
    text += attribute("bInterfaceSubClass", "00");
    text += attribute("bInterfaceProtocol", "00");
    text += attribute("modalias", modalias);
    text += attribute("authorized", "1");
    text += attribute("supports_autosuspend", "1");
    for (const Endpoint &e : facts.endpoints) {
        const QByteArray folder = "ep_" + hex(e.address, 2) + "/";
        text += attribute(folder + "bLength", "07");
        text += attribute(folder + "bEndpointAddress", hex(e.address, 2));
        text += attribute(folder + "bmAttributes", hex(e.attributes, 2));
        text += attribute(folder + "bInterval", hex(e.interval, 2));
        text += attribute(folder + "wMaxPacketSize", hex(e.maxPacketSize, 4));
        text += attribute(folder + "interval", intervalText(e, highSpeed));
        text += attribute(folder + "type", endpointType(e));
        text += attribute(folder + "direction", (e.address & 0x80) ? "in" : "out");
    }
    return text;
}

QList<QByteArray> descriptions(const QByteArray &sysPath, int busNumber, int deviceAddress, const DeviceFacts &facts)
{
    return {deviceText(sysPath, busNumber, deviceAddress, facts), interfaceText(sysPath, facts)};
}

DeviceFacts hubFacts(uint16_t vendorId, uint16_t productId, int ports)
{
    DeviceFacts facts;
    libusb_device_descriptor &hub = facts.descriptor;
    hub.bcdUSB = 0x0200;
    hub.bDeviceClass = LIBUSB_CLASS_HUB;
    hub.bDeviceProtocol = 1;
    hub.bMaxPacketSize0 = 64;
    hub.idVendor = vendorId;
    hub.idProduct = productId;
    hub.bcdDevice = 0x0601;
    hub.bNumConfigurations = 1;
    facts.interfaceClass = LIBUSB_CLASS_HUB;
    facts.endpoints = {{0x81, LIBUSB_TRANSFER_TYPE_INTERRUPT, 4, 12}};
    facts.speed = "480";
    facts.maxChild = ports;
    facts.maxPowerMa = 0;
    return facts;
}

} // namespace

QByteArray interfacePath(const QByteArray &deviceSysPath)
{
    QByteArray name = lastComponent(deviceSysPath);
    if (name.startsWith("usb")) // a root hub's interface is named <bus>-0:1.0
        name = name.mid(3) + "-0";
    return deviceSysPath + "/" + name + ":1.0";
}

QList<QByteArray> rootHubDescription(const QByteArray &sysPath, int busNumber)
{
    // Linux Foundation 2.0 root hub of an EHCI controller, with its strings.
    DeviceFacts facts = hubFacts(0x1D6B, 0x0002, 8);
    facts.descriptor.iManufacturer = 3;
    facts.descriptor.iProduct = 2;
    facts.descriptor.iSerialNumber = 1;
    facts.strings = {"Linux ehci_hcd", "EHCI Host Controller", "0000:00:1d.0"};
    return descriptions(sysPath, busNumber, 1, facts);
}

QList<QByteArray> hubDescription(const QByteArray &sysPath, int busNumber, int deviceAddress)
{
    // A common 4-port high-speed hub chip; it names no strings.
    DeviceFacts facts = hubFacts(0x0424, 0x2514, 4);
    facts.descriptor.bcdDevice = 0x0b30;
    facts.descriptor.bDeviceProtocol = 2;
    facts.maxPowerMa = 2;
    return descriptions(sysPath, busNumber, deviceAddress, facts);
}

QList<QByteArray> deviceDescription(const QByteArray &sysPath, int busNumber, int deviceAddress,
                                    const libusb_device_descriptor &descriptor, const DeviceStrings &strings)
{
    // The Vt520's vendor interface with its two bulk endpoints, at full speed.
    DeviceFacts facts;
    facts.descriptor = descriptor;
    facts.strings = strings;
    facts.interfaceClass = 0xFF;
    facts.endpoints = {{0x81, LIBUSB_TRANSFER_TYPE_BULK, 64, 0}, {0x02, LIBUSB_TRANSFER_TYPE_BULK, 64, 0}};
    facts.speed = "12";
    return descriptions(sysPath, busNumber, deviceAddress, facts);
}

} // namespace vt520usbfs
