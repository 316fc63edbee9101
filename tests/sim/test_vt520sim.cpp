#include "FailOnWarnings.h"
#include "sim/Vt520Sim.h"
#include "usb/USBVT350.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <libusb.h>

#include <random>

// The emulated Vt520 itself, driven through the shipping transport and
// command set: memory layout, strictness, modes, re-enumeration on the
// virtual clock, faults, costs and persistent state.
class TestVt520Sim : public QObject
{
    Q_OBJECT

    vt520sim::Bus &bus = vt520sim::Bus::instance();
    vt520sim::Device *vt = nullptr;

    static QByteArray randomBytes(int length, unsigned seed)
    {
        std::mt19937 generator(seed);
        QByteArray bytes(length, '\0');
        for (char &c : bytes)
            c = char(generator());
        return bytes;
    }

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The one device on the bus, opened without the transport.
    static libusb_device_handle *openOnlyDevice(libusb_context *context)
    {
        libusb_device **list = nullptr;
        libusb_device_handle *handle = nullptr;
        if (libusb_get_device_list(context, &list) == 1 && libusb_open(list[0], &handle) != 0)
            handle = nullptr;
        libusb_free_device_list(list, 1);
        return handle;
    }

private slots:
    // Before any test control: one Vt520 on bus 1, in memory (the test
    // harness leaves VT520_SIM_STATE empty).
    void initTestCase()
    {
        const QList<vt520sim::Device *> devices = bus.devices();
        QCOMPARE(devices.size(), 1);
        QCOMPARE(devices.first()->busNumber(), 1);
        QCOMPARE(devices.first()->stateFolder(), QString());
        USBVT350 usb;
        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.getSerialString().size(), 9);
    }

    void init()
    {
        failOnUnexpectedWarnings();
        bus.reset();
        bus.useVirtualClock(true);
        vt = &bus.addVt520(1, 1);
    }

    void factoryState()
    {
        QVERIFY(vt->applicationSumValid());
        QCOMPARE(vt->mode(), vt520sim::Mode::Application);
        QCOMPARE(vt->externalFlash(0, 1024 * 1024), QByteArray(1024 * 1024, char(0xFF)));
        USBVT350 usb;
        QByteArray block(32, '\0');
        QCOMPARE(usb.ReadMemory(block, 0x08003FD0), 0);
        QVERIFY(!block.left(16).startsWith('\0'));
        QVERIFY(block.left(16).contains('\0')); // zero-terminated
        QVERIFY(!block.mid(16).startsWith('\0'));
        QVERIFY(block.mid(16).contains('\0'));
    }

    void pagesWrittenScrambledReadBackPlain()
    {
        vt->setMode(vt520sim::Mode::Bootloader);
        USBVT350 usb;
        const QByteArray image = randomBytes(3 * 1024, 21);
        for (int page = 0; page < 3; ++page) {
            QByteArray buffer = image.mid(page * 1024, 1024);
            QCOMPARE(usb.WritePage(buffer, 0x08004000 + uint32_t(page) * 1024), 0);
        }
        QCOMPARE(vt->internalFlash(0x08004000, 3 * 1024), image);
        QByteArray readBack(3 * 1024, '\0');
        QCOMPARE(usb.ReadMemory(readBack, 0x08004000), 0);
        QCOMPARE(readBack, image);
        // On the wire the bytes are scrambled.
        QByteArray raw(1024, '\0');
        QCOMPARE(usb.control_receive(1, 0x4000, 0x0800, raw), 1024);
        QVERIFY(raw != image.left(1024));
    }

    void strictRequests_data()
    {
        QTest::addColumn<bool>("in");
        QTest::addColumn<int>("request");
        QTest::addColumn<uint32_t>("address");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("bootloader");
        QTest::addColumn<bool>("accepted");
        // Page writes: bootloader only, aligned, not below 0x08004000, 1024 bytes.
        QTest::newRow("page ok") << false << 3 << 0x08004400u << 1024 << true << true;
        QTest::newRow("page last") << false << 3 << 0x0803FC00u << 1024 << true << true;
        QTest::newRow("page past end") << false << 3 << 0x08040000u << 1024 << true << false;
        QTest::newRow("page in bootloader area") << false << 3 << 0x08003C00u << 1024 << true << false;
        QTest::newRow("page at flash start") << false << 3 << 0x08000000u << 1024 << true << false;
        QTest::newRow("page unaligned") << false << 3 << 0x08004200u << 1024 << true << false;
        QTest::newRow("page short") << false << 3 << 0x08004000u << 512 << true << false;
        QTest::newRow("page long") << false << 3 << 0x08004000u << 2048 << true << false;
        QTest::newRow("page in application mode") << false << 3 << 0x08004000u << 1024 << false << false;
        // Memory reads: 1..2048 bytes inside the internal flash, both modes.
        QTest::newRow("read 2048") << true << 1 << 0x08000000u << 2048 << false << true;
        QTest::newRow("read 2049") << true << 1 << 0x08000000u << 2049 << false << false;
        QTest::newRow("read below flash") << true << 1 << 0x07FFFFFCu << 8 << false << false;
        QTest::newRow("read past flash") << true << 1 << 0x0803FFFCu << 8 << true << false;
        // External flash: 1..512 read, 1..256 write, never past 1 MiB.
        QTest::newRow("ext read 512") << true << 5 << 0xFFE00u << 512 << false << true;
        QTest::newRow("ext read 513") << true << 5 << 0u << 513 << false << false;
        QTest::newRow("ext read past end") << true << 5 << 0xFFF00u << 512 << false << false;
        QTest::newRow("ext write 256 at end") << false << 6 << 0xFFF00u << 256 << true << true;
        QTest::newRow("ext write 257") << false << 6 << 0u << 257 << false << false;
        QTest::newRow("ext write past end") << false << 6 << 0xFFF01u << 256 << false << false;
        QTest::newRow("ext write as IN") << true << 6 << 0u << 16 << false << false;
        QTest::newRow("ext read as OUT") << false << 5 << 0u << 16 << false << false;
        // Status: exactly 4 bytes, no address, right direction.
        QTest::newRow("status read 8") << true << 9 << 0u << 8 << false << false;
        QTest::newRow("status read as OUT") << false << 9 << 0u << 4 << false << false;
        QTest::newRow("status set 3") << false << 7 << 0u << 3 << false << false;
        QTest::newRow("status set with address") << false << 7 << 1u << 4 << false << false;
        QTest::newRow("status clear as IN") << true << 8 << 0u << 4 << false << false;
        // Test block: exactly 512 bytes.
        QTest::newRow("test block") << false << 2 << 0u << 512 << false << true;
        QTest::newRow("test block short") << false << 2 << 0u << 511 << false << false;
        QTest::newRow("unknown request") << false << 10 << 0u << 4 << true << false;
        QTest::newRow("unknown IN request") << true << 0 << 0u << 4 << true << false;
        QTest::newRow("id request as OUT") << false << 255 << 0u << 2 << false << false;
    }

    void strictRequests()
    {
        QFETCH(bool, in);
        QFETCH(int, request);
        QFETCH(uint32_t, address);
        QFETCH(int, length);
        QFETCH(bool, bootloader);
        QFETCH(bool, accepted);
        if (bootloader)
            vt->setMode(vt520sim::Mode::Bootloader);
        USBVT350 usb;
        QByteArray buffer(length, '\x5A');
        const int result = in ? usb.control_receive(request, address & 0xFFFF, address >> 16, buffer)
                              : usb.control_send(request, address & 0xFFFF, address >> 16, buffer);
        QCOMPARE(result, accepted ? length : -1);
        QCOMPARE(bus.transferLog().last().result, accepted ? length : int(LIBUSB_ERROR_PIPE));
        QCOMPARE(usb.isConnected(), accepted);
    }

    // The standard requests every device answers, in both modes, and the
    // strictness around them: a wrong direction, recipient, index, language
    // or length stalls.
    void standardRequests_data()
    {
        QTest::addColumn<int>("requestType");
        QTest::addColumn<int>("request");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("bootloader");
        QTest::addColumn<QByteArray>("answer"); // empty: stalls
        const QByteArray noStatus("\0\0", 2);
        const QByteArray languages("\x04\x03\x09\x04", 4);
        QTest::newRow("device status") << 0x80 << 0 << 0 << 0 << 2 << false << noStatus;
        QTest::newRow("device status in bootloader") << 0x80 << 0 << 0 << 0 << 2 << true << noStatus;
        QTest::newRow("interface status") << 0x81 << 0 << 0 << 0 << 2 << false << noStatus;
        QTest::newRow("endpoint 0x81 status") << 0x82 << 0 << 0 << 0x81 << 2 << false << noStatus;
        QTest::newRow("endpoint 0x02 status") << 0x82 << 0 << 0 << 0x02 << 2 << false << noStatus;
        QTest::newRow("status of a missing endpoint") << 0x82 << 0 << 0 << 0x83 << 2 << false << QByteArray();
        QTest::newRow("status of a missing interface") << 0x81 << 0 << 0 << 1 << 2 << false << QByteArray();
        QTest::newRow("status of 4 bytes") << 0x80 << 0 << 0 << 0 << 4 << false << QByteArray();
        QTest::newRow("status as OUT") << 0x00 << 0 << 0 << 0 << 2 << false << QByteArray();
        QTest::newRow("status to other") << 0x83 << 0 << 0 << 0 << 2 << false << QByteArray();
        QTest::newRow("configuration") << 0x80 << 8 << 0 << 0 << 1 << true << QByteArray(1, '\1');
        QTest::newRow("configuration of 2 bytes") << 0x80 << 8 << 0 << 0 << 2 << false << QByteArray();
        QTest::newRow("language table") << 0x80 << 6 << 0x0300 << 0 << 255 << false << languages;
        QTest::newRow("language table in a language") << 0x80 << 6 << 0x0300 << 0x0409 << 255 << false << QByteArray();
        QTest::newRow("manufacturer") << 0x80 << 6 << 0x0301 << 0x0409 << 255 << false
                                      << QByteArray("\x0c\x03V\0t\0"
                                                    "5\0"
                                                    "2\0"
                                                    "0\0",
                                                    12);
        QTest::newRow("serial in bootloader") << 0x80 << 6 << 0x0303 << 0x0409 << 255 << true
                                              << QByteArray("\x16\x03"
                                                            "2\0"
                                                            "6\0"
                                                            "1\0"
                                                            "1\0"
                                                            "0\0"
                                                            "0\0"
                                                            "0\0"
                                                            "4\0"
                                                            "2\0"
                                                            "b\0",
                                                            22);
        QTest::newRow("serial cut to 4 bytes") << 0x80 << 6 << 0x0303 << 0 << 4 << false
                                               << QByteArray("\x14\x03"
                                                             "2\0",
                                                             4);
        QTest::newRow("string 4") << 0x80 << 6 << 0x0304 << 0x0409 << 255 << false << QByteArray();
        QTest::newRow("string in German") << 0x80 << 6 << 0x0302 << 0x0407 << 255 << false << QByteArray();
        // bcdDevice tells the mode: 1.00 for the application, 0.00 for the bootloader.
        const QByteArray device("\x12\x01\x00\x02\xFF\x00\x00\x40\xC0\x16\x8E\x07", 12);
        QTest::newRow("device descriptor")
            << 0x80 << 6 << 0x0100 << 0 << 14 << false << device + QByteArray("\x00\x01", 2);
        QTest::newRow("device descriptor in bootloader")
            << 0x80 << 6 << 0x0100 << 0 << 14 << true << device + QByteArray("\x00\x00", 2);
        QTest::newRow("descriptor as OUT") << 0x00 << 6 << 0x0100 << 0 << 18 << false << QByteArray();
        QTest::newRow("device qualifier") << 0x80 << 6 << 0x0600 << 0 << 10 << false << QByteArray();
        QTest::newRow("configuration 1") << 0x80 << 6 << 0x0201 << 0 << 9 << false << QByteArray();
        QTest::newRow("unknown standard request") << 0x80 << 10 << 0 << 0 << 1 << false << QByteArray();
    }

    void standardRequests()
    {
        QFETCH(int, requestType);
        QFETCH(int, request);
        QFETCH(int, value);
        QFETCH(int, index);
        QFETCH(int, length);
        QFETCH(bool, bootloader);
        QFETCH(QByteArray, answer);
        if (bootloader)
            vt->setMode(vt520sim::Mode::Bootloader);
        libusb_context *context = nullptr;
        QCOMPARE(libusb_init(&context), 0);
        libusb_device_handle *handle = openOnlyDevice(context);
        QVERIFY(handle);
        QByteArray buffer(length, '\x5A');
        const int result =
            libusb_control_transfer(handle, uint8_t(requestType), uint8_t(request), uint16_t(value), uint16_t(index),
                                    reinterpret_cast<unsigned char *>(buffer.data()), uint16_t(length), 1000);
        libusb_close(handle);
        libusb_exit(context);
        if (answer.isEmpty()) {
            QCOMPARE(result, int(LIBUSB_ERROR_PIPE));
        } else {
            QCOMPARE(result, answer.size());
            QCOMPARE(buffer.left(result), answer);
        }
        // Logged as every transfer that reaches the device, but counted as
        // no vendor request.
        QCOMPARE(bus.transferLog().size(), 1);
        QCOMPARE(bus.requestCount(uint8_t(request)), 0);
    }

    // The configuration descriptor names the interface and endpoints that
    // the transport claims and uses.
    void configurationDescriptor()
    {
        libusb_context *context = nullptr;
        QCOMPARE(libusb_init(&context), 0);
        libusb_device_handle *handle = openOnlyDevice(context);
        QVERIFY(handle);
        unsigned char bytes[64] = {};
        const int received = libusb_get_descriptor(handle, LIBUSB_DT_CONFIG, 0, bytes, sizeof bytes);
        libusb_close(handle);
        libusb_exit(context);
        QCOMPARE(received, 32);
        QCOMPARE(int(bytes[2] | bytes[3] << 8), 32); // wTotalLength
        QCOMPARE(int(bytes[5]), 1);                  // bConfigurationValue
        QCOMPARE(int(bytes[9 + 5]), 0xFF);           // vendor interface class
        QCOMPARE(int(bytes[18 + 2]), 0x81);
        QCOMPARE(int(bytes[25 + 2]), 0x02);
    }

    void testBlockIsStored()
    {
        USBVT350 usb;
        QByteArray block(512, '\0');
        for (int i = 0; i < 512; ++i)
            block[i] = char(i % 256);
        QCOMPARE(usb.control_send(2, 0, 0, block), 512);
        QCOMPARE(vt->testBlock(), block);
    }

    void decoyStallsVendorRequests()
    {
        bus.reset();
        vt520sim::Device &decoy = bus.addDevice(1, 1, 0x16C0, 0x078E);
        USBVT350 usb;
        QCOMPARE(usb.connect(), -1);
        QCOMPARE(bus.transferLog().last().result, int(LIBUSB_ERROR_PIPE));
        QCOMPARE(decoy.busNumber(), 1);
    }

    void resetIntoBootloaderAndBack()
    {
        USBVT350 usb;
        QCOMPARE(usb.connect(), 0);
        const int64_t start = bus.nowMs();
        usb.RunApplication();
        QCOMPARE(vt->mode(), vt520sim::Mode::Bootloader);
        // The open handle is dead at once.
        uint32_t status = 0;
        QCOMPARE(usb.StatusGet(&status), -1);
        QCOMPARE(bus.transferLog().last().result, int(LIBUSB_ERROR_NO_DEVICE));
        bus.advanceClock(999 - (bus.nowMs() - start));
        QVERIFY(!vt->isPresent());
        QCOMPARE(usb.connect(), -1);
        bus.advanceClock(1);
        QVERIFY(vt->isPresent());
        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.getSerialString(), QByteArray("261100042b"));

        // With a valid application sum the bootloader starts the application.
        vt->setReenumerateDelay(250);
        usb.RunApplication();
        bus.advanceClock(250);
        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.getSerialString(), QByteArray("261100042"));
        QCOMPARE(vt->mode(), vt520sim::Mode::Application);
    }

    // Every return to the bus takes a new address at the same port, after
    // request 4 as after an unplug and replug; libusb reports the port path.
    void returnToTheBusKeepsThePortPath_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::newRow("request 4") << true;
        QTest::newRow("unplug and replug") << false;
    }

    void returnToTheBusKeepsThePortPath()
    {
        QFETCH(bool, reset);
        vt520sim::Device &hub = bus.addVt520At("1-1.4", "222222222");
        QCOMPARE(hub.portPath(), QString("1-1.4"));
        const int before = hub.address();
        QVERIFY(before != vt->address());
        if (reset) {
            USBVT350 usb;
            usb.pinToPort("1-1.4");
            QCOMPARE(usb.connect(), 0);
            usb.RunApplication();
            bus.advanceClock(1000);
        } else {
            hub.unplug();
            hub.replug();
        }
        QVERIFY(hub.isPresent());
        QVERIFY(hub.address() != before && hub.address() != vt->address());
        QCOMPARE(bus.deviceAt("1-1.4"), &hub);
        QCOMPARE(bus.device(1, hub.address()), &hub);

        libusb_context *context = nullptr;
        QCOMPARE(libusb_init(&context), 0);
        libusb_device **list = nullptr;
        QCOMPARE(libusb_get_device_list(context, &list), ssize_t(2));
        libusb_device *found = list[0];
        if (libusb_get_device_address(found) != hub.address())
            found = list[1];
        QCOMPARE(int(libusb_get_device_address(found)), hub.address());
        uint8_t ports[7] = {};
        QCOMPARE(libusb_get_port_numbers(found, ports, 7), 2);
        QCOMPARE(ports[0], uint8_t(1));
        QCOMPARE(ports[1], uint8_t(4));
        QCOMPARE(libusb_get_port_number(found), uint8_t(4));
        QCOMPARE(libusb_get_port_numbers(found, ports, 1), int(LIBUSB_ERROR_OVERFLOW));
        QCOMPARE(UsbDevice::portPathOf(found), QString("1-1.4"));
        libusb_free_device_list(list, 1);
        libusb_exit(context);
    }

    void badApplicationSumKeepsTheBootloader()
    {
        vt->setMode(vt520sim::Mode::Bootloader);
        QByteArray byte = vt->internalFlash(0x08010000, 1);
        byte[0] = char(byte[0] ^ 0x40);
        vt->setInternalFlash(0x08010000, byte);
        QVERIFY(!vt->applicationSumValid());
        USBVT350 usb;
        usb.RunApplication();
        bus.advanceClock(1000);
        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.getSerialString(), QByteArray("261100042b"));

        vt->fixApplicationSum();
        QVERIFY(vt->applicationSumValid());
        usb.RunApplication();
        bus.advanceClock(1000);
        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.getSerialString(), QByteArray("261100042"));
    }

    void pagesWrittenThroughUsbMakeAValidApplication()
    {
        vt->setMode(vt520sim::Mode::Bootloader);
        USBVT350 usb;
        // An application image of 112 KiB whose last word is the sum of the others.
        QByteArray image = randomBytes(0x1C000, 5);
        uint32_t sum = 0;
        for (int i = 0; i + 4 < image.size(); i += 4)
            sum += uint32_t(uint8_t(image[i])) | uint32_t(uint8_t(image[i + 1])) << 8
                   | uint32_t(uint8_t(image[i + 2])) << 16 | uint32_t(uint8_t(image[i + 3])) << 24;
        for (int k = 0; k < 4; ++k)
            image[image.size() - 4 + k] = char(sum >> (8 * k));
        for (int page = 0; page < image.size() / 1024; ++page) {
            QByteArray buffer = image.mid(page * 1024, 1024);
            QCOMPARE(usb.WritePage(buffer, 0x08004000 + uint32_t(page) * 1024), 0);
        }
        QVERIFY(vt->applicationSumValid());
        QCOMPARE(vt->applicationSum(), sum);
    }

    void bootloaderThatNeverReturns()
    {
        vt->setBootloaderNeverReturns(true);
        USBVT350 usb;
        usb.RunApplication();
        bus.advanceClock(3600 * 1000);
        QVERIFY(!vt->isPresent());
        QCOMPARE(usb.connect(), -1);
    }

    void corruptedReadBack()
    {
        vt->corruptReadBack(0x08004010, 0x80, 1);
        USBVT350 usb;
        const QByteArray stored = vt->internalFlash(0x08004000, 1024);
        QByteArray page(1024, '\0');
        QCOMPARE(usb.ReadMemory(page, 0x08004000), 0);
        QCOMPARE(page.size(), stored.size());
        for (int i = 0; i < 1024; ++i)
            QCOMPARE(uint8_t(page[i]), uint8_t(i == 0x10 ? stored[i] ^ 0x80 : stored[i]));
        QCOMPARE(usb.ReadMemory(page, 0x08004000), 0);
        QCOMPARE(page, stored); // count 1: only the first read was corrupted
    }

    void nthTransferFault()
    {
        USBVT350 usb;
        QCOMPARE(usb.connect(), 0);
        bus.failTransfer(2, LIBUSB_ERROR_IO);
        uint32_t status = 0;
        QCOMPARE(usb.StatusGet(&status), 0);
        QCOMPARE(usb.StatusGet(&status), -1);
        QCOMPARE(bus.transferLog().last().result, int(LIBUSB_ERROR_IO));
        QCOMPARE(usb.StatusGet(&status), 0);
    }

    // A run of one request later in a phase: the requests before it go
    // through, other requests do not count, and the run ends as ordered.
    void laterRequestFault_data()
    {
        QTest::addColumn<int>("occurrence");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("results"); // of six status reads, a status set between each
        QTest::newRow("the third status read") << 3 << 1 << "ok ok fail ok ok ok";
        QTest::newRow("the third and the fourth") << 3 << 2 << "ok ok fail fail ok ok";
        QTest::newRow("from the fifth on") << 5 << int(vt520sim::Never) << "ok ok ok ok fail fail";
        QTest::newRow("the next one") << 1 << 1 << "fail ok ok ok ok ok";
    }

    void laterRequestFault()
    {
        QFETCH(int, occurrence);
        QFETCH(int, count);
        QFETCH(QString, results);
        USBVT350 usb;
        QCOMPARE(usb.connect(), 0);
        bus.failRequestAt(USBVT350::RequestStatusGet, occurrence, LIBUSB_ERROR_TIMEOUT, count);
        QStringList seen;
        for (int i = 0; i < 6; ++i) {
            uint32_t status = 0;
            seen.append(usb.StatusGet(&status) == 0 ? "ok" : "fail");
            QCOMPARE(usb.StatusSet(0x10), 0);
        }
        QCOMPARE(seen.join(' '), results);
        QCOMPARE(bus.requestCount(USBVT350::RequestStatusGet), 6);
        for (const vt520sim::TransferRecord &record : bus.transferLog())
            if (record.request == USBVT350::RequestStatusGet && record.result < 0)
                QCOMPARE(record.result, int(LIBUSB_ERROR_TIMEOUT));
    }

    // An answer lost on its way back: the unit has acted on the request,
    // the host sees a timeout after the whole of its timeout and an IN
    // buffer untouched; the next request is answered as usual.
    void answerLost_data()
    {
        QTest::addColumn<int>("request");
        QTest::addColumn<int>("order"); // 0: failTransfer, 1: failRequest, 2: failRequestAt
        QTest::newRow("page written") << 3 << 0;
        QTest::newRow("chunk stored") << 6 << 1;
        QTest::newRow("status bit set") << 7 << 2;
        QTest::newRow("status read") << 9 << 0;
    }

    void answerLost()
    {
        QFETCH(int, request);
        QFETCH(int, order);
        constexpr unsigned TimeoutMs = 700;
        vt->setMode(request == 3 ? vt520sim::Mode::Bootloader : vt520sim::Mode::Application);
        vt->setStatus(0x5A);
        libusb_context *context = nullptr;
        QCOMPARE(libusb_init(&context), 0);
        libusb_device_handle *handle = openOnlyDevice(context);
        QVERIFY(handle);

        QByteArray data = randomBytes(request == 3 ? 1024 : request == 6 ? 256 : 4, 11);
        if (request == 7)
            data = QByteArray("\x04\x00\x00\x00", 4);
        const QByteArray sent = data;
        const bool in = request == 9;
        const uint16_t value = request == 3 ? 0x4400 : request == 6 ? 0x2000 : 0;
        const uint16_t index = request == 3 ? 0x0800 : request == 6 ? 0x0002 : 0;
        if (order == 0)
            bus.failTransfer(1, vt520sim::AnswerLost);
        else if (order == 1)
            bus.failRequest(uint8_t(request), vt520sim::AnswerLost, 1);
        else
            bus.failRequestAt(uint8_t(request), 1, vt520sim::AnswerLost);
        const int64_t before = bus.nowMs();
        QCOMPARE(libusb_control_transfer(handle, in ? 0xC0 : 0x40, uint8_t(request), value, index,
                                         reinterpret_cast<unsigned char *>(data.data()), uint16_t(data.size()),
                                         TimeoutMs),
                 int(LIBUSB_ERROR_TIMEOUT));
        QCOMPARE(bus.nowMs() - before, int64_t(TimeoutMs));
        QCOMPARE(bus.transferLog().last().result, int(LIBUSB_ERROR_TIMEOUT));
        QCOMPARE(data, sent); // an IN answer never reached the buffer

        switch (request) {
        case 3: { // the same bytes written cleanly to the next page land equal
            QCOMPARE(libusb_control_transfer(handle, 0x40, 3, 0x4800, 0x0800,
                                             reinterpret_cast<unsigned char *>(data.data()), 1024, TimeoutMs),
                     1024);
            QCOMPARE(vt->internalFlash(0x08004400, 1024), vt->internalFlash(0x08004800, 1024));
            QVERIFY(vt->internalFlash(0x08004400, 1024) != QByteArray(1024, char(0xFF)));
            break;
        }
        case 6:
            QCOMPARE(vt->externalFlash(0x22000, 256), sent);
            break;
        case 7:
            QCOMPARE(vt->status(), 0x5Eu);
            break;
        case 9: {
            unsigned char word[4] = {};
            QCOMPARE(libusb_control_transfer(handle, 0xC0, 9, 0, 0, word, 4, TimeoutMs), 4);
            QCOMPARE(word[0], uint8_t(0x5A));
            break;
        }
        }
        libusb_close(handle);
        libusb_exit(context);
    }

    // A unit that comes back as at power-on: its bootloader picks the mode
    // from the application's sum, the status word and RAM are cleared, the
    // flashes kept; a unit back with its state kept is unchanged.
    void powerOnReturn_data()
    {
        QTest::addColumn<QString>("how"); // transfer, request, cycle
        QTest::addColumn<bool>("powerOn");
        QTest::addColumn<bool>("fromBootloader");
        QTest::addColumn<bool>("sumValid");
        QTest::addColumn<bool>("application"); // the mode it comes back in
        QTest::newRow("application, valid sum") << "transfer" << true << false << true << true;
        QTest::newRow("application, bad sum") << "request" << true << false << false << false;
        QTest::newRow("bootloader, valid sum") << "request" << true << true << true << true;
        QTest::newRow("bootloader, bad sum") << "transfer" << true << true << false << false;
        QTest::newRow("power cycled, valid sum") << "cycle" << true << true << true << true;
        QTest::newRow("state kept, bad sum") << "transfer" << false << false << false << true;
        QTest::newRow("state kept, bootloader") << "request" << false << true << true << false;
    }

    void powerOnReturn()
    {
        QFETCH(QString, how);
        QFETCH(bool, powerOn);
        QFETCH(bool, fromBootloader);
        QFETCH(bool, sumValid);
        QFETCH(bool, application);
        vt->setMode(fromBootloader ? vt520sim::Mode::Bootloader : vt520sim::Mode::Application);
        if (!sumValid) {
            QByteArray byte = vt->internalFlash(0x08008000, 1);
            byte[0] = char(byte[0] ^ 0x01);
            vt->setInternalFlash(0x08008000, byte);
        }
        const QByteArray internal = vt->internalFlash(vt520sim::InternalFlashBase, vt520sim::InternalFlashSize);
        vt->setExternalFlash(0x14000, "kept");
        vt->setStatus(0x5B);
        vt->setAcknowledgeAfterReads(3);
        vt->queueBulkIn("queued");
        const int address = vt->address();
        USBVT350 usb;
        QCOMPARE(usb.connect(), 0);

        const vt520sim::Return back = powerOn ? vt520sim::Return::PowerOn : vt520sim::Return::StateKept;
        uint32_t status = 0;
        if (how == "cycle") {
            vt->powerCycle();
        } else {
            if (how == "transfer")
                bus.unplugAtTransfer(2, 300, back);
            else
                bus.unplugAtRequest(USBVT350::RequestStatusGet, 2, 300, back);
            QCOMPARE(usb.StatusGet(&status), 0);
            QCOMPARE(usb.StatusGet(&status), -1);
            QCOMPARE(bus.transferLog().last().result, int(LIBUSB_ERROR_NO_DEVICE));
            QVERIFY(!vt->isPresent());
            bus.advanceClock(300);
        }
        QVERIFY(vt->isPresent());
        QVERIFY(vt->address() != address);
        if (how == "cycle")
            QCOMPARE(usb.StatusGet(&status), -1); // the old handle is dead (and dropped)
        QCOMPARE(vt->mode(), application ? vt520sim::Mode::Application : vt520sim::Mode::Bootloader);
        {
            // The block queued for the bulk endpoint was in RAM.
            libusb_context *context = nullptr;
            QCOMPARE(libusb_init(&context), 0);
            libusb_device_handle *handle = openOnlyDevice(context);
            QVERIFY(handle);
            QCOMPARE(libusb_claim_interface(handle, 0), 0);
            unsigned char block[16] = {};
            int moved = 0;
            QCOMPARE(libusb_bulk_transfer(handle, 0x81, block, 16, &moved, 100),
                     powerOn ? int(LIBUSB_ERROR_TIMEOUT) : int(LIBUSB_SUCCESS));
            libusb_close(handle);
            libusb_exit(context);
        }
        QCOMPARE(usb.connect(), 0);
        QCOMPARE(usb.getSerialString(), application ? QByteArray("261100042") : QByteArray("261100042b"));
        QCOMPARE(usb.StatusGet(&status), 0);
        QCOMPARE(status, powerOn ? 0u : 0x5Bu);
        QCOMPARE(vt->internalFlash(vt520sim::InternalFlashBase, vt520sim::InternalFlashSize), internal);
        QCOMPARE(vt->externalFlash(0x14000, 4), QByteArray("kept"));
        if (!powerOn)
            return;
        // Setting the host-access bit shows it after the acknowledge reads,
        // with no set pending from before the power loss.
        QCOMPARE(usb.StatusSet(USBVT350::HostAccessBit), 0);
        QCOMPARE(usb.StatusGet(&status), 0);
        QCOMPARE(status & USBVT350::HostAccessBit, 0u);
        QCOMPARE(usb.StatusGet(&status), 0);
        QCOMPARE(usb.StatusGet(&status), 0);
        QCOMPARE(status & USBVT350::HostAccessBit, USBVT350::HostAccessBit);
    }

    void transferCostAdvancesTheVirtualClock()
    {
        vt->setMode(vt520sim::Mode::Bootloader);
        vt->setTransferCost(vt520sim::TransferCost::realistic());
        USBVT350 usb;
        QCOMPARE(usb.connect(), 0);
        const int64_t before = bus.nowMs();
        QByteArray page(1024, 'c');
        QCOMPARE(usb.WritePage(page, 0x08004000), 0);
        // 1 ms latency + 846 us of 1024 bytes on the wire + 20 ms programming
        QCOMPARE(bus.nowMs() - before, int64_t(21));
        bus.sleepMs(100);
        QCOMPARE(bus.nowMs() - before, int64_t(121));
        vt520sim::sleepMs(8);
        QCOMPARE(bus.nowMs() - before, int64_t(129));
    }

    void persistentStateSurvivesReload()
    {
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        const QString folder = temp.filePath("device");
        bus.reset();
        bus.useVirtualClock(true);
        vt = &bus.addPersistentVt520(1, 1, folder);
        QCOMPARE(vt->stateFolder(), folder);
        QCOMPARE(QFileInfo(folder + "/internal.bin").size(), qint64(262144));
        QCOMPARE(QFileInfo(folder + "/external.bin").size(), qint64(1048576));
        QVERIFY(readFile(folder + "/device.ini").contains("mode=application"));
        QVERIFY(readFile(folder + "/device.ini").contains("serial=261100042"));

        USBVT350 usb;
        const QByteArray data = randomBytes(300, 8);
        QCOMPARE(usb.WriteExternalFlashToAddress(reinterpret_cast<const unsigned char *>(data.constData()), 0x20, 300),
                 0);
        QCOMPARE(readFile(folder + "/external.bin").mid(0x20, 300), data);
        usb.RunApplication();
        QVERIFY(readFile(folder + "/device.ini").contains("mode=bootloader"));
        usb.disconnect(); // as every caller of RunApplication does
        bus.advanceClock(1000);
        QByteArray page = randomBytes(1024, 9);
        const QByteArray plain = page;
        QCOMPARE(usb.WritePage(page, 0x08005000), 0);
        QCOMPARE(readFile(folder + "/internal.bin").mid(0x5000, 1024), plain);

        // A new device on the same folder starts where the old one stopped.
        usb.disconnect();
        bus.reset();
        vt = &bus.addPersistentVt520(1, 1, folder);
        QCOMPARE(vt->mode(), vt520sim::Mode::Bootloader);
        QCOMPARE(vt->externalFlash(0x20, 300), data);
        QCOMPARE(vt->internalFlash(0x08005000, 1024), plain);
    }

    // VT520_SIM_UNITS: each unit at its own port with its own serial and
    // state folder.
    void severalUnitsEachWithItsFolder()
    {
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        qputenv("VT520_SIM_STATE", temp.path().toLocal8Bit());
        qputenv("VT520_SIM_UNITS", "3");
        bus.resetToDefault();
        qputenv("VT520_SIM_STATE", "");
        qunsetenv("VT520_SIM_UNITS");
        const QList<vt520sim::Device *> units = bus.devices();
        QCOMPARE(units.size(), 3);
        for (int k = 1; k <= 3; ++k) {
            vt520sim::Device *unit = units[k - 1];
            QCOMPARE(unit->portPath(), QString("1-1.%1").arg(k));
            QCOMPARE(unit->serial(), QByteArray::number(261100041 + k));
            QCOMPARE(unit->stateFolder(), QDir(temp.path()).filePath(QString("unit%1").arg(k)));
            QVERIFY(readFile(unit->stateFolder() + "/device.ini").contains("serial=" + unit->serial()));
        }
    }

    // device.ini may name the key file of a device with another transfer
    // key: it scrambles with it, so its memory reads back as noise, and the
    // line stays across the device's own writes of device.ini.
    void deviceIniNamesAnotherTransferKey()
    {
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        const QString folder = temp.filePath("device");
        bus.reset();
        bus.addPersistentVt520(1, 1, folder);
        QFile key(folder + "/other.key");
        QVERIFY(key.open(QIODevice::WriteOnly));
        key.write(randomBytes(128, 4));
        key.close();
        QFile ini(folder + "/device.ini");
        QVERIFY(ini.open(QIODevice::Append));
        ini.write("transfer_key=other.key\n");
        ini.close();

        bus.reset();
        bus.useVirtualClock(true);
        bus.addPersistentVt520(1, 1, folder);
        USBVT350 usb;
        QByteArray version(32, '\0');
        QCOMPARE(usb.ReadMemory(version, 0x08003FD0), 0);
        QVERIFY(!version.startsWith(QByteArray("1.00\0", 5)));
        usb.RunApplication(); // rewrites device.ini
        QVERIFY(readFile(folder + "/device.ini").contains("transfer_key=other.key"));
    }

    // A unit left to ignore its device-id requests: each such request times
    // out (holding the caller's timeout on the bus clock), and the count
    // left is kept in its folder, so that the next process on it (here a
    // device loaded afresh before each connect) goes on counting.
    void idRequestsLeftUnanswered_data()
    {
        QTest::addColumn<int>("count"); // -1: every one
        QTest::addColumn<QList<bool>>("answered");
        QTest::newRow("once") << 1 << QList<bool>{false, true, true};
        QTest::newRow("twice") << 2 << QList<bool>{false, false, true};
        QTest::newRow("always") << -1 << QList<bool>{false, false, false};
    }

    void idRequestsLeftUnanswered()
    {
        QFETCH(int, count);
        QFETCH(QList<bool>, answered);
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        const QString folder = temp.filePath("device");
        bus.reset();
        bus.addPersistentVt520(1, 1, folder).leaveIdRequestsUnanswered(count);
        for (const bool answers : answered) {
            bus.reset();
            bus.useVirtualClock(true);
            bus.addPersistentVt520(1, 1, folder);
            USBVT350 usb;
            QCOMPARE(usb.connect(), answers ? 0 : -1);
            QCOMPARE(usb.identityFailure().kind, answers ? Failure::Kind::None : Failure::Kind::Timeout);
            QCOMPARE(bus.nowMs() >= 2000, !answers);
        }
    }

    void damagedStateFolderStartsFactoryFresh()
    {
        QTemporaryDir temp;
        QDir(temp.path()).mkpath("device");
        const QString folder = temp.filePath("device");
        QFile truncated(folder + "/internal.bin");
        QVERIFY(truncated.open(QIODevice::WriteOnly));
        truncated.write(QByteArray(1000, '\0'));
        truncated.close();
        bus.reset();
        vt = &bus.addPersistentVt520(1, 1, folder);
        QVERIFY(vt->applicationSumValid());
        QCOMPARE(QFileInfo(folder + "/internal.bin").size(), qint64(262144));
    }

    // Two separate processes on one VT520_SIM_STATE folder, as the program
    // started twice by the run script.
    void stateSurvivesANewProcess()
    {
        QTemporaryDir temp;
        const QString folder = temp.filePath("emulated");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VT520_SIM_STATE", folder);

        QProcess writer;
        writer.setProcessEnvironment(env);
        writer.start(STATE_PROBE, {"write", "00112233445566778899aabbccddeeff"});
        QVERIFY(writer.waitForFinished(120000));
        QCOMPARE(writer.exitCode(), 0);
        QVERIFY(QFileInfo::exists(folder + "/device.ini"));

        QProcess reader;
        reader.setProcessEnvironment(env);
        reader.start(STATE_PROBE, {"read", "16"});
        QVERIFY(reader.waitForFinished(120000));
        QCOMPARE(reader.exitCode(), 0);
        const QList<QByteArray> lines = reader.readAllStandardOutput().split('\n');
        QVERIFY(lines.size() >= 2);
        QCOMPARE(lines[0], QByteArray("00112233445566778899aabbccddeeff"));
        QCOMPARE(lines[1], QByteArray("261100042b")); // the writer's reset is kept

        // The same folder loaded into this process's bus.
        qputenv("VT520_SIM_STATE", folder.toLocal8Bit());
        bus.resetToDefault();
        qputenv("VT520_SIM_STATE", "");
        vt520sim::Device *device = bus.device(1, 1);
        QVERIFY(device);
        QCOMPARE(device->stateFolder(), folder);
        QCOMPARE(device->externalFlash(0x14000, 16).toHex(), QByteArray("00112233445566778899aabbccddeeff"));
        QCOMPARE(device->transferCost().isNone(), false); // run script default: realistic
    }
};

QTEST_GUILESS_MAIN(TestVt520Sim)
#include "test_vt520sim.moc"
