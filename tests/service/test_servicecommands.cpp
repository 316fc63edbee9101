// The service commands of the Settings tab against the device emulator:
// connection, status word, raw memory and external flash tools.
#include "FailOnWarnings.h"
#include "app/Vt410_bootloader.h"

#include "ScriptedQuestions.h"
#include "sim/Vt520Sim.h"
#include "usb/HexDump.h"
#include "usb/Scrambling.h"
#include "app/ServiceDialogValues.h"

#include <QProgressBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include <libusb.h>

using Command = void (Vt410_bootloader::*)(bool);
Q_DECLARE_METATYPE(Command)

namespace {

const QString Zeros29 = QString(29, QLatin1Char('0'));
const QString Zeros31 = QString(31, QLatin1Char('0'));

// The rows of a dump, without the header that carries a host address.
QStringList dumpRows(const QString &text)
{
    QStringList rows;
    for (const QString &line : text.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("0x")))
            rows.append(line);
    return rows;
}

QStringList expectedRows(const QByteArray &bytes)
{
    return dumpRows(
        QString::fromLatin1(HexDump(reinterpret_cast<const unsigned char *>(bytes.constData()), int(bytes.size()))));
}

QByteArray scrambled(QByteArray bytes)
{
    EncodeBuffer(reinterpret_cast<unsigned char *>(bytes.data()), unsigned(bytes.size()));
    return bytes;
}

QByteArray patternBytes(int length, int seed)
{
    QByteArray bytes(length, '\0');
    for (int i = 0; i < length; ++i)
        bytes[i] = char((i * 37 + seed) & 0xFF);
    return bytes;
}

// Collects the debug channel's lines while it lives.
class TraceRecorder
{
public:
    TraceRecorder()
    {
        lines().clear();
        previous = qInstallMessageHandler(&TraceRecorder::record);
    }
    ~TraceRecorder() { qInstallMessageHandler(previous); }

    static QStringList &lines()
    {
        static QStringList recorded;
        return recorded;
    }

private:
    static void record(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtDebugMsg)
            lines().append(message);
    }

    QtMessageHandler previous = nullptr;
};

// True when expected appear in lines in this order (other lines between).
bool inOrder(const QStringList &lines, const QStringList &expected)
{
    int next = 0;
    for (const QString &line : lines)
        if (next < expected.size() && line == expected.at(next))
            ++next;
    return next == expected.size();
}

} // namespace

class TestServiceCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void connect_data();
    void connect();
    void statusGet_data();
    void statusGet();
    void statusSetClr_data();
    void statusSetClr();
    void statusSetShowsMaskNotStatus();
    void runApplication();

    void firstDialogs_data();
    void firstDialogs();
    void extFlashReadRemembered();
    void rememberedAcrossRebuiltWindow();
    void conversionError_data();
    void conversionError();
    void cancelMovesNothing_data();
    void cancelMovesNothing();

    void readShowsMemory();
    void failedReadShowsZeros();
    void partlyFailedReadShowsZerosForTheRest();
    void writeSendsTestBlock();
    void writePage();
    void writeExternalFlashFill();
    void readExternalFlash();
    void readExternalFlashFailure();
    void writeExtFlashBin_data();
    void writeExtFlashBin();
    void writeExtFlashBinTransferFailures_data();
    void writeExtFlashBinTransferFailures();
    void writeExtFlashBinDetectsCorruption();
    void traceLines_data();
    void traceLines();

private:
    void newWindow();
    QString logText() const;

    vt520sim::Bus &bus = vt520sim::Bus::instance();
    vt520sim::Device *vt = nullptr;
    std::unique_ptr<Vt410_bootloader> window;
    ScriptedQuestions *questions = nullptr;
    QTextBrowser *txt = nullptr;
    QTemporaryDir files;
};

void TestServiceCommands::newWindow()
{
    window = std::make_unique<Vt410_bootloader>();
    auto scripted = std::make_unique<ScriptedQuestions>();
    questions = scripted.get();
    window->setQuestions(std::move(scripted));
    txt = window->findChild<QTextBrowser *>(QStringLiteral("txt"));
    QVERIFY(txt);
}

QString TestServiceCommands::logText() const
{
    return txt->toPlainText();
}

