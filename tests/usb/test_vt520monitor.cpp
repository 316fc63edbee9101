#include "FailOnWarnings.h"
#include "sim/Vt520Sim.h"
#include "usb/SerialStringCache.h"
#include "usb/USBVT350.h"
#include "usb/Vt520Monitor.h"

#include <QtTest>

// The device monitor on the emulated bus, which has no hotplug events: it
// polls, follows units as they come and go, tells their modes from the
// serial strings commands read, and never makes a transfer itself.
class TestVt520Monitor : public QObject
{
    Q_OBJECT

    vt520sim::Bus &bus = vt520sim::Bus::instance();

    static QStringList portsOf(const QList<Vt520Monitor::Unit> &units)
    {
        QStringList ports;
        for (const Vt520Monitor::Unit &unit : units)
            ports.append(unit.portPath);
        return ports;
    }

    static Vt520Monitor::Unit unitAt(const QString &portPath, int bus, int address,
                                     DeviceMode mode = DeviceMode::Unknown)
    {
        Vt520Monitor::Unit unit;
        unit.portPath = portPath;
        unit.bus = bus;
        unit.address = address;
        unit.mode = mode;
        return unit;
    }

private slots:
    void init()
    {
        failOnUnexpectedWarnings();
        bus.reset();
        bus.useVirtualClock(true);
        SerialStringCache::clear();
    }

    void statusText_data()
    {
        QTest::addColumn<QList<Vt520Monitor::Unit>>("units");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << QList<Vt520Monitor::Unit>() << "No Vt520 attached";
        QTest::newRow("one") << QList<Vt520Monitor::Unit>{unitAt("1-1.4", 1, 5)} << "Vt520 at 1-1.4";
        QTest::newRow("two: the first is named")
            << QList<Vt520Monitor::Unit>{unitAt("1-1.2", 1, 3), unitAt("1-1.1", 1, 4)}
            << "2 Vt520s attached: commands use 1-1.2";
        QTest::newRow("three")
            << QList<Vt520Monitor::Unit>{unitAt("2-3", 2, 2), unitAt("3-1", 3, 9), unitAt("3-2", 3, 10)}
            << "3 Vt520s attached: commands use 2-3";
    }

    void statusText()
    {
        QFETCH(QList<Vt520Monitor::Unit>, units);
        QFETCH(QString, text);
        QCOMPARE(Vt520Monitor::statusText(units), text);
    }

    // Each row starts from a bus, changes it, and expects the set the next
    // report gives, in the order a command tries the units.
    void followsTheBus_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("plugged into an empty bus") << "plug 1-1.4" << QStringList() << QStringList{"1-1.4"};
        QTest::newRow("the only unit pulled out") << "unplug 1-1.4" << QStringList{"1-1.4"} << QStringList();
        QTest::newRow("one of two pulled out")
            << "unplug 1-1.2" << QStringList{"1-1.2", "1-1.3"} << QStringList{"1-1.3"};
        QTest::newRow("a lower bus comes first") << "plug 1-2" << QStringList{"2-1"} << QStringList{"1-2", "2-1"};
        QTest::newRow("a later address comes last")
            << "plug 1-1.1" << QStringList{"1-1.3"} << QStringList{"1-1.3", "1-1.1"};
        QTest::newRow("a device of other ids is no unit") << "decoy 1-5" << QStringList{"1-1"} << QStringList{"1-1"};
        QTest::newRow("a replug takes a new address") << "replug 1-1" << QStringList{"1-1"} << QStringList{"1-1"};
    }

    void followsTheBus()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        for (const QString &port : before)
            bus.addVt520At(port);
        Vt520Monitor monitor;
        QCOMPARE(monitor.method(), Vt520Monitor::Method::Poll); // the emulator has no hotplug events
        QCOMPARE(portsOf(monitor.units()), before);
        monitor.setPollInterval(10);
        QSignalSpy reports(&monitor, &Vt520Monitor::unitsChanged);

        const QString action = change.section(' ', 0, 0);
        const QString port = change.section(' ', 1, 1);
        int oldAddress = 0;
        if (action == "plug") {
            bus.addVt520At(port);
        } else if (action == "unplug") {
            bus.deviceAt(port)->unplug();
        } else if (action == "decoy") {
            bus.addDevice(port.section('-', 0, 0).toInt(), 40, 0x1234, 0x5678);
        } else {
            vt520sim::Device *unit = bus.deviceAt(port);
            oldAddress = unit->address();
            unit->unplug();
            unit->replug();
        }

        if (action == "decoy") {
            for (int poll = 0; poll < 10; ++poll) // ten polls that must not report
                monitor.refresh();
            QCOMPARE(reports.size(), 0);
        } else {
            QVERIFY(reports.wait(10000));
            QCOMPARE(reports.size(), 1);
            const auto reported = reports.first().first().value<QList<Vt520Monitor::Unit>>();
            QCOMPARE(portsOf(reported), after);
            QCOMPARE(reported, monitor.units());
        }
        if (action == "replug")
            QVERIFY(monitor.units().first().address != oldAddress);
        for (const Vt520Monitor::Unit &unit : monitor.units()) {
            QCOMPARE(unit.address, bus.deviceAt(unit.portPath)->address());
            QCOMPARE(unit.mode, DeviceMode::Unknown); // no command read a serial string
        }
        QVERIFY(bus.transferLog().isEmpty()); // nothing was opened, nothing asked
    }

    // The mode comes from the serial string the last command read from that
    // very appearance of the unit; after a reset it is unknown again until a
    // command reads it.
    void modeFromTheLastCommand()
    {
        vt520sim::Device &unit = bus.addVt520At("1-1.4");
        unit.setReenumerateDelay(0);
        Vt520Monitor monitor;
        monitor.setPollInterval(10);
        QSignalSpy reports(&monitor, &Vt520Monitor::unitsChanged);
        USBVT350 usb;
        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.getSerialString(), QByteArray("261100042"));
        QVERIFY(reports.wait(10000));
        QCOMPARE(monitor.units().first().mode, DeviceMode::Application);

        const int oldAddress = unit.address();
        usb.RunApplication(); // into the bootloader, back at once with a new address
        QVERIFY(reports.wait(10000));
        QCOMPARE(SerialStringCache::lookup(1, oldAddress), QByteArray()); // forgotten with its appearance
        QCOMPARE(monitor.units().size(), 1);
        QCOMPARE(monitor.units().first().mode, DeviceMode::Unknown);
        QCOMPARE(monitor.units().first().address, unit.address());

        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.getSerialString(), QByteArray("261100042b"));
        QVERIFY(reports.wait(10000));
        QCOMPARE(monitor.units().first().mode, DeviceMode::Bootloader);
        QCOMPARE(Vt520Monitor::statusText(monitor.units()), QString("Vt520 at 1-1.4"));
    }
};

QTEST_GUILESS_MAIN(TestVt520Monitor)
#include "test_vt520monitor.moc"
