// Intel HEX reader: files made by binutils and srecord, and hand-made records
// for every result code and the corners of the line window.
#include "HexFiles.h"
#include "firmware/HexToBin.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr char Fill = char(0xA5);

// What a buffer of the window firstAddress..lastAddress, filled with Fill,
// holds after `data` at `dataAddress` was stored into it.
QByteArray expectedWindow(quint32 firstAddress, quint32 lastAddress, quint32 dataAddress,
                          const QByteArray &data, int storedBytes = -1)
{
    QByteArray window(int(lastAddress - firstAddress + 1), Fill);
    const int count = storedBytes < 0 ? data.size() : storedBytes;
    for (int i = 0; i < count; ++i) {
        const quint32 address = dataAddress + quint32(i);
        if (address >= firstAddress && address <= lastAddress)
            window[int(address - firstAddress)] = data[i];
    }
    return window;
}

struct Read {
    int result;
    QByteArray window;
};

Read readWindow(const QString &fileName, quint32 firstAddress, quint32 lastAddress)
{
    QByteArray window(int(lastAddress - firstAddress + 1), Fill);
    const int result = HexToBin(fileName, reinterpret_cast<unsigned char *>(window.data()), firstAddress,
                                lastAddress);
    return {result, window};
}

} // namespace

class TestHexToBin : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void madeByTools_data();
    void madeByTools();
    void handMade_data();
    void handMade();
    void recordLength_data();
    void recordLength();
    void fileThatCannotBeOpened();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TestHexToBin::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestHexToBin::madeByTools_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");  // %in and %out stand for the file names
    QTest::addColumn<quint32>("dataAddress");
    QTest::addColumn<int>("size");
    QTest::addColumn<quint32>("firstAddress");
    QTest::addColumn<quint32>("lastAddress");
    QTest::addColumn<int>("expectedResult");
    QTest::addColumn<int>("storedBytes");  // -1: all of them

    const QStringList objcopy{"-I", "binary", "-O", "ihex", "--change-addresses", "0x08004000", "%in", "%out"};
    QTest::newRow("objcopy, application region, whole")
        << "objcopy" << objcopy << 0x08004000u << 0x1C000 << 0x08004000u << 0x0801FFFFu << 0 << -1;
    QTest::newRow("objcopy, partly inside a smaller window")
        << "objcopy" << objcopy << 0x08004000u << 5000 << 0x08004800u << 0x08004FFFu << 0 << -1;
    QTest::newRow("objcopy, odd length")
        << "objcopy" << objcopy << 0x08004000u << 1237 << 0x08004000u << 0x0801FFFFu << 0 << -1;

    const QStringList srec16{"%in", "-binary", "-offset", "0x08020000", "-o", "%out", "-intel", "-obs=16"};
    QTest::newRow("srec_cat, 16 per record, external flash region")
        << "srec_cat" << srec16 << 0x08020000u << 0x14000 << 0x08020000u << 0x08033FFFu << 0 << -1;
    QTest::newRow("srec_cat, 16 per record, window ends inside the data")
        << "srec_cat" << srec16 << 0x08020000u << 0x14000 << 0x08020000u << 0x0802FFF7u << 0 << -1;

    const QStringList srec20{"%in", "-binary", "-offset", "0x08020000", "-o", "%out", "-intel",
                             "-Output_Block_Size=20"};
    QTest::newRow("srec_cat, 20 per record, across 64 KiB")
        << "srec_cat" << srec20 << 0x08020000u << 0x14000 << 0x08020000u << 0x08033FFFu << 0 << -1;

    const QStringList srec25{"%in", "-binary", "-offset", "0x08020000", "-o", "%out", "-intel",
                             "-Output_Block_Size=25"};
    QTest::newRow("srec_cat, 25 per record, the longest that fits")
        << "srec_cat" << srec25 << 0x08020000u << 0x14000 << 0x08020000u << 0x08033FFFu << 0 << -1;

    // 32 data bytes make a 75-byte line: the data runs past the 63 bytes read.
    const QStringList srec32{"%in", "-binary", "-offset", "0x08020000", "-o", "%out", "-intel", "-obs=32"};
    QTest::newRow("srec_cat, 32 per record, too long")
        << "srec_cat" << srec32 << 0x08020000u << 0x1000 << 0x08020000u << 0x08033FFFu << -6 << 27;
}

