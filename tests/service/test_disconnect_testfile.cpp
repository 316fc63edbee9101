// The Disconnect command's test file "dane.csv". This runs in its own process
// so that its first Disconnect is the first use of the program's generator.
#include "FailOnWarnings.h"
#include "app/Vt410_bootloader.h"

#include "ScriptedQuestions.h"
#include "sim/Vt520Sim.h"

#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {

QStringList logLines(const Vt410_bootloader &window)
{
    const auto *txt = window.findChild<QTextBrowser *>(QStringLiteral("txt"));
    return txt ? txt->toPlainText().split(QLatin1Char('\n')) : QStringList();
}

QByteArray readFile(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Checks the file format and that it holds 351..541 exactly once; returns
// the values in file order.
QList<int> checkedValues(const QByteArray &text)
{
    QList<int> values;
    if (!text.endsWith(",;") || text.contains('\n') || text.contains('\r')) {
        qWarning("bad file ending: %s", text.right(10).constData());
        return values;
    }
    const QList<QByteArray> fields = text.chopped(2).split(',');
    QSet<int> seen;
    for (const QByteArray &field : fields) {
        bool ok = false;
        const int v = field.toInt(&ok);
        if (!ok || v < 351 || v > 541 || seen.contains(v)) {
            qWarning("bad value %s", field.constData());
            return {};
        }
        seen.insert(v);
        values.append(v);
    }
    return values.size() == 191 ? values : QList<int>();
}

// Checks the 191 log lines "r -> v" against the file's values.
bool logMatches(const QStringList &lines, const QList<int> &values)
{
    if (lines.size() != values.size())
        return false;
    static const QRegularExpression pattern(QStringLiteral("^(\\d+) -> (\\d+)$"));
    for (int i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch m = pattern.match(lines.at(i));
        if (!m.hasMatch())
            return false;
        const int r = m.captured(1).toInt();
        const int v = m.captured(2).toInt();
        if (r > 32767 || v != r % 191 + 351 || v != values.at(i))
            return false;
    }
    return true;
}

} // namespace

class TestDisconnectTestFile : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void initTestCase();
    void firstDisconnectGivesKnownOrder();
    void secondDisconnectContinuesSequence();
    void sequenceContinuesInRebuiltWindow();
    void unwritableFileStillLogs();

private:
    std::unique_ptr<Vt410_bootloader> newWindow();

    QTemporaryDir workDir;
    QList<int> firstOrder;
    QList<int> secondOrder;
};

std::unique_ptr<Vt410_bootloader> TestDisconnectTestFile::newWindow()
{
    auto window = std::make_unique<Vt410_bootloader>();
    window->setQuestions(std::make_unique<ScriptedQuestions>());
    return window;
}

void TestDisconnectTestFile::initTestCase()
{
    QVERIFY(workDir.isValid());
    QVERIFY(QDir::setCurrent(workDir.path()));
    vt520sim::Bus::instance().reset();
    vt520sim::Bus::instance().addVt520(1, 1);
}

void TestDisconnectTestFile::firstDisconnectGivesKnownOrder()
{
    // An older, longer file is replaced, not overwritten in part.
    {
        QFile old(QStringLiteral("dane.csv"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(4000, '9'));
    }
    auto window = newWindow();
    auto *txt = window->findChild<QTextBrowser *>(QStringLiteral("txt"));
    QVERIFY(txt);
    txt->append(QStringLiteral("earlier report"));

    window->slotpushButtonDisconnect(false);

    const QByteArray text = readFile(QStringLiteral("dane.csv"));
    firstOrder = checkedValues(text);
    QCOMPARE(firstOrder.size(), 191);
    // The generator's first draws 41, 18467, 6334, 26500 stand for these.
    QVERIFY2(text.startsWith("392,482,382,493,"), text.left(40).constData());

    const QStringList lines = logLines(*window);
    QCOMPARE(lines.size(), 191);
    QCOMPARE(lines.first(), QStringLiteral("41 -> 392"));
    QCOMPARE(lines.at(1), QStringLiteral("18467 -> 482"));
    QVERIFY(logMatches(lines, firstOrder));
}

void TestDisconnectTestFile::secondDisconnectContinuesSequence()
{
    auto window = newWindow();
    window->slotpushButtonDisconnect(false);

    secondOrder = checkedValues(readFile(QStringLiteral("dane.csv")));
    QCOMPARE(secondOrder.size(), 191);
    QVERIFY(secondOrder != firstOrder);
    const QStringList lines = logLines(*window);
    QVERIFY(logMatches(lines, secondOrder));
    QVERIFY(lines.first() != QStringLiteral("41 -> 392"));
}

void TestDisconnectTestFile::sequenceContinuesInRebuiltWindow()
{
    // Two Disconnects in the same window give different orders as well, and
    // neither starts the sequence again.
    auto window = newWindow();
    window->slotpushButtonDisconnect(false);
    const QList<int> third = checkedValues(readFile(QStringLiteral("dane.csv")));
    window->slotpushButtonDisconnect(false);
    const QList<int> fourth = checkedValues(readFile(QStringLiteral("dane.csv")));
    QCOMPARE(third.size(), 191);
    QCOMPARE(fourth.size(), 191);
    for (const QList<int> &earlier : {firstOrder, secondOrder, third})
        QVERIFY(fourth != earlier);
    QVERIFY(third != firstOrder && third != secondOrder);
}

void TestDisconnectTestFile::unwritableFileStillLogs()
{
    QTemporaryDir other;
    QVERIFY(other.isValid());
    QVERIFY(QDir::setCurrent(other.path()));
    // A folder of that name: the file cannot be opened; nothing is reported.
    QVERIFY(QDir().mkdir(QStringLiteral("dane.csv")));

    auto window = newWindow();
    window->slotpushButtonDisconnect(false);
    const QStringList lines = logLines(*window);
    QCOMPARE(lines.size(), 191);
    static const QRegularExpression pattern(QStringLiteral("^\\d+ -> \\d+$"));
    for (const QString &line : lines)
        QVERIFY2(pattern.match(line).hasMatch(), qPrintable(line));
    QVERIFY(QFileInfo(QStringLiteral("dane.csv")).isDir());
    QVERIFY(QDir::setCurrent(workDir.path()));
}

QTEST_MAIN(TestDisconnectTestFile)
#include "test_disconnect_testfile.moc"
