#include "LightingTestData.h"
#include "lighting/SceneList.h"
#include "lighting/SceneTables.h"

#include <QtTest>

namespace {

// The expected list after an operation, as record indices of the original
// list in their new order; -1 stands for a blank record.
QByteArray rearranged(const QByteArray &table, int first, const QList<int> &order)
{
    QByteArray result = table;
    for (int i = 0; i < order.size(); ++i) {
        SceneRecord record = {};
        if (order.at(i) >= 0)
            record = recordAt(table, first + order.at(i));
        setRecordAt(result, first + i, record);
    }
    return result;
}

QList<int> identity(int count)
{
    QList<int> order;
    for (int i = 0; i < count; ++i)
        order << i;
    return order;
}

} // namespace

class TestSceneList : public QObject
{
    Q_OBJECT

private slots:
    void operations_data();
    void operations();
    void blank_data();
    void blank();
    void scenesOfAProgram();
};

void TestSceneList::operations_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("at");
    QTest::addColumn<QList<int>>("order");

    QList<int> insertAt4 = identity(20);
    insertAt4.insert(4, -1);
    insertAt4.removeLast();
    QTest::newRow("insert at scene 5 of program 3")
        << ProgramCount * ScenesPerProgram << 40 << 20 << "insert" << 4 << insertAt4;
    QList<int> insertAt19 = identity(19);
    insertAt19 << -1;
    QTest::newRow("insert at the last scene")
        << ProgramCount * ScenesPerProgram << 0 << 20 << "insert" << 19 << insertAt19;
    QList<int> removeAt4 = identity(20);
    removeAt4.removeAt(4);
    removeAt4 << -1;
    QTest::newRow("delete scene 5 of program 8")
        << ProgramCount * ScenesPerProgram << 140 << 20 << "delete" << 4 << removeAt4;
    QTest::newRow("delete the first stand-alone scene")
        << StandaloneSceneCount << 0 << 8 << "delete" << 0 << QList<int>{1, 2, 3, 4, 5, 6, 7, -1};
    QTest::newRow("move stand-alone scene 3 up")
        << StandaloneSceneCount << 0 << 8 << "up" << 2 << QList<int>{0, 2, 1, 3, 4, 5, 6, 7};
    QTest::newRow("move stand-alone scene 3 down")
        << StandaloneSceneCount << 0 << 8 << "down" << 2 << QList<int>{0, 1, 3, 2, 4, 5, 6, 7};
    QTest::newRow("move the first scene up: nothing")
        << ProgramCount * ScenesPerProgram << 20 << 20 << "up" << 0 << identity(20);
    QTest::newRow("move the last scene down: nothing")
        << ProgramCount * ScenesPerProgram << 20 << 20 << "down" << 19 << identity(20);
    QTest::newRow("insert beyond the list: nothing") << StandaloneSceneCount << 0 << 8 << "insert" << 8 << identity(8);
    QTest::newRow("delete before the list: nothing") << StandaloneSceneCount << 0 << 8 << "delete" << -1 << identity(8);
    QTest::newRow("a list beyond the table: nothing") << StandaloneSceneCount << 4 << 8 << "delete" << 0 << identity(8);
}

// Whole records move, with their End Markers and reserved bytes; the other
// programs' records stay as they were.
void TestSceneList::operations()
{
    QFETCH(int, records);
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(QString, operation);
    QFETCH(int, at);
    QFETCH(QList<int>, order);
    const QByteArray table = randomTable(records * SceneRecord::Size, 51);
    const SceneList list(table, first, count);
    QByteArray result;
    if (operation == "insert")
        result = list.inserted(at);
    else if (operation == "delete")
        result = list.removed(at);
    else if (operation == "up")
        result = list.movedUp(at);
    else
        result = list.movedDown(at);
    // A list that does not fit leaves the whole table alone.
    const int listStart = first + count <= records ? first : 0;
    QCOMPARE(result, first + count <= records ? rearranged(table, listStart, order) : table);
}

void TestSceneList::blank_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("blank");
    QTest::newRow("all zero") << -1 << true;
    QTest::newRow("a lamp") << 7 << false;
    QTest::newRow("XFade") << SceneRecord::RiseTimeOffset << false;
    QTest::newRow("Scene Time") << SceneRecord::StaticTimeOffset + 3 << false;
    QTest::newRow("End Marker") << int(SceneRecord::EndMarkerOffset) << false;
    QTest::newRow("a reserved byte") << 47 << false;
}

// Only a scene of zeros may be dropped without a question.
void TestSceneList::blank()
{
    QFETCH(int, offset);
    QFETCH(bool, blank);
    SceneRecord record = {};
    if (offset >= 0)
        record.bytes[offset] = 1;
    QByteArray table(ScenesTableSize, '\0');
    setRecordAt(table, StandaloneSceneCount - 1, record);
    QCOMPARE(SceneList::isBlank(record), blank);
    QCOMPARE(SceneList::isBlank(SceneList(table, 0, StandaloneSceneCount).last()), blank);
}

// A program's scenes out and into another program.
void TestSceneList::scenesOfAProgram()
{
    const QByteArray table = randomTable(ProgramsTableSize, 52);
    const QByteArray second = SceneList(table, 20, 20).scenes();
    QCOMPARE(second, table.mid(960, 960));
    const QByteArray pasted = SceneList(table, 100, 20).withScenes(second);
    QCOMPARE(pasted.mid(4800, 960), second);
    QCOMPARE(pasted.left(4800), table.left(4800));
    QCOMPARE(pasted.mid(5760), table.mid(5760));
    // Bytes of another length are not taken.
    QCOMPARE(SceneList(table, 100, 20).withScenes(second.left(48)), table);
}

QTEST_GUILESS_MAIN(TestSceneList)
#include "test_scenelist.moc"
