#include "usb/Vt520Monitor.h"

#include "usb/SerialStringCache.h"
#include "usb/SysfsSerial.h"
#include "usb/USBVT350.h"
#include "usb/UsbDevice.h"

#include <QCoreApplication>

#include <libusb.h>

#include <algorithm>
#include <sys/time.h>

namespace {

int LIBUSB_CALL onHotplug(libusb_context *, libusb_device *, libusb_hotplug_event, void *monitor)
{
    // On the event thread: the listing runs on the monitor's own thread.
    QMetaObject::invokeMethod(static_cast<Vt520Monitor *>(monitor), "refresh", Qt::QueuedConnection);
    return 0; // stay registered
}

} // namespace

Vt520Monitor::Vt520Monitor(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<Vt520Monitor::Unit>();
    qRegisterMetaType<QList<Vt520Monitor::Unit>>();
    // A context of its own: its device list is up to date when its own
    // hotplug callback runs, whatever the transport's context has seen.
    if (libusb_init(&context) < 0)
        context = nullptr;
    current = scan();
    if (startHotplug()) {
        how = Method::Hotplug;
    } else {
        how = Method::Poll;
        pollTimer.setInterval(DefaultPollIntervalMs);
        QObject::connect(&pollTimer, &QTimer::timeout, this, &Vt520Monitor::refresh);
        pollTimer.start();
    }
}

Vt520Monitor::~Vt520Monitor()
{
    stopHotplug();
    if (context)
        libusb_exit(context);
}

bool Vt520Monitor::startHotplug()
{
    if (!context || !libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG))
        return false;
    libusb_hotplug_callback_handle handle = 0;
    const int events = LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT;
    if (libusb_hotplug_register_callback(context, events, 0, USBVT350::VendorId, USBVT350::ProductId,
                                         LIBUSB_HOTPLUG_MATCH_ANY, onHotplug, this, &handle)
        != LIBUSB_SUCCESS)
        return false;
    hotplugHandle = handle;
    eventThread = std::make_unique<std::thread>([this] {
        while (!stopping.load()) {
            timeval wait{0, 200 * 1000};
            libusb_handle_events_timeout_completed(context, &wait, nullptr);
        }
    });
    // An arrival between the first listing and the registration.
    QMetaObject::invokeMethod(this, "refresh", Qt::QueuedConnection);
    return true;
}

void Vt520Monitor::stopHotplug()
{
    if (!eventThread)
        return;
    stopping.store(true);
    libusb_hotplug_deregister_callback(context, hotplugHandle);
    libusb_interrupt_event_handler(context);
    eventThread->join();
    eventThread.reset();
}

QList<Vt520Monitor::Unit> Vt520Monitor::units() const
{
    return current;
}

Vt520Monitor::Method Vt520Monitor::method() const
{
    return how;
}

void Vt520Monitor::setPollInterval(int milliseconds)
{
    pollTimer.setInterval(milliseconds);
}

QList<Vt520Monitor::Unit> Vt520Monitor::scan() const
{
    // In the order the transport tries them: bus number, then address.
    QList<Unit> found;
    for (const UsbDevice::Location &location : UsbDevice::findAll(USBVT350::VendorId, USBVT350::ProductId, context)) {
        Unit unit;
        unit.portPath = location.portPath;
        unit.bus = location.bus;
        unit.address = location.address;
        QByteArray serialString = sysfsSerial(unit.portPath, unit.bus, unit.address);
        if (serialString.isEmpty())
            serialString = SerialStringCache::lookup(unit.bus, unit.address);
        unit.mode = deviceModeOf(serialString);
        unit.serial = QString::fromLatin1(productionSerialOf(serialString));
        found.append(unit);
    }
    return found;
}

void Vt520Monitor::refresh()
{
    const QList<Unit> now = scan();
    if (now == current)
        return;
    // The serial strings of appearances seen to leave are forgotten: they
    // say nothing about a later device that the host gives the same address.
    for (const Unit &unit : std::as_const(current)) {
        const bool stays = std::any_of(now.cbegin(), now.cend(), [&](const Unit &other) {
            return other.bus == unit.bus && other.address == unit.address;
        });
        if (!stays)
            SerialStringCache::forget(unit.bus, unit.address);
    }
    current = now;
    Q_EMIT unitsChanged(current);
}

QString Vt520Monitor::statusText(const QList<Unit> &units)
{
    if (units.isEmpty())
        return QCoreApplication::translate("Vt520Monitor", "No Vt520 attached");
    if (units.size() == 1)
        return QCoreApplication::translate("Vt520Monitor", "Vt520 at %1").arg(units.first().portPath);
    // Two or more: no plural forms are needed in either language.
    return QCoreApplication::translate("Vt520Monitor", "%1 Vt520s attached: commands use %2")
        .arg(units.size())
        .arg(units.first().portPath);
}
