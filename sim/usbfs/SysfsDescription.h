#pragma once

#include <QByteArray>
#include <QList>

#include <libusb.h>

namespace vt520usbfs {

// The texts of a device's string descriptors; empty where it has none.
struct DeviceStrings {
    QByteArray manufacturer;
    QByteArray product;
    QByteArray serial;
};

// The umockdev descriptions (P:/E:/A:/H: lines) of a USB device in sysfs as
// a Linux kernel shows it: the attributes libusb reads (bus and device
// numbers, speed, the binary "descriptors"), those that lsusb and
// usb-devices read (ids, class, version, strings, port path, power), and its
// interface 1.0 with its endpoints as a child. Parents come first; each is
// added on its own. No N: line: the caller makes the node itself.
QList<QByteArray> rootHubDescription(const QByteArray &sysPath, int busNumber);
// A hub between the root hub and devices deeper down (port path 1-1.4).
QList<QByteArray> hubDescription(const QByteArray &sysPath, int busNumber, int deviceAddress);
QList<QByteArray> deviceDescription(const QByteArray &sysPath, int busNumber, int deviceAddress,
                                    const libusb_device_descriptor &descriptor, const DeviceStrings &strings);
// The sysfs path of a device's interface 1.0 (".../1-1.4/1-1.4:1.0").
QByteArray interfacePath(const QByteArray &deviceSysPath);

} // namespace vt520usbfs
