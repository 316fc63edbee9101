// The core through the system's libusb-1.0 against the emulated Vt520 behind
// an emulated usbfs. Each case runs under vt520-usbfs-run, which CMake
// starts with the device faults the case needs; the breadth of the command
// set stays with the tests that link the emulator directly.
#include "UpgradeFixture.h"
#include "firmware/FirmwareChange.h"
#include "lighting/LightingTransfer.h"
#include "usb/SerialStringCache.h"
#include "usb/Clock.h"
#include "usb/USBVT350.h"
#include "usb/Vt520Monitor.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <libusb.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

QStringList traced;

// The transport's trace is kept for the checks instead of flooding the output.
void keepTrace(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        traced.append(message);
    else
        fprintf(stderr, "%s\n", qPrintable(message));
}

// Serial and version texts of the emulator's factory-fresh device.
const QString Serial = QStringLiteral("261100042");
const QString VersionText = QStringLiteral("1.00");
const QString VersionDate = QStringLiteral("Nov 26 2010");

// The port of the testbed's one unit.
const QString Port = QStringLiteral("101-1");

// The lines of the writing, without the verdict.
QStringList expectedLines(const QString &fileName, bool fromBootloader)
{
    if (fromBootloader)
        return QStringList{fileName, Serial + "b", VersionText, VersionDate, "Bootloader mode"}
               + UpgradeFixture::linesOfWriting();
    return QStringList{fileName,
                       Serial,
                       VersionText,
                       VersionDate,
                       "Apllication mode",
                       "Reset device",
                       "Disconnect",
                       "Connect",
                       "Serial:" + Serial + "b"}
           + UpgradeFixture::linesOfWriting();
}

QStringList completed(const QString &fileName, bool fromBootloader)
{
    return expectedLines(fileName, fromBootloader) << UpgradeFixture::doneLine(Serial, Port);
}

QStringList change(USBVT350 &usb, const QString &fileName, FirmwareChange::Outcome *outcome = nullptr)
{
    QStringList lines;
    FirmwareChange::Callbacks callbacks;
    callbacks.say = [&](const QString &line) { lines.append(line); };
    FirmwareChange firmwareChange(usb, callbacks); // real waits: the device re-enumerates in real time
    firmwareChange.run(fileName);
    if (outcome)
        *outcome = firmwareChange.outcome();
    return lines;
}

// Waits until the device answers in the given mode (after a reset it is
// away for its re-enumeration delay).
// Waits on the process's clock: on the emulator's virtual clock the units'
// time passes only through such sleeps, and the device nodes follow it.
template <typename Condition>
bool waitOnClock(Condition condition, int milliseconds)
{
    Clock &clock = Clock::standard();
    const qint64 until = clock.now() + milliseconds;
    while (!condition()) {
        if (clock.now() >= until)
            return false;
        clock.sleep(10);
    }
    return true;
}

bool waitForMode(USBVT350 &usb, bool bootloader)
{
    return waitOnClock([&] { return usb.connect() == 0 && usb.getSerialString().size() == (bootloader ? 10 : 9); },
                       5000);
}

// A context of the system's libusb and handles in it, closed however the
// test ends, so that a failed row leaves no claim behind for the next.
struct Usb {
    libusb_context *context = nullptr;
    std::vector<libusb_device_handle *> handles;
    Usb() { libusb_init(&context); }
    ~Usb()
    {
        for (libusb_device_handle *handle : handles)
            libusb_close(handle);
        if (context)
            libusb_exit(context);
    }
    Usb(const Usb &) = delete;
    Usb &operator=(const Usb &) = delete;
    libusb_device_handle *keep(libusb_device_handle *handle)
    {
        if (handle)
            handles.push_back(handle);
        return handle;
    }
};

