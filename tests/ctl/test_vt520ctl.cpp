// vt520ctl as a process with the emulator preloaded: its exit statuses, the
// choice among several units, the firmware change's lines and the files it
// writes, each against what the window says and writes.
#include "EmulatorClock.h"
#include "FailOnWarnings.h"
#include "HexFiles.h"
#include "LightingTestData.h"
#include "ScriptedQuestions.h"
#include "UpgradeFixture.h"
#include "firmware/UpgradeFile.h"
#include "app/Vt410_bootloader.h"
#include "lighting/LightingFile.h"
#include "lighting/SceneTables.h"
#include "sim/SharedClockFile.h"
#include "sim/Vt520Sim.h"
#include "usb/TransferKey.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// Holds the waits of every process on a shared virtual clock: this process
// becomes the clock's follower and looks at no time, so a sleep advances the
// clock and then waits, until release() (or the end of the scope).
class HeldClock
{
public:
    explicit HeldClock(const QString &fileName)
    {
        holding = clock.map(fileName, 0);
        if (holding)
            clock.follow();
    }
    ~HeldClock() { release(); }
    HeldClock(const HeldClock &) = delete;
    HeldClock &operator=(const HeldClock &) = delete;

    bool isHolding() const { return holding; }
    void release()
    {
        if (holding)
            clock.stopFollowing();
        holding = false;
    }

private:
    vt520sim::SharedClockFile clock;
    bool holding = false;
};

// Whether a signal sent to a process waits to be handled there (the
// kernel's pending sets in /proc).
bool signalPending(qint64 pid, int signalNumber)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const quint64 bit = quint64(1) << (signalNumber - 1);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigPnd:") || line.startsWith("ShdPnd:")) {
            if (line.mid(7).trimmed().toULongLong(nullptr, 16) & bit)
                return true;
        }
    }
    return false;
}

namespace {

// The documented schema of the --json documents, as a small checker:
// for each kind of document the keys it must have and the JSON types
// each may take ("s" string, "n" number, "b" bool, "a" array, "0" null).
struct SchemaKey {
    const char *name;
    const char *types;
};
QList<SchemaKey> frameKeys()
{
    return {{"schemaVersion", "n"}, {"version", "s"},   {"keyFingerprint", "s"},
            {"host", "s"},          {"startedAt", "s"}, {"endedAt", "s"}};
}
QList<SchemaKey> unitKeys()
{
    return {{"portPath", "s"}, {"serial", "s0"}, {"mode", "s0"},   {"bootloaderVersion", "s0"},
            {"result", "s"},   {"reason", "s"},  {"seconds", "n"}, {"attempts", "n"}};
}
// Keys beside the frame's, by the command a document is of.
QList<SchemaKey> commandKeys(const QString &command)
{
    const QList<SchemaKey> file{{"file", "s0"}, {"fileSha256", "s0"}, {"fileSize", "n0"}};
    if (command == "list")
        return {{"bus", "n"}, {"address", "n"}, {"accessDenied", "b"}, {"busy", "b"}};
    if (command == "status")
        return {};
    if (command == "info" || command == "upgrade" || command == "verify")
        return file;
    if (command.startsWith("programs") || command.startsWith("scenes"))
        return file + QList<SchemaKey>{{"portPath", "s0"}, {"hostAccessMayBeSet", "b"}};
    return {};
}
// Keys each unit of such a document has beside the unit keys.
QList<SchemaKey> commandUnitKeys(const QString &command)
{
    if (command == "upgrade")
        return {{"serialBefore", "s0"}, {"serialAfter", "s0"}, {"earlierAttempts", "a"}};
    if (command == "start")
        return {{"serialAfter", "s0"}};
    if (command == "verify")
        return {{"difference", "s0"}};
    return {};
}
QString schemaFault(const QJsonObject &object, const QList<SchemaKey> &keys, const QString &where)
{
    for (const SchemaKey &key : keys) {
        if (!object.contains(key.name))
            return QString("%1: no %2").arg(where, key.name);
        const QJsonValue value = object[key.name];
        const char type = value.isString()   ? 's'
                          : value.isDouble() ? 'n'
                          : value.isBool()   ? 'b'
                          : value.isArray()  ? 'a'
                          : value.isNull()   ? '0'
                                             : 'o';
        if (!QByteArray(key.types).contains(type))
            return QString("%1: %2 is of type %3, not one of %4").arg(where, key.name).arg(type).arg(key.types);
    }
    return QString();
}
// The frame's values themselves: this build's key, times in UTC.
QString frameFault(const QJsonObject &object)
{
    QByteArray key;
    for (const uint32_t word : TransferKey)
        for (int shift = 0; shift < 32; shift += 8)
            key.append(char((word >> shift) & 0xFF));
    const QString fingerprint = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16);
    if (object["schemaVersion"].toInt() != 1)
        return "schemaVersion is not 1";
    if (object["keyFingerprint"].toString() != fingerprint)
        return "keyFingerprint is not this build's: " + object["keyFingerprint"].toString();
    const QDateTime started = QDateTime::fromString(object["startedAt"].toString(), Qt::ISODateWithMs);
    const QDateTime ended = QDateTime::fromString(object["endedAt"].toString(), Qt::ISODateWithMs);
    if (!started.isValid() || !ended.isValid() || started.timeSpec() != Qt::UTC || started > ended)
        return "startedAt, endedAt not times in UTC in order";
    return QString();
}

} // namespace

class TestVt520Ctl : public QObject
{
    Q_OBJECT

    struct Run {
        int status = -1;
        QByteArray out;
        QByteArray err;
    };

    std::unique_ptr<QTemporaryDir> dir;
    vt520sim::Bus &bus = vt520sim::Bus::instance();
    // The emulator's clock, shared through a file with every vt520ctl run
    // on the emulator preloaded, and the clock of the window in this process.
    EmulatorClock sharedTime;
    QTemporaryDir clockDir;
    QString clockFile() const { return clockDir.filePath("clock"); }

    QString path(const QString &name) const { return dir->filePath(name); }
    QString stateFolder(int units, int unit) const
    {
        return units == 1 ? path("state") : path(QString("state/unit%1").arg(unit));
    }
    QByteArray stateFile(int units, int unit, const QString &name) const
    {
        return HexFiles::readFile(stateFolder(units, unit) + "/" + name);
    }

    // The state folders that the process's emulated units load: no transfer
    // costs, short re-enumeration, serials 261100042 + unit - 1.
    void prepareUnits(int units, const std::function<void(vt520sim::Device &, int)> &setup = {})
    {
        bus.reset();
        for (int unit = 1; unit <= units; ++unit) {
            vt520sim::Device &device = bus.addPersistentVt520(1, unit, stateFolder(units, unit));
            device.setSerial(QByteArray::number(261100041 + unit));
            device.setReenumerateDelay(20);
            device.setVersionBlock("1.00", UpgradeFixture::versionDate().toLatin1());
            if (setup)
                setup(device, unit);
        }
        bus.reset();
    }

