// The verified table write behind `programs set` with one fault at each of
// the transfers of an undisturbed set in turn: the acquire of the host
// access, every chunk written and read back, the release and its checks.
// Whatever the fault, the set ends in one of its designed outcomes: the
// table read back equal, or a failure whose outcome tells what the unit
// holds (the old table, the new one or a mix of the two, chunk by chunk)
// and whose hostAccessMayBeSet() is true whenever the unit still holds the
// host-access bit. A clean set right after it completes. Everything runs on
// the emulator's virtual clock.
#include "FailOnWarnings.h"
#include "FaultKind.h"
#include "UnitFaults.h"
#include "lighting/LightingTransfer.h"
#include "sim/Vt520Sim.h"
#include "usb/USBVT350.h"

#include <QMap>
#include <QtTest>

#include <libusb.h>

using Verified = LightingTransfer::Verified;

namespace {

constexpr char Serial[] = "261100042";
// The pause before the user tries again.
constexpr int64_t RetryPauseMs = 3000;

QString verifiedName(Verified outcome)
{
    switch (outcome) {
    case Verified::Done:
        return QStringLiteral("done");
    case Verified::AcquireFailed:
        return QStringLiteral("acquire failed");
    case Verified::WriteFailed:
        return QStringLiteral("write failed");
    case Verified::ReadBackFailed:
        return QStringLiteral("read back failed");
    case Verified::Mismatch:
        return QStringLiteral("read back different");
    case Verified::ReleaseFailed:
        return QStringLiteral("release failed");
    }
    return QString();
}

QString describe(const vt520sim::TransferRecord &record)
{
    if ((record.requestType & 0x60) == 0x00)
        return QStringLiteral("standard request %1 (0x%2)").arg(record.request).arg(record.value, 0, 16);
    const quint32 address = quint32(record.index) << 16 | record.value;
    return QStringLiteral("request %1 at 0x%2, %3 bytes")
        .arg(record.request)
        .arg(address, 5, 16, QLatin1Char('0'))
        .arg(record.length);
}

QByteArray table(int seed)
{
    QByteArray bytes(LightingTransfer::Programs.length, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 + seed * 13 + (i >> 8));
    return bytes;
}

QtMessageHandler previousHandler = nullptr;
void dropDebugLines(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && previousHandler)
        previousHandler(type, context, message);
}

} // namespace

Q_DECLARE_METATYPE(LightingTransfer::Verified)

class TestTableSetFaultSweep : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void initTestCase();
    void cleanupTestCase();
    void sweep_data();
    void sweep();

private:
    vt520sim::Device &freshDevice();
    QByteArray stored(vt520sim::Device &device) const;
    QString sweepOne(const FaultKind &kind, int position, Verified *outcome);

    const LightingTransfer::Location where = LightingTransfer::Programs;
    QByteArray oldStored; // the table the unit holds before the set, as stored
    QByteArray newStored; // the set's table, as stored
    QList<vt520sim::TransferRecord> cleanTransfers;
    int identification = 0; // transfers up to the connection's device id request
    int totalTried = 0;
    int totalSurvived = 0;
};

vt520sim::Device &TestTableSetFaultSweep::freshDevice()
{
    auto &bus = vt520sim::Bus::instance();
    bus.reset();
    bus.useVirtualClock(true);
    vt520sim::Device &device = bus.addVt520(1, 1, Serial);
    device.setAcknowledgeAfterReads(2); // the acquire waits for the bit to show
    device.setExternalFlash(where.address, oldStored);
    return device;
}

QByteArray TestTableSetFaultSweep::stored(vt520sim::Device &device) const
{
    return device.externalFlash(where.address, uint32_t(where.length));
}

void TestTableSetFaultSweep::initTestCase()
{
    previousHandler = qInstallMessageHandler(dropDebugLines);
    // The old table, as a set of another table stores it.
    oldStored = QByteArray(where.length, char(0xFF));
    {
        vt520sim::Device &device = freshDevice();
        USBVT350 usb;
        QCOMPARE(LightingTransfer(usb, emulatorClock()).writeVerified(where, table(1).constData()), Verified::Done);
        oldStored = stored(device);
    }
    vt520sim::Device &device = freshDevice();
    USBVT350 usb;
    LightingTransfer transfer(usb, emulatorClock());
    QCOMPARE(transfer.writeVerified(where, table(2).constData()), Verified::Done);
    newStored = stored(device);
    QVERIFY(newStored != oldStored);
    auto &bus = vt520sim::Bus::instance();
    cleanTransfers = bus.transferLog();
    for (const vt520sim::TransferRecord &record : cleanTransfers)
        QVERIFY2(record.result >= 0, qPrintable(describe(record)));
    // Whole chunks of 256 bytes written, of 512 read back.
    QCOMPARE(bus.requestCount(USBVT350::RequestWriteExternalFlash), (where.length + 255) / 256);
    QCOMPARE(bus.requestCount(USBVT350::RequestReadExternalFlash), (where.length + 511) / 512);
    identification = 0;
    while (identification < cleanTransfers.size()
           && cleanTransfers.at(identification).request != USBVT350::RequestDeviceId)
        ++identification;
    QVERIFY(identification < cleanTransfers.size());
    ++identification;
    qInfo("An undisturbed programs set makes %d transfers", int(cleanTransfers.size()));
}

