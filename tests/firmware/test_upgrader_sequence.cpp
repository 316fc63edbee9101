// The firmware change sequence against the device emulator, on the virtual
// clock: complete changes from both modes and every road that ends a run.
#include "EmulatorClock.h"
#include "FailOnWarnings.h"
#include "UpgradeFixture.h"
#include "firmware/FirmwareChange.h"
#include "sim/Vt520Sim.h"
#include "usb/HexDump.h"
#include "usb/USBVT350.h"

#include <QTemporaryDir>
#include <QtTest>

#include <libusb.h>

namespace {

constexpr int ApplicationPages = 112;

// Runs one change and keeps what it reported. `onSay` lets a test act on
// the device at a given point of the sequence.
struct Run {
    QStringList lines;
    QList<int> percents;
    QList<int> waits;
    std::function<void(const QString &)> onSay;
    std::function<void(int)> onWait;
    std::function<void(int)> onPercent;
    std::function<bool()> stopRequested;
    bool succeeded = false;
    // Every run ends with its verdict; it is kept apart from the lines of
    // the sequence before it, and only when it is the change's own.
    FirmwareChange::Outcome outcome = FirmwareChange::Outcome::NotRun;
    Failure failure; // the transport failure that ended the run
    bool firmwareComplete = false;
    QString verdict;

    void operator()(USBVT350 &usb, const QString &fileName)
    {
        FirmwareChange::Callbacks callbacks;
        callbacks.say = [this](const QString &line) {
            lines.append(line);
            if (onSay)
                onSay(line);
        };
        callbacks.percent = [this](int percent) {
            percents.append(percent);
            if (onPercent)
                onPercent(percent);
        };
        EmulatorClock clock;
        clock.onWait = [this](int milliseconds) {
            waits.append(milliseconds);
            if (onWait)
                onWait(milliseconds);
        };
        clock.stop = stopRequested;
        FirmwareChange change(usb, callbacks, clock);
        succeeded = change.run(fileName);
        outcome = change.outcome();
        failure = change.failure();
        firmwareComplete = change.firmwareComplete();
        if (!lines.isEmpty() && lines.last() == change.verdict())
            verdict = lines.takeLast();
    }
};

// Transfers that met the unit off the bus.
int transfersToAGoneUnit()
{
    const QList<vt520sim::TransferRecord> log = vt520sim::Bus::instance().transferLog();
    return int(std::count_if(log.begin(), log.end(), [](const vt520sim::TransferRecord &record) {
        return record.result == LIBUSB_ERROR_NO_DEVICE;
    }));
}

QString withoutHeader(const QString &dump)
{
    return dump.mid(dump.indexOf("\n0x0000:"));
}

} // namespace

Q_DECLARE_METATYPE(Failure::Kind)

class TestUpgraderSequence : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void completeChange_data();
    void completeChange();
    void staysOnTheIdentifiedUnit();
    void deviceAnswersLate_data();
    void deviceAnswersLate();
    void noDevice();
    void bootloaderDoesNotComeBack();
    void serialOfNeitherMode_data();
    void serialOfNeitherMode();
    void versionBlockUnreadable();
    void deviceWithAnotherTransferKey_data();
    void deviceWithAnotherTransferKey();
    void rejectedFile_data();
    void rejectedFile();
    void emptyFileName();
    void pageReadsBackDifferently();
    void pageReadBackFails_data();
    void pageReadBackFails();
    void pageGlitch_data();
    void pageGlitch();
    void pageWriteFails();
    void externalFlashWriteFails();
    void externalFlashReadFails();
    void externalFlashDiffers();
    void unitDoesNotRunTheNewFirmware_data();
    void unitDoesNotRunTheNewFirmware();
    void externalFlashGlitch_data();
    void externalFlashGlitch();
    void unitStopsAnswering_data();
    void unitStopsAnswering();
    void stopBetweenExternalFlashChunks_data();
    void stopBetweenExternalFlashChunks();
    void stopBeforeTheReset_data();
    void stopBeforeTheReset();
    void compareReadsBackOnly_data();
    void compareReadsBackOnly();

private:
    vt520sim::Device &addDevice(vt520sim::Mode mode, const QByteArray &serial = "261100042");
    void verifyDeviceHolds(vt520sim::Device &device, const UpgradeFixture &fixture);

    std::unique_ptr<QTemporaryDir> dir;
    UpgradeFixture fixture;
};

void TestUpgraderSequence::init()
{
    failOnUnexpectedWarnings();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    fixture = UpgradeFixture::make(dir->filePath("new.upg"), 100);
    QVERIFY(!fixture.fileName.isEmpty());
    auto &bus = vt520sim::Bus::instance();
    bus.reset();
    bus.useVirtualClock(true);
}

vt520sim::Device &TestUpgraderSequence::addDevice(vt520sim::Mode mode, const QByteArray &serial)
{
    vt520sim::Device &device = vt520sim::Bus::instance().addVt520(1, 1, serial);
    device.setVersionBlock("1.00", UpgradeFixture::versionDate().toLatin1());
    device.setMode(mode);
    return device;
}

void TestUpgraderSequence::verifyDeviceHolds(vt520sim::Device &device, const UpgradeFixture &expected)
{
    QCOMPARE(device.internalFlash(0x08004000, 0x1C000), expected.applicationRegion());
    QVERIFY(device.applicationSumValid());
    QCOMPARE(device.externalFlash(0, 0x14000), expected.storedExternalRegion());
    // The file stores the region exactly as it ends up in the external flash.
    QCOMPARE(device.externalFlash(0, 0x14000), HexFiles::readFile(expected.fileName).mid(66 + 0x20000, 0x14000));
}

