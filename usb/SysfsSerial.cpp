#include "usb/SysfsSerial.h"

#include "usb/USBVT350.h"

#include <QFile>

namespace {

// One attribute of a USB device in sysfs, without its line end; empty if
// the system has no such file.
QByteArray sysfsAttribute(const QString &portPath, const char *name)
{
    QFile file(QStringLiteral("/sys/bus/usb/devices/%1/%2").arg(portPath, QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().trimmed();
}

} // namespace

QByteArray sysfsSerial(const QString &portPath, int bus, int address)
{
    const QByteArray vendor = QByteArray::number(USBVT350::VendorId, 16).rightJustified(4, '0');
    const QByteArray product = QByteArray::number(USBVT350::ProductId, 16).rightJustified(4, '0');
    if (sysfsAttribute(portPath, "idVendor") != vendor || sysfsAttribute(portPath, "idProduct") != product
        || sysfsAttribute(portPath, "busnum") != QByteArray::number(bus)
        || sysfsAttribute(portPath, "devnum") != QByteArray::number(address))
        return {};
    return sysfsAttribute(portPath, "serial");
}
