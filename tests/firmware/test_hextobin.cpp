// Intel HEX reader: files made by binutils and srecord, and hand-made records
// for every result code, its line, and the corners of the record format.
#include "FailOnWarnings.h"
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
QByteArray expectedWindow(quint32 firstAddress, quint32 lastAddress, quint32 dataAddress, const QByteArray &data,
                          int storedBytes = -1)
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
    const int result = HexToBin(fileName, reinterpret_cast<unsigned char *>(window.data()), firstAddress, lastAddress);
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
    void segmentAddress_data();
    void segmentAddress();
    void severalWindows_data();
    void severalWindows();
    void fileThatCannotBeOpened();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TestHexToBin::init()
{
    failOnUnexpectedWarnings();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestHexToBin::madeByTools_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments"); // %in and %out stand for the file names
    QTest::addColumn<quint32>("dataAddress");
    QTest::addColumn<int>("size");
    QTest::addColumn<quint32>("firstAddress");
    QTest::addColumn<quint32>("lastAddress");
    QTest::addColumn<int>("expectedResult");
    QTest::addColumn<int>("storedBytes"); // -1: all of them

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

    const QStringList srec20{"%in", "-binary", "-offset", "0x08020000",
                             "-o",  "%out",    "-intel",  "-Output_Block_Size=20"};
    QTest::newRow("srec_cat, 20 per record, across 64 KiB")
        << "srec_cat" << srec20 << 0x08020000u << 0x14000 << 0x08020000u << 0x08033FFFu << 0 << -1;

    const QStringList srec25{"%in", "-binary", "-offset", "0x08020000",
                             "-o",  "%out",    "-intel",  "-Output_Block_Size=25"};
    QTest::newRow("srec_cat, 25 per record, the longest that fits")
        << "srec_cat" << srec25 << 0x08020000u << 0x14000 << 0x08020000u << 0x08033FFFu << 0 << -1;

    // srec_cat's own default is 32 data bytes per record.
    const QStringList srecDefault{"%in", "-binary", "-offset", "0x08020000", "-o", "%out", "-intel"};
    QTest::newRow("srec_cat, default 32 per record")
        << "srec_cat" << srecDefault << 0x08020000u << 0x14000 << 0x08020000u << 0x08033FFFu << 0 << -1;
    const QStringList srec32{"%in", "-binary", "-offset", "0x08020000", "-o", "%out", "-intel", "-obs=32"};
    QTest::newRow("srec_cat, 32 per record")
        << "srec_cat" << srec32 << 0x08020000u << 0x1000 << 0x08020000u << 0x08033FFFu << 0 << -1;
    const QStringList srec255{"%in", "-binary", "-offset", "0x08004000", "-o", "%out", "-intel", "-obs=255"};
    QTest::newRow("srec_cat, 255 per record, the longest record")
        << "srec_cat" << srec255 << 0x08004000u << 0x1C000 << 0x08004000u << 0x0801FFFFu << 0 << -1;
    // Address length 3: extended segment address records (type 02), which
    // reach the first MiB only.
    const QStringList srecSegment{"%in",  "-binary", "-offset",           "0x0E000", "-o",
                                  "%out", "-intel",  "-address-length=3", "-obs=64"};
    QTest::newRow("srec_cat, segment addresses, across 64 KiB")
        << "srec_cat" << srecSegment << 0x0E000u << 0x5000 << 0x0u << 0xFFFFFu << 0 << -1;
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
    QTest::addColumn<int>("expectedLine"); // of the refused record; 0 for none
    QTest::addColumn<quint32>("dataAddress");
    QTest::addColumn<QByteArray>("storedData"); // what lands at dataAddress

    const QByteArray ela = extendedLinearAddress(0x0800) + "\n";
    const QByteArray eof = endOfFile() + "\n";
    const QByteArray abc = QByteArray::fromHex("0102030405060708");
    const QByteArray abcRecord = record(0, 0x4000, abc) + "\n";
    // A second record right behind the first, for failures after stored data.
    const QByteArray next = QByteArray::fromHex("1112131415161718");
    const QByteArray nextRecord = record(0, 0x4008, next);
    // abcRecord with one more, valid, data byte than its count says.
    const QByteArray abcLonger = record(0, 0x4000, abc + "\x09");

    QTest::newRow("plain") << ela + abcRecord + eof << 0 << 0 << 0x08004000u << abc;
    QTest::newRow("CR LF line ends")
        << QByteArray(ela + abcRecord + eof).replace("\n", "\r\n") << 0 << 0 << 0x08004000u << abc;
    QTest::newRow("no end record") << ela + abcRecord << 0 << 0 << 0x08004000u << abc;
    QTest::newRow("no line end after the end record") << ela + abcRecord + endOfFile() << 0 << 0 << 0x08004000u << abc;
    QTest::newRow("lines after the end record are not read")
        << ela + abcRecord + eof + "\n" + "garbage\n" + record(0, 0x4000, "\xff\xff") + "\n"
        << 0 << 0 << 0x08004000u << abc;
    QTest::newRow("blank line before the end record")
        << ela + abcRecord + "\n" + record(0, 0x4008, "\x11") + "\n" + eof << -1 << 3 << 0x08004000u << abc;
    QTest::newRow("short line") << ela + ":00000001\n" + abcRecord << -1 << 2 << 0x08004000u << QByteArray();
    QTest::newRow("short line, CR LF counts as line end")
        << ela + ":000000011\r\n" + abcRecord << -1 << 2 << 0x08004000u << QByteArray();
    QTest::newRow("no colon") << ela + abcRecord.mid(1) << -2 << 2 << 0x08004000u << QByteArray();
    QTest::newRow("count not hexadecimal") << ela + ":0G4000000102030405060708CC\n"
                                           << -3 << 2 << 0x08004000u << QByteArray();
    QTest::newRow("address not hexadecimal") << ela + ":08400X000102030405060708CC\n"
                                             << -4 << 2 << 0x08004000u << QByteArray();
    QTest::newRow("type not hexadecimal") << ela + ":084000Z00102030405060708CC\n"
                                          << -5 << 2 << 0x08004000u << QByteArray();
    // The records before a failure stay stored, nothing of the failing one.
    QTest::newRow("data not hexadecimal, earlier records kept") << ela + abcRecord + ":084008000102030Q05060708CC\n"
                                                                << -6 << 3 << 0x08004000u << abc;
    QTest::newRow("count runs past the line") << ela + ":0C400000010203040506070800\n"
                                              << -6 << 2 << 0x08004000u << QByteArray();
    QTest::newRow("type 02 extended segment address, then data below 1 MiB")
        << record(2, 0, QByteArray::fromHex("1000")) + "\n" + abcRecord << -9 << 0 << 0x08004000u << QByteArray();
    QTest::newRow("type 02 after 04: the later base counts")
        << ela + record(2, 0, QByteArray::fromHex("1000")) + "\n" + abcRecord + eof << -9 << 0 << 0x08004000u
        << QByteArray();
    QTest::newRow("type 04 after 02: the later base counts")
        << record(2, 0, QByteArray::fromHex("1000")) + "\n" + ela + abcRecord + eof << 0 << 0 << 0x08004000u << abc;
    QTest::newRow("type 03 start segment address is ignored")
        << ela + record(3, 0, QByteArray::fromHex("00001000")) + "\n" + abcRecord + eof << 0 << 0 << 0x08004000u << abc;
    QTest::newRow("type 06")
        << ela + record(6, 0, QByteArray()) + "\n" + abcRecord << -7 << 2 << 0x08004000u << QByteArray();
    QTest::newRow("extended address not hexadecimal")
        << ":0200000408X0F2\n" + abcRecord << -7 << 1 << 0x08004000u << QByteArray();
    QTest::newRow("extended segment address not hexadecimal")
        << ":0200000210X0F2\n" + ela + abcRecord << -7 << 1 << 0x08004000u << QByteArray();
    QTest::newRow("type 05 is ignored")
        << ela + record(5, 0, QByteArray::fromHex("08004101")) + "\n" + abcRecord + eof << 0 << 0 << 0x08004000u << abc;
    QTest::newRow("lower-case digits") << ela.toLower() + abcRecord.toLower() + eof << 0 << 0 << 0x08004000u << abc;
    QTest::newRow("space inside the data") << ela + ":04400000ab cd ef 01 00\n"
                                           << -6 << 2 << 0x08004000u << QByteArray();
    QTest::newRow("empty data record")
        << ela + record(0, 0x4000, QByteArray()) + "\n" + abcRecord + eof << 0 << 0 << 0x08004000u << abc;

    // Checksums.
    QTest::newRow("wrong checksum is refused")
        << ela + abcRecord + nextRecord.left(nextRecord.size() - 2) + "00\n" + eof << -10 << 3 << 0x08004000u << abc;
    QTest::newRow("checksum off by one")
        << ela + abcRecord + nextRecord.left(nextRecord.size() - 2)
               + QByteArray::number(nextRecord.right(2).toInt(nullptr, 16) ^ 1, 16).rightJustified(2, '0') + "\n"
        << -10 << 3 << 0x08004000u << abc;
    QTest::newRow("data digit changed") << ela + abcRecord + QByteArray(nextRecord).replace(9, 2, "21") + "\n"
                                        << -10 << 3 << 0x08004000u << abc;
    QTest::newRow("wrong checksum of the end record") << ela + abcRecord + ":00000001FE\n"
                                                      << -10 << 3 << 0x08004000u << abc;
    QTest::newRow("wrong checksum of an extended address")
        << ":020000040800F3\n" + abcRecord << -10 << 1 << 0x08004000u << QByteArray();
    QTest::newRow("count one short: the last data byte read as checksum")
        << ela + abcLonger.left(1) + "08" + abcLonger.mid(3) + "\n"
        << -10 << 2 << 0x08004000u << QByteArray();
    QTest::newRow("checksum missing") << ela + abcRecord.left(abcRecord.size() - 3) + "\n"
                                      << -14 << 2 << 0x08004000u << QByteArray();
    QTest::newRow("checksum half missing") << ela + abcRecord.left(abcRecord.size() - 2) + "\n"
                                           << -14 << 2 << 0x08004000u << QByteArray();
    QTest::newRow("checksum not hexadecimal") << ela + abcRecord.left(abcRecord.size() - 3) + "G0\n"
                                              << -14 << 2 << 0x08004000u << QByteArray();

    // What may follow the checksum.
    QTest::newRow("spaces and a tab after the checksum")
        << ela + abcRecord.left(abcRecord.size() - 1) + " \t \n" + eof << 0 << 0 << 0x08004000u << abc;
    QTest::newRow("spaces before CR LF")
        << QByteArray(ela + abcRecord + eof).replace("\n", "  \r\n") << 0 << 0 << 0x08004000u << abc;
    QTest::newRow("characters after the checksum")
        << ela + abcRecord + nextRecord + "x\n" + eof << -12 << 3 << 0x08004000u << abc;
    QTest::newRow("a second record on the line") << ela + abcRecord.left(abcRecord.size() - 1) + nextRecord + "\n"
                                                 << -12 << 2 << 0x08004000u << QByteArray();
    QTest::newRow("characters after white space") << ela + abcRecord.left(abcRecord.size() - 1) + " ;\n"
                                                  << -12 << 2 << 0x08004000u << QByteArray();
    QTest::newRow("CR inside the line") << ela + abcRecord.left(abcRecord.size() - 1) + "\rFF\n"
                                        << -12 << 2 << 0x08004000u << QByteArray();

    // Byte counts fixed by the record type.
    QTest::newRow("end record with a data byte") << ela + abcRecord + record(1, 0, QByteArray(1, '\0')) + "\n"
                                                 << -11 << 3 << 0x08004000u << abc;
    QTest::newRow("extended segment address of 1 byte") << ela + abcRecord + record(2, 0, "\x10") + "\n"
                                                        << -11 << 3 << 0x08004000u << abc;
    QTest::newRow("start segment address of 2 bytes")
        << ela + abcRecord + record(3, 0, QByteArray::fromHex("1000")) + "\n"
        << -11 << 3 << 0x08004000u << abc;
    QTest::newRow("extended linear address of 4 bytes")
        << record(4, 0, QByteArray::fromHex("08000000")) + "\n" + abcRecord << -11 << 1 << 0x08004000u << QByteArray();
    QTest::newRow("start linear address of 2 bytes")
        << ela + abcRecord + record(5, 0, QByteArray::fromHex("0800")) + "\n"
        << -11 << 3 << 0x08004000u << abc;

    // Line length.
    QTest::newRow("line longer than the limit")
        << ela + abcRecord + abcRecord.left(abcRecord.size() - 1) + QByteArray(1024, ' ') + "\n" + eof << -13 << 3
        << 0x08004000u << abc;
    QTest::newRow("line of the limit, line end included")
        << ela + abcRecord.left(abcRecord.size() - 1) + QByteArray(1024 - abcRecord.size(), ' ') + "\n" + eof << 0 << 0
        << 0x08004000u << abc;
    QTest::newRow("file without line ends")
        << ela + QByteArray(abcRecord + eof).replace("\n", " ").repeated(60) << -13 << 2 << 0x08004000u << QByteArray();

    QTest::newRow("without extended address the data stays below 64 KiB")
        << abcRecord + eof << -9 << 0 << 0x08004000u << QByteArray();
    QTest::newRow("end record only") << eof << -9 << 0 << 0x08004000u << QByteArray();
    QTest::newRow("empty file") << QByteArray("") << -9 << 0 << 0x08004000u << QByteArray();
    QTest::newRow("record crossing the start of the window")
        << ela + record(0, 0x3FFC, abc) + "\n" + eof << 0 << 0 << 0x08003FFCu << abc;
    QTest::newRow("record crossing the end of the window")
        << extendedLinearAddress(0x0801) + "\n" + record(0, 0xFFFC, abc) + "\n" + eof << 0 << 0 << 0x0801FFFCu << abc;
    // Wrapping at 64 KiB would put the last four bytes at 0x08000000,
    // outside the window, instead of at 0x08010000.
    QTest::newRow("record crossing 64 KiB, no wrap")
        << ela + record(0, 0xFFFC, abc) + "\n" + eof << 0 << 0 << 0x0800FFFCu << abc;
    QTest::newRow("last of several extended addresses counts")
        << extendedLinearAddress(0x0900) + "\n" + ela + abcRecord + eof << 0 << 0 << 0x08004000u << abc;
}