// A handle of the system's libusb on the unit at the port, with a file of
// its own; null if the unit is not there.
libusb_device_handle *openAt(libusb_context *context, const QString &port)
{
    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    libusb_device_handle *handle = nullptr;
    for (ssize_t i = 0; i < count && !handle; ++i) {
        if (UsbDevice::portPathOf(list[i]) == port && libusb_open(list[i], &handle) != 0)
            handle = nullptr;
    }
    if (list)
        libusb_free_device_list(list, 1);
    return handle;
}

// The usbfs node of a handle's device.
QString nodeOf(libusb_device_handle *handle)
{
    libusb_device *device = libusb_get_device(handle);
    return QString::asprintf("/dev/bus/usb/%03d/%03d", libusb_get_bus_number(device),
                             libusb_get_device_address(device));
}

// A standard GET_STATUS to the device: a transfer that needs no interface.
int deviceStatus(libusb_device_handle *handle)
{
    unsigned char status[2] = {};
    return libusb_control_transfer(handle, LIBUSB_ENDPOINT_IN, LIBUSB_REQUEST_GET_STATUS, 0, 0, status, 2, 1000);
}

// The second process of the tests that need one (test_usbfs --hold-interface
// PORT): claims the interface of the unit at PORT, says "claimed" (or
// "failed") and keeps it until its standard input closes; then it ends
// without releasing it, as a program that exits does.
int holdInterface(const char *port)
{
    libusb_context *context = nullptr;
    if (libusb_init(&context) != 0)
        return 2;
    libusb_device_handle *handle = openAt(context, QString::fromUtf8(port));
    const bool claimed = handle && libusb_claim_interface(handle, 0) == 0;
    std::puts(claimed ? "claimed" : "failed");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    if (handle)
        libusb_close(handle);
    libusb_exit(context);
    return claimed ? 0 : 1;
}

// Another process of the tests (test_usbfs --watch-return PORT): follows
// the hotplug events of its own libusb, says "watching", and ends with 0 once
// it has seen the unit at PORT leave and come back (1 if not within 20 s).
int watchReturn(const char *port)
{
    struct Seen {
        QString port;
        bool left = false;
        bool back = false;
    } seen{QString::fromUtf8(port)};
    libusb_context *context = nullptr;
    if (libusb_init(&context) != 0)
        return 2;
    const auto onEvent = [](libusb_context *, libusb_device *device, libusb_hotplug_event event, void *data) {
        auto *state = static_cast<Seen *>(data);
        if (UsbDevice::portPathOf(device) == state->port) {
            if (event == LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT)
                state->left = true;
            else if (state->left)
                state->back = true;
        }
        return 0;
    };
    libusb_hotplug_callback_handle callback = 0;
    if (libusb_hotplug_register_callback(
            context, LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT, LIBUSB_HOTPLUG_NO_FLAGS,
            USBVT350::VendorId, USBVT350::ProductId, LIBUSB_HOTPLUG_MATCH_ANY, onEvent, &seen, &callback)
        != 0)
        return 2;
    std::puts("watching");
    std::fflush(stdout);
    QElapsedTimer waited;
    waited.start();
    while (!seen.back && waited.elapsed() < 20000) {
        timeval step{0, 100000};
        libusb_handle_events_timeout_completed(context, &step, nullptr);
    }
    libusb_hotplug_deregister_callback(context, callback);
    libusb_exit(context);
    return seen.back ? 0 : 1;
}

// What the device holds, read back through the real stack.
void verifyHolds(USBVT350 &usb, const UpgradeFixture &fixture)
{
    QByteArray application(0x1C000, '\0');
    QCOMPARE(usb.ReadMemory(reinterpret_cast<unsigned char *>(application.data()), 0x08004000, 0x1C000), 0);
    QCOMPARE(application, fixture.applicationRegion());
    QByteArray external(0x14000, '\0');
    QCOMPARE(usb.ReadExternalFlashFromAddress(reinterpret_cast<unsigned char *>(external.data()), 0, 0x14000), 0);
    QCOMPARE(external, fixture.storedExternalRegion());
}

} // namespace