void TestServiceCommands::init()
{
    failOnUnexpectedWarnings();
    QVERIFY(files.isValid());
    ServiceDialogValues::remembered() = ServiceDialogValues{};
    bus.reset();
    bus.useVirtualClock(true);
    vt = &bus.addVt520(1, 1);
    newWindow();
    bus.clearTransferLog();
}

void TestServiceCommands::cleanup()
{
    window.reset();
    questions = nullptr;
    txt = nullptr;
}

// ---- connection and status -------------------------------------------------

void TestServiceCommands::connect_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("line");

    QTest::newRow("device attached") << true << "Connect OK";
    QTest::newRow("no device") << false << "Connect ERROR";
}

void TestServiceCommands::connect()
{
    QFETCH(bool, present);
    QFETCH(QString, line);

    if (!present)
        vt->unplug();
    txt->append(QStringLiteral("before"));
    window->slotpushButtonConnect(false);
    QCOMPARE(logText(), QStringLiteral("before\n") + line);
    QCOMPARE(bus.requestCount(255), present ? 1 : 0);
}

void TestServiceCommands::statusGet_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<quint32>("status");
    QTest::addColumn<QString>("line");

    QTest::newRow("five") << true << 5u << "Status: " + Zeros29 + "101";
    QTest::newRow("zero") << true << 0u << "Status: " + QString(32, QLatin1Char('0'));
    QTest::newRow("top bit") << true << 0x80000000u << "Status: 1" + Zeros31;
    QTest::newRow("all bits") << true << 0xFFFFFFFFu << "Status: " + QString(32, QLatin1Char('1'));
    QTest::newRow("device gone") << false << 5u << "Status: ERROR";
}

void TestServiceCommands::statusGet()
{
    QFETCH(bool, present);
    QFETCH(quint32, status);
    QFETCH(QString, line);

    vt->setStatus(status);
    // Without Connect first: the transfer connects by itself.
    window->slotpushButtonConnect(false);
    if (!present)
        vt->unplug();
    window->slotpushButtonStatusGet(false);
    QCOMPARE(logText().split(QLatin1Char('\n')).last(), line);
}

void TestServiceCommands::statusSetClr_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<bool>("present");
    QTest::addColumn<quint32>("statusBefore");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("statusAfter");

    const Command set = &Vt410_bootloader::slotpushButtonStatusSet;
    const Command clr = &Vt410_bootloader::slotpushButtonStatusClr;
    const QString high = QStringLiteral("Status: 1") + QString(28, QLatin1Char('0'));
    QTest::newRow("set") << set << true << 0x80000006u << "StatusSet(" + Zeros31 + "1)" << high + "111";
    QTest::newRow("clear") << clr << true << 0x80000007u << "StatusClr(" + Zeros31 + "1)" << high + "110";
    QTest::newRow("set, device gone") << set << false << 0u << "StatusSet() ERROR" << QString();
    QTest::newRow("clear, device gone") << clr << false << 0u << "StatusClr() ERROR" << QString();
}

void TestServiceCommands::statusSetClr()
{
    QFETCH(Command, command);
    QFETCH(bool, present);
    QFETCH(quint32, statusBefore);
    QFETCH(QString, line);
    QFETCH(QString, statusAfter);

    vt->setStatus(statusBefore);
    if (!present)
        vt->unplug();
    txt->append(QStringLiteral("before"));
    (window.get()->*command)(false);
    // Appended, the pane is not emptied first.
    QCOMPARE(logText(), QStringLiteral("before\n") + line);
    if (!present)
        return;
    // Only the host-access bit moved on the device.
    window->slotpushButtonStatusGet(false);
    QCOMPARE(logText().split(QLatin1Char('\n')).last(), statusAfter);
}

void TestServiceCommands::statusSetShowsMaskNotStatus()
{
    const QString expected = QStringLiteral("StatusSet(") + Zeros31 + QStringLiteral("1)");
    for (quint32 before : {0u, 1u, 0xFFFFFFFFu}) {
        vt->setStatus(before);
        txt->clear();
        window->slotpushButtonStatusSet(false);
        QCOMPARE(logText(), expected);
    }
}

