#include "FailOnWarnings.h"
#include "sim/Vt520Sim.h"
#include "usb/USBVT350.h"

#include <QSignalSpy>
#include <QtTest>

#include <libusb.h>

#include <random>

// The command set against the emulated Vt520: chunk sizes, addresses,
// retries, progress and the status handshake.
class TestUSBVT350 : public QObject
{
    Q_OBJECT

    vt520sim::Bus &bus = vt520sim::Bus::instance();
    vt520sim::Device *vt = nullptr;

    struct Chunk {
        uint16_t value;
        uint16_t index;
        int length;
    };

    QList<Chunk> chunks(uint8_t request) const
    {
        QList<Chunk> found;
        for (const auto &record : bus.transferLog())
            if (!record.bulk && (record.requestType & 0x60) == 0x40 && record.request == request)
                found.append({record.value, record.index, record.length});
        return found;
    }

    static QByteArray randomBytes(int length, unsigned seed)
    {
        std::mt19937 generator(seed);
        QByteArray bytes(length, '\0');
        for (char &c : bytes)
            c = char(generator());
        return bytes;
    }

    static QList<int> values(const QSignalSpy &spy)
    {
        QList<int> list;
        for (const auto &arguments : spy)
            list.append(arguments.at(0).toInt());
        return list;
    }

private slots:
    void init()
    {
        failOnUnexpectedWarnings();
        bus.reset();
        bus.useVirtualClock(true);
        vt = &bus.addVt520(1, 1);
    }

    void externalReadChunks_data()
    {
        QTest::addColumn<uint32_t>("address");
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("lengths");
        QTest::addColumn<QList<int>>("progress");
        QTest::newRow("1000 bytes") << 0x14000u << 1000 << QList<int>{512, 488} << QList<int>{51, 100};
        QTest::newRow("one chunk") << 0u << 512 << QList<int>{512} << QList<int>{100};
        QTest::newRow("one byte") << 0xFFFFFu << 1 << QList<int>{1} << QList<int>{100};
        QTest::newRow("across 64 KiB") << 0xFF00u << 1536 << QList<int>{512, 512, 512} << QList<int>{33, 66, 100};
        QTest::newRow("nothing") << 0u << 0 << QList<int>{} << QList<int>{};
    }

    void externalReadChunks()
    {
        QFETCH(uint32_t, address);
        QFETCH(int, length);
        QFETCH(QList<int>, lengths);
        QFETCH(QList<int>, progress);
        const QByteArray stored = randomBytes(length, 3);
        vt->setExternalFlash(address, stored);
        USBVT350 usb;
        QSignalSpy readSpy(&usb, &USBVT350::sendPercentExtFlashRead);
        QSignalSpy writeSpy(&usb, &USBVT350::sendPercentExtFlashWrite);
        QByteArray buffer(length, '\0');
        QCOMPARE(usb.ReadExternalFlashFromAddress(buffer, address), 0);
        QCOMPARE(buffer, stored);
        QCOMPARE(values(readSpy), progress);
        QCOMPARE(writeSpy.count(), 0);
        const auto sent = chunks(5);
        QCOMPARE(sent.size(), lengths.size());
        uint32_t expected = address;
        for (int i = 0; i < sent.size(); ++i) {
            QCOMPARE(sent[i].length, lengths[i]);
            QCOMPARE(sent[i].value, uint16_t(expected & 0xFFFF));
            QCOMPARE(sent[i].index, uint16_t(expected >> 16));
            expected += uint32_t(lengths[i]);
        }
    }

