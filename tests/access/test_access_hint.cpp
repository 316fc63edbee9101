// A Vt520 on the bus that this user may not open (libusb_open gives
// LIBUSB_ERROR_ACCESS, a missing udev rule on Linux): the connect procedure
// traces the cause and remembers it until the next connect, and the firmware
// change follows its time-out lines with the hint on the udev rule. Without
// such a device no hint appears.
#include "EmulatorClock.h"
#include "FailOnWarnings.h"
#include "UpgradeFixture.h"
#include "firmware/FirmwareChange.h"
#include "sim/Vt520Sim.h"
#include "usb/USBVT350.h"

#include <QTemporaryDir>
#include <QtTest>

#include <libusb.h>

namespace {

const QString Hint = QStringLiteral("The Vt520 is connected but this user may not open it. Install the udev rule "
                                    "(70-vt520.rules, see README) and plug the device in again.");
const QString AccessTrace = QStringLiteral("usb_open: permission denied (LIBUSB_ERROR_ACCESS); install the udev rule");

QStringList traced;
QtMessageHandler previousHandler = nullptr;
void keepTrace(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg)
        traced.append(message);
    else if (previousHandler)
        previousHandler(type, context, message);
}

enum class BusSetup { Empty, Denied, OtherOpenError, DeniedThenUsable, DeniedDeviceOfOtherIds };

} // namespace

Q_DECLARE_METATYPE(BusSetup)

class TestAccessHint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void connectRemembersDeniedAccess_data();
    void connectRemembersDeniedAccess();
    void nextConnectForgetsIt();
    void lazyConnectRemembersIt();
    void firmwareChangeHint_data();
    void firmwareChangeHint();

private:
    vt520sim::Device &addVt520(int bus, vt520sim::Mode mode = vt520sim::Mode::Application);
};

void TestAccessHint::initTestCase()
{
    previousHandler = qInstallMessageHandler(keepTrace);
}

void TestAccessHint::cleanupTestCase()
{
    qInstallMessageHandler(previousHandler);
}

void TestAccessHint::init()
{
    failOnUnexpectedWarnings();
    vt520sim::Bus::instance().reset();
    vt520sim::Bus::instance().useVirtualClock(true);
    traced.clear();
}

vt520sim::Device &TestAccessHint::addVt520(int bus, vt520sim::Mode mode)
{
    vt520sim::Device &device = vt520sim::Bus::instance().addVt520(bus, 1, "261100042");
    device.setVersionBlock("1.00", UpgradeFixture::versionDate().toLatin1());
    device.setMode(mode);
    return device;
}

void TestAccessHint::connectRemembersDeniedAccess_data()
{
    QTest::addColumn<BusSetup>("bus");
    QTest::addColumn<int>("connected");
    QTest::addColumn<bool>("denied");
    QTest::newRow("no device") << BusSetup::Empty << -1 << false;
    QTest::newRow("device denied") << BusSetup::Denied << -1 << true;
    QTest::newRow("open fails otherwise") << BusSetup::OtherOpenError << -1 << false;
    // The scan goes on past the device it may not open and takes the next one.
    QTest::newRow("denied, then a usable one") << BusSetup::DeniedThenUsable << 0 << true;
    QTest::newRow("denied device of other ids") << BusSetup::DeniedDeviceOfOtherIds << -1 << false;
}

void TestAccessHint::connectRemembersDeniedAccess()
{
    QFETCH(BusSetup, bus);
    QFETCH(int, connected);
    QFETCH(bool, denied);
    switch (bus) {
    case BusSetup::Empty:
        break;
    case BusSetup::Denied:
        addVt520(1).failOpen(LIBUSB_ERROR_ACCESS);
        break;
    case BusSetup::OtherOpenError:
        addVt520(1).failOpen(LIBUSB_ERROR_IO);
        break;
    case BusSetup::DeniedThenUsable:
        addVt520(1).failOpen(LIBUSB_ERROR_ACCESS);
        addVt520(2);
        break;
    case BusSetup::DeniedDeviceOfOtherIds:
        vt520sim::Bus::instance().addDevice(1, 1, 0x16C0, 0x05DC).failOpen(LIBUSB_ERROR_ACCESS);
        break;
    }

    USBVT350 usb;
    const Failure failure = usb.tryConnect();
    QCOMPARE(failure.failed() ? -1 : 0, connected);
    // A connect that took a device has nothing to tell; the refusal it met
    // on the way shows in the trace.
    QCOMPARE(failure.kind == Failure::Kind::AccessDenied, denied && connected != 0);
    QCOMPARE(traced.count(AccessTrace), denied ? 1 : 0);
    QCOMPARE(usb.isConnected(), connected == 0);
}

