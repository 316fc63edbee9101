// Two threads share one device object, as the window and the firmware
// upgrade worker do. The emulator fails and counts any call made while
// another thread is inside the transport, so a clean run proves that the
// transport lock serialises every transfer, connect and disconnect.
// Self-contained (plain std::thread workers) so that it also runs under
// ThreadSanitizer: configure with -DVT520_SANITIZE=thread; ctest then passes
// tsan.supp, which silences the uninstrumented Qt libraries only.

#include "FailOnWarnings.h"
#include "sim/Vt520Sim.h"
#include "usb/USBVT350.h"

#include <QtTest>

#include <libusb.h>

#include <atomic>
#include <thread>

class TestTransportThreads : public QObject
{
    Q_OBJECT

    vt520sim::Bus &bus = vt520sim::Bus::instance();

private slots:
    void init()
    {
        failOnUnexpectedWarnings();
        bus.reset();
        bus.useVirtualClock(true);
    }

    void cleanup() { bus.setTransferHoldMicroseconds(0); }

    void transfersOfTwoThreadsNeverOverlap()
    {
        vt520sim::Device &vt = bus.addVt520(1, 1);
        QByteArray pattern(2048, '\0');
        for (int i = 0; i < pattern.size(); ++i)
            pattern[i] = char(i * 7);
        vt.setExternalFlash(0, pattern);
        // Keep every call inside the transport a while, so an unguarded
        // second thread would run into it.
        bus.setTransferHoldMicroseconds(300);
        // Now and then a transfer fails, so connects and disconnects of one
        // thread meet transfers of the other.
        bus.failRequest(9, LIBUSB_ERROR_TIMEOUT, 5);

        USBVT350 usb;
        std::atomic<int> readFailures{0};
        std::atomic<int> statusFailures{0};
        std::thread reader([&] {
            QByteArray buffer(2048, '\0');
            for (int round = 0; round < 15; ++round) {
                if (usb.ReadExternalFlashFromAddress(reinterpret_cast<unsigned char *>(buffer.data()), 0, 2048) != 0
                    || buffer != pattern)
                    ++readFailures;
            }
        });
        std::thread poller([&] {
            for (int round = 0; round < 60; ++round) {
                uint32_t status = 0;
                if (usb.StatusGet(&status) != 0)
                    ++statusFailures;
                if (round % 20 == 0)
                    usb.connect();
            }
        });
        reader.join();
        poller.join();

        QCOMPARE(bus.overlapCount(), 0);
        QCOMPARE(readFailures.load(), 0);
        QCOMPARE(statusFailures.load(), 5); // exactly the ordered faults
        QCOMPARE(bus.requestCount(5), 15 * 4);
        QCOMPARE(bus.requestCount(9), 60);
        for (const auto &record : bus.transferLog())
            QVERIFY(!record.overlapped);
    }

    // Device objects of different units each have their own lock: a
    // transfer to one unit goes while another unit's transfer is still held
    // inside the transport. One lock for the whole process would keep it
    // waiting until the first returned.
    void objectsOfTwoUnitsDoNotWaitForEachOther()
    {
        bus.addVt520At("1-1.1", "261100041");
        bus.addVt520At("1-1.2", "261100042");
        USBVT350 first;
        USBVT350 second;
        first.pinToPort("1-1.1");
        second.pinToPort("1-1.2");
        QCOMPARE(first.connect(), 0);
        QCOMPARE(second.connect(), 0);
        bus.clearTransferLog();

        bus.setTransferHoldMicroseconds(3000000);
        std::atomic<bool> firstReturned{false};
        std::thread holder([&] {
            uint32_t status = 0;
            first.StatusGet(&status);
            firstReturned = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(bus.transferLog().size() == 1, 60000);
        std::thread other([&] {
            uint32_t status = 0;
            second.StatusGet(&status);
        });
        QTRY_VERIFY_WITH_TIMEOUT(bus.transferLog().size() == 2, 60000);
        QVERIFY(!firstReturned);
        holder.join();
        other.join();
        QCOMPARE(bus.overlapCount(), 0);
        QVERIFY(bus.transferLog().at(0).address != bus.transferLog().at(1).address);
    }

    // The detector itself: a call made while another thread is held inside
    // the emulated transport is refused and counted.
    void detectorSeesUnguardedCalls()
    {
        bus.addVt520(1, 1);
        libusb_context *context = nullptr;
        QCOMPARE(libusb_init(&context), 0);
        libusb_device **list = nullptr;
        QCOMPARE(libusb_get_device_list(context, &list), ssize_t(1));
        libusb_device_handle *handle = nullptr;
        QCOMPARE(libusb_open(list[0], &handle), 0);
        libusb_free_device_list(list, 1);

        bus.setTransferHoldMicroseconds(2000000);
        std::thread holder([&] {
            unsigned char word[4];
            libusb_control_transfer(handle, 0xC0, 9, 0, 0, word, 4, 2000);
        });
        // The holder's transfer is logged before its hold starts.
        QTRY_VERIFY_WITH_TIMEOUT(!bus.transferLog().isEmpty(), 60000);
        unsigned char word[4];
        QCOMPARE(libusb_control_transfer(handle, 0xC0, 9, 0, 0, word, 4, 2000), int(LIBUSB_ERROR_BUSY));
        holder.join();
        QCOMPARE(bus.overlapCount(), 1);
        const auto log = bus.transferLog();
        QCOMPARE(log.size(), 2);
        QVERIFY(!log[0].overlapped);
        QVERIFY(log[1].overlapped);

        bus.setTransferHoldMicroseconds(0);
        libusb_close(handle);
        libusb_exit(context);
    }
};

QTEST_GUILESS_MAIN(TestTransportThreads)
#include "test_transport_threads.moc"