void TestServiceCommands::runApplication()
{
    vt->setMode(vt520sim::Mode::Bootloader);
    txt->append(QStringLiteral("before"));
    window->slotpushButtonRunApplication(false);
    QCOMPARE(bus.requestCount(4), 1);
    QCOMPARE(logText(), QStringLiteral("before"));
    // The device restarts in its application once it is back on the bus.
    bus.advanceClock(5000);
    QCOMPARE(vt->mode(), vt520sim::Mode::Application);
}

// ---- dialogs and remembered values ------------------------------------------

void TestServiceCommands::firstDialogs_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QVariantList>("defaults");
    QTest::addColumn<QList<int>>("ranges"); // min, max for each integer dialog

    const QString readTitle = QStringLiteral("Read From Vt350");
    const QString writeTitle = QStringLiteral("Write To External Flash Vt350");
    const QString extReadTitle = QStringLiteral("Read External Flash From Vt350");
    QTest::newRow("Read")
        << Command(&Vt410_bootloader::slotpushButtonRead) << QStringList{readTitle, readTitle}
        << QStringList{"Address (hex)", "Length (dec)"} << QVariantList{"0x8000000", 256} << QList<int>{1, 1048576};
    QTest::newRow("WritePage") << Command(&Vt410_bootloader::slotpushButtonWritePage) << QStringList{"Fill pattern"}
                               << QStringList{"Number (dec)"} << QVariantList{0} << QList<int>{0, 255};
    QTest::newRow("WriteExternalFlash")
        << Command(&Vt410_bootloader::slotpushButtonWriteExternalFlash)
        << QStringList{writeTitle, writeTitle, writeTitle} << QStringList{"Address (hex)", "Length (dec)", "Data(hex)"}
        << QVariantList{"0x0", 1, "0x1"} << QList<int>{1, 1048576};
    QTest::newRow("ReadExternalFlash")
        << Command(&Vt410_bootloader::slotpushButtonReadExternalFlash) << QStringList{extReadTitle, extReadTitle}
        << QStringList{"Address (hex)", "Length (dec)"} << QVariantList{"0x0", 512} << QList<int>{1, 1048576};
}

void TestServiceCommands::firstDialogs()
{
    QFETCH(Command, command);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, labels);
    QFETCH(QVariantList, defaults);
    QFETCH(QList<int>, ranges);

    // Every dialog accepts its default; the last one is cancelled.
    for (int i = 0; i + 1 < defaults.size(); ++i)
        questions->answer(defaults.at(i));
    questions->cancel();
    (window.get()->*command)(false);

    QCOMPARE(questions->asked.size(), titles.size());
    int integerDialog = 0;
    for (int i = 0; i < titles.size(); ++i) {
        const ScriptedQuestions::Question &q = questions->asked.at(i);
        QCOMPARE(q.title, titles.at(i));
        QCOMPARE(q.label, labels.at(i));
        QCOMPARE(q.value, defaults.at(i));
        if (q.kind == ScriptedQuestions::Integer) {
            QCOMPARE(q.minValue, ranges.at(2 * integerDialog));
            QCOMPARE(q.maxValue, ranges.at(2 * integerDialog + 1));
            QCOMPARE(q.step, 1);
            ++integerDialog;
        } else {
            QCOMPARE(q.kind, ScriptedQuestions::Text);
            QCOMPARE(q.echo, QLineEdit::Normal);
        }
    }
    QCOMPARE(integerDialog * 2, ranges.size());
    QVERIFY(bus.transferLog().isEmpty());
}

void TestServiceCommands::extFlashReadRemembered()
{
    questions->answer(QStringLiteral("0x20"));
    questions->answer(100);
    window->slotpushButtonReadExternalFlash(false);
    QCOMPARE(bus.requestCount(5), 1);

    questions->cancel();
    window->slotpushButtonReadExternalFlash(false);
    questions->answer(QStringLiteral("0x20"));
    questions->cancel();
    window->slotpushButtonReadExternalFlash(false);
    QCOMPARE(questions->asked.size(), 5);
    QCOMPARE(questions->asked.at(2).value, QVariant(QStringLiteral("0x20")));
    QCOMPARE(questions->asked.at(4).value, QVariant(100));
    // The other tools keep their own values.
    questions->cancel();
    window->slotpushButtonRead(false);
    QCOMPARE(questions->asked.last().value, QVariant(QStringLiteral("0x8000000")));
}