void TestHexToBin::madeByTools()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    QFETCH(quint32, dataAddress);
    QFETCH(int, size);
    QFETCH(quint32, firstAddress);
    QFETCH(quint32, lastAddress);
    QFETCH(int, expectedResult);
    QFETCH(int, storedBytes);

    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        QSKIP(qPrintable(tool + " is not installed"));

    const QString binName = dir->filePath("data.bin");
    const QString hexName = dir->filePath("data.hex");
    const QByteArray data = HexFiles::randomBytes(size, quint32(size) ^ dataAddress);
    QVERIFY(HexFiles::writeFile(binName, data));
    arguments.replaceInStrings("%in", binName);
    arguments.replaceInStrings("%out", hexName);

    QProcess process;
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(QFileInfo(hexName).size() > 0);

    const Read read = readWindow(hexName, firstAddress, lastAddress);
    QCOMPARE(read.result, expectedResult);
    QCOMPARE(read.window, expectedWindow(firstAddress, lastAddress, dataAddress, data, storedBytes));
}

void TestHexToBin::handMade_data()
{
    using namespace HexFiles;
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("expectedResult");
    QTest::addColumn<quint32>("dataAddress");
    QTest::addColumn<QByteArray>("storedData");  // what lands at dataAddress

    const QByteArray ela = extendedLinearAddress(0x0800) + "\n";
    const QByteArray eof = endOfFile() + "\n";
    const QByteArray abc = QByteArray::fromHex("0102030405060708");
    const QByteArray abcRecord = record(0, 0x4000, abc) + "\n";

    QTest::newRow("plain") << ela + abcRecord + eof << 0 << 0x08004000u << abc;
    QTest::newRow("CR LF line ends")
        << QByteArray(ela + abcRecord + eof).replace("\n", "\r\n") << 0 << 0x08004000u << abc;
    QTest::newRow("no end record") << ela + abcRecord << 0 << 0x08004000u << abc;
    QTest::newRow("no line end after the end record") << ela + abcRecord + endOfFile() << 0 << 0x08004000u << abc;
    QTest::newRow("lines after the end record are not read")
        << ela + abcRecord + eof + "\n" + "garbage\n" + record(0, 0x4000, "\xff\xff") + "\n" << 0 << 0x08004000u
        << abc;
    QTest::newRow("blank line before the end record")
        << ela + abcRecord + "\n" + record(0, 0x4008, "\x11") + "\n" + eof << -1 << 0x08004000u << abc;
    QTest::newRow("short line") << ela + ":00000001\n" + abcRecord << -1 << 0x08004000u << QByteArray();
    QTest::newRow("no colon") << ela + abcRecord.mid(1) << -2 << 0x08004000u << QByteArray();
    QTest::newRow("count not hexadecimal")
        << ela + ":0G4000000102030405060708CC\n" << -3 << 0x08004000u << QByteArray();
    QTest::newRow("address not hexadecimal")
        << ela + ":08400X000102030405060708CC\n" << -4 << 0x08004000u << QByteArray();
    QTest::newRow("type not hexadecimal")
        << ela + ":084000Z00102030405060708CC\n" << -5 << 0x08004000u << QByteArray();
    QTest::newRow("data not hexadecimal, earlier bytes kept")
        << ela + ":084000000102030Q05060708CC\n" << -6 << 0x08004000u << QByteArray::fromHex("010203");
    QTest::newRow("count runs past the line")
        << ela + ":0C400000010203040506070800\n" << -6 << 0x08004000u << QByteArray::fromHex("010203040506070800");
    QTest::newRow("type 02 extended segment address")
        << record(2, 0, QByteArray::fromHex("1000")) + "\n" + abcRecord << -7 << 0x08004000u << QByteArray();
    QTest::newRow("type 03 start segment address")
        << ela + record(3, 0, QByteArray::fromHex("00001000")) + "\n" + abcRecord << -7 << 0x08004000u
        << QByteArray();
    QTest::newRow("extended address not hexadecimal")
        << ":0200000408X0F2\n" + abcRecord << -7 << 0x08004000u << QByteArray();
    QTest::newRow("type 05 is ignored")
        << ela + record(5, 0, QByteArray::fromHex("08004101")) + "\n" + abcRecord + eof << 0 << 0x08004000u << abc;
    QTest::newRow("lower-case digits")
        << ela.toLower() + abcRecord.toLower() + eof << 0 << 0x08004000u << abc;
    QTest::newRow("space inside the data")
        << ela + ":04400000ab cd ef 01 00\n" << -6 << 0x08004000u << QByteArray::fromHex("ab");
    QTest::newRow("wrong checksum is accepted")
        << ela + abcRecord.left(abcRecord.size() - 3) + "00\n" + eof << 0 << 0x08004000u << abc;
    QTest::newRow("without extended address the data stays below 64 KiB")
        << abcRecord + eof << -9 << 0x08004000u << QByteArray();
    QTest::newRow("end record only") << eof << -9 << 0x08004000u << QByteArray();
    QTest::newRow("record crossing the start of the window")
        << ela + record(0, 0x3FFC, abc) + "\n" + eof << 0 << 0x08003FFCu << abc;
    QTest::newRow("record crossing the end of the window")
        << extendedLinearAddress(0x0801) + "\n" + record(0, 0xFFFC, abc) + "\n" + eof << 0 << 0x0801FFFCu << abc;
    // Wrapping at 64 KiB would put the last four bytes at 0x08000000,
    // outside the window, instead of at 0x08010000.
    QTest::newRow("record crossing 64 KiB, no wrap")
        << ela + record(0, 0xFFFC, abc) + "\n" + eof << 0 << 0x0800FFFCu << abc;
    QTest::newRow("last of several extended addresses counts")
        << extendedLinearAddress(0x0900) + "\n" + ela + abcRecord + eof << 0 << 0x08004000u << abc;
}

