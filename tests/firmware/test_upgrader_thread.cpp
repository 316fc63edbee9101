// The Upgrader thread against the emulator: a change on the worker thread,
// with the virtual clock and once with the real waits; two runs in a row;
// a new file name given while a run is going on.
#include "EmulatorClock.h"
#include "FailOnWarnings.h"
#include "UpgradeFixture.h"
#include "firmware/Upgrader.h"
#include "sim/Vt520Sim.h"
#include "usb/USBVT350.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList texts(const QSignalSpy &spy)
{
    QStringList result;
    for (const QList<QVariant> &arguments : spy)
        result.append(arguments.at(0).toString());
    return result;
}

QList<int> numbers(const QSignalSpy &spy)
{
    QList<int> result;
    for (const QList<QVariant> &arguments : spy)
        result.append(arguments.at(0).toInt());
    return result;
}

} // namespace

class TestUpgraderThread : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void changeOnTheWorkerThread();
    void changeWithRealWaits();
    void twoRunsInARow();
    void newNameDuringARun();
    void nullNameEmitsNothing();
    void destroyedWhileRunning();

private:
    vt520sim::Device &addDevice(vt520sim::Mode mode);

    std::unique_ptr<QTemporaryDir> dir;
    EmulatorClock virtualClock;
};

void TestUpgraderThread::init()
{
    failOnUnexpectedWarnings();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    vt520sim::Bus::instance().reset();
    vt520sim::Bus::instance().useVirtualClock(true);
}

vt520sim::Device &TestUpgraderThread::addDevice(vt520sim::Mode mode)
{
    vt520sim::Device &device = vt520sim::Bus::instance().addVt520(1, 1, "261100042");
    device.setVersionBlock("1.00", UpgradeFixture::versionDate().toLatin1());
    device.setMode(mode);
    return device;
}

void TestUpgraderThread::changeOnTheWorkerThread()
{
    const UpgradeFixture fixture = UpgradeFixture::make(dir->filePath("a.upg"), 1);
    vt520sim::Device &device = addDevice(vt520sim::Mode::Application);

    USBVT350 usb;
    Upgrader upgrader(&usb);
    upgrader.setClock(&virtualClock);
    QSignalSpy lines(&upgrader, &Upgrader::sendText);
    QSignalSpy percents(&upgrader, &Upgrader::sendPercent);
    QThread *emittingThread = nullptr;
    connect(
        &upgrader, &Upgrader::sendText, &upgrader, [&emittingThread] { emittingThread = QThread::currentThread(); },
        Qt::DirectConnection);

    upgrader.slotSetFileName(fixture.fileName);
    upgrader.start();
    QVERIFY(upgrader.wait(60000));

    QCOMPARE(emittingThread, static_cast<QThread *>(&upgrader));
    QCOMPARE(texts(lines), UpgradeFixture::completedFromApplication(fixture.fileName, "261100042"));
    QCOMPARE(numbers(percents), UpgradeFixture::percents());
    QCOMPARE(device.internalFlash(0x08004000, 0x1C000), fixture.applicationRegion());
    QCOMPARE(device.externalFlash(0, 0x14000), fixture.storedExternalRegion());
}

