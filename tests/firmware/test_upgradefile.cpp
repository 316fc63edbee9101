// Upgrade image and upgrade file: the region sums, the exact bytes of the
// file, the scrambling, and the reader's checks on foreign and damaged files.
#include "FailOnWarnings.h"
#include "HexFiles.h"
#include "firmware/FailureText.h"
#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"
#include "usb/Scrambling.h"

#include <QDataStream>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

quint32 wordAt(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// Sum of the little-endian words in [from, to), computed independently.
quint32 sumOfWords(const QByteArray &bytes, int from, int to)
{
    quint64 sum = 0;
    for (int offset = from; offset < to; offset += 4)
        sum += wordAt(bytes, offset);
    return quint32(sum & 0xFFFFFFFFu);
}

QByteArray decoded(QByteArray scrambled)
{
    DecodeBuffer(reinterpret_cast<unsigned char *>(scrambled.data()), unsigned(scrambled.size()));
    return scrambled;
}

// A random plain image whose region sums hold, as a reader demands.
QByteArray imageWithSums(quint32 seed)
{
    QByteArray image = HexFiles::randomBytes(0x40000, seed);
    UpgradeImage::storeRegionSums(reinterpret_cast<unsigned char *>(image.data()));
    return image;
}

QByteArray scrambled(QByteArray plain)
{
    EncodeBuffer(reinterpret_cast<unsigned char *>(plain.data()), unsigned(plain.size()));
    return plain;
}

// A file in the upgrade file's form with the given fields.
QByteArray streamed(const QString &header, const QString &version, const QByteArray &image)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << header << version << image;
    return bytes;
}

} // namespace

class TestUpgradeFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void imageFromHex();
    void dataOutsideBothWindows();
    void oneRegionWithoutData();
    void refusedHex_data();
    void refusedHex();
    void leftOutBytes_data();
    void leftOutBytes();
    void sumWordsReplaceHexData();
    void sumsWrapAround();
    void fileBytes();
    void roundTrip();
    void reader_data();
    void reader();
    void readerOfFileThatCannotBeOpened_data();
    void readerOfFileThatCannotBeOpened();
    void writeToImpossiblePlaceLeavesNothing();
    void failedWriteKeepsExistingFile();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TestUpgradeFile::init()
{
    failOnUnexpectedWarnings();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestUpgradeFile::imageFromHex()
{
    const QByteArray application = HexFiles::randomBytes(0x1C000, 1);
    const QByteArray external = HexFiles::randomBytes(0x14000, 2);
    const QByteArray bootloader = HexFiles::randomBytes(0x100, 3);
    const QString hexName = dir->filePath("fw.hex");
    QByteArray text = HexFiles::hexText(0x08004000, application);
    text.chop(HexFiles::endOfFile().size() + 1);
    text += HexFiles::hexText(0x08020000, external);
    text.chop(HexFiles::endOfFile().size() + 1);
    text += HexFiles::hexText(0x08000000, bootloader); // never taken into an upgrade image
    QVERIFY(HexFiles::writeFile(hexName, text));

    const UpgradeImage::FromHex built = UpgradeImage::fromHexFile(hexName);
    QCOMPARE(built.hex.code, 0);
    QCOMPARE(built.hex.outsideBytes, qint64(0x100)); // the bootloader's bytes, left out
    const QByteArray &image = built.image;
    QCOMPARE(image.size(), 0x40000);
    QCOMPARE(image.left(0x4000), QByteArray(0x4000, '\0'));
    QCOMPARE(image.mid(0x4000, 0x1C000 - 4), application.left(0x1C000 - 4));
    QCOMPARE(wordAt(image, 0x1FFFC), sumOfWords(application, 0, 0x1C000 - 4));
    QCOMPARE(image.mid(0x20000, 0x14000 - 4), external.left(0x14000 - 4));
    QCOMPARE(wordAt(image, 0x33FFC), sumOfWords(external, 0, 0x14000 - 4));
    QCOMPARE(image.mid(0x34000), QByteArray(0xC000, '\0'));
}

void TestUpgradeFile::dataOutsideBothWindows()
{
    const QString hexName = dir->filePath("outside.hex");
    QByteArray text = HexFiles::hexText(0x08000000, HexFiles::randomBytes(0x4000, 4));
    text.chop(HexFiles::endOfFile().size() + 1);
    text += HexFiles::hexText(0x08034000, HexFiles::randomBytes(0x100, 5));
    QVERIFY(HexFiles::writeFile(hexName, text));

    // Refused: the image would hold nothing of the file.
    const UpgradeImage::FromHex built = UpgradeImage::fromHexFile(hexName);
    QCOMPARE(built.hex.code, -9);
    QCOMPARE(built.hex.line, 0);
    QCOMPARE(built.hex.outsideBytes, qint64(0x4100));
    QCOMPARE(built.image, QByteArray(0x40000, '\0'));

    // Nor is such an image taken from a file made some other way.
    const QString upgName = dir->filePath("zero.upg");
    QVERIFY(UpgradeFile::write(upgName, built.image));
    const UpgradeFile::Contents contents = UpgradeFile::read(upgName);
    QCOMPARE(contents.status, UpgradeFile::Status::EmptyApplication);
    QVERIFY(contents.scrambledImage != built.image); // zeros are scrambled too
    QCOMPARE(decoded(contents.scrambledImage), built.image);
}

// A firmware without an external part is still a firmware.
void TestUpgradeFile::oneRegionWithoutData()
{
    const QString hexName = dir->filePath("application.hex");
    QVERIFY(HexFiles::writeFile(hexName, HexFiles::hexText(0x08004000, "\x01\x02\x03\x04")));
    const UpgradeImage::FromHex built = UpgradeImage::fromHexFile(hexName);
    QCOMPARE(built.hex.code, 0);
    QCOMPARE(wordAt(built.image, 0x4000), 0x04030201u);
    QCOMPARE(built.image.mid(0x20000, 0x14000), QByteArray(0x14000, '\0'));
}

// Refusals of fromHexFile: every reader failure with its line, and a file
// without application data even when the external flash region has some.
void TestUpgradeFile::refusedHex_data()
{
    using namespace HexFiles;
    QTest::addColumn<QByteArray>("text"); // null: the file does not exist
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("line");

    const QByteArray application = hexText(0x08004000, randomBytes(0x40, 13)); // 5 lines
    QByteArray external = hexText(0x08020000, randomBytes(0x40, 14));
    QByteArray merged = application;
    merged.chop(endOfFile().size() + 1);
    merged += external;
    QTest::newRow("external flash data only") << external << -15 << 0;
    QTest::newRow("external flash data and data outside both regions")
        << hexText(0x08000000, "boot").replace(endOfFile() + "\n", external) << -15 << 0;
    QTest::newRow("no data at all") << endOfFile() << -9 << 0;
    QTest::newRow("missing file") << QByteArray() << -8 << 0;
    QTest::newRow("application data all zeros") << hexText(0x08004000, QByteArray(0x40, '\0')) << -15 << 0;
    // Line 8 gives the external flash's first bytes (line 7) again, one of
    // them other; the same bytes again are taken.
    const QByteArray externalBytes = randomBytes(0x40, 14);
    const QByteArray firstExternal = record(0, 0x0000, externalBytes.left(16));
    QByteArray otherBytes = externalBytes.left(16);
    otherBytes[3] = char(otherBytes.at(3) ^ 0x5A);
    QByteArray again = merged;
    again.replace(firstExternal + "\n", firstExternal + "\n" + record(0, 0x0000, otherBytes) + "\n");
    QTest::newRow("external flash bytes given again, one other") << again << -16 << 8;
    // The defects lie in the external flash part, after all application
    // data: lines 1-5 hold the application, line 6 the external flash's
    // extended address, line 7 its first data record.
    const auto changeDigit = [](QByteArray text, int line, int column) {
        const QList<QByteArray> lines = text.split('\n');
        qsizetype at = column;
        for (int i = 0; i < line - 1; ++i)
            at += lines.at(i).size() + 1;
        text[at] = text.at(at) == '0' ? '1' : '0';
        return text;
    };
    const int checksumColumn = int(extendedLinearAddress(0x0802).size()) - 1;
    QTest::newRow("checksum digit changed in the external flash part")
        << changeDigit(merged, 6, checksumColumn) << -10 << 6;
    QTest::newRow("data digit changed") << changeDigit(merged, 7, 12) << -10 << 7;
    QTest::newRow("blank line")
        << QByteArray(merged).replace(extendedLinearAddress(0x0802), "\n" + extendedLinearAddress(0x0802)) << -1 << 6;
    QList<QByteArray> junk = hexText(0x08004000, randomBytes(0x40, 15), 32).split('\n');
    junk[2] += "x";
    QTest::newRow("32-byte record with trailing junk") << junk.join('\n') << -12 << 3;
}

void TestUpgradeFile::refusedHex()
{
    QFETCH(QByteArray, text);
    QFETCH(int, code);
    QFETCH(int, line);
    const QString hexName = dir->filePath("refused.hex");
    if (!text.isNull())
        QVERIFY(HexFiles::writeFile(hexName, text));
    const UpgradeImage::FromHex built = UpgradeImage::fromHexFile(hexName);
    QCOMPARE(built.hex.code, code);
    QCOMPARE(built.hex.line, line);
}

// Data outside both regions is left out and counted, the rest is taken.
void TestUpgradeFile::leftOutBytes_data()
{
    QTest::addColumn<quint32>("outsideAddress");
    QTest::addColumn<int>("outsideSize");

    QTest::newRow("nothing outside") << 0x08004000u << 0;
    QTest::newRow("a merged bootloader") << 0x08000000u << 0x4000;
    QTest::newRow("one byte before the application") << 0x08003FFFu << 1;
    QTest::newRow("between the regions is nothing: behind the external flash") << 0x08034000u << 0x123;
    QTest::newRow("low addresses") << 0x00000000u << 0x200;
}

void TestUpgradeFile::leftOutBytes()
{
    QFETCH(quint32, outsideAddress);
    QFETCH(int, outsideSize);
    const QByteArray application = HexFiles::randomBytes(0x1C000, 16);
    QByteArray text = HexFiles::hexText(0x08004000, application, 32);
    if (outsideSize > 0) {
        text.chop(HexFiles::endOfFile().size() + 1);
        text += HexFiles::hexText(outsideAddress, HexFiles::randomBytes(outsideSize, 17));
    }
    const QString hexName = dir->filePath("merged.hex");
    QVERIFY(HexFiles::writeFile(hexName, text));
    const UpgradeImage::FromHex built = UpgradeImage::fromHexFile(hexName);
    QCOMPARE(built.hex.code, 0);
    QCOMPARE(built.hex.outsideBytes, qint64(outsideSize));
    QCOMPARE(built.image.left(0x4000), QByteArray(0x4000, '\0'));
    QCOMPARE(built.image.mid(0x4000, 0x1C000 - 4), application.left(0x1C000 - 4));
    QCOMPARE(built.image.mid(0x34000), QByteArray(0xC000, '\0'));
}

void TestUpgradeFile::sumWordsReplaceHexData()
{
    const QByteArray ones(8, char(0x01));
    const QString hexName = dir->filePath("sums.hex");
    QByteArray text = HexFiles::hexText(0x0801FFF8, ones);
    text.chop(HexFiles::endOfFile().size() + 1);
    text += HexFiles::hexText(0x08033FF8, ones);
    QVERIFY(HexFiles::writeFile(hexName, text));

    const UpgradeImage::FromHex built = UpgradeImage::fromHexFile(hexName);
    // Only the word before each sum word counts; the HEX bytes at the sum
    // words themselves are replaced.
    QCOMPARE(wordAt(built.image, 0x1FFF8), 0x01010101u);
    QCOMPARE(wordAt(built.image, 0x1FFFC), 0x01010101u);
    QCOMPARE(wordAt(built.image, 0x33FF8), 0x01010101u);
    QCOMPARE(wordAt(built.image, 0x33FFC), 0x01010101u);
}

void TestUpgradeFile::sumsWrapAround()
{
    QByteArray image(0x40000, char(0xFF));
    UpgradeImage::storeRegionSums(reinterpret_cast<unsigned char *>(image.data()));
    // 28671 words of 0xFFFFFFFF sum to -28671 modulo 2^32, 20479 to -20479.
    QCOMPARE(wordAt(image, 0x1FFFC), quint32(0) - 28671u);
    QCOMPARE(wordAt(image, 0x33FFC), quint32(0) - 20479u);
    QCOMPARE(wordAt(image, 0x1FFF8), 0xFFFFFFFFu);
    QCOMPARE(wordAt(image, 0x20000), 0xFFFFFFFFu);
}

void TestUpgradeFile::fileBytes()
{
    const QByteArray plain = HexFiles::randomBytes(0x40000, 6);
    const QString upgName = dir->filePath("bytes.upg");
    QVERIFY(UpgradeFile::write(upgName, plain));
    const QByteArray file = HexFiles::readFile(upgName);

    QCOMPARE(file.size(), 262210);
    QByteArray header = QByteArray::fromHex("00000032");
    for (char c : QByteArray("Vt520 Upgrade File Header"))
        header += QByteArray(1, '\0') + c;
    header += QByteArray::fromHex("00000004"
                                  "00300031"
                                  "00040000");
    QCOMPARE(header.size(), 66);
    QCOMPARE(file.left(66), header);
    QCOMPARE(file.mid(62, 4), QByteArray::fromHex("00040000"));

    QByteArray expectedImage = plain;
    EncodeBuffer(reinterpret_cast<unsigned char *>(expectedImage.data()), unsigned(expectedImage.size()));
    QCOMPARE(file.mid(66), expectedImage);
    QCOMPARE(decoded(file.mid(66)), plain);
}

void TestUpgradeFile::roundTrip()
{
    const QByteArray plain = imageWithSums(7);
    const QString upgName = dir->filePath("round.upg");
    QVERIFY(UpgradeFile::write(upgName, plain));
    const UpgradeFile::Contents contents = UpgradeFile::read(upgName);
    QCOMPARE(contents.status, UpgradeFile::Status::Ok);
    QCOMPARE(decoded(contents.scrambledImage), plain);

    // Writing again over an existing file replaces it whole.
    const QByteArray other = imageWithSums(8);
    QVERIFY(UpgradeFile::write(upgName, other));
    QCOMPARE(decoded(UpgradeFile::read(upgName).scrambledImage), other);
}

void TestUpgradeFile::reader_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<UpgradeFile::Status>("expected");
    QTest::addColumn<QString>("text");

    const QString header = "Vt520 Upgrade File Header";
    const QByteArray image = scrambled(imageWithSums(9));
    const QByteArray good = streamed(header, "01", image);

    QTest::newRow("good") << good << UpgradeFile::Status::Ok << QString();
    QTest::newRow("trailing bytes are ignored") << good + "xyz" << UpgradeFile::Status::Ok << QString();
    QTest::newRow("other header")
        << streamed("Vt410 Programs File", "01", image) << UpgradeFile::Status::WrongHeader << "Wrong file header";
    QTest::newRow("header in other case")
        << streamed(header.toUpper(), "01", image) << UpgradeFile::Status::WrongHeader << "Wrong file header";
    QTest::newRow("empty file") << QByteArray() << UpgradeFile::Status::WrongHeader << "Wrong file header";
    QTest::newRow("cut inside the header") << good.left(20) << UpgradeFile::Status::WrongHeader << "Wrong file header";
    QTest::newRow("raw image without fields") << image << UpgradeFile::Status::WrongHeader << "Wrong file header";
    QTest::newRow("version 02")
        << streamed(header, "02", image) << UpgradeFile::Status::WrongVersion << "Wrong file version";
    QTest::newRow("cut after the header") << good.left(54) << UpgradeFile::Status::WrongVersion << "Wrong file version";
    QTest::newRow("cut after the version") << good.left(62) << UpgradeFile::Status::WrongSize << "Wrong file size";
    QTest::newRow("cut inside the image") << good.left(262209) << UpgradeFile::Status::WrongSize << "Wrong file size";
    QTest::newRow("image one byte short")
        << streamed(header, "01", image.left(0x3FFFF)) << UpgradeFile::Status::WrongSize << "Wrong file size";
    QTest::newRow("image one byte long")
        << streamed(header, "01", image + 'x') << UpgradeFile::Status::WrongSize << "Wrong file size";
    QTest::newRow("empty image")
        << streamed(header, "01", QByteArray()) << UpgradeFile::Status::WrongSize << "Wrong file size";
    QByteArray hugeLength = good;
    hugeLength.replace(62, 4, QByteArray::fromHex("7FFFFFF0"));
    QTest::newRow("image length far past the end") << hugeLength << UpgradeFile::Status::WrongSize << "Wrong file size";
    // Zeros add up to a zero sum: a unit's own check would pass them.
    QByteArray zeros(0x40000, '\0');
    QTest::newRow("application all zeros, sums holding")
        << streamed(header, "01", scrambled(zeros)) << UpgradeFile::Status::EmptyApplication
        << "The file  holds no application: its application region is all zeros. Nothing was sent to the Vt520.";
    zeros[0x1BFFB] = 1; // the application's last byte before its sum word
    UpgradeImage::storeRegionSums(reinterpret_cast<unsigned char *>(zeros.data()));
    QTest::newRow("application with one byte")
        << streamed(header, "01", scrambled(zeros)) << UpgradeFile::Status::Ok << QString();
}

