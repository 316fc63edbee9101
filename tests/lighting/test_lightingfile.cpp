#include "FailOnWarnings.h"
#include "LightingTestData.h"
#include "lighting/LightingFile.h"
#include "lighting/SceneTables.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using Kind = LightingFile::Kind;
using Status = LightingFile::Status;

Q_DECLARE_METATYPE(LightingFile::Kind)
Q_DECLARE_METATYPE(LightingFile::Status)

namespace {

// The stream items built by hand, independently of QDataStream.
QByteArray bigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    bytes[0] = char(value >> 24);
    bytes[1] = char(value >> 16);
    bytes[2] = char(value >> 8);
    bytes[3] = char(value);
    return bytes;
}

QByteArray textItem(const QString &text)
{
    QByteArray item = bigEndian32(quint32(text.size()) * 2);
    for (QChar c : text) {
        item.append(char(c.unicode() >> 8));
        item.append(char(c.unicode() & 0xFF));
    }
    return item;
}

QByteArray fileBytes(const QString &header, const QString &version, const QByteArray &payload)
{
    return textItem(header) + textItem(version) + bigEndian32(quint32(payload.size())) + payload;
}

QByteArray writeToBuffer(Kind kind, const QByteArray &table)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!LightingFile::write(buffer, kind, table))
        return {};
    return bytes;
}

LightingFile::ReadResult readFromBytes(const QByteArray &bytes, Kind kind)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return LightingFile::read(buffer, kind);
}

// Accepts `capacity` bytes, then fails every write, like a disk that fills up.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 capacity)
        : capacity(capacity)
    {
        open(QIODevice::WriteOnly);
    }
    QByteArray written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        const qint64 room = capacity - written.size();
        if (room <= 0)
            return -1;
        const qint64 taken = qMin(room, length);
        written.append(data, taken);
        return taken;
    }

private:
    qint64 capacity;
};

QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestLightingFile : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void layoutIsByteExact_data();
    void layoutIsByteExact();
    void staticTimeStaysLittleEndian_data();
    void staticTimeStaysLittleEndian();
    void roundTripKeepsEveryByte_data();
    void roundTripKeepsEveryByte();
    void refusesForeignHeader_data();
    void refusesForeignHeader();
    void refusesWrongVersion_data();
    void refusesWrongVersion();
    void refusesShortPayload_data();
    void refusesShortPayload();
    void ignoresPayloadBeyondTable();
    void stopsAtEndOfPayload();
    void writerReportsDeviceFailure_data();
    void writerReportsDeviceFailure();
    void writerRefusesTableOfWrongSize();
    void saveAndLoadThroughFiles();
    void loadOfFileThatCannotBeOpened_data();
    void loadOfFileThatCannotBeOpened();
    void saveFailsForUnusablePath();
    void failedSaveKeepsOldFile();
};

void TestLightingFile::layoutIsByteExact_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<int>("payloadCountOffset");
    QTest::addColumn<QByteArray>("payloadCountBytes");
    QTest::addColumn<QString>("headerText");

    QTest::newRow("programs")
        << Kind::Programs << 7750 << 66 << QByteArray::fromHex("00001E00") << QStringLiteral("Vt410 Programs File");
    QTest::newRow("scenes")
        << Kind::Scenes << 450 << 62 << QByteArray::fromHex("00000180") << QStringLiteral("Vt410 Scenes File");
}

void TestLightingFile::layoutIsByteExact()
{
    QFETCH(Kind, kind);
    QFETCH(int, fileSize);
    QFETCH(int, payloadCountOffset);
    QFETCH(QByteArray, payloadCountBytes);
    QFETCH(QString, headerText);

    const QByteArray zeroTable(LightingFile::tableSize(kind), '\0');
    const QByteArray bytes = writeToBuffer(kind, zeroTable);
    QCOMPARE(bytes.size(), fileSize);
    QCOMPARE(bytes.mid(0, 4), bigEndian32(quint32(headerText.size() * 2)));
    QCOMPARE(bytes.mid(payloadCountOffset, 4), payloadCountBytes);
    QCOMPARE(bytes.right(zeroTable.size()), zeroTable);
    QCOMPARE(bytes, fileBytes(headerText, QStringLiteral("Version 01"), zeroTable));
    if (kind == Kind::Programs)
        QCOMPARE(bytes.mid(0, 4), QByteArray::fromHex("00000026"));
}

