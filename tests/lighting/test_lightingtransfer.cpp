#include "FailOnWarnings.h"
#include "LightingTestData.h"
#include "UnitFaults.h"
#include "lighting/LightingTransfer.h"
#include "sim/Vt520Sim.h"
#include "usb/TransferKey.h"
#include "usb/USBVT350.h"

#include <QtTest>

#include <libusb.h>

using Location = LightingTransfer::Location;
using Status = LightingTransfer::Status;

Q_DECLARE_METATYPE(LightingTransfer::Location)
Q_DECLARE_METATYPE(LightingTransfer::Status)

namespace {

quint32 wordAt(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// Vendor requests other than the device-id request of every connect.
bool isVendorRequest(const vt520sim::TransferRecord &record)
{
    return !record.bulk && (record.requestType & 0x60) == 0x40 && record.request != 255;
}

QList<vt520sim::TransferRecord> vendorRequests()
{
    QList<vt520sim::TransferRecord> result;
    for (const vt520sim::TransferRecord &record : vt520sim::Bus::instance().transferLog())
        if (isVendorRequest(record))
            result.append(record);
    return result;
}

// The data requests (5 or 6) must cover [address, address + length) in
// order, without gap or overlap, each one successful.
void checkCoverage(uint8_t request, const Location &where)
{
    quint32 next = where.address;
    for (const vt520sim::TransferRecord &record : vendorRequests()) {
        if (record.request != request)
            continue;
        QCOMPARE(quint32(record.value) | quint32(record.index) << 16, next);
        QCOMPARE(record.result, record.length);
        next += quint32(record.length);
    }
    QCOMPARE(next, where.address + quint32(where.length));
}

// Status read (9) and set (7) come before any data request; the release (8)
// is the last request of all.
void checkAcquiredAndReleased(uint8_t dataRequest)
{
    const QList<vt520sim::TransferRecord> requests = vendorRequests();
    QVERIFY(!requests.isEmpty());
    int firstData = -1;
    int lastData = -1;
    for (int i = 0; i < requests.size(); ++i) {
        if (requests[i].request == dataRequest) {
            if (firstData < 0)
                firstData = i;
            lastData = i;
        }
    }
    QVERIFY(firstData > 0);
    QCOMPARE(requests.first().request, uint8_t(9));
    bool setBeforeData = false;
    for (int i = 0; i < firstData; ++i)
        setBeforeData = setBeforeData || requests[i].request == 7;
    QVERIFY(setBeforeData);
    QCOMPARE(requests.last().request, uint8_t(8));
    QVERIFY(lastData < requests.size() - 1);
    QCOMPARE(vt520sim::Bus::instance().requestCount(8), 1);
}

} // namespace

class TestLightingTransfer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void writeStoresTableScrambled_data();
    void writeStoresTableScrambled();
    void readGivesPlainTable_data();
    void readGivesPlainTable();
    void noDeviceTouchesNothing_data();
    void noDeviceTouchesNothing();
    void failedReadKeepsTableAndReleases_data();
    void failedReadKeepsTableAndReleases();
    void failedWriteReleases_data();
    void failedWriteReleases();
    void writeTakesTableAfterAcquire();
    void unitThatLeavesOrHangs_data();
    void unitThatLeavesOrHangs();

private:
    vt520sim::Device *vt = nullptr;
    void locations();
};

void TestLightingTransfer::init()
{
    failOnUnexpectedWarnings();
    auto &bus = vt520sim::Bus::instance();
    bus.reset();
    bus.useVirtualClock(true);
    vt = &bus.addVt520(1, 4);
}

void TestLightingTransfer::locations()
{
    QTest::addColumn<Location>("where");
    QTest::newRow("programs") << LightingTransfer::Programs;
    QTest::newRow("scenes") << LightingTransfer::Scenes;
}

void TestLightingTransfer::writeStoresTableScrambled_data()
{
    locations();
}