void TestUpgraderSequence::completeChange_data()
{
    QTest::addColumn<bool>("fromBootloader");
    QTest::newRow("from application mode") << false;
    QTest::newRow("from bootloader mode") << true;
}

void TestUpgraderSequence::completeChange()
{
    QFETCH(bool, fromBootloader);
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = addDevice(fromBootloader ? vt520sim::Mode::Bootloader : vt520sim::Mode::Application);
    device.eraseExternalFlash();

    USBVT350 usb;
    Run run;
    run(usb, fixture.fileName);

    QCOMPARE(run.lines, fromBootloader ? UpgradeFixture::linesFromBootloader(fixture.fileName, "261100042")
                                       : UpgradeFixture::linesFromApplication(fixture.fileName, "261100042"));
    QCOMPARE(run.percents, UpgradeFixture::percents());
    QCOMPARE(run.percents.at(1), 0); // 1024 * 100 / 114688 rounds down
    QVERIFY(run.succeeded);
    QCOMPARE(run.outcome, FirmwareChange::Outcome::Changed);
    QCOMPARE(run.failure.kind, Failure::Kind::None);
    QCOMPARE(run.verdict, QString("Done: the Vt520 261100042 at 1-1 runs the new firmware."));
    verifyDeviceHolds(device, fixture);

    QCOMPARE(bus.requestCount(3), ApplicationPages);
    QCOMPARE(bus.requestCount(6), 320);
    QCOMPARE(bus.requestCount(5), 160);
    QCOMPARE(bus.requestCount(4), fromBootloader ? 1 : 2);
    QCOMPARE(run.waits, fromBootloader ? QList<int>({1000}) : QList<int>({2000, 500, 1000}));

    // The new application starts once the device is back on the bus.
    bus.advanceClock(2000);
    QCOMPARE(device.mode(), vt520sim::Mode::Application);
    QVERIFY(!usb.isConnected());
}

// Two units: one in its bootloader at a higher address than the other's
// (as after its own reset), the other in application mode. The change
// identifies the lower address, resets it, and must find that unit again
// at its port after it re-enumerated behind the first, never the
// bootloader that now comes first on the bus.
void TestUpgraderSequence::staysOnTheIdentifiedUnit()
{
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &waiting = bus.addVt520(1, 3, "261100042");
    waiting.setVersionBlock("1.00", UpgradeFixture::versionDate().toLatin1());
    waiting.setMode(vt520sim::Mode::Bootloader);
    vt520sim::Device &identified = bus.addVt520(1, 2, "261100043");
    identified.setVersionBlock("1.00", UpgradeFixture::versionDate().toLatin1());
    identified.setMode(vt520sim::Mode::Application);
    const QByteArray untouched = waiting.internalFlash(0x08004000, 0x1C000);

    USBVT350 usb;
    Run run;
    run(usb, fixture.fileName);

    QCOMPARE(run.lines, UpgradeFixture::linesFromApplication(fixture.fileName, "261100043"));
    QCOMPARE(run.outcome, FirmwareChange::Outcome::Changed);
    verifyDeviceHolds(identified, fixture);
    QCOMPARE(waiting.internalFlash(0x08004000, 0x1C000), untouched);
    QCOMPARE(waiting.mode(), vt520sim::Mode::Bootloader);
    // The caller's object is left unpinned, as it came.
    QCOMPARE(usb.pinnedPort(), QString());
}

void TestUpgraderSequence::deviceAnswersLate_data()
{
    QTest::addColumn<int>("answeringAttempt");
    QTest::newRow("second attempt") << 2;
    QTest::newRow("third attempt") << 3;
    QTest::newRow("fourth attempt") << 4;
}

void TestUpgraderSequence::deviceAnswersLate()
{
    QFETCH(int, answeringAttempt);
    vt520sim::Device &device = addDevice(vt520sim::Mode::Bootloader);
    device.unplug();

    USBVT350 usb;
    Run run;
    int retries = 0;
    run.onWait = [&](int milliseconds) {
        if (milliseconds == 200 && ++retries == answeringAttempt - 1)
            device.replug();
    };
    run(usb, fixture.fileName);

    QCOMPARE(retries, answeringAttempt - 1);
    QCOMPARE(run.lines, UpgradeFixture::linesFromBootloader(fixture.fileName, "261100042"));
    QCOMPARE(run.outcome, FirmwareChange::Outcome::Changed);
    verifyDeviceHolds(device, fixture);
}

void TestUpgraderSequence::noDevice()
{
    auto &bus = vt520sim::Bus::instance();
    USBVT350 usb;
    Run run;
    run(usb, fixture.fileName);

    QCOMPARE(run.lines, (QStringList{fixture.fileName, "USB Timeout\nCheck USB Cable"}));
    QCOMPARE(run.outcome, FirmwareChange::Outcome::NoDevice);
    QCOMPARE(run.failure.kind, Failure::Kind::NoDevice);
    QCOMPARE(run.percents, QList<int>{0});
    // Four attempts, 200 ms apart.
    QCOMPARE(run.waits, (QList<int>{200, 200, 200}));
    QCOMPARE(bus.nowMs(), 600);
}