void TestLightingFile::staticTimeStaysLittleEndian_data()
{
    QTest::addColumn<int>("scene");
    for (int n = 0; n < StandaloneSceneCount; ++n)
        QTest::addRow("scene %d", n) << n;
}

void TestLightingFile::staticTimeStaysLittleEndian()
{
    QFETCH(int, scene);
    SceneTable scenes{};
    scenes[scene].setStaticTime(1000);
    const QByteArray table(reinterpret_cast<const char *>(scenes.data()), sizeof(scenes));
    const QByteArray bytes = writeToBuffer(Kind::Scenes, table);
    QCOMPARE(bytes.mid(66 + 48 * scene + 40, 4), QByteArray::fromHex("E8030000"));
    // Nothing else of the table is set.
    QCOMPARE(bytes.count(char(0xE8)), 1);
}

void TestLightingFile::roundTripKeepsEveryByte_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("table");
    QTest::newRow("programs, random") << Kind::Programs << randomTable(7680, 1);
    QTest::newRow("programs, all ones") << Kind::Programs << QByteArray(7680, char(0xFF));
    QTest::newRow("scenes, random") << Kind::Scenes << randomTable(384, 2);
    QTest::newRow("scenes, all ones") << Kind::Scenes << QByteArray(384, char(0xFF));
}

void TestLightingFile::roundTripKeepsEveryByte()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, table);
    const LightingFile::ReadResult result = readFromBytes(writeToBuffer(kind, table), kind);
    QCOMPARE(result.status, Status::Ok);
    QCOMPARE(result.table, table);
}

void TestLightingFile::refusesForeignHeader_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray scenesFile = writeToBuffer(Kind::Scenes, QByteArray(384, '\1'));
    const QByteArray programsFile = writeToBuffer(Kind::Programs, QByteArray(7680, '\1'));
    QTest::newRow("scenes file to programs load") << Kind::Programs << scenesFile;
    QTest::newRow("programs file to scenes load") << Kind::Scenes << programsFile;
    QTest::newRow("empty") << Kind::Programs << QByteArray();
    QTest::newRow("count cut off") << Kind::Programs << QByteArray::fromHex("0000");
    QTest::newRow("text cut off") << Kind::Programs << programsFile.left(20);
    QTest::newRow("lower case")
        << Kind::Programs << fileBytes("vt410 programs file", "Version 01", QByteArray(7680, 0));
    QTest::newRow("trailing blank")
        << Kind::Scenes << fileBytes("Vt410 Scenes File ", "Version 01", QByteArray(384, 0));
    QTest::newRow("null text") << Kind::Scenes << QByteArray::fromHex("FFFFFFFF");
    QTest::newRow("huge count") << Kind::Programs << QByteArray::fromHex("7FFFFFFE0056");
    QTest::newRow("odd count") << Kind::Programs << QByteArray::fromHex("00000027") + programsFile.mid(4);
}

void TestLightingFile::refusesForeignHeader()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, bytes);
    const LightingFile::ReadResult result = readFromBytes(bytes, kind);
    QCOMPARE(result.status, Status::WrongHeader);
    QVERIFY(result.table.isEmpty());
}

