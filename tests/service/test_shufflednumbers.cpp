#include "FailOnWarnings.h"
#include "app/RuntimeRandom.h"
#include "app/ShuffledNumbers.h"

#include <QtTest>

class TestShuffledNumbers : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void generatorMatchesWindowsRuntime();
    void generatorStaysInRange();
    void processGeneratorContinues();
    void drawTakesEveryValueOnce();
    void drawStartsWithKnownValues();
    void drawSkipsRepeatedValues();
    void csvFormat_data();
    void csvFormat();
};

void TestShuffledNumbers::generatorMatchesWindowsRuntime()
{
    // The first values of the Windows C runtime's rand() without srand().
    const QList<int> expected{41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    RuntimeRandom generator;
    QList<int> drawn;
    for (int i = 0; i < expected.size(); ++i)
        drawn.append(generator.next());
    QCOMPARE(drawn, expected);
}

void TestShuffledNumbers::generatorStaysInRange()
{
    RuntimeRandom generator;
    int lowest = RuntimeRandom::MaxValue;
    int highest = 0;
    for (int i = 0; i < 200000; ++i) {
        const int r = generator.next();
        lowest = qMin(lowest, r);
        highest = qMax(highest, r);
    }
    QCOMPARE(lowest, 0);
    QCOMPARE(highest, RuntimeRandom::MaxValue);
}

void TestShuffledNumbers::processGeneratorContinues()
{
    RuntimeRandom &first = RuntimeRandom::process();
    RuntimeRandom &again = RuntimeRandom::process();
    QCOMPARE(&first, &again);
    const int a = first.next();
    const int b = again.next();
    RuntimeRandom fresh;
    QCOMPARE(a, fresh.next());
    QCOMPARE(b, fresh.next());
}

void TestShuffledNumbers::drawTakesEveryValueOnce()
{
    RuntimeRandom generator;
    for (int round = 0; round < 3; ++round) {
        const QList<ShuffledNumbers::Draw> draws = ShuffledNumbers::draw(generator);
        QCOMPARE(draws.size(), ShuffledNumbers::Count);
        QList<int> values;
        for (const ShuffledNumbers::Draw &d : draws) {
            QVERIFY(d.random >= 0 && d.random <= RuntimeRandom::MaxValue);
            QCOMPARE(d.value, d.random % 191 + 351);
            values.append(d.value);
        }
        std::sort(values.begin(), values.end());
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(values.at(i), 351 + i);
    }
}

void TestShuffledNumbers::drawStartsWithKnownValues()
{
    // 41 % 191 = 41, 18467 % 191 = 131, 6334 % 191 = 31, 26500 % 191 = 142.
    RuntimeRandom generator;
    const QList<ShuffledNumbers::Draw> draws = ShuffledNumbers::draw(generator);
    QCOMPARE(draws.at(0).random, 41);
    QCOMPARE(draws.at(0).value, 392);
    QCOMPARE(draws.at(1).value, 482);
    QCOMPARE(draws.at(2).value, 382);
    QCOMPARE(draws.at(3).value, 493);

    // A second run continues the sequence and so gives another order.
    const QList<ShuffledNumbers::Draw> second = ShuffledNumbers::draw(generator);
    QVERIFY(ShuffledNumbers::csv(second) != ShuffledNumbers::csv(draws));
}

void TestShuffledNumbers::drawSkipsRepeatedValues()
{
    // Replays the generator and checks that exactly the repeats were dropped.
    RuntimeRandom generator;
    const QList<ShuffledNumbers::Draw> draws = ShuffledNumbers::draw(generator);
    RuntimeRandom replay;
    QSet<int> taken;
    int accepted = 0;
    int rejected = 0;
    while (accepted < draws.size()) {
        const int r = replay.next();
        const int v = r % 191 + 351;
        if (taken.contains(v)) {
            ++rejected;
            continue;
        }
        taken.insert(v);
        QCOMPARE(draws.at(accepted).random, r);
        ++accepted;
    }
    QVERIFY(rejected > 0);
}

void TestShuffledNumbers::csvFormat_data()
{
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("none") << QList<int>{} << QByteArray(";");
    QTest::newRow("one") << QList<int>{400} << QByteArray("400,;");
    QTest::newRow("three") << QList<int>{400, 351, 541} << QByteArray("400,351,541,;");
}

void TestShuffledNumbers::csvFormat()
{
    QFETCH(QList<int>, values);
    QFETCH(QByteArray, text);

    QList<ShuffledNumbers::Draw> draws;
    for (int v : values)
        draws.append({0, v});
    QCOMPARE(ShuffledNumbers::csv(draws), text);
}

QTEST_GUILESS_MAIN(TestShuffledNumbers)
#include "test_shufflednumbers.moc"
