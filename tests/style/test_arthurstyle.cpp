#include "FailOnWarnings.h"
#include "style/ArthurStyle.h"
#include "widgets/ColorSlider.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPixmapCache>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

// The compiled-in image tree can be taken away and given back, which lets a
// test paint with every image missing.
static void dropEmbeddedImages()
{
    Q_CLEANUP_RESOURCE(vt520_images);
}

static void restoreEmbeddedImages()
{
    Q_INIT_RESOURCE(vt520_images);
}

namespace {
const QColor Background(241, 241, 241);
const QRgb Blank = qRgb(250, 0, 250); // never painted by the style

QImage blankCanvas(int width, int height)
{
    QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Blank);
    return canvas;
}

QImage grabbed(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Does the area of `picture` at `at` show `image` exactly where the image is
// opaque? Semi-transparent edges blend with whatever lies below and are left out.
bool showsImageAt(const QImage &picture, const QImage &image, QPoint at)
{
    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb s = source.pixel(x, y);
            if (qAlpha(s) != 255)
                continue;
            ++opaque;
            const QPoint p = at + QPoint(x, y);
            if (!picture.rect().contains(p) || (picture.pixel(p) & 0xffffff) != (s & 0xffffff))
                return false;
        }
    }
    return opaque > 0;
}

int paintedColumns(const QImage &picture, int row)
{
    int count = 0;
    for (int x = 0; x < picture.width(); ++x)
        if (picture.pixel(x, row) != Blank)
            ++count;
    return count;
}
} // namespace

class TestArthurStyle : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void progressGrooveFillsProportionally_data();
    void progressGrooveFillsProportionally();
    void progressBarWidgetFills99Of200AtHalf();
    void progressContentsPaintNothing();
    void colourSliderMarkAndHandle_data();
    void colourSliderMarkAndHandle();
    void radioIndicatorImage_data();
    void radioIndicatorImage();
    void groupBoxLayoutPolish_data();
    void groupBoxLayoutPolish();
    void hoverAttributes_data();
    void hoverAttributes();
    void topLevelWindowGetsWindowColour();
    void paletteWindowColourInAllGroups();
    void metricsAndRectangles();
    void radioRectangles_data();
    void radioRectangles();
    void sliderRectangles_data();
    void sliderRectangles();
    void groupBoxLabelRectangle();
    void pushButtonPanelImagesAndHover_data();
    void pushButtonPanelImagesAndHover();
    void missingImagesPaintNothingAndStopNothing();
    void sliderHoverMarks_data();
    void sliderHoverMarks();
    void framesAndPanels_data();
    void framesAndPanels();
    void groupBoxFramePrimitive();
};

void TestArthurStyle::progressGrooveFillsProportionally_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("filled");
    QTest::newRow("half of 200") << 200 << 50 << 100 << 99;
    QTest::newRow("full") << 200 << 100 << 100 << 199;
    QTest::newRow("one percent") << 200 << 1 << 100 << 1;
    QTest::newRow("below one pixel") << 200 << 0 << 100 << 0;
    QTest::newRow("reset state below minimum") << 200 << -1 << 100 << 0;
    QTest::newRow("maximum zero (busy)") << 200 << 0 << 0 << 0;
    QTest::newRow("odd width truncates") << 101 << 50 << 100 << 49;
    QTest::newRow("large range no overflow") << 300 << 2000000000 << 2000000000 << 299;
}

void TestArthurStyle::progressGrooveFillsProportionally()
{
    QFETCH(int, width);
    QFETCH(int, progress);
    QFETCH(int, maximum);
    QFETCH(int, filled);
    ArthurStyle style;
    QImage canvas = blankCanvas(width, 12);
    QStyleOptionProgressBar option;
    option.rect = canvas.rect();
    option.minimum = 0;
    option.maximum = maximum;
    option.progress = progress;
    option.state = QStyle::State_Enabled;
    QPainter painter(&canvas);
    style.drawControl(QStyle::CE_ProgressBarGroove, &option, &painter);
    painter.end();
    for (int row = 0; row < canvas.height(); ++row)
        QCOMPARE(paintedColumns(canvas, row), filled);
    if (filled > 1) {
        // Black at the start of the diagonal, green at its end.
        const QColor start = canvas.pixelColor(0, 0);
        const QColor end = canvas.pixelColor(filled - 1, canvas.height() - 1);
        QVERIFY(start.green() < 40 && start.red() == 0 && start.blue() == 0);
        QVERIFY(end.green() > 200 && end.red() == 0 && end.blue() == 0);
    }
}

