#pragma once

#include <QByteArray>

namespace vt520usbfs {

// Sends the testbed's uevents to every process under it, as udev sends
// them to its listeners: a libudev monitor message with the device's
// properties (those of its sysfs "uevent" file), to each event socket in
// the testbed's root, whichever process made it (libvt520-usbfs-preload.so
// names them event<fd>-<pid>, umockdev alone event<fd>).
//
// Unlike umockdev's own sender it does not end the testbed when a listener
// lags: a socket whose queue is full (a process that has not read its last
// ten uevents yet) is waited for, up to a few seconds; a socket whose
// process has closed it is removed.
class UeventSender
{
public:
    explicit UeventSender(const QByteArray &root);

    // devPath: the device's path below /sys ("/devices/..."); action: "add",
    // "remove" or "change".
    void send(const QByteArray &devPath, const QByteArray &action);

private:
    void sendTo(const QByteArray &socketPath, const QByteArray &message, const QByteArray &devPath);

    QByteArray root;
    unsigned long long sequence = 0;
};

} // namespace vt520usbfs
