// The verified table write behind `programs set` and `scenes set`: the table
// written, read back and compared, the host access given back and checked,
// each fault reported by what the unit holds afterwards.
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
    void outcome_data()
    {
        QTest::addColumn<bool>("programs");
        QTest::addColumn<int>("failingRequest"); // 0: none
        QTest::addColumn<Verified>("outcome");
        QTest::addColumn<bool>("accessBitClear");

        QTest::newRow("programs written") << true << 0 << Verified::Done << true;
        QTest::newRow("scenes written") << false << 0 << Verified::Done << true;
        QTest::newRow("access not granted")
            << true << int(USBVT350::RequestStatusGet) << Verified::AcquireFailed << true;
        QTest::newRow("write failed")
            << true << int(USBVT350::RequestWriteExternalFlash) << Verified::WriteFailed << true;
        QTest::newRow("read back failed")
            << false << int(USBVT350::RequestReadExternalFlash) << Verified::ReadBackFailed << true;
        QTest::newRow("release failed") << true << int(USBVT350::RequestStatusClr) << Verified::ReleaseFailed << false;
    }

    void outcome()
    {
        QFETCH(bool, programs);
        QFETCH(int, failingRequest);
        QFETCH(Verified, outcome);
        QFETCH(bool, accessBitClear);
        vt520sim::Bus &bus = vt520sim::Bus::instance();
        bus.reset();
        vt520sim::Device &device = bus.addVt520(1, 4);
        const LightingTransfer::Location where = programs ? LightingTransfer::Programs : LightingTransfer::Scenes;
        QByteArray table(where.length, '\0');
        for (int i = 0; i < table.size(); ++i)
            table[i] = char(i * 7 + 3);
        const QByteArray before = device.externalFlash(where.address, uint32_t(where.length));
        if (failingRequest)
            bus.failRequest(uint8_t(failingRequest), LIBUSB_ERROR_PIPE);

        USBVT350 usb;
        QCOMPARE(LightingTransfer(usb).writeVerified(where, table.constData()), outcome);

        const bool written = device.externalFlash(where.address, uint32_t(where.length)) != before;
        QCOMPARE(written, outcome != Verified::AcquireFailed && outcome != Verified::WriteFailed);
        QCOMPARE((device.status() & USBVT350::HostAccessBit) == 0, accessBitClear);
        if (outcome == Verified::Done) {
            QByteArray back(where.length, '\0');
            QCOMPARE(LightingTransfer(usb).read(where, back.data()), LightingTransfer::Status::Done);
            QCOMPARE(back, table);
        }
    }
};

QTEST_MAIN(TestVerifiedTableWrite)
#include "test_verifiedtablewrite.moc"