void TestLightingTransfer::writeStoresTableScrambled()
{
    QFETCH(Location, where);
    QCOMPARE(where.address, where.length == 7680 ? 0x14000u : 0x15E00u);
    const QByteArray table = randomTable(where.length, where.address);
    const QByteArray around = vt->externalFlash(where.address - 16, where.length + 32);

    USBVT350 usb;
    QCOMPARE(LightingTransfer(usb).write(where, table.constData()), Status::Done);

    const QByteArray stored = vt->externalFlash(where.address, where.length);
    QCOMPARE(stored, scrambled(table));
    QVERIFY(stored != table);
    // The key restarts with the table, not with the flash address or chunk:
    // word 32 (offset 128) uses key word 0 again.
    QCOMPARE(wordAt(stored, 128), (wordAt(table, 128) ^ TransferKey[0]) + TransferKey[0]);
    QCOMPARE(vt->externalFlash(where.address - 16, 16), around.left(16));
    QCOMPARE(vt->externalFlash(where.address + where.length, 16), around.right(16));

    checkCoverage(6, where);
    checkAcquiredAndReleased(6);
    QCOMPARE(vt->status() & 1u, 0u);
}

void TestLightingTransfer::readGivesPlainTable_data()
{
    locations();
}

void TestLightingTransfer::readGivesPlainTable()
{
    QFETCH(Location, where);
    const QByteArray plain = randomTable(where.length, where.address + 1);
    vt->setExternalFlash(where.address, scrambled(plain));

    QByteArray table(where.length, '\0');
    USBVT350 usb;
    QCOMPARE(LightingTransfer(usb).read(where, table.data()), Status::Done);
    QCOMPARE(table, plain);

    checkCoverage(5, where);
    checkAcquiredAndReleased(5);
    QCOMPARE(vt->status() & 1u, 0u);
}

void TestLightingTransfer::noDeviceTouchesNothing_data()
{
    locations();
}

void TestLightingTransfer::noDeviceTouchesNothing()
{
    QFETCH(Location, where);
    vt520sim::Bus::instance().reset();
    vt520sim::Bus::instance().useVirtualClock(true);

    const QByteArray original = randomTable(where.length, 9);
    QByteArray table = original;
    bool acquiredCalled = false;
    USBVT350 usb;
    LightingTransfer transfer(usb);
    QCOMPARE(transfer.read(where, table.data()), Status::AcquireFailed);
    QCOMPARE(transfer.write(where, table.constData(), [&] { acquiredCalled = true; }), Status::AcquireFailed);
    QCOMPARE(table, original);
    QVERIFY(!acquiredCalled);
    QCOMPARE(vt520sim::Bus::instance().requestCount(8), 0);
}

void TestLightingTransfer::failedReadKeepsTableAndReleases_data()
{
    locations();
}

void TestLightingTransfer::failedReadKeepsTableAndReleases()
{
    QFETCH(Location, where);
    vt->setExternalFlash(where.address, randomTable(where.length, 10));
    vt520sim::Bus::instance().failRequest(5, LIBUSB_ERROR_PIPE);

    const QByteArray original = randomTable(where.length, 11);
    QByteArray table = original;
    USBVT350 usb;
    QCOMPARE(LightingTransfer(usb).read(where, table.data()), Status::TransferFailed);
    QCOMPARE(table, original);
    checkAcquiredAndReleased(5);
}

void TestLightingTransfer::failedWriteReleases_data()
{
    locations();
}

void TestLightingTransfer::failedWriteReleases()
{
    QFETCH(Location, where);
    vt520sim::Bus::instance().failRequest(6, LIBUSB_ERROR_PIPE);
    const QByteArray table = randomTable(where.length, 12);
    USBVT350 usb;
    QCOMPARE(LightingTransfer(usb).write(where, table.constData()), Status::TransferFailed);
    checkAcquiredAndReleased(6);
}

void TestLightingTransfer::writeTakesTableAfterAcquire()
{
    QByteArray table(384, '\0');
    int statusReadsAtCallback = -1;
    USBVT350 usb;
    const Status status = LightingTransfer(usb).write(LightingTransfer::Scenes, table.constData(), [&] {
        statusReadsAtCallback = vt520sim::Bus::instance().requestCount(9);
        table[40] = char(0xE8);
        table[41] = char(0x03);
    });
    QCOMPARE(status, Status::Done);
    QVERIFY(statusReadsAtCallback > 0);
    QVERIFY(vt520sim::Bus::instance().requestCount(6) > 0);
    QCOMPARE(vt->externalFlash(LightingTransfer::Scenes.address, 384), scrambled(table));
}

