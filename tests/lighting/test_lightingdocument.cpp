// The lighting document: what each kind carries, and its modified state
// against the clean point, with the change signals an editor follows.
#include "FailOnWarnings.h"
#include "lighting/LightingDocument.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

SceneRecord lit(quint8 red)
{
    SceneRecord record{};
    record.setLamp(0, red, 0, 0);
    return record;
}

} // namespace

class TestLightingDocument : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void whatEachKindCarries_data()
    {
        QTest::addColumn<LightingDocument::Kind>("kind");
        QTest::addColumn<int>("records");
        QTest::addColumn<quint32>("address");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("endMarkers");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("programs")
            << LightingDocument::Kind::Programs << 160 << quint32(0x14000) << 7680 << true << "pgm";
        QTest::newRow("scenes") << LightingDocument::Kind::Scenes << 8 << quint32(0x15E00) << 384 << false << "scn";
    }

    void whatEachKindCarries()
    {
        QFETCH(LightingDocument::Kind, kind);
        QFETCH(int, records);
        QFETCH(quint32, address);
        QFETCH(int, length);
        QFETCH(bool, endMarkers);
        QFETCH(QString, suffix);
        const LightingDocument document(kind);
        QCOMPARE(document.recordCount(), records);
        QCOMPARE(document.table().size(), length);
        QCOMPARE(document.table(), QByteArray(length, '\0'));
        QCOMPARE(document.location().address, address);
        QCOMPARE(int(document.location().length), length);
        QCOMPARE(LightingFile::tableSize(document.kind()), length);
        QCOMPARE(document.hasEndMarkers(), endMarkers);
        QCOMPARE(document.clipKind(), endMarkers ? SceneClip::Kind::ProgramScene : SceneClip::Kind::StandaloneScene);
        QCOMPARE(document.fileSuffix(), suffix);
        QVERIFY(!document.isModified());
    }

    // Each row: the steps, then whether the document differs from its clean
    // point, and the modifiedChanged values and recordChanged indexes seen.
    void modifiedAgainstTheCleanPoint_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QList<bool>>("modifiedSignals");
        QTest::addColumn<QList<int>>("changedRecords");
        QTest::newRow("one record") << QStringList{"set 5 to 9"} << true << QList<bool>{true} << QList<int>{5};
        QTest::newRow("the same bytes again") << QStringList{"set 5 to 0"} << false << QList<bool>{} << QList<int>{};
        QTest::newRow("changed and changed back")
            << QStringList{"set 5 to 9", "set 5 to 0"} << false << QList<bool>{true, false} << QList<int>{5, 5};
        QTest::newRow("saved, then edited") << QStringList{"set 5 to 9", "clean", "set 6 to 1"} << true
                                            << QList<bool>{true, false, true} << QList<int>{5, 6};
        QTest::newRow("back to the table before the save") << QStringList{"set 5 to 9", "clean", "set 5 to 0"} << true
                                                           << QList<bool>{true, false, true} << QList<int>{5, 5};
        QTest::newRow("a whole table replaced") << QStringList{"table 3"} << true << QList<bool>{true} << QList<int>{};
        QTest::newRow("a table of another size is refused")
            << QStringList{"table wrong"} << false << QList<bool>{} << QList<int>{};
        QTest::newRow("a record out of range is ignored")
            << QStringList{"set 999 to 9"} << false << QList<bool>{} << QList<int>{};
    }

    void modifiedAgainstTheCleanPoint()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, modified);
        QFETCH(QList<bool>, modifiedSignals);
        QFETCH(QList<int>, changedRecords);
        LightingDocument target(LightingDocument::Kind::Programs);
        QSignalSpy modifiedSpy(&target, &LightingDocument::modifiedChanged);
        QSignalSpy recordSpy(&target, &LightingDocument::recordChanged);
        for (const QString &step : steps) {
            const QStringList words = step.split(' ');
            if (words[0] == "set") {
                target.setRecord(words[1].toInt(), lit(quint8(words[3].toInt())));
            } else if (words[0] == "clean") {
                target.setClean();
            } else if (words[1] == "wrong") {
                QVERIFY(!target.setTable(QByteArray(100, '\1')));
            } else {
                QVERIFY(target.setTable(QByteArray(target.table().size(), char(words[1].toInt()))));
            }
        }
        QCOMPARE(target.isModified(), modified);
        QList<bool> seenModified;
        for (const QList<QVariant> &arguments : modifiedSpy)
            seenModified.append(arguments.at(0).toBool());
        QCOMPARE(seenModified, modifiedSignals);
        QList<int> seenRecords;
        for (const QList<QVariant> &arguments : recordSpy)
            seenRecords.append(arguments.at(0).toInt());
        QCOMPARE(seenRecords, changedRecords);
    }

    // The clean point travels with the document (a language switch builds a
    // new window): a modified document stays modified.
    void cleanPointCarried()
    {
        LightingDocument before(LightingDocument::Kind::Programs);
        before.setRecord(LightingDocument::programIndex(7, 19), lit(200));
        LightingDocument after(LightingDocument::Kind::Programs);
        after.setCleanTable(before.cleanTable());
        QVERIFY(after.setTable(before.table()));
        QVERIFY(after.isModified());
        QCOMPARE(after.record(159).red(0), quint8(200));
        after.setRecord(159, SceneRecord{});
        QVERIFY(!after.isModified());
    }
};

QTEST_GUILESS_MAIN(TestLightingDocument)
#include "test_lightingdocument.moc"
