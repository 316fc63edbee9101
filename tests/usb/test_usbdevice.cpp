#include "FailOnWarnings.h"
#include "sim/Vt520Sim.h"
#include "usb/DeviceSelection.h"
#include "usb/USBVT350.h"
#include "usb/UnitLock.h"
#include "usb/Vt520Enumeration.h"

#include <QtTest>

#include <libusb.h>

Q_DECLARE_METATYPE(Failure::Kind)

// The transport against the emulated bus: enumeration rules, lazy
// connection, dropping on failure, serial string and bulk transfers.
class TestUsbDevice : public QObject
{
    Q_OBJECT

    vt520sim::Bus &bus = vt520sim::Bus::instance();

    QList<vt520sim::TransferRecord> vendorTransfers(uint8_t request) const
    {
        QList<vt520sim::TransferRecord> found;
        for (const auto &record : bus.transferLog())
            if (!record.bulk && (record.requestType & 0x60) == 0x40 && record.request == request)
                found.append(record);
        return found;
    }

private slots:
    void init()
    {
        failOnUnexpectedWarnings();
        bus.reset();
        bus.useVirtualClock(true);
    }

    void noDevice()
    {
        USBVT350 usb;
        QCOMPARE(usb.connect(), -1);
        QVERIFY(!usb.isConnected());
        uint32_t status = 0;
        QCOMPARE(usb.StatusGet(&status), -1);
        QVERIFY(bus.transferLog().isEmpty());
    }

    // Each row puts a decoy first on the bus and the right device after it;
    // the right one must be taken, the decoy closed again.
    void decoysAreSkipped_data()
    {
        QTest::addColumn<QString>("decoy");
        QTest::addColumn<int>("goodBus");
        QTest::newRow("other vendor and product") << "ids" << 1;
        QTest::newRow("other id reply") << "reply" << 1;
        QTest::newRow("one-byte id reply") << "short" << 2;
        QTest::newRow("open refused") << "open" << 1;
        QTest::newRow("set configuration fails") << "configuration" << 2;
        QTest::newRow("claim fails") << "claim" << 1;
        QTest::newRow("id request stalls") << "stall" << 2;
    }

