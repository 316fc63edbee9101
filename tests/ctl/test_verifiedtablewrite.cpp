// The verified table write behind `programs set` and `scenes set`: the table
// written, read back and compared, the host access given back and checked,
// each fault reported by what the unit holds afterwards.
#include "FailOnWarnings.h"
#include "UnitFaults.h"
#include "lighting/LightingTransfer.h"
#include "sim/Vt520Sim.h"
#include "usb/USBVT350.h"

#include <QtTest>

#include <libusb.h>

using Verified = LightingTransfer::Verified;

Q_DECLARE_METATYPE(LightingTransfer::Verified)

class TestVerifiedTableWrite : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    // A unit that leaves the bus for a moment (unplugged, back at once or
    // after 500 ms) is waited for as a firmware change waits for it, and the
    // set completes; one that hangs gets its verdict within 45 s on the
    // emulator's clock; a release that never goes through is said.
    void outcome_data()
    {
        QTest::addColumn<bool>("programs");
        QTest::addColumn<QString>("faults"); // see applyFaults; empty: none
        QTest::addColumn<Verified>("outcome");
        QTest::addColumn<bool>("accessBitClear");
        QTest::addColumn<bool>("accessMayBeSet");

        QTest::newRow("programs written") << true << "" << Verified::Done << true << false;
        QTest::newRow("scenes written") << false << "" << Verified::Done << true << false;
        QTest::newRow("access not granted") << true << "stall 9" << Verified::AcquireFailed << true << false;
        QTest::newRow("write failed") << true << "stall 6" << Verified::WriteFailed << true << false;
        QTest::newRow("read back failed") << false << "stall 5" << Verified::ReadBackFailed << true << false;
        QTest::newRow("release failed") << true << "stall 8" << Verified::ReleaseFailed << false << true;
        QTest::newRow("write and release failed") << true << "io 6; stall 8" << Verified::WriteFailed << false << true;
        QTest::newRow("programs unplugged in the write, back at once")
            << true << "unplug 6 3 0" << Verified::Done << true << false;
        QTest::newRow("programs unplugged in the write, back after 500 ms")
            << true << "unplug 6 3 500" << Verified::Done << true << false;
        QTest::newRow("scenes unplugged in the write, back after 500 ms")
            << false << "unplug 6 1 500" << Verified::Done << true << false;
        QTest::newRow("programs unplugged in the read back, back at once")
            << true << "unplug 5 4 0" << Verified::Done << true << false;
        QTest::newRow("scenes unplugged in the read back, back after 500 ms")
            << false << "unplug 5 1 500" << Verified::Done << true << false;
        QTest::newRow("unplugged in the acquire, back after 500 ms")
            << true << "unplug 7 1 500" << Verified::Done << true << false;
        QTest::newRow("unplugged in the release, back after 500 ms")
            << true << "unplug 8 1 500" << Verified::Done << true << false;
        QTest::newRow("unit hangs in the write") << true << "timeout 6" << Verified::WriteFailed << true << false;
        QTest::newRow("unit hangs in the write and the release")
            << true << "timeout 6; timeout 8" << Verified::WriteFailed << false << true;
        QTest::newRow("unit hangs in the read back")
            << false << "timeout 5" << Verified::ReadBackFailed << true << false;
    }

    void outcome()
    {
        QFETCH(bool, programs);
        QFETCH(QString, faults);
        QFETCH(Verified, outcome);
        QFETCH(bool, accessBitClear);
        QFETCH(bool, accessMayBeSet);
        vt520sim::Bus &bus = vt520sim::Bus::instance();
        bus.reset();
        bus.useVirtualClock(true);
        vt520sim::Device &device = bus.addVt520(1, 4);
        const LightingTransfer::Location where = programs ? LightingTransfer::Programs : LightingTransfer::Scenes;
        QByteArray table(where.length, '\0');
        for (int i = 0; i < table.size(); ++i)
            table[i] = char(i * 7 + 3);
        const QByteArray before = device.externalFlash(where.address, uint32_t(where.length));
        QVERIFY(applyFaults(faults));

        USBVT350 usb;
        LightingTransfer transfer(usb, emulatorClock());
        const qint64 start = bus.nowMs();
        QCOMPARE(transfer.writeVerified(where, table.constData()), outcome);
        const qint64 took = bus.nowMs() - start;

        // The firmware change's silence limit and a release after it.
        QVERIFY2(took <= 45000, qPrintable(QString::number(took)));
        if (faults.contains("timeout"))
            QVERIFY2(took >= USBVT350::SilenceLimitMs, qPrintable(QString::number(took)));
        const bool written = device.externalFlash(where.address, uint32_t(where.length)) != before;
        QCOMPARE(written, outcome != Verified::AcquireFailed && outcome != Verified::WriteFailed);
        QCOMPARE((device.status() & USBVT350::HostAccessBit) == 0, accessBitClear);
        QCOMPARE(transfer.hostAccessMayBeSet(), accessMayBeSet);
        if (outcome == Verified::Done) {
            bus.clearFaults();
            QByteArray back(where.length, '\0');
            QCOMPARE(LightingTransfer(usb, emulatorClock()).read(where, back.data()), LightingTransfer::Status::Done);
            QCOMPARE(back, table);
        }
    }
};

QTEST_MAIN(TestVerifiedTableWrite)
#include "test_verifiedtablewrite.moc"