void TestArthurStyle::progressBarWidgetFills99Of200AtHalf()
{
    ArthurStyle style;
    QProgressBar bar;
    bar.setStyle(&style);
    bar.setRange(0, 100);
    bar.setValue(50);
    bar.setTextVisible(false);
    bar.resize(200, 15);
    const QImage picture = grabbed(bar);
    int green = 0;
    for (int x = 0; x < picture.width(); ++x) {
        const QColor c = picture.pixelColor(x, 10);
        if (c.red() == 0 && c.blue() == 0)
            ++green;
    }
    QCOMPARE(green, 99);
}

void TestArthurStyle::progressContentsPaintNothing()
{
    ArthurStyle style;
    QImage canvas = blankCanvas(200, 12);
    QStyleOptionProgressBar option;
    option.rect = canvas.rect();
    option.maximum = 100;
    option.progress = 70;
    option.state = QStyle::State_Enabled;
    QPainter painter(&canvas);
    style.drawControl(QStyle::CE_ProgressBarContents, &option, &painter);
    painter.end();
    QCOMPARE(paintedColumns(canvas, 6), 0);
}

void TestArthurStyle::colourSliderMarkAndHandle_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("handleImage");
    QTest::addColumn<int>("markChannel"); // 0 red, 1 green, 2 blue, -1 no mark
    QTest::newRow("green selected") << "SliderGreen" << true << "slider_thumb_on_v_green.png" << 1;
    QTest::newRow("green unselected") << "SliderGreen" << false << "slider_thumb_on_v_green.png" << -1;
    QTest::newRow("red selected") << "SliderRed" << true << "slider_thumb_on_v_red.png" << 0;
    QTest::newRow("blue selected") << "SliderBlue" << true << "slider_thumb_on_v_blue.png" << 2;
    QTest::newRow("unnamed selected gets no mark") << "Other" << true << "slider_thumb_on_v_blue.png" << -1;
}

void TestArthurStyle::colourSliderMarkAndHandle()
{
    QFETCH(QString, name);
    QFETCH(bool, selected);
    QFETCH(QString, handleImage);
    QFETCH(int, markChannel);

    ArthurStyle style;
    ColorSlider slider(Qt::Vertical, nullptr);
    slider.setObjectName(name);
    slider.setStyle(&style);
    slider.resize(35, 200);
    slider.setValue(128);
    slider.setSelected(selected);
    const QImage picture = grabbed(slider);

    // Beside the groove, inside the mark's inset, well above the handle.
    const QColor mark = picture.pixelColor(6, 40);
    if (markChannel < 0) {
        QCOMPARE(mark, Background);
    } else {
        const int channel[3] = {mark.red(), mark.green(), mark.blue()};
        for (int c = 0; c < 3; ++c)
            if (c != markChannel)
                QVERIFY2(channel[markChannel] > channel[c] + 40, qPrintable(mark.name()));
    }
    // Outside the mark's 4-pixel inset nothing is painted.
    QCOMPARE(picture.pixelColor(1, 40), Background);

    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = Qt::Vertical;
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.value();
    option.sliderValue = slider.value();
    option.upsideDown = true; // vertical sliders count upwards
    const QRect handle = style.subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider);
    QCOMPARE(handle.size(), QSize(27, 13));
    const QImage thumb(QStringLiteral(":/res/images/") + handleImage);
    QVERIFY(showsImageAt(picture, thumb, handle.topLeft()));
}

void TestArthurStyle::radioIndicatorImage_data()
{
    QTest::addColumn<bool>("down");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("image");
    QTest::newRow("pressed") << true << false << "radiobutton-on.png";
    QTest::newRow("pressed while checked") << true << true << "radiobutton-on.png";
    QTest::newRow("checked") << false << true << "radiobutton_on.png";
    QTest::newRow("off") << false << false << "radiobutton_off.png";
}

