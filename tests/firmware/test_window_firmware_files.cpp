// The window's firmware file commands: making upgrade files and bootloader
// image series, with their questions, log lines, boxes and files; and the
// firmware change command cancelled at its file question.
#include "FailOnWarnings.h"
#include "HexFiles.h"
#include "ScriptedQuestions.h"
#include "app/Vt410_bootloader.h"
#include "sim/Vt520Sim.h"
#include "usb/Scrambling.h"

#include <QDate>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtEndian>
#include <QtTest>

namespace {

QStringList logLines(Vt410_bootloader &window)
{
    const QString text = window.findChild<QTextBrowser *>("txt")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

// The upgrade image that a HEX file with these two regions must give,
// computed without the product code.
QByteArray expectedImage(const QByteArray &application, const QByteArray &external)
{
    QByteArray image(0x40000, '\0');
    image.replace(0x4000, 0x1C000, application);
    image.replace(0x20000, 0x14000, external);
    for (const auto &[offset, size] : {std::pair{0x4000, 0x1C000}, std::pair{0x20000, 0x14000}}) {
        quint32 sum = 0;
        for (int at = offset; at < offset + size - 4; at += 4)
            sum += qFromLittleEndian<quint32>(image.constData() + at);
        qToLittleEndian<quint32>(sum, image.data() + offset + size - 4);
    }
    return image;
}

// The smallest HEX file an image may be made from: one zero byte at the
// start of the bootloader area.
QByteArray oneZeroByte()
{
    return HexFiles::hexText(0x08000000, QByteArray(1, '\0'));
}

} // namespace

class TestWindowFirmwareFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void createUpg();
    void createUpgCancelled_data();
    void createUpgCancelled();
    void createUpgFromDefectiveHex_data();
    void createUpgFromDefectiveHex();
    void createUpgLeavesOutBytes();
    void createUpgUnwritableTarget();
    void hexFileRefused_data();
    void hexFileRefused();

    void bootBinSeries();
    void bootBinCountRange_data();
    void bootBinCountRange();
    void bootBinCancelled_data();
    void bootBinCancelled();
    void bootBinFromDefectiveHex();
    void bootBinUnwritableFile();

    void firmwareChangeCancelled();

private:
    QString writeHex(const QByteArray &text);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Vt410_bootloader> window;
    ScriptedQuestions *questions = nullptr;
    QString previousDir;
};

void TestWindowFirmwareFiles::init()
{
    failOnUnexpectedWarnings();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir->path())); // bootloader images go here
    vt520sim::Bus::instance().reset();
    window = std::make_unique<Vt410_bootloader>();
    auto scripted = std::make_unique<ScriptedQuestions>();
    questions = scripted.get();
    window->setQuestions(std::move(scripted));
}

void TestWindowFirmwareFiles::cleanup()
{
    window.reset();
    QDir::setCurrent(previousDir);
}

QString TestWindowFirmwareFiles::writeHex(const QByteArray &text)
{
    const QString name = dir->filePath("input.hex");
    return HexFiles::writeFile(name, text) ? name : QString();
}

void TestWindowFirmwareFiles::createUpg()
{
    const QByteArray application = HexFiles::randomBytes(0x1C000, 21);
    const QByteArray external = HexFiles::randomBytes(0x14000, 22);
    QByteArray text = HexFiles::hexText(0x08004000, application);
    text.chop(HexFiles::endOfFile().size() + 1);
    text += HexFiles::hexText(0x08020000, external);
    const QString hexName = writeHex(text);
    const QString upgName = dir->filePath("out.upg");

    window->findChild<QTextBrowser *>("txt")->append("from before");
    questions->answer(hexName);
    questions->answer(upgName);
    window->slotpushButtonCreateUpg(false);

    QCOMPARE(questions->asked.size(), 2);
    const auto &open = questions->asked.at(0);
    QCOMPARE(open.kind, ScriptedQuestions::OpenFile);
    QCOMPARE(open.title, "Open File");
    QCOMPARE(open.dir, "E:\\Projekty\\ARM\\Vt410\\out");
    QCOMPARE(open.filter, "Hex (*.hex)");
    const auto &save = questions->asked.at(1);
    QCOMPARE(save.kind, ScriptedQuestions::SaveFile);
    QCOMPARE(save.title, "Save File");
    QCOMPARE(save.dir, ".");
    QCOMPARE(save.filter, "Upg (*.upg)");
    QVERIFY(logLines(*window).isEmpty()); // cleared, and nothing said on success

    const QByteArray file = HexFiles::readFile(upgName);
    QCOMPARE(file.size(), 262210);
    QCOMPARE(file.mid(62, 4), QByteArray::fromHex("00040000"));
    QByteArray image = file.mid(66);
    DecodeBuffer(reinterpret_cast<unsigned char *>(image.data()), unsigned(image.size()));
    QCOMPARE(image, expectedImage(application.left(0x1C000), external.left(0x14000)));
}