void TestUpgraderSequence::bootloaderDoesNotComeBack()
{
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = addDevice(vt520sim::Mode::Application);
    device.setBootloaderNeverReturns(true);
    const QByteArray before = device.internalFlash(0x08004000, 0x1C000);

    USBVT350 usb;
    Run run;
    run(usb, fixture.fileName);

    QCOMPARE(run.lines, (QStringList{fixture.fileName, "261100042", "1.00", UpgradeFixture::versionDate(),
                                     "Apllication mode", "Reset device", "USB timout\nCheck USB cable"}));
    QCOMPARE(run.outcome, FirmwareChange::Outcome::BootloaderNotReached);
    QCOMPARE(run.failure.kind, Failure::Kind::NoDevice);
    QCOMPARE(run.waits, (QList<int>{2000, 500, 200, 200, 200, 200, 200, 200, 200, 200, 200, 200}));
    QCOMPARE(bus.requestCount(3), 0);
    QCOMPARE(device.internalFlash(0x08004000, 0x1C000), before);
}

void TestUpgraderSequence::serialOfNeitherMode_data()
{
    QTest::addColumn<QByteArray>("serial");
    QTest::addColumn<vt520sim::Mode>("mode");
    QTest::addColumn<QString>("shown");
    QTest::newRow("8 characters") << QByteArray("26110004") << vt520sim::Mode::Application << "26110004";
    QTest::newRow("10 characters, application")
        << QByteArray("2611000420") << vt520sim::Mode::Application << "2611000420";
    QTest::newRow("11 characters, bootloader")
        << QByteArray("2611000420") << vt520sim::Mode::Bootloader << "2611000420b";
}

void TestUpgraderSequence::serialOfNeitherMode()
{
    QFETCH(QByteArray, serial);
    QFETCH(vt520sim::Mode, mode);
    QFETCH(QString, shown);
    auto &bus = vt520sim::Bus::instance();
    addDevice(mode, serial);

    USBVT350 usb;
    Run run;
    run(usb, fixture.fileName);

    QCOMPARE(run.lines,
             (QStringList{fixture.fileName, shown, "1.00", UpgradeFixture::versionDate(), "Serial:" + shown}));
    QCOMPARE(run.outcome, FirmwareChange::Outcome::NotIdentified);
    QCOMPARE(bus.requestCount(3), 0);
    QCOMPARE(bus.requestCount(4), 0);
    QCOMPARE(bus.requestCount(6), 0);
}

void TestUpgraderSequence::versionBlockUnreadable()
{
    auto &bus = vt520sim::Bus::instance();
    addDevice(vt520sim::Mode::Bootloader);
    bus.failRequest(1, LIBUSB_ERROR_IO, vt520sim::Never);

    USBVT350 usb;
    Run run;
    run(usb, fixture.fileName);

    QCOMPARE(run.lines, (QStringList{fixture.fileName, "261100042b", "Bootloader Version Read Error"}));
    QCOMPARE(run.outcome, FirmwareChange::Outcome::NotIdentified);
    QCOMPARE(bus.requestCount(3), 0);
}

void TestUpgraderSequence::deviceWithAnotherTransferKey_data()
{
    QTest::addColumn<bool>("fromBootloader");
    QTest::newRow("application mode") << false;
    QTest::newRow("bootloader mode") << true;
}

// A device that scrambles with another key returns its version block as
// noise; the change stops there, before the reset and before any write.
void TestUpgraderSequence::deviceWithAnotherTransferKey()
{
    QFETCH(bool, fromBootloader);
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = addDevice(fromBootloader ? vt520sim::Mode::Bootloader : vt520sim::Mode::Application);
    QByteArray otherKey(128, '\0');
    for (int i = 0; i < otherKey.size(); ++i)
        otherKey[i] = char(i * 37 + 11);
    QVERIFY(device.setTransferKey(otherKey));
    const QByteArray internalBefore = device.internalFlash(0x08000000, 0x40000);
    const QByteArray externalBefore = device.externalFlash(0, 0x14000);

    USBVT350 usb;
    Run run;
    run(usb, fixture.fileName);

    QVERIFY(run.lines.size() >= 5);
    QVERIFY2(run.lines.last().startsWith("The device does not use this tool's transfer key"),
             qPrintable(run.lines.last()));
    QVERIFY(!run.lines.contains("Reset device"));
    QCOMPARE(run.outcome, FirmwareChange::Outcome::NotIdentified);
    QCOMPARE(bus.requestCount(1), 1); // the version block only
    QCOMPARE(bus.requestCount(3), 0);
    QCOMPARE(bus.requestCount(4), 0);
    QCOMPARE(bus.requestCount(6), 0);
    QCOMPARE(device.internalFlash(0x08000000, 0x40000), internalBefore);
    QCOMPARE(device.externalFlash(0, 0x14000), externalBefore);
    QCOMPARE(device.mode(), fromBootloader ? vt520sim::Mode::Bootloader : vt520sim::Mode::Application);
}