void TestArthurStyle::radioIndicatorImage()
{
    QFETCH(bool, down);
    QFETCH(bool, checked);
    QFETCH(QString, image);

    ArthurStyle style;
    QRadioButton radio(QStringLiteral("Lamp"));
    radio.setStyle(&style);
    radio.resize(120, 20);
    radio.setChecked(checked);
    radio.setDown(down);
    const QImage picture = grabbed(radio);

    QStyleOptionButton option;
    option.initFrom(&radio);
    const QPoint at = style.subElementRect(QStyle::SE_RadioButtonIndicator, &option, &radio).topLeft();
    const QStringList all = {QStringLiteral("radiobutton-on.png"), QStringLiteral("radiobutton_on.png"),
                             QStringLiteral("radiobutton_off.png")};
    for (const QString &candidate : all) {
        const bool shown = showsImageAt(picture, QImage(QStringLiteral(":/res/images/") + candidate), at);
        QVERIFY2(shown == (candidate == image), qPrintable(candidate));
    }
}

void TestArthurStyle::groupBoxLayoutPolish_data()
{
    QTest::addColumn<bool>("nested");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<int>("margin");
    QTest::newRow("contains a group box") << true << 7 << 10;
    QTest::newRow("plain controls only") << false << 0 << 3;
}

void TestArthurStyle::groupBoxLayoutPolish()
{
    QFETCH(bool, nested);
    QFETCH(int, spacing);
    QFETCH(int, margin);

    ArthurStyle style;
    QGroupBox box(QStringLiteral("Outer"));
    auto *layout = new QVBoxLayout(&box);
    layout->setSpacing(7);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addWidget(new QPushButton(QStringLiteral("One")));
    if (nested)
        layout->addWidget(new QGroupBox(QStringLiteral("Inner")));
    box.setStyle(&style);
    box.ensurePolished();
    QCOMPARE(layout->spacing(), spacing);
    QCOMPARE(layout->contentsMargins(), QMargins(margin, margin, margin, margin));
}

void TestArthurStyle::hoverAttributes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("hover");
    QTest::newRow("push button") << "button" << true;
    QTest::newRow("radio button") << "radio" << true;
    QTest::newRow("slider") << "slider" << true;
    QTest::newRow("colour slider") << "colour" << true;
    QTest::newRow("label") << "label" << false;
}

void TestArthurStyle::hoverAttributes()
{
    QFETCH(QString, kind);
    QFETCH(bool, hover);
    std::unique_ptr<QWidget> widget;
    if (kind == QLatin1String("button"))
        widget = std::make_unique<QPushButton>();
    else if (kind == QLatin1String("radio"))
        widget = std::make_unique<QRadioButton>();
    else if (kind == QLatin1String("slider"))
        widget = std::make_unique<QSlider>(Qt::Horizontal);
    else if (kind == QLatin1String("colour"))
        widget = std::make_unique<ColorSlider>(Qt::Vertical, nullptr);
    else
        widget = std::make_unique<QLabel>();
    widget->setAttribute(Qt::WA_Hover, false);
    ArthurStyle style;
    style.polish(widget.get());
    QCOMPARE(widget->testAttribute(Qt::WA_Hover), hover);
    widget->setAttribute(Qt::WA_Hover, true);
    style.unpolish(widget.get());
    QCOMPARE(widget->testAttribute(Qt::WA_Hover), !hover);
}

void TestArthurStyle::topLevelWindowGetsWindowColour()
{
    ArthurStyle style;
    QWidget window;
    auto *child = new QWidget(&window);
    QPalette dark = window.palette();
    dark.setColor(QPalette::Window, Qt::darkBlue);
    window.setPalette(dark);
    style.polish(&window);
    style.polish(child);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        QCOMPARE(window.palette().color(group, QPalette::Window), Background);
    QVERIFY(!child->testAttribute(Qt::WA_SetPalette));
}

void TestArthurStyle::paletteWindowColourInAllGroups()
{
    ArthurStyle style;
    QPalette palette(Qt::red);
    style.polish(palette);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        QCOMPARE(palette.color(group, QPalette::Window), Background);
}

void TestArthurStyle::metricsAndRectangles()
{
    ArthurStyle style;
    std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
    QVERIFY(windows);
    QCOMPARE(style.pixelMetric(QStyle::PM_SliderLength), 13);
    for (auto metric : {QStyle::PM_ButtonMargin, QStyle::PM_DefaultFrameWidth, QStyle::PM_ExclusiveIndicatorWidth,
                        QStyle::PM_ScrollBarExtent})
        QCOMPARE(style.pixelMetric(metric), windows->pixelMetric(metric));
}

