// The Intel HEX reader against the tools that write and read HEX files:
// files written at test time by srec_cat, objcopy and python3-intelhex, with
// data in both regions of the upgrade image and outside them, are read by
// readHexWindows and by intelhex, and must give the same bytes; the same
// files with one checksum digit or one data digit changed must be refused by
// both.
#include "FailOnWarnings.h"
#include "HexFiles.h"
#include "firmware/HexToBin.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr char Fill = char(0xA5);

// Data placed into every file: two pieces outside the regions (a bootloader
// and a piece behind the external flash region) and one in each region.
struct Piece {
    const char *name;
    quint32 address;
    int size;
};
constexpr Piece Pieces[] = {
    {"boot", 0x08000000, 0x0200},
    {"application", 0x08004000, 0x2345},
    {"external", 0x08020000, 0x1234},
    {"tail", 0x08034000, 0x0080},
};

// The windows both readers are compared over: the application and external
// flash regions, and the first MiB, where segment addresses reach.
struct Window {
    quint32 first;
    quint32 last;
};
constexpr Window Windows[] = {
    {0x08004000, 0x0801FFFF},
    {0x08020000, 0x08033FFF},
    {0x00000000, 0x000FFFFF},
};

// intelhex's reading of a file: exits 2 with its error when it refuses the
// file, else writes each window (gaps as 0xA5) to <out>.<n> and prints the
// number of data bytes in no window.
const char ReadScript[] = R"(
import sys
from intelhex import IntelHex
windows = [(0x08004000, 0x0801FFFF), (0x08020000, 0x08033FFF), (0x00000000, 0x000FFFFF)]
try:
    ih = IntelHex(sys.argv[1])
except Exception as error:
    print(type(error).__name__, error)
    sys.exit(2)
ih.padding = 0xA5
inside = 0
for n, (first, last) in enumerate(windows):
    with open("%s.%d" % (sys.argv[2], n), "wb") as f:
        f.write(ih.tobinstr(start=first, end=last))
    inside += sum(1 for a in ih.addresses() if first <= a <= last)
print(len(ih) - inside)
)";

// intelhex's writing: the pieces given as name=address pairs, records of
// byte_count bytes, and a start address (CS:IP writes type 03, EIP type 05).
const char WriteScript[] = R"(
import sys
from intelhex import IntelHex
out, byte_count, start = sys.argv[1], int(sys.argv[2]), sys.argv[3]
ih = IntelHex()
for piece in sys.argv[4:]:
    name, address = piece.split("=")
    with open(name, "rb") as f:
        ih.frombytes(f.read(), offset=int(address, 16))
if start.startswith("CS:"):
    cs, ip = start[3:].split(":")
    ih.start_addr = {"CS": int(cs, 16), "IP": int(ip, 16)}
elif start.startswith("EIP:"):
    ih.start_addr = {"EIP": int(start[4:], 16)}
ih.write_hex_file(out, byte_count=byte_count)
)";

// The corrupt variants: one digit changed; or a copy of a data record put
// right after it, the same or with one data byte changed (and a checksum
// that holds).
enum class Corruption { None, ChecksumDigit, DataDigit, OverlapSame, OverlapDifferent };

// A record line with its checksum made to hold again.
QByteArray withChecksum(QByteArray line)
{
    line = line.trimmed();
    const QByteArray body = QByteArray::fromHex(line.mid(1, line.size() - 3));
    quint8 sum = 0;
    for (char byte : body)
        sum = quint8(sum + quint8(byte));
    return line.left(line.size() - 2) + QByteArray::number(quint8(-sum), 16).rightJustified(2, '0').toUpper();
}

QString findPythonWithIntelHex()
{
    QStringList candidates{"/usr/bin/python3"};
    const QString onPath = QStandardPaths::findExecutable("python3");
    if (!onPath.isEmpty())
        candidates << onPath;
    for (const QString &python : candidates) {
        if (!QFileInfo(python).isExecutable())
            continue;
        QProcess probe;
        probe.start(python, {"-c", "import intelhex"});
        if (probe.waitForFinished(60000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
            return python;
    }
    return QString();
}

struct Run {
    bool finished = false;
    int exitCode = -1;
    QByteArray output;
};

Run runTool(const QString &program, const QStringList &arguments, const QString &workingDirectory)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Run run;
    run.finished = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.output = process.readAll();
    return run;
}

// The 1-based number of a data record line in the middle of the file.
int middleDataLine(const QList<QByteArray> &lines)
{
    QList<int> dataLines;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).size() > 11 && lines.at(i).mid(7, 2) == "00" && lines.at(i).mid(1, 2) != "00")
            dataLines << i + 1;
    }
    return dataLines.isEmpty() ? 0 : dataLines.at(dataLines.size() / 2);
}