void TestWindowFirmwareFiles::createUpgCancelled_data()
{
    QTest::addColumn<bool>("atOpen");
    QTest::newRow("open dialog") << true;
    QTest::newRow("save dialog") << false;
}

void TestWindowFirmwareFiles::createUpgCancelled()
{
    QFETCH(bool, atOpen);
    const QString hexName = writeHex(HexFiles::hexText(0x08004000, "abcd"));
    if (atOpen) {
        questions->cancel();
    } else {
        questions->answer(hexName);
        questions->cancel();
    }
    window->slotpushButtonCreateUpg(false);
    QCOMPARE(questions->asked.size(), atOpen ? 1 : 2);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{"input.hex"});
    QVERIFY(questions->messages().isEmpty());
}

void TestWindowFirmwareFiles::createUpgFromDefectiveHex_data()
{
    using namespace HexFiles;
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason"); // after "Line N: "

    const QByteArray ela = extendedLinearAddress(0x0800) + "\n";
    const QByteArray first = ela + record(0, 0x4000, "\x11\x22\x33\x44") + "\n";
    const QByteArray second = record(0, 0x4004, "\x55\x66\x77\x88");
    const QByteArray eof = endOfFile() + "\n";
    QTest::newRow("blank line, line 3") << first + "\n" + eof << -1 << "Line 3: A line is shorter than a record.";
    QTest::newRow("wrong checksum, line 3") << first + second.left(second.size() - 2) + "00\n" + eof << -10
                                            << "Line 3: The checksum does not match the record.";
    QTest::newRow("junk after the checksum, line 3")
        << first + second + " junk\n" + eof << -12 << "Line 3: Characters follow the checksum.";
    QTest::newRow("extended address of 4 bytes, line 1")
        << record(4, 0, QByteArray::fromHex("08000000")) + "\n" + first << -11
        << "Line 1: The byte count does not fit the record type.";
}

// Any defect refuses the file: one log line, one box with the line and the
// reason, no save question and no file, though records before it were read.
void TestWindowFirmwareFiles::createUpgFromDefectiveHex()
{
    QFETCH(QByteArray, text);
    QFETCH(int, code);
    QFETCH(QString, reason);
    const QString hexName = writeHex(text);
    const QString upgName = dir->filePath("partial.upg");
    questions->answer(hexName);
    questions->answer(upgName);
    window->slotpushButtonCreateUpg(false);

    const QString logLine = QString("HexToBin error: %1)").arg(code);
    QCOMPARE(logLines(*window), QStringList{logLine});
    const auto boxes = questions->messages();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.at(0).icon, QMessageBox::Critical);
    QCOMPARE(boxes.at(0).title, "Error");
    QCOMPARE(boxes.at(0).label,
             logLine + "\nNothing was made from the file " + QDir::toNativeSeparators(hexName) + ".\n" + reason);
    QCOMPARE(boxes.at(0).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(questions->asked.size(), 2); // the file question and the box
    QVERIFY(!QFile::exists(upgName));
}

// A HEX file that also holds a bootloader and data past the external flash:
// the log says how many bytes were left out, the image holds the rest.
void TestWindowFirmwareFiles::createUpgLeavesOutBytes()
{
    const QByteArray application = HexFiles::randomBytes(0x1C000, 24);
    QByteArray text = HexFiles::hexText(0x08000000, HexFiles::randomBytes(0x4000, 25), 32);
    text.chop(HexFiles::endOfFile().size() + 1);
    text += HexFiles::hexText(0x08004000, application, 32);
    text.chop(HexFiles::endOfFile().size() + 1);
    text += HexFiles::hexText(0x08034000, HexFiles::randomBytes(0x12, 26), 32);
    const QString hexName = writeHex(text);
    const QString upgName = dir->filePath("merged.upg");
    questions->answer(hexName);
    questions->answer(upgName);
    window->slotpushButtonCreateUpg(false);

    QCOMPARE(logLines(*window),
             QStringList{"Bytes of the file outside the application and external flash regions, left out: 16402."});
    QVERIFY(questions->messages().isEmpty());
    QByteArray image = HexFiles::readFile(upgName).mid(66);
    DecodeBuffer(reinterpret_cast<unsigned char *>(image.data()), unsigned(image.size()));
    QCOMPARE(image, expectedImage(application, QByteArray(0x14000, '\0')));
}