void TestServiceCommands::rememberedAcrossRebuiltWindow()
{
    questions->answer(QStringLiteral("0X8000ABC"));
    questions->answer(64);
    window->slotpushButtonRead(false);
    questions->answer(77);
    window->slotpushButtonWritePage(false);
    questions->answer(QStringLiteral("0x1000"));
    questions->answer(33);
    questions->answer(QStringLiteral("0xA5"));
    window->slotpushButtonWriteExternalFlash(false);

    // As after a language change: a new window, the same program.
    newWindow();
    questions->answer(QStringLiteral("0x8000abc"));
    questions->cancel();
    window->slotpushButtonRead(false);
    questions->cancel();
    window->slotpushButtonWritePage(false);
    questions->answer(QStringLiteral("0x1000"));
    questions->answer(33);
    questions->cancel();
    window->slotpushButtonWriteExternalFlash(false);

    const QVariantList offered{"0x8000abc", 64, 77, "0x1000", 33, "0xa5"};
    QCOMPARE(questions->asked.size(), offered.size());
    for (int i = 0; i < offered.size(); ++i)
        QCOMPARE(questions->asked.at(i).value, offered.at(i));
}

void TestServiceCommands::conversionError_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QVariantList>("answers");
    QTest::addColumn<int>("dialogsAsked");
    QTest::addColumn<int>("retriedDialog"); // which dialog offers "0x0" next time

    QTest::newRow("Read address")
        << Command(&Vt410_bootloader::slotpushButtonRead) << QVariantList{"xyz", 16} << 2 << 0;
    QTest::newRow("ReadExternalFlash address")
        << Command(&Vt410_bootloader::slotpushButtonReadExternalFlash) << QVariantList{"xyz", 16} << 2 << 0;
    QTest::newRow("WriteExternalFlash address")
        << Command(&Vt410_bootloader::slotpushButtonWriteExternalFlash) << QVariantList{"xyz"} << 1 << 0;
    QTest::newRow("WriteExternalFlash data")
        << Command(&Vt410_bootloader::slotpushButtonWriteExternalFlash) << QVariantList{"0x40", 4, "0x12z"} << 3 << 2;
    QTest::newRow("too wide")
        << Command(&Vt410_bootloader::slotpushButtonReadExternalFlash) << QVariantList{"0x123456789", 16} << 2 << 0;
}

void TestServiceCommands::conversionError()
{
    QFETCH(Command, command);
    QFETCH(QVariantList, answers);
    QFETCH(int, dialogsAsked);
    QFETCH(int, retriedDialog);

    // Earlier good values, so that the reset to 0 is visible.
    ServiceDialogValues &values = ServiceDialogValues::remembered();
    values.memoryReadAddress = 0x20;
    values.extFlashReadAddress = 0x20;
    values.extFlashWriteAddress = 0x20;
    values.extFlashFillData = 0x20;

    for (const QVariant &a : answers)
        questions->answer(a);
    (window.get()->*command)(false);

    QCOMPARE(questions->asked.size(), dialogsAsked + 1);
    const QList<ScriptedQuestions::Question> boxes = questions->messages();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().icon, QMessageBox::Warning);
    QCOMPARE(boxes.first().title, QStringLiteral("error"));
    QCOMPARE(boxes.first().label, QStringLiteral("Conversion error"));
    QCOMPARE(boxes.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(bus.transferLog().isEmpty());

    // The next use of the tool offers 0x0 in the dialog that failed.
    questions->asked.clear();
    for (int i = 0; i < retriedDialog; ++i)
        questions->answer(answers.at(i));
    questions->cancel();
    (window.get()->*command)(false);
    QCOMPARE(questions->asked.size(), retriedDialog + 1);
    QCOMPARE(questions->asked.last().value, QVariant(QStringLiteral("0x0")));
    QVERIFY(bus.transferLog().isEmpty());
}

