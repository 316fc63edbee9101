#include "FailOnWarnings.h"
#include "app/Vt410_bootloader.h"
#include "widgets/ColorSlider.h"
#include "widgets/SuperRGB.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QtTest>

class TestLampsInWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void twelveNumberedBlackLamps_data();
    void twelveNumberedBlackLamps();
};

void TestLampsInWindow::twelveNumberedBlackLamps_data()
{
    QTest::addColumn<QString>("layoutName");
    QTest::newRow("Programs tab") << "horizontalLayout";
    QTest::newRow("Scenes tab") << "horizontalLayoutScenes";
}

void TestLampsInWindow::twelveNumberedBlackLamps()
{
    QFETCH(QString, layoutName);
    Vt410_bootloader window;
    auto *layout = window.findChild<QHBoxLayout *>(layoutName);
    QVERIFY(layout);

    QList<SuperRGB *> lamps;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (auto *lamp = qobject_cast<SuperRGB *>(item->widget())) {
            QCOMPARE(layout->stretch(i), 0);
            QCOMPARE(item->alignment(), Qt::Alignment());
            lamps << lamp;
        }
    }
    QCOMPARE(lamps.size(), 12);
    for (int number = 0; number < lamps.size(); ++number) {
        SuperRGB *lamp = lamps[number];
        QCOMPARE(lamp->color(), QColor(0, 0, 0));
        QCOMPARE(lamp->findChild<QGroupBox *>("LampGroupBox")->title(), QStringLiteral("L: %1").arg(number + 1));
        QCOMPARE(lamp->findChild<QLabel *>("LabelAddress1")->text(), QString::number(3 * number + 1));
        QCOMPARE(lamp->findChild<QLabel *>("LabelAddress3")->text(), QString::number(3 * number + 3));
        QVERIFY(lamp->window() == &window);
    }
}

QTEST_MAIN(TestLampsInWindow)
#include "test_lampsinwindow.moc"
