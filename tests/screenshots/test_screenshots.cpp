// Pictures of the main window's three tabs and of the information dialog, in
// English and in Polish, saved under <build>/screenshots/ for people to look
// at. The checks make sure every picture was really drawn with the program's
// look; whether it looks right is for the eye.

#include "FailOnWarnings.h"
#include "app/Information.h"
#include "app/Vt410_bootloader.h"
#include "app/WindowPlacement.h"
#include "widgets/ColorSlider.h"
#include "widgets/SceneOverview.h"
#include "widgets/SuperRGB.h"

#include <QDir>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTranslator>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {
const QColor WindowColour(241, 241, 241);

QString screenshotDir()
{
    return QStringLiteral(VT520_BINARY_DIR "/screenshots");
}

int distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

void saveChecked(const QImage &image, const QString &name)
{
    const QString path = QDir(screenshotDir()).filePath(name + QStringLiteral(".png"));
    QVERIFY2(image.save(path), qPrintable(path));
    const QImage reread(path);
    QCOMPARE(reread.size(), image.size());
}
} // namespace

class TestScreenshots : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void initTestCase();
    void mainWindowTabs_data();
    void mainWindowTabs();
    void informationDialog_data();
    void informationDialog();
    void markedSliders();
    void threeLampsSelected();
    void sceneOverviews_data();
    void sceneOverviews();

private:
    // Installs the catalogue of the language for the current test; the
    // Polish catalogue may still be empty, in which case English shows.
    std::unique_ptr<QTranslator> installLanguage(const QString &language);
};

void TestScreenshots::initTestCase()
{
    QVERIFY(QDir().mkpath(screenshotDir()));
}

std::unique_ptr<QTranslator> TestScreenshots::installLanguage(const QString &language)
{
    auto translator = std::make_unique<QTranslator>();
    if (language == QLatin1String("pl")) {
        const QString catalogue = QStringLiteral(VT520_BINARY_DIR "/bin/vt410_pl.qm");
        if (!translator->load(catalogue))
            qWarning("Polish catalogue %s not loaded; the pictures show English", qPrintable(catalogue));
    }
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

void TestScreenshots::mainWindowTabs_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("name");
    // The available part of a screen the window is placed on as on first
    // start (empty: the window at the size it is built with), the scale at
    // which the picture is drawn, and whether all lamps fit in view.
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("scale");
    QTest::addColumn<bool>("allLampsInView");
    struct Screen {
        const char *name;
        QSize available;
        int scale;
        bool allLampsInView;
    };
    // 1920x1080 at 200 % is 960x540; a task bar (40) and a title bar (30) take their part.
    const Screen screens[] = {{"1920x1080", QSize(1920, 1080), 1, true},
                              {"1024x768", QSize(1024, 768), 1, false},
                              {"200percent", QSize(960, 540 - 40 - 30), 2, false}};
    for (const char *language : {"en", "pl"}) {
        const char *tabs[] = {"settings", "programs", "scenes"};
        for (int tab = 0; tab < 3; ++tab) {
            const QString name = QStringLiteral("%1_%2").arg(QLatin1String(language), QLatin1String(tabs[tab]));
            QTest::newRow(qPrintable(name)) << QString::fromLatin1(language) << tab << name << QSize() << 1 << false;
        }
        for (const Screen &screen : screens) {
            for (int tab : {1, 2}) {
                const QString name =
                    QStringLiteral("%1_%2_%3")
                        .arg(QLatin1String(language), QLatin1String(tabs[tab]), QLatin1String(screen.name));
                QTest::newRow(qPrintable(name)) << QString::fromLatin1(language) << tab << name << screen.available
                                                << screen.scale << screen.allLampsInView;
            }
        }
    }
}