class TestUsbfs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void firmwareChange_data();
    void firmwareChange();
    void programsRoundTripAndStatus();
    void neverAnswered();
    void stalledStatusRead();
    void pageWritesSurviveUnplug();
    void accessDenied();
    void manyReturns();
    void startNotTaken();
    void externalFlashGlitch();
    void monitorFollowsUevents();
    void setConfiguration_data();
    void setConfiguration();
    void claimedElsewhere_data();
    void claimedElsewhere();
    void goneDevice_data();
    void goneDevice();
    void everyProcessSeesTheReturn();

private:
    QTemporaryDir dir;
};

void TestUsbfs::initTestCase()
{
    // Never against whatever is plugged into this machine.
    if (qEnvironmentVariableIsEmpty("UMOCKDEV_DIR"))
        QFAIL("run under vt520-usbfs-run");
    QVERIFY(dir.isValid());
    qInstallMessageHandler(keepTrace);
}

void TestUsbfs::init()
{
    traced.clear();
}

void TestUsbfs::firmwareChange_data()
{
    QTest::addColumn<bool>("fromBootloader");
    QTest::newRow("from application mode") << false;
    QTest::newRow("from bootloader mode") << true; // reset into the bootloader first
}

void TestUsbfs::firmwareChange()
{
    QFETCH(bool, fromBootloader);
    const UpgradeFixture fixture =
        UpgradeFixture::make(dir.filePath(fromBootloader ? "b.upg" : "a.upg"), fromBootloader ? 7 : 8);
    QVERIFY(!fixture.fileName.isEmpty());
    USBVT350 usb;
    QVERIFY(waitForMode(usb, false));
    if (fromBootloader) {
        usb.RunApplication(); // the application resets into the bootloader
        usb.disconnect();
        QVERIFY(waitForMode(usb, true));
    }
    usb.disconnect();

    FirmwareChange::Outcome outcome = FirmwareChange::Outcome::NotRun;
    QCOMPARE(change(usb, fixture.fileName, &outcome), completed(fixture.fileName, fromBootloader));
    QCOMPARE(outcome, FirmwareChange::Outcome::Changed);
    QVERIFY(waitForMode(usb, false)); // the new application started and enumerated
    verifyHolds(usb, fixture);
}

void TestUsbfs::programsRoundTripAndStatus()
{
    USBVT350 usb;
    LightingTransfer transfer(usb);
    QByteArray programs(LightingTransfer::Programs.length, '\0');
    for (int i = 0; i < programs.size(); ++i)
        programs[i] = char(i * 7 + 3);
    QCOMPARE(transfer.write(LightingTransfer::Programs, programs.constData()), LightingTransfer::Status::Done);
    QByteArray back(programs.size(), '\0');
    QCOMPARE(transfer.read(LightingTransfer::Programs, back.data()), LightingTransfer::Status::Done);
    QCOMPARE(back, programs);

    uint32_t status = 0;
    QCOMPARE(usb.StatusGet(&status), 0);
    QCOMPARE(status, 0u); // released after the transfers
    QCOMPARE(usb.StatusSet(0x30), 0);
    QCOMPARE(usb.StatusGet(&status), 0);
    QCOMPARE(status, 0x30u);
    QCOMPARE(usb.StatusClr(0x10), 0);
    QCOMPARE(usb.StatusGet(&status), 0);
    QCOMPARE(status, 0x20u);
    QCOMPARE(usb.StatusAcquire(), 0);
    QCOMPARE(usb.StatusRelease(), 0);
    QCOMPARE(usb.StatusClr(0x20), 0);
}

