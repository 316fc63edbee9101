#include "FailOnWarnings.h"
#include "widgets/LogPane.h"

#include <QSignalSpy>
#include <QTextBrowser>
#include <QtTest>

namespace {

// Numbered lines, as long as a hex dump of a few kilobytes.
QString longPlainText(int lines)
{
    QStringList text;
    for (int n = 0; n < lines; ++n)
        text << QStringLiteral("%1  00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF  ..\"3DUfw........").arg(n, 8);
    return text.join(QLatin1Char('\n'));
}

} // namespace

// The pane ends up as if every text had been appended whole, in the order
// given, and says once when the last waiting piece is in.
class TestLogPane : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void endsAsAppendedWhole_data();
    void endsAsAppendedWhole();
    void showAllPutsEverythingInAtOnce();
    void newLinesAnnounced_data();
    void newLinesAnnounced();
};

void TestLogPane::endsAsAppendedWhole_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<bool>("waits"); // some text is not in right after append()
    const QString dump = longPlainText(1200);
    const QString rich = QStringLiteral("<b>rich</b> ") + longPlainText(400);
    QTest::newRow("short lines") << QStringList{"Connect OK", "Status: ERROR"} << false;
    QTest::newRow("empty line") << QStringList{"", "after"} << false;
    QTest::newRow("long plain text") << QStringList{dump} << true;
    QTest::newRow("long text of exactly one piece") << QStringList{longPlainText(256)} << true;
    QTest::newRow("long text ending with a line end") << QStringList{dump + "\n", "next"} << true;
    QTest::newRow("short lines after a long text keep their place")
        << QStringList{"Verify External Flash ...  ", dump, "ext_datas.data()", "<b>rich</b> text", "after"} << true;
    QTest::newRow("two long texts") << QStringList{dump, dump.left(dump.size() / 2)} << true;
    QTest::newRow("long rich text goes in whole") << QStringList{rich, "after"} << false;
    // Only the start tells rich text; printable bytes of a dump further on
    // that look like markup stay plain.
    QTest::newRow("plain text with markup further on")
        << QStringList{dump.left(300) + "<b>bold</b>&" + dump.mid(300)} << true;
}

void TestLogPane::endsAsAppendedWhole()
{
    QFETCH(QStringList, texts);
    QFETCH(bool, waits);
    QTextBrowser pane;
    QTextBrowser reference;
    auto *log = new LogPane(&pane);
    QSignalSpy allShown(log, &LogPane::allShown);
    for (const QString &text : texts) {
        log->append(text);
        reference.append(text);
    }
    QCOMPARE(log->isShowingAll(), !waits);
    QCOMPARE(pane.document()->blockCount() < reference.document()->blockCount(), waits);
    if (waits)
        QVERIFY(allShown.wait(30000));
    QVERIFY(log->isShowingAll());
    QCOMPARE(pane.toPlainText(), reference.toPlainText());
    QCOMPARE(pane.toHtml(), reference.toHtml());
    // Said once, after the last piece; nothing more comes.
    QCOMPARE(allShown.size(), waits ? 1 : 0);
    QCoreApplication::processEvents();
    QCOMPARE(allShown.size(), waits ? 1 : 0);
}

// For a window that hands its log on at once (a language switch).
void TestLogPane::showAllPutsEverythingInAtOnce()
{
    QTextBrowser pane;
    QTextBrowser reference;
    auto *log = new LogPane(&pane);
    QSignalSpy allShown(log, &LogPane::allShown);
    const QStringList texts{"before", longPlainText(900), "after"};
    for (const QString &text : texts) {
        log->append(text);
        reference.append(text);
    }
    QVERIFY(!log->isShowingAll());
    log->showAll();
    QVERIFY(log->isShowingAll());
    QCOMPARE(allShown.size(), 1);
    QCOMPARE(pane.toHtml(), reference.toHtml());
    // The turn that was booked finds nothing left to do.
    QCoreApplication::processEvents();
    QCOMPARE(allShown.size(), 1);
    QCOMPARE(pane.toHtml(), reference.toHtml());
}

void TestLogPane::newLinesAnnounced_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("two lines")
        << QStringList{"Connect OK", "Serial: 0042"} << QStringList{"Connect OK", "Serial: 0042"};
    QTest::newRow("rich text read as plain text")
        << QStringList{"<b>Status</b>: ERROR"} << QStringList{"Status: ERROR"};
    const QString dump = longPlainText(300);
    QTest::newRow("a long text in its pieces") << QStringList{dump, "after"}
                                               << QStringList{dump.section('\n', 0, LogPane::PieceLines - 1),
                                                              "\n" + dump.section('\n', LogPane::PieceLines), "after"};
}

// Each line is told to a screen reader as it goes into the view, in its
// pieces where it goes in so.
void TestLogPane::newLinesAnnounced()
{
    QFETCH(QStringList, texts);
    QFETCH(QStringList, expected);
    QTextBrowser view;
    auto *pane = new LogPane(&view);
    QStringList announced;
    connect(pane, &LogPane::announced, this, [&announced](const QString &text) { announced << text; });
    for (const QString &text : texts)
        pane->append(text);
    pane->showAll();
    QCOMPARE(announced, expected);
}

QTEST_MAIN(TestLogPane)
#include "test_logpane.moc"