    void decoysAreSkipped()
    {
        QFETCH(QString, decoy);
        QFETCH(int, goodBus);
        if (decoy == "ids") {
            bus.addDevice(1, 2, 0x1234, 0x5678);
        } else {
            vt520sim::Device &bad = bus.addVt520(1, 2, "999999999");
            if (decoy == "reply")
                bad.setIdReply(QByteArray("\xFD\x00", 2));
            else if (decoy == "short")
                bad.setIdReply(QByteArray("\xFC", 1));
            else if (decoy == "open")
                bad.failOpen(LIBUSB_ERROR_ACCESS);
            else if (decoy == "configuration") {
                bad.setActiveConfiguration(0);
                bad.failSetConfiguration(LIBUSB_ERROR_BUSY);
            } else if (decoy == "claim")
                bad.failClaimInterface(LIBUSB_ERROR_ACCESS);
            else if (decoy == "stall")
                bus.failRequest(255, LIBUSB_ERROR_PIPE, 1); // the first id request is the decoy's
        }
        bus.addVt520(goodBus, 9, "261100042");

        USBVT350 usb;
        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.getSerialString(), QByteArray("261100042"));
        // Nothing after the scan went to the decoy.
        const auto log = bus.transferLog();
        QVERIFY(!log.isEmpty());
        QCOMPARE(log.last().bus, goodBus);
        QCOMPARE(log.last().address, 9);
    }

    // A unit whose device-id request fails is asked once more: listed as
    // usual when it answers then, else listed as not identified with the
    // failure's kind. A device that stalls the request (what one that is no
    // Vt520 does) is left out as before, asked once.
    void identityRequestFailing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("count"); // -1: every request
        QTest::addColumn<int>("listed");
        QTest::addColumn<Failure::Kind>("unopened");
        QTest::addColumn<int>("requests");
        QTest::newRow("unanswered once") << "unanswered" << 1 << 1 << Failure::Kind::None << 2;
        QTest::newRow("unanswered always") << "unanswered" << -1 << 1 << Failure::Kind::Timeout << 2;
        QTest::newRow("I/O error once") << "io" << 1 << 1 << Failure::Kind::None << 2;
        QTest::newRow("I/O error always") << "io" << -1 << 1 << Failure::Kind::Refused << 2;
        QTest::newRow("stalled always") << "stall" << -1 << 0 << Failure::Kind::None << 1;
    }

    void identityRequestFailing()
    {
        QFETCH(QString, fault);
        QFETCH(int, count);
        QFETCH(int, listed);
        QFETCH(Failure::Kind, unopened);
        QFETCH(int, requests);
        vt520sim::Device &vt = bus.addVt520At("1-1.1", "261100042");
        if (fault == "unanswered")
            vt.leaveIdRequestsUnanswered(count);
        else
            bus.failRequest(255, fault == "io" ? LIBUSB_ERROR_IO : LIBUSB_ERROR_PIPE, count);
        const QList<Vt520Enumeration::Entry> devices = Vt520Enumeration::list();
        QCOMPARE(bus.requestCount(255), requests);
        QCOMPARE(devices.size(), listed);
        if (!listed)
            return;
        QCOMPARE(devices[0].portPath, QString("1-1.1"));
        QCOMPARE(devices[0].unopened, unopened);
        QCOMPARE(devices[0].unidentified(), unopened != Failure::Kind::None);
        QCOMPARE(devices[0].serial, unopened == Failure::Kind::None ? QByteArray("261100042") : QByteArray());
    }

    void onlyDecoysMeansNoConnection()
    {
        bus.addVt520(1, 1).setIdReply(QByteArray("\x00\xFC", 2)); // bytes swapped
        bus.addDevice(1, 2, 0x16C0, 0x078F);
        USBVT350 usb;
        QCOMPARE(usb.connect(), -1);
        QVERIFY(!usb.isConnected());
        QCOMPARE(usb.getSerialString(), QByteArray());
    }

    void orderIsBusThenAddress_data()
    {
        QTest::addColumn<QList<int>>("places"); // bus * 100 + address, in the order plugged in
        QTest::addColumn<int>("expected");
        QTest::newRow("later bus plugged first") << QList<int>{201, 105} << 105;
        QTest::newRow("higher address plugged first") << QList<int>{107, 103, 104} << 103;
        QTest::newRow("address does not beat bus") << QList<int>{301, 299, 250} << 250;
        QTest::newRow("already sorted") << QList<int>{101, 102} << 101;
    }

    void orderIsBusThenAddress()
    {
        QFETCH(QList<int>, places);
        QFETCH(int, expected);
        for (int place : places)
            bus.addVt520(place / 100, place % 100, QByteArray::number(100000000 + place));
        USBVT350 usb;
        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.getSerialString(), QByteArray::number(100000000 + expected));
    }

    // A pinned object connects only to the device at its port, also when
    // that device comes back from its reset with a new address behind a
    // neighbour that sorts first.
    void pinnedToAPort()
    {
        bus.addVt520At("1-1.1", "111111111");
        vt520sim::Device &vt = bus.addVt520At("1-1.2", "222222222");
        USBVT350 usb;
        usb.pinToPort("1-1.2");
        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.getSerialString(), QByteArray("222222222"));
        usb.RunApplication();
        usb.disconnect(); // as every caller of RunApplication does
        bus.addVt520At("1-1.3", "333333333");
        bus.advanceClock(1000);
        uint32_t status = 0;
        QCOMPARE(usb.StatusGet(&status), 0); // lazy reconnection
        QCOMPARE(usb.getSerialString(), QByteArray("222222222b"));
        QCOMPARE(bus.transferLog().last().address, vt.address());
        usb.pinToPort("1-9");
        QCOMPARE(usb.connect(), -1);
    }

    // Selection among three Vt520s (one in its bootloader, one that may not
    // be opened) and a decoy with the same ids.
    void selection_data()
    {
        QTest::addColumn<QString>("selector");
        QTest::addColumn<QString>("expected"); // port path, or the refusal
        QTest::newRow("none") << ""
                              << "several";
        QTest::newRow("port path") << "1-1.2"
                                   << "1-1.2";
        QTest::newRow("bus and address") << "1:2"
                                         << "1-1.2";
        QTest::newRow("serial of the other mode") << "222222222"
                                                  << "1-1.2";
        QTest::newRow("bootloader serial") << "222222222b"
                                           << "1-1.2";
        QTest::newRow("application serial as bootloader's") << "111111111b"
                                                            << "1-1.1";
        QTest::newRow("access denied, by port") << "1-3"
                                                << "1-3";
        QTest::newRow("unknown port") << "1-1.9"
                                      << "not found";
        QTest::newRow("unknown serial") << "333333333"
                                        << "not found";
        QTest::newRow("decoy's address") << "1:20"
                                         << "not found";
    }

    void selection()
    {
        QFETCH(QString, selector);
        QFETCH(QString, expected);
        bus.addVt520At("1-1.1", "111111111");
        bus.addVt520At("1-1.2", "222222222").setMode(vt520sim::Mode::Bootloader);
        bus.addVt520At("1-3", "444444444").failOpen(LIBUSB_ERROR_ACCESS);
        bus.addDevice(1, 20, USBVT350::VendorId, USBVT350::ProductId);
        const QList<Vt520Enumeration::Entry> devices = Vt520Enumeration::list();
        QCOMPARE(devices.size(), 3);
        QCOMPARE(devices[1].serial, QByteArray("222222222"));
        QCOMPARE(devices[1].serialString, QByteArray("222222222b"));
        QCOMPARE(devices[1].mode, Vt520Enumeration::Mode::Bootloader);
        QCOMPARE(devices[1].bootloaderVersion, QByteArray("1.00"));
        QCOMPARE(devices[1].bootloaderDate, QByteArray("Nov 26 2010"));
        QVERIFY(devices[2].accessDenied() && devices[2].serial.isEmpty());

        Vt520Enumeration::Entry chosen;
        const DeviceSelection::Result result = DeviceSelection::select(selector, devices, &chosen);
        const QString outcome = result == DeviceSelection::Result::Selected         ? chosen.portPath
                                : result == DeviceSelection::Result::SeveralDevices ? "several"
                                : result == DeviceSelection::Result::NotFound       ? "not found"
                                                                                    : "no device";
        QCOMPARE(outcome, expected);
        bus.reset();
        QCOMPARE(DeviceSelection::select(selector, Vt520Enumeration::list(), &chosen),
                 DeviceSelection::Result::NoDevice);
    }

    // A unit another holder has is listed as busy without being disturbed:
    // one whose interface another handle has claimed keeps its handle
    // working (no configuration set under it), and one whose lock another
    // process holds is not even opened, but named with its holder.
    void listingLeavesHeldUnitsAlone_data()
    {
        QTest::addColumn<bool>("byLock");
        QTest::newRow("interface claimed by another handle") << false;
        QTest::newRow("lock held by another process") << true;
    }

    void listingLeavesHeldUnitsAlone()
    {
        QFETCH(bool, byLock);
        QTemporaryDir locks;
        QVERIFY(locks.isValid());
        const QByteArray lockDirBefore = qgetenv("VT520_LOCK_DIR");
        const auto restore = qScopeGuard([&] { qputenv("VT520_LOCK_DIR", lockDirBefore); });
        qputenv("VT520_LOCK_DIR", QFile::encodeName(locks.path()));
        bus.addVt520At("1-1.1", "111111111");
        vt520sim::Device &held = bus.addVt520At("1-1.2", "222222222");
        USBVT350 holder;
        QProcess lockHolder;
        if (byLock) {
            const QString lockFile = locks.filePath("vt520-1-1.2.lock");
            {
                UnitLock made("1-1.2");
                QCOMPARE(made.take(), UnitLock::Status::Taken);
            }
            lockHolder.start("flock", {"-x", lockFile, "cat"});
            QVERIFY(lockHolder.waitForStarted());
            QTRY_VERIFY([] {
                UnitLock probe("1-1.2");
                return probe.take() == UnitLock::Status::InUse;
            }());
        } else {
            holder.pinToPort("1-1.2");
            QCOMPARE(holder.connect(), 0);
        }
        bus.clearTransferLog();

        const QList<Vt520Enumeration::Entry> devices = Vt520Enumeration::list();
        QCOMPARE(devices.size(), 2);
        QVERIFY(!devices[0].busy());
        QCOMPARE(devices[0].serial, QByteArray("111111111"));
        QVERIFY(devices[1].busy());
        QCOMPARE(devices[1].portPath, QString("1-1.2"));
        if (byLock) {
            QCOMPARE(devices[1].holder, QString("process %1 (flock -x %2 cat)")
                                            .arg(lockHolder.processId())
                                            .arg(locks.filePath("vt520-1-1.2.lock")));
            for (const auto &record : bus.transferLog())
                QVERIFY(record.address != held.address());
            lockHolder.closeWriteChannel();
            QVERIFY(lockHolder.waitForFinished());
        } else {
            QCOMPARE(devices[1].holder, QString());
            uint32_t status = 0;
            QCOMPARE(holder.StatusGet(&status), 0);
            QVERIFY(holder.isConnected());
        }
    }

    void transferWhileClosedConnectsLazily()
    {
        vt520sim::Device &vt = bus.addVt520(1, 1);
        vt.setStatus(0x12345678);
        USBVT350 usb;
        QVERIFY(!usb.isConnected());
        uint32_t status = 0;
        QCOMPARE(usb.StatusGet(&status), 0);
        QCOMPARE(status, 0x12345678u);
        QVERIFY(usb.isConnected());
        QCOMPARE(bus.requestCount(255), 1);
    }

    void reconnectAfterUnplugIsInvisible()
    {
        vt520sim::Device &vt = bus.addVt520(1, 1);
        USBVT350 usb;
        QCOMPARE(usb.connect(), 0);

        vt.unplug();
        uint32_t status = 0xAAAAAAAA;
        QCOMPARE(usb.StatusGet(&status), -1); // the transfer fails ...
        QCOMPARE(status, 0xAAAAAAAAu);        // ... and leaves the word alone
        QVERIFY(!usb.isConnected());          // ... and drops the connection
        QCOMPARE(usb.StatusGet(&status), -1); // still gone: lazy connect fails
        QCOMPARE(bus.transferLog().last().result, LIBUSB_ERROR_NO_DEVICE);

        vt.replug();
        vt.setStatus(5);
        QCOMPARE(usb.StatusGet(&status), 0); // reconnects by itself
        QCOMPARE(status, 5u);
        QVERIFY(usb.isConnected());
    }

    void failedTransferDropsAndNextReconnects()
    {
        bus.addVt520(1, 1);
        USBVT350 usb;
        QCOMPARE(usb.connect(), 0);
        bus.failRequest(9, LIBUSB_ERROR_TIMEOUT, 1);
        uint32_t status = 0;
        QCOMPARE(usb.StatusGet(&status), -1);
        QVERIFY(!usb.isConnected());
        QCOMPARE(usb.StatusGet(&status), 0);
        QCOMPARE(bus.requestCount(255), 2);
    }

    // A failed transfer says why, of which request at which address and
    // port, and still drops the connection.
    void failedTransferSaysWhy_data()
    {
        QTest::addColumn<int>("libusbError");
        QTest::addColumn<Failure::Kind>("kind");
        QTest::addColumn<QString>("detail");
        QTest::newRow("timeout") << int(LIBUSB_ERROR_TIMEOUT) << Failure::Kind::Timeout << "LIBUSB_ERROR_TIMEOUT";
        QTest::newRow("stall") << int(LIBUSB_ERROR_PIPE) << Failure::Kind::Stalled << "LIBUSB_ERROR_PIPE";
        QTest::newRow("gone") << int(LIBUSB_ERROR_NO_DEVICE) << Failure::Kind::Gone << "LIBUSB_ERROR_NO_DEVICE";
        QTest::newRow("other") << int(LIBUSB_ERROR_IO) << Failure::Kind::Refused << "LIBUSB_ERROR_IO";
    }

    void failedTransferSaysWhy()
    {
        QFETCH(int, libusbError);
        QFETCH(Failure::Kind, kind);
        QFETCH(QString, detail);
        bus.addVt520(1, 1);
        USBVT350 usb;
        QVERIFY(!usb.tryConnect().failed());
        const QString port = usb.connectedPortPath();
        bus.failRequest(5, libusbError, 1);
        unsigned char buffer[16] = {};
        const FailureOr<int> received = usb.receiveControl(5, 0x4000, 0x0001, buffer, 16);
        QVERIFY(!received.ok());
        QCOMPARE(received.failure.kind, kind);
        QCOMPARE(received.failure.detail, detail);
        QCOMPARE(received.failure.request, 5);
        QCOMPARE(received.failure.address, qint64(0x14000));
        QCOMPARE(received.failure.portPath, port);
        QVERIFY(!usb.isConnected());
    }

    // A connect that finds no unit says so; a transfer's lazy connect gives
    // the same reason.
    void noUnitSaysWhy()
    {
        USBVT350 usb;
        QCOMPARE(usb.tryConnect().kind, Failure::Kind::NoDevice);
        unsigned char buffer[4] = {};
        const FailureOr<int> received = usb.receiveControl(9, 0, 0, buffer, 4);
        QCOMPARE(received.failure.kind, Failure::Kind::NoDevice);
        QVERIFY(!received.failure.reachedUnit());
    }

    void receiveWithoutBufferFailsAndCloses_data()
    {
        QTest::addColumn<bool>("nullBuffer");
        QTest::addColumn<int>("length");
        QTest::newRow("null buffer") << true << 4;
        QTest::newRow("length 0") << false << 0;
        QTest::newRow("both") << true << 0;
    }

    void receiveWithoutBufferFailsAndCloses()
    {
        QFETCH(bool, nullBuffer);
        QFETCH(int, length);
        bus.addVt520(1, 1);
        USBVT350 usb;
        QCOMPARE(usb.connect(), 0);
        bus.clearTransferLog();
        unsigned char buffer[4] = {};
        QCOMPARE(usb.control_receive(9, 0, 0, nullBuffer ? nullptr : buffer, length), -1);
        QVERIFY(!usb.isConnected());
        QVERIFY(bus.transferLog().isEmpty()); // no transfer was made
    }

    void sendWithoutDataHasNoDataStage()
    {
        bus.addVt520(1, 1);
        USBVT350 usb;
        const unsigned char data[4] = {1, 0, 0, 0};
        // Request 7 without its 4-byte mask is refused by the device.
        QCOMPARE(usb.control_send(7, 0, 0, data, 0), -1);
        auto sent = vendorTransfers(7);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().length, 0);
        QCOMPARE(sent.first().requestType, uint8_t(0x40));
        QCOMPARE(usb.control_send(7, 0, 0, nullptr, 4), -1);
        sent = vendorTransfers(7);
        QCOMPARE(sent.last().length, 0);
        QCOMPARE(usb.control_send(7, 0, 0, data, 4), 4);
    }

    void argumentsAreCutTo8And16Bits()
    {
        vt520sim::Device &vt = bus.addVt520(1, 1);
        vt.setExternalFlash(0x1234, "abcd");
        USBVT350 usb;
        unsigned char buffer[4] = {};
        QCOMPARE(usb.control_receive(0x105, 0x71234, 0x30000, buffer, 4), 4);
        const auto record = bus.transferLog().last();
        QCOMPARE(record.request, uint8_t(5));
        QCOMPARE(record.value, uint16_t(0x1234));
        QCOMPARE(record.index, uint16_t(0));
        QCOMPARE(record.requestType, uint8_t(0xC0));
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buffer), 4), QByteArray("abcd"));
    }

    void connectWhileOpenScansAgain()
    {
        bus.addVt520(1, 5, "111111111");
        USBVT350 usb;
        QCOMPARE(usb.connect(), 0);
        bus.addVt520(1, 2, "222222222");
        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.getSerialString(), QByteArray("222222222"));
        bus.device(1, 2)->unplug();
        bus.device(1, 5)->unplug();
        QCOMPARE(usb.connect(), -1);
        QVERIFY(!usb.isConnected());
    }

    void serialStringTellsTheMode()
    {
        vt520sim::Device &vt = bus.addVt520(1, 1, "261100042");
        USBVT350 usb;
        QCOMPARE(usb.getSerialString(), QByteArray()); // Closed: no connect
        QVERIFY(bus.transferLog().isEmpty());
        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.getSerialString(), QByteArray("261100042"));
        vt.setMode(vt520sim::Mode::Bootloader);
        QCOMPARE(usb.getSerialString(), QByteArray("261100042b"));
        // The descriptor read is the standard request libusb_get_descriptor makes.
        const auto record = bus.transferLog().last();
        QCOMPARE(record.requestType, uint8_t(0x80));
        QCOMPARE(record.request, uint8_t(LIBUSB_REQUEST_GET_DESCRIPTOR));
        QCOMPARE(record.value, uint16_t(0x0303));
        QCOMPARE(record.length, 256);
        // A failed descriptor read gives an empty result and keeps the connection.
        bus.failTransfer(1, LIBUSB_ERROR_IO);
        QCOMPARE(usb.getSerialString(), QByteArray());
        QVERIFY(usb.isConnected());
    }

    void bulkTransfers()
    {
        vt520sim::Device &vt = bus.addVt520(1, 1);
        USBVT350 usb;
        unsigned char block[64] = {};
        QCOMPARE(usb.bulk_read(block, 64), -1); // Closed: no connect
        QCOMPARE(usb.bulk_write(block, 64), -1);
        QVERIFY(bus.transferLog().isEmpty());

        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.bulk_write(block, 0), -1);
        QCOMPARE(usb.bulk_write(nullptr, 4), -1);
        QCOMPARE(usb.bulk_write(reinterpret_cast<const unsigned char *>("wxyz"), 4), 4);
        QCOMPARE(vt.bulkOutData(), QByteArray("wxyz"));

        vt.queueBulkIn(QByteArray(64, 'q'));
        vt.queueBulkIn(QByteArray(10, 'r'));
        QCOMPARE(usb.ReadBulkBlock(block), 0);
        QCOMPARE(block[63], 'q');
        QCOMPARE(usb.ReadBulkBlock(block), -1);                        // only 10 bytes came
        QCOMPARE(usb.bulk_read(block, 64), int(LIBUSB_ERROR_TIMEOUT)); // passed through
        QVERIFY(usb.isConnected());                                    // bulk failures keep the connection
        const auto record = bus.transferLog().last();
        QVERIFY(record.bulk);
        QCOMPARE(record.requestType, uint8_t(0x81));
    }

    void disconnectWhileClosedIsHarmless()
    {
        USBVT350 usb;
        usb.disconnect();
        usb.disconnect();
        QVERIFY(!usb.isConnected());
    }
};

QTEST_GUILESS_MAIN(TestUsbDevice)
#include "test_usbdevice.moc"
