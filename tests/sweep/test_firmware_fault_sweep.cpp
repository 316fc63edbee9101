// The firmware change from application mode with one fault at each of its
// transfers in turn: the reset, the wait for the bootloader, every page write
// and read-back, every external flash chunk, the final start and the look
// for the unit after it. Whatever the fault, the change ends in one of its
// designed endings with its verdict (or completes, since the external flash
// transfers retry and wait for a unit that left the bus), counts as
// completed only when the unit is back in its application on the new
// firmware, never touches the bootloader or the user data in the external
// flash, and a clean change right after it brings the device to the file's
// firmware. Everything runs on the emulator's virtual
// clock, so the waits of the sequence cost nothing.
#include "ChangeOutcome.h"
#include "FailOnWarnings.h"
#include "FaultKind.h"
#include "SweepChange.h"
#include "UpgradeFixture.h"
#include "firmware/Upgrader.h"
#include "sim/Vt520Sim.h"
#include "usb/USBVT350.h"

#include <QMap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <libusb.h>

namespace {

constexpr char Serial[] = "261100042";
// Programs and scenes live here, past the firmware's part of the external flash.
constexpr uint32_t UserDataAddress = 0x14000;
constexpr uint32_t UserDataSize = 0xC000;
// The pause before the user tries again, and the wait for the started
// application to come back on the bus (re-enumeration takes 1000 ms).
constexpr int64_t RetryPauseMs = 3000;
constexpr int64_t ApplicationStartMs = 2000;

bool isVendorRequest(const vt520sim::TransferRecord &record, uint8_t request)
{
    return !record.bulk && (record.requestType & 0x60) == 0x40 && record.request == request;
}

bool isExternalFlashTransfer(const vt520sim::TransferRecord &record)
{
    return isVendorRequest(record, USBVT350::RequestReadExternalFlash)
           || isVendorRequest(record, USBVT350::RequestWriteExternalFlash);
}

QString describe(const vt520sim::TransferRecord &record)
{
    const quint32 address = quint32(record.index) << 16 | record.value;
    if ((record.requestType & 0x60) == 0x00)
        return QStringLiteral("standard request %1 (descriptor 0x%2)").arg(record.request).arg(record.value, 0, 16);
    switch (record.request) {
    case USBVT350::RequestDeviceId:
        return QStringLiteral("device id request");
    case USBVT350::RequestRunApplication:
        return QStringLiteral("request 4 (run application)");
    default:
        return QStringLiteral("request %1 at 0x%2, %3 bytes")
            .arg(record.request)
            .arg(address, 8, 16, QLatin1Char('0'))
            .arg(record.length);
    }
}

// The sweep's rows may be dealt over several processes: VT520_SWEEP_PART=k/n
// keeps the rows whose index is k-1 modulo n (all rows where it is unset).
// Dealing by index keeps every row in exactly one part whatever rows are added.
bool rowInThisPart(int row)
{
    const QStringList part = qEnvironmentVariable("VT520_SWEEP_PART").split(QLatin1Char('/'));
    if (part.size() != 2)
        return true;
    const int which = part.at(0).toInt();
    const int parts = part.at(1).toInt();
    if (parts < 1 || which < 1 || which > parts)
        qFatal("VT520_SWEEP_PART must be k/n with 1 <= k <= n");
    return row % parts == which - 1;
}

// Debug lines of the code under test would run to millions in the sweep.
QtMessageHandler previousHandler = nullptr;
void dropDebugLines(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && previousHandler)
        previousHandler(type, context, message);
}

// Lines of a completed change with the page read-back reports taken out and
// an empty serial (a failed descriptor read after the reconnect) filled in.
QStringList withoutReadBackReports(QStringList lines, const QString &bootloaderSerial)
{
    lines.removeAll(QStringLiteral("ERROR"));
    for (QString &line : lines)
        if (line == QLatin1String("Serial:"))
            line += bootloaderSerial;
    return lines;
}

} // namespace