void TestUpgraderSequence::rejectedFile_data()
{
    QTest::addColumn<int>("cutAt");        // -1: whole file
    QTest::addColumn<QByteArray>("patch"); // bytes written at patchOffset
    QTest::addColumn<int>("patchOffset");
    QTest::addColumn<QString>("text");

    QTest::newRow("other header") << -1 << QByteArray("\0W", 2) << 4 << "Wrong file header";
    QTest::newRow("other version") << -1
                                   << QByteArray("\0"
                                                 "2",
                                                 2)
                                   << 60 << "Wrong file version";
    QTest::newRow("short image") << 200000 << QByteArray() << 0 << "Wrong file size";
    QTest::newRow("only the header") << 54 << QByteArray() << 0 << "Wrong file version";
    QTest::newRow("empty file") << 0 << QByteArray() << 0 << "Wrong file header";
    QTest::newRow("image length too large") << -1 << QByteArray::fromHex("00040001") << 62 << "Wrong file size";
    // One byte changed after the file was made: the region no longer adds
    // up to its sum word, and no unit may get it.
    QTest::newRow("application byte changed")
        << -1 << QByteArray("\x5A", 1) << 66 + 0x4000 + 0x1234
        << "The file %1 is damaged: its application region does not match its sum. Nothing was sent to the Vt520.";
    QTest::newRow("application sum word changed")
        << -1 << QByteArray("\x01", 1) << 66 + 0x1FFFC
        << "The file %1 is damaged: its application region does not match its sum. Nothing was sent to the Vt520.";
    QTest::newRow("external flash byte changed")
        << -1 << QByteArray("\x5A", 1) << 66 + 0x20000 + 0x777
        << "The file %1 is damaged: its external flash region does not match its sum. Nothing was sent to the Vt520.";
}

void TestUpgraderSequence::rejectedFile()
{
    QFETCH(int, cutAt);
    QFETCH(QByteArray, patch);
    QFETCH(int, patchOffset);
    QFETCH(QString, text);

    QByteArray file = HexFiles::readFile(fixture.fileName);
    if (cutAt >= 0)
        file.truncate(cutAt);
    if (!patch.isEmpty()) {
        QVERIFY(file.mid(patchOffset, patch.size()) != patch);
        file.replace(patchOffset, patch.size(), patch);
    }
    const QString name = dir->filePath("bad.upg");
    // Messages name files as the system writes paths.
    if (text.contains("%1"))
        text = text.arg(QDir::toNativeSeparators(name));
    QVERIFY(HexFiles::writeFile(name, file));

    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = addDevice(vt520sim::Mode::Bootloader);
    const QByteArray before = device.internalFlash(0x08000000, 0x40000);
    USBVT350 usb;
    Run run;
    run(usb, name);

    QCOMPARE(run.lines, (QStringList{name, text}));
    QCOMPARE(run.outcome, FirmwareChange::Outcome::FileRefused);
    QVERIFY(run.percents.isEmpty());
    // Not a single device command, not even a connection.
    QVERIFY(bus.transferLog().isEmpty());
    QCOMPARE(device.internalFlash(0x08000000, 0x40000), before);
}

void TestUpgraderSequence::emptyFileName()
{
    auto &bus = vt520sim::Bus::instance();
    addDevice(vt520sim::Mode::Bootloader);
    USBVT350 usb;
    Run run;
    run(usb, QString());
    run(usb, QString(""));
    QVERIFY(run.lines.isEmpty());
    QVERIFY(run.percents.isEmpty());
    QVERIFY(bus.transferLog().isEmpty());
}

void TestUpgraderSequence::pageReadsBackDifferently()
{
    vt520sim::Device &device = addDevice(vt520sim::Mode::Application);
    // Page 6 reads back with one bit flipped, once; its stored bytes are right.
    device.corruptReadBack(0x08004000 + 5 * 1024 + 7, 0x01, 1);

    USBVT350 usb;
    Run run;
    run(usb, fixture.fileName);

    QStringList expected = UpgradeFixture::linesFromApplication(fixture.fileName, "261100042");
    expected.insert(expected.indexOf("Writting firmware ... ") + 1, "ERROR");
    QCOMPARE(run.lines, expected);
    QCOMPARE(run.percents, UpgradeFixture::percents());
    QVERIFY(!run.succeeded); // the page was not seen to hold the new firmware
    QCOMPARE(run.outcome, FirmwareChange::Outcome::PagesDiffer);
    verifyDeviceHolds(device, fixture);
    vt520sim::Bus::instance().advanceClock(2000);
    QCOMPARE(device.mode(), vt520sim::Mode::Application);
}

void TestUpgraderSequence::pageReadBackFails_data()
{
    QTest::addColumn<int>("failures");
    QTest::addColumn<bool>("recovered");
    QTest::newRow("once: the page is written and read again") << 1 << true;
    QTest::newRow("as often as a page is tried") << FirmwareChange::PageAttempts << false;
}

// The read-back of the first page fails; the next try reconnects, writes
// the page again and reads it back. A page never read back is reported,
// and the change goes on.
void TestUpgraderSequence::pageReadBackFails()
{
    QFETCH(int, failures);
    QFETCH(bool, recovered);
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = addDevice(vt520sim::Mode::Bootloader);

    USBVT350 usb;
    Run run;
    run.onSay = [&](const QString &line) {
        if (line == "Writting firmware ... ")
            bus.failRequest(1, LIBUSB_ERROR_IO, failures);
    };
    run(usb, fixture.fileName);

    QStringList expected = UpgradeFixture::linesFromBootloader(fixture.fileName, "261100042");
    if (!recovered)
        expected.insert(expected.indexOf("Writting firmware ... ") + 1, "ERROR");
    QCOMPARE(run.lines, expected);
    QCOMPARE(run.percents, UpgradeFixture::percents());
    // One page went unchecked when it was never read back.
    QCOMPARE(run.outcome, recovered ? FirmwareChange::Outcome::Changed : FirmwareChange::Outcome::PagesDiffer);
    QCOMPARE(bus.requestCount(3), ApplicationPages + std::min(failures, FirmwareChange::PageAttempts - 1));
    verifyDeviceHolds(device, fixture);
}