void TestWindowFirmwareFiles::createUpgUnwritableTarget()
{
    const QString hexName = writeHex(HexFiles::hexText(0x08004000, "abcd"));
    const QString upgName = dir->filePath("missing-folder/out.upg");
    questions->answer(hexName);
    questions->answer(upgName);
    window->slotpushButtonCreateUpg(false);

    const auto boxes = questions->messages();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.at(0).icon, QMessageBox::Critical);
    QCOMPARE(boxes.at(0).title, "File error");
    QVERIFY(boxes.at(0).label.contains(upgName));
    QVERIFY(!QFile::exists(upgName));
}

void TestWindowFirmwareFiles::hexFileRefused_data()
{
    QTest::addColumn<bool>("upgrade"); // Create Upg, else Create Boot Bin
    QTest::addColumn<QString>("hexName");
    QTest::addColumn<QByteArray>("text"); // written to hexName unless null
    QTest::addColumn<QString>("reason");
    const QString opened = "The file cannot be opened.";
    const QString noData = "The file holds no data for the device's address range.";
    // Data for the bootloader area and behind the external flash region only.
    const QByteArray outside = HexFiles::hexText(0x08000000, "boot")
                                   .replace(HexFiles::endOfFile() + "\n", HexFiles::hexText(0x08034000, "tail"));
    QTest::newRow("upgrade, missing file") << true << "missing.hex" << QByteArray() << opened;
    QTest::newRow("upgrade, end record only") << true << "input.hex" << HexFiles::endOfFile() << noData;
    QTest::newRow("upgrade, data outside both regions") << true << "input.hex" << outside << noData;
    // An all-zero application with its sum would pass for a firmware.
    QTest::newRow("upgrade, external flash data only")
        << true << "input.hex" << HexFiles::hexText(0x08020000, "extf")
        << "The file holds no data for the application region (0x08004000 to 0x0801FFFF).";
    QTest::newRow("upgrade, external flash data and data outside both regions")
        << true << "input.hex"
        << QByteArray(outside).replace(HexFiles::endOfFile() + "\n", HexFiles::hexText(0x08020000, "extf"))
        << "The file holds no data for the application region (0x08004000 to 0x0801FFFF).";
    QTest::newRow("bootloader, missing file") << false << "missing.hex" << QByteArray() << opened;
    QTest::newRow("bootloader, empty file") << false << "input.hex" << QByteArray("") << noData;
    QTest::newRow("bootloader, data outside the image")
        << false << "input.hex" << HexFiles::hexText(0x08004000, "appl") << noData;
}

// Nothing is written from a file that gives no data, and the box says why.
void TestWindowFirmwareFiles::hexFileRefused()
{
    QFETCH(bool, upgrade);
    QFETCH(QString, hexName);
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    const QString path = dir->filePath(hexName);
    if (!text.isNull())
        QVERIFY(HexFiles::writeFile(path, text));
    questions->answer(path);
    for (const QVariant &answer : QList<QVariant>{dir->filePath("out.upg"), "13", "11", 42, 3})
        questions->answer(answer);
    if (upgrade)
        window->slotpushButtonCreateUpg(false);
    else
        window->slotpushButtonCreateBootBin(false);

    const auto boxes = questions->messages();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.at(0).icon, QMessageBox::Critical);
    QCOMPARE(boxes.at(0).title, "File error");
    QCOMPARE(boxes.at(0).label, "Nothing was made from the file " + QDir::toNativeSeparators(path) + ".\n" + reason);
    QCOMPARE(questions->asked.size(), 2); // the file question and the box
    const QStringList files = QDir(dir->path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
    QCOMPARE(files, text.isNull() ? QStringList() : QStringList{hexName});
}