// Started with the version block read (request 1) never answered once.
void TestUsbfs::neverAnswered()
{
    const UpgradeFixture fixture = UpgradeFixture::make(dir.filePath("t.upg"), 9);
    QVERIFY(!fixture.fileName.isEmpty());
    USBVT350 usb;
    QElapsedTimer timer;
    timer.start();
    const QStringList lines = change(usb, fixture.fileName);
    const qint64 elapsed = timer.elapsed();
    QCOMPARE(lines, (QStringList{fixture.fileName, Serial, "Bootloader Version Read Error",
                                 "Nothing was written; the Vt520 is unchanged."}));
    QVERIFY(traced.contains("USB Control Receive bRequest=1, wValue=16336, wIndex=2048, dataLength=32 - ERROR."));
    QVERIFY2(elapsed >= 2000, qPrintable(QString::number(elapsed))); // held for the timeout
}

// Started with the next status read (request 9) stalled.
void TestUsbfs::stalledStatusRead()
{
    USBVT350 usb;
    uint32_t status = 0xAAAAAAAA;
    QCOMPARE(usb.StatusGet(&status), -1);
    QCOMPARE(status, 0xAAAAAAAAu);
    QVERIFY(!usb.isConnected());
    QCOMPARE(usb.StatusGet(&status), 0); // connects afresh
}

// Started with the device pulled out in the middle of the page writes and
// plugged in again 300 ms later: the change waits for it, writes the page
// again and completes.
void TestUsbfs::pageWritesSurviveUnplug()
{
    const UpgradeFixture fixture = UpgradeFixture::make(dir.filePath("u.upg"), 10);
    QVERIFY(!fixture.fileName.isEmpty());
    USBVT350 usb;
    QCOMPARE(change(usb, fixture.fileName), completed(fixture.fileName, false));
    QVERIFY(waitForMode(usb, false));
    verifyHolds(usb, fixture);
}

// Started with device nodes that this user may not open.
void TestUsbfs::accessDenied()
{
    const UpgradeFixture fixture = UpgradeFixture::make(dir.filePath("d.upg"), 11);
    QVERIFY(!fixture.fileName.isEmpty());
    USBVT350 usb;
    QCOMPARE(usb.tryConnect().kind, Failure::Kind::AccessDenied);
    QCOMPARE(change(usb, fixture.fileName),
             (QStringList{fixture.fileName, "USB Timeout\nCheck USB Cable",
                          "The Vt520 is connected but this user may not open it. Install the udev rule "
                          "(70-vt520.rules, see README) and plug the device in again.",
                          "No Vt520 answered; nothing was written."}));
}

// Started with two units that come back at once after a reset. One of them
// comes back more often than there are device addresses; the other, present
// all along, keeps its address, and no newcomer is taken for it.
void TestUsbfs::manyReturns()
{
    const QList<UsbDevice::Location> before = UsbDevice::findAll(USBVT350::VendorId, USBVT350::ProductId);
    QCOMPARE(before.size(), 2);
    // A file opened on the first appearance: once a later appearance has
    // its address (and so its device node), the file still reaches the
    // device that left, and gets ENODEV, never the newcomer's answer.
    Usb system;
    QVERIFY(system.context);
    libusb_device_handle *stale = system.keep(openAt(system.context, before[1].portPath));
    QVERIFY(stale);
    const int staleAddress = libusb_get_device_address(libusb_get_device(stale));
    bool staleTried = false;
    USBVT350 usb;
    usb.pinToPort(before[1].portPath);
    for (int round = 0; round < 130; ++round) {
        QVERIFY2(waitOnClock([&] { return usb.connect() == 0; }, 10000), qPrintable(QString("round %1").arg(round)));
        if (round > 0 && !staleTried) {
            for (const UsbDevice::Location &now : UsbDevice::findAll(USBVT350::VendorId, USBVT350::ProductId)) {
                if (now.portPath == before[1].portPath && now.address == staleAddress) {
                    QCOMPARE(deviceStatus(stale), int(LIBUSB_ERROR_NO_DEVICE));
                    staleTried = true;
                }
            }
        }
        usb.RunApplication(); // into the other mode: it leaves and comes back
        usb.disconnect();
    }
    QVERIFY(staleTried); // the addresses came round
    QVERIFY(waitOnClock([] { return UsbDevice::findAll(USBVT350::VendorId, USBVT350::ProductId).size() == 2; }, 10000));
    const QList<UsbDevice::Location> after = UsbDevice::findAll(USBVT350::VendorId, USBVT350::ProductId);
    const int kept = after[0].portPath == before[0].portPath ? 0 : 1;
    QCOMPARE(after[kept].portPath, before[0].portPath);
    QCOMPARE(after[kept].address, before[0].address);
    QCOMPARE(after[1 - kept].portPath, before[1].portPath);
}