void TestHexToBin::handMade()
{
    QFETCH(QByteArray, text);
    QFETCH(int, expectedResult);
    QFETCH(int, expectedLine);
    QFETCH(quint32, dataAddress);
    QFETCH(QByteArray, storedData);

    const QString hexName = dir->filePath("hand.hex");
    QVERIFY(HexFiles::writeFile(hexName, text));
    // The window is 0x08004000..0x0801FFFF, as for the application region.
    QByteArray window(0x1C000, Fill);
    const HexToBinResult result =
        readHexWindow(hexName, reinterpret_cast<unsigned char *>(window.data()), 0x08004000, 0x0801FFFF);
    QCOMPARE(result.code, expectedResult);
    QCOMPARE(result.line, expectedLine);
    // Rows that store nothing expect the window untouched.
    QCOMPARE(window, expectedWindow(0x08004000, 0x0801FFFF, dataAddress, storedData));
    // The thin form gives the same code and stores the same bytes.
    const Read read = readWindow(hexName, 0x08004000, 0x0801FFFF);
    QCOMPARE(read.result, expectedResult);
    QCOMPARE(read.window, window);
}

void TestHexToBin::recordLength_data()
{
    QTest::addColumn<int>("perRecord");
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<int>("expectedResult");
    QTest::addColumn<int>("storedBytes");

    QTest::newRow("20, LF") << 20 << QByteArray("\n") << 0 << 600;
    QTest::newRow("25, LF") << 25 << QByteArray("\n") << 0 << 600;
    QTest::newRow("25, CR LF: 63 bytes exactly") << 25 << QByteArray("\r\n") << 0 << 600;
    // Lines past 63 bytes: once cut into pieces, the checksum and line end of
    // a 26- or 27-byte record read as a short line, longer ones lost data.
    QTest::newRow("26, LF") << 26 << QByteArray("\n") << 0 << 600;
    QTest::newRow("26, CR LF") << 26 << QByteArray("\r\n") << 0 << 600;
    QTest::newRow("27, LF") << 27 << QByteArray("\n") << 0 << 600;
    QTest::newRow("28, LF") << 28 << QByteArray("\n") << 0 << 600;
    QTest::newRow("32, LF") << 32 << QByteArray("\n") << 0 << 600;
    QTest::newRow("32, CR LF") << 32 << QByteArray("\r\n") << 0 << 600;
    QTest::newRow("64, LF") << 64 << QByteArray("\n") << 0 << 600;
    QTest::newRow("128, CR LF") << 128 << QByteArray("\r\n") << 0 << 600;
    QTest::newRow("255, LF") << 255 << QByteArray("\n") << 0 << 600;
    QTest::newRow("255, CR LF") << 255 << QByteArray("\r\n") << 0 << 600;
}