void TestWindowFirmwareFiles::bootBinSeries()
{
    const QByteArray code = HexFiles::randomBytes(0x4000, 23);
    // The HEX data also covers the serial's place, and goes on past the image.
    const QString hexName = writeHex(HexFiles::hexText(0x08000000, code + "past the end"));
    questions->answer(hexName);
    questions->answer("13");
    questions->answer("11");
    questions->answer(42);
    questions->answer(3);
    window->slotpushButtonCreateBootBin(false);

    QCOMPARE(questions->asked.size(), 5);
    const auto &open = questions->asked.at(0);
    QCOMPARE(open.kind, ScriptedQuestions::OpenFile);
    QCOMPARE(open.title, "Open Bootloader File");
    QCOMPARE(open.dir, ".");
    QCOMPARE(open.filter, "Hex (*.hex)");

    const QDate today = QDate::currentDate();
    const auto &year = questions->asked.at(1);
    QCOMPARE(year.kind, ScriptedQuestions::Item);
    QCOMPARE(year.title, "Production year");
    QCOMPARE(year.label, "Year(YY)");
    QCOMPARE(year.items.size(), 100);
    QCOMPARE(year.items.first(), "00");
    QCOMPARE(year.items.at(13), "13");
    QCOMPARE(year.items.last(), "99");
    QCOMPARE(year.value.toInt(), today.year() % 100);
    QCOMPARE(year.editable, false);

    const auto &month = questions->asked.at(2);
    QCOMPARE(month.title, "Production mont");
    QCOMPARE(month.label, "Month(MM)");
    QCOMPARE(month.items, (QStringList{"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12"}));
    QCOMPARE(month.items.at(month.value.toInt()).toInt(), today.month());
    QCOMPARE(month.editable, false);

    const auto &number = questions->asked.at(3);
    QCOMPARE(number.kind, ScriptedQuestions::Integer);
    QCOMPARE(number.title, "Production number");
    QCOMPARE(number.label, "Number(NNN)");
    QCOMPARE(number.value.toInt(), 1);
    QCOMPARE(number.minValue, 1);
    QCOMPARE(number.maxValue, 999);
    QCOMPARE(number.step, 1);

    const auto &count = questions->asked.at(4);
    QCOMPARE(count.title, "Iteration");
    QCOMPARE(count.label, "Count:");
    QCOMPARE(count.value.toInt(), 1);
    QCOMPARE(count.minValue, 1);
    QCOMPARE(count.maxValue, 999 - 42);
    QCOMPARE(count.step, 1);

    QCOMPARE(logLines(*window),
             (QStringList{"Vt410_bootloader::slotpushButtonCreateBootBin(bool t)", "prod_number 42", "iter 3",
                          "131100042", "New bootloader + serial:", "Vt520Bootloader_131100042.bin", "131100043",
                          "New bootloader + serial:", "Vt520Bootloader_131100043.bin", "131100044",
                          "New bootloader + serial:", "Vt520Bootloader_131100044.bin"}));
    for (const QByteArray serial : {"131100042", "131100043", "131100044"}) {
        const QByteArray image = HexFiles::readFile(dir->filePath("Vt520Bootloader_" + serial + ".bin"));
        QCOMPARE(image.size(), 0x4000);
        QCOMPARE(image.left(0x3FF0), code.left(0x3FF0));
        QCOMPARE(image.mid(0x3FF0, 9), serial);
        QCOMPARE(image.mid(0x3FF9), code.mid(0x3FF9));
    }
    QVERIFY(questions->messages().isEmpty());
}

void TestWindowFirmwareFiles::bootBinCountRange_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("countMaximum");
    QTest::addColumn<QString>("lastFile");
    QTest::newRow("998") << 998 << 1 << "Vt520Bootloader_990100998.bin";
    // An empty range: the dialog offers 1 only.
    QTest::newRow("999") << 999 << 0 << "Vt520Bootloader_990100999.bin";
}

void TestWindowFirmwareFiles::bootBinCountRange()
{
    QFETCH(int, first);
    QFETCH(int, countMaximum);
    QFETCH(QString, lastFile);
    questions->answer(writeHex(oneZeroByte()));
    questions->answer("99");
    questions->answer("01");
    questions->answer(first);
    questions->answer(1);
    window->slotpushButtonCreateBootBin(false);

    QCOMPARE(questions->asked.at(4).minValue, 1);
    QCOMPARE(questions->asked.at(4).maxValue, countMaximum);
    QCOMPARE(logLines(*window).last(), lastFile);
    QCOMPARE(QDir(dir->path()).entryList({"*.bin"}, QDir::Files), QStringList{lastFile});
    const QByteArray image = HexFiles::readFile(dir->filePath(lastFile));
    QCOMPARE(image, QByteArray(0x3FF0, '\0') + lastFile.mid(16, 9).toLatin1() + QByteArray(7, '\0'));
}