void TestLightingFile::refusesWrongVersion_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("versionText");
    QTest::newRow("other number") << Kind::Programs << QStringLiteral("Version 02");
    QTest::newRow("other case") << Kind::Programs << QStringLiteral("version 01");
    QTest::newRow("trailing blank") << Kind::Scenes << QStringLiteral("Version 01 ");
    QTest::newRow("leading blank") << Kind::Scenes << QStringLiteral(" Version 01");
    QTest::newRow("short") << Kind::Scenes << QStringLiteral("Version 1");
    QTest::newRow("empty") << Kind::Programs << QString();
}

void TestLightingFile::refusesWrongVersion()
{
    QFETCH(Kind, kind);
    QFETCH(QString, versionText);
    const QByteArray bytes =
        fileBytes(LightingFile::header(kind), versionText, QByteArray(LightingFile::tableSize(kind), '\1'));
    const LightingFile::ReadResult result = readFromBytes(bytes, kind);
    QCOMPARE(result.status, Status::WrongVersion);
    QVERIFY(result.table.isEmpty());
}

void TestLightingFile::refusesShortPayload_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("bytes");

    for (Kind kind : {Kind::Programs, Kind::Scenes}) {
        const QString name = kind == Kind::Programs ? "programs" : "scenes";
        const int size = LightingFile::tableSize(kind);
        const QByteArray prefix = textItem(LightingFile::header(kind)) + textItem("Version 01");
        const QByteArray full = fileBytes(LightingFile::header(kind), "Version 01", QByteArray(size, '\1'));

        QTest::addRow("%s: one byte short", qPrintable(name))
            << kind << fileBytes(LightingFile::header(kind), "Version 01", QByteArray(size - 1, '\1'));
        QTest::addRow("%s: empty payload", qPrintable(name))
            << kind << fileBytes(LightingFile::header(kind), "Version 01", QByteArray());
        QTest::addRow("%s: null payload", qPrintable(name)) << kind << prefix + QByteArray::fromHex("FFFFFFFF");
        QTest::addRow("%s: no payload", qPrintable(name)) << kind << prefix;
        QTest::addRow("%s: count cut off", qPrintable(name)) << kind << prefix + QByteArray::fromHex("0000");
        QTest::addRow("%s: file cut in the table", qPrintable(name)) << kind << full.left(full.size() - 1);
        QTest::addRow("%s: payload beyond table cut off", qPrintable(name))
            << kind << prefix + bigEndian32(quint32(size + 100)) + QByteArray(size + 99, '\1');
    }
}

void TestLightingFile::refusesShortPayload()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, bytes);
    const LightingFile::ReadResult result = readFromBytes(bytes, kind);
    QCOMPARE(result.status, Status::WrongSize);
    QVERIFY(result.table.isEmpty());
}

void TestLightingFile::ignoresPayloadBeyondTable()
{
    const QByteArray payload = randomTable(384 + 50, 3);
    const LightingFile::ReadResult result =
        readFromBytes(fileBytes("Vt410 Scenes File", "Version 01", payload), Kind::Scenes);
    QCOMPARE(result.status, Status::Ok);
    QCOMPARE(result.table, payload.left(384));
}

void TestLightingFile::stopsAtEndOfPayload()
{
    QByteArray bytes = writeToBuffer(Kind::Programs, randomTable(7680, 4));
    const qint64 payloadEnd = bytes.size();
    bytes += QByteArray("trailing bytes that belong to nobody");
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QCOMPARE(LightingFile::read(buffer, Kind::Programs).status, Status::Ok);
    QCOMPARE(buffer.pos(), payloadEnd);
}

void TestLightingFile::writerReportsDeviceFailure_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<qint64>("capacity");
    QTest::addColumn<bool>("succeeds");
    QTest::newRow("programs, nothing") << Kind::Programs << qint64(0) << false;
    QTest::newRow("programs, in header count") << Kind::Programs << qint64(3) << false;
    QTest::newRow("programs, after version") << Kind::Programs << qint64(66) << false;
    QTest::newRow("programs, last byte missing") << Kind::Programs << qint64(7749) << false;
    QTest::newRow("programs, exactly enough") << Kind::Programs << qint64(7750) << true;
    QTest::newRow("scenes, in table") << Kind::Scenes << qint64(200) << false;
    QTest::newRow("scenes, last byte missing") << Kind::Scenes << qint64(449) << false;
    QTest::newRow("scenes, exactly enough") << Kind::Scenes << qint64(450) << true;
}