class TestFirmwareFaultSweep : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void initTestCase();
    void cleanupTestCase();
    void emulatorUnplugsAtTheOrderedTransfer_data();
    void emulatorUnplugsAtTheOrderedTransfer();
    void sweep_data();
    void sweep();
    void faultThroughTheUpgraderThread_data();
    void faultThroughTheUpgraderThread();

private:
    vt520sim::Device &freshDevice();
    int positionOf(uint8_t request, int occurrence) const;
    QString sweepOne(const FaultKind &kind, int position, ChangeOutcome *outcome);
    QString checkUntouched(vt520sim::Device &device) const;
    QString checkHoldsFirmware(vt520sim::Device &device) const;

    QTemporaryDir dir;
    UpgradeFixture fixture;
    QByteArray userData;
    QByteArray bootloaderArea;
    QList<vt520sim::TransferRecord> cleanTransfers;
    int totalTried = 0;
    int totalSurvived = 0;
};

void TestFirmwareFaultSweep::initTestCase()
{
    previousHandler = qInstallMessageHandler(dropDebugLines);
    QVERIFY(dir.isValid());
    fixture = UpgradeFixture::make(dir.filePath("sweep.upg"), 520);
    QVERIFY(!fixture.fileName.isEmpty());
    userData = HexFiles::randomBytes(int(UserDataSize), 7);

    // The transfers of an undisturbed change: the positions to fault.
    vt520sim::Device &device = freshDevice();
    bootloaderArea = device.internalFlash(vt520sim::InternalFlashBase, vt520sim::BootloaderSize);
    USBVT350 usb;
    const SweepRun clean = runChange(usb, fixture.fileName);
    QCOMPARE(clean.lines, UpgradeFixture::completedFromApplication(fixture.fileName, Serial));
    QCOMPARE(clean.outcome, FirmwareChange::Outcome::Changed);
    QVERIFY(checkHoldsFirmware(device).isEmpty());
    auto &bus = vt520sim::Bus::instance();
    cleanTransfers = bus.transferLog();
    for (const vt520sim::TransferRecord &record : cleanTransfers)
        QVERIFY2(record.result >= 0, qPrintable(describe(record)));
    QCOMPARE(bus.requestCount(USBVT350::RequestWritePage), 112);
    QCOMPARE(bus.requestCount(USBVT350::RequestReadMemory), 1 + 112);
    QCOMPARE(bus.requestCount(USBVT350::RequestWriteExternalFlash), 320);
    QCOMPARE(bus.requestCount(USBVT350::RequestReadExternalFlash), 160);
    QCOMPARE(bus.requestCount(USBVT350::RequestRunApplication), 2);
    qInfo("An undisturbed change from application mode makes %d transfers", int(cleanTransfers.size()));
}

void TestFirmwareFaultSweep::cleanupTestCase()
{
    qInstallMessageHandler(previousHandler);
    qInfo("Fault sweep in all: %d faulted changes tried, %d survived", totalTried, totalSurvived);
}

vt520sim::Device &TestFirmwareFaultSweep::freshDevice()
{
    auto &bus = vt520sim::Bus::instance();
    bus.reset();
    bus.useVirtualClock(true);
    vt520sim::Device &device = bus.addVt520(1, 1, Serial);
    device.setVersionBlock("1.00", UpgradeFixture::versionDate().toLatin1());
    device.setMode(vt520sim::Mode::Application);
    device.setExternalFlash(UserDataAddress, userData);
    return device;
}

// 1-based position in the undisturbed change of the nth (1-based) request.
int TestFirmwareFaultSweep::positionOf(uint8_t request, int occurrence) const
{
    int seen = 0;
    for (int i = 0; i < cleanTransfers.size(); ++i)
        if (isVendorRequest(cleanTransfers.at(i), request) && ++seen == occurrence)
            return i + 1;
    return -1;
}

QString TestFirmwareFaultSweep::checkUntouched(vt520sim::Device &device) const
{
    if (device.internalFlash(vt520sim::InternalFlashBase, vt520sim::BootloaderSize) != bootloaderArea)
        return QStringLiteral("the bootloader area changed");
    if (device.externalFlash(UserDataAddress, UserDataSize) != userData)
        return QStringLiteral("the external flash past the firmware region changed");
    return QString();
}

