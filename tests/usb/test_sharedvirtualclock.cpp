// The virtual clock that processes share through a file: what the program
// maps, and how its sleeps wait for a process that follows the clock.
#include "FailOnWarnings.h"
#include "sim/SharedClockFile.h"
#include "usb/SharedVirtualClock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

class TestSharedVirtualClock : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;

    QString clockFile() const { return dir->filePath(QStringLiteral("clock")); }

private slots:
    void init()
    {
        failOnUnexpectedWarnings();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << QByteArray() << "not a 32-byte regular file";
        QTest::newRow("the former 16-byte layout")
            << QByteArray("VT520CLK").append(8, '\0') << "not a 32-byte regular file";
        QTest::newRow("another file of the size") << QByteArray(32, 'x') << "not a clock file";
    }

    // A file that is not a clock of this layout leaves the program on its
    // own time, never on a misread one.
    void refusedFiles()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, reason);
        QFile file(clockFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();
        QString why;
        QVERIFY(!SharedVirtualClock::open(clockFile(), &why));
        QCOMPARE(why, reason);
    }

    void sleepsAdvanceTheSharedTime()
    {
        vt520sim::SharedClockFile emulator;
        QVERIFY(emulator.map(clockFile(), 5000 * 1000));
        QString why;
        const std::unique_ptr<SharedVirtualClock> clock = SharedVirtualClock::open(clockFile(), &why);
        QVERIFY2(clock, qPrintable(why));
        QCOMPARE(clock->now(), qint64(5000));
        clock->sleep(3500); // nobody follows: returns at once
        QCOMPARE(emulator.microseconds(), int64_t(8500) * 1000);
        emulator.advance(250 * 1000);
        QCOMPARE(clock->now(), qint64(8750));
    }

    // With a follower, a sleep has moved the time but returns only once the
    // follower has looked at that time or later.
    void sleepWaitsForTheFollowersLook()
    {
        vt520sim::SharedClockFile follower;
        QVERIFY(follower.map(clockFile(), 0));
        follower.follow();
        QString why;
        const std::unique_ptr<SharedVirtualClock> clock = SharedVirtualClock::open(clockFile(), &why);
        QVERIFY2(clock, qPrintable(why));
        std::atomic<bool> returned{false};
        std::thread sleeper([&] {
            clock->sleep(1000);
            returned = true;
        });
        QTRY_COMPARE(follower.microseconds(), int64_t(1000) * 1000);
        const bool earlyReturn = returned;
        follower.markFollowed(1000 * 1000);
        sleeper.join();
        QVERIFY(!earlyReturn);
        QVERIFY(returned);
    }

    // A follower that has gone (its run killed) holds no sleep.
    void goneFollowerHoldsNoSleep()
    {
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            vt520sim::SharedClockFile follower;
            ::_exit(follower.map(clockFile(), 0) ? (follower.follow(), 0) : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QString why;
        const std::unique_ptr<SharedVirtualClock> clock = SharedVirtualClock::open(clockFile(), &why);
        QVERIFY2(clock, qPrintable(why));
        clock->sleep(500);
        QCOMPARE(clock->now(), qint64(500));
    }
};

QTEST_GUILESS_MAIN(TestSharedVirtualClock)
#include "test_sharedvirtualclock.moc"