void TestLightingFile::writerReportsDeviceFailure()
{
    QFETCH(Kind, kind);
    QFETCH(qint64, capacity);
    QFETCH(bool, succeeds);
    const QByteArray table = randomTable(LightingFile::tableSize(kind), 5);
    FailingDevice device(capacity);
    QCOMPARE(LightingFile::write(device, kind, table), succeeds);
    if (succeeds)
        QCOMPARE(device.written, writeToBuffer(kind, table));
}

void TestLightingFile::writerRefusesTableOfWrongSize()
{
    FailingDevice device(100000);
    QVERIFY(!LightingFile::write(device, Kind::Scenes, QByteArray(383, '\0')));
    QVERIFY(!LightingFile::write(device, Kind::Programs, QByteArray(384, '\0')));
    QVERIFY(device.written.isEmpty());
}

void TestLightingFile::saveAndLoadThroughFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath("programs.pgm");
    QVERIFY(writeFile(fileName, QByteArray(20000, 'x'))); // an older, longer file is replaced whole
    const QByteArray table = randomTable(7680, 6);
    QCOMPARE(LightingFile::save(fileName, Kind::Programs, table), Status::Ok);
    QCOMPARE(readFile(fileName), writeToBuffer(Kind::Programs, table));
    const LightingFile::ReadResult result = LightingFile::load(fileName, Kind::Programs);
    QCOMPARE(result.status, Status::Ok);
    QCOMPARE(result.table, table);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"programs.pgm"});
}

void TestLightingFile::loadOfFileThatCannotBeOpened_data()
{
    QTest::addColumn<QString>("name"); // in a fresh folder; empty: the folder itself
    QTest::newRow("missing") << "missing.scn";
    QTest::newRow("a folder") << "";
}

// Told apart from a foreign file, with the system's reason; the window still
// says "Wrong file header" for it.
void TestLightingFile::loadOfFileThatCannotBeOpened()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    const LightingFile::ReadResult result =
        LightingFile::load(name.isEmpty() ? dir.path() : dir.filePath(name), Kind::Scenes);
    QCOMPARE(result.status, Status::CannotOpen);
    QVERIFY(!result.reason.isEmpty());
    QVERIFY(result.table.isEmpty());
    QCOMPARE(LightingFile::loadFailureText(result.status), QStringLiteral("Wrong file header"));
}

void TestLightingFile::saveFailsForUnusablePath()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("taken.scn"));
    for (const QString &fileName : {dir.filePath("no/such/folder/s.scn"), dir.filePath("taken.scn")}) {
        QString reason;
        QCOMPARE(LightingFile::save(fileName, Kind::Scenes, QByteArray(384, '\0'), &reason), Status::WriteFailed);
        QVERIFY2(!reason.isEmpty(), qPrintable(fileName));
    }
    QVERIFY(QFileInfo(dir.filePath("taken.scn")).isDir());
}

// A target that fills up part-way: the file size limit of the process stands
// in for a full disk (root ignores permissions, not this limit).
void TestLightingFile::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath("scenes.scn");
    const QByteArray oldBytes = writeToBuffer(Kind::Scenes, randomTable(384, 7));
    QVERIFY(writeFile(fileName, oldBytes));

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString reason;
    const Status status = LightingFile::save(fileName, Kind::Scenes, randomTable(384, 8), &reason);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(status, Status::WriteFailed);
    QVERIFY(!reason.isEmpty());
    QCOMPARE(readFile(fileName), oldBytes);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"scenes.scn"});
}

QTEST_GUILESS_MAIN(TestLightingFile)
#include "test_lightingfile.moc"