void TestScreenshots::mainWindowTabs()
{
    QFETCH(QString, language);
    QFETCH(int, tab);
    QFETCH(QString, name);
    QFETCH(QSize, screen);
    QFETCH(int, scale);
    QFETCH(bool, allLampsInView);
    const auto translator = installLanguage(language);
    {
        Vt410_bootloader window;
        const QRect available(QPoint(0, 0), screen);
        if (screen.isValid())
            WindowPlacement().applyTo(window, available);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        QVERIFY(tabs);
        tabs->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        if (screen.isValid()) {
            // The whole window on the screen; where the screen is wide
            // enough, every lamp in view without scrolling. A maximised
            // window is fitted to the screen by the window manager (there is
            // none here): its size when not maximised must fit too.
            const QRect shown = window.isMaximized() ? window.normalGeometry() : window.geometry();
            QVERIFY2(available.contains(shown), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                               .arg(shown.x())
                                                               .arg(shown.y())
                                                               .arg(shown.width())
                                                               .arg(shown.height())));
            const auto *lampArea = tabs->currentWidget()->findChild<QScrollArea *>();
            QVERIFY(lampArea);
            QCOMPARE(lampArea->horizontalScrollBar()->maximum() == 0, allLampsInView);
            QCOMPARE(window.isMaximized(), !allLampsInView);
        }

        // Drawn at the row's scale, as a screen scaled so would show it.
        QImage picture(window.size() * scale, QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(scale);
        picture.fill(Qt::transparent);
        window.render(&picture);
        QCOMPARE(picture.size(), window.size() * scale);
        QVERIFY(distinctColours(picture) > 20);
        // The window carries the style's background colour.
        QCOMPARE(window.palette().color(QPalette::Window), WindowColour);
        saveChecked(picture, name);

        if (allLampsInView) {
            // Widened to the whole screen, as when maximised: the lamps keep
            // their width, and the scene overview beside them gets wider.
            auto *overview = tabs->currentWidget()->findChild<SceneOverview *>();
            QVERIFY(overview);
            const int overviewWidth = overview->width();
            window.resize(screen.width(), window.height());
            QCoreApplication::processEvents();
            tabs->currentWidget()->layout()->activate();
            QVERIFY2(overview->width() > overviewWidth + 100, qPrintable(QString::number(overview->width())));
            for (const SuperRGB *lamp : tabs->currentWidget()->findChildren<SuperRGB *>())
                QCOMPARE(lamp->width(), lamp->sizeHint().width());
        }
    }
    QCoreApplication::removeTranslator(translator.get());
}

void TestScreenshots::informationDialog_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("en") << "en";
    QTest::newRow("pl") << "pl";
}

void TestScreenshots::informationDialog()
{
    QFETCH(QString, language);
    const auto translator = installLanguage(language);
    {
        Vt410_bootloader window;
        Information dialog(&window);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QImage picture = dialog.grab().toImage();
        QCOMPARE(picture.size(), dialog.size());
        QVERIFY(distinctColours(picture) > 20);
        QVERIFY(dialog.labelVersion->text().endsWith(QLatin1String("1.03")));
        saveChecked(picture, language + QStringLiteral("_information"));
    }
    QCoreApplication::removeTranslator(translator.get());
}

void TestScreenshots::markedSliders()
{
    Vt410_bootloader window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(1);
    QCoreApplication::processEvents();
    const QImage before = window.grab().toImage();

    // Mark every slider of the first lamp editor, as Shift-sweeping would.
    const QList<ColorSlider *> sliders =
        window.findChild<QWidget *>(QStringLiteral("tabPrograms"))->findChildren<ColorSlider *>();
    QCOMPARE(sliders.size(), 3 * 12);
    QWidget *firstLamp = sliders.first()->parentWidget();
    int marked = 0;
    for (ColorSlider *slider : sliders) {
        if (firstLamp->isAncestorOf(slider) || slider->parentWidget() == firstLamp) {
            slider->setValue(100 + 50 * marked);
            slider->setSelected(true);
            ++marked;
        }
    }
    QCOMPARE(marked, 3);
    QCoreApplication::processEvents();
    const QImage after = window.grab().toImage();
    QVERIFY(after != before);
    saveChecked(after, QStringLiteral("en_programs_marked"));
}