void TestServiceCommands::cancelMovesNothing_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QVariantList>("answersBeforeCancel");

    const Command read = &Vt410_bootloader::slotpushButtonRead;
    const Command page = &Vt410_bootloader::slotpushButtonWritePage;
    const Command bin = &Vt410_bootloader::slotpushButtonWriteExtFlashBin;
    const Command fill = &Vt410_bootloader::slotpushButtonWriteExternalFlash;
    const Command extRead = &Vt410_bootloader::slotpushButtonReadExternalFlash;
    QTest::newRow("Read, address") << read << QVariantList{};
    QTest::newRow("Read, length") << read << QVariantList{"0x8000000"};
    QTest::newRow("WritePage") << page << QVariantList{};
    QTest::newRow("WriteExtFlashBin") << bin << QVariantList{};
    QTest::newRow("WriteExternalFlash, address") << fill << QVariantList{};
    QTest::newRow("WriteExternalFlash, length") << fill << QVariantList{"0x10"};
    QTest::newRow("WriteExternalFlash, data") << fill << QVariantList{"0x10", 8};
    QTest::newRow("ReadExternalFlash, address") << extRead << QVariantList{};
    QTest::newRow("ReadExternalFlash, length") << extRead << QVariantList{"0x10"};
}

void TestServiceCommands::cancelMovesNothing()
{
    QFETCH(Command, command);
    QFETCH(QVariantList, answersBeforeCancel);

    for (const QVariant &a : answersBeforeCancel)
        questions->answer(a);
    questions->cancel();
    txt->append(QStringLiteral("before"));
    (window.get()->*command)(false);

    QCOMPARE(questions->asked.size(), answersBeforeCancel.size() + 1);
    QVERIFY(questions->messages().isEmpty());
    QVERIFY(bus.transferLog().isEmpty());
    QCOMPARE(logText(), QStringLiteral("before"));
}

// ---- memory and external flash tools --------------------------------------

void TestServiceCommands::readShowsMemory()
{
    const QByteArray bytes = patternBytes(40, 3);
    vt->setInternalFlash(0x08006000, bytes);
    txt->append(QStringLiteral("before"));
    questions->answer(QStringLiteral("0x8006000"));
    questions->answer(40);
    window->slotpushButtonRead(false);

    QVERIFY(!logText().contains(QStringLiteral("before")));
    QCOMPARE(dumpRows(logText()), expectedRows(bytes));
    QCOMPARE(bus.requestCount(1), 1);
    QVERIFY(questions->messages().isEmpty());
}

void TestServiceCommands::failedReadShowsZeros()
{
    vt->setInternalFlash(0x08006000, QByteArray(64, char(0xEE)));
    bus.failRequest(1, LIBUSB_ERROR_PIPE, vt520sim::Never);
    questions->answer(QStringLiteral("0x8006000"));
    questions->answer(64);
    window->slotpushButtonRead(false);

    QCOMPARE(bus.requestCount(1), 1);
    QCOMPARE(dumpRows(logText()), expectedRows(QByteArray(64, '\0')));
    // Not reported to the user.
    QVERIFY(questions->messages().isEmpty());
}

void TestServiceCommands::partlyFailedReadShowsZerosForTheRest()
{
    const QByteArray bytes = patternBytes(3000, 9);
    vt->setInternalFlash(0x08010000, bytes);
    window->slotpushButtonConnect(false);
    bus.clearTransferLog();
    bus.failTransfer(2, LIBUSB_ERROR_TIMEOUT);
    questions->answer(QStringLiteral("0x8010000"));
    questions->answer(3000);
    window->slotpushButtonRead(false);

    QCOMPARE(bus.requestCount(1), 2);
    const QByteArray shown = bytes.left(2048) + QByteArray(3000 - 2048, '\0');
    QCOMPARE(dumpRows(logText()), expectedRows(shown));
}

void TestServiceCommands::writeSendsTestBlock()
{
    txt->append(QStringLiteral("before"));
    window->slotpushButtonWrite(false);

    QByteArray expected(512, '\0');
    for (int i = 0; i < 512; ++i)
        expected[i] = char(i % 256);
    QCOMPARE(vt->testBlock(), expected);
    QCOMPARE(bus.requestCount(2), 1);
    QCOMPARE(logText(), QStringLiteral("before"));
    QVERIFY(questions->asked.isEmpty());
}