char otherDigit(char digit)
{
    return digit == '0' ? '1' : '0';
}

} // namespace

Q_DECLARE_METATYPE(Corruption)

class TestHexPeers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void sameBytes_data();
    void sameBytes();

private:
    QString python;
    std::unique_ptr<QTemporaryDir> dir;
};

void TestHexPeers::initTestCase()
{
    python = findPythonWithIntelHex();
}

void TestHexPeers::init()
{
    failOnUnexpectedWarnings();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    for (const Piece &piece : Pieces)
        QVERIFY(HexFiles::writeFile(dir->filePath(QString(piece.name) + ".bin"),
                                    HexFiles::randomBytes(piece.size, piece.address)));
    // One raw binary from inside the bootloader area to behind the external
    // flash region, for objcopy -I binary.
    QVERIFY(HexFiles::writeFile(dir->filePath("span.bin"), HexFiles::randomBytes(0x30200, 77)));
    QVERIFY(HexFiles::writeFile(dir->filePath("write.py"), WriteScript));
    QVERIFY(HexFiles::writeFile(dir->filePath("read.py"), ReadScript));
}

void TestHexPeers::sameBytes_data()
{
    QTest::addColumn<QString>("tool");      // the program, looked up on PATH; "python" for intelhex
    QTest::addColumn<QStringList>("steps"); // commands run in the test's folder, ';'-separated arguments
    QTest::addColumn<Corruption>("corruption");

    // srec_cat places the binary pieces, in records of the given size.
    const QString srecPieces =
        "boot.bin;-binary;-offset;0x08000000;application.bin;-binary;-offset;0x08004000;"
        "external.bin;-binary;-offset;0x08020000;tail.bin;-binary;-offset;0x08034000;-o;out.hex;-intel";
    const QString pythonPieces = "boot.bin=08000000;application.bin=08004000;external.bin=08020000;tail.bin=08034000";
    struct Maker {
        const char *name;
        const char *tool;
        QStringList steps;
    };
    const QList<Maker> makers{
        {"srec_cat, 16 per record", "srec_cat", {srecPieces + ";-Output_Block_Size=16"}},
        {"srec_cat, 32 per record", "srec_cat", {srecPieces + ";-Output_Block_Size=32"}},
        {"srec_cat, 64 per record", "srec_cat", {srecPieces + ";-Output_Block_Size=64"}},
        {"srec_cat, 255 per record", "srec_cat", {srecPieces + ";-Output_Block_Size=255"}},
        {"srec_cat, segment addresses (type 02)",
         "srec_cat",
         {"application.bin;-binary;-offset;0x0E000;external.bin;-binary;-offset;0x30000;-o;out.hex;-intel;"
          "-address-length=3;-Output_Block_Size=32"}},
        {"objcopy, raw binary with changed addresses",
         "objcopy",
         {"-I;binary;-O;ihex;--change-addresses;0x08003F00;span.bin;out.hex"}},
        // An ELF with three sections and an entry point (type 05).
        {"objcopy, from an ELF",
         "objcopy",
         {"-I;binary;-O;elf32-little;--change-addresses;0x08004000;application.bin;application.elf",
          "-I;elf32-little;-O;elf32-little;--add-section;.ext=external.bin;--set-section-flags;"
          ".ext=alloc,load,contents;--change-section-address;.ext=0x08020000;--add-section;.boot=boot.bin;"
          "--set-section-flags;.boot=alloc,load,contents;--change-section-address;.boot=0x08000000;"
          "--set-start;0x08004101;application.elf;firmware.elf",
          "-I;elf32-little;-O;ihex;firmware.elf;out.hex"}},
        {"intelhex, 32 per record, start segment address (type 03)",
         "python",
         {"write.py;out.hex;32;CS:0800:4101;" + pythonPieces}},
        {"intelhex, 16 per record, start linear address",
         "python",
         {"write.py;out.hex;16;EIP:08004101;" + pythonPieces}},
        {"intelhex, 255 per record", "python", {"write.py;out.hex;255;none;" + pythonPieces}},
    };
    for (const Maker &maker : makers) {
        QTest::addRow("%s", maker.name) << maker.tool << maker.steps << Corruption::None;
        QTest::addRow("%s, a checksum digit changed", maker.name)
            << maker.tool << maker.steps << Corruption::ChecksumDigit;
        QTest::addRow("%s, a data digit changed", maker.name) << maker.tool << maker.steps << Corruption::DataDigit;
        QTest::addRow("%s, a record given twice", maker.name) << maker.tool << maker.steps << Corruption::OverlapSame;
        QTest::addRow("%s, a record given again with another byte", maker.name)
            << maker.tool << maker.steps << Corruption::OverlapDifferent;
    }
}