void TestTableSetFaultSweep::cleanupTestCase()
{
    qInstallMessageHandler(previousHandler);
    qInfo("Table set sweep in all: %d faulted sets tried, %d survived", totalTried, totalSurvived);
}

// One faulted set and the clean set after it. An empty result: it survived.
QString TestTableSetFaultSweep::sweepOne(const FaultKind &kind, int position, Verified *outcome)
{
    auto &bus = vt520sim::Bus::instance();
    vt520sim::Device &device = freshDevice();
    USBVT350 usb;
    LightingTransfer transfer(usb, emulatorClock());

    kind.arm(bus, position);
    *outcome = transfer.writeVerified(where, table(2).constData());
    bus.clearFaults();

    const QList<vt520sim::TransferRecord> log = bus.transferLog();
    const vt520sim::TransferRecord &planned = cleanTransfers.at(position - 1);
    if (log.size() < position)
        return QStringLiteral("the set made only %1 transfers").arg(log.size());
    const vt520sim::TransferRecord &met = log.at(position - 1);
    if (met.request != planned.request || met.value != planned.value || met.index != planned.index
        || met.result != kind.loggedResult())
        return QStringLiteral("the fault met %1 with result %2").arg(describe(met)).arg(met.result);

    // What the unit holds is what the outcome says.
    const QByteArray held = stored(device);
    bool mix = true;
    for (int i = 0; i < held.size() && mix; ++i)
        mix = held[i] == oldStored[i] || held[i] == newStored[i];
    switch (*outcome) {
    case Verified::Done:
    case Verified::ReleaseFailed:
        if (held != newStored)
            return verifiedName(*outcome) + QStringLiteral(", but the table is not the new one");
        break;
    case Verified::AcquireFailed:
        if (held != oldStored)
            return QStringLiteral("acquire failed, but the table changed");
        break;
    case Verified::WriteFailed:
    case Verified::ReadBackFailed:
    case Verified::Mismatch:
        if (!mix)
            return verifiedName(*outcome) + QStringLiteral(", but the table is neither old nor new");
        break;
    }
    // A bit left set is always told; a set that is done leaves none.
    const bool bitSet = device.status() & USBVT350::HostAccessBit;
    if (bitSet && !transfer.hostAccessMayBeSet())
        return verifiedName(*outcome) + QStringLiteral(", the host-access bit left set without a word");
    if (*outcome == Verified::Done && transfer.hostAccessMayBeSet())
        return QStringLiteral("done, yet the host-access bit may be set");
    if (*outcome == Verified::ReleaseFailed && !transfer.hostAccessMayBeSet())
        return QStringLiteral("release failed, yet the host-access bit is said to be clear");

    // The user sets the table again a moment later.
    bus.advanceClock(RetryPauseMs + kind.replugAfterMs);
    if (!device.isPresent())
        return QStringLiteral("the device is not back on the bus");
    LightingTransfer again(usb, emulatorClock());
    const Verified rerun = again.writeVerified(where, table(3).constData());
    if (rerun != Verified::Done)
        return QStringLiteral("the clean set after it ended: ") + verifiedName(rerun);
    QByteArray back(where.length, '\0');
    if (again.read(where, back.data()) != LightingTransfer::Status::Done || back != table(3))
        return QStringLiteral("the clean set after it did not read back equal");
    if (again.hostAccessMayBeSet() || (device.status() & USBVT350::HostAccessBit))
        return QStringLiteral("the host-access bit is set after the clean set");
    return QString();
}

void TestTableSetFaultSweep::sweep_data()
{
    QTest::addColumn<FaultKind>("kind");
    QTest::newRow("timeout") << FaultKind::failed(LIBUSB_ERROR_TIMEOUT);
    QTest::newRow("stall") << FaultKind::failed(LIBUSB_ERROR_PIPE);
    QTest::newRow("device gone") << FaultKind::failed(LIBUSB_ERROR_NO_DEVICE);
    QTest::newRow("unplug and replug") << FaultKind::unplug(0);
    QTest::newRow("unplug, replug after 500 ms") << FaultKind::unplug(500);
    QTest::newRow("unplug, replug after 40 s") << FaultKind::unplug(40000);
    QTest::newRow("answer lost") << FaultKind::answerLost();
    QTest::newRow("power-on replug") << FaultKind::powerOnUnplug(0);
    QTest::newRow("power-on replug after 500 ms") << FaultKind::powerOnUnplug(500);
}

void TestTableSetFaultSweep::sweep()
{
    QFETCH(FaultKind, kind);
    QMap<Verified, int> outcomes;
    QStringList failures;
    int survived = 0;
    const int positions = int(cleanTransfers.size());
    for (int position = 1; position <= positions; ++position) {
        Verified outcome = Verified::Done;
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
        tally.append(QStringLiteral("%1 %2").arg(verifiedName(it.key())).arg(it.value()));
    qInfo("%s: %d positions tried, %d survived (%s)", qPrintable(kind.name()), positions, survived,
          qPrintable(tally.join(", ")));
    QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 10).join('\n')));
    // A unit back at once, with its state or as at power-on, is waited for
    // and the set completes wherever it was met, once it has answered: the
    // connection's identification is not waited for (the unit may never
    // have been there).
    if (kind.unplugs() && kind.replugAfterMs <= 500)
        QCOMPARE(outcomes.value(Verified::Done), positions - identification);
}

QTEST_GUILESS_MAIN(TestTableSetFaultSweep)
#include "test_table_set_fault_sweep.moc"