void TestServiceCommands::writePage()
{
    vt->setMode(vt520sim::Mode::Bootloader);
    questions->answer(255);
    window->slotpushButtonWritePage(false);

    const QList<vt520sim::TransferRecord> log = bus.transferLog();
    QCOMPARE(bus.requestCount(3), 1);
    bool found = false;
    for (const vt520sim::TransferRecord &r : log) {
        if (r.request != 3)
            continue;
        found = true;
        QCOMPARE(r.requestType, uint8_t(0x40));
        QCOMPARE(r.value, uint16_t(0x5000));
        QCOMPARE(r.index, uint16_t(0x0800));
        QCOMPARE(r.length, 1024);
        QCOMPARE(r.result, 1024);
    }
    QVERIFY(found);
    // The device unscrambles the page: it holds plain 0xFF.
    QCOMPARE(vt->internalFlash(0x08005000, 1024), QByteArray(1024, char(0xFF)));

    questions->cancel();
    window->slotpushButtonWritePage(false);
    QCOMPARE(questions->asked.last().value, QVariant(255));
}

void TestServiceCommands::writeExternalFlashFill()
{
    vt->eraseExternalFlash();
    txt->append(QStringLiteral("before"));
    questions->answer(QStringLiteral("0x100"));
    questions->answer(20);
    questions->answer(QStringLiteral("0x1234"));
    window->slotpushButtonWriteExternalFlash(false);

    const QByteArray sent = scrambled(QByteArray(20, char(0x34)));
    QVERIFY(sent != QByteArray(20, char(0x34)));
    QCOMPARE(vt->externalFlash(0x100, 20), sent);
    // Nothing beyond the range.
    QCOMPARE(vt->externalFlash(0xFC, 4), QByteArray(4, char(0xFF)));
    QCOMPARE(vt->externalFlash(0x114, 4), QByteArray(4, char(0xFF)));

    const QStringList lines = logText().split(QLatin1Char('\n'));
    QCOMPARE(lines.at(0), QStringLiteral("lenght:       20"));
    QCOMPARE(lines.at(1), QStringLiteral("address: 0x     100"));
    QCOMPARE(dumpRows(logText()), expectedRows(sent));

    // The fill data is remembered as typed, the byte sent is its low 8 bits.
    questions->cancel();
    window->slotpushButtonWriteExternalFlash(false);
    QCOMPARE(questions->asked.last().value, QVariant(QStringLiteral("0x100")));
    questions->answer(QStringLiteral("0x100"));
    questions->answer(20);
    questions->cancel();
    window->slotpushButtonWriteExternalFlash(false);
    QCOMPARE(questions->asked.last().value, QVariant(QStringLiteral("0x1234")));
}

void TestServiceCommands::readExternalFlash()
{
    const QByteArray plain = patternBytes(100, 1);
    vt->setExternalFlash(0x20, scrambled(plain));
    txt->append(QStringLiteral("before"));
    questions->answer(QStringLiteral("0x20"));
    questions->answer(100);
    window->slotpushButtonReadExternalFlash(false);

    QVERIFY(!logText().contains(QStringLiteral("before")));
    QCOMPARE(dumpRows(logText()), expectedRows(plain));
    QVERIFY(questions->messages().isEmpty());
}

void TestServiceCommands::readExternalFlashFailure()
{
    bus.failRequest(5, LIBUSB_ERROR_PIPE, vt520sim::Never);
    txt->append(QStringLiteral("before"));
    questions->answer(QStringLiteral("0x0"));
    questions->answer(16);
    window->slotpushButtonReadExternalFlash(false);

    const QList<ScriptedQuestions::Question> boxes = questions->messages();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().icon, QMessageBox::Warning);
    QCOMPARE(boxes.first().title, QStringLiteral("error"));
    QCOMPARE(boxes.first().label, QStringLiteral("ReadExternalFlashFromAddress error"));
    QCOMPARE(logText(), QStringLiteral("before"));
}

