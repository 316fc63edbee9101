// Several units changed at once, each by its own thread and device object,
// on the virtual clock: one unit pulled out in the middle of its change
// leaves the others to finish, reports its own failure, and a second run for
// it alone brings it to the new firmware. Plain QThreads and no event loop,
// so that it also runs under ThreadSanitizer.
#include "EmulatorClock.h"
#include "FailOnWarnings.h"
#include "UpgradeFixture.h"
#include "firmware/GangChange.h"
#include "sim/Vt520Sim.h"

#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

class TestGangChange : public QObject
{
    Q_OBJECT

    EmulatorClock clock;
    vt520sim::Bus &bus = vt520sim::Bus::instance();
    std::unique_ptr<QTemporaryDir> dir;
    UpgradeFixture fixture;

    // One emulated unit at port k of a hub, with its own serial.
    static QString port(int k) { return QStringLiteral("1-1.%1").arg(k); }
    vt520sim::Device &addUnit(int k, const QByteArray &serial)
    {
        vt520sim::Device &unit = bus.addVt520At(port(k), serial);
        unit.setVersionBlock("1.00", UpgradeFixture::versionDate().toLatin1());
        return unit;
    }

    GangChange::Callbacks callbacks(QMap<QString, QStringList> &lines,
                                    std::function<void(const QString &, const QString &)> onSay = {})
    {
        GangChange::Callbacks result;
        result.say = [&lines, onSay](const QString &port, const QString &line) {
            lines[port].append(line);
            if (onSay)
                onSay(port, line);
        };
        return result;
    }

    void verifyHoldsNewFirmware(vt520sim::Device &unit)
    {
        QCOMPARE(unit.internalFlash(0x08004000, 0x1C000), fixture.applicationRegion());
        QCOMPARE(unit.externalFlash(0, 0x14000), fixture.storedExternalRegion());
        QCOMPARE(unit.mode(), vt520sim::Mode::Application);
    }

private slots:
    void init()
    {
        failOnUnexpectedWarnings();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        fixture = UpgradeFixture::make(dir->filePath("new.upg"), 300);
        QVERIFY(!fixture.fileName.isEmpty());
        bus.reset();
        bus.useVirtualClock(true);
    }

    void unitUnpluggedMidChangeFailsAlone()
    {
        const QStringList ports{port(1), port(2), port(3)};
        vt520sim::Device *units[3] = {&addUnit(1, "261100041"), &addUnit(2, "261100042"), &addUnit(3, "261100043")};

        // The second unit leaves the bus once its bootloader starts taking pages.
        QMap<QString, QStringList> lines;
        const GangChange::Result result =
            GangChange(callbacks(lines,
                                 [&](const QString &port, const QString &line) {
                                     if (port == ports[1] && line == "Writting firmware ... ")
                                         units[1]->unplug();
                                 }),
                       clock)
                .run(fixture.fileName, ports + QStringList{ports[0]}); // a unit named twice is changed once

        QCOMPARE(bus.overlapCount(), 0);
        QVERIFY(!result.allSucceeded());
        QCOMPARE(result.units.size(), 3);
        for (int i : {0, 2}) {
            const GangChange::UnitResult &unit = result.units[i];
            const QByteArray serial = units[i]->serial();
            QCOMPARE(unit.portPath, ports[i]);
            QCOMPARE(unit.outcome, GangChange::Outcome::Changed);
            QCOMPARE(unit.serialBefore, serial);
            QCOMPARE(unit.serialAfter, serial);
            // Its own lines, its own serial: no neighbour was reached.
            QCOMPARE(lines[ports[i]], UpgradeFixture::completedFromApplication(fixture.fileName, serial, ports[i]));
            verifyHoldsNewFirmware(*units[i]);
        }
        const GangChange::UnitResult &pulled = result.units[1];
        QCOMPARE(pulled.outcome, GangChange::Outcome::Failed);
        QCOMPARE(pulled.serialBefore, QByteArray("261100042"));
        QVERIFY(pulled.serialAfter.isEmpty());
        QCOMPARE(lines[ports[1]].at(lines[ports[1]].size() - 2), QStringLiteral("ERROR"));
        QCOMPARE(lines[ports[1]].last(),
                 "Failed: a firmware page could not be written. The Vt520 is in its bootloader; run the change again.");
        QVERIFY(units[1]->internalFlash(0x08004000, 0x1C000) != fixture.applicationRegion());

        // Plugged in again, still in its bootloader: a run for it alone recovers it.
        units[1]->replug();
        lines.clear();
        const GangChange::Result rerun = GangChange(callbacks(lines), clock).run(fixture.fileName, {ports[1]});
        QVERIFY(rerun.allSucceeded());
        QCOMPARE(rerun.units.first().serialBefore, QByteArray("261100042b"));
        QCOMPARE(rerun.units.first().serialAfter, QByteArray("261100042"));
        verifyHoldsNewFirmware(*units[1]);
        QCOMPARE(bus.overlapCount(), 0);
    }

    // The file is read and checked once, before any unit is touched.
    void refusedFileTouchesNoUnit()
    {
        addUnit(1, "261100041");
        addUnit(2, "261100042");
        const QString foreign = dir->filePath("foreign.upg");
        QFile file(foreign);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(HexFiles::readFile(fixture.fileName).mid(0, 1000).replace(5, 1, "X"));
        file.close();

        QMap<QString, QStringList> lines;
        const GangChange::Result result = GangChange(callbacks(lines), clock).run(foreign, {port(1), port(2)});
        QCOMPARE(result.fileStatus, UpgradeFile::Status::WrongHeader);
        QVERIFY(!result.allSucceeded());
        QVERIFY(result.units.isEmpty());
        QVERIFY(bus.transferLog().isEmpty());
        QCOMPARE(lines.value(QString()),
                 QStringList({foreign, "Wrong file header", "Nothing was sent to the Vt520; it is unchanged."}));
    }
};

QTEST_GUILESS_MAIN(TestGangChange)
#include "test_gang_change.moc"