void TestUpgradeFile::reader()
{
    QFETCH(QByteArray, file);
    QFETCH(UpgradeFile::Status, expected);
    QFETCH(QString, text);

    const QString upgName = dir->filePath("read.upg");
    QVERIFY(HexFiles::writeFile(upgName, file));
    const UpgradeFile::Contents contents = UpgradeFile::read(upgName);
    QCOMPARE(contents.status, expected);
    QCOMPARE(FailureText::upgradeFileRefusal(contents.status), text);
    // A damaged region still gives the image, for a report of the file.
    if (expected == UpgradeFile::Status::Ok || expected == UpgradeFile::Status::DamagedApplication
        || expected == UpgradeFile::Status::DamagedExternalFlash || expected == UpgradeFile::Status::EmptyApplication)
        QCOMPARE(contents.scrambledImage, file.mid(66, 0x40000));
    else
        QVERIFY(contents.scrambledImage.isEmpty());
}

void TestUpgradeFile::readerOfFileThatCannotBeOpened_data()
{
    QTest::addColumn<QString>("name"); // in the test's folder; empty: the folder itself
    QTest::newRow("missing") << "missing.upg";
    QTest::newRow("a folder") << "";
}

// Told apart from a foreign file, with the system's reason; the firmware
// change still says "Wrong file header" for it.
void TestUpgradeFile::readerOfFileThatCannotBeOpened()
{
    QFETCH(QString, name);
    const UpgradeFile::Contents contents = UpgradeFile::read(name.isEmpty() ? dir->path() : dir->filePath(name));
    QCOMPARE(contents.status, UpgradeFile::Status::CannotOpen);
    QVERIFY(!contents.reason.isEmpty());
    QVERIFY(contents.scrambledImage.isEmpty());
    QCOMPARE(FailureText::upgradeFileRefusal(contents.status), QStringLiteral("Wrong file header"));
}

void TestUpgradeFile::writeToImpossiblePlaceLeavesNothing()
{
    const QString upgName = dir->filePath("no/such/folder/x.upg");
    QVERIFY(!UpgradeFile::write(upgName, QByteArray(0x40000, '\0')));
    QVERIFY(!QFile::exists(upgName));
    // A folder in the way of the target.
    QVERIFY(QDir(dir->path()).mkdir("taken.upg"));
    QVERIFY(!UpgradeFile::write(dir->filePath("taken.upg"), QByteArray(0x40000, '\0')));
    QVERIFY(QFileInfo(dir->filePath("taken.upg")).isDir());
}

void TestUpgradeFile::failedWriteKeepsExistingFile()
{
    const QString upgName = dir->filePath("kept.upg");
    QVERIFY(HexFiles::writeFile(upgName, "old contents"));
    // An image of the wrong size is refused before the target is touched.
    QVERIFY(!UpgradeFile::write(upgName, QByteArray(100, '\0')));
    QCOMPARE(HexFiles::readFile(upgName), QByteArray("old contents"));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"kept.upg"});
}

QTEST_GUILESS_MAIN(TestUpgradeFile)
#include "test_upgradefile.moc"