// A unit that leaves the bus for a moment during a read (the window's and
// vt520ctl's Get) or a write (the window's Set) is waited for as a firmware
// change waits for it, and the table moves whole; one that stops answering
// ends the call within 45 s on the emulator's clock, its host-access bit
// given back where the unit still answers that, and said to be set where it
// does not.
void TestLightingTransfer::unitThatLeavesOrHangs_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<Location>("where");
    QTest::addColumn<QString>("faults"); // see applyFaults
    QTest::addColumn<Status>("status");
    QTest::addColumn<bool>("accessBitSet"); // left set, and said to be
    QTest::addColumn<bool>("hangs");        // the verdict comes after the silence limit

    QTest::newRow("read programs, unplugged, back at once")
        << false << LightingTransfer::Programs << "unplug 5 2 0" << Status::Done << false << false;
    QTest::newRow("read scenes, unplugged, back after 500 ms")
        << false << LightingTransfer::Scenes << "unplug 5 1 500" << Status::Done << false << false;
    QTest::newRow("write programs, unplugged, back at once")
        << true << LightingTransfer::Programs << "unplug 6 5 0" << Status::Done << false << false;
    QTest::newRow("write scenes, unplugged, back after 500 ms")
        << true << LightingTransfer::Scenes << "unplug 6 1 500" << Status::Done << false << false;
    QTest::newRow("read programs, unplugged in the acquire, back after 500 ms")
        << false << LightingTransfer::Programs << "unplug 9 1 500" << Status::Done << false << false;
    QTest::newRow("write programs, unplugged in the release, back after 500 ms")
        << true << LightingTransfer::Programs << "unplug 8 1 500" << Status::Done << false << false;
    QTest::newRow("read programs, unit hangs in the read")
        << false << LightingTransfer::Programs << "timeout 5" << Status::TransferFailed << false << true;
    QTest::newRow("write programs, unit hangs in the write and the release")
        << true << LightingTransfer::Programs << "timeout 6; timeout 8" << Status::TransferFailed << true << true;
    QTest::newRow("read scenes, release refused")
        << false << LightingTransfer::Scenes << "stall 8" << Status::Done << true << false;
}

void TestLightingTransfer::unitThatLeavesOrHangs()
{
    QFETCH(bool, write);
    QFETCH(Location, where);
    QFETCH(QString, faults);
    QFETCH(Status, status);
    QFETCH(bool, accessBitSet);
    QFETCH(bool, hangs);
    auto &bus = vt520sim::Bus::instance();
    const QByteArray plain = randomTable(where.length, where.address + 2);
    if (!write)
        vt->setExternalFlash(where.address, scrambled(plain));
    QVERIFY(applyFaults(faults));

    QByteArray table = write ? plain : QByteArray(where.length, '\0');
    USBVT350 usb;
    LightingTransfer transfer(usb, emulatorClock());
    const qint64 start = bus.nowMs();
    QCOMPARE(write ? transfer.write(where, table.constData()) : transfer.read(where, table.data()), status);
    const qint64 took = bus.nowMs() - start;

    QVERIFY2(took <= 45000, qPrintable(QString::number(took)));
    if (hangs)
        QVERIFY2(took >= USBVT350::SilenceLimitMs, qPrintable(QString::number(took)));
    QCOMPARE(transfer.hostAccessMayBeSet(), accessBitSet);
    QCOMPARE((vt->status() & USBVT350::HostAccessBit) != 0, accessBitSet);
    if (status == Status::Done) {
        QCOMPARE(table, plain);
        QCOMPARE(vt->externalFlash(where.address, where.length), scrambled(plain));
    }
}

QTEST_GUILESS_MAIN(TestLightingTransfer)
#include "test_lightingtransfer.moc"