void TestHexToBin::recordLength()
{
    QFETCH(int, perRecord);
    QFETCH(QByteArray, lineEnd);
    QFETCH(int, expectedResult);
    QFETCH(int, storedBytes);

    const QByteArray data = HexFiles::randomBytes(600, quint32(perRecord));
    QByteArray text = HexFiles::hexText(0x08004000, data, perRecord);
    text.replace("\n", lineEnd);
    const QString hexName = dir->filePath("long.hex");
    QVERIFY(HexFiles::writeFile(hexName, text));

    const Read read = readWindow(hexName, 0x08004000, 0x0801FFFF);
    QCOMPARE(read.result, expectedResult);
    QCOMPARE(read.window, expectedWindow(0x08004000, 0x0801FFFF, 0x08004000, data, storedBytes));
}

// Extended segment addresses reach the first MiB: a window there shows where
// the data lands.
void TestHexToBin::segmentAddress_data()
{
    using namespace HexFiles;
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<quint32>("dataAddress");

    const QByteArray abc = QByteArray::fromHex("0102030405060708");
    const QByteArray eof = endOfFile() + "\n";
    const auto segment = [](const char *value) { return record(2, 0, QByteArray::fromHex(value)) + "\n"; };
    QTest::newRow("value times 16") << segment("1234") + record(0, 0x0010, abc) + "\n" + eof << 0x12350u;
    QTest::newRow("segment 0") << segment("0000") + record(0, 0x0010, abc) + "\n" + eof << 0x00010u;
    QTest::newRow("top segment") << segment("F000") + record(0, 0xFF00, abc) + "\n" + eof << 0xFFF00u;
    QTest::newRow("lower-case value") << segment("1234").toLower() + record(0, 0x0010, abc) + "\n" + eof << 0x12350u;
    QTest::newRow("a later segment replaces a linear address")
        << extendedLinearAddress(0x0008) + "\n" + segment("2000") + record(0, 0x0004, abc) + "\n" + eof << 0x20004u;
    QTest::newRow("a later linear address replaces a segment")
        << segment("2000") + extendedLinearAddress(0x0008) + "\n" + record(0, 0x0004, abc) + "\n" + eof << 0x80004u;
    QTest::newRow("start segment address between data changes nothing")
        << segment("1000") + record(3, 0, QByteArray::fromHex("12345678")) + "\n" + record(0, 0x0004, abc) + "\n" + eof
        << 0x10004u;
}