void TestServiceCommands::writeExtFlashBin_data()
{
    QTest::addColumn<QByteArray>("content"); // empty with missing: no file
    QTest::addColumn<bool>("missing");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");

    const int critical = QMessageBox::Critical;
    QTest::newRow("12 bytes") << patternBytes(12, 5) << false << int(QMessageBox::Information) << "Info"
                              << "Write OK";
    QTest::newRow("10 bytes") << patternBytes(10, 5) << false << critical << "Length error"
                              << "Length should be aligned to 4";
    QTest::newRow("1 byte") << QByteArray(1, 'x') << false << critical << "Length error"
                            << "Length should be aligned to 4";
    QTest::newRow("empty") << QByteArray() << false << critical << "Length error"
                           << "Length should be aligned to 4";
    QTest::newRow("unreadable") << QByteArray() << true << critical << "Length error"
                                << "Length should be aligned to 4";
    QTest::newRow("several chunks") << patternBytes(1000, 7) << false << int(QMessageBox::Information) << "Info"
                                    << "Write OK";
}

void TestServiceCommands::writeExtFlashBin()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, missing);
    QFETCH(int, icon);
    QFETCH(QString, title);
    QFETCH(QString, text);

    const QString name = files.filePath(QStringLiteral("image.bin"));
    QFile::remove(name);
    if (!missing) {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    vt->eraseExternalFlash();
    questions->answer(name);
    window->slotpushButtonWriteExtFlashBin(false);

    const ScriptedQuestions::Question &dialog = questions->asked.first();
    QCOMPARE(dialog.kind, ScriptedQuestions::OpenFile);
    QCOMPARE(dialog.title, QStringLiteral("Open File"));
    QCOMPARE(dialog.dir, QStringLiteral("."));
    QCOMPARE(dialog.filter, QStringLiteral("Bin (*.bin)"));

    const QList<ScriptedQuestions::Question> boxes = questions->messages();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(int(boxes.first().icon), icon);
    QCOMPARE(boxes.first().title, title);
    QCOMPARE(boxes.first().label, text);

    if (icon == QMessageBox::Information) {
        // The device holds the image scrambled, from address 0.
        QCOMPARE(vt->externalFlash(0, quint32(content.size())), scrambled(content));
        QVERIFY(scrambled(content) != content);
        QCOMPARE(bus.requestCount(6), (content.size() + 255) / 256);
        QCOMPARE(bus.requestCount(5), (content.size() + 511) / 512);
    } else {
        QVERIFY(bus.transferLog().isEmpty());
    }
}

void TestServiceCommands::writeExtFlashBinTransferFailures_data()
{
    QTest::addColumn<int>("request");
    QTest::addColumn<QString>("text");

    QTest::newRow("write fails") << 6 << "WriteExternalFlashToAddress";
    QTest::newRow("read back fails") << 5 << "ReadExternalFlashFromAddress";
}

void TestServiceCommands::writeExtFlashBinTransferFailures()
{
    QFETCH(int, request);
    QFETCH(QString, text);

    const QString name = files.filePath(QStringLiteral("fail.bin"));
    {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(patternBytes(16, 2));
    }
    bus.failRequest(uint8_t(request), LIBUSB_ERROR_PIPE, vt520sim::Never);
    questions->answer(name);
    window->slotpushButtonWriteExtFlashBin(false);

    const QList<ScriptedQuestions::Question> boxes = questions->messages();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().icon, QMessageBox::Critical);
    QCOMPARE(boxes.first().title, QStringLiteral("Error"));
    QCOMPARE(boxes.first().label, text);
    if (request == 6)
        QCOMPARE(bus.requestCount(5), 0);
}

void TestServiceCommands::writeExtFlashBinDetectsCorruption()
{
    const QString name = files.filePath(QStringLiteral("corrupt.bin"));
    {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(patternBytes(12, 4));
    }
    // The device changes the stored bytes once the write is done, as a
    // failing flash chip would.
    auto *bar = window->findChild<QProgressBar *>(QStringLiteral("progressBarExtFlashWr"));
    QVERIFY(bar);
    QObject::connect(bar, &QProgressBar::valueChanged, this, [this](int percent) {
        if (percent == 100)
            vt->setExternalFlash(4, QByteArray(1, '\0'));
    });
    questions->answer(name);
    window->slotpushButtonWriteExtFlashBin(false);

    const QList<ScriptedQuestions::Question> boxes = questions->messages();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().icon, QMessageBox::Critical);
    QCOMPARE(boxes.first().title, QStringLiteral("Error"));
    QCOMPARE(boxes.first().label, QStringLiteral("memcmp"));
}

