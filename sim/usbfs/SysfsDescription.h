#pragma once

#include <QByteArray>

#include <libusb.h>

namespace vt520usbfs {

// The umockdev description (P:/E:/A:/H: lines) of a USB device in sysfs as
// libusb reads it: bus and device numbers, speed, and the binary
// "descriptors" attribute. No N: line: the caller makes the node itself.
QByteArray rootHubDescription(const QByteArray &sysPath, int busNumber);
// A hub between the root hub and devices deeper down (port path 1-1.4).
QByteArray hubDescription(const QByteArray &sysPath, int busNumber, int deviceAddress);
QByteArray deviceDescription(const QByteArray &sysPath, int busNumber, int deviceAddress,
                             const libusb_device_descriptor &descriptor);

} // namespace vt520usbfs