QString TestFirmwareFaultSweep::checkHoldsFirmware(vt520sim::Device &device) const
{
    if (device.internalFlash(vt520sim::ApplicationBase, UpgradeImage::ApplicationSize) != fixture.applicationRegion())
        return QStringLiteral("the application region differs from the file");
    if (device.externalFlash(0, UpgradeImage::ExternalFlashSize) != fixture.storedExternalRegion())
        return QStringLiteral("the external flash region differs from the file");
    return QString();
}

// One faulted change and the clean change after it. An empty result: the
// device survived.
QString TestFirmwareFaultSweep::sweepOne(const FaultKind &kind, int position, ChangeOutcome *outcome)
{
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = freshDevice();
    USBVT350 usb;

    kind.arm(bus, position);
    const SweepRun run = runChange(usb, fixture.fileName);
    const QStringList &lines = run.lines;
    bus.clearFaults();

    // The fault met the transfer it was meant for, after the same road.
    const QList<vt520sim::TransferRecord> log = bus.transferLog();
    const vt520sim::TransferRecord &planned = cleanTransfers.at(position - 1);
    if (log.size() < position)
        return QStringLiteral("the change made only %1 transfers").arg(log.size());
    const vt520sim::TransferRecord &met = log.at(position - 1);
    if (met.request != planned.request || met.value != planned.value || met.index != planned.index
        || met.result != kind.loggedResult())
        return QStringLiteral("the fault met %1 with result %2").arg(describe(met)).arg(met.result);

    *outcome = classifyOutcome(lines, run.outcome, Serial, device.portPath());
    if (*outcome == ChangeOutcome::Unspecified)
        return QStringLiteral("unspecified ending: ") + lines.mid(qMax(0, int(lines.size()) - 3)).join(" | ");
    // These endings stop at the failed transfer, with no device command after it.
    const bool stopsAtFailure = *outcome == ChangeOutcome::VersionReadError || *outcome == ChangeOutcome::PageWriteError
                                || *outcome == ChangeOutcome::ExternalFlashError;
    if (stopsAtFailure && log.last().result >= 0)
        return QStringLiteral("a device command after the stop: ") + describe(log.last());
    // A device back at once, or after a glitch shorter than the wait for
    // its return, is met again by the retries of the external flash transfers.
    // One back as at power-on is met again too, but runs the new application
    // by then (its sum is valid), so that the final start sends it into its
    // bootloader.
    const bool glitch = kind.type == FaultKind::Unplug || kind.libusbError == LIBUSB_ERROR_NO_DEVICE;
    if (kind.type == FaultKind::PowerOnUnplug) {
        if (isExternalFlashTransfer(planned) && *outcome != ChangeOutcome::Completed
            && *outcome != ChangeOutcome::StayedInBootloader)
            return QStringLiteral("the external flash transfer was not retried: ") + outcomeName(*outcome);
    } else if ((kind.replugAfterMs == 0 || glitch) && isExternalFlashTransfer(planned)
               && *outcome != ChangeOutcome::Completed) {
        return QStringLiteral("the external flash transfer was not retried: ") + outcomeName(*outcome);
    }
    // A page write refused after a power-on: the unit came back in an
    // application whose sum is valid (the old one before the first page
    // landed, the new one after the last), which takes no page writes.
    if (*outcome == ChangeOutcome::PageWriteError
        && (kind.type != FaultKind::PowerOnUnplug || device.mode() != vt520sim::Mode::Application))
        return QStringLiteral("a page write was not retried");
    if (*outcome == ChangeOutcome::Completed || *outcome == ChangeOutcome::PagesDiffer) {
        if (lines.count(QStringLiteral("ERROR")) > 1)
            return QStringLiteral("one fault reported as %1 page errors").arg(lines.count(QStringLiteral("ERROR")));
        const QStringList expected = UpgradeFixture::completedFromApplication(fixture.fileName, Serial);
        if (withoutReadBackReports(lines.mid(0, lines.size() - 1), expected.at(8).mid(7))
            != expected.mid(0, expected.size() - 1))
            return QStringLiteral("written through with other lines: ") + lines.join(" | ");
        const QString held = checkHoldsFirmware(device);
        if (!held.isEmpty())
            return QStringLiteral("written through, but ") + held;
    }
    // Completed is the unit's end state, not the lines': back in its
    // application, on the new firmware.
    if (*outcome == ChangeOutcome::Completed
        && (device.mode() != vt520sim::Mode::Application || !device.isPresent() || !device.applicationSumValid()))
        return QStringLiteral("completed, but the unit does not run its application");
    if (*outcome == ChangeOutcome::StayedInBootloader
        && (!device.isPresent() || device.mode() != vt520sim::Mode::Bootloader))
        return QStringLiteral("reported in its bootloader, but the unit is not");
    QString untouched = checkUntouched(device);
    if (!untouched.isEmpty())
        return untouched;

    // The user tries again a moment later, with the same program.
    bus.advanceClock(RetryPauseMs + kind.replugAfterMs);
    if (!device.isPresent())
        return QStringLiteral("the device is not back on the bus");
    const bool fromBootloader = device.mode() == vt520sim::Mode::Bootloader;
    const SweepRun again = runChange(usb, fixture.fileName);
    const QStringList expected = fromBootloader ? UpgradeFixture::completedFromBootloader(fixture.fileName, Serial)
                                                : UpgradeFixture::completedFromApplication(fixture.fileName, Serial);
    if (again.lines != expected || again.outcome != FirmwareChange::Outcome::Changed)
        return QStringLiteral("the clean change after it did not complete: ") + again.lines.join(" | ");
    bus.advanceClock(ApplicationStartMs);
    const QString held = checkHoldsFirmware(device);
    if (!held.isEmpty())
        return QStringLiteral("after the clean change ") + held;
    if (device.mode() != vt520sim::Mode::Application || !device.isPresent())
        return QStringLiteral("the device did not start its application after the clean change");
    if (!device.applicationSumValid())
        return QStringLiteral("the application sum is not valid after the clean change");
    untouched = checkUntouched(device);
    return untouched.isEmpty() ? QString() : QStringLiteral("after the clean change ") + untouched;
}