void TestUpgraderSequence::pageGlitch_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("replugAfterMs");
    QTest::newRow("first page, back at once") << 1 << 0;
    QTest::newRow("a page, back after 500 ms") << 50 << 500;
    QTest::newRow("last page, back after 2 s") << ApplicationPages << 2000;
}

// A cable glitch while the pages are written: the unit leaves the bus at
// the chosen page's write and comes back with its state; the change waits
// for it, writes the page again and completes.
void TestUpgraderSequence::pageGlitch()
{
    QFETCH(int, page);
    QFETCH(int, replugAfterMs);
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = addDevice(vt520sim::Mode::Bootloader);

    USBVT350 usb;
    Run run;
    // The next transfer is the page's write: after the line before the
    // pages, or after the percent of the page before it (the first percent
    // comes before the unit is even looked for).
    int percents = 0;
    run.onSay = [&](const QString &line) {
        if (page == 1 && line == "Writting firmware ... ")
            bus.unplugAtTransfer(1, replugAfterMs);
    };
    run.onPercent = [&](int) {
        if (page > 1 && percents++ == page - 1)
            bus.unplugAtTransfer(1, replugAfterMs);
    };
    run(usb, fixture.fileName);

    QCOMPARE(run.lines, UpgradeFixture::linesFromBootloader(fixture.fileName, "261100042"));
    QCOMPARE(run.outcome, FirmwareChange::Outcome::Changed);
    QVERIFY(transfersToAGoneUnit() >= 1);
    QCOMPARE(bus.requestCount(3), ApplicationPages + 1);
    verifyDeviceHolds(device, fixture);
    QCOMPARE(device.mode(), vt520sim::Mode::Application);
}

void TestUpgraderSequence::pageWriteFails()
{
    auto &bus = vt520sim::Bus::instance();
    addDevice(vt520sim::Mode::Bootloader);

    USBVT350 usb;
    Run run;
    run.onSay = [&](const QString &line) {
        if (line == "Writting firmware ... ")
            bus.failRequest(3, LIBUSB_ERROR_TIMEOUT, vt520sim::Never);
    };
    run(usb, fixture.fileName);

    QCOMPARE(run.lines, (QStringList{fixture.fileName, "261100042b", "1.00", UpgradeFixture::versionDate(),
                                     "Bootloader mode", "Writting firmware ... ", "ERROR"}));
    QCOMPARE(run.outcome, FirmwareChange::Outcome::PageWriteFailed);
    QCOMPARE(run.percents, QList<int>{0});
    QCOMPARE(bus.requestCount(6), 0);
    QCOMPARE(bus.requestCount(4), 0);
}

void TestUpgraderSequence::externalFlashWriteFails()
{
    auto &bus = vt520sim::Bus::instance();
    addDevice(vt520sim::Mode::Bootloader);
    bus.failRequest(6, LIBUSB_ERROR_IO, vt520sim::Never);

    USBVT350 usb;
    Run run;
    run(usb, fixture.fileName);

    QStringList expected = UpgradeFixture::linesFromBootloader(fixture.fileName, "261100042");
    expected = expected.mid(0, expected.indexOf("Writting External Flash ... ") + 1) << "Error";
    QCOMPARE(run.lines, expected);
    QCOMPARE(run.percents, UpgradeFixture::percents());
    QCOMPARE(run.outcome, FirmwareChange::Outcome::ExternalFlashFailed);
    QCOMPARE(run.failure.kind, Failure::Kind::Refused);
    QCOMPARE(run.failure.request, 6);
    QCOMPARE(run.failure.detail, QString("LIBUSB_ERROR_IO"));
    QCOMPARE(bus.requestCount(6), 101); // the first try and 100 retries
    QCOMPARE(bus.requestCount(5), 0);
    QCOMPARE(bus.requestCount(4), 0);
}

void TestUpgraderSequence::externalFlashReadFails()
{
    auto &bus = vt520sim::Bus::instance();
    addDevice(vt520sim::Mode::Bootloader);
    bus.failRequest(5, LIBUSB_ERROR_IO, vt520sim::Never);

    USBVT350 usb;
    Run run;
    run(usb, fixture.fileName);

    QStringList expected = UpgradeFixture::linesFromBootloader(fixture.fileName, "261100042");
    expected = expected.mid(0, expected.indexOf("Verify External Flash ...  ") + 1) << "Error";
    QCOMPARE(run.lines, expected);
    QCOMPARE(run.outcome, FirmwareChange::Outcome::ExternalFlashFailed);
    QCOMPARE(run.failure.kind, Failure::Kind::Refused);
    QCOMPARE(run.failure.request, 5);
    QCOMPARE(bus.requestCount(4), 0);
}

