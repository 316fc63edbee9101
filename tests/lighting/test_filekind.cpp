#include "FailOnWarnings.h"
#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"
#include "lighting/FileKind.h"
#include "lighting/LightingFile.h"
#include "lighting/SceneTables.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

using Kind = FileKind::Kind;

Q_DECLARE_METATYPE(FileKind::Kind)

namespace {

// A QDataStream text item built by hand: a big-endian byte count, then
// UTF-16 big-endian.
QByteArray textItem(const QString &text)
{
    QByteArray item;
    const quint32 count = quint32(text.size()) * 2;
    for (int shift = 24; shift >= 0; shift -= 8)
        item.append(char(count >> shift));
    for (QChar c : text) {
        item.append(char(c.unicode() >> 8));
        item.append(char(c.unicode() & 0xFF));
    }
    return item;
}

QByteArray fileBytes(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Each kind is told by the first bytes alone, whatever the file is named and
// whether or not the rest of it holds up; files of the tools' own writers
// are told as their kind.
class TestFileKind : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void kindFromFirstBytes_data();
    void kindFromFirstBytes();
    void writtenFilesAreTheirKind_data();
    void writtenFilesAreTheirKind();
    void unreadableFileIsUnknown();
    void lookingDoesNotConsume();
};

void TestFileKind::kindFromFirstBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Kind>("kind");
    const QByteArray rest = textItem("Version 01") + QByteArray(8, '\x01');
    QTest::newRow("upgrade header") << textItem("Vt520 Upgrade File Header") + rest << Kind::Upgrade;
    QTest::newRow("upgrade header, nothing after") << textItem("Vt520 Upgrade File Header") << Kind::Upgrade;
    QTest::newRow("programs header") << textItem("Vt410 Programs File") + rest << Kind::Programs;
    QTest::newRow("scenes header") << textItem("Vt410 Scenes File") + rest << Kind::Scenes;
    QTest::newRow("scenes header, damaged after") << textItem("Vt410 Scenes File") + "garbage" << Kind::Scenes;
    QTest::newRow("HEX record") << QByteArray(":020000040800F2\n") << Kind::IntelHex;
    QTest::newRow("HEX with a damaged first line") << QByteArray(":zz\n") << Kind::IntelHex;
    QTest::newRow("blank before the colon") << QByteArray(" :020000040800F2\n") << Kind::Unknown;
    QTest::newRow("empty") << QByteArray() << Kind::Unknown;
    QTest::newRow("text") << QByteArray("not a lighting file") << Kind::Unknown;
    QTest::newRow("header in lower case") << textItem("vt410 programs file") + rest << Kind::Unknown;
    QTest::newRow("header cut short") << textItem("Vt410 Programs File").left(20) << Kind::Unknown;
    QTest::newRow("header with a wrong count")
        << QByteArray::fromHex("00000028") + textItem("Vt410 Programs File").mid(4) << Kind::Unknown;
    QTest::newRow("header with a trailing blank") << textItem("Vt410 Scenes File ") << Kind::Unknown;
    QTest::newRow("upgrade header in UTF-16 little-endian")
        << QByteArray::fromHex("00000032")
               + QByteArray(reinterpret_cast<const char *>(u"Vt520 Upgrade File Header"), 50)
        << Kind::Unknown;
}

void TestFileKind::kindFromFirstBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Kind, kind);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QCOMPARE(FileKind::of(buffer), kind);

    QTemporaryDir dir;
    // The name says nothing: a programs-like name on every kind.
    const QString name = dir.filePath("file.pgm");
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();
    QCOMPARE(FileKind::of(name), kind);
}

void TestFileKind::writtenFilesAreTheirKind_data()
{
    QTest::addColumn<int>("writer"); // 0 upgrade, 1 programs, 2 scenes
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("upgrade file") << 0 << Kind::Upgrade << "new.upg";
    QTest::newRow("programs file") << 1 << Kind::Programs << "venue.pgm";
    QTest::newRow("scenes file named .upg") << 2 << Kind::Scenes << "show.upg";
}

void TestFileKind::writtenFilesAreTheirKind()
{
    QFETCH(int, writer);
    QFETCH(Kind, kind);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString fileName = dir.filePath(name);
    if (writer == 0) {
        QByteArray image(UpgradeImage::Size, '\0');
        QVERIFY(UpgradeFile::write(fileName, image));
    } else {
        const LightingFile::Kind lighting = writer == 1 ? LightingFile::Kind::Programs : LightingFile::Kind::Scenes;
        QCOMPARE(LightingFile::save(fileName, lighting, QByteArray(LightingFile::tableSize(lighting), '\x07')),
                 LightingFile::Status::Ok);
    }
    QVERIFY(!fileBytes(fileName).isEmpty());
    QCOMPARE(FileKind::of(fileName), kind);
}

void TestFileKind::unreadableFileIsUnknown()
{
    QTemporaryDir dir;
    QCOMPARE(FileKind::of(dir.filePath("missing.pgm")), Kind::Unknown);
    // A folder opens but has no bytes to tell a kind by.
    QCOMPARE(FileKind::of(dir.path()), Kind::Unknown);
}

// The reader that follows gets the file from its first byte.
void TestFileKind::lookingDoesNotConsume()
{
    QByteArray bytes;
    QBuffer out(&bytes);
    QVERIFY(out.open(QIODevice::WriteOnly));
    const QByteArray table(ScenesTableSize, '\x05');
    QVERIFY(LightingFile::write(out, LightingFile::Kind::Scenes, table));
    out.close();
    QBuffer in(&bytes);
    QVERIFY(in.open(QIODevice::ReadOnly));
    QCOMPARE(FileKind::of(in), Kind::Scenes);
    const LightingFile::ReadResult read = LightingFile::read(in, LightingFile::Kind::Scenes);
    QCOMPARE(read.status, LightingFile::Status::Ok);
    QCOMPARE(read.table, table);
}

QTEST_GUILESS_MAIN(TestFileKind)
#include "test_filekind.moc"