void TestFirmwareFaultSweep::emulatorUnplugsAtTheOrderedTransfer_data()
{
    QTest::addColumn<int>("replugAfterMs");
    QTest::newRow("back at once") << 0;
    QTest::newRow("back after 700 ms") << 700;
}

// The sweep's unplug fault itself: the ordered transfer fails as a pulled
// cable does, the open handle stays dead, and the device comes back with
// its state once its time is up.
void TestFirmwareFaultSweep::emulatorUnplugsAtTheOrderedTransfer()
{
    QFETCH(int, replugAfterMs);
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = freshDevice();
    device.setStatus(0x5A);
    USBVT350 usb;
    QCOMPARE(usb.connect(), 0);
    const QByteArray before = device.externalFlash(0, 64);

    bus.clearTransferLog();
    bus.unplugAtTransfer(2, replugAfterMs);
    quint32 status = 0;
    QCOMPARE(usb.StatusGet(&status), 0); // transfer 1 goes through
    QCOMPARE(status, quint32(0x5A));
    QCOMPARE(usb.getSerialString(), QByteArray()); // transfer 2 is met by the pull
    QCOMPARE(bus.transferLog().size(), 2);
    QCOMPARE(bus.transferLog().last().result, int(LIBUSB_ERROR_NO_DEVICE));
    QVERIFY(usb.isConnected());                    // a descriptor read does not drop the handle...
    QCOMPARE(usb.getSerialString(), QByteArray()); // ...but the handle is dead now
    QCOMPARE(bus.transferLog().size(), 3);
    QCOMPARE(bus.transferLog().last().result, int(LIBUSB_ERROR_NO_DEVICE));
    QCOMPARE(device.isPresent(), replugAfterMs == 0);

    if (replugAfterMs > 0) {
        QCOMPARE(usb.StatusGet(&status), -1); // the stale handle fails and is dropped
        QCOMPARE(usb.StatusGet(&status), -1); // nothing on the bus to connect to
        bus.advanceClock(replugAfterMs - 1);
        QVERIFY(!device.isPresent());
        bus.advanceClock(1);
    } else {
        QCOMPARE(usb.StatusGet(&status), -1); // the stale handle fails and is dropped
    }
    QVERIFY(device.isPresent());
    status = 0;
    QCOMPARE(usb.StatusGet(&status), 0); // connects afresh
    QCOMPARE(status, quint32(0x5A));
    QCOMPARE(device.externalFlash(0, 64), before);
    QCOMPARE(device.mode(), vt520sim::Mode::Application);
}