// Started in the bootloader, with the start of the application (request 4)
// stalled or pulling the unit out. Everything was written and read back
// equal, but the unit is still in its bootloader: the change has failed.
void TestUsbfs::startNotTaken()
{
    const UpgradeFixture fixture = UpgradeFixture::make(dir.filePath("s.upg"), 12);
    QVERIFY(!fixture.fileName.isEmpty());
    USBVT350 usb;
    FirmwareChange::Outcome outcome = FirmwareChange::Outcome::NotRun;
    const QStringList lines = change(usb, fixture.fileName, &outcome);
    QCOMPARE(lines.mid(0, lines.size() - 1), expectedLines(fixture.fileName, true));
    QCOMPARE(outcome, FirmwareChange::Outcome::StayedInBootloader);
    QVERIFY2(lines.last().startsWith("Failed: "), qPrintable(lines.last()));
    QVERIFY(waitForMode(usb, true));
    verifyHolds(usb, fixture);
}

// Started in the bootloader, with an external flash transfer pulling the
// unit out and the unit back after the time given: the change waits for it
// and completes.
void TestUsbfs::externalFlashGlitch()
{
    const UpgradeFixture fixture = UpgradeFixture::make(dir.filePath("g.upg"), 13);
    QVERIFY(!fixture.fileName.isEmpty());
    USBVT350 usb;
    FirmwareChange::Outcome outcome = FirmwareChange::Outcome::NotRun;
    QCOMPARE(change(usb, fixture.fileName, &outcome), completed(fixture.fileName, true));
    QCOMPARE(outcome, FirmwareChange::Outcome::Changed);
    QVERIFY(traced.contains("USB Control Send bRequest=6, wValue=0, wIndex=0, dataLength=256 - ERROR.")
            || traced.filter(QRegularExpression("bRequest=[56], .* - ERROR\\.")).size() >= 1);
    QVERIFY(waitForMode(usb, false));
    verifyHolds(usb, fixture);
}

// The device monitor on the system's libusb: hotplug events from udev, the
// unplug of a reset a real "remove" uevent, the return an "add"; the mode
// from the sysfs serial attribute alone (no command reads the serial here).
void TestUsbfs::monitorFollowsUevents()
{
    SerialStringCache::clear();
    Vt520Monitor monitor;
    QCOMPARE(monitor.method(), Vt520Monitor::Method::Hotplug);
    QCOMPARE(monitor.units().size(), 1);
    QCOMPARE(monitor.units().first().portPath, Port);
    QCOMPARE(monitor.units().first().mode, DeviceMode::Application);
    const int oldAddress = monitor.units().first().address;
    QSignalSpy reports(&monitor, &Vt520Monitor::unitsChanged);

    USBVT350 usb;
    QCOMPARE(usb.connect(), 0);
    usb.RunApplication(); // into the bootloader: away for a second, back at a new address
    usb.disconnect();
    SerialStringCache::clear();

    const auto reported = [&](int i) { return reports.at(i).first().value<QList<Vt520Monitor::Unit>>(); };
    QTRY_VERIFY_WITH_TIMEOUT(reports.size() >= 2, 20000);
    QCOMPARE(reported(0), QList<Vt520Monitor::Unit>()); // the remove uevent
    const QList<Vt520Monitor::Unit> back = reported(reports.size() - 1);
    QCOMPARE(back.size(), 1);
    QCOMPARE(back.first().portPath, Port);
    QVERIFY(back.first().address != oldAddress);
    QCOMPARE(back.first().mode, DeviceMode::Bootloader);
    QCOMPARE(Vt520Monitor::statusText(back), QString("Vt520 at 101-1"));
}