// The window as placed on a 1920x1080 screen, lamps 3, 6 and 10 selected
// whole (as Shift-sweeping over their sliders leaves them) and in colour.
void TestScreenshots::threeLampsSelected()
{
    Vt410_bootloader window;
    const QRect screen(0, 0, 1920, 1080);
    WindowPlacement().applyTo(window, screen);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(1);
    QCoreApplication::processEvents();
    const QImage before = window.grab().toImage();

    QList<SuperRGB *> lamps = window.findChild<QWidget *>(QStringLiteral("tabPrograms"))->findChildren<SuperRGB *>();
    QCOMPARE(lamps.size(), 12);
    std::sort(lamps.begin(), lamps.end(), [](const SuperRGB *a, const SuperRGB *b) { return a->x() < b->x(); });
    for (int n : {2, 5, 9}) {
        lamps.at(n)->setRGB(uint(40 + 20 * n), uint(200 - 15 * n), 90);
        lamps.at(n)->setAll(true);
    }
    QCoreApplication::processEvents();
    for (int n = 0; n < lamps.size(); ++n)
        QCOMPARE(lamps.at(n)->hasSelectedSlider(), n == 2 || n == 5 || n == 9);
    const QImage after = window.grab().toImage();
    QVERIFY(screen.contains(window.geometry()));
    QVERIFY(after != before);
    QVERIFY(distinctColours(after) > 20);
    saveChecked(after, QStringLiteral("en_programs_1920x1080_three_lamps_selected"));
}

void TestScreenshots::sceneOverviews_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("name");
    for (const char *language : {"en", "pl"}) {
        for (int tab : {1, 2}) {
            const QString name = QStringLiteral("%1_%2_overview")
                                     .arg(QLatin1String(language), QLatin1String(tab == 1 ? "programs" : "scenes"));
            QTest::newRow(qPrintable(name)) << QString::fromLatin1(language) << tab << name;
        }
    }
}

// A chase edited scene by scene, so that the overview has something to show.
void TestScreenshots::sceneOverviews()
{
    QFETCH(QString, language);
    QFETCH(int, tab);
    QFETCH(QString, name);
    const auto translator = installLanguage(language);
    {
        Vt410_bootloader window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        tabs->setCurrentIndex(tab);
        QWidget *page = tabs->currentWidget();
        const bool programs = tab == 1;
        auto *number = page->findChild<QSpinBox *>(programs ? "spinBoxSceneNumber" : "spinBoxSceneSceneNumber");
        auto *overview = page->findChild<SceneOverview *>();
        QVERIFY(number && overview);
        const QList<SuperRGB *> lamps = page->findChildren<SuperRGB *>();
        QCOMPARE(lamps.size(), 12);
        for (int scene = overview->sceneCount() - 1; scene >= 0; --scene) {
            number->setValue(scene + 1);
            for (int lamp = 0; lamp < lamps.size(); ++lamp) {
                const QColor colour =
                    QColor::fromHsv((scene * 18 + lamp * 30) % 360, 255, (lamp + scene) % 4 == 0 ? 0 : 255);
                lamps[lamp]->setRGB(colour.red(), colour.green(), colour.blue());
            }
            if (programs && (scene == 7 || scene == 19))
                page->findChild<QSpinBox *>("spinBoxEndMarker")->setValue(1);
        }
        number->setValue(3);
        overview->setFocus();
        QCoreApplication::processEvents();

        // The overview gets its full width in the column under the last
        // button, the column does not reach past the tab, and without the
        // overview the column would be as wide: the buttons decide its width.
        const auto *lastButton =
            page->findChild<QPushButton *>(programs ? "pushButtonSaveProgramsToFile" : "pushButtonSaveScenesToFile");
        QVERIFY(overview->isVisible());
        QVERIFY(overview->width() >= overview->sizeHint().width());
        QVERIFY(overview->height() >= overview->sizeHint().height());
        const QRect area(overview->mapTo(page, QPoint(0, 0)), overview->size());
        QVERIFY(area.top() > lastButton->mapTo(page, QPoint(0, lastButton->height())).y());
        QVERIFY(page->rect().contains(area));
        QCOMPARE(overview->cellColour(2, 0), lamps[0]->color());
        const int columnWidth = lastButton->width();
        overview->hide();
        page->layout()->activate();
        QCOMPARE(lastButton->width(), columnWidth);
        overview->show();
        page->layout()->activate();

        const QImage picture = window.grab().toImage();
        QVERIFY(distinctColours(picture) > 20);
        saveChecked(picture, name);
    }
    QCoreApplication::removeTranslator(translator.get());
}

QTEST_MAIN(TestScreenshots)
#include "test_screenshots.moc"