void TestFirmwareFaultSweep::sweep_data()
{
    QTest::addColumn<FaultKind>("kind");
    const QList<QPair<const char *, FaultKind>> rows = {
        {"timeout", FaultKind::failed(LIBUSB_ERROR_TIMEOUT)},
        {"stall", FaultKind::failed(LIBUSB_ERROR_PIPE)},
        {"device gone", FaultKind::failed(LIBUSB_ERROR_NO_DEVICE)},
        {"unplug and replug", FaultKind::unplug(0)},
        // Longer than the waits of the first connection, shorter than the wait for the bootloader.
        {"unplug, replug after 1500 ms", FaultKind::unplug(1500)},
        {"unplug, replug after 4 s", FaultKind::unplug(4000)},
        {"answer lost", FaultKind::answerLost()},
        {"power-on replug", FaultKind::powerOnUnplug(0)},
        {"power-on replug after 1500 ms", FaultKind::powerOnUnplug(1500)},
    };
    for (int row = 0; row < rows.size(); ++row) {
        if (rowInThisPart(row))
            QTest::newRow(rows.at(row).first) << rows.at(row).second;
    }
}

void TestFirmwareFaultSweep::sweep()
{
    QFETCH(FaultKind, kind);
    QMap<ChangeOutcome, int> outcomes;
    QStringList failures;
    int survived = 0;
    const int positions = int(cleanTransfers.size());
    for (int position = 1; position <= positions; ++position) {
        ChangeOutcome outcome = ChangeOutcome::Unspecified;
        const QString failure = sweepOne(kind, position, &outcome);
        ++outcomes[outcome];
        if (failure.isEmpty())
            ++survived;
        else
            failures.append(QStringLiteral("transfer %1 (%2): %3")
                                .arg(position)
                                .arg(describe(cleanTransfers.at(position - 1)), failure));
    }
    totalTried += positions;
    totalSurvived += survived;

    QStringList tally;
    for (auto it = outcomes.cbegin(); it != outcomes.cend(); ++it)
        tally.append(QStringLiteral("%1 %2").arg(outcomeName(it.key())).arg(it.value()));
    qInfo("%s: %d positions tried, %d survived (%s)", qPrintable(kind.name()), positions, survived,
          qPrintable(tally.join(", ")));
    QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 10).join('\n')));
    // Every page write was among the positions, and so was every external
    // flash chunk: the retries carry the change over a short fault at any
    // of them (a unit back as at power-on: see sweepOne).
    if (kind.type != FaultKind::PowerOnUnplug) {
        QCOMPARE(outcomes.value(ChangeOutcome::PageWriteError), 0);
        if (kind.replugAfterMs == 0 || kind.type == FaultKind::Unplug)
            QVERIFY(outcomes.value(ChangeOutcome::Completed) >= 112 + 320 + 160);
    } else {
        // A unit back as at power-on during the external flash phase runs
        // the new application already, and the change sees it so.
        QVERIFY(outcomes.value(ChangeOutcome::Completed) >= 112 + 320 + 160);
    }
    // The start of the application and the look for the unit were among
    // them too: a failed start leaves the unit in its bootloader (one acted
    // on starts it, whatever became of the answer, and a unit back as at
    // power-on starts its valid application itself).
    if (!kind.acted() && kind.type != FaultKind::PowerOnUnplug)
        QVERIFY(outcomes.value(ChangeOutcome::StayedInBootloader) + outcomes.value(ChangeOutcome::NotBack) >= 1);
}

