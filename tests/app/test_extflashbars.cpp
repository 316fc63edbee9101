#include "FailOnWarnings.h"
#include "app/ExtFlashBars.h"

#include <QProgressBar>
#include <QtTest>

// The external flash bars of the Settings tab while other tabs are shown:
// what a firmware change did meanwhile is on them when the tab comes back;
// other transfers leave them as they were.
class TestExtFlashBars : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void barsWhenShownAgain_data();
    void barsWhenShownAgain();
};

void TestExtFlashBars::barsWhenShownAgain_data()
{
    // Steps: "away", "back", "start" (a change starts; the bars were reset
    // to 0), "end", "w<n>" and "r<n>" (a write or verify percentage).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("write");
    QTest::addColumn<int>("read");
    QTest::newRow("followed while shown") << QStringList{"start", "w40", "r10"} << 40 << 10;
    QTest::newRow("a change's phase running while away")
        << QStringList{"start", "w20", "away", "w60", "w70", "back"} << 70 << 0;
    QTest::newRow("a change that ended while away")
        << QStringList{"start", "away", "w100", "r50", "r100", "end", "back"} << 100 << 100;
    QTest::newRow("a change started while away") << QStringList{"away", "start", "w30", "back"} << 30 << 0;
    QTest::newRow("no change: transfers while away leave the bars")
        << QStringList{"w15", "away", "w100", "r100", "back"} << 15 << 0;
    QTest::newRow("a new change drops what the last one left")
        << QStringList{"start", "away", "w100", "end", "start", "back"} << 0 << 0;
    QTest::newRow("shown twice: nothing applied twice")
        << QStringList{"start", "away", "w80", "back", "w85", "away", "back"} << 85 << 0;
}

void TestExtFlashBars::barsWhenShownAgain()
{
    QFETCH(QStringList, steps);
    QFETCH(int, write);
    QFETCH(int, read);
    QProgressBar writeBar;
    QProgressBar readBar;
    for (QProgressBar *bar : {&writeBar, &readBar}) {
        bar->setRange(0, 100);
        bar->setValue(0);
    }
    ExtFlashBars bars(&writeBar, &readBar);
    for (const QString &step : std::as_const(steps)) {
        if (step == "away" || step == "back") {
            bars.setFollowing(step == "back");
        } else if (step == "start") {
            writeBar.setValue(0);
            readBar.setValue(0);
            bars.setChangeRunning(true);
        } else if (step == "end") {
            bars.setChangeRunning(false);
        } else if (step.startsWith('w')) {
            bars.showWritePercent(step.mid(1).toInt());
        } else {
            bars.showReadPercent(step.mid(1).toInt());
        }
    }
    QCOMPARE(writeBar.value(), write);
    QCOMPARE(readBar.value(), read);
}

QTEST_MAIN(TestExtFlashBars)
#include "test_extflashbars.moc"