// Who holds the interface while a configuration is set.
enum class Holder { Nobody, SameHandle, OtherHandle, OtherProcess };

void TestUsbfs::setConfiguration_data()
{
    QTest::addColumn<Holder>("holder");
    QTest::addColumn<int>("configuration");
    QTest::addColumn<int>("expected");
    // As the kernel: the active configuration again resets it, 0 and -1
    // unconfigure; nothing changes while any file holds the interface, the
    // caller's own included; once the holder lets go, it does.
    QTest::newRow("nobody holds it: the active one again") << Holder::Nobody << 1 << int(LIBUSB_SUCCESS);
    QTest::newRow("nobody holds it: unconfigured") << Holder::Nobody << -1 << int(LIBUSB_SUCCESS);
    QTest::newRow("nobody holds it: one the unit lacks") << Holder::Nobody << 2 << int(LIBUSB_ERROR_NOT_FOUND);
    QTest::newRow("its own claim") << Holder::SameHandle << 1 << int(LIBUSB_ERROR_BUSY);
    QTest::newRow("another handle's claim") << Holder::OtherHandle << 1 << int(LIBUSB_ERROR_BUSY);
    QTest::newRow("another handle's claim: unconfigured") << Holder::OtherHandle << -1 << int(LIBUSB_ERROR_BUSY);
    QTest::newRow("another process's claim") << Holder::OtherProcess << 1 << int(LIBUSB_ERROR_BUSY);
    QTest::newRow("another process's claim: unconfigured") << Holder::OtherProcess << 0 << int(LIBUSB_ERROR_BUSY);
}

void TestUsbfs::setConfiguration()
{
    QFETCH(Holder, holder);
    QFETCH(int, configuration);
    QFETCH(int, expected);
    Usb system;
    QVERIFY(system.context);
    libusb_device_handle *handle = system.keep(openAt(system.context, Port));
    libusb_device_handle *other = system.keep(openAt(system.context, Port));
    QVERIFY(handle && other);
    QProcess process;
    if (holder == Holder::SameHandle)
        QCOMPARE(libusb_claim_interface(handle, 0), 0);
    if (holder == Holder::OtherHandle)
        QCOMPARE(libusb_claim_interface(other, 0), 0);
    if (holder == Holder::OtherProcess) {
        process.start(QCoreApplication::applicationFilePath(), {"--hold-interface", Port});
        QVERIFY(process.waitForStarted());
        while (!process.canReadLine())
            QVERIFY(process.waitForReadyRead(10000));
        QCOMPARE(process.readLine().trimmed(), QByteArray("claimed"));
        QCOMPARE(libusb_claim_interface(handle, 0), int(LIBUSB_ERROR_BUSY)); // held there
    }

    QCOMPARE(libusb_set_configuration(handle, configuration), expected);
    int active = -1;
    QCOMPARE(libusb_get_configuration(handle, &active), 0);
    QCOMPARE(active, expected == LIBUSB_SUCCESS ? (configuration == 1 ? 1 : 0) : 1);

    // The holder lets go: by a release, or by closing its file as it ends.
    if (holder == Holder::SameHandle)
        QCOMPARE(libusb_release_interface(handle, 0), 0);
    if (holder == Holder::OtherHandle)
        QCOMPARE(libusb_release_interface(other, 0), 0);
    if (holder == Holder::OtherProcess) {
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 0);
    }
    if (holder != Holder::Nobody)
        QCOMPARE(libusb_set_configuration(handle, configuration), int(LIBUSB_SUCCESS));
    QCOMPARE(libusb_set_configuration(handle, 1), int(LIBUSB_SUCCESS)); // as the next row needs it
    QCOMPARE(libusb_claim_interface(handle, 0), 0);
}