void TestHexPeers::sameBytes()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, steps);
    QFETCH(Corruption, corruption);

    if (python.isEmpty())
        QSKIP("python3 with the intelhex module (python3-intelhex) is not installed");
    const QString program = tool == "python" ? python : QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        QSKIP(qPrintable(tool + " is not installed"));

    for (const QString &step : steps) {
        const Run made = runTool(program, step.split(';'), dir->path());
        QVERIFY2(made.finished && made.exitCode == 0, made.output.constData());
    }
    const QString hexName = dir->filePath("out.hex");
    QByteArray text = HexFiles::readFile(hexName);
    QVERIFY(!text.isEmpty());

    // The reading of the file as made: a record given twice must read the same.
    const Run asMade = runTool(python, {dir->filePath("read.py"), hexName, dir->filePath("reference")}, dir->path());
    QVERIFY2(asMade.finished && asMade.exitCode == 0, asMade.output.constData());

    // The corrupt variants change one digit of a data record in the middle,
    // or give that record again right after it.
    QList<QByteArray> lines = text.split('\n');
    int changedLine = 0;
    const bool overlap = corruption == Corruption::OverlapSame || corruption == Corruption::OverlapDifferent;
    if (overlap) {
        changedLine = middleDataLine(lines);
        QVERIFY(changedLine > 0);
        QByteArray copy = lines.at(changedLine - 1).trimmed();
        if (corruption == Corruption::OverlapDifferent)
            copy[9] = otherDigit(copy.at(9));
        lines.insert(changedLine, withChecksum(copy));
        text = lines.join('\n');
        QVERIFY(HexFiles::writeFile(hexName, text));
        // srec_cat takes the same bytes again (with a warning) and refuses
        // other bytes for an address it has.
        const QString srecCat = QStandardPaths::findExecutable("srec_cat");
        if (!srecCat.isEmpty()) {
            const Run peer = runTool(srecCat, {hexName, "-intel", "-o", "/dev/null", "-binary"}, dir->path());
            QVERIFY(peer.finished);
            QVERIFY2((peer.exitCode == 0) == (corruption == Corruption::OverlapSame), peer.output.constData());
        }
    } else if (corruption != Corruption::None) {
        changedLine = middleDataLine(lines);
        QVERIFY(changedLine > 0);
        QByteArray &line = lines[changedLine - 1];
        const qsizetype digit = corruption == Corruption::ChecksumDigit ? line.trimmed().size() - 1 : 9;
        line[digit] = otherDigit(line.at(digit));
        text = lines.join('\n');
        QVERIFY(HexFiles::writeFile(hexName, text));
    }

    // intelhex refuses any address given twice, even with the same bytes.
    const Run reference =
        corruption == Corruption::OverlapSame
            ? asMade
            : runTool(python, {dir->filePath("read.py"), hexName, dir->filePath("reference")}, dir->path());
    QVERIFY(reference.finished);

    QList<QByteArray> buffers;
    QList<HexWindow> windows;
    for (const Window &window : Windows)
        buffers << QByteArray(int(window.last - window.first + 1), Fill);
    for (int i = 0; i < buffers.size(); ++i)
        windows.append({reinterpret_cast<unsigned char *>(buffers[i].data()), Windows[i].first, Windows[i].last, 0});
    const HexToBinResult result = readHexWindows(hexName, windows);

    if (corruption == Corruption::OverlapDifferent) {
        QVERIFY2(reference.exitCode == 2, reference.output.constData());
        QCOMPARE(result.code, HexOverlappingData);
        QCOMPARE(result.line, changedLine + 1);
        QCOMPARE(result.earlierLine, changedLine);
        return;
    }
    if (corruption == Corruption::ChecksumDigit || corruption == Corruption::DataDigit) {
        QVERIFY2(reference.exitCode == 2, reference.output.constData());
        QCOMPARE(result.code, HexChecksumMismatch);
        QCOMPARE(result.line, changedLine);
        return;
    }
    QVERIFY2(reference.exitCode == 0, reference.output.constData());
    QCOMPARE(result.code, 0);
    QCOMPARE(result.line, 0);
    for (int i = 0; i < buffers.size(); ++i) {
        const QByteArray expected = HexFiles::readFile(dir->filePath(QString("reference.%1").arg(i)));
        QCOMPARE(expected.size(), buffers.at(i).size());
        QVERIFY2(buffers.at(i) == expected, qPrintable(QString("window %1 differs").arg(i)));
    }
    QCOMPARE(result.outsideBytes, reference.output.trimmed().toLongLong());
    // Every file holds data in the compared windows.
    QVERIFY(windows.at(0).storedBytes + windows.at(1).storedBytes + windows.at(2).storedBytes > 0);
}

QTEST_GUILESS_MAIN(TestHexPeers)
#include "test_hex_peers.moc"