void TestHexToBin::segmentAddress()
{
    QFETCH(QByteArray, text);
    QFETCH(quint32, dataAddress);

    const QString hexName = dir->filePath("segment.hex");
    QVERIFY(HexFiles::writeFile(hexName, text));
    const QByteArray abc = QByteArray::fromHex("0102030405060708");
    const Read read = readWindow(hexName, 0x00000, 0xFFFFF);
    QCOMPARE(read.result, 0);
    QCOMPARE(read.window, expectedWindow(0x00000, 0xFFFFF, dataAddress, abc));
}

// One read into several windows: every byte goes to each window that holds
// its address, and the bytes in none are counted.
void TestHexToBin::severalWindows_data()
{
    QTest::addColumn<quint32>("dataAddress");
    QTest::addColumn<int>("size");
    QTest::addColumn<qint64>("firstStored");
    QTest::addColumn<qint64>("secondStored");
    QTest::addColumn<qint64>("outside");

    // Windows 0x08004000..0x08004FFF and 0x08004800..0x080057FF (overlapping).
    QTest::newRow("in the first only") << 0x08004000u << 0x800 << qint64(0x800) << qint64(0) << qint64(0);
    QTest::newRow("in both where they overlap") << 0x08004800u << 0x800 << qint64(0x800) << qint64(0x800) << qint64(0);
    QTest::newRow("in the second only") << 0x08005000u << 0x800 << qint64(0) << qint64(0x800) << qint64(0);
    QTest::newRow("before, through and after both")
        << 0x08003F00u << 0x1A00 << qint64(0x1000) << qint64(0x1000) << qint64(0x100 + 0x100);
    QTest::newRow("in neither") << 0x08010000u << 0x123 << qint64(0) << qint64(0) << qint64(0x123);
}