// Started with the unit's interface held by another program (--claimed).
void TestUsbfs::claimedElsewhere_data()
{
    QTest::addColumn<QString>("request");
    QTest::newRow("claim") << "claim";
    QTest::newRow("the active configuration again") << "configuration 1";
    QTest::newRow("unconfigured") << "configuration -1";
}

void TestUsbfs::claimedElsewhere()
{
    QFETCH(QString, request);
    Usb system;
    QVERIFY(system.context);
    libusb_device_handle *handle = system.keep(openAt(system.context, Port));
    QVERIFY(handle);
    const int result = request == "claim" ? libusb_claim_interface(handle, 0)
                                          : libusb_set_configuration(handle, request.section(' ', 1).toInt());
    QCOMPARE(result, int(LIBUSB_ERROR_BUSY));
    QCOMPARE(deviceStatus(handle), 2); // the device itself answers
}

// Each row with a file on the unit that then leaves (it resets into its
// other mode and comes back at a new address): every request through that
// file is answered "no device", and the program goes on.
void TestUsbfs::goneDevice_data()
{
    QTest::addColumn<QString>("request");
    QTest::newRow("set configuration") << "configuration";
    QTest::newRow("release interface") << "release";
    QTest::newRow("control transfer") << "control";
    QTest::newRow("bulk transfer") << "bulk";
}

void TestUsbfs::goneDevice()
{
    QFETCH(QString, request);
    Usb system;
    QVERIFY(system.context);
    libusb_device_handle *handle = nullptr;
    QVERIFY(waitOnClock([&] { return (handle = system.keep(openAt(system.context, Port))) != nullptr; },
                        10000)); // back from the last row
    QCOMPARE(libusb_claim_interface(handle, 0), 0);
    const QString node = nodeOf(handle);
    libusb_control_transfer(handle, LIBUSB_ENDPOINT_OUT | LIBUSB_REQUEST_TYPE_VENDOR | LIBUSB_RECIPIENT_DEVICE,
                            USBVT350::RequestRunApplication, 0, 0, nullptr, 0, 1000);
    QVERIFY(waitOnClock([&] { return !QFile::exists(node); }, 10000));

    int result = 0;
    if (request == "configuration") {
        result = libusb_set_configuration(handle, 1);
    } else if (request == "release") {
        result = libusb_release_interface(handle, 0);
    } else if (request == "control") {
        result = deviceStatus(handle);
    } else {
        unsigned char data[64] = {};
        int moved = 0;
        result = libusb_bulk_transfer(handle, 0x02, data, sizeof data, &moved, 1000);
    }
    QCOMPARE(result, int(LIBUSB_ERROR_NO_DEVICE));
}

// Two processes of one program, alike down to their descriptor numbers,
// each following hotplug events with its own libusb while the unit resets
// (leaves, comes back): each sees it leave and come back.
void TestUsbfs::everyProcessSeesTheReturn()
{
    QProcess watchers[2];
    for (QProcess &watcher : watchers) {
        watcher.start(QCoreApplication::applicationFilePath(), {"--watch-return", Port});
        QVERIFY(watcher.waitForStarted());
        while (!watcher.canReadLine())
            QVERIFY(watcher.waitForReadyRead(10000));
        QCOMPARE(watcher.readLine().trimmed(), QByteArray("watching"));
    }
    USBVT350 usb;
    QCOMPARE(usb.connect(), 0);
    usb.RunApplication(); // into the bootloader: it leaves and comes back
    usb.disconnect();
    for (QProcess &watcher : watchers) {
        QVERIFY(watcher.waitForFinished(30000));
        QCOMPARE(watcher.exitCode(), 0);
    }
}

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--hold-interface") == 0)
        return holdInterface(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--watch-return") == 0)
        return watchReturn(argv[2]);
    QCoreApplication app(argc, argv);
    TestUsbfs test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_usbfs.moc"
