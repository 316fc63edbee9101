#pragma once

#include "usb/DeviceMode.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>

struct libusb_context;

// Follows the Vt520s attached to the machine: their port paths, bus numbers,
// addresses and modes, and every plug and unplug. It only lists devices and
// reads sysfs; it never opens a device or makes a transfer, so it never
// disturbs a command or a firmware change that runs at the same time.
//
// Where libusb offers hotplug events (LIBUSB_CAP_HAS_HOTPLUG) a thread of
// its own waits for them on a libusb context of its own and each event makes
// the monitor list the devices again on its own thread; elsewhere (also on
// the emulator) it lists them once a second. unitsChanged() is emitted
// whenever the set differs from the last one reported.
//
// A unit's mode and production serial come from the sysfs "serial"
// attribute of its port where the system has one (Linux), else from the
// serial string the last command read from that appearance of the unit
// (SerialStringCache), else they are unknown (Unknown, an empty serial).
class Vt520Monitor : public QObject
{
    Q_OBJECT

public:
    struct Unit {
        QString portPath; // e.g. "1-1.4"
        int bus = 0;
        int address = 0;
        DeviceMode mode = DeviceMode::Unknown;
        QString serial; // the production serial, e.g. "261100042"; empty while unknown

        bool operator==(const Unit &other) const
        {
            return portPath == other.portPath && bus == other.bus && address == other.address && mode == other.mode
                   && serial == other.serial;
        }
        bool operator!=(const Unit &other) const { return !(*this == other); }
    };

    enum class Method { Hotplug, Poll };

    static constexpr int DefaultPollIntervalMs = 1000;

    // Lists the units at once and starts following them.
    explicit Vt520Monitor(QObject *parent = nullptr);
    ~Vt520Monitor() override;
    Vt520Monitor(const Vt520Monitor &) = delete;
    Vt520Monitor &operator=(const Vt520Monitor &) = delete;

    // The units now, in the order the transport tries them: bus number,
    // then address (the first is the one a command without a choice takes).
    QList<Unit> units() const;
    Method method() const;

    // The poll's period (poll method only).
    void setPollInterval(int milliseconds);

    // The status line for a set of units, translated in the context
    // "Vt520Monitor": "No Vt520 attached", "Vt520 at 1-1.4", "2 Vt520s
    // attached: commands use 1-1.2".
    static QString statusText(const QList<Unit> &units);

public Q_SLOTS:
    // Lists the units now (the poll and the hotplug events come here).
    void refresh();

Q_SIGNALS:
    void unitsChanged(const QList<Vt520Monitor::Unit> &units);

private:
    QList<Unit> scan() const;
    bool startHotplug();
    void stopHotplug();

    QList<Unit> current;
    Method how = Method::Poll;
    QTimer pollTimer;
    libusb_context *context = nullptr;
    int hotplugHandle = 0;
    std::atomic<bool> stopping{false};
    std::unique_ptr<std::thread> eventThread;
};

Q_DECLARE_METATYPE(Vt520Monitor::Unit)