void TestHexToBin::handMade()
{
    QFETCH(QByteArray, text);
    QFETCH(int, expectedResult);
    QFETCH(quint32, dataAddress);
    QFETCH(QByteArray, storedData);

    const QString hexName = dir->filePath("hand.hex");
    QVERIFY(HexFiles::writeFile(hexName, text));
    // The window is 0x08004000..0x0801FFFF, as for the application region.
    const Read read = readWindow(hexName, 0x08004000, 0x0801FFFF);
    QCOMPARE(read.result, expectedResult);
    // Rows that store nothing expect the window untouched.
    QCOMPARE(read.window, expectedWindow(0x08004000, 0x0801FFFF, dataAddress, storedData));
}

void TestHexToBin::recordLength_data()
{
    QTest::addColumn<int>("perRecord");
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<int>("expectedResult");
    QTest::addColumn<int>("storedBytes");

    QTest::newRow("20, LF") << 20 << QByteArray("\n") << 0 << 100;
    QTest::newRow("25, LF") << 25 << QByteArray("\n") << 0 << 100;
    QTest::newRow("25, CR LF: 63 bytes exactly") << 25 << QByteArray("\r\n") << 0 << 100;
    // The first record is stored from its first 63 bytes; its rest (checksum
    // and line end) then reads as a short line of its own.
    QTest::newRow("26, LF") << 26 << QByteArray("\n") << -1 << 26;
    QTest::newRow("26, CR LF") << 26 << QByteArray("\r\n") << -1 << 26;
    QTest::newRow("27, LF") << 27 << QByteArray("\n") << -1 << 27;
    QTest::newRow("28, LF") << 28 << QByteArray("\n") << -6 << 27;
    QTest::newRow("32, LF") << 32 << QByteArray("\n") << -6 << 27;
}

void TestHexToBin::recordLength()
{
    QFETCH(int, perRecord);
    QFETCH(QByteArray, lineEnd);
    QFETCH(int, expectedResult);
    QFETCH(int, storedBytes);

    const QByteArray data = HexFiles::randomBytes(100, quint32(perRecord));
    QByteArray text = HexFiles::hexText(0x08004000, data, perRecord);
    text.replace("\n", lineEnd);
    const QString hexName = dir->filePath("long.hex");
    QVERIFY(HexFiles::writeFile(hexName, text));

    const Read read = readWindow(hexName, 0x08004000, 0x0801FFFF);
    QCOMPARE(read.result, expectedResult);
    QCOMPARE(read.window, expectedWindow(0x08004000, 0x0801FFFF, 0x08004000, data, storedBytes));
}

void TestHexToBin::fileThatCannotBeOpened()
{
    const Read read = readWindow(dir->filePath("missing.hex"), 0x08000000, 0x08003FFF);
    QCOMPARE(read.result, -8);
    QCOMPARE(read.window, QByteArray(0x4000, Fill));
}

QTEST_GUILESS_MAIN(TestHexToBin)
#include "test_hextobin.moc"