void TestUpgraderSequence::externalFlashDiffers()
{
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = addDevice(vt520sim::Mode::Bootloader);

    USBVT350 usb;
    Run run;
    // Something changes four stored bytes between the write and the read.
    run.onSay = [&](const QString &line) {
        if (line == "Verify External Flash ...  ")
            device.setExternalFlash(0x1000, QByteArray::fromHex("DEADBEEF"));
    };
    run(usb, fixture.fileName);

    QStringList expectedStart = UpgradeFixture::linesFromBootloader(fixture.fileName, "261100042");
    expectedStart = expectedStart.mid(0, expectedStart.indexOf("Verify External Flash ...  ") + 1);
    QCOMPARE(run.outcome, FirmwareChange::Outcome::ExternalFlashDiffers);
    QCOMPARE(run.lines.size(), expectedStart.size() + 5);
    QCOMPARE(run.lines.mid(0, expectedStart.size()), expectedStart);
    QCOMPARE(run.lines.mid(expectedStart.size()),
             (QStringList{"Error", "read_buffer", run.lines.at(expectedStart.size() + 2), "ext_datas.data()",
                          run.lines.last()}));

    QByteArray readBack = device.externalFlash(0, 0x14000);
    DecodeBuffer(reinterpret_cast<unsigned char *>(readBack.data()), unsigned(readBack.size()));
    const QByteArray plain = fixture.externalRegion();
    QVERIFY(readBack != plain);
    const auto dumpOf = [](const QByteArray &bytes) {
        return QString::fromLatin1(HexDump(reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size()));
    };
    // 81920 bytes: 5120 rows of 16 after the header line.
    const QString readDump = run.lines.at(expectedStart.size() + 2);
    QCOMPARE(readDump.count('\n'), 1 + 5120);
    QCOMPARE(withoutHeader(readDump), withoutHeader(dumpOf(readBack)));
    QCOMPARE(withoutHeader(run.lines.last()), withoutHeader(dumpOf(plain)));
    QVERIFY(readDump.startsWith("\n src address: 0x"));
    QCOMPARE(bus.requestCount(4), 0); // the application is not started
}

void TestUpgraderSequence::unitDoesNotRunTheNewFirmware_data()
{
    QTest::addColumn<QString>("trouble");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<bool>("inBootloader");
    QTest::newRow("the start request stalls") << "stall" << int(FirmwareChange::Outcome::StayedInBootloader) << true;
    QTest::newRow("unplugged at the start, back in its bootloader")
        << "unplug" << int(FirmwareChange::Outcome::StayedInBootloader) << true;
    QTest::newRow("unplugged at the start for good") << "gone" << int(FirmwareChange::Outcome::NotBack) << false;
    QTest::newRow("its own sum check refuses the application")
        << "damaged" << int(FirmwareChange::Outcome::StayedInBootloader) << true;
}

// Every transfer of the writing went through, yet the unit does not run the
// new firmware: the change has failed, whatever the lines before said.
void TestUpgraderSequence::unitDoesNotRunTheNewFirmware()
{
    QFETCH(QString, trouble);
    QFETCH(int, outcome);
    QFETCH(bool, inBootloader);
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = addDevice(vt520sim::Mode::Bootloader);

    USBVT350 usb;
    Run run;
    int oks = 0;
    run.onSay = [&](const QString &line) {
        // The third "OK" closes the verification; the start comes next.
        if (line != "OK" || ++oks != 3)
            return;
        if (trouble == "stall")
            bus.failRequest(4, LIBUSB_ERROR_PIPE, 1);
        else if (trouble == "unplug")
            bus.unplugAtTransfer(1, 300);
        else if (trouble == "gone")
            bus.unplugAtTransfer(1, 3600 * 1000);
        else
            device.setInternalFlash(0x08004000 + 0x100, QByteArray("\xA5", 1));
    };
    run(usb, fixture.fileName);

    QCOMPARE(run.lines, UpgradeFixture::linesFromBootloader(fixture.fileName, "261100042"));
    QVERIFY(!run.succeeded);
    QCOMPARE(int(run.outcome), outcome);
    QVERIFY2(run.verdict.startsWith("Failed: "), qPrintable(run.verdict));
    QVERIFY2(run.verdict.contains("run the change again", Qt::CaseInsensitive), qPrintable(run.verdict));
    if (trouble == "stall")
        QVERIFY2(run.verdict.contains("request to start"), qPrintable(run.verdict));
    QCOMPARE(device.isPresent(), inBootloader);
    if (inBootloader)
        QCOMPARE(device.mode(), vt520sim::Mode::Bootloader);
}

void TestUpgraderSequence::externalFlashGlitch_data()
{
    QTest::addColumn<int>("request");
    QTest::addColumn<int>("occurrence");
    QTest::addColumn<int>("replugAfterMs");
    QTest::newRow("first write chunk, back at once") << 6 << 1 << 0;
    QTest::newRow("a write chunk, back after 500 ms") << 6 << 100 << 500;
    QTest::newRow("last write chunk, back after 2 s") << 6 << 320 << 2000;
    QTest::newRow("a read chunk, back after 500 ms") << 5 << 80 << 500;
}

// A cable glitch in the external flash transfers: the unit leaves the bus
// and comes back with its state; the change waits for it and completes.
void TestUpgraderSequence::externalFlashGlitch()
{
    QFETCH(int, request);
    QFETCH(int, occurrence);
    QFETCH(int, replugAfterMs);
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = addDevice(vt520sim::Mode::Bootloader);

    USBVT350 usb;
    Run run;
    int seen = 0;
    bool armed = false;
    // Each transfer's log entry is made as it happens: arm the unplug for
    // the next transfer once the one before the chosen chunk is logged.
    run.onSay = [&](const QString &line) {
        if (line == (request == 6 ? "Writting External Flash ... " : "Verify External Flash ...  "))
            armed = true;
    };
    QObject::connect(&usb, request == 6 ? &USBVT350::sendPercentExtFlashWrite : &USBVT350::sendPercentExtFlashRead,
                     &usb, [&](int) {
                         if (armed && ++seen == occurrence - 1)
                             bus.unplugAtTransfer(1, replugAfterMs);
                     });
    if (occurrence == 1)
        run.onSay = [&](const QString &line) {
            if (line == (request == 6 ? "Writting External Flash ... " : "Verify External Flash ...  "))
                bus.unplugAtTransfer(1, replugAfterMs);
        };
    run(usb, fixture.fileName);

    QCOMPARE(run.lines, UpgradeFixture::linesFromBootloader(fixture.fileName, "261100042"));
    QCOMPARE(run.outcome, FirmwareChange::Outcome::Changed);
    QVERIFY(transfersToAGoneUnit() >= 1);
    verifyDeviceHolds(device, fixture);
    QCOMPARE(device.mode(), vt520sim::Mode::Application);
}