void TestWindowFirmwareFiles::bootBinCancelled_data()
{
    QTest::addColumn<int>("cancelAt");
    QTest::addColumn<QStringList>("lines");
    const QString trace = "Vt410_bootloader::slotpushButtonCreateBootBin(bool t)";
    QTest::newRow("file") << 0 << QStringList{trace};
    QTest::newRow("year") << 1 << QStringList{trace};
    QTest::newRow("month") << 2 << QStringList{trace};
    QTest::newRow("number") << 3 << QStringList{trace};
    QTest::newRow("count") << 4 << QStringList{trace, "prod_number 5"};
}

void TestWindowFirmwareFiles::bootBinCancelled()
{
    QFETCH(int, cancelAt);
    QFETCH(QStringList, lines);
    const QList<QVariant> answers{writeHex(oneZeroByte()), "20", "05", 5, 2};
    for (int i = 0; i < answers.size(); ++i) {
        if (i == cancelAt)
            questions->cancel();
        else
            questions->answer(answers.at(i));
    }
    window->slotpushButtonCreateBootBin(false);
    QCOMPARE(questions->asked.size(), cancelAt + 1);
    QCOMPARE(logLines(*window), lines);
    QVERIFY(QDir(dir->path()).entryList({"*.bin"}, QDir::Files).isEmpty());
}

void TestWindowFirmwareFiles::bootBinFromDefectiveHex()
{
    questions->answer(writeHex("not a record\n"));
    questions->answer("13");
    window->slotpushButtonCreateBootBin(false);

    QCOMPARE(questions->asked.size(), 2); // the file question and the box
    const auto boxes = questions->messages();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.at(0).icon, QMessageBox::Critical);
    QCOMPARE(boxes.at(0).title, "Error");
    QCOMPARE(boxes.at(0).label, "HexToBin error: -2)\nNothing was made from the file "
                                    + QDir::toNativeSeparators(dir->filePath("input.hex"))
                                    + ".\nLine 1: A line does not begin with ':'.");
    QCOMPARE(logLines(*window),
             (QStringList{"Vt410_bootloader::slotpushButtonCreateBootBin(bool t)", "HexToBin error: -2)"}));
    QVERIFY(QDir(dir->path()).entryList({"*.bin"}, QDir::Files).isEmpty());
}

void TestWindowFirmwareFiles::bootBinUnwritableFile()
{
    // A folder stands where the second image should go.
    QVERIFY(QDir(dir->path()).mkdir("Vt520Bootloader_131100043.bin"));
    questions->answer(writeHex(oneZeroByte()));
    questions->answer("13");
    questions->answer("11");
    questions->answer(42);
    questions->answer(3);
    window->slotpushButtonCreateBootBin(false);

    const auto boxes = questions->messages();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.at(0).title, "File error");
    QVERIFY(boxes.at(0).label.contains("Vt520Bootloader_131100043.bin"));
    QCOMPARE(logLines(*window),
             (QStringList{"Vt410_bootloader::slotpushButtonCreateBootBin(bool t)", "prod_number 42", "iter 3",
                          "131100042", "New bootloader + serial:", "Vt520Bootloader_131100042.bin", "131100043"}));
    QCOMPARE(QDir(dir->path()).entryList({"*.bin"}, QDir::Files), QStringList{"Vt520Bootloader_131100042.bin"});
}

void TestWindowFirmwareFiles::firmwareChangeCancelled()
{
    auto &bus = vt520sim::Bus::instance();
    bus.addVt520(1, 1);
    const QStringList bars{"progressBarFlash", "progressBarExtFlashWr", "progressBarExtFlashRd"};
    for (const QString &bar : bars)
        window->findChild<QProgressBar *>(bar)->setValue(40);

    questions->cancel();
    window->slotpushButtonCHF(false);
    QCOMPARE(questions->asked.size(), 1);
    QCOMPARE(questions->asked.at(0).kind, ScriptedQuestions::OpenFile);
    QCOMPARE(questions->asked.at(0).title, "Open File");
    QCOMPARE(questions->asked.at(0).dir, ".");
    QCOMPARE(questions->asked.at(0).filter, "Upg (*.upg)");
    for (const QString &bar : bars)
        QCOMPARE(window->findChild<QProgressBar *>(bar)->value(), 0);

    window.reset(); // waits for the (empty) run
    QCoreApplication::processEvents();
    QVERIFY(bus.transferLog().isEmpty());
}

QTEST_MAIN(TestWindowFirmwareFiles)
#include "test_window_firmware_files.moc"