    void externalWriteChunks_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("lengths");
        QTest::addColumn<QList<int>>("progress");
        QTest::newRow("256 bytes") << 256 << QList<int>{256} << QList<int>{100};
        QTest::newRow("257 bytes") << 257 << QList<int>{256, 1} << QList<int>{99, 100};
        QTest::newRow("1000 bytes") << 1000 << QList<int>{256, 256, 256, 232} << QList<int>{25, 51, 76, 100};
        QTest::newRow("nothing") << 0 << QList<int>{} << QList<int>{};
    }

    void externalWriteChunks()
    {
        QFETCH(int, length);
        QFETCH(QList<int>, lengths);
        QFETCH(QList<int>, progress);
        const uint32_t address = 0x15E00;
        const QByteArray data = randomBytes(length, 5);
        USBVT350 usb;
        QSignalSpy writeSpy(&usb, &USBVT350::sendPercentExtFlashWrite);
        QCOMPARE(usb.WriteExternalFlashToAddress(reinterpret_cast<const unsigned char *>(data.constData()), address,
                                                 uint32_t(length)),
                 0);
        QCOMPARE(values(writeSpy), progress);
        QCOMPARE(vt->externalFlash(address, uint32_t(length)), data);
        QCOMPARE(vt->externalFlash(address + uint32_t(length), 4), QByteArray(4, char(0xFF)));
        const auto sent = chunks(6);
        QCOMPARE(sent.size(), lengths.size());
        for (int i = 0; i < sent.size(); ++i)
            QCOMPARE(sent[i].length, lengths[i]);
        if (length == 0)
            QVERIFY(bus.transferLog().isEmpty()); // not even a connect
    }

    // The budget of 100 failed chunks belongs to one call.
    void retryBudget_data()
    {
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("failures");
        QTest::addColumn<int>("result");
        QTest::addColumn<QList<int>>("progress");
        for (bool write : {false, true}) {
            const char *kind = write ? "write" : "read";
            QTest::addRow("%s, 1 failure", kind) << write << 1 << 0 << QList<int>{50, 100};
            QTest::addRow("%s, 3 failures", kind) << write << 3 << 0 << QList<int>{50, 100};
            QTest::addRow("%s, 100 failures", kind) << write << 100 << 0 << QList<int>{50, 100};
            QTest::addRow("%s, 101 failures", kind) << write << 101 << -1 << QList<int>{};
        }
    }

    void retryBudget()
    {
        QFETCH(bool, write);
        QFETCH(int, failures);
        QFETCH(int, result);
        QFETCH(QList<int>, progress);
        const uint8_t request = write ? 6 : 5;
        const int length = write ? 512 : 1024; // two chunks either way
        bus.failRequest(request, LIBUSB_ERROR_TIMEOUT, failures);
        USBVT350 usb;
        QSignalSpy spy(&usb, write ? &USBVT350::sendPercentExtFlashWrite : &USBVT350::sendPercentExtFlashRead);
        QByteArray buffer(length, 'x');
        const int64_t before = bus.nowMs();
        const int got =
            write ? usb.WriteExternalFlashToAddress(buffer, 0) : usb.ReadExternalFlashFromAddress(buffer, 0);
        QCOMPARE(got, result);
        QCOMPARE(values(spy), progress);
        QCOMPARE(bus.requestCount(request), qMin(failures, 101) + (result == 0 ? 2 : 0));
        // A device that never answers holds each transfer for its 2000 ms timeout.
        QCOMPARE(bus.nowMs() - before, int64_t(qMin(failures, 101)) * 2000);
    }

    void retryBudgetIsNotCarriedOver()
    {
        USBVT350 usb;
        QByteArray buffer(256, 'y');
        for (int call = 0; call < 3; ++call) {
            bus.failRequest(6, LIBUSB_ERROR_PIPE, 80);
            QCOMPARE(usb.WriteExternalFlashToAddress(buffer, 0), 0);
        }
    }

    // A failed chunk drops the connection; the retry reconnects by itself.
    void failedChunkReconnectsInvisibly()
    {
        USBVT350 usb;
        QSignalSpy spy(&usb, &USBVT350::sendPercentExtFlashWrite);
        const QByteArray data = randomBytes(1024, 13);
        bus.failTransfer(3, LIBUSB_ERROR_NO_DEVICE); // transfers: id request, chunk 1, chunk 2
        QCOMPARE(usb.WriteExternalFlashToAddress(reinterpret_cast<const unsigned char *>(data.constData()), 0, 1024),
                 0);
        QCOMPARE(values(spy), (QList<int>{25, 50, 75, 100}));
        QCOMPARE(bus.requestCount(255), 2);
        QCOMPARE(vt->externalFlash(0, 1024), data);
    }

    // A call that runs out of retries after some good chunks has reported
    // just that prefix.
    void failedCallKeepsItsLastProgress()
    {
        USBVT350 usb;
        QSignalSpy spy(&usb, &USBVT350::sendPercentExtFlashWrite);
        QByteArray buffer(1024, 'z');
        // Transfer 1 is the id request, 2 and 3 the first two chunks; every
        // later attempt (a reconnect's id request) fails, 101 in all.
        for (int nth = 4; nth <= 104; ++nth)
            bus.failTransfer(nth, LIBUSB_ERROR_PIPE);
        QCOMPARE(usb.WriteExternalFlashToAddress(buffer, 0), -1);
        QCOMPARE(values(spy), (QList<int>{25, 50}));
        QCOMPARE(vt->externalFlash(0, 512), QByteArray(512, 'z'));
        QCOMPARE(vt->externalFlash(512, 512), QByteArray(512, char(0xFF)));
    }

    void readMemoryAddressesAndPlainBytes_data()
    {
        QTest::addColumn<uint32_t>("address");
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("lengths");
        QTest::newRow("version block") << 0x08003FD0u << 32 << QList<int>{32};
        QTest::newRow("5000 bytes") << 0x08004000u << 5000 << QList<int>{2048, 2048, 904};
        QTest::newRow("odd length") << 0x08000003u << 7 << QList<int>{7};
        QTest::newRow("nothing") << 0x08000000u << 0 << QList<int>{};
    }

    void readMemoryAddressesAndPlainBytes()
    {
        QFETCH(uint32_t, address);
        QFETCH(int, length);
        QFETCH(QList<int>, lengths);
        USBVT350 usb;
        QByteArray buffer(length, '\0');
        QCOMPARE(usb.ReadMemory(buffer, address), 0);
        QCOMPARE(buffer, vt->internalFlash(address, uint32_t(length)));
        const auto sent = chunks(1);
        QCOMPARE(sent.size(), lengths.size());
        uint32_t expected = address;
        for (int i = 0; i < sent.size(); ++i) {
            QCOMPARE(sent[i].length, lengths[i]);
            QCOMPARE(sent[i].value, uint16_t(expected & 0xFFFF));
            QCOMPARE(sent[i].index, uint16_t(expected >> 16));
            expected += uint32_t(lengths[i]);
        }
        if (address == 0x08003FD0u) {
            QCOMPARE(sent.first().value, uint16_t(0x3FD0));
            QCOMPARE(sent.first().index, uint16_t(0x0800));
        }
    }

    void readMemoryDoesNotRetry()
    {
        USBVT350 usb;
        QByteArray buffer(4096, '\0');
        bus.failRequest(1, LIBUSB_ERROR_PIPE, 1);
        QCOMPARE(usb.ReadMemory(buffer, 0x08004000), -1);
        QCOMPARE(bus.requestCount(1), 1);
        // Beyond the internal flash the device stalls.
        QByteArray two(2, '\0');
        QCOMPARE(usb.ReadMemory(two, 0x0803FFFF), -1);
    }

    void writePageSecondPage()
    {
        vt->setMode(vt520sim::Mode::Bootloader);
        USBVT350 usb;
        const QByteArray plain = randomBytes(1024, 11);
        QByteArray buffer = plain;
        const uint32_t address = 0x08004000 + 1024;
        QCOMPARE(usb.WritePage(buffer, address), 0);
        const auto sent = chunks(3);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().value, uint16_t(0x4400));
        QCOMPARE(sent.first().index, uint16_t(0x0800));
        QCOMPARE(sent.first().length, 1024);
        // The caller's copy is left scrambled; the device stores plain bytes.
        QVERIFY(buffer != plain);
        DecodeBuffer(buffer);
        QCOMPARE(buffer, plain);
        QCOMPARE(vt->internalFlash(address, 1024), plain);
    }

    void writePageFailsInApplicationMode()
    {
        USBVT350 usb;
        QByteArray buffer(1024, 'p');
        QCOMPARE(usb.WritePage(buffer, 0x08004000), -1);
        QCOMPARE(bus.transferLog().last().result, int(LIBUSB_ERROR_PIPE));
    }

    void statusWord()
    {
        USBVT350 usb;
        QCOMPARE(usb.StatusSet(0x80000006), 0);
        QCOMPARE(vt->status(), 0x80000006u);
        QCOMPARE(usb.StatusClr(0x80000002), 0);
        QCOMPARE(vt->status(), 0x4u);
        uint32_t status = 0;
        QCOMPARE(usb.StatusGet(&status), 0);
        QCOMPARE(status, 4u);
        QCOMPARE(usb.StatusGet(nullptr), 0);
        bus.failRequest(8, LIBUSB_ERROR_PIPE, 1);
        QCOMPARE(usb.StatusRelease(), -1);
    }

    void statusAcquire_data()
    {
        QTest::addColumn<uint32_t>("initialStatus");
        QTest::addColumn<int>("acknowledgeAfter");
        QTest::addColumn<int>("failingReads");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("reads");
        QTest::addColumn<int>("sets");
        QTest::addColumn<int>("connects");
        QTest::newRow("already set") << 1u << 1 << 0 << 0 << 1 << 0 << 1;
        QTest::newRow("set at the next read") << 0u << 1 << 0 << 0 << 2 << 1 << 1;
        QTest::newRow("set after three reads") << 0u << 3 << 0 << 0 << 4 << 3 << 1;
        QTest::newRow("never set") << 0u << vt520sim::Never << 0 << -1 << 11 << 11 << 1;
        QTest::newRow("one failing read") << 0u << 1 << 1 << 0 << 3 << 1 << 2;
        QTest::newRow("failing reads only") << 0u << 1 << 11 << -1 << 11 << 0 << 12;
        QTest::newRow("last read shows it") << 0u << 10 << 0 << 0 << 11 << 10 << 1;
        QTest::newRow("one read too late") << 0u << 11 << 0 << -1 << 11 << 11 << 1;
    }

    void statusAcquire()
    {
        QFETCH(uint32_t, initialStatus);
        QFETCH(int, acknowledgeAfter);
        QFETCH(int, failingReads);
        QFETCH(int, result);
        QFETCH(int, reads);
        QFETCH(int, sets);
        QFETCH(int, connects);
        vt->setStatus(initialStatus);
        vt->setAcknowledgeAfterReads(acknowledgeAfter);
        if (failingReads)
            bus.failRequest(9, LIBUSB_ERROR_TIMEOUT, failingReads);
        USBVT350 usb;
        QCOMPARE(usb.StatusAcquire(), result);
        QCOMPARE(bus.requestCount(9), reads);
        QCOMPARE(bus.requestCount(7), sets);
        QCOMPARE(bus.requestCount(255), connects);
        QCOMPARE(bool(vt->status() & 1), result == 0);
        if (result == 0) {
            QCOMPARE(usb.StatusRelease(), 0);
            QCOMPARE(vt->status() & 1, 0u);
        }
    }

    void statusAcquireWithoutDevice()
    {
        vt->unplug();
        USBVT350 usb;
        QCOMPARE(usb.StatusAcquire(), -1);
        QCOMPARE(bus.requestCount(9), 0);
    }

    void runApplicationResetsIntoBootloader()
    {
        USBVT350 usb;
        QCOMPARE(usb.connect(), 0);
        usb.RunApplication();
        const auto sent = chunks(4);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().length, 0);
        QCOMPARE(vt->mode(), vt520sim::Mode::Bootloader);
        QVERIFY(!vt->isPresent());
        usb.disconnect();
        QCOMPARE(usb.connect(), -1);
        bus.sleepMs(1000);
        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.getSerialString(), QByteArray("261100042b"));
    }
};

QTEST_GUILESS_MAIN(TestUSBVT350)
#include "test_usbvt350.moc"