void TestAccessHint::nextConnectForgetsIt()
{
    vt520sim::Device &device = addVt520(1);
    device.failOpen(LIBUSB_ERROR_ACCESS);
    USBVT350 usb;
    QCOMPARE(usb.tryConnect().kind, Failure::Kind::AccessDenied);

    // The rule installed and the device plugged in again: the next connect,
    // here the lazy one of a transfer, finds it and forgets the refusal.
    device.failOpen(0);
    unsigned char status[4] = {};
    const FailureOr<int> received = usb.receiveControl(USBVT350::RequestStatusGet, 0, 0, status, 4);
    QVERIFY(received.ok());
    QCOMPARE(received.value, 4);

    // The device gone altogether: a connect that finds nothing is no refusal.
    device.failOpen(LIBUSB_ERROR_ACCESS);
    QCOMPARE(usb.tryConnect().kind, Failure::Kind::AccessDenied);
    device.unplug();
    QCOMPARE(usb.tryConnect().kind, Failure::Kind::NoDevice);
}

void TestAccessHint::lazyConnectRemembersIt()
{
    addVt520(1).failOpen(LIBUSB_ERROR_ACCESS);
    USBVT350 usb;
    unsigned char status[4] = {};
    const FailureOr<int> received = usb.receiveControl(USBVT350::RequestStatusGet, 0, 0, status, 4);
    QVERIFY(!received.ok());
    QCOMPARE(received.failure.kind, Failure::Kind::AccessDenied);
    QCOMPARE(traced.count(AccessTrace), 1);
}

void TestAccessHint::firmwareChangeHint_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QStringList>("lastLines");
    const QString firstTimeout = QStringLiteral("USB Timeout\nCheck USB Cable");
    const QString bootloaderTimeout = QStringLiteral("USB timout\nCheck USB cable");
    const QStringList beforeReset{"261100042", "1.00", UpgradeFixture::versionDate(), "Apllication mode",
                                  "Reset device"};
    QTest::newRow("first connection, access denied") << "denied" << QStringList{firstTimeout, Hint};
    QTest::newRow("first connection, no device") << "no device" << QStringList{firstTimeout};
    QTest::newRow("first connection, open fails otherwise") << "open error" << QStringList{firstTimeout};
    QTest::newRow("bootloader access denied")
        << "bootloader denied" << beforeReset + QStringList{bootloaderTimeout, Hint};
    QTest::newRow("bootloader does not come back") << "bootloader gone" << beforeReset + QStringList{bootloaderTimeout};
}

void TestAccessHint::firmwareChangeHint()
{
    QFETCH(QString, situation);
    QFETCH(QStringList, lastLines);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const UpgradeFixture fixture = UpgradeFixture::make(dir.filePath("a.upg"), 3);
    QVERIFY(!fixture.fileName.isEmpty());

    vt520sim::Device *device = situation == "no device" ? nullptr : &addVt520(1);
    if (situation == "denied")
        device->failOpen(LIBUSB_ERROR_ACCESS);
    else if (situation == "open error")
        device->failOpen(LIBUSB_ERROR_IO);
    else if (situation == "bootloader gone")
        device->setBootloaderNeverReturns(true);

    USBVT350 usb;
    QStringList lines;
    FirmwareChange::Callbacks callbacks;
    callbacks.say = [&](const QString &line) {
        lines.append(line);
        // The bootloader that comes back after the reset may not be opened.
        if (line == QLatin1String("Reset device") && situation == "bootloader denied")
            device->failOpen(LIBUSB_ERROR_ACCESS);
    };
    EmulatorClock clock;
    FirmwareChange change(usb, callbacks, clock);
    change.run(fixture.fileName);

    QCOMPARE(lines, QStringList{fixture.fileName} + lastLines << change.verdict());
    QVERIFY(change.outcome() == FirmwareChange::Outcome::NoDevice
            || change.outcome() == FirmwareChange::Outcome::BootloaderNotReached);
    QCOMPARE(vt520sim::Bus::instance().requestCount(USBVT350::RequestWritePage), 0);
}

QTEST_GUILESS_MAIN(TestAccessHint)
#include "test_access_hint.moc"