void TestUpgraderSequence::unitStopsAnswering_data()
{
    QTest::addColumn<QString>("trouble");
    QTest::addColumn<int>("limitMs");
    QTest::addColumn<Failure::Kind>("failure");
    // Each silent chunk holds the transfer for its 2 s timeout.
    QTest::newRow("every write chunk times out") << "silent" << 32000 << Failure::Kind::NotAnswering;
    QTest::newRow("unplugged for good") << "gone" << 10000 << Failure::Kind::NotAnswering;
}

// A unit that does not answer at all ends the external flash phase in
// bounded time, with a line that says so, instead of spending every retry.
void TestUpgraderSequence::unitStopsAnswering()
{
    QFETCH(QString, trouble);
    QFETCH(int, limitMs);
    QFETCH(Failure::Kind, failure);
    auto &bus = vt520sim::Bus::instance();
    addDevice(vt520sim::Mode::Bootloader);

    USBVT350 usb;
    Run run;
    qint64 phaseStart = -1;
    run.onSay = [&](const QString &line) {
        if (line != "Writting External Flash ... ")
            return;
        phaseStart = bus.nowMs();
        if (trouble == "silent")
            bus.failRequest(6, LIBUSB_ERROR_TIMEOUT, vt520sim::Never);
        else
            bus.unplugAtTransfer(1, 3600 * 1000);
    };
    run(usb, fixture.fileName);

    QStringList expected = UpgradeFixture::linesFromBootloader(fixture.fileName, "261100042");
    expected = expected.mid(0, expected.indexOf("Writting External Flash ... ") + 1) << "Error";
    QCOMPARE(run.lines, expected);
    QCOMPARE(run.outcome, FirmwareChange::Outcome::StoppedAnswering);
    QCOMPARE(run.failure.kind, failure);
    QVERIFY2(run.verdict.contains("stopped answering"), qPrintable(run.verdict));
    QVERIFY(phaseStart >= 0);
    const qint64 phase = bus.nowMs() - phaseStart;
    QVERIFY2(phase <= limitMs, qPrintable(QString::number(phase)));
    QVERIFY(bus.requestCount(6) < 101);
    QCOMPARE(bus.requestCount(4), 0);
}

void TestUpgraderSequence::stopBetweenExternalFlashChunks_data()
{
    QTest::addColumn<int>("request");   // the chunks counted: 6 write, 5 read back
    QTest::addColumn<int>("chunks");    // stop asked for once this many went; -1: never
    QTest::addColumn<int>("writes");    // write chunks sent in all
    QTest::addColumn<int>("reads");     // read chunks sent in all
    QTest::addColumn<bool>("complete"); // every write read back equal before the stop
    // 80 KiB: 320 write chunks of 256 bytes, 160 read chunks of 512.
    QTest::newRow("during the write") << 6 << 3 << 3 << 0 << false;
    QTest::newRow("before the last write chunk") << 6 << 319 << 319 << 0 << false;
    QTest::newRow("during the read-back") << 5 << 7 << 320 << 7 << false;
    QTest::newRow("after the read-back, before the start") << 5 << 160 << 320 << 160 << true;
    QTest::newRow("never") << 5 << -1 << 320 << 160 << true;
}

// A stop asked for during the external flash transfer ends the change
// before the next chunk, with the unit in its bootloader and never started;
// without one the traffic is the whole transfer.
void TestUpgraderSequence::stopBetweenExternalFlashChunks()
{
    QFETCH(int, request);
    QFETCH(int, chunks);
    QFETCH(int, writes);
    QFETCH(int, reads);
    QFETCH(bool, complete);
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = addDevice(vt520sim::Mode::Bootloader);

    USBVT350 usb;
    Run run;
    run.stopRequested = [&] { return chunks >= 0 && bus.requestCount(uint8_t(request)) >= chunks; };
    run(usb, fixture.fileName);

    QCOMPARE(bus.requestCount(6), writes);
    QCOMPARE(bus.requestCount(5), reads);
    QCOMPARE(run.firmwareComplete, complete);
    if (chunks < 0) {
        QCOMPARE(run.outcome, FirmwareChange::Outcome::Changed);
        verifyDeviceHolds(device, fixture);
        return;
    }
    QCOMPARE(run.outcome, FirmwareChange::Outcome::Stopped);
    QCOMPARE(run.verdict, "Stopped on request: the Vt520 is in its bootloader; run the change again.");
    QVERIFY(!run.lines.contains("Error"));
    QCOMPARE(run.lines.last(), complete       ? QString("OK")
                               : request == 6 ? QString("Writting External Flash ... ")
                                              : "Verify External Flash ...  ");
    QCOMPARE(bus.requestCount(4), 0);
    QCOMPARE(device.mode(), vt520sim::Mode::Bootloader);
}

