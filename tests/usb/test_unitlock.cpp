// The unit lock: one owner per unit across processes and users, looks
// beside operations, the holder named from the kernel, and lock files that
// nobody can turn against the tool.
#include "FailOnWarnings.h"
#include "usb/UnitLock.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;
constexpr gid_t NoGroup = 65534;

struct stat statOf(const QString &path)
{
    struct stat found = {};
    ::lstat(QFile::encodeName(path).constData(), &found);
    return found;
}

} // namespace

class TestUnitLock : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;

    QString lockFile(const QString &port = QStringLiteral("1-1.4")) const
    {
        return dir->filePath(QStringLiteral("vt520-%1.lock").arg(port));
    }

private slots:
    void init()
    {
        failOnUnexpectedWarnings();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        qputenv("VT520_LOCK_DIR", QFile::encodeName(dir->path()));
    }

    // Two holders in one process exclude each other as two processes do:
    // the lock belongs to the open file, not to the process.
    void holdersExcludeEachOther_data()
    {
        QTest::addColumn<bool>("firstIsOperation");
        QTest::addColumn<bool>("secondIsOperation");
        QTest::addColumn<bool>("secondTakes");
        QTest::newRow("an operation refuses an operation") << true << true << false;
        QTest::newRow("an operation refuses a look") << true << false << false;
        QTest::newRow("looks share") << false << false << true;
    }

    void holdersExcludeEachOther()
    {
        QFETCH(bool, firstIsOperation);
        QFETCH(bool, secondIsOperation);
        QFETCH(bool, secondTakes);
        UnitLock first(QStringLiteral("1-1.4"));
        QCOMPARE(firstIsOperation ? first.take() : first.look(), UnitLock::Status::Taken);
        UnitLock second(QStringLiteral("1-1.4"));
        const UnitLock::Status status = secondIsOperation ? second.take() : second.look();
        QCOMPARE(status, secondTakes ? UnitLock::Status::Taken : UnitLock::Status::InUse);
        if (!secondTakes) {
            QCOMPARE(second.holderPid(), QCoreApplication::applicationPid());
            QVERIFY2(second.holderName().startsWith(QStringLiteral("test_unitlock")), qPrintable(second.holderName()));
        }
        // Another unit is free all along, and the unit once its holder lets go.
        UnitLock other(QStringLiteral("1-1.5"));
        QCOMPARE(other.take(), UnitLock::Status::Taken);
        first.release();
        second.release();
        UnitLock third(QStringLiteral("1-1.4"));
        QCOMPARE(third.take(), UnitLock::Status::Taken);
    }

    // Another process's hold is named by its process id and command line,
    // read from the kernel, whatever is in the file.
    void holderOfAnotherProcessIsNamed()
    {
        const QString name = lockFile();
        {
            UnitLock made(QStringLiteral("1-1.4"));
            QCOMPARE(made.take(), UnitLock::Status::Taken);
        }
        QProcess holder;
        holder.start(QStringLiteral("flock"), {QStringLiteral("-x"), name, QStringLiteral("cat")});
        QVERIFY(holder.waitForStarted());
        const auto heldElsewhere = [] {
            UnitLock probe(QStringLiteral("1-1.4"));
            return probe.take() == UnitLock::Status::InUse;
        };
        QTRY_VERIFY(heldElsewhere());
        UnitLock lock(QStringLiteral("1-1.4"));
        QCOMPARE(lock.take(), UnitLock::Status::InUse);
        // flock runs cat as a child and holds the lock itself.
        QCOMPARE(lock.holderPid(), holder.processId());
        QCOMPARE(lock.holderName(), QStringLiteral("flock -x %1 cat").arg(name));
        QCOMPARE(lock.holderText(), QStringLiteral("process %1 (flock -x %2 cat)").arg(holder.processId()).arg(name));
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished());
        QCOMPARE(lock.take(), UnitLock::Status::Taken);
    }

    // The files are made empty, closed to users outside the owner's group,
    // and never written by anybody holding them.
    void filesAreNeverWritten()
    {
        UnitLock lock(QStringLiteral("1-1.4"));
        QCOMPARE(lock.take(QStringLiteral("vt520ctl upgrade")), UnitLock::Status::Taken);
        lock.release();
        QCOMPARE(lock.take(), UnitLock::Status::Taken);
        const struct stat found = statOf(lockFile());
        QVERIFY(S_ISREG(found.st_mode));
        QCOMPARE(found.st_size, off_t(0));
        QCOMPARE(found.st_mode & 0007, mode_t(0));
    }

    // Whatever else has the name is neither followed nor obeyed: the unit
    // is taken, and the file something pointed at keeps its bytes.
    void untrustedNamesAreReplaced_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<bool>("asRoot"); // needs root to make another user's file
        QTest::newRow("symlink to a file") << "symlink" << false;
        QTest::newRow("dangling symlink") << "dangling" << false;
        QTest::newRow("FIFO") << "fifo" << false;
        QTest::newRow("hard link to a file") << "hardlink" << false;
        QTest::newRow("another user's file, held") << "foreign" << true;
    }

    void untrustedNamesAreReplaced()
    {
        QFETCH(QString, planted);
        QFETCH(bool, asRoot);
        if (asRoot && ::geteuid() != 0)
            QSKIP("making another user's file needs root");
        const QString name = lockFile();
        const QByteArray victimBytes("keep these bytes\n");
        const QString victim = dir->filePath(QStringLiteral("victim"));
        {
            QFile file(victim);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(victimBytes);
        }
        const QByteArray encoded = QFile::encodeName(name);
        int held = -1;
        if (planted == "symlink")
            QVERIFY(QFile::link(victim, name));
        else if (planted == "dangling")
            QVERIFY(QFile::link(dir->filePath(QStringLiteral("made-by-nobody")), name));
        else if (planted == "fifo")
            QCOMPARE(::mkfifo(encoded.constData(), 0666), 0);
        else if (planted == "hardlink")
            QCOMPARE(::link(QFile::encodeName(victim).constData(), encoded.constData()), 0);
        if (planted == "foreign") {
            held = ::open(encoded.constData(), O_RDONLY | O_CREAT | O_EXCL, 0644);
            QVERIFY(held >= 0);
            QCOMPARE(::fchown(held, Nobody, NoGroup), 0);
            QCOMPARE(::flock(held, LOCK_EX | LOCK_NB), 0);
        }

        UnitLock lock(QStringLiteral("1-1.4"));
        QCOMPARE(lock.take(), UnitLock::Status::Taken);
        QCOMPARE(lock.warning(), QString());
        const struct stat found = statOf(name);
        QVERIFY(S_ISREG(found.st_mode));
        QCOMPARE(found.st_uid, ::geteuid());
        QCOMPARE(found.st_nlink, nlink_t(1));
        QCOMPARE(found.st_size, off_t(0));
        QFile file(victim);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), victimBytes);
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("made-by-nobody"))));
        if (held >= 0)
            ::close(held);
    }

    // A lock file of another member of the folder's group is a real hold.
    void aMemberOfTheFoldersGroupHolds()
    {
        if (::geteuid() != 0)
            QSKIP("making another user's file needs root");
        QCOMPARE(::chown(QFile::encodeName(dir->path()).constData(), 0, NoGroup), 0);
        const QByteArray encoded = QFile::encodeName(lockFile());
        const int held = ::open(encoded.constData(), O_RDONLY | O_CREAT | O_EXCL, 0640);
        QVERIFY(held >= 0);
        QCOMPARE(::fchown(held, Nobody, NoGroup), 0);
        QCOMPARE(::flock(held, LOCK_EX | LOCK_NB), 0);

        UnitLock lock(QStringLiteral("1-1.4"));
        QCOMPARE(lock.take(), UnitLock::Status::InUse);
        QCOMPARE(lock.holderPid(), QCoreApplication::applicationPid());
        ::close(held);
        QCOMPARE(lock.take(), UnitLock::Status::Taken);
        QCOMPARE(statOf(lockFile()).st_uid, Nobody); // the same file, not replaced
    }
};

QTEST_GUILESS_MAIN(TestUnitLock)
#include "test_unitlock.moc"