void TestArthurStyle::radioRectangles_data()
{
    QTest::addColumn<int>("element");
    QTest::addColumn<QRect>("expected");
    // A 120 x 20 radio button: every rectangle is narrowed by 5 on each side.
    QTest::newRow("contents") << int(QStyle::SE_RadioButtonContents) << QRect(QPoint(25, 0), QPoint(114, 19));
    QTest::newRow("click area") << int(QStyle::SE_RadioButtonClickRect) << QRect(QPoint(5, 0), QPoint(114, 19));
}

void TestArthurStyle::radioRectangles()
{
    QFETCH(int, element);
    QFETCH(QRect, expected);
    ArthurStyle style;
    QRadioButton radio;
    radio.resize(120, 20);
    QStyleOptionButton option;
    option.initFrom(&radio);
    QCOMPARE(style.subElementRect(QStyle::SubElement(element), &option, &radio), expected);

    // The same rectangle asked for something that is not a radio button is not narrowed.
    QPushButton button;
    button.resize(120, 20);
    option.initFrom(&button);
    QCOMPARE(style.subElementRect(QStyle::SubElement(element), &option, &button), expected.adjusted(-5, 0, 5, 0));
}

void TestArthurStyle::sliderRectangles_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QSize>("handle");
    QTest::newRow("horizontal") << int(Qt::Horizontal) << QSize(13, 27);
    QTest::newRow("vertical") << int(Qt::Vertical) << QSize(27, 13);
}

void TestArthurStyle::sliderRectangles()
{
    QFETCH(int, orientation);
    QFETCH(QSize, handle);
    ArthurStyle style;
    QStyleOptionSlider option;
    option.orientation = Qt::Orientation(orientation);
    option.rect = orientation == Qt::Horizontal ? QRect(0, 0, 200, 30) : QRect(0, 0, 30, 200);
    option.minimum = 0;
    option.maximum = 255;
    option.sliderPosition = 100;
    QCOMPARE(style.subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle).size(), handle);
    const QRect groove = style.subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove);
    if (orientation == Qt::Horizontal) {
        QCOMPARE(groove.top(), 9);
        QCOMPARE(groove.bottom(), 17);
    } else {
        QCOMPARE(groove.width(), 27);
    }
}

void TestArthurStyle::groupBoxLabelRectangle()
{
    ArthurStyle style;
    QGroupBox box(QStringLiteral("Lamp 1"));
    box.resize(200, 100);
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = box.title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const int title = option.fontMetrics.horizontalAdvance(option.text) + 20;
    const QRect label = style.subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
    QCOMPARE(label.width(), title - 8);
    QCOMPARE(label.height(), 18);
    QCOMPARE(label.top(), 0);
    QCOMPARE(label.left(), box.rect().center().x() - title / 2 + 4);
    QCOMPARE(style.subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, &box), box.rect());

    QProxyStyle windows(QStyleFactory::create(QStringLiteral("Windows")));
    const QRect baseContents = windows.subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, &box);
    QCOMPARE(style.subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, &box),
             baseContents.adjusted(0, -8, 0, 0));
}

void TestArthurStyle::pushButtonPanelImagesAndHover_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("leftCap");
    QTest::addColumn<bool>("hoverMark");
    const int enabled = int(QStyle::State_Enabled);
    QTest::newRow("normal") << enabled << "button_normal_cap_left.png" << false;
    QTest::newRow("sunken") << (enabled | int(QStyle::State_Sunken)) << "button_pressed_cap_left.png" << false;
    QTest::newRow("checked") << (enabled | int(QStyle::State_On)) << "button_pressed_cap_left.png" << false;
    QTest::newRow("hovered") << (enabled | int(QStyle::State_MouseOver)) << "button_normal_cap_left.png" << true;
    QTest::newRow("hovered but disabled") << int(QStyle::State_MouseOver) << "button_normal_cap_left.png" << false;
}