void TestUpgraderSequence::stopBeforeTheReset_data()
{
    QTest::addColumn<vt520sim::Mode>("mode");
    QTest::newRow("application") << vt520sim::Mode::Application;
    QTest::newRow("bootloader") << vt520sim::Mode::Bootloader;
}

// A stop asked for before the change touched the unit ends it after the
// identification: no reset, no page, the unit in the mode it was found in
// with its firmware, and a verdict that says it is unchanged.
void TestUpgraderSequence::stopBeforeTheReset()
{
    QFETCH(vt520sim::Mode, mode);
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = addDevice(mode);
    const QByteArray before = device.internalFlash(vt520sim::ApplicationBase, 4096);

    USBVT350 usb;
    Run run;
    run.stopRequested = [] { return true; };
    run(usb, fixture.fileName);

    QCOMPARE(run.outcome, FirmwareChange::Outcome::StoppedUntouched);
    QCOMPARE(run.verdict, "Stopped on request before anything was written: the Vt520 is unchanged.");
    QVERIFY(!run.lines.contains("Reset device"));
    QVERIFY(!run.lines.contains("Writting firmware ... "));
    QCOMPARE(bus.requestCount(4), 0);
    QCOMPARE(bus.requestCount(3), 0);
    QCOMPARE(bus.requestCount(6), 0);
    QCOMPARE(device.mode(), mode);
    QCOMPARE(device.internalFlash(vt520sim::ApplicationBase, 4096), before);
}

void TestUpgraderSequence::compareReadsBackOnly_data()
{
    using Result = FirmwareChange::Comparison::Result;
    QTest::addColumn<vt520sim::Mode>("mode");
    QTest::addColumn<quint32>("internal"); // a changed byte's device address; 0: none
    QTest::addColumn<int>("external");     // a changed byte's external flash offset; -1: none
    QTest::addColumn<int>("stopAfter");    // a stop asked for once this many reads of request 1 and 5 went; -1: never
    QTest::addColumn<Result>("result");
    QTest::addColumn<quint32>("address");
    QTest::newRow("application, identical") << vt520sim::Mode::Application << 0u << -1 << -1 << Result::Identical << 0u;
    QTest::newRow("bootloader, identical") << vt520sim::Mode::Bootloader << 0u << -1 << -1 << Result::Identical << 0u;
    QTest::newRow("last page")
        << vt520sim::Mode::Application << 0x0801FC00u << -1 << -1 << Result::PageDiffers << 0x0801FC00u;
    QTest::newRow("first chunk") << vt520sim::Mode::Bootloader << 0u << 0 << -1 << Result::ChunkDiffers << 0u;
    QTest::newRow("last byte of the first chunk")
        << vt520sim::Mode::Application << 0u << 0x1FF << -1 << Result::ChunkDiffers << 0u;
    QTest::newRow("chunk at 0x13E00")
        << vt520sim::Mode::Application << 0u << 0x13E01 << -1 << Result::ChunkDiffers << 0x13E00u;
    // The version block is not read: the first read is the first page.
    QTest::newRow("stopped between pages") << vt520sim::Mode::Application << 0u << -1 << 5 << Result::Stopped << 0u;
    QTest::newRow("stopped between chunks")
        << vt520sim::Mode::Bootloader << 0u << -1 << 112 + 3 << Result::Stopped << 0u;
}

// compare() reads every page and the external flash region back as the
// change verifies them and names the first difference; it writes nothing,
// neither resets nor starts the unit, and stops on request between reads.
void TestUpgraderSequence::compareReadsBackOnly()
{
    using Result = FirmwareChange::Comparison::Result;
    QFETCH(vt520sim::Mode, mode);
    QFETCH(quint32, internal);
    QFETCH(int, external);
    QFETCH(int, stopAfter);
    QFETCH(Result, result);
    QFETCH(quint32, address);
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = addDevice(mode);
    device.setInternalFlash(0x08004000, fixture.applicationRegion());
    device.setExternalFlash(0, fixture.storedExternalRegion());
    if (internal)
        device.setInternalFlash(internal, QByteArray(1, char(device.internalFlash(internal, 1)[0] ^ 1)));
    if (external >= 0)
        device.setExternalFlash(quint32(external),
                                QByteArray(1, char(device.externalFlash(quint32(external), 1)[0] ^ 1)));
    bus.clearTransferLog();

    USBVT350 usb;
    EmulatorClock clock;
    clock.stop = [&] { return stopAfter >= 0 && bus.requestCount(1) + bus.requestCount(5) >= stopAfter; };
    FirmwareChange change(usb, FirmwareChange::Callbacks(), clock);
    const UpgradeFile::Contents contents = UpgradeFile::read(fixture.fileName);
    QCOMPARE(contents.status, UpgradeFile::Status::Ok);
    const FirmwareChange::Comparison comparison = change.compare(contents);
    QCOMPARE(comparison.result, result);
    QCOMPARE(comparison.address, address);
    QCOMPARE(comparison.mode, mode == vt520sim::Mode::Bootloader ? DeviceMode::Bootloader : DeviceMode::Application);
    if (stopAfter >= 0)
        QCOMPARE(bus.requestCount(1) + bus.requestCount(5), stopAfter);
    for (const uint8_t request : {2, 3, 4, 6, 7, 8})
        QCOMPARE(bus.requestCount(request), 0);
    QCOMPARE(device.mode(), mode);
}

QTEST_GUILESS_MAIN(TestUpgraderSequence)
#include "test_upgrader_sequence.moc"
