// Bootloader images: serial form, file name, serial bytes and safe writing.
#include "FailOnWarnings.h"
#include "HexFiles.h"
#include "firmware/BootloaderImage.h"

#include <QTemporaryDir>
#include <QtTest>

class TestBootloaderImage : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void serial_data();
    void serial();
    void imageWithSerial();
    void readHex_data();
    void readHex();
    void writeAndFailures();
};

void TestBootloaderImage::serial_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("first unit") << "131100" << 1 << QByteArray("131100001");
    QTest::newRow("two digits") << "131100" << 42 << QByteArray("131100042");
    QTest::newRow("three digits") << "990100" << 999 << QByteArray("990100999");
    QTest::newRow("year 00") << "000100" << 7 << QByteArray("000100007");
}

void TestBootloaderImage::serial()
{
    QFETCH(QString, prefix);
    QFETCH(int, unit);
    QFETCH(QByteArray, expected);
    const QByteArray serial = BootloaderImage::serial(prefix, unit);
    QCOMPARE(serial, expected);
    QCOMPARE(BootloaderImage::fileName(serial), "Vt520Bootloader_" + QString::fromLatin1(expected) + ".bin");
}

void TestBootloaderImage::imageWithSerial()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // HEX data over the whole bootloader area and beyond it.
    const QByteArray code = HexFiles::randomBytes(0x4100, 11);
    const QString hexName = dir.filePath("boot.hex");
    QVERIFY(HexFiles::writeFile(hexName, HexFiles::hexText(0x08000000, code)));

    QByteArray image;
    QCOMPARE(BootloaderImage::readHex(hexName, &image).code, 0);
    QCOMPARE(image, code.left(0x4000));

    const QByteArray withSerial = BootloaderImage::withSerial(image, "131100042");
    QCOMPARE(withSerial.size(), 0x4000);
    QCOMPARE(withSerial.left(0x3FF0), code.left(0x3FF0));
    QCOMPARE(withSerial.mid(0x3FF0, 9), QByteArray("131100042"));
    QCOMPARE(withSerial.mid(0x3FF9), code.mid(0x3FF9, 7)); // no terminator written

    // Without HEX data there the byte after the serial stays 0.
    const QString shortName = dir.filePath("short.hex");
    QVERIFY(HexFiles::writeFile(shortName, HexFiles::hexText(0x08000000, "\x01")));
    QByteArray empty;
    QCOMPARE(BootloaderImage::readHex(shortName, &empty).code, 0);
    QCOMPARE(BootloaderImage::withSerial(empty, "131100042").mid(0x3FF0),
             QByteArray("131100042") + QByteArray(7, '\0'));
    QCOMPARE(BootloaderImage::readHex(dir.filePath("missing.hex"), &empty).code, -8);
}

// The bootloader image comes through the same reader as upgrade images:
// long records read, and a defect refuses the file with its line.
void TestBootloaderImage::readHex_data()
{
    using namespace HexFiles;
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("line");

    const QByteArray code = randomBytes(0x4000, 13);
    QTest::newRow("32 per record") << hexText(0x08000000, code, 32) << 0 << 0;
    QTest::newRow("255 per record, CR LF") << hexText(0x08000000, code, 255).replace("\n", "\r\n") << 0 << 0;
    QTest::newRow("start segment address")
        << record(3, 0, QByteArray::fromHex("00000100")) + "\n" + hexText(0x08000000, code, 64) << 0 << 0;
    QList<QByteArray> lines = hexText(0x08000000, code, 32).split('\n');
    lines[4].chop(2);
    lines[4] += lines[4].endsWith("00") ? "01" : "00";
    QTest::newRow("wrong checksum") << lines.join('\n') << -10 << 5;
    QTest::newRow("application only") << hexText(0x08004000, code.left(16)) << -9 << 0;
}

void TestBootloaderImage::readHex()
{
    QFETCH(QByteArray, text);
    QFETCH(int, code);
    QFETCH(int, line);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString hexName = dir.filePath("boot.hex");
    QVERIFY(HexFiles::writeFile(hexName, text));
    QByteArray image;
    const HexToBinResult result = BootloaderImage::readHex(hexName, &image);
    QCOMPARE(result.code, code);
    QCOMPARE(result.line, line);
    if (code == 0)
        QCOMPARE(image, HexFiles::randomBytes(0x4000, 13));
}

void TestBootloaderImage::writeAndFailures()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray image = HexFiles::randomBytes(0x4000, 12);
    const QString name = dir.filePath("Vt520Bootloader_131100042.bin");
    QVERIFY(BootloaderImage::write(name, image));
    QCOMPARE(HexFiles::readFile(name), image);

    QVERIFY(!BootloaderImage::write(dir.filePath("missing/folder.bin"), image));
    QVERIFY(!QFile::exists(dir.filePath("missing/folder.bin")));
    QVERIFY(QDir(dir.path()).mkdir("blocked.bin"));
    QVERIFY(!BootloaderImage::write(dir.filePath("blocked.bin"), image));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Vt520Bootloader_131100042.bin"});
}

QTEST_GUILESS_MAIN(TestBootloaderImage)
#include "test_bootloaderimage.moc"