void TestArthurStyle::pushButtonPanelImagesAndHover()
{
    QFETCH(int, state);
    QFETCH(QString, leftCap);
    QFETCH(bool, hoverMark);
    ArthurStyle style;
    const auto paint = [&style](int paintedState) {
        QImage canvas = blankCanvas(100, 30);
        QStyleOptionButton option;
        option.rect = canvas.rect();
        option.state = QStyle::State(paintedState);
        QPainter painter(&canvas);
        style.drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter);
        return canvas;
    };
    const QImage canvas = paint(state);
    const QImage withoutHover = paint(state & ~int(QStyle::State_MouseOver));

    const QImage cap(QStringLiteral(":/res/images/") + leftCap);
    QVERIFY(showsImageAt(canvas, cap, QPoint(0, 0)));
    // The hover mark covers the stretch from the end of the left cap to 4
    // pixels from the right edge and 6 from the bottom (rows 0 to 23 here).
    QCOMPARE(canvas.pixel(cap.width() + 20, 12) != withoutHover.pixel(cap.width() + 20, 12), hoverMark);
    QCOMPARE(canvas.pixel(cap.width() + 20, 23) != withoutHover.pixel(cap.width() + 20, 23), hoverMark);
    QCOMPARE(canvas.pixel(cap.width() + 20, 24), withoutHover.pixel(cap.width() + 20, 24));
    QCOMPARE(canvas.pixel(cap.width() - 1, 12), withoutHover.pixel(cap.width() - 1, 12));
    QCOMPARE(canvas.pixel(96, 12), withoutHover.pixel(96, 12));
    if (hoverMark) {
        const QRgb marked = canvas.pixel(cap.width() + 20, 12);
        QVERIFY(qGreen(marked) > qRed(marked) && qGreen(marked) > qBlue(marked));
    }
}

void TestArthurStyle::missingImagesPaintNothingAndStopNothing()
{
    ArthurStyle style;
    dropEmbeddedImages();
    QPixmapCache::clear();
    QVERIFY(QImage(QStringLiteral(":/res/images/title_stretch.png")).isNull());

    QImage canvas = blankCanvas(200, 100);
    QPainter painter(&canvas);

    // Push button: every image is missing, so nothing at all is painted.
    QStyleOptionButton button;
    button.rect = QRect(0, 0, 100, 30);
    button.state = QStyle::State_Enabled;
    style.drawPrimitive(QStyle::PE_PanelButtonCommand, &button, &painter);

    // Group box: the outline and its gradient are still painted.
    QStyleOptionGroupBox group;
    group.rect = QRect(0, 30, 200, 70);
    group.text = QStringLiteral("Lamp");
    group.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    group.state = QStyle::State_Enabled;
    group.fontMetrics = QFontMetrics(QFont());
    style.drawComplexControl(QStyle::CC_GroupBox, &group, &painter);

    // Slider: the groove and handle images are missing, the selection-free
    // slider paints nothing.
    QStyleOptionSlider slider;
    slider.rect = QRect(0, 0, 200, 30);
    slider.orientation = Qt::Horizontal;
    slider.maximum = 255;
    slider.state = QStyle::State_Enabled;
    style.drawComplexControl(QStyle::CC_Slider, &slider, &painter);
    painter.end();

    restoreEmbeddedImages();

    for (int x = 0; x < 200; x += 7)
        QCOMPARE(canvas.pixel(x, 15), Blank);
    QVERIFY(canvas.pixel(100, 80) != Blank); // inside the group box
    QCOMPARE(canvas.pixel(1, 99), Blank);    // outside its rounded outline

    // The missing images were not remembered: once the tree is back they load.
    QVERIFY(!ArthurStyle::cachedPixmap(QStringLiteral(":res/images/title_stretch.png")).isNull());
}

void TestArthurStyle::sliderHoverMarks_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("marked");
    QTest::newRow("vertical hovered") << int(Qt::Vertical) << true << true;
    QTest::newRow("vertical hovered, disabled") << int(Qt::Vertical) << false << false;
    QTest::newRow("horizontal hovered") << int(Qt::Horizontal) << true << true;
    QTest::newRow("horizontal hovered, disabled") << int(Qt::Horizontal) << false << false;
}