    // The environment of a vt520ctl run on `units` emulated units: the
    // emulator preloaded, or through usbfs the system's libusb (the
    // sanitizer runtime first, when there is one); the unit locks in
    // runtimeDir, by default the test's own folder, since another run of
    // these tests at the same time has units at the same port paths. With
    // the emulator preloaded the run shares this process's virtual clock:
    // its waits take no real time. Through usbfs it runs on real time, since
    // vt520-usbfs-run shows a unit's return to the system's libusb only on
    // its next real-time look at the bus.
    QProcessEnvironment unitsEnvironment(int units, bool throughUsbfs, const QString &runtimeDir = QString()) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        QStringList preload{QStringLiteral(ASAN_RUNTIME)};
        if (!throughUsbfs)
            preload.append(EMULATOR_LIBRARY);
        preload.removeAll(QString());
        if (preload.isEmpty())
            environment.remove("LD_PRELOAD");
        else
            environment.insert("LD_PRELOAD", preload.join(' '));
        environment.insert("VT520_SIM_STATE", path("state"));
        environment.insert("VT520_SIM_UNITS", QString::number(units));
        environment.insert("VT520_LOCK_DIR", runtimeDir.isEmpty() ? dir->path() : runtimeDir);
        if (throughUsbfs)
            environment.remove("VT520_SIM_CLOCK");
        else
            environment.insert("VT520_SIM_CLOCK", clockFile());
        return environment;
    }

    // Through usbfs the system's libusb drives the same units behind
    // vt520-usbfs-run, and the command runs between two listings in one
    // testbed, written to before.json and after.json.
    Run run(const QStringList &arguments, int units = 1, bool throughUsbfs = false,
            const QString &standardOutput = QString(), const QStringList &usbfsOptions = {})
    {
        QProcess process;
        process.setProcessEnvironment(unitsEnvironment(units, throughUsbfs));
        process.setWorkingDirectory(dir->path());
        if (!standardOutput.isEmpty())
            process.setStandardOutputFile(standardOutput);
        if (throughUsbfs)
            process.start(USBFS_RUN,
                          QStringList{"--virtual-clock", "--devices", QString::number(units)} + usbfsOptions
                              + QStringList{"--", "/bin/sh", "-c",
                                            "\"$0\" list --json >before.json || exit 9; \"$0\" \"$@\"; s=$?; "
                                            "\"$0\" list --json >after.json || exit 9; exit $s",
                                            VT520CTL}
                              + arguments);
        else
            process.start(VT520CTL, arguments);
        Run result;
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
            return result;
        result.status = process.exitCode();
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    // A run whose arguments are bytes, such as a file name that is not
    // UTF-8, which QProcess cannot pass: the shell's printf makes each one
    // from octal escapes.
    Run runWithBytes(const QByteArrayList &arguments)
    {
        QString script = "exec \"$0\"";
        for (const QByteArray &argument : arguments) {
            QString escaped;
            for (const char c : argument)
                escaped += QString("\\%1").arg(uint(quint8(c)), 3, 8, QChar('0'));
            script += QString(" \"$(printf '%1')\"").arg(escaped);
        }
        QProcess process;
        process.setProcessEnvironment(unitsEnvironment(1, false));
        process.setWorkingDirectory(dir->path());
        process.start("/bin/sh", {"-c", script, VT520CTL});
        Run result;
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
            return result;
        result.status = process.exitCode();
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    // The names in a folder as bytes, sorted (QDir leaves out those that are
    // not UTF-8).
    static QByteArrayList namesIn(const QByteArray &folder)
    {
        QByteArrayList names;
        if (DIR *listing = ::opendir(folder.constData())) {
            while (const dirent *entry = ::readdir(listing)) {
                const QByteArray name(entry->d_name);
                if (name != "." && name != "..")
                    names.append(name);
            }
            ::closedir(listing);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // A folder and all in it, by the bytes of the names.
    static void removeTree(const QByteArray &folder)
    {
        if (DIR *listing = ::opendir(folder.constData())) {
            while (const dirent *entry = ::readdir(listing)) {
                const QByteArray name(entry->d_name);
                if (name == "." || name == "..")
                    continue;
                const QByteArray inside = folder + "/" + name;
                struct stat status = {};
                if (::lstat(inside.constData(), &status) == 0 && S_ISDIR(status.st_mode))
                    removeTree(inside);
                else
                    ::unlink(inside.constData());
            }
            ::closedir(listing);
        }
        ::rmdir(folder.constData());
    }

    // A file under a name of bytes, which QFile cannot open.
    static bool writeBytes(const QByteArray &name, const QByteArray &bytes)
    {
        const int descriptor = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        const bool written =
            descriptor >= 0 && ::write(descriptor, bytes.constData(), size_t(bytes.size())) == bytes.size();
        return descriptor >= 0 && ::close(descriptor) == 0 && written;
    }
    static QByteArray readBytes(const QByteArray &name)
    {
        QByteArray bytes;
        const int descriptor = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0)
            return bytes;
        char buffer[65536];
        ssize_t count;
        while ((count = ::read(descriptor, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, int(count));
        ::close(descriptor);
        return bytes;
    }

    static QStringList lines(const QByteArray &text)
    {
        QStringList list = QString::fromLocal8Bit(text).split('\n');
        if (!list.isEmpty() && list.last().isEmpty())
            list.removeLast();
        return list;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(clockDir.isValid());
        QVERIFY(bus.shareClock(clockFile()));
        Clock::setStandard(&sharedTime);
    }
    void cleanupTestCase() { Clock::setStandard(nullptr); }

    void init()
    {
        failOnUnexpectedWarnings();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }

    void exitStatuses_data()
    {
        QTest::addColumn<int>("units");
        QTest::addColumn<QStringList>("arguments"); // %1: the test's folder; first ">FILE": standard output
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message"); // on standard error

        QTest::newRow("done") << 1 << QStringList{"status"} << 0 << "";
        QTest::newRow("unknown command") << 1 << QStringList{"frobnicate"} << 1 << "unknown command";
        QTest::newRow("missing argument") << 1 << QStringList{"upgrade"} << 1 << "needs FILE.upg";
        QTest::newRow("short option") << 1 << QStringList{"programs", "get", "-o"} << 1 << "unknown option -o";
        QTest::newRow("first word of a command only")
            << 1 << QStringList{"programs"} << 1 << "unknown command \"programs\"";
        QTest::newRow("argument to a command without any")
            << 1 << QStringList{"list", "x"} << 1 << "list takes no arguments";
        QTest::newRow("option of another command")
            << 1 << QStringList{"list", "--output", "x"} << 1 << "does not take --output";
        QTest::newRow("device for a file command")
            << 1 << QStringList{"make-upgrade", "%1/bad.hex", "%1/out.upg", "--device", "1-1.1"} << 1
            << "make-upgrade does not take --device";
        QTest::newRow("every unit for a command of one")
            << 1 << QStringList{"status", "--all"} << 1 << "status does not take --all";
        QTest::newRow("length out of range") << 1 << QStringList{"read-memory", "0x08000000", "0"} << 1 << "LENGTH";
        QTest::newRow("empty device selector")
            << 2 << QStringList{"status", "--device="} << 1 << "--device needs a port path";
        QTest::newRow("empty output file")
            << 1 << QStringList{"read-memory", "0x08000000", "16", "--output="} << 1 << "--output needs a value";
        QTest::newRow("empty image folder") << 1 << QStringList{"make-bootloader-images",
                                                                "%1/in.hex",
                                                                "--prefix",
                                                                "261100",
                                                                "--first",
                                                                "1",
                                                                "--count",
                                                                "1",
                                                                "--dir",
                                                                ""}
                                            << 1 << "--dir needs a value";
        QTest::newRow("two devices for one command")
            << 2 << QStringList{"status", "--device", "1-1.1", "--device", "1-1.2"} << 1 << "once";
        QTest::newRow("foreign upgrade file")
            << 1 << QStringList{"upgrade", "%1/foreign.upg", "--quiet"} << 2 << "Wrong file header";
        QTest::newRow("damaged upgrade file")
            << 1 << QStringList{"upgrade", "%1/damaged.upg", "--quiet"} << 2 << "its application region does not match";
        QTest::newRow("damaged upgrade file, every unit")
            << 2 << QStringList{"upgrade", "%1/damaged.upg", "--all"} << 2 << "its application region does not match";
        QTest::newRow("upgrade file without an application")
            << 1 << QStringList{"upgrade", "%1/zeros.upg", "--quiet"} << 2 << "holds no application";
        QTest::newRow("upgrade file without an application, every unit")
            << 2 << QStringList{"upgrade", "%1/zeros.upg", "--all"} << 2 << "holds no application";
        QTest::newRow("upgrade file not a regular file")
            << 1 << QStringList{"upgrade", "/dev/urandom", "--quiet"} << 2 << "/dev/urandom: not a regular file";
        QTest::newRow("upgrade file not a regular file, every unit")
            << 2 << QStringList{"upgrade", "/dev/urandom", "--all"} << 2 << "/dev/urandom: not a regular file";
        QTest::newRow("upgrade file cut short") << 1 << QStringList{"upgrade", "%1/short.upg"} << 2
                                                << "short.upg: 300 bytes; an upgrade file has exactly 262210";
        QTest::newRow("upgrade file of 3 GB") << 1 << QStringList{"upgrade", "%1/huge.bin", "--quiet"} << 2
                                              << "huge.bin: 3221225472 bytes; an upgrade file has exactly 262210";
        QTest::newRow("upgrade file missing") << 1 << QStringList{"upgrade", "%1/missing.upg"} << 2 << "cannot read";
        QTest::newRow("upgrade file missing, every unit")
            << 2 << QStringList{"upgrade", "%1/missing.upg", "--all"} << 2 << "cannot read";
        QTest::newRow("scenes file as programs")
            << 1 << QStringList{"programs", "set", "%1/table.scn"} << 2 << "Wrong file header";
        QTest::newRow("scenes file set") << 1 << QStringList{"scenes", "set", "%1/table.scn"} << 0 << "";
        QTest::newRow("programs file missing")
            << 1 << QStringList{"programs", "set", "%1/missing.pgm"} << 2 << "cannot read";
        QTest::newRow("binary file not in words")
            << 1 << QStringList{"write-flash", "0", "%1/odd.bin"} << 2 << "aligned to 4";
        QTest::newRow("binary file not a regular file")
            << 1 << QStringList{"write-flash", "0", "/dev/zero"} << 2 << "/dev/zero: not a regular file";
        QTest::newRow("binary file of 3 GB")
            << 1 << QStringList{"write-flash", "0", "%1/huge.bin"} << 2
            << "huge.bin: 3221225472 bytes from address 0x0 go past the end of the 1048576-byte external flash";
        QTest::newRow("binary file past the flash's end") << 1 << QStringList{"write-flash", "0", "%1/two.bin"} << 2
                                                          << "two.bin: 2097152 bytes from address 0x0 go past the end";
        QTest::newRow("binary file past the flash's end from its address")
            << 1 << QStringList{"write-flash", "0xfff00", "%1/page.bin", "--quiet"} << 2
            << "page.bin: 512 bytes from address 0xfff00 go past the end";
        QTest::newRow("address past the flash's end")
            << 1 << QStringList{"write-flash", "0x100001", "%1/page.bin"} << 1 << "ADDRESS 0x100001 lies past the end";
        QTest::newRow("programs file not a regular file")
            << 1 << QStringList{"programs", "set", "/dev/urandom"} << 2 << "/dev/urandom: not a regular file";
        QTest::newRow("scenes file of 3 GB") << 1 << QStringList{"scenes", "set", "%1/huge.bin", "--quiet"} << 2
                                             << "huge.bin: 3221225472 bytes, more than a scenes file may have";
        QTest::newRow("HEX file not a regular file") << 0 << QStringList{"make-upgrade", "/dev/urandom", "%1/out.upg"}
                                                     << 2 << "/dev/urandom: not a regular file";
        QTest::newRow("HEX file of 3 GB") << 0 << QStringList{"make-bootloader-images",
                                                              "%1/huge.bin",
                                                              "--prefix",
                                                              "261100",
                                                              "--first",
                                                              "1",
                                                              "--count",
                                                              "1"}
                                          << 2 << "huge.bin: 3221225472 bytes, more than the 33554432 bytes";
        QTest::newRow("binary file missing")
            << 1 << QStringList{"write-flash", "0", "%1/missing.bin"} << 2 << "cannot read";
        QTest::newRow("standard output full") << 1 << QStringList{">/dev/full", "read-flash", "0", "64"} << 2
                                              << "standard output could not be written: No space left on device";
        QTest::newRow("defective HEX file")
            << 0 << QStringList{"make-upgrade", "%1/bad.hex", "%1/out.upg"} << 2 << "HexToBin error: -2)";
        QTest::newRow("HEX record with a wrong checksum")
            << 0 << QStringList{"make-upgrade", "%1/checksum.hex", "%1/out.upg"} << 2
            << "Line 2: The checksum does not match the record.";
        QTest::newRow("HEX record giving other bytes for an address")
            << 0 << QStringList{"make-upgrade", "%1/overlap.hex", "%1/out.upg"} << 2
            << "Line 3: The record gives addresses that line 2 gave, with other bytes.";
        QTest::newRow("HEX file without application data")
            << 0 << QStringList{"make-upgrade", "%1/external.hex", "%1/out.upg"} << 2
            << "The file holds no data for the application region";
        QTest::newRow("HEX file without data") << 0 << QStringList{"make-bootloader-images",
                                                                   "%1/empty.hex",
                                                                   "--prefix",
                                                                   "261100",
                                                                   "--first",
                                                                   "1",
                                                                   "--count",
                                                                   "1"}
                                               << 2 << "Nothing was made from the file";
        QTest::newRow("count past the last unit") << 0 << QStringList{"make-bootloader-images",
                                                                      "%1/empty.hex",
                                                                      "--prefix",
                                                                      "261100",
                                                                      "--first",
                                                                      "500",
                                                                      "--count",
                                                                      "2147483647"}
                                                  << 1 << "--count must be from 1 to 500";
        QTest::newRow("no device") << 0 << QStringList{"status"} << 3 << "no Vt520 found";
        QTest::newRow("several and none chosen")
            << 2 << QStringList{"status"} << 3 << "  1-1.2  bus 1 address 2  application  serial 261100043";
        QTest::newRow("none matching")
            << 2 << QStringList{"read-flash", "0", "4", "--device", "261100099"} << 3 << "no attached Vt520 matches";
        QTest::newRow("no device, every unit")
            << 0 << QStringList{"upgrade", "%1/good.upg", "--all"} << 3 << "no Vt520 found";
        QTest::newRow("one of several units not matching")
            << 2 << QStringList{"upgrade", "%1/good.upg", "--device", "1-1.1", "--device", "261100099"} << 3
            << "no attached Vt520 matches \"261100099\"";
        QTest::newRow("device operation failed") << 1 << QStringList{"read-memory", "0", "16"} << 4 << "failed";
        QTest::newRow("write-flash progress")
            << 1 << QStringList{"write-flash", "0", "%1/page.bin"} << 0 << "Verifying external flash: 100%";
        QTest::newRow("list waiting for a unit that never comes")
            << 0 << QStringList{"list", "--wait", "1"} << 3 << "vt520ctl: waiting up to 1 s for a Vt520 ...";
        QTest::newRow("fewer units than expected")
            << 1 << QStringList{"verify", "%1/good.upg", "--all", "--expect", "2"} << 3
            << "expected 2 Vt520s, found 1; nothing done. Attached:\n  1-1  bus 1 address 1";
        QTest::newRow("more units than expected")
            << 2 << QStringList{"upgrade", "%1/good.upg", "--all", "--expect", "1"} << 3
            << "  1-1.2  bus 1 address 2  application  serial 261100043";
        QTest::newRow("fewer units than expected after the wait")
            << 1 << QStringList{"start", "--all", "--expect", "2", "--wait", "1"} << 3
            << "waiting up to 1 s for 2 Vt520s ...\nvt520ctl: expected 2 Vt520s, found 1";
        QTest::newRow("expected units without --all")
            << 2 << QStringList{"start", "--device", "1-1.1", "--expect", "1"} << 1 << "--expect needs --all";
        QTest::newRow("expected units for a command of one")
            << 1 << QStringList{"status", "--expect", "1"} << 1 << "status does not take --expect";
        QTest::newRow("no units expected") << 1 << QStringList{"start", "--all", "--expect", "0"} << 1
                                           << "--expect needs a number of units, not \"0\"";
        QTest::newRow("retries of a negative count") << 1 << QStringList{"upgrade", "%1/good.upg", "--retries", "-1"}
                                                     << 1 << "--retries needs a number of retries, not \"-1\"";
        QTest::newRow("retries for a command that changes nothing")
            << 1 << QStringList{"verify", "%1/good.upg", "--retries", "1"} << 1 << "verify does not take --retries";
        QTest::newRow("wait for a unit that never comes")
            << 2 << QStringList{"status", "--device", "9-9", "--wait", "1"} << 3
            << "vt520ctl: waiting up to 1 s for a Vt520 matching 9-9 ...";
        QTest::newRow("wait, every unit, none there")
            << 0 << QStringList{"upgrade", "%1/good.upg", "--all", "--wait", "1"} << 3 << "no Vt520 found";
        QTest::newRow("wait of a negative time") << 1 << QStringList{"status", "--wait", "-1"} << 1 << "--wait needs";
        QTest::newRow("wait for a file command")
            << 0 << QStringList{"info", "%1/good.upg", "--wait", "1"} << 1 << "info does not take --wait";
    }

    void exitStatuses()
    {
        QFETCH(int, units);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        QVERIFY(HexFiles::writeFile(path("foreign.upg"), QByteArray(262210, 'x')));
        QVERIFY(HexFiles::writeFile(path("short.upg"), QByteArray(300, 'x')));
        QVERIFY(HexFiles::writeFile(path("page.bin"), QByteArray(512, 'p')));
        // Sparse: sizes that would be read whole, with no disk space taken.
        for (const auto &[name, size] : {std::pair{"huge.bin", 3LL << 30}, std::pair{"two.bin", 2LL << 20}}) {
            QFile sparse(path(name));
            QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(size));
        }
        const UpgradeFixture damaged = UpgradeFixture::make(path("damaged.upg"), 5);
        QVERIFY(QFile::copy(damaged.fileName, path("good.upg")));
        QVERIFY(HexFiles::writeFile(damaged.fileName,
                                    HexFiles::readFile(damaged.fileName).replace(66 + 0x5000, 1, "\xC3")));
        QVERIFY(UpgradeFile::write(path("zeros.upg"), QByteArray(0x40000, '\0')));
        QVERIFY(HexFiles::writeFile(path("overlap.hex"), HexFiles::extendedLinearAddress(0x0800) + "\n"
                                                             + HexFiles::record(0, 0x4000, "\x11\x22") + "\n"
                                                             + HexFiles::record(0, 0x4001, "\x23") + "\n"
                                                             + HexFiles::endOfFile() + "\n"));
        QVERIFY(HexFiles::writeFile(path("odd.bin"), "0123456789"));
        QVERIFY(HexFiles::writeFile(path("bad.hex"), "0400000001020304F2\n"));
        QVERIFY(HexFiles::writeFile(path("empty.hex"), ""));
        QVERIFY(HexFiles::writeFile(path("checksum.hex"),
                                    HexFiles::extendedLinearAddress(0x0800) + "\n" + ":0440000001020304AB\n"));
        QVERIFY(HexFiles::writeFile(path("external.hex"), HexFiles::hexText(0x08020000, "external")));
        QCOMPARE(LightingFile::save(path("table.scn"), LightingFile::Kind::Scenes, QByteArray(384, '\1')),
                 LightingFile::Status::Ok);
        prepareUnits(units);
        for (QString &argument : arguments)
            argument.replace(QStringLiteral("%1"), dir->path());
        QString standardOutput;
        if (arguments.first().startsWith('>'))
            standardOutput = arguments.takeFirst().mid(1);

        const QByteArray before = units ? stateFile(units, 1, "internal.bin") : QByteArray();
        const QByteArray externalBefore = units ? stateFile(units, 1, "external.bin") : QByteArray();
        const qint64 start = bus.nowMs();
        const Run result = run(arguments, units, false, standardOutput);
        QCOMPARE(result.status, status);
        // --wait waits its whole time (on the shared clock) for a unit that does not come.
        const int wait = arguments.indexOf("--wait");
        if (wait > 0 && status == 3)
            QVERIFY(bus.nowMs() - start >= arguments.value(wait + 1).toInt() * 1000);
        QVERIFY2(result.err.contains(message.toLocal8Bit()), result.err.constData());
        if (status == 2 || status == 1) { // a refused file or argument never reaches a unit
            QCOMPARE(stateFile(units, 1, "internal.bin"), before);
            QCOMPARE(stateFile(units, 1, "external.bin"), externalBefore);
        }
    }

    // Every command that writes a file, onto a disk that fills before the
    // file is complete: exit 2 with the system's reason, and no file at the
    // target name (nor a temporary beside it). With "free" bytes left, the
    // disk takes part of the file (a short write); with none, nothing.
    void outputsCompleteOrAbsent_data()
    {
        QTest::addColumn<QStringList>("arguments"); // %1: the full disk
        QTest::addColumn<int>("free");
        const QString hex = "%2/firmware.hex";
        QTest::newRow("make-upgrade") << QStringList{"make-upgrade", hex, "%1/out.upg"} << 8192;
        // A name Qt cannot open goes another way to the disk: \\xE9 is that byte.
        QTest::newRow("make-upgrade, a name that is not UTF-8")
            << QStringList{"make-upgrade", hex, "%1/out\\xE9.upg"} << 8192;
        QTest::newRow("make-bootloader-images") << QStringList{"make-bootloader-images",
                                                               "%2/boot.hex",
                                                               "--prefix",
                                                               "261100",
                                                               "--first",
                                                               "1",
                                                               "--count",
                                                               "1",
                                                               "--dir",
                                                               "%1"}
                                                << 8192;
        QTest::newRow("make-bootloader-images, second of two") << QStringList{"make-bootloader-images",
                                                                              "%2/boot.hex",
                                                                              "--prefix",
                                                                              "261100",
                                                                              "--first",
                                                                              "1",
                                                                              "--count",
                                                                              "2",
                                                                              "--dir",
                                                                              "%1"}
                                                               << 0;
        QTest::newRow("read-memory, cut short")
            << QStringList{"read-memory", "0x08000000", "12000", "--output", "%1/memory.bin"} << 8192;
        QTest::newRow("read-memory, nothing")
            << QStringList{"read-memory", "0x08000000", "64", "--output", "%1/memory.bin"} << 0;
        QTest::newRow("read-flash") << QStringList{"read-flash", "0", "12000", "--output", "%1/flash.bin"} << 8192;
        QTest::newRow("programs get") << QStringList{"programs", "get", "%1/table.pgm"} << 0;
        QTest::newRow("scenes get") << QStringList{"scenes", "get", "%1/table.scn"} << 0;
    }

    void outputsCompleteOrAbsent()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, free);
        const int diskSize = 16384;
        const QString disk = path("disk");
        QVERIFY(QDir().mkpath(disk));
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", QString("size=%1").arg(diskSize), "tmpfs", disk}) != 0)
            QSKIP("a small tmpfs cannot be mounted here (needs root and the right to mount)");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {disk}); });
        const bool second = QTest::currentDataTag() == QByteArray("make-bootloader-images, second of two");
        // The first of two images fits; the disk is full behind it.
        const int filler = second ? 0 : diskSize - free;
        if (filler > 0)
            QVERIFY(HexFiles::writeFile(disk + "/filler", QByteArray(filler, '\0')));
        QVERIFY(
            HexFiles::writeFile(path("boot.hex"), HexFiles::hexText(0x08000000, HexFiles::randomBytes(0x4000, 51))));
        QVERIFY(HexFiles::writeFile(path("firmware.hex"),
                                    HexFiles::hexText(0x08004000, HexFiles::randomBytes(0x1C000, 52))));
        prepareUnits(1);
        for (QString &argument : arguments)
            argument = argument.replace("%1", disk).replace("%2", dir->path());

        QByteArrayList bytes;
        for (const QString &argument : std::as_const(arguments))
            bytes.append(QFile::encodeName(argument).replace("\\xE9", "\xE9"));
        const Run result = runWithBytes(bytes);
        QCOMPARE(result.status, 2);
        QVERIFY2(result.err.contains("No space left on device"), result.err.constData());
        const QByteArrayList left = namesIn(QFile::encodeName(disk));
        QCOMPARE(left, second ? QByteArrayList{"Vt520Bootloader_261100001.bin"}
                              : (filler > 0 ? QByteArrayList{"filler"} : QByteArrayList()));
    }

    // A target that is not a regular file is written where it stands, never
    // replaced: a FIFO's reader gets the bytes, /dev/null stays a device,
    // /dev/stdout is the process's standard output.
    void outputsInPlace_data()
    {
        QTest::addColumn<QStringList>("arguments"); // %1: the target, %2: the test's folder
        QTest::addColumn<QString>("target");        // "fifo", or a name as it stands
        QTest::addColumn<QString>("failure");       // on standard error, with exit status 2; empty: done
        const QStringList readFlash{"read-flash", "0", "4096", "--output", "%1"};
        const QStringList readMemory{"read-memory", "0x08000000", "512", "--output", "%1"};
        const QStringList makeUpgrade{"make-upgrade", "%2/firmware.hex", "%1"};
        const QStringList programsGet{"programs", "get", "%1"};
        QTest::newRow("read-flash into a FIFO") << readFlash << "fifo"
                                                << "";
        QTest::newRow("read-memory into a FIFO") << readMemory << "fifo"
                                                 << "";
        QTest::newRow("make-upgrade into a FIFO") << makeUpgrade << "fifo"
                                                  << "";
        QTest::newRow("programs get into a FIFO") << programsGet << "fifo"
                                                  << "";
        QTest::newRow("read-flash into /dev/null") << readFlash << "/dev/null"
                                                   << "";
        QTest::newRow("make-upgrade into /dev/null") << makeUpgrade << "/dev/null"
                                                     << "";
        QTest::newRow("read-flash onto /dev/stdout") << readFlash << "/dev/stdout"
                                                     << "";
        QTest::newRow("make-upgrade onto /dev/stdout") << makeUpgrade << "/dev/stdout"
                                                       << "";
        QTest::newRow("read-flash into a full device") << readFlash << "/dev/full"
                                                       << "cannot write /dev/full: No space left on device";
        QTest::newRow("make-upgrade into a full device") << makeUpgrade << "/dev/full"
                                                         << "No space left on device";
    }

    void outputsInPlace()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, target);
        QFETCH(QString, failure);
        QVERIFY(HexFiles::writeFile(path("firmware.hex"),
                                    HexFiles::hexText(0x08004000, HexFiles::randomBytes(0x1C000, 53))));
        prepareUnits(1);
        const auto withTarget = [&](const QString &name) {
            QStringList filled = arguments;
            for (QString &argument : filled)
                argument = argument.replace("%1", name).replace("%2", dir->path());
            return filled;
        };
        // The same command into a regular file gives the bytes expected.
        QCOMPARE(run(withTarget(path("regular.out"))).status, 0);
        const QByteArray expected = HexFiles::readFile(path("regular.out"));
        QVERIFY(!expected.isEmpty());

        const QString name = target == "fifo" ? path("fifo") : target;
        struct stat before = {};
        if (target == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        QCOMPARE(::stat(QFile::encodeName(name).constData(), &before), 0);

        // The reader holds a writer of its own open, so that it sees the end
        // of the bytes only once that writer closes after the run.
        QByteArray received;
        int reader = -1;
        int heldWriter = -1;
        std::thread reading;
        if (target == "fifo") {
            reader = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_NONBLOCK);
            QVERIFY(reader >= 0);
            heldWriter = ::open(QFile::encodeName(name).constData(), O_WRONLY);
            QVERIFY(heldWriter >= 0);
            QCOMPARE(::fcntl(reader, F_SETFL, 0), 0);
            reading = std::thread([&] {
                char buffer[65536];
                ssize_t count;
                while ((count = ::read(reader, buffer, sizeof buffer)) > 0)
                    received.append(buffer, int(count));
            });
        }
        const Run result = run(withTarget(name));
        if (target == "fifo") {
            ::close(heldWriter);
            reading.join();
            ::close(reader);
        }
        QCOMPARE(result.status, failure.isEmpty() ? 0 : 2);
        QVERIFY2(result.err.contains(failure.toLocal8Bit()), result.err.constData());
        if (target == "fifo")
            QCOMPARE(received, expected);
        if (target == "/dev/stdout")
            QCOMPARE(result.out, expected);
        struct stat after = {};
        QCOMPARE(::stat(QFile::encodeName(name).constData(), &after), 0);
        QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
        QCOMPARE(after.st_ino, before.st_ino);
        if (target == "/dev/null")
            QVERIFY(S_ISCHR(after.st_mode));
    }

    // --quiet keeps back the log and informational lines only: what the
    // command was asked for is on standard output as without it.
    void quietKeepsTheResult_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("hidden"); // the lines --quiet leaves out
        QTest::newRow("list") << QStringList{"list"} << QStringList();
        QTest::newRow("list --json") << QStringList{"list", "--json"} << QStringList();
        QTest::newRow("read-flash") << QStringList{"read-flash", "0", "64"} << QStringList();
        QTest::newRow("read-memory") << QStringList{"read-memory", "0x08000000", "32"} << QStringList();
        QTest::newRow("status") << QStringList{"status"} << QStringList();
        QTest::newRow("status --json") << QStringList{"status", "--json"} << QStringList();
        QTest::newRow("status --set")
            << QStringList{"status", "--set", "0"} << QStringList{"StatusSet(00000000000000000000000000000000)"};
        QTest::newRow("write-flash") << QStringList{"write-flash", "0x40", "%1/page.bin"} << QStringList{"Write OK"};
    }

    void quietKeepsTheResult()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, hidden);
        QVERIFY(HexFiles::writeFile(path("page.bin"), QByteArray(64, 'p')));
        for (QString &argument : arguments)
            argument.replace(QStringLiteral("%1"), dir->path());
        prepareUnits(2);
        arguments << "--device"
                  << "1-1.2";
        if (arguments.first() == "list")
            arguments = arguments.mid(0, arguments.size() - 2);
        const Run said = run(arguments, 2);
        const Run quiet = run(arguments + QStringList{"--quiet"}, 2);
        QCOMPARE(said.status, 0);
        QCOMPARE(quiet.status, 0);
        // The dump text names the buffer's address in the process, and a
        // JSON document the run's times, which differ from run to run.
        const QRegularExpression bufferAddress("src address: 0x[0-9a-f]+");
        const QRegularExpression runTime("\"(startedAt|endedAt|seconds)\": [^,]*");
        const auto steady = [&](const QByteArray &out) {
            return lines(out).replaceInStrings(bufferAddress, "src address").replaceInStrings(runTime, "\\1");
        };
        QStringList expected = steady(said.out);
        for (const QString &line : hidden)
            QVERIFY2(expected.removeAll(line) == 1, said.out.constData());
        QCOMPARE(steady(quiet.out), expected);
        QVERIFY2(!quiet.err.contains("%\n"), quiet.err.constData()); // no progress either
        QVERIFY2(!expected.isEmpty() || !hidden.isEmpty(), said.out.constData());
    }

    // A selector that fits two units is refused as no selector among
    // several: the units it matches listed, none touched.
    void ambiguousSelectorRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("one unit") << QStringList{"status", "--set", "1", "--device", "261100042"};
        QTest::newRow("bootloader's form") << QStringList{"status", "--set", "1", "--device", "261100042b"};
        QTest::newRow("several units")
            << QStringList{"upgrade", "%1/new.upg", "--device", "1-1.3", "--device", "261100042"};
    }

    void ambiguousSelectorRefused()
    {
        QFETCH(QStringList, arguments);
        prepareUnits(3, [](vt520sim::Device &device, int unit) {
            if (unit == 2)
                device.setSerial("261100042"); // the same as unit 1's
        });
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 12);
        QVERIFY(!fixture.fileName.isEmpty());
        for (QString &argument : arguments)
            argument.replace(QStringLiteral("%1"), dir->path());
        QByteArray before[3];
        for (int unit = 1; unit <= 3; ++unit)
            before[unit - 1] = stateFile(3, unit, "internal.bin") + stateFile(3, unit, "device.ini");

        const Run result = run(arguments, 3);
        QCOMPARE(result.status, 3);
        const QStringList errors = lines(result.err);
        QVERIFY2(errors.value(0).contains("2 Vt520s match \"" + arguments[arguments.indexOf("--device", 3) + 1]),
                 result.err.constData());
        QCOMPARE(errors.filter(QRegularExpression("^  1-1\\.[12]  ")).size(), 2);
        QVERIFY(errors.filter("1-1.3").isEmpty());
        for (int unit = 1; unit <= 3; ++unit)
            QCOMPARE(stateFile(3, unit, "internal.bin") + stateFile(3, unit, "device.ini"), before[unit - 1]);
    }

    // One process per unit, through the system's libusb (where both
    // processes reach the same emulated units), the second from another
    // login session (its own runtime folder): while one vt520ctl holds
    // unit 101-1.1 (its standard output full, so that it holds it as long as
    // the test wants), a second on that unit is refused at once with exit
    // status 5 and the holder named, and touches no unit; another unit is
    // free.
    void oneProcessPerUnit_data()
    {
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message"); // %1: the holder's process id
        QTest::newRow("the same unit")
            << QStringList{"status", "--set", "2", "--device", "101-1.1"} << 5
            << "vt520ctl: unit 101-1.1 is in use by process %1 (vt520ctl read-flash 0 131072 --device 101-1.1)";
        QTest::newRow("the same unit by its serial")
            << QStringList{"status", "--set", "2", "--device", "261100042"} << 5
            << "vt520ctl: unit 101-1.1 is in use by process %1 (vt520ctl read-flash 0 131072 --device 101-1.1)";
        QTest::newRow("every unit, one of them held")
            << QStringList{"upgrade", "%2/new.upg", "--all"} << 5
            << "vt520ctl: unit 101-1.1 is in use by process %1 (vt520ctl read-flash 0 131072 --device 101-1.1)";
        QTest::newRow("every unit, one of them held, as JSON")
            << QStringList{"upgrade", "%2/new.upg", "--all", "--json"} << 5
            << "vt520ctl: unit 101-1.1 is in use by process %1 (vt520ctl read-flash 0 131072 --device 101-1.1)";
        QTest::newRow("another unit") << QStringList{"status", "--set", "2", "--device", "101-1.2"} << 0 << "";
    }

    void oneProcessPerUnit()
    {
        if (QStringLiteral(USBFS_RUN).isEmpty())
            QSKIP("vt520-usbfs-run is not built (no umockdev)");
        QFETCH(QStringList, second);
        QFETCH(int, status);
        QFETCH(QString, message);
        prepareUnits(2);
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 13);
        QVERIFY(!fixture.fileName.isEmpty());
        for (QString &argument : second)
            argument.replace("%2", dir->path());
        QVERIFY(QDir().mkpath(path("run")));
        QByteArray before[2];
        for (int unit = 1; unit <= 2; ++unit)
            before[unit - 1] = stateFile(2, unit, "internal.bin") + stateFile(2, unit, "device.ini");

        const QProcessEnvironment environment = unitsEnvironment(2, true, path("run"));
        // The first fills the pipe and waits, its transfers done (the dump
        // comes after the whole read); the reader waits for its first byte
        // and its lock, runs the second, then lets the first finish.
        const QString script =
            "\"$0\" read-flash 0 131072 --device 101-1.1 | { "
            "dd bs=1 count=1 >/dev/null 2>&1; "
            "ino=$(stat -c %i run/vt520-101-1.1.lock); "
            "awk -v ino=\":$ino\" '$2 == \"FLOCK\" && substr($6, length($6) - length(ino) + 1) == ino "
            "{ print $5 }' /proc/locks >holder.txt; "
            "XDG_RUNTIME_DIR=\"$PWD/another-session\" \"$0\" \"$@\" >second.out 2>second.err; "
            "echo $? >second.status; cat >/dev/null; }";
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir->path());
        process.start(USBFS_RUN, QStringList{"--devices", "2", "--", "/bin/sh", "-c", script, VT520CTL} + second);
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(HexFiles::readFile(path("second.status")).trimmed().toInt(), status);
        const QByteArray holder = HexFiles::readFile(path("holder.txt")).trimmed();
        QVERIFY(holder.toLongLong() > 0);
        const QByteArray errors = HexFiles::readFile(path("second.err"));
        if (status == 0) {
            QVERIFY2(errors.isEmpty(), errors.constData());
        } else {
            QCOMPARE(lines(errors), QStringList{message.arg(QString::fromLatin1(holder))});
            const QByteArray out = HexFiles::readFile(path("second.out"));
            if (second.contains("--json")) {
                // The held unit as busy, with the refusal's words; no other.
                const QJsonObject report = QJsonDocument::fromJson(out).object();
                QCOMPARE(report["exitStatus"].toInt(), status);
                const QJsonArray units = report["units"].toArray();
                QCOMPARE(units.size(), 1);
                QCOMPARE(units[0]["portPath"].toString(), QString("101-1.1"));
                QCOMPARE(units[0]["result"].toString(), QString("busy"));
                QCOMPARE("vt520ctl: " + units[0]["reason"].toString(), message.arg(QString::fromLatin1(holder)));
            } else {
                QVERIFY(out.isEmpty());
            }
            for (int unit = 1; unit <= 2; ++unit)
                QCOMPARE(stateFile(2, unit, "internal.bin") + stateFile(2, unit, "device.ini"), before[unit - 1]);
        }
        QCOMPARE(stateFile(2, 2, "device.ini").contains("status=2\n"), status == 0);
    }

    // A signal during a firmware change: the change stops at its next safe
    // point, says the unit's state and how to recover, and exits with
    // 128 + the signal's number. The signal is sent during the wait after
    // the reset into the bootloader, so the first safe point is before the
    // first page; only what holds at any safe point before the start is
    // checked. Sent while --wait waits for the units to be plugged in, it
    // stops the change before the reset: the units keep their firmware and
    // stay in application mode.
    void interruptedAtASafePoint_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("units"); // more than one: all at once with --all
        QTest::addColumn<bool>("json");
        QTest::addColumn<bool>("beforeTheReset"); // sent while waiting for the units
        QTest::newRow("SIGINT") << int(SIGINT) << 130 << "SIGINT" << 1 << false << false;
        QTest::newRow("SIGTERM") << int(SIGTERM) << 143 << "SIGTERM" << 1 << false << false;
        QTest::newRow("SIGHUP") << int(SIGHUP) << 129 << "SIGHUP" << 1 << false << false;
        QTest::newRow("SIGINT, every unit") << int(SIGINT) << 130 << "SIGINT" << 2 << false << false;
        QTest::newRow("SIGTERM, JSON") << int(SIGTERM) << 143 << "SIGTERM" << 1 << true << false;
        QTest::newRow("SIGINT, every unit, JSON") << int(SIGINT) << 130 << "SIGINT" << 2 << true << false;
        QTest::newRow("SIGINT, before the reset") << int(SIGINT) << 130 << "SIGINT" << 1 << false << true;
        QTest::newRow("SIGTERM, before the reset, JSON") << int(SIGTERM) << 143 << "SIGTERM" << 1 << true << true;
        QTest::newRow("SIGINT, every unit, before the reset") << int(SIGINT) << 130 << "SIGINT" << 2 << false << true;
        QTest::newRow("SIGHUP, every unit, before the reset, JSON")
            << int(SIGHUP) << 129 << "SIGHUP" << 2 << true << true;
    }

    void interruptedAtASafePoint()
    {
        QFETCH(int, signalNumber);
        QFETCH(int, status);
        QFETCH(QString, name);
        QFETCH(int, units);
        QFETCH(bool, json);
        QFETCH(bool, beforeTheReset);
        prepareUnits(units);
        QByteArray before[2];
        for (int unit = 1; unit <= units; ++unit)
            before[unit - 1] = stateFile(units, unit, "internal.bin") + stateFile(units, unit, "external.bin");
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 14);
        QVERIFY(!fixture.fileName.isEmpty());
        // The signal has to come during the wait after the reset, the
        // change's first wait, or during --wait's first look at the bus:
        // this test follows the shared clock and looks at no time until the
        // signal is sent, so every wait is held there.
        HeldClock held(clockFile());
        QVERIFY(held.isHolding());
        QProcess process;
        QProcessEnvironment environment = unitsEnvironment(units, false);
        // Plugged in within --wait's first pause, so that its next look
        // finds every unit.
        if (beforeTheReset)
            environment.insert("VT520_SIM_ARRIVE_MS", "50");
        process.setProcessEnvironment(environment);
        QStringList arguments{"upgrade", fixture.fileName};
        if (units > 1)
            arguments << "--all";
        if (json)
            arguments << "--json";
        if (beforeTheReset)
            arguments << "--wait"
                      << "30";
        if (beforeTheReset && units > 1)
            arguments << "--expect" << QString::number(units);
        process.start(VT520CTL, arguments);
        QByteArray out;
        QByteArray err;
        if (beforeTheReset) {
            QTRY_VERIFY_WITH_TIMEOUT(
                (err += process.readAllStandardError()).contains("vt520ctl: waiting up to 30 s for "), 30000);
        } else if (json) {
            // No log lines: the units' own state shows the reset, in the
            // wait after it, long before the start of the new firmware.
            const auto reset = [&] {
                for (int unit = 1; unit <= units; ++unit) {
                    if (!stateFile(units, unit, "device.ini").contains("mode=bootloader\n"))
                        return false;
                }
                return true;
            };
            QTRY_VERIFY_WITH_TIMEOUT(reset(), 30000);
        } else {
            while (out.count("Reset device\n") < units && process.waitForReadyRead(30000))
                out += process.readAllStandardOutput();
            QVERIFY2(out.count("Reset device\n") == units, out.constData());
        }
        QCOMPARE(::kill(pid_t(process.processId()), signalNumber), 0);
        // Released once the signal's handler has run, so that the stop
        // request is there when the held waits end.
        QTRY_VERIFY(!signalPending(process.processId(), signalNumber));
        held.release();
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit); // not killed by the signal
        QCOMPARE(process.exitCode(), status);
        out += process.readAllStandardOutput();
        const QStringList errors = lines(err + process.readAllStandardError());
        const QString stopped = beforeTheReset
                                    ? "Stopped on request before anything was written: the Vt520 is unchanged."
                                    : "Stopped on request: the Vt520 is in its bootloader; run the change again.";
        for (int unit = 1; unit <= units; ++unit) {
            const QString port = units == 1 ? QString("1-1") : QString("1-1.%1").arg(unit);
            const QString line =
                beforeTheReset
                    ? "vt520ctl: " + name + ": unit " + port + " was not changed: it is still in application mode"
                : units == 1 ? "vt520ctl: " + name + ": unit 1-1 is in its bootloader: run the upgrade again"
                             : "vt520ctl: " + name + ": unit " + port
                                   + " did not finish its change and may be in its bootloader: run the "
                                     "upgrade again";
            QVERIFY2(errors.contains(line), qPrintable(errors.join('\n')));
            if (json) {
                const QJsonObject report = QJsonDocument::fromJson(out).object();
                QCOMPARE(report["exitStatus"].toInt(), status);
                const QJsonObject result = report["units"].toArray().at(unit - 1).toObject();
                QCOMPARE(result["portPath"].toString(), port);
                QCOMPARE(result["result"].toString(), QString("interrupted"));
                QCOMPARE(result["reason"].toString(), stopped);
            } else {
                QVERIFY2(lines(out).contains(units == 1 ? stopped : port + ": " + stopped), out.constData());
            }
            if (beforeTheReset) {
                QVERIFY(stateFile(units, unit, "device.ini").contains("mode=application\n"));
                QVERIFY(stateFile(units, unit, "internal.bin") + stateFile(units, unit, "external.bin")
                        == before[unit - 1]);
            } else {
                QVERIFY(stateFile(units, unit, "device.ini").contains("mode=bootloader\n"));
            }
        }
    }

    // A signal after the last safe point, during the wait after the start
    // of the new firmware: every change completes, and the run still says
    // each unit's state on standard error and in the document's error,
    // and ends with the signal's status.
    void lateStopSaysEveryUnitsState_data()
    {
        QTest::addColumn<int>("units"); // more than one: all at once with --all
        QTest::addColumn<bool>("json");
        QTest::newRow("one unit") << 1 << false;
        QTest::newRow("two units at once") << 2 << false;
        QTest::newRow("two units at once, JSON") << 2 << true;
    }

    void lateStopSaysEveryUnitsState()
    {
        QFETCH(int, units);
        QFETCH(bool, json);
        // Found in their bootloaders: no reset, so the first wait of each
        // change is the one after its start request, where this test holds
        // the shared clock.
        prepareUnits(units, [](vt520sim::Device &device, int) { device.setMode(vt520sim::Mode::Bootloader); });
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 23);
        QVERIFY(!fixture.fileName.isEmpty());
        HeldClock held(clockFile());
        QVERIFY(held.isHolding());
        QProcess process;
        process.setProcessEnvironment(unitsEnvironment(units, false));
        QStringList arguments{"upgrade", fixture.fileName, "--log-dir", path("log")};
        if (units > 1)
            arguments << "--all";
        if (json)
            arguments << "--json";
        process.start(VT520CTL, arguments);
        const auto everyUnitStarted = [&] {
            for (int unit = 1; unit <= units; ++unit) {
                const QString record = path("log/%1.jsonl").arg(261100041 + unit);
                if (!HexFiles::readFile(record).contains("\"event\":\"start\""))
                    return false;
            }
            return true;
        };
        QTRY_VERIFY_WITH_TIMEOUT(everyUnitStarted(), 30000);
        QCOMPARE(::kill(pid_t(process.processId()), SIGINT), 0);
        QTRY_VERIFY(!signalPending(process.processId(), SIGINT));
        held.release();
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 130);
        const QByteArray out = process.readAllStandardOutput();
        const QStringList errors = lines(process.readAllStandardError());
        for (int unit = 1; unit <= units; ++unit) {
            const QString port = units == 1 ? QString("1-1") : QString("1-1.%1").arg(unit);
            const QString line = "vt520ctl: SIGINT: unit " + port + " finished its change before the stop";
            QVERIFY2(errors.contains(line), qPrintable(errors.join('\n')));
            QVERIFY(stateFile(units, unit, "device.ini").contains("mode=application\n"));
        }
        if (json) {
            const QJsonObject report = QJsonDocument::fromJson(out).object();
            QCOMPARE(report["exitStatus"].toInt(), 130);
            QVERIFY2(report["error"].toString().startsWith("SIGINT: unit 1-1."),
                     qPrintable(report["error"].toString()));
            for (const QJsonValue &unit : report["units"].toArray())
                QCOMPARE(unit["result"].toString(), QString("ok"));
        }
    }

    // A signal ignored when vt520ctl starts (nohup, a background job) stays
    // ignored: sent during the change, it stops nothing.
    void ignoredSignalStaysIgnored_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QString>("trap"); // the shell's name for it
        QTest::newRow("SIGHUP, as under nohup") << int(SIGHUP) << "HUP";
        QTest::newRow("SIGINT, as in a background job") << int(SIGINT) << "INT";
    }

    void ignoredSignalStaysIgnored()
    {
        QFETCH(int, signalNumber);
        QFETCH(QString, trap);
        prepareUnits(1);
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 22);
        QVERIFY(!fixture.fileName.isEmpty());
        HeldClock held(clockFile());
        QVERIFY(held.isHolding());
        QProcess process;
        process.setProcessEnvironment(unitsEnvironment(1, false));
        process.start("/bin/sh", {"-c", QString("trap '' %1; exec \"$0\" \"$@\"").arg(trap), VT520CTL, "upgrade",
                                  fixture.fileName});
        QByteArray out;
        while (!out.contains("Reset device\n") && process.waitForReadyRead(30000))
            out += process.readAllStandardOutput();
        QVERIFY2(out.contains("Reset device\n"), out.constData());
        QCOMPARE(::kill(pid_t(process.processId()), signalNumber), 0);
        QTRY_VERIFY(!signalPending(process.processId(), signalNumber));
        held.release();
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
        QCOMPARE(stateFile(1, 1, "internal.bin").mid(0x4000, 0x1C000), fixture.applicationRegion());
        QVERIFY(stateFile(1, 1, "device.ini").contains("mode=application\n"));
    }

    // --log-dir: each unit's record is written as the run goes, one line
    // per event, so that a kill -9 during the change leaves every unit's
    // lines up to it, each line whole, in the order of the steps.
    void logLinesSurviveAKill_data()
    {
        QTest::addColumn<int>("units"); // more than one: all at once with --all
        QTest::newRow("one unit") << 1;
        QTest::newRow("two units at once") << 2;
    }

    void logLinesSurviveAKill()
    {
        QFETCH(int, units);
        prepareUnits(units);
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 19);
        QVERIFY(!fixture.fileName.isEmpty());
        // The kill comes during the wait after the reset, the change's first
        // wait, where this test holds the shared clock.
        HeldClock held(clockFile());
        QVERIFY(held.isHolding());
        QProcess process;
        process.setProcessEnvironment(unitsEnvironment(units, false));
        QStringList arguments{"upgrade", fixture.fileName, "--log-dir", path("log")};
        if (units > 1)
            arguments << "--all";
        process.start(VT520CTL, arguments);
        const auto record = [&](int unit) { return HexFiles::readFile(path("log/%1.jsonl").arg(261100041 + unit)); };
        const auto everyUnitReset = [&] {
            for (int unit = 1; unit <= units; ++unit) {
                if (!record(unit).contains("\"event\":\"reset\""))
                    return false;
            }
            return true;
        };
        QTRY_VERIFY_WITH_TIMEOUT(everyUnitReset(), 30000);
        QCOMPARE(::kill(pid_t(process.processId()), SIGKILL), 0);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        held.release();

        const QStringList steps{"chosen", "locked", "identified", "reset"};
        for (int unit = 1; unit <= units; ++unit) {
            const QByteArray text = record(unit);
            QVERIFY2(text.endsWith('\n'), text.constData());
            QStringList events;
            for (const QByteArray &line : text.split('\n')) {
                if (line.isEmpty())
                    continue;
                QJsonParseError parsed;
                const QJsonObject event = QJsonDocument::fromJson(line, &parsed).object();
                QVERIFY2(parsed.error == QJsonParseError::NoError, line.constData());
                QCOMPARE(event["serial"].toString(), QString::number(261100041 + unit));
                QCOMPARE(event["portPath"].toString(), units == 1 ? QString("1-1") : QString("1-1.%1").arg(unit));
                QVERIFY(event["time"].toString().endsWith('Z'));
                events << event["event"].toString();
            }
            // The steps in order up to the kill, in the wait after the reset.
            QCOMPARE(events, steps);
        }
    }

    // A closed standard output never kills a running device operation: the
    // command goes on to its end, and the lines it could not write make the
    // exit status 2.
    void closedStandardOutput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("changed");
        QTest::newRow("upgrade") << QStringList{"upgrade", "%1/new.upg"} << true;
        QTest::newRow("read-flash") << QStringList{"read-flash", "0", "65536"} << false;
        // More bytes than a pipe holds, with line ends early among them.
        QTest::newRow("read-memory onto standard output")
            << QStringList{"read-memory", "0x08000000", "262144", "--output", "-"} << false;
    }

    void closedStandardOutput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, changed);
        prepareUnits(1);
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 15);
        QVERIFY(!fixture.fileName.isEmpty());
        for (QString &argument : arguments)
            argument.replace(QStringLiteral("%1"), dir->path());
        QProcess process;
        process.setProcessEnvironment(unitsEnvironment(1, false));
        process.setWorkingDirectory(dir->path());
        // The reader takes the first line and leaves: every later write
        // meets a pipe without a reader.
        process.start("/bin/sh",
                      QStringList{"-c", "{ \"$0\" \"$@\"; echo $? >status; } | head -n 1 >/dev/null", VT520CTL}
                          + arguments);
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(HexFiles::readFile(path("status")).trimmed(), QByteArray("2"));
        // Said once, however many writes met the closed pipe.
        const QByteArray errors = process.readAllStandardError();
        QVERIFY2(errors.count("standard output could not be written") == 1, errors.constData());
        if (changed)
            QCOMPARE(stateFile(1, 1, "internal.bin").mid(0x4000, 0x1C000), fixture.applicationRegion());
    }

    // start: units in their bootloader started and seen back in their
    // application; a unit running its application already is left alone; a
    // unit that does not come back in time fails the command.
    void startUnits_data()
    {
        QTest::addColumn<QStringList>("selection");
        QTest::addColumn<QList<int>>("inBootloader"); // units 1..2 before
        QTest::addColumn<int>("late");                // back long after the command stops looking; 0: none
        QTest::addColumn<QByteArray>("serial");       // of unit 1-1.2; empty: 261100043
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("out");
        QTest::newRow("one unit") << QStringList{"--device", "1-1.2"} << QList<int>{2} << 0 << QByteArray() << 0
                                  << QStringList{"1-1.2: started; the Vt520 261100043 runs its application"};
        QTest::newRow("every unit") << QStringList{"--all"} << QList<int>{1, 2} << 0 << QByteArray() << 0
                                    << QStringList{"1-1.1: started; the Vt520 261100042 runs its application",
                                                   "1-1.2: started; the Vt520 261100043 runs its application"};
        QTest::newRow("running its application already")
            << QStringList{"--device", "1-1.1"} << QList<int>{2} << 0 << QByteArray() << 0
            << QStringList{"1-1.1: the Vt520 261100042 runs its application already; nothing sent"};
        QTest::newRow("not back") << QStringList{"--all"} << QList<int>{1, 2} << 2 << QByteArray() << 4
                                  << QStringList{"1-1.1: started; the Vt520 261100042 runs its application"};
        // A unit's text never reaches the reader's terminal as controls.
        QTest::newRow("serial holding control characters")
            << QStringList{"--device", "1-1.2"} << QList<int>{2} << 0
            << QByteArray("26\x1b[2J\x9b\x7f"
                          "0")
            << 0 << QStringList{"1-1.2: started; the Vt520 26\\x1b[2J\\x9b\\x7f0 runs its application"};
    }

    void startUnits()
    {
        QFETCH(QStringList, selection);
        QFETCH(QList<int>, inBootloader);
        QFETCH(int, late);
        QFETCH(QByteArray, serial);
        QFETCH(int, status);
        QFETCH(QStringList, out);
        prepareUnits(2, [&](vt520sim::Device &device, int unit) {
            if (inBootloader.contains(unit))
                device.setMode(vt520sim::Mode::Bootloader);
            if (unit == late)
                device.setReenumerateDelay(60000);
            if (unit == 2 && !serial.isEmpty())
                device.setSerial(serial);
        });
        const Run result = run(QStringList{"start"} + selection, 2);
        QCOMPARE(result.status, status);
        QCOMPARE(lines(result.out), out);
        if (late)
            QVERIFY2(result.err.contains("unit 1-1." + QByteArray::number(late) + " did not come back"),
                     result.err.constData());
        for (int unit = 1; unit <= 2; ++unit) {
            if (unit == late) // on its way back when the command gave up
                continue;
            const bool named = selection.contains("--all") || selection.contains(QString("1-1.%1").arg(unit));
            const bool application = named || !inBootloader.contains(unit);
            QVERIFY2(
                stateFile(2, unit, "device.ini").contains(application ? "mode=application\n" : "mode=bootloader\n"),
                stateFile(2, unit, "device.ini").constData());
        }
    }

    // A unit whose interface another program has claimed (the kernel says
    // busy; no lock of ours names the holder): listed as busy with what
    // sysfs tells, refused with exit status 5, nothing sent to any unit.
    void unitClaimedByAnotherProgram_data()
    {
        QTest::addColumn<QStringList>("arguments"); // %1: the upgrade file
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("line"); // on standard error, or of the list
        const QString refusal = "vt520ctl: unit 101-1.1 is in use by another program (its interface is claimed)";
        QTest::newRow("by port") << QStringList{"status", "--device", "101-1.1"} << 5 << refusal;
        QTest::newRow("by serial") << QStringList{"status", "--device", "261100042"} << 5 << refusal;
        QTest::newRow("every unit") << QStringList{"upgrade", "%1", "--all"} << 5 << refusal;
        QTest::newRow("another unit") << QStringList{"status", "--device", "101-1.2"} << 0 << "";
        QTest::newRow("list")
            << QStringList{"list"} << 0
            << "101-1.1  bus 101 address 3  busy (claimed by another program)  application  serial 261100042";
    }

    void unitClaimedByAnotherProgram()
    {
        if (QStringLiteral(USBFS_RUN).isEmpty())
            QSKIP("vt520-usbfs-run is not built (no umockdev)");
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, line);
        prepareUnits(2);
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 14);
        arguments.replaceInStrings("%1", fixture.fileName);
        QByteArray before[2];
        for (int unit = 1; unit <= 2; ++unit)
            before[unit - 1] = stateFile(2, unit, "internal.bin") + stateFile(2, unit, "device.ini");

        const Run result = run(arguments, 2, true, QString(), {"--claimed", "101-1.1"});
        QCOMPARE(result.status, status);
        if (arguments.first() == "list")
            QVERIFY2(lines(result.out).contains(line), result.out.constData());
        else if (status != 0)
            QCOMPARE(lines(result.err), QStringList{line});
        if (status != 0) {
            for (int unit = 1; unit <= 2; ++unit)
                QCOMPARE(stateFile(2, unit, "internal.bin") + stateFile(2, unit, "device.ini"), before[unit - 1]);
        }
    }

    // programs and scenes set and get through the system's libusb, with one
    // vendor request failing: exit status 4 and a line on what the unit now
    // holds; a failed release leaves the host-access bit set, and says so
    // last, with what clears it (also as "hostAccessMayBeSet" with --json).
    // A unit unplugged during the transfer and back at once or after 500 ms
    // is waited for: the command completes.
    void tableSetVerified_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("command");         // set or get
        QTest::addColumn<QStringList>("usbfsFaults"); // options of vt520-usbfs-run; empty: none
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("holds"); // the last line on standard error
        QTest::addColumn<bool>("accessBitSet");
        QTest::addColumn<bool>("json");
        const QString bitSet = "vt520ctl: the Vt520 at 101-1 may still have its host-access bit set: clear it with "
                               "'vt520ctl status --clear 1', or unplug the unit and plug it in again";
        QTest::newRow("programs written") << "programs"
                                          << "set" << QStringList() << 0 << "" << false << false;
        QTest::newRow("scenes written") << "scenes"
                                        << "set" << QStringList() << 0 << "" << false << false;
        QTest::newRow("release refused")
            << "programs"
            << "set" << QStringList{"--fail-request", "8:stall"} << 4
            << "vt520ctl: the Vt520 at 101-1 holds the new programs, its host-access bit still set: write them "
               "again, or clear it with 'vt520ctl status --clear 1'"
            << true << false;
        QTest::newRow("write refused")
            << "scenes"
            << "set" << QStringList{"--fail-request", "6:io"} << 4
            << "vt520ctl: the Vt520 at 101-1 may hold its old scenes, the new ones or a mix of both: write them again"
            << false << false;
        QTest::newRow("read back refused")
            << "programs"
            << "set" << QStringList{"--fail-request", "5:io"} << 4
            << "vt520ctl: the Vt520 at 101-1 may hold its old programs, the new ones or a mix of both: write them "
               "again"
            << false << false;
        QTest::newRow("write and release refused")
            << "scenes"
            << "set" << QStringList{"--fail-request", "6:io", "--fail-request", "8:stall"} << 4 << bitSet << true
            << false;
        QTest::newRow("write and release refused, --json")
            << "programs"
            << "set" << QStringList{"--fail-request", "6:io", "--fail-request", "8:stall"} << 4 << bitSet << true
            << true;
        QTest::newRow("programs written, --json") << "programs"
                                                  << "set" << QStringList() << 0 << "" << false << true;
        QTest::newRow("programs unplugged in the write, back at once")
            << "programs"
            << "set" << QStringList{"--unplug-at-request", "6:0:3"} << 0 << "" << false << false;
        QTest::newRow("programs unplugged in the write, back after 500 ms")
            << "programs"
            << "set" << QStringList{"--unplug-at-request", "6:500:3"} << 0 << "" << false << false;
        QTest::newRow("scenes unplugged in the read back, back after 500 ms")
            << "scenes"
            << "set" << QStringList{"--unplug-at-request", "5:500"} << 0 << "" << false << false;
        QTest::newRow("programs read, unplugged, back at once")
            << "programs"
            << "get" << QStringList{"--unplug-at-request", "5:0:2"} << 0 << "" << false << false;
        QTest::newRow("scenes read, unplugged, back after 500 ms")
            << "scenes"
            << "get" << QStringList{"--unplug-at-request", "5:500"} << 0 << "" << false << false;
        QTest::newRow("programs read, release refused")
            << "programs"
            << "get" << QStringList{"--fail-request", "8:stall"} << 4 << bitSet << true << false;
        QTest::newRow("scenes read and release refused, --json")
            << "scenes"
            << "get" << QStringList{"--fail-request", "5:io", "--fail-request", "8:stall"} << 4 << bitSet << true
            << true;
    }

    void tableSetVerified()
    {
        if (QStringLiteral(USBFS_RUN).isEmpty())
            QSKIP("vt520-usbfs-run is not built (no umockdev)");
        QFETCH(QString, table);
        QFETCH(QString, command);
        QFETCH(QStringList, usbfsFaults);
        QFETCH(int, status);
        QFETCH(QString, holds);
        QFETCH(bool, accessBitSet);
        QFETCH(bool, json);
        const bool programs = table == "programs";
        const LightingFile::Kind kind = programs ? LightingFile::Kind::Programs : LightingFile::Kind::Scenes;
        const QByteArray onUnit =
            editableTable((programs ? ProgramsTableSize : ScenesTableSize) / SceneRecord::Size, programs ? 61 : 62);
        prepareUnits(1, [&](vt520sim::Device &device, int) {
            device.setExternalFlash(programs ? 0x14000 : 0x15E00, scrambled(onUnit));
        });
        const QString file = path(programs ? "table.pgm" : "table.scn");
        const QByteArray written(programs ? ProgramsTableSize : ScenesTableSize, '\5');
        if (command == "set")
            QCOMPARE(LightingFile::save(file, kind, written), LightingFile::Status::Ok);

        const QProcessEnvironment environment = unitsEnvironment(1, true);
        QProcess process;
        process.setProcessEnvironment(environment);
        QStringList ctl{VT520CTL, table, command, file};
        if (json)
            ctl << "--json";
        process.start(USBFS_RUN,
                      QStringList{"--virtual-clock", "--devices", "1"} + usbfsFaults + QStringList{"--"} + ctl);
        QVERIFY(process.waitForFinished(120000));
        const QByteArray errors = process.readAllStandardError();
        const QByteArray out = process.readAllStandardOutput();
        QCOMPARE(process.exitCode(), status);
        if (status == 0)
            QVERIFY2(errors.isEmpty(), errors.constData());
        else
            QCOMPARE(lines(errors).last(), holds);
        QCOMPARE(stateFile(1, 1, "device.ini").contains("status=1\n"), accessBitSet);
        if (status == 0) {
            // The table moved whole: on the unit, or in the file.
            const QByteArray external = stateFile(1, 1, "external.bin");
            const int address = programs ? 0x14000 : 0x15E00;
            if (command == "set") {
                QCOMPARE(external.mid(address, written.size()), scrambled(written));
            } else {
                const LightingFile::ReadResult read = LightingFile::load(file, kind);
                QCOMPARE(read.status, LightingFile::Status::Ok);
                QCOMPARE(read.table, onUnit);
            }
        }
        if (json) {
            QJsonParseError parsed;
            const QJsonObject document = QJsonDocument::fromJson(out, &parsed).object();
            QVERIFY2(parsed.error == QJsonParseError::NoError, out.constData());
            QCOMPARE(document["exitStatus"].toInt(-1), status);
            QCOMPARE(document["hostAccessMayBeSet"].toBool(!accessBitSet), accessBitSet);
            QCOMPARE(document["portPath"].toString(), QString("101-1"));
            QCOMPARE(document["command"].toString(), table + " " + command);
            if (status != 0)
                QCOMPARE("vt520ctl: " + document["errors"].toArray().last().toString(), holds);
        } else {
            QVERIFY2(out.isEmpty(), out.constData());
        }
    }

    // A unit written and verified, but not back on its new firmware: the
    // change has failed, alone or among several, and says so last.
    void upgradeEndsWithTheUnitsState_data()
    {
        QTest::addColumn<QStringList>("selection");
        QTest::newRow("one unit") << QStringList{"--device", "1-1.2"};
        QTest::newRow("every unit") << QStringList{"--all"};
    }

    void upgradeEndsWithTheUnitsState()
    {
        QFETCH(QStringList, selection);
        prepareUnits(2, [&](vt520sim::Device &device, int unit) {
            device.setMode(vt520sim::Mode::Bootloader);
            if (unit == 2)
                device.setReenumerateDelay(60000); // back long after the change stops looking
        });
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 11);
        QVERIFY(!fixture.fileName.isEmpty());

        const Run result = run(QStringList{"upgrade", fixture.fileName} + selection, 2);
        QCOMPARE(result.status, 4);
        QCOMPARE(stateFile(2, 2, "internal.bin").mid(0x4000, 0x1C000), fixture.applicationRegion());
        const QString verdict = "Failed: the Vt520 did not come back at 1-1.2 after the start of the new firmware.";
        QVERIFY2(
            lines(result.out).filter(QRegularExpression("^(1-1.2: )?" + QRegularExpression::escape(verdict))).size()
                == 1,
            result.out.constData());
        QVERIFY2(result.err.contains("at 1-1.2 failed"), result.err.constData());
        if (selection.contains("--all"))
            QVERIFY(lines(result.out).filter(QRegularExpression("^1-1.2 +261100043b +- +not back ")).size() == 1);
    }

    // upgrade --json: one document on standard output at the end, a result
    // per unit with its serials, reason and time, and the unit's end state
    // behind each result.
    void upgradeAsJson_data()
    {
        QTest::addColumn<QStringList>("selection");
        QTest::addColumn<int>("late");    // back long after the change stops looking; 0: none
        QTest::addColumn<int>("failing"); // its serial fits neither mode; 0: none
        // Device-id requests unit 1-1.1 leaves unanswered: 0 none, -1 every one.
        QTest::addColumn<int>("unanswered");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("results"); // units 1-1.1, 1-1.2 in order, of those chosen
        QTest::newRow("one unit") << QStringList{"--device", "1-1.1"} << 0 << 0 << 0 << 0 << QStringList{"ok"};
        QTest::newRow("every unit") << QStringList{"--all"} << 0 << 0 << 0 << 0 << QStringList{"ok", "ok"};
        QTest::newRow("one unit not back")
            << QStringList{"--device", "1-1.2"} << 2 << 0 << 0 << 4 << QStringList{"not-back"};
        QTest::newRow("every unit, one not back")
            << QStringList{"--all"} << 2 << 0 << 0 << 4 << QStringList{"ok", "not-back"};
        QTest::newRow("one unit failing")
            << QStringList{"--device", "1-1.1"} << 0 << 1 << 0 << 4 << QStringList{"failed"};
        QTest::newRow("every unit, one failing")
            << QStringList{"--all"} << 0 << 1 << 0 << 4 << QStringList{"failed", "ok"};
        QTest::newRow("every unit, as many as expected")
            << QStringList{"--all", "--expect", "2"} << 0 << 0 << 0 << 0 << QStringList{"ok", "ok"};
        QTest::newRow("one unit missing its identity request once")
            << QStringList{"--device", "1-1.1"} << 0 << 0 << 1 << 0 << QStringList{"ok"};
        QTest::newRow("one unit never answering its identity request")
            << QStringList{"--device", "1-1.1"} << 0 << 0 << -1 << 4 << QStringList{"failed"};
        QTest::newRow("every unit, one never answering its identity request")
            << QStringList{"--all"} << 0 << 0 << -1 << 4 << QStringList{"failed"};
    }

    void upgradeAsJson()
    {
        QFETCH(QStringList, selection);
        QFETCH(int, late);
        QFETCH(int, failing);
        QFETCH(int, unanswered);
        QFETCH(int, status);
        QFETCH(QStringList, results);
        prepareUnits(2, [&](vt520sim::Device &device, int unit) {
            if (unit == 2)
                device.setMode(vt520sim::Mode::Bootloader);
            if (unit == late)
                device.setReenumerateDelay(60000);
            if (unit == failing)
                device.setSerial("26110004");
            if (unit == 1)
                device.leaveIdRequestsUnanswered(unanswered);
        });
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 16);
        QVERIFY(!fixture.fileName.isEmpty());

        const Run result = run(QStringList{"upgrade", fixture.fileName, "--json"} + selection, 2);
        QCOMPARE(result.status, status);
        QJsonParseError parsed;
        const QJsonDocument document = QJsonDocument::fromJson(result.out, &parsed);
        QVERIFY2(parsed.error == QJsonParseError::NoError && document.isObject(), result.out.constData());
        const QJsonObject report = document.object();
        QCOMPARE(report["exitStatus"].toInt(-1), status);
        QCOMPARE(report["file"].toString(), fixture.fileName);
        QCOMPARE(report.contains("error"), status != 0);
        if (status != 0)
            QVERIFY2(result.err.contains(report["error"].toString().toLocal8Bit()), result.err.constData());
        const int expect = selection.indexOf("--expect");
        if (expect > 0) {
            QCOMPARE(report["expected"].toInt(), selection[expect + 1].toInt());
            QCOMPARE(report["found"].toInt(), 2);
        }
        const QJsonArray units = report["units"].toArray();
        QCOMPARE(units.size(), results.size());
        for (int i = 0; i < units.size(); ++i) {
            const QJsonObject unit = units[i].toObject();
            const QString port = unit["portPath"].toString();
            const int number = port.mid(4).toInt();
            QVERIFY2(selection.contains("--all") ? number == i + 1 : selection.contains(port), qPrintable(port));
            QCOMPARE(unit["result"].toString(), results[i]);
            QVERIFY(unit["seconds"].isDouble() && unit["seconds"].toDouble() >= 0);
            QVERIFY(!unit["reason"].toString().isEmpty());
            // A unit that never answers its identity request is refused
            // before anything is sent to any unit, named with the reason.
            const bool unidentified = number == 1 && unanswered < 0;
            const QString serial = number == failing ? QString("26110004") : QString::number(261100041 + number);
            if (unidentified) {
                QVERIFY(unit["serialBefore"].isNull());
                QCOMPARE(unit["reason"].toString(), QString("identity request failed twice (timeout)"));
                QVERIFY2(result.err.contains("unit 1-1.1 was not identified"), result.err.constData());
            } else {
                QCOMPARE(unit["serialBefore"].toString(), number == 2 ? serial + "b" : serial);
            }
            const bool ok = results[i] == "ok";
            QCOMPARE(unit["serialAfter"].isNull(), !ok);
            if (ok)
                QCOMPARE(unit["serialAfter"].toString(), serial);
            if (results[i] == "not-back")
                QVERIFY2(unit["reason"].toString().contains("did not come back at " + port), qPrintable(port));
            QCOMPARE(stateFile(2, number, "internal.bin").mid(0x4000, 0x1C000) == fixture.applicationRegion(),
                     number != failing && !unidentified);
        }
        if (unanswered < 0) // refused whole: the other unit untouched too
            QVERIFY(stateFile(2, 2, "internal.bin").mid(0x4000, 0x1C000) != fixture.applicationRegion());
    }

    // With --json every error is a JSON object on standard output as well,
    // the one document there, with the text on standard error as before.
    void errorsAsJson_data()
    {
        QTest::addColumn<int>("units");
        QTest::addColumn<QStringList>("arguments"); // %1: the test's folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("unanswered"); // unit 1 never answers its identity request: in the units
        QTest::newRow("usage") << 1 << QStringList{"upgrade", "--json"} << 1 << "upgrade needs FILE.upg" << false;
        QTest::newRow("refused file")
            << 1 << QStringList{"upgrade", "%1/short.upg", "--json"} << 2 << "short.upg" << false;
        QTest::newRow("no device")
            << 0 << QStringList{"upgrade", "%1/new.upg", "--json"} << 3 << "no Vt520 found" << false;
        QTest::newRow("several and none chosen")
            << 2 << QStringList{"upgrade", "%1/new.upg", "--json"} << 3 << "2 Vt520s are attached" << false;
        QTest::newRow("status without a device")
            << 0 << QStringList{"status", "--json"} << 3 << "no Vt520 found" << false;
        QTest::newRow("status of a unit never answering its identity request")
            << 1 << QStringList{"status", "--json"} << 4
            << "unit 1-1 was not identified: identity request failed twice (timeout)" << true;
        QTest::newRow("programs of a unit never answering its identity request")
            << 1 << QStringList{"programs", "get", "%1/out.pgm", "--json"} << 4 << "unit 1-1 was not identified"
            << true;
    }

    void errorsAsJson()
    {
        QFETCH(int, units);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, error);
        QFETCH(bool, unanswered);
        prepareUnits(units, [&](vt520sim::Device &device, int unit) {
            if (unanswered && unit == 1)
                device.leaveIdRequestsUnanswered(vt520sim::Never);
        });
        QVERIFY(!UpgradeFixture::make(path("new.upg"), 17).fileName.isEmpty());
        QVERIFY(HexFiles::writeFile(path("short.upg"), QByteArray(300, 'x')));
        for (QString &argument : arguments)
            argument.replace(QStringLiteral("%1"), dir->path());
        const Run result = run(arguments, units);
        QCOMPARE(result.status, status);
        QJsonParseError parsed;
        const QJsonDocument document = QJsonDocument::fromJson(result.out, &parsed);
        QVERIFY2(parsed.error == QJsonParseError::NoError && document.isObject(), result.out.constData());
        QCOMPARE(document["exitStatus"].toInt(-1), status);
        const QString text = document["error"].toString();
        QVERIFY2(text.contains(error), qPrintable(text));
        QVERIFY2(result.err.contains(text.toLocal8Bit()), result.err.constData());
        const QJsonArray unitList = document["units"].toArray();
        QCOMPARE(unitList.size(), unanswered ? 1 : 0);
        if (unanswered) {
            QCOMPARE(unitList[0]["portPath"].toString(), QString("1-1"));
            QCOMPARE(unitList[0]["result"].toString(), QString("failed"));
            QVERIFY(!QFileInfo::exists(path("out.pgm"))); // nothing read
        }
    }

    void documentsFollowTheSchema_data()
    {
        QTest::addColumn<int>("units");
        QTest::addColumn<QStringList>("arguments"); // %1: the test's folder
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("unitCount"); // in the document's units
        const QString good = "%1/good.upg";
        QTest::newRow("list") << 2 << QStringList{"list"} << 0 << 2;
        QTest::newRow("list, no unit") << 0 << QStringList{"list"} << 3 << 0;
        QTest::newRow("status") << 1 << QStringList{"status"} << 0 << 1;
        QTest::newRow("status, no unit") << 0 << QStringList{"status"} << 3 << 0;
        QTest::newRow("status, none chosen of two") << 2 << QStringList{"status"} << 3 << 0;
        QTest::newRow("status, bad mask") << 1 << QStringList{"status", "--set", "zz"} << 1 << 0;
        QTest::newRow("unknown command") << 1 << QStringList{"frobnicate"} << 1 << 0;
        QTest::newRow("info") << 0 << QStringList{"info", good} << 0 << 0;
        QTest::newRow("info, damaged file") << 0 << QStringList{"info", "%1/damaged.upg"} << 2 << 0;
        QTest::newRow("info, missing file") << 0 << QStringList{"info", "%1/missing.upg"} << 2 << 0;
        QTest::newRow("upgrade") << 1 << QStringList{"upgrade", good} << 0 << 1;
        QTest::newRow("upgrade, every unit") << 2 << QStringList{"upgrade", good, "--all"} << 0 << 2;
        QTest::newRow("upgrade, refused file") << 1 << QStringList{"upgrade", "%1/short.upg"} << 2 << 0;
        QTest::newRow("upgrade, file missing") << 1 << QStringList{"upgrade", "%1/missing.upg"} << 2 << 0;
        QTest::newRow("upgrade, no unit") << 0 << QStringList{"upgrade", good} << 3 << 0;
        QTest::newRow("upgrade, fewer units than expected")
            << 1 << QStringList{"upgrade", good, "--all", "--expect", "2"} << 3 << 0;
        QTest::newRow("upgrade, usage") << 1 << QStringList{"upgrade"} << 1 << 0;
        QTest::newRow("verify, every unit") << 2 << QStringList{"verify", good, "--all"} << 4 << 2;
        QTest::newRow("verify, refused file") << 2 << QStringList{"verify", "%1/short.upg", "--all"} << 2 << 0;
        QTest::newRow("start, every unit") << 2 << QStringList{"start", "--all"} << 0 << 2;
        QTest::newRow("start, no unit") << 0 << QStringList{"start", "--all"} << 3 << 0;
        QTest::newRow("programs get") << 1 << QStringList{"programs", "get", "%1/out.pgm"} << 0 << 1;
        QTest::newRow("programs set") << 1 << QStringList{"programs", "set", "%1/table.pgm"} << 0 << 1;
        QTest::newRow("scenes set, refused file") << 1 << QStringList{"scenes", "set", "%1/short.upg"} << 2 << 0;
        QTest::newRow("scenes get, no unit") << 0 << QStringList{"scenes", "get", "%1/out.scn"} << 3 << 0;
    }

    void documentsFollowTheSchema()
    {
        QFETCH(int, units);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(int, unitCount);
        prepareUnits(units);
        const UpgradeFixture damaged = UpgradeFixture::make(path("damaged.upg"), 18);
        QVERIFY(QFile::copy(damaged.fileName, path("good.upg")));
        QVERIFY(HexFiles::writeFile(damaged.fileName,
                                    HexFiles::readFile(damaged.fileName).replace(66 + 0x5000, 1, "\xC3")));
        QVERIFY(HexFiles::writeFile(path("short.upg"), QByteArray(300, 'x')));
        QCOMPARE(LightingFile::save(path("table.pgm"), LightingFile::Kind::Programs, QByteArray(7680, '\2')),
                 LightingFile::Status::Ok);
        for (QString &argument : arguments)
            argument.replace(QStringLiteral("%1"), dir->path());
        const Run result = run(arguments + QStringList{"--json"}, units);
        QCOMPARE(result.status, status);
        QJsonParseError parsed;
        const QJsonDocument document = QJsonDocument::fromJson(result.out, &parsed);
        QVERIFY2(parsed.error == QJsonParseError::NoError, result.out.constData());

        // list: an array of units, each with the frame; none is [].
        if (arguments.first() == "list") {
            QVERIFY2(document.isArray(), result.out.constData());
            QCOMPARE(document.array().size(), unitCount);
            for (const QJsonValue &unit : document.array()) {
                const QJsonObject object = unit.toObject();
                const QString fault = schemaFault(object, frameKeys() + unitKeys() + commandKeys("list"), "unit");
                QVERIFY2(fault.isEmpty(), qPrintable(fault));
                QVERIFY2(frameFault(object).isEmpty(), qPrintable(frameFault(object)));
            }
            if (status != 0)
                QVERIFY2(result.err.contains("no Vt520 found"), result.err.constData());
            return;
        }
        QVERIFY2(document.isObject(), result.out.constData());
        const QJsonObject object = document.object();
        const QString command = arguments.first() == "programs" || arguments.first() == "scenes"
                                    ? arguments.first() + " " + arguments[1]
                                    : arguments.first();
        const bool known = command != "frobnicate";
        QList<SchemaKey> keys =
            frameKeys() + QList<SchemaKey>{{"command", known ? "s" : "0"}, {"units", "a"}, {"exitStatus", "n"}};
        if (status != 0)
            keys.append(SchemaKey{"error", "s"});
        if (known)
            keys += commandKeys(command);
        if (command == "status" && status == 0)
            keys += QList<SchemaKey>{{"portPath", "s"}, {"status", "n"}, {"hex", "s"}, {"binary", "s"}};
        if (command == "info" && status != 0 && arguments[1].contains("damaged"))
            keys += QList<SchemaKey>{{"kind", "s"}, {"size", "n"}, {"usable", "b"}};
        if (arguments.contains("--expect"))
            keys += QList<SchemaKey>{{"expected", "n"}, {"found", "n0"}};
        QString fault = schemaFault(object, keys, "document");
        QVERIFY2(fault.isEmpty(), qPrintable(fault + "\n" + result.out));
        QVERIFY2(frameFault(object).isEmpty(), qPrintable(frameFault(object)));
        if (known)
            QCOMPARE(object["command"].toString(), command);
        QCOMPARE(object["exitStatus"].toInt(-1), status);
        // The error is what standard error said, or a unit's verdict that
        // the command gives as a result (verify's "differs").
        const QJsonArray unitList = object["units"].toArray();
        if (status != 0) {
            const QString error = object["error"].toString();
            QVERIFY(!error.isEmpty());
            QVERIFY2(result.err.contains(error.toLocal8Bit())
                         || std::any_of(unitList.begin(), unitList.end(),
                                        [&](const QJsonValue &unit) { return unit["reason"].toString() == error; }),
                     qPrintable(error));
        }
        QCOMPARE(unitList.size(), unitCount);
        for (const QJsonValue &unit : unitList) {
            fault = schemaFault(unit.toObject(), unitKeys() + commandUnitKeys(command), "unit");
            QVERIFY2(fault.isEmpty(), qPrintable(fault + "\n" + result.out));
            QVERIFY(unit["attempts"].toInt() >= 1);
        }
        // The file's digest is that of the file as it is after the run.
        if (object.contains("fileSha256") && !object["fileSha256"].isNull()) {
            const QByteArray bytes = HexFiles::readFile(object["file"].toString());
            QCOMPARE(object["fileSha256"].toString(),
                     QString(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
            QCOMPARE(object["fileSize"].toInteger(), qint64(bytes.size()));
        }
        if (object.contains("fileSha256") && object["fileSha256"].isNull())
            QVERIFY(!QFileInfo(object["file"].toString()).isFile());
    }

    // --output -: the bytes themselves on standard output, as they are in
    // the unit.
    void bytesOntoStandardOutput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("state"); // the state file that holds them as read; empty: none
        QTest::addColumn<int>("offset");    // where in it
        QTest::newRow("read-flash") << QStringList{"read-flash", "0x100", "300"} << "" << 0; // stored scrambled
        QTest::newRow("read-memory") << QStringList{"read-memory", "0x08004010", "300"} << "internal.bin" << 0x4010;
    }

    void bytesOntoStandardOutput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, state);
        QFETCH(int, offset);
        prepareUnits(1, [](vt520sim::Device &device, int) {
            device.setExternalFlash(0, HexFiles::randomBytes(4096, 7));
            device.setInternalFlash(0x08004000, HexFiles::randomBytes(4096, 8));
        });
        const Run result = run(arguments + QStringList{"--output", "-"});
        QCOMPARE(result.status, 0);
        QCOMPARE(run(arguments + QStringList{"--output", path("bytes.bin")}).status, 0);
        QCOMPARE(result.out, HexFiles::readFile(path("bytes.bin")));
        QCOMPARE(result.out.size(), 300);
        if (!state.isEmpty())
            QCOMPARE(result.out, stateFile(1, 1, state).mid(offset, 300));
        QVERIFY(QDir(dir->path()).entryList({"-"}).isEmpty()); // no file of that name
    }

    // --wait through the system's libusb: a unit that has left the bus (as
    // after a reset) is waited for and found back at its port; with
    // --expect, every unit is waited for, not only the first to be there.
    void waitForAUnitBack_data()
    {
        QTest::addColumn<int>("units");
        QTest::addColumn<QString>("away");          // the unit that leaves the bus
        QTest::addColumn<QString>("second");        // the command that waits for it
        QTest::addColumn<QStringList>("secondOut"); // its standard output
        QTest::newRow("one unit") << 1 << "101-1"
                                  << "status --device 101-1 --wait 30" << QStringList{"Status: " + QString(32, '0')};
        QTest::newRow("every unit of two, one re-enumerating")
            << 2 << "101-1.2"
            << "start --all --expect 2 --wait 30"
            << QStringList{"101-1.1: the Vt520 261100042 runs its application already; nothing sent",
                           "101-1.2: the Vt520 261100043 runs its application already; nothing sent"};
    }

    void waitForAUnitBack()
    {
        if (QStringLiteral(USBFS_RUN).isEmpty())
            QSKIP("vt520-usbfs-run is not built (no umockdev)");
        QFETCH(int, units);
        QFETCH(QString, away);
        QFETCH(QString, second);
        QFETCH(QStringList, secondOut);
        prepareUnits(units);
        const QProcessEnvironment environment = unitsEnvironment(units, true);
        // The first status read takes the unit off the bus for 1.5 s; the
        // second command waits for it.
        const QString script = QString("\"$0\" status --device %1 >first.out 2>&1; echo $? >first.status; "
                                       "\"$0\" %2 >second.out 2>second.err; echo $? >second.status")
                                   .arg(away, second);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir->path());
        process.start(USBFS_RUN, QStringList{"--virtual-clock", "--devices", QString::number(units),
                                             "--unplug-at-request", "9:1500", "--", "/bin/sh", "-c", script, VT520CTL});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(HexFiles::readFile(path("first.status")).trimmed(), QByteArray("4"));
        QVERIFY2(HexFiles::readFile(path("second.status")).trimmed() == "0",
                 HexFiles::readFile(path("second.err")).constData());
        QCOMPARE(lines(HexFiles::readFile(path("second.out"))), secondOut);
        QVERIFY(HexFiles::readFile(path("second.err")).contains("vt520ctl: waiting up to 30 s for "));
    }

    // verify: units that hold the file's firmware, and units with one byte
    // changed in a page or in the external flash region, named by the first
    // page or chunk that differs; nothing written, each unit left in its mode.
    void verifyUnits_data()
    {
        QTest::addColumn<QStringList>("selection");
        QTest::addColumn<int>("changedUnit");  // 0: none
        QTest::addColumn<quint32>("internal"); // device address of a changed byte; 0: none
        QTest::addColumn<quint32>("external"); // external flash offset of a changed byte, or ~0: none
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("out"); // %1: the file
        const quint32 none = ~0u;
        QTest::newRow("application")
            << QStringList{"--device", "1-1.1"} << 0 << 0u << none << 0
            << QStringList{"1-1.1: the Vt520 261100042 (application) holds the firmware of %1"};
        QTest::newRow("bootloader") << QStringList{"--device", "1-1.2"} << 0 << 0u << none << 0
                                    << QStringList{"1-1.2: the Vt520 261100043b (bootloader) holds the firmware of %1"};
        QTest::newRow("second page") << QStringList{"--device", "1-1.1"} << 1 << 0x080047FFu << none << 4
                                     << QStringList{"1-1.1: differs from %1 at application page 2 of 112 (0x08004400)"};
        QTest::newRow("sum word") << QStringList{"--device", "1-1.2"} << 2 << 0x0801FFFFu << none << 4
                                  << QStringList{"1-1.2: differs from %1 at application page 112 of 112 (0x0801FC00)"};
        QTest::newRow("fourth chunk")
            << QStringList{"--device", "1-1.1"} << 1 << 0u << 0x603u << 4
            << QStringList{"1-1.1: differs from %1 at external flash chunk 4 of 160 (0x00000600)"};
        QTest::newRow("last chunk")
            << QStringList{"--device", "1-1.2"} << 2 << 0u << 0x13FFFu << 4
            << QStringList{"1-1.2: differs from %1 at external flash chunk 160 of 160 (0x00013E00)"};
        // One unit named by its port path and by its serial: read once, and
        // not refused as held by this very process.
        QTest::newRow("one unit named twice")
            << QStringList{"--device", "1-1.1", "--device", "261100042"} << 0 << 0u << none << 0
            << QStringList{"1-1.1: the Vt520 261100042 (application) holds the firmware of %1"};
        QTest::newRow("every unit, one differing")
            << QStringList{"--all"} << 2 << 0x08010000u << none << 4
            << QStringList{"1-1.1: the Vt520 261100042 (application) holds the firmware of %1",
                           "1-1.2: differs from %1 at application page 49 of 112 (0x08010000)"};

        // --json: one document; out lists "port result difference" per unit.
        QTest::newRow("every unit, one differing, as JSON")
            << QStringList{"--all", "--json"} << 2 << 0x08010000u << none << 4
            << QStringList{"1-1.1 identical ", "1-1.2 differs application page 49 of 112 (0x08010000)"};
    }

    void verifyUnits()
    {
        QFETCH(QStringList, selection);
        QFETCH(int, changedUnit);
        QFETCH(quint32, internal);
        QFETCH(quint32, external);
        QFETCH(int, status);
        QFETCH(QStringList, out);
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 18);
        QVERIFY(!fixture.fileName.isEmpty());
        prepareUnits(2, [&](vt520sim::Device &device, int unit) {
            device.setInternalFlash(0x08004000, fixture.applicationRegion());
            device.setExternalFlash(0, fixture.storedExternalRegion());
            if (unit == 2)
                device.setMode(vt520sim::Mode::Bootloader);
            if (unit != changedUnit)
                return;
            if (internal)
                device.setInternalFlash(internal, QByteArray(1, char(device.internalFlash(internal, 1)[0] ^ 0x40)));
            if (external != ~0u)
                device.setExternalFlash(external, QByteArray(1, char(device.externalFlash(external, 1)[0] ^ 0x40)));
        });
        QByteArray before[2];
        for (int unit = 1; unit <= 2; ++unit)
            before[unit - 1] = stateFile(2, unit, "internal.bin") + stateFile(2, unit, "external.bin")
                               + stateFile(2, unit, "device.ini");

        const Run result = run(QStringList{"verify", fixture.fileName} + selection, 2);
        QCOMPARE(result.status, status);
        if (selection.contains("--json")) {
            const QJsonObject document = QJsonDocument::fromJson(result.out).object();
            QCOMPARE(document["exitStatus"].toInt(), status);
            QCOMPARE(document["file"].toString(), fixture.fileName);
            QStringList said;
            for (const QJsonValue unit : document["units"].toArray())
                said << unit["portPath"].toString() + ' ' + unit["result"].toString() + ' '
                            + unit["difference"].toString();
            QCOMPARE(said, out);
        } else {
            for (QString &line : out)
                line = line.arg(fixture.fileName);
            QCOMPARE(lines(result.out), out);
        }
        QVERIFY2(result.err.isEmpty(), result.err.constData());
        for (int unit = 1; unit <= 2; ++unit)
            QCOMPARE(stateFile(2, unit, "internal.bin") + stateFile(2, unit, "external.bin")
                         + stateFile(2, unit, "device.ini"),
                     before[unit - 1]);
    }

    // info: each kind told by its contents, with its regions, data, sums
    // and records as text and as JSON; a damaged or unknown file is exit 2
    // with its reason.
    void fileInfo_data()
    {
        QTest::addColumn<QString>("file"); // in the test's folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("out"); // lines that the text holds
        QTest::addColumn<QString>("error");
        QTest::newRow("upgrade file")
            << "new.upg" << 0 << "upgrade"
            << QStringList{"kind: upgrade", "size: 262210 bytes",
                           "application: 0x08004000..0x0801FFFF, data 0x08004000..0x08004003, sum 0x44332211, stored "
                           "0x44332211, holds",
                           "external flash: 0x08020000..0x08033FFF, data 0x08020100..0x08020101, sum 0x00007865, "
                           "stored 0x00007865, holds",
                           "usable: yes"}
            << "";
        QTest::newRow("damaged upgrade file") << "damaged.upg" << 2 << "upgrade" << QStringList{"usable: no"}
                                              << "its application region does not match its sum";
        QTest::newRow("HEX file") << "in.hex" << 0 << "intel-hex"
                                  << QStringList{"records: data 4, end of file 1, extended segment address 0, start "
                                                 "segment address 0, extended linear address 2, start linear address 1",
                                                 "data outside the regions: 2 bytes",
                                                 "application: 0x08004000..0x0801FFFF, data 0x08004000..0x08004011 (6 "
                                                 "bytes), sum 0x44332211, none stored",
                                                 "external flash: 0x08020000..0x08033FFF, data 0x08020100..0x08020101 "
                                                 "(2 bytes), sum 0x00007865, none stored",
                                                 "usable: yes"}
                                  << "";
        QTest::newRow("HEX record with a wrong checksum")
            << "checksum.hex" << 2 << "intel-hex"
            << QStringList{"records: data 0, end of file 0, extended segment "
                           "address 0, start segment address 0, extended linear "
                           "address 1, start linear address 0"}
            << "checksum.hex: line 2: ";
        QTest::newRow("upgrade file without an application")
            << "zeros.upg" << 2 << "upgrade" << QStringList{"usable: no"} << "holds no application";
        QTest::newRow("HEX record giving other bytes for an address")
            << "overlap.hex" << 2 << "intel-hex" << QStringList()
            << "overlap.hex: line 3: The record gives addresses that line 2 gave, with other bytes.";
        QTest::newRow("HEX file without application data")
            << "external.hex" << 2 << "intel-hex" << QStringList{"usable: no"} << "external.hex: ";
        QTest::newRow("programs file") << "table.pgm" << 0 << "programs"
                                       << QStringList{"kind: programs", "table: 7680 bytes", "usable: yes"} << "";
        QTest::newRow("scenes file")
            << "table.scn" << 0 << "scenes" << QStringList{"kind: scenes", "table: 384 bytes", "usable: yes"} << "";
        QTest::newRow("scenes file cut short")
            << "short.scn" << 2 << "scenes" << QStringList{"kind: scenes", "usable: no"} << "short.scn: ";
        QTest::newRow("unknown file")
            << "odd.bin" << 2 << "" << QStringList() << "odd.bin: not an upgrade, HEX, programs or scenes file";
        QTest::newRow("missing file") << "missing.upg" << 2 << "" << QStringList() << "cannot read";
        QTest::newRow("not a regular file") << "" << 2 << "" << QStringList() << "not a regular file";
        QTest::newRow("file of 3 GB") << "huge.bin" << 2 << "" << QStringList() << "larger than any file";
    }

    void fileInfo()
    {
        QFETCH(QString, file);
        QFETCH(int, status);
        QFETCH(QString, kind);
        QFETCH(QStringList, out);
        QFETCH(QString, error);
        using namespace HexFiles;
        // Two bytes before the application region (where the bootloader
        // lies), two zero bytes that are data all the same.
        const QByteArray hex = extendedLinearAddress(0x0800) + "\n" + record(0, 0x0000, "zz") + "\n"
                               + record(0, 0x4000, "\x11\x22\x33\x44") + "\n" + record(0, 0x4010, QByteArray(2, '\0'))
                               + "\n" + extendedLinearAddress(0x0802) + "\n" + record(0, 0x0100, "ex") + "\n"
                               + record(5, 0, QByteArray::fromHex("08004000")) + "\n" + endOfFile() + "\n";
        QVERIFY(writeFile(path("in.hex"), hex));
        // The image that make-upgrade builds from it, and a copy damaged.
        QCOMPARE(run({"make-upgrade", path("in.hex"), path("new.upg")}, 0).status, 0);
        QByteArray image = readFile(path("new.upg"));
        QVERIFY(writeFile(path("damaged.upg"), image.replace(66 + 0x4000, 1, "\xFF")));
        QVERIFY(writeFile(path("checksum.hex"), extendedLinearAddress(0x0800) + "\n" + ":0440000001020304AB\n"));
        QVERIFY(writeFile(path("external.hex"), hexText(0x08020000, "external")));
        QVERIFY(UpgradeFile::write(path("zeros.upg"), QByteArray(0x40000, '\0')));
        QVERIFY(writeFile(path("overlap.hex"), extendedLinearAddress(0x0800) + "\n" + record(0, 0x4000, "\x11\x22")
                                                   + "\n" + record(0, 0x4001, "\x23") + "\n" + endOfFile() + "\n"));
        QVERIFY(writeFile(path("odd.bin"), "0123456789"));
        QCOMPARE(LightingFile::save(path("table.pgm"), LightingFile::Kind::Programs, QByteArray(7680, '\2')),
                 LightingFile::Status::Ok);
        QCOMPARE(LightingFile::save(path("table.scn"), LightingFile::Kind::Scenes, QByteArray(384, '\1')),
                 LightingFile::Status::Ok);
        QVERIFY(writeFile(path("short.scn"), readFile(path("table.scn")).chopped(10)));
        QFile sparse(path("huge.bin"));
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(3LL << 30));
        sparse.close();
        const QString name = file.isEmpty() ? dir->path() : path(file);

        const Run text = run({"info", name}, 0);
        QCOMPARE(text.status, status);
        for (const QString &line : out)
            QVERIFY2(lines(text.out).contains(line), text.out.constData());
        QVERIFY2(error.isEmpty() ? text.err.isEmpty() : text.err.contains(error.toLocal8Bit()), text.err.constData());

        const Run json = run({"info", name, "--json"}, 0);
        QCOMPARE(json.status, status);
        QJsonParseError parsed;
        const QJsonObject document = QJsonDocument::fromJson(json.out, &parsed).object();
        QVERIFY2(parsed.error == QJsonParseError::NoError, json.out.constData());
        QCOMPARE(document["exitStatus"].toInt(0), status);
        QCOMPARE(document.contains("error"), status != 0);
        if (kind.isEmpty())
            return;
        QCOMPARE(document["kind"].toString(), kind);
        QCOMPARE(document["usable"].toBool(), status == 0);
        QCOMPARE(document["size"].toInteger(), QFileInfo(name).size());
        if (kind == "upgrade" || (kind == "intel-hex" && status == 0)) {
            const QJsonArray regions = document["regions"].toArray();
            QCOMPARE(regions.size(), 2);
            QCOMPARE(regions[0]["start"].toString(), QString("0x08004000"));
            // The sum of an all-zero application holds; the file is refused all the same.
            QCOMPARE(regions[0]["holds"].toBool(), kind == "upgrade" && file != "damaged.upg");
            QCOMPARE(regions[1]["holds"].toBool(), kind == "upgrade");
        }
        if (kind == "intel-hex")
            QCOMPARE(document["records"]["extendedLinearAddress"].toInt(), status == 0 ? 2 : 1);
    }

    // A refused HEX file: its reason on standard error once, nothing on
    // standard output, no file written.
    void hexFileRefused_data()
    {
        using namespace HexFiles;
        QTest::addColumn<QStringList>("arguments"); // %1: the test's folder
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("errors");

        const QByteArray ela = extendedLinearAddress(0x0800) + "\n";
        const QByteArray data = record(0, 0x4000, "\x11\x22\x33\x44");
        const QStringList upgrade{"make-upgrade", "%1/in.hex", "%1/out.upg"};
        const QStringList images{
            "make-bootloader-images", "%1/in.hex", "--prefix", "261100", "--first", "1", "--count", "2", "--dir", "%1"};
        const QString nothing = "Nothing was made from the file %1/in.hex.";
        QTest::newRow("make-upgrade, wrong checksum") << upgrade << ela + data.left(data.size() - 2) + "00\n"
                                                      << QStringList{"vt520ctl: HexToBin error: -10)", nothing,
                                                                     "Line 2: The checksum does not match the record."};
        QTest::newRow("make-upgrade, junk after a 32-byte record")
            << upgrade << ela + record(0, 0x4000, randomBytes(32, 1)) + "; comment\n"
            << QStringList{"vt520ctl: HexToBin error: -12)", nothing, "Line 2: Characters follow the checksum."};
        QTest::newRow("make-upgrade, external flash data only")
            << upgrade << hexText(0x08020000, "external")
            << QStringList{"vt520ctl: " + nothing,
                           "The file holds no data for the application region (0x08004000 to 0x0801FFFF)."};
        QTest::newRow("make-bootloader-images, end record of 1 byte")
            << images << ela + record(0, 0, "boot") + "\n" + record(1, 0, "x") + "\n"
            << QStringList{"vt520ctl: HexToBin error: -11)", nothing,
                           "Line 3: The byte count does not fit the record type."};
    }

    void hexFileRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, text);
        QFETCH(QStringList, errors);
        QVERIFY(HexFiles::writeFile(path("in.hex"), text));
        for (QString &argument : arguments)
            argument.replace(QStringLiteral("%1"), dir->path());
        for (QString &error : errors)
            error.replace(QStringLiteral("%1"), dir->path());

        const Run result = run(arguments, 0);
        QCOMPARE(result.status, 2);
        QCOMPARE(lines(result.err), errors);
        QVERIFY(result.out.isEmpty());
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"in.hex"});
    }

    // Every command that reads or writes a file, at a name that cannot be
    // opened: the file named with the system's reason on standard error,
    // exit status 2. "file" is a regular file, so "file/x" fails for root
    // too; "locked" and "ro" (modes 000 and 555) only for other users.
    void fileReasons_data()
    {
        QTest::addColumn<QStringList>("arguments"); // %1: the test's folder, %2: the name tried
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message"); // %1 and %2 likewise

        const QStringList images{"make-bootloader-images",
                                 "%1/boot.hex",
                                 "--prefix",
                                 "261100",
                                 "--first",
                                 "1",
                                 "--count",
                                 "1",
                                 "--dir",
                                 "%1"};
        const QList<std::pair<const char *, QStringList>> readers{
            {"upgrade", {"upgrade", "%2"}},
            {"verify", {"verify", "%2"}},
            {"programs set", {"programs", "set", "%2"}},
            {"scenes set", {"scenes", "set", "%2"}},
            {"write-flash", {"write-flash", "0", "%2"}},
            {"info", {"info", "%2"}},
            {"make-upgrade", {"make-upgrade", "%2", "%1/out.upg"}},
            {"make-bootloader-images", QStringList(images).replaceInStrings("%1/boot.hex", "%2")}};
        for (const auto &[name, command] : readers) {
            QTest::addRow("%s, missing", name) << command << "%1/missing"
                                               << "cannot read %2: No such file or directory";
            QTest::addRow("%s, through a file", name) << command << "%1/file/x"
                                                      << "cannot read %2: Not a directory";
            QTest::addRow("%s, a folder", name) << command << "%1/folder"
                                                << "%2: not a regular file";
            QTest::addRow("%s, unreadable", name) << command << "%1/locked"
                                                  << "cannot read %2: Permission denied";
        }
        const QList<std::pair<const char *, QStringList>> writers{
            {"make-upgrade", {"make-upgrade", "%1/in.hex", "%2"}},
            {"programs get", {"programs", "get", "%2"}},
            {"scenes get", {"scenes", "get", "%2"}},
            {"read-flash", {"read-flash", "0", "16", "--output", "%2"}},
            {"read-memory", {"read-memory", "0x08000000", "16", "--output", "%2"}},
            {"--log-dir", {"status", "--log-dir", "%2"}}};
        for (const auto &[name, command] : writers) {
            QTest::addRow("%s, through a file", name) << command << "%1/file/x"
                                                      << "cannot write %2: Not a directory";
            QTest::addRow("%s, unwritable folder", name) << command << "%1/ro/x"
                                                         << "cannot write %2: Permission denied";
        }
        QTest::newRow("make-bootloader-images, through a file")
            << images.mid(0, 9) + QStringList{"%2"} << "%1/file"
            << "cannot write %2/Vt520Bootloader_261100001.bin: Not a directory";
        QTest::newRow("make-bootloader-images, unwritable folder")
            << images.mid(0, 9) + QStringList{"%2"} << "%1/ro"
            << "cannot write %2/Vt520Bootloader_261100001.bin: Permission denied";
    }

    void fileReasons()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, name);
        QFETCH(QString, message);
        if ((name.contains("locked") || name.contains("/ro")) && ::geteuid() == 0)
            QSKIP("root reads and writes whatever the mode says");
        QVERIFY(HexFiles::writeFile(path("file"), "x"));
        QVERIFY(HexFiles::writeFile(path("locked"), "x"));
        QVERIFY(QFile::setPermissions(path("locked"), QFileDevice::Permissions()));
        QVERIFY(QDir().mkpath(path("folder")) && QDir().mkpath(path("ro")));
        QVERIFY(QFile::setPermissions(path("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QVERIFY(HexFiles::writeFile(path("in.hex"), HexFiles::hexText(0x08004000, HexFiles::randomBytes(0x4000, 54))));
        QVERIFY(
            HexFiles::writeFile(path("boot.hex"), HexFiles::hexText(0x08000000, HexFiles::randomBytes(0x4000, 55))));
        prepareUnits(1);
        name.replace("%1", dir->path());
        for (QString &argument : arguments)
            argument = argument.replace("%2", name).replace("%1", dir->path());
        message.replace("%2", name);

        const Run result = run(arguments);
        QCOMPARE(result.status, 2);
        QVERIFY2(result.err.contains(message.toLocal8Bit()), result.err.constData());
    }

    // File names that are not UTF-8 (made in a Latin-1 locale: byte 0xE9)
    // reach the file system as the exact bytes given, for the files read
    // and the files written; what a run writes under such a name equals
    // what it writes under its ASCII twin (0xE9 as "e"), and a message shows
    // the byte as \xE9.
    void fileNamesAsBytes_data()
    {
        QTest::addColumn<QByteArrayList>("arguments"); // %1: the test's folder
        QTest::addColumn<QByteArray>("written");       // the file the run leaves, in the test's folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("text"); // on standard output or standard error

        QTest::newRow("info") << QByteArrayList{"info", "%1/caf\xE9.upg"} << QByteArray() << 0
                              << QByteArray("file: %1/caf\\xE9.upg\nkind: upgrade");
        QTest::newRow("info, missing") << QByteArrayList{"info", "%1/none\xE9.upg"} << QByteArray() << 2
                                       << QByteArray("cannot read %1/none\\xE9.upg: No such file or directory");
        QTest::newRow("upgrade")
            << QByteArrayList{"upgrade", "%1/caf\xE9.upg"} << QByteArray() << 0 << QByteArray("runs the new firmware");
        QTest::newRow("verify")
            << QByteArrayList{"verify", "%1/caf\xE9.upg"} << QByteArray() << 4 << QByteArray("differs");
        QTest::newRow("programs set")
            << QByteArrayList{"programs", "set", "%1/caf\xE9.pgm"} << QByteArray() << 0 << QByteArray();
        QTest::newRow("write-flash")
            << QByteArrayList{"write-flash", "0x1000", "%1/caf\xE9.bin"} << QByteArray() << 0 << QByteArray();
        QTest::newRow("make-upgrade") << QByteArrayList{"make-upgrade", "%1/caf\xE9.hex", "%1/d\xE9/out\xE9.upg"}
                                      << QByteArray("d\xE9/out\xE9.upg") << 0 << QByteArray();
        QTest::newRow("make-upgrade over a file") << QByteArrayList{"make-upgrade", "%1/caf\xE9.hex", "%1/caf\xE9.upg"}
                                                  << QByteArray("caf\xE9.upg") << 0 << QByteArray();
        QTest::newRow("read-flash --output")
            << QByteArrayList{"read-flash", "0", "4096", "--output", "%1/d\xE9/flash\xE9.bin"}
            << QByteArray("d\xE9/flash\xE9.bin") << 0 << QByteArray();
        QTest::newRow("programs get")
            << QByteArrayList{"programs", "get", "%1/d\xE9/got\xE9.pgm", "--json"} << QByteArray("d\xE9/got\xE9.pgm")
            << 0 << QByteArray("\"file\": \"%1/d\\\\xE9/got\\\\xE9.pgm\"");
        QTest::newRow("make-bootloader-images --dir")
            << QByteArrayList{"make-bootloader-images",
                              "%1/boot.hex",
                              "--prefix",
                              "261100",
                              "--first",
                              "1",
                              "--count",
                              "1",
                              "--dir",
                              "%1/imag\xE9s"}
            << QByteArray("imag\xE9s/Vt520Bootloader_261100001.bin") << 0 << QByteArray("imag\\xE9s");
        QTest::newRow("--log-dir") << QByteArrayList{"status", "--log-dir", "%1/log\xE9"}
                                   << QByteArray("log\xE9/261100042.jsonl") << 0 << QByteArray();
        QTest::newRow("unwritable")
            << QByteArrayList{"make-upgrade", "%1/caf\xE9.hex", "%1/caf\xE9.hex/out.upg"} << QByteArray() << 2
            << QByteArray("cannot write %1/caf\\xE9.hex/out.upg: Not a directory");
    }

    void fileNamesAsBytes()
    {
        QFETCH(QByteArrayList, arguments);
        QFETCH(QByteArray, written);
        QFETCH(int, status);
        QFETCH(QByteArray, text);
        const QByteArray folder = QFile::encodeName(dir->path());
        // QTemporaryDir cannot remove what Qt cannot name.
        const auto removeByteNames = qScopeGuard([&] { removeTree(folder); });
        // The inputs under both names, and the folders written into.
        const UpgradeFixture upgrade = UpgradeFixture::make(path("cafe.upg"), 56);
        const QByteArray hex = HexFiles::hexText(0x08004000, HexFiles::randomBytes(0x4000, 57));
        QVERIFY(HexFiles::writeFile(path("cafe.hex"), hex));
        QVERIFY(
            HexFiles::writeFile(path("boot.hex"), HexFiles::hexText(0x08000000, HexFiles::randomBytes(0x4000, 58))));
        QVERIFY(HexFiles::writeFile(path("cafe.bin"), HexFiles::randomBytes(512, 59)));
        QCOMPARE(LightingFile::save(path("cafe.pgm"), LightingFile::Kind::Programs, QByteArray(7680, '\3')),
                 LightingFile::Status::Ok);
        for (const char *name : {"cafe.upg", "cafe.hex", "cafe.bin", "cafe.pgm"}) {
            const QByteArray bytes = HexFiles::readFile(path(name));
            QVERIFY(writeBytes(folder + "/" + QByteArray(name).replace("cafe", "caf\xE9"), bytes));
        }
        for (const QByteArray &name : {QByteArray("d\xE9"), QByteArray("imag\xE9s")}) {
            QCOMPARE(::mkdir(folder + "/" + name, 0777), 0);
            QCOMPARE(::mkdir(folder + "/" + QByteArray(name).replace('\xE9', 'e'), 0777), 0);
        }
        prepareUnits(1);
        for (QByteArray &argument : arguments)
            argument.replace("%1", folder);
        text.replace("%1", folder);

        const Run result = runWithBytes(arguments);
        QCOMPARE(result.status, status);
        QVERIFY2((result.out + result.err).contains(text), (result.out + result.err).constData());
        if (written.isEmpty())
            return;
        const QByteArray bytes = readBytes(folder + "/" + written);
        QVERIFY2(!bytes.isEmpty(), written.constData());
        if (QByteArray(QTest::currentDataTag()) == "--log-dir")
            return; // times in it: no twin to compare with
        // Left complete: as the same command writes under the ASCII twin.
        QByteArrayList twin = arguments;
        for (QByteArray &argument : twin)
            argument.replace('\xE9', 'e');
        QCOMPARE(runWithBytes(twin).status, 0);
        QCOMPARE(bytes, readBytes(folder + "/" + QByteArray(written).replace('\xE9', 'e')));
        QVERIFY(bytes.size() > 0);
    }

    // make-upgrade of a HEX file with a bootloader in it: one informational
    // line on standard output (none with --quiet), and the upgrade file.
    void leftOutBytes_data()
    {
        QTest::addColumn<bool>("quiet");
        QTest::newRow("said") << false;
        QTest::newRow("quiet") << true;
    }

    void leftOutBytes()
    {
        QFETCH(bool, quiet);
        QByteArray text = HexFiles::hexText(0x08000000, HexFiles::randomBytes(0x4000, 36), 32);
        text.chop(HexFiles::endOfFile().size() + 1);
        text += HexFiles::hexText(0x08004000, HexFiles::randomBytes(0x100, 37), 32);
        QVERIFY(HexFiles::writeFile(path("merged.hex"), text));
        QStringList arguments{"make-upgrade", path("merged.hex"), path("merged.upg")};
        if (quiet)
            arguments << "--quiet";

        const Run result = run(arguments, 0);
        QCOMPARE(result.status, 0);
        QVERIFY2(result.err.isEmpty(), result.err.constData());
        QCOMPARE(lines(result.out),
                 quiet ? QStringList()
                       : QStringList{"Bytes of the file outside the application and external flash regions, "
                                     "left out: 16384."});
        QCOMPARE(QFileInfo(path("merged.upg")).size(), 262210);
    }

    // write-flash at an address, then read-flash of the same range into a
    // file: the bytes come back, stored scrambled where they were asked to go.
    // Every command in --help, with its arguments, its options (required
    // ones bare) and the device options of its kind.
    void helpShowsEveryCommand_data()
    {
        QTest::addColumn<QString>("synopsis");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("absent"); // a synopsis not shown; empty: none
        QTest::newRow("list") << "list [--json]" << QStringList{"--help"} << QString();
        QTest::newRow("upgrade, one unit")
            << "upgrade FILE.upg [--json] [--device SEL]" << QStringList{"--help"} << QString();
        QTest::newRow("upgrade, several")
            << "upgrade FILE.upg --all | --device SEL --device SEL ..." << QStringList{"--help"} << QString();
        QTest::newRow("programs get")
            << "programs get FILE.pgm [--json] [--device SEL]" << QStringList{"--help"} << QString();
        QTest::newRow("programs set")
            << "programs set FILE.pgm [--json] [--device SEL]" << QStringList{"--help"} << QString();
        QTest::newRow("scenes get")
            << "scenes get FILE.scn [--json] [--device SEL]" << QStringList{"--help"} << QString();
        QTest::newRow("scenes set")
            << "scenes set FILE.scn [--json] [--device SEL]" << QStringList{"--help"} << QString();
        QTest::newRow("status")
            << "status [--set MASK] [--clear MASK] [--json] [--device SEL]" << QStringList{"--help"} << QString();
        QTest::newRow("read-memory")
            << "read-memory ADDRESS LENGTH [--output FILE] [--device SEL]" << QStringList{"--help"} << QString();
        QTest::newRow("read-flash")
            << "read-flash ADDRESS LENGTH [--output FILE] [--device SEL]" << QStringList{"--help"} << QString();
        QTest::newRow("write-flash")
            << "write-flash ADDRESS FILE.bin [--device SEL]" << QStringList{"--help"} << QString();
        QTest::newRow("start, one unit") << "start [--json] [--device SEL]" << QStringList{"--help"} << QString();
        QTest::newRow("verify, one unit")
            << "verify FILE.upg [--json] [--device SEL]" << QStringList{"--help"} << QString();
        QTest::newRow("verify, several")
            << "verify FILE.upg --all | --device SEL --device SEL ..." << QStringList{"--help"} << QString();
        QTest::newRow("start, several")
            << "start --all | --device SEL --device SEL ..." << QStringList{"--help"} << QString();
        QTest::newRow("info") << "info FILE [--json]" << QStringList{"--help"} << QString();
        QTest::newRow("make-upgrade") << "make-upgrade IN.hex OUT.upg" << QStringList{"--help"} << QString();
        QTest::newRow("make-bootloader-images")
            << "make-bootloader-images IN.hex --prefix YYMM00 --first N --count K [--dir DIR]" << QStringList{"--help"}
            << QString();
        // A command's own help: its ways of calling it, no other command's.
        QTest::newRow("upgrade --help") << "upgrade FILE.upg --all | --device SEL --device SEL ..."
                                        << QStringList{"upgrade", "--help"} << "list [--json]";
        QTest::newRow("programs set -h")
            << "programs set FILE.pgm [--json] [--device SEL]" << QStringList{"programs", "set", "-h"}
            << "programs get FILE.pgm [--json] [--device SEL]";
    }

    void helpShowsEveryCommand()
    {
        QFETCH(QString, synopsis);
        QFETCH(QStringList, arguments);
        QFETCH(QString, absent);
        const Run result = run(arguments, 0);
        QCOMPARE(result.status, 0);
        // The line holds the synopsis alone, or its help beside it.
        const QString line = "  " + synopsis;
        const QStringList shown = lines(result.out);
        QVERIFY2(std::any_of(shown.begin(), shown.end(),
                             [&](const QString &text) { return text == line || text.startsWith(line + "  "); }),
                 result.out.constData());
        if (!absent.isEmpty())
            QVERIFY2(std::none_of(shown.begin(), shown.end(),
                                  [&](const QString &text) { return text.startsWith("  " + absent); }),
                     result.out.constData());
    }

    // The version, by either name, alone on standard output.
    void versionShown_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("--version") << QStringList{"--version"};
        QTest::newRow("-V") << QStringList{"-V"};
        QTest::newRow("-V after a command") << QStringList{"list", "-V"};
    }

    void versionShown()
    {
        QFETCH(QStringList, arguments);
        const Run result = run(arguments, 0);
        QCOMPARE(result.status, 0);
        QVERIFY2(QRegularExpression("^vt520ctl \\d+\\.\\d+\\S*\n$").match(QString(result.out)).hasMatch(),
                 result.out.constData());
        QVERIFY2(result.err.isEmpty(), result.err.constData());
    }

    void flashRoundTrip()
    {
        prepareUnits(1);
        const QByteArray bytes = HexFiles::randomBytes(40, 41);
        QVERIFY(HexFiles::writeFile(path("in.bin"), bytes));
        const Run written = run({"write-flash", "0x1234", path("in.bin")});
        QCOMPARE(written.status, 0);
        QCOMPARE(lines(written.out), QStringList{"Write OK"});
        QCOMPARE(stateFile(1, 1, "external.bin").mid(0x1234, 40), scrambled(bytes));

        const Run read = run({"read-flash", "1234", "40", "--output", path("out.bin")});
        QCOMPARE(read.status, 0);
        QCOMPARE(HexFiles::readFile(path("out.bin")), bytes);
    }

    // The unit that --device names is the one changed, the others not.
    void selection_data()
    {
        QTest::addColumn<QString>("selector");
        QTest::addColumn<int>("unit");
        QTest::newRow("port path") << "1-1.2" << 2;
        QTest::newRow("bus and address") << "1:1" << 1;
        QTest::newRow("serial in the bootloader's form") << "261100044b" << 3;
    }

    void selection()
    {
        QFETCH(QString, selector);
        QFETCH(int, unit);
        prepareUnits(3);
        const Run result = run({"status", "--set", "1", "--device", selector}, 3);
        QCOMPARE(result.status, 0);
        QCOMPARE(lines(result.out), (QStringList{"StatusSet(00000000000000000000000000000001)",
                                                 "Status: 00000000000000000000000000000001"}));
        for (int k = 1; k <= 3; ++k)
            QCOMPARE(stateFile(3, k, "device.ini").contains("status=1\n"), k == unit);
    }

    // The window's log lines, in order, for the second of two units in
    // either mode; the choice holds across the reset into the bootloader.
    // The progress of each stage on standard error, none with --no-progress.
    void upgradeSaysTheWindowsLines_data()
    {
        QTest::addColumn<bool>("fromBootloader");
        QTest::addColumn<bool>("progress");
        QTest::newRow("from the application") << false << true;
        QTest::newRow("from the bootloader") << true << true;
        QTest::newRow("from the application, --no-progress") << false << false;
    }

    void upgradeSaysTheWindowsLines()
    {
        QFETCH(bool, fromBootloader);
        QFETCH(bool, progress);
        prepareUnits(2, [&](vt520sim::Device &device, int) {
            if (fromBootloader)
                device.setMode(vt520sim::Mode::Bootloader);
        });
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 7);
        QVERIFY(!fixture.fileName.isEmpty());

        QStringList arguments{"upgrade", fixture.fileName, "--device", "1-1.2"};
        if (!progress)
            arguments << "--no-progress";
        const Run result = run(arguments, 2);
        QCOMPARE(result.status, 0);
        QCOMPARE(lines(result.out),
                 fromBootloader ? UpgradeFixture::completedFromBootloader(fixture.fileName, "261100043", "1-1.2")
                                : UpgradeFixture::completedFromApplication(fixture.fileName, "261100043", "1-1.2"));
        for (const char *stage : {"Writing firmware: ", "Writing external flash: ", "Verifying external flash: "})
            QVERIFY2(result.err.contains(stage) == progress, result.err.constData());
        if (progress) {
            for (const char *stage :
                 {"Writing firmware: 100%", "Writing external flash: 100%", "Verifying external flash: 100%"})
                QVERIFY2(result.err.contains(stage), result.err.constData());
        }
        QCOMPARE(stateFile(2, 2, "internal.bin").mid(0x4000, 0x1C000), fixture.applicationRegion());
        QCOMPARE(stateFile(2, 2, "external.bin").left(0x14000), fixture.storedExternalRegion());
        QVERIFY(stateFile(2, 1, "internal.bin").mid(0x4000, 0x1C000) != fixture.applicationRegion());
    }

    // Several units at once: the units named are changed, each line is
    // headed by its unit's port path, the table gives every unit's result
    // and a unit that fails turns the exit status to 4 without stopping the
    // others.
    void upgradeOfSeveralUnits_data()
    {
        QTest::addColumn<QStringList>("selection");
        QTest::addColumn<int>("failingUnit"); // its serial fits neither mode; 0: none
        QTest::addColumn<int>("status");
        QTest::addColumn<QList<int>>("changed");
        QTest::newRow("every unit") << QStringList{"--all"} << 0 << 0 << QList<int>{1, 2, 3};
        QTest::newRow("two named, one failing")
            << QStringList{"--device", "1-1.3", "--device", "261100042"} << 3 << 4 << QList<int>{1};
    }

    void upgradeOfSeveralUnits()
    {
        QFETCH(QStringList, selection);
        QFETCH(int, failingUnit);
        QFETCH(int, status);
        QFETCH(QList<int>, changed);
        prepareUnits(3, [&](vt520sim::Device &device, int unit) {
            if (unit == failingUnit)
                device.setSerial("26110004");
            if (unit == 2) // the others run their application
                device.setMode(vt520sim::Mode::Bootloader);
        });
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 8);
        QVERIFY(!fixture.fileName.isEmpty());

        const Run result = run(QStringList{"upgrade", fixture.fileName} + selection, 3);
        QCOMPARE(result.status, status);
        QStringList out = lines(result.out);
        const int header = out.indexOf(QRegularExpression("^port +serial before +serial after +result +time$"));
        QVERIFY2(header > 0, result.out.constData());
        for (const QString &line : out.mid(0, header))
            QVERIFY2(QRegularExpression("^1-1\\.[123]: ").match(line).hasMatch(), qPrintable(line));
        const QStringList table = out.mid(header + 1);
        QCOMPARE(table.size(), changed.size() + (failingUnit ? 1 : 0));
        for (int unit = 1; unit <= 3; ++unit) {
            const QString port = QString("1-1.%1").arg(unit);
            const QString serial = QString::number(261100041 + unit);
            const bool isChanged = changed.contains(unit);
            QCOMPARE(stateFile(3, unit, "internal.bin").mid(0x4000, 0x1C000) == fixture.applicationRegion(), isChanged);
            if (isChanged) {
                const QString before = unit == 2 ? serial + "b" : serial;
                QVERIFY(out.contains(port + ": " + before));
                QVERIFY(table.filter(QRegularExpression("^" + port + " +" + before + " +" + serial + " +OK ")).size()
                        == 1);
            } else if (unit == failingUnit) {
                QVERIFY(table.filter(QRegularExpression("^" + port + " +26110004 +- +failed ")).size() == 1);
                QVERIFY2(result.err.contains("at " + port.toLatin1() + " failed"), result.err.constData());
                QVERIFY2(!result.err.contains("failed (failed)"), result.err.constData());
            }
        }
    }

    // upgrade --if-different: each unit read back first; those that hold
    // the file already are reported identical and neither reset nor
    // written, the others changed.
    void upgradeIfDifferent_data()
    {
        QTest::addColumn<QList<int>>("holding"); // units given the file before
        QTest::newRow("two of four hold the file") << QList<int>{1, 3};
        QTest::newRow("none holds it") << QList<int>{};
        QTest::newRow("every unit holds it") << QList<int>{1, 2, 3, 4};
    }

    void upgradeIfDifferent()
    {
        QFETCH(QList<int>, holding);
        prepareUnits(4);
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 21);
        QVERIFY(!fixture.fileName.isEmpty());
        QStringList given{"upgrade", fixture.fileName, "--quiet"};
        for (const int unit : holding)
            given << "--device" << QString("1-1.%1").arg(unit);
        if (!holding.isEmpty())
            QCOMPARE(run(given, 4).status, 0);

        const Run result =
            run({"upgrade", fixture.fileName, "--all", "--if-different", "--json", "--log-dir", path("log")}, 4);
        QVERIFY2(result.status == 0, result.err.constData());
        const QJsonArray units = QJsonDocument::fromJson(result.out).object()["units"].toArray();
        QCOMPARE(units.size(), 4);
        for (int unit = 1; unit <= 4; ++unit) {
            const QString port = QString("1-1.%1").arg(unit);
            const auto entry = std::find_if(units.begin(), units.end(),
                                            [&](const QJsonValue &value) { return value["portPath"] == port; });
            QVERIFY2(entry != units.end(), qPrintable(port));
            const bool held = holding.contains(unit);
            QCOMPARE(entry->toObject()["result"].toString(), held ? QString("identical") : QString("ok"));
            QCOMPARE(stateFile(4, unit, "internal.bin").mid(0x4000, 0x1C000), fixture.applicationRegion());
            // A unit that held the file saw no reset.
            const QByteArray record = HexFiles::readFile(path("log/%1.jsonl").arg(261100041 + unit));
            QCOMPARE(record.contains("\"event\":\"reset\""), !held);
            QVERIFY(record.contains("\"event\":\"verdict\""));
        }
    }

    // The system's libusb-1.0 through usbfs: it reports the emulator's port
    // paths (on bus 101), and a change follows its unit across the reset
    // into the bootloader and back to a new address, one unit or both at
    // once on threads of one libusb context, the other unit left alone.
    void throughTheSystemsLibusb_data()
    {
        QTest::addColumn<QStringList>("selection");
        QTest::addColumn<QList<int>>("changed");
        QTest::newRow("one unit by its port path") << QStringList{"--device", "101-1.2"} << QList<int>{2};
        QTest::newRow("every unit at once") << QStringList{"--all"} << QList<int>{1, 2};
    }

    void throughTheSystemsLibusb()
    {
        if (QStringLiteral(USBFS_RUN).isEmpty())
            QSKIP("vt520-usbfs-run is not built (no umockdev)");
        QFETCH(QStringList, selection);
        QFETCH(QList<int>, changed);
        prepareUnits(2);
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 9);
        QVERIFY(!fixture.fileName.isEmpty());

        const Run result = run(QStringList{"upgrade", fixture.fileName, "--quiet"} + selection, 2, true);
        QVERIFY2(result.status == 0, result.err.constData());
        // Units by port path: libusb lists a unit that came back elsewhere.
        QMap<QString, QJsonObject> before, after;
        for (const QJsonValue &unit : QJsonDocument::fromJson(HexFiles::readFile(path("before.json"))).array())
            before.insert(unit["portPath"].toString(), unit.toObject());
        for (const QJsonValue &unit : QJsonDocument::fromJson(HexFiles::readFile(path("after.json"))).array())
            after.insert(unit["portPath"].toString(), unit.toObject());
        QCOMPARE(before.keys(), (QStringList{"101-1.1", "101-1.2"}));
        QCOMPARE(after.keys(), before.keys());
        for (int unit = 1; unit <= 2; ++unit) {
            const QJsonObject was = before.value(QString("101-1.%1").arg(unit));
            const QJsonObject is = after.value(QString("101-1.%1").arg(unit));
            QCOMPARE(is["bus"].toInt(), 101);
            QCOMPARE(is["mode"].toString(), QString("application"));
            const bool isChanged = changed.contains(unit);
            QCOMPARE(is["address"].toInt() != was["address"].toInt(), isChanged);
            QCOMPARE(stateFile(2, unit, "internal.bin").mid(0x4000, 0x1C000) == fixture.applicationRegion(), isChanged);
        }
    }

    // --retries: a unit whose reset or start request (both request 4) was
    // refused is left in application mode or in its bootloader; another run
    // of the change mends either, and each run is in the document and in
    // the unit's record. Without retries, or once they are used up, the
    // failure stands.
    void retriesMendAFailedChange_data()
    {
        QTest::addColumn<QStringList>("selection");
        QTest::addColumn<QString>("refused"); // --fail-request
        QTest::addColumn<int>("retries");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("runs"); // of all units
        QTest::addColumn<QString>("earlierResult");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("mode");
        const QStringList one{"--device", "101-1.2"};
        QTest::newRow("start refused once, one retry") << one << "4:stall:1@2" << 1 << 0 << 2 << "in-bootloader"
                                                       << "ok"
                                                       << "application";
        QTest::newRow("reset refused once, no retry") << one << "4:stall:1" << 0 << 4 << 1 << ""
                                                      << "failed"
                                                      << "application";
        QTest::newRow("start always refused, retries used up") << one << "4:stall@2" << 2 << 4 << 3 << "in-bootloader"
                                                               << "in-bootloader"
                                                               << "bootloader";
        QTest::newRow("every unit, a reset refused once")
            << QStringList{"--all"} << "4:stall:1" << 1 << 0 << 3 << "failed"
            << "ok"
            << "application";
    }

    void retriesMendAFailedChange()
    {
        if (QStringLiteral(USBFS_RUN).isEmpty())
            QSKIP("vt520-usbfs-run is not built (no umockdev)");
        QFETCH(QStringList, selection);
        QFETCH(QString, refused);
        QFETCH(int, retries);
        QFETCH(int, status);
        QFETCH(int, runs);
        QFETCH(QString, earlierResult);
        QFETCH(QString, result);
        QFETCH(QString, mode);
        prepareUnits(2);
        const UpgradeFixture fixture = UpgradeFixture::make(path("new.upg"), 9);
        QVERIFY(!fixture.fileName.isEmpty());

        const Run ran = run(QStringList{"upgrade", fixture.fileName, "--json", "--log-dir", path("log"), "--retries",
                                        QString::number(retries)}
                                + selection,
                            2, true, QString(), {"--fail-request", refused});
        QVERIFY2(ran.status == status, ran.err.constData());
        const QJsonArray units = QJsonDocument::fromJson(ran.out).object()["units"].toArray();
        QCOMPARE(units.size(), selection.contains("--all") ? 2 : 1);
        int made = 0;
        for (const QJsonValue &unit : units) {
            const int number = unit["portPath"].toString().back().digitValue();
            const int attempts = unit["attempts"].toInt();
            made += attempts;
            const QJsonArray earlier = unit["earlierAttempts"].toArray();
            QCOMPARE(earlier.size(), attempts - 1);
            for (const QJsonValue &attempt : earlier)
                QCOMPARE(attempt["result"].toString(), earlierResult);
            QCOMPARE(unit["serialBefore"].toString(), QString::number(261100041 + number));
            QCOMPARE(unit["result"].toString(), result);
            // Each run in the record; a run after a refused start finds the
            // unit in its bootloader and resets nothing.
            const QByteArray record = HexFiles::readFile(path("log/%1.jsonl").arg(261100041 + number));
            QCOMPARE(record.count("\"event\":\"retry\""), attempts - 1);
            QCOMPARE(record.count("\"event\":\"reset\""), earlierResult == "in-bootloader" ? 1 : attempts);
            // The end state the document gives.
            const QJsonObject after =
                QJsonDocument::fromJson(HexFiles::readFile(path("after.json"))).array()[number - 1].toObject();
            QCOMPARE(after["mode"].toString(), mode);
            QCOMPARE(stateFile(2, number, "internal.bin").mid(0x4000, 0x1C000) == fixture.applicationRegion(),
                     result != "failed");
        }
        QCOMPARE(made, runs);
    }

    // Byte for byte what the window's commands write, the window driven in
    // this process (for the tables, on the same device state).
    void filesEqualTheWindows_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("programs get") << "programs";
        QTest::newRow("scenes get") << "scenes";
        QTest::newRow("make-upgrade") << "make-upgrade";
        QTest::newRow("make-bootloader-images") << "make-bootloader-images";
    }

    void filesEqualTheWindows()
    {
        QFETCH(QString, command);
        QVERIFY(QDir().mkpath(path("cli")) && QDir().mkpath(path("window")));
        // Fields in the editors' ranges: the window's Save stores the record
        // on display first, which must give its bytes back.
        const QByteArray programs = editableTable(160, 31);
        const QByteArray scenes = editableTable(8, 32);
        prepareUnits(1, [&](vt520sim::Device &device, int) {
            device.setExternalFlash(0x14000, scrambled(programs));
            device.setExternalFlash(0x15E00, scrambled(scenes));
        });
        const QByteArray boot = HexFiles::randomBytes(0x4000, 33);
        QVERIFY(HexFiles::writeFile(path("boot.hex"), HexFiles::hexText(0x08000000, boot)));
        QByteArray firmware = HexFiles::hexText(0x08004000, HexFiles::randomBytes(0x1C000, 34));
        firmware.chop(HexFiles::endOfFile().size() + 1);
        QVERIFY(HexFiles::writeFile(path("firmware.hex"),
                                    firmware + HexFiles::hexText(0x08020000, HexFiles::randomBytes(0x14000, 35))));

        QStringList arguments;
        QStringList files;
        if (command == "programs" || command == "scenes") {
            files = {command == "programs" ? "table.pgm" : "table.scn"};
            arguments = {command, "get", path("cli/" + files[0])};
        } else if (command == "make-upgrade") {
            files = {"firmware.upg"};
            arguments = {command, path("firmware.hex"), path("cli/firmware.upg")};
        } else {
            files = {"Vt520Bootloader_261100005.bin", "Vt520Bootloader_261100006.bin"};
            arguments = {command, path("boot.hex"), "--prefix", "261100", "--first",
                         "5",     "--count",        "2",        "--dir",  path("cli")};
        }
        const Run result = run(arguments);
        QCOMPARE(result.status, 0);

        // The window, with the emulated device loaded from the same folder.
        bus.reset();
        bus.addPersistentVt520(1, 1, path("state"));
        const QString previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(path("window"))); // bootloader images go here
        {
            Vt410_bootloader window;
            auto scripted = std::make_unique<ScriptedQuestions>();
            ScriptedQuestions &questions = *scripted;
            window.setQuestions(std::move(scripted));
            if (command == "programs") {
                window.slotpushButtonGetProgramsFromVt410(false);
                questions.answer(path("window/" + files[0]));
                window.slotpushButtonSaveProgramsToFile(false);
            } else if (command == "scenes") {
                window.slotpushButtonGetScenesFromVt410(false);
                questions.answer(path("window/" + files[0]));
                window.slotpushButtonSaveScenesToFile(false);
            } else if (command == "make-upgrade") {
                questions.answer(path("firmware.hex"));
                questions.answer(path("window/" + files[0]));
                window.slotpushButtonCreateUpg(false);
            } else {
                for (const QVariant &answer : QVariantList{path("boot.hex"), "26", "11", 5, 2})
                    questions.answer(answer);
                window.slotpushButtonCreateBootBin(false);
                // The series is the window's; the command line says its lines.
                QCOMPARE(lines(result.out),
                         (QStringList{"261100005", "New bootloader + serial:", path("cli/" + files[0]), "261100006",
                                      "New bootloader + serial:", path("cli/" + files[1])}));
            }
            QVERIFY(questions.messages().isEmpty());
        }
        QDir::setCurrent(previousDir);
        for (const QString &file : files) {
            const QByteArray written = HexFiles::readFile(path("cli/" + file));
            QVERIFY2(!written.isEmpty(), qPrintable(file));
            QCOMPARE(written, HexFiles::readFile(path("window/" + file)));
        }
    }
};

QTEST_MAIN(TestVt520Ctl)
#include "test_vt520ctl.moc"