void TestHexToBin::severalWindows()
{
    QFETCH(quint32, dataAddress);
    QFETCH(int, size);
    QFETCH(qint64, firstStored);
    QFETCH(qint64, secondStored);
    QFETCH(qint64, outside);

    const QByteArray data = HexFiles::randomBytes(size, dataAddress);
    const QString hexName = dir->filePath("windows.hex");
    QVERIFY(HexFiles::writeFile(hexName, HexFiles::hexText(dataAddress, data, 32)));
    QByteArray first(0x1000, Fill);
    QByteArray second(0x1000, Fill);
    QList<HexWindow> windows{{reinterpret_cast<unsigned char *>(first.data()), 0x08004000, 0x08004FFF, 0},
                             {reinterpret_cast<unsigned char *>(second.data()), 0x08004800, 0x080057FF, 0}};
    const HexToBinResult result = readHexWindows(hexName, windows);
    QCOMPARE(result.code, 0);
    QCOMPARE(result.line, 0);
    QCOMPARE(windows.at(0).storedBytes, firstStored);
    QCOMPARE(windows.at(1).storedBytes, secondStored);
    QCOMPARE(result.outsideBytes, outside);
    QCOMPARE(first, expectedWindow(0x08004000, 0x08004FFF, dataAddress, data));
    QCOMPARE(second, expectedWindow(0x08004800, 0x080057FF, dataAddress, data));
}

void TestHexToBin::fileThatCannotBeOpened()
{
    const Read read = readWindow(dir->filePath("missing.hex"), 0x08000000, 0x08003FFF);
    QCOMPARE(read.result, -8);
    QCOMPARE(read.window, QByteArray(0x4000, Fill));
}

QTEST_GUILESS_MAIN(TestHexToBin)
#include "test_hextobin.moc"