void TestArthurStyle::sliderHoverMarks()
{
    QFETCH(int, orientation);
    QFETCH(bool, enabled);
    QFETCH(bool, marked);
    ArthurStyle style;
    const bool vertical = orientation == Qt::Vertical;
    QImage canvas = blankCanvas(vertical ? 35 : 200, vertical ? 200 : 30);
    QStyleOptionSlider option;
    option.rect = canvas.rect();
    option.orientation = Qt::Orientation(orientation);
    option.maximum = 255;
    option.sliderPosition = vertical ? 255 : 0; // handle out of the way of the probes
    option.upsideDown = vertical;
    option.state = QStyle::State_MouseOver;
    if (enabled)
        option.state |= QStyle::State_Enabled;
    QPainter painter(&canvas);
    style.drawComplexControl(QStyle::CC_Slider, &option, &painter);
    painter.end();

    if (vertical) {
        // A dotted outline at the 4-pixel inset, in the (default blue) slider colour.
        int outline = 0;
        for (int y = 40; y < 160; ++y) {
            const QRgb p = canvas.pixel(4, y);
            if (p != Blank && qBlue(p) > 150 && qRed(p) < 120 && qGreen(p) < 120)
                ++outline;
        }
        if (marked) {
            QVERIFY(outline > 20);
            QVERIFY(outline < 110); // dotted, not solid
        } else {
            QCOMPARE(outline, 0);
        }
        QCOMPARE(canvas.pixel(2, 100), Blank);
    } else {
        // The hover pill runs under the bar, from end to end.
        const QColor probe = canvas.pixelColor(100, 3);
        if (marked)
            QCOMPARE(probe, QColor(191, 215, 191));
        else
            QCOMPARE(canvas.pixel(100, 3), Blank);
        QCOMPARE(canvas.pixel(0, 0), Blank); // rounded end
    }
}

void TestArthurStyle::framesAndPanels_data()
{
    QTest::addColumn<int>("element");
    QTest::addColumn<bool>("filled");
    QTest::newRow("frame") << int(QStyle::PE_Frame) << true;
    QTest::newRow("line edit panel") << int(QStyle::PE_PanelLineEdit) << true;
    QTest::newRow("focus rectangle") << int(QStyle::PE_FrameFocusRect) << false;
}

void TestArthurStyle::framesAndPanels()
{
    QFETCH(int, element);
    QFETCH(bool, filled);
    ArthurStyle style;
    QImage canvas = blankCanvas(120, 40);
    QStyleOptionFrame option;
    option.rect = canvas.rect();
    option.state = QStyle::State_Enabled;
    option.lineWidth = 1;
    option.palette.setColor(QPalette::Base, QColor(10, 200, 30));
    QPainter painter(&canvas);
    style.drawPrimitive(QStyle::PrimitiveElement(element), &option, &painter);
    painter.end();
    if (filled) {
        QCOMPARE(canvas.pixelColor(60, 20), QColor(10, 200, 30));
        QCOMPARE(canvas.pixel(0, 0), Blank); // rounded corner
    } else {
        for (int x = 0; x < 120; x += 3)
            QCOMPARE(canvas.pixel(x, 0), Blank);
        QCOMPARE(canvas.pixel(60, 20), Blank);
    }
}

void TestArthurStyle::groupBoxFramePrimitive()
{
    ArthurStyle style;
    QImage canvas = blankCanvas(120, 80);
    QStyleOptionFrame option;
    option.rect = canvas.rect();
    option.state = QStyle::State_Enabled;
    QPainter painter(&canvas);
    style.drawPrimitive(QStyle::PE_FrameGroupBox, &option, &painter);
    painter.end();
    // Above half the title height nothing; below, grey at the top turning
    // white towards the bottom; the corner images sit in the corners.
    QCOMPARE(canvas.pixel(60, 8), Blank);
    const QColor top = canvas.pixelColor(60, 20);
    const QColor bottom = canvas.pixelColor(60, 66);
    QVERIFY(top.red() < bottom.red());
    QCOMPARE(top.red(), top.green());
    QCOMPARE(canvas.pixel(0, 9), Blank); // outside the rounded clip
    QVERIFY(showsImageAt(canvas, QImage(QStringLiteral(":/res/images/groupframe_topleft.png")), QPoint(0, 9)));
    for (int x = 14; x < 120 - 14; x += 13)
        QVERIFY(showsImageAt(canvas, QImage(QStringLiteral(":/res/images/groupframe_bottom_stretch.png")),
                             QPoint(x, 80 - 14)));
    QVERIFY(showsImageAt(canvas, QImage(QStringLiteral(":/res/images/groupframe_left_stretch.png")), QPoint(0, 40)));
}

QTEST_MAIN(TestArthurStyle)
#include "test_arthurstyle.moc"