void TestServiceCommands::traceLines_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QVariantList>("answers");
    QTest::addColumn<int>("failingRequest"); // 0: none
    QTest::addColumn<QStringList>("trace");

    const QString name = files.filePath(QStringLiteral("ten.bin"));
    QTest::newRow("Connect OK") << Command(&Vt410_bootloader::slotpushButtonConnect) << QVariantList{} << 0
                                << QStringList{"Vt410_bootloader::slotpushButtonConnect(bool t)", "Connect OK"};
    QTest::newRow("Connect ERROR") << Command(&Vt410_bootloader::slotpushButtonConnect) << QVariantList{} << 255
                                   << QStringList{"Vt410_bootloader::slotpushButtonConnect(bool t)", "Connect ERROR"};
    QTest::newRow("Disconnect") << Command(&Vt410_bootloader::slotpushButtonDisconnect) << QVariantList{} << 0
                                << QStringList{"USB Disconnect", "Vt410_bootloader::slotpushButtonDisconnect(bool t)"};
    QTest::newRow("page write OK") << Command(&Vt410_bootloader::slotpushButtonWritePage) << QVariantList{7} << 0
                                   << QStringList{"Vt410_bootloader::slotpushButtonWritePage(bool t)", "page write OK"};
    QTest::newRow("page write ERROR")
        << Command(&Vt410_bootloader::slotpushButtonWritePage) << QVariantList{7} << 3
        << QStringList{"Vt410_bootloader::slotpushButtonWritePage(bool t)", "page write ERROR"};
    QTest::newRow("Write") << Command(&Vt410_bootloader::slotpushButtonWrite) << QVariantList{} << 0
                           << QStringList{"Vt410_bootloader::slotpushButtonWrite(bool t)"};
    QTest::newRow("Read") << Command(&Vt410_bootloader::slotpushButtonRead) << QVariantList{} << 0
                          << QStringList{"Vt410_bootloader::slotpushButtonRead(bool t)"};
    QTest::newRow("WriteExtFlashBin length error")
        << Command(&Vt410_bootloader::slotpushButtonWriteExtFlashBin) << QVariantList{name} << 0
        << QStringList{"Vt410_bootloader::slotpushButtonWriteExtFlashBin(bool t)", "length error 10"};
    QTest::newRow("WriteExternalFlash")
        << Command(&Vt410_bootloader::slotpushButtonWriteExternalFlash) << QVariantList{} << 0
        << QStringList{"Vt410_bootloader::slotpushButtonWriteExternalFlash(bool t)"};
    QTest::newRow("ReadExternalFlash") << Command(&Vt410_bootloader::slotpushButtonReadExternalFlash) << QVariantList{}
                                       << 0 << QStringList{"Vt410_bootloader::slotpushButtonReadExternalFlash(bool t)"};
}

void TestServiceCommands::traceLines()
{
    QFETCH(Command, command);
    QFETCH(QVariantList, answers);
    QFETCH(int, failingRequest);
    QFETCH(QStringList, trace);

    {
        QFile file(files.filePath(QStringLiteral("ten.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(10, 'x'));
    }
    vt->setMode(vt520sim::Mode::Bootloader);
    if (failingRequest != 0)
        bus.failRequest(uint8_t(failingRequest), LIBUSB_ERROR_PIPE, vt520sim::Never);
    for (const QVariant &a : answers)
        questions->answer(a);

    const QDir previous = QDir::current();
    QVERIFY(QDir::setCurrent(files.path())); // Disconnect writes its test file here
    TraceRecorder recorder;
    (window.get()->*command)(false);
    const QStringList lines = TraceRecorder::lines();
    QVERIFY(QDir::setCurrent(previous.path()));

    QVERIFY2(inOrder(lines, trace), qPrintable(lines.join(QLatin1Char('|'))));
    if (command == &Vt410_bootloader::slotpushButtonWrite) {
        // The test block's dump, as a quoted byte string.
        bool dumped = false;
        for (const QString &line : lines)
            dumped = dumped
                     || (line.startsWith(QLatin1String("\"\\n src address: 0x"))
                         && line.contains(QLatin1String("\\n0x01f0: f0 f1 f2 f3")));
        QVERIFY(dumped);
    }
}

QTEST_MAIN(TestServiceCommands)
#include "test_servicecommands.moc"
