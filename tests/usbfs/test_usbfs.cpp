// The core through the system's libusb-1.0 against the emulated Vt520 behind
// an emulated usbfs. Each case runs under vt520-usbfs-run, which CMake
// starts with the device faults the case needs; the breadth of the command
// set stays with the tests that link the emulator directly.
#include "UpgradeFixture.h"
#include "firmware/FirmwareChange.h"
#include "lighting/LightingTransfer.h"
#include "usb/USBVT350.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

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

QStringList expectedLines(const QString &fileName, bool fromBootloader)
{
    if (fromBootloader)
        return QStringList{fileName, Serial + "b", VersionText, VersionDate, "Bootloader mode"}
               + UpgradeFixture::linesOfWriting();
    return QStringList{fileName, Serial, VersionText, VersionDate, "Apllication mode", "Reset device",
                       "Disconnect", "Connect", "Serial:" + Serial + "b"}
           + UpgradeFixture::linesOfWriting();
}

QStringList change(USBVT350 &usb, const QString &fileName)
{
    QStringList lines;
    FirmwareChange::Callbacks callbacks;
    callbacks.say = [&](const QString &line) { lines.append(line); };
    FirmwareChange(usb, callbacks).run(fileName); // real waits: the device re-enumerates in real time
    return lines;
}

// Waits until the device answers in the given mode (after a reset it is
// away for its re-enumeration delay).
bool waitForMode(USBVT350 &usb, bool bootloader)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (usb.connect() == 0) {
            const QByteArray serial = usb.getSerialString();
            if (serial.size() == (bootloader ? 10 : 9))
                return true;
        }
        QThread::msleep(100);
    }
    return false;
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
    void unplugMidChangeThenCleanChange();
    void accessDenied();
    void manyReturns();

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

    QCOMPARE(change(usb, fixture.fileName), expectedLines(fixture.fileName, fromBootloader));
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
    QCOMPARE(lines, (QStringList{fixture.fileName, Serial, "Bootloader Version Read Error"}));
    QVERIFY(traced.contains("USB Control Receive bRequest=1, wValue=16336, wIndex=2048, dataLength=32 - ERROR."));
    QVERIFY2(elapsed >= 2000 && elapsed < 6000, qPrintable(QString::number(elapsed))); // held for the timeout, no longer
}

// Started with the next status read (request 9) stalled.
void TestUsbfs::stalledStatusRead()
{
    USBVT350 usb;
    uint32_t status = 0xAAAAAAAA;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(usb.StatusGet(&status), -1);
    QVERIFY(timer.elapsed() < 1000); // a stall is an answer: no waiting for the timeout
    QCOMPARE(status, 0xAAAAAAAAu);
    QCOMPARE(usb.isConnected(), -1);
    QCOMPARE(usb.StatusGet(&status), 0); // connects afresh
}

// Started with the device pulled out in the middle of the page writes and
// plugged in again 300 ms later.
void TestUsbfs::unplugMidChangeThenCleanChange()
{
    const UpgradeFixture fixture = UpgradeFixture::make(dir.filePath("u.upg"), 10);
    QVERIFY(!fixture.fileName.isEmpty());
    USBVT350 usb;
    const QStringList broken = change(usb, fixture.fileName);
    QVERIFY2(broken.size() >= 10 && broken.at(9) == "Writting firmware ... " && broken.last() == "ERROR",
             qPrintable(broken.join('|')));
    QVERIFY(!broken.contains("Writting External Flash ... "));
    QVERIFY(waitForMode(usb, true)); // back, still in its bootloader
    usb.disconnect();

    QCOMPARE(change(usb, fixture.fileName), expectedLines(fixture.fileName, true));
    QVERIFY(waitForMode(usb, false));
    verifyHolds(usb, fixture);
}

// Started with device nodes that this user may not open.
void TestUsbfs::accessDenied()
{
    const UpgradeFixture fixture = UpgradeFixture::make(dir.filePath("d.upg"), 11);
    QVERIFY(!fixture.fileName.isEmpty());
    USBVT350 usb;
    QCOMPARE(usb.connect(), -1);
    QVERIFY(usb.lastConnectDeniedAccess());
    QCOMPARE(change(usb, fixture.fileName),
             (QStringList{fixture.fileName, "USB Timeout\nCheck USB Cable", UsbDevice::accessDeniedHint()}));
}

// Started with two units that come back at once after a reset. One of them
// comes back more often than there are device addresses; the other, present
// all along, keeps its address, and no newcomer is taken for it.
void TestUsbfs::manyReturns()
{
    const QList<UsbDevice::Location> before = UsbDevice::findAll(USBVT350::VendorId, USBVT350::ProductId);
    QCOMPARE(before.size(), 2);
    USBVT350 usb;
    usb.pinToPort(before[1].portPath);
    for (int round = 0; round < 130; ++round) {
        QElapsedTimer waited;
        waited.start();
        while (usb.connect() != 0) {
            QVERIFY2(waited.elapsed() < 10000, qPrintable(QString("round %1").arg(round)));
            QThread::msleep(1);
        }
        usb.RunApplication(); // into the other mode: it leaves and comes back
        usb.disconnect();
    }
    QTRY_COMPARE_WITH_TIMEOUT(UsbDevice::findAll(USBVT350::VendorId, USBVT350::ProductId).size(), 2, 10000);
    const QList<UsbDevice::Location> after = UsbDevice::findAll(USBVT350::VendorId, USBVT350::ProductId);
    const int kept = after[0].portPath == before[0].portPath ? 0 : 1;
    QCOMPARE(after[kept].portPath, before[0].portPath);
    QCOMPARE(after[kept].address, before[0].address);
    QCOMPARE(after[1 - kept].portPath, before[1].portPath);
}

QTEST_GUILESS_MAIN(TestUsbfs)
#include "test_usbfs.moc"
