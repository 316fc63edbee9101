// The scene clipboard format: what another program (or another copy of this
// one) puts on the clipboard is outside input.
#include "FailOnWarnings.h"
#include "LightingTestData.h"
#include "lighting/SceneClip.h"

#include <QtTest>

class TestSceneClip : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void onlyWholeClipsAreTaken_data();
    void onlyWholeClipsAreTaken();
};

void TestSceneClip::onlyWholeClipsAreTaken_data()
{
    const SceneRecord record = recordAt(editableTable(1, 50), 0);
    const QByteArray program = SceneClip::copy(record, SceneClip::Kind::ProgramScene).toBytes();
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("taken");
    QTest::newRow("program scene") << program << true;
    QTest::newRow("stand-alone scene") << SceneClip::copy(record, SceneClip::Kind::StandaloneScene).toBytes() << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("record without kind") << program.mid(1) << false;
    QTest::newRow("one byte short") << program.left(SceneClip::ByteSize - 1) << false;
    QTest::newRow("one byte more") << program + '\0' << false;
    QTest::newRow("kind 0") << QByteArray(1, '\0') + program.mid(1) << false;
    QTest::newRow("kind 3") << QByteArray(1, '\3') + program.mid(1) << false;
}

void TestSceneClip::onlyWholeClipsAreTaken()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, taken);
    const SceneClip clip = SceneClip::fromBytes(bytes);
    QCOMPARE(!clip.isEmpty(), taken);
    QCOMPARE(clip.toBytes() == bytes, taken);
    // An empty clip pastes nothing.
    SceneRecord target = recordAt(editableTable(1, 51), 0);
    const SceneRecord before = target;
    clip.pasteInto(target, SceneClip::Kind::ProgramScene);
    QCOMPARE(memcmp(target.bytes, before.bytes, SceneRecord::Size) != 0, taken);
}

QTEST_GUILESS_MAIN(TestSceneClip)
#include "test_sceneclip.moc"