void TestFirmwareFaultSweep::faultThroughTheUpgraderThread_data()
{
    QTest::addColumn<FaultKind>("kind");
    QTest::addColumn<int>("request");
    QTest::addColumn<int>("occurrence");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("changeOutcome");
    QTest::newRow("first page write times out, written again")
        << FaultKind::failed(LIBUSB_ERROR_TIMEOUT) << int(USBVT350::RequestWritePage) << 1
        << int(ChangeOutcome::Completed) << int(FirmwareChange::Outcome::Changed);
    QTest::newRow("unplug in the middle of the external flash write")
        << FaultKind::unplug(0) << int(USBVT350::RequestWriteExternalFlash) << 160 << int(ChangeOutcome::Completed)
        << int(FirmwareChange::Outcome::Changed);
    QTest::newRow("unplug in the external flash write, back after 800 ms")
        << FaultKind::unplug(800) << int(USBVT350::RequestWriteExternalFlash) << 200 << int(ChangeOutcome::Completed)
        << int(FirmwareChange::Outcome::Changed);
    QTest::newRow("the start of the application stalls")
        << FaultKind::failed(LIBUSB_ERROR_PIPE) << int(USBVT350::RequestRunApplication) << 2
        << int(ChangeOutcome::StayedInBootloader) << int(FirmwareChange::Outcome::StayedInBootloader);
}

// The same on the worker thread that the window starts: the lines arrive
// through sendText, and the thread can be started again for the clean change.
void TestFirmwareFaultSweep::faultThroughTheUpgraderThread()
{
    QFETCH(FaultKind, kind);
    QFETCH(int, request);
    QFETCH(int, occurrence);
    QFETCH(int, outcome);
    QFETCH(int, changeOutcome);
    const int position = positionOf(uint8_t(request), occurrence);
    QVERIFY(position > 0);

    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = freshDevice();
    USBVT350 usb;
    Upgrader upgrader(&usb);
    EmulatorClock clock;
    upgrader.setClock(&clock);
    QSignalSpy said(&upgrader, &Upgrader::sendText);
    upgrader.slotSetFileName(fixture.fileName);

    kind.arm(bus, position);
    upgrader.start();
    QVERIFY(upgrader.wait(120000));
    bus.clearFaults();
    QStringList lines;
    for (const QList<QVariant> &arguments : said)
        lines.append(arguments.at(0).toString());
    QCOMPARE(int(classifyOutcome(lines, FirmwareChange::Outcome(changeOutcome), Serial, device.portPath())), outcome);
    QCOMPARE(bus.transferLog().at(position - 1).result, kind.loggedResult());
    QCOMPARE(checkUntouched(device), QString());

    bus.advanceClock(RetryPauseMs);
    const bool fromBootloader = device.mode() == vt520sim::Mode::Bootloader;
    said.clear();
    upgrader.start();
    QVERIFY(upgrader.wait(120000));
    lines.clear();
    for (const QList<QVariant> &arguments : said)
        lines.append(arguments.at(0).toString());
    QCOMPARE(lines, fromBootloader ? UpgradeFixture::completedFromBootloader(fixture.fileName, Serial)
                                   : UpgradeFixture::completedFromApplication(fixture.fileName, Serial));
    bus.advanceClock(ApplicationStartMs);
    QCOMPARE(checkHoldsFirmware(device), QString());
    QCOMPARE(checkUntouched(device), QString());
    QCOMPARE(device.mode(), vt520sim::Mode::Application);
}

QTEST_GUILESS_MAIN(TestFirmwareFaultSweep)
#include "test_firmware_fault_sweep.moc"