void TestUpgraderThread::changeWithRealWaits()
{
    auto &bus = vt520sim::Bus::instance();
    bus.useVirtualClock(false);
    const UpgradeFixture fixture = UpgradeFixture::make(dir->filePath("real.upg"), 2);
    vt520sim::Device &device = addDevice(vt520sim::Mode::Application);

    USBVT350 usb;
    Upgrader upgrader(&usb); // the default clock: real time
    QSignalSpy lines(&upgrader, &Upgrader::sendText);
    upgrader.slotSetFileName(fixture.fileName);
    upgrader.start();
    QVERIFY(upgrader.wait(60000));

    QCOMPARE(texts(lines), UpgradeFixture::completedFromApplication(fixture.fileName, "261100042"));
    QCOMPARE(device.internalFlash(0x08004000, 0x1C000), fixture.applicationRegion());
    QCOMPARE(device.externalFlash(0, 0x14000), fixture.storedExternalRegion());
    QTRY_COMPARE_WITH_TIMEOUT(device.mode(), vt520sim::Mode::Application, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(device.isPresent(), 10000);
}

void TestUpgraderThread::twoRunsInARow()
{
    const UpgradeFixture first = UpgradeFixture::make(dir->filePath("first.upg"), 3);
    const UpgradeFixture second = UpgradeFixture::make(dir->filePath("second.upg"), 5);
    vt520sim::Device &device = addDevice(vt520sim::Mode::Application);

    USBVT350 usb;
    Upgrader upgrader(&usb);
    upgrader.setClock(&virtualClock);
    QSignalSpy lines(&upgrader, &Upgrader::sendText);

    upgrader.slotSetFileName(first.fileName);
    upgrader.start();
    QVERIFY(upgrader.wait(60000));
    QCOMPARE(texts(lines), UpgradeFixture::completedFromApplication(first.fileName, "261100042"));
    QCOMPARE(device.internalFlash(0x08004000, 0x1C000), first.applicationRegion());

    vt520sim::Bus::instance().advanceClock(2000); // the new application is up
    lines.clear();
    upgrader.slotSetFileName(second.fileName);
    upgrader.start();
    QVERIFY(upgrader.wait(60000));
    QCOMPARE(texts(lines), UpgradeFixture::completedFromApplication(second.fileName, "261100042"));
    QCOMPARE(device.internalFlash(0x08004000, 0x1C000), second.applicationRegion());
    QCOMPARE(device.externalFlash(0, 0x14000), second.storedExternalRegion());
}

void TestUpgraderThread::newNameDuringARun()
{
    const UpgradeFixture first = UpgradeFixture::make(dir->filePath("first.upg"), 7);
    const UpgradeFixture second = UpgradeFixture::make(dir->filePath("second.upg"), 9);
    vt520sim::Device &device = addDevice(vt520sim::Mode::Application);

    USBVT350 usb;
    Upgrader upgrader(&usb);
    // The run stops in its first wait (after the reset) until the test has
    // pressed again.
    QSemaphore inWait;
    QSemaphore goOn;
    bool held = false;
    EmulatorClock holding;
    holding.onWait = [&](int) {
        if (!held) {
            held = true;
            inWait.release();
            goOn.acquire();
        }
    };
    upgrader.setClock(&holding);
    QSignalSpy lines(&upgrader, &Upgrader::sendText);
    QSignalSpy started(&upgrader, &QThread::started);

    upgrader.slotSetFileName(first.fileName);
    upgrader.start();
    QVERIFY(inWait.tryAcquire(1, 60000));
    upgrader.slotSetFileName(second.fileName);
    upgrader.start(); // no effect while running
    goOn.release();
    QVERIFY(upgrader.wait(60000));

    QCOMPARE(started.count(), 1);
    QCOMPARE(texts(lines), UpgradeFixture::completedFromApplication(first.fileName, "261100042"));
    QCOMPARE(device.internalFlash(0x08004000, 0x1C000), first.applicationRegion());

    // The name given during the run is the one of the next run.
    vt520sim::Bus::instance().advanceClock(2000);
    lines.clear();
    upgrader.start();
    QVERIFY(upgrader.wait(60000));
    QCOMPARE(texts(lines).value(0), second.fileName);
    QCOMPARE(device.internalFlash(0x08004000, 0x1C000), second.applicationRegion());
}

void TestUpgraderThread::nullNameEmitsNothing()
{
    addDevice(vt520sim::Mode::Application);
    USBVT350 usb;
    Upgrader upgrader(&usb);
    upgrader.setClock(&virtualClock);
    QSignalSpy lines(&upgrader, &Upgrader::sendText);
    QSignalSpy percents(&upgrader, &Upgrader::sendPercent);
    upgrader.slotSetFileName(QString());
    upgrader.start();
    QVERIFY(upgrader.wait(60000));
    QCOMPARE(lines.count(), 0);
    QCOMPARE(percents.count(), 0);
    QVERIFY(vt520sim::Bus::instance().transferLog().isEmpty());
}

void TestUpgraderThread::destroyedWhileRunning()
{
    const UpgradeFixture fixture = UpgradeFixture::make(dir->filePath("a.upg"), 11);
    vt520sim::Device &device = addDevice(vt520sim::Mode::Bootloader);
    auto usb = std::make_unique<USBVT350>();
    auto upgrader = std::make_unique<Upgrader>(usb.get());
    QSemaphore writing;
    connect(
        upgrader.get(), &Upgrader::sendPercent, upgrader.get(), [&writing](int) { writing.release(); },
        Qt::DirectConnection);
    upgrader->setClock(&virtualClock);
    upgrader->slotSetFileName(fixture.fileName);
    upgrader->start();
    QVERIFY(writing.tryAcquire(5, 60000)); // some pages are written
    upgrader.reset();                      // waits for the change to end
    usb.reset();
    QCOMPARE(device.internalFlash(0x08004000, 0x1C000), fixture.applicationRegion());
    QCOMPARE(device.externalFlash(0, 0x14000), fixture.storedExternalRegion());
}

QTEST_GUILESS_MAIN(TestUpgraderThread)
#include "test_upgrader_thread.moc"
