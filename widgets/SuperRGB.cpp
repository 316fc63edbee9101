#include "widgets/SuperRGB.h"

#include "widgets/BaseColor.h"
#include "widgets/ColorLineEdit.h"
#include "ui_Lamp.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace {

// 0..99 with one or two digits, 000..199, 200..249 and 250..255 with three
// digits; anchored, because the validator must match the whole text.
const char *const ComponentPattern = "([0-9]{1,2})|([0-1]{1}[0-9]{2})|(2[0-4]{1}[0-9]{1}|(25[0-5]{1}))";

enum Channel { RedChannel, GreenChannel, BlueChannel };

// The colour of one component alone, painted behind its entry field.
QColor pureComponentColor(Channel channel, int level)
{
    level = std::clamp(level, 0, 255);
    return QColor(channel == RedChannel ? level : 0, channel == GreenChannel ? level : 0,
                  channel == BlueChannel ? level : 0);
}

void setWidgetTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

} // namespace

// The members that belong to one colour component.
struct SuperRGB::Component {
    quint8 &value;
    ColorLineEdit *edit;
    ColorSlider *slider;
    Channel channel;
};

SuperRGB::SuperRGB(unsigned char red, unsigned char green, unsigned char blue, unsigned short lampNumber)
    : QWidget(nullptr)
    , ui(new Ui::Lamp)
{
    ui->setupUi(this);
    // The editor keeps the width of its form: a wider row gives the room to
    // its neighbours, not blank space inside each lamp. Its size counts also
    // before the window is first shown, so that the window can be sized for
    // a row of lamps before it appears.
    QSizePolicy policy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);
    redValue = red;
    greenValue = green;
    blueValue = blue;
    this->lampNumber = lampNumber;

    validator = new QRegularExpressionValidator(
        QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(ComponentPattern))), this);
    for (ColorLineEdit *edit : {ui->EditRed, ui->EditGreen, ui->EditBlue}) {
        edit->setValidator(validator);
        setWidgetTextColor(edit, Qt::white);
    }

    setRedColor(red);
    setGreenColor(green);
    setBlueColor(blue);
    ui->SliderRed->setValue(red);
    ui->SliderGreen->setValue(green);
    ui->SliderBlue->setValue(blue);

    ui->LampGroupBox->setTitle(QCoreApplication::translate("Lamp", "L: %1").arg(lampNumber + 1));
    ui->LabelAddress1->setText(QString::number(3 * lampNumber + 1));
    ui->LabelAddress2->setText(QString::number(3 * lampNumber + 2));
    ui->LabelAddress3->setText(QString::number(3 * lampNumber + 3));

    setAccessibleTexts();

    ui->EditRed->setText(QString::asprintf("%03d", redValue));
    ui->EditGreen->setText(QString::asprintf("%03d", greenValue));
    ui->EditBlue->setText(QString::asprintf("%03d", blueValue));

    // The swatch leaves its context menu to the lamp (the line edit's own
    // would offer text commands for a field that takes no text).
    ui->EditColor->setContextMenuPolicy(Qt::NoContextMenu);

    // Each entry field filters itself, so that double clicks there neither
    // open the colour dialog nor select text; the swatch keeps its dialog.
    for (ColorLineEdit *edit : {ui->EditRed, ui->EditGreen, ui->EditBlue})
        edit->installEventFilter(edit);

    connect(ui->SliderRed, &QSlider::valueChanged, this, &SuperRGB::setRedColor);
    connect(ui->SliderGreen, &QSlider::valueChanged, this, &SuperRGB::setGreenColor);
    connect(ui->SliderBlue, &QSlider::valueChanged, this, &SuperRGB::setBlueColor);
    connect(ui->EditRed, &QLineEdit::textChanged, this, &SuperRGB::textRedChanged);
    connect(ui->EditGreen, &QLineEdit::textChanged, this, &SuperRGB::textGreenChanged);
    connect(ui->EditBlue, &QLineEdit::textChanged, this, &SuperRGB::textBlueChanged);
    // Under an unselected slider the buttons step it by 1, as they always
    // have; under a selected one they scale all selected sliders.
    const struct {
        QPushButton *button;
        ColorSlider *slider;
        int step;
    } steps[] = {
        {ui->ButtonRPlus, ui->SliderRed, 1},     {ui->ButtonGPlus, ui->SliderGreen, 1},
        {ui->ButtonBPlus, ui->SliderBlue, 1},    {ui->ButtonRMinus, ui->SliderRed, -1},
        {ui->ButtonGMinus, ui->SliderGreen, -1}, {ui->ButtonBMinus, ui->SliderBlue, -1},
    };
    for (const auto &entry : steps) {
        connect(entry.button, &QPushButton::clicked, this,
                [this, slider = entry.slider, step = entry.step] { stepOrScale(slider, step); });
    }
    connect(ui->EditColor, &ColorLineEdit::redChanged, ui->SliderRed, &ColorSlider::setValue);
    connect(ui->EditColor, &ColorLineEdit::greenChanged, ui->SliderGreen, &ColorSlider::setValue);
    connect(ui->EditColor, &ColorLineEdit::blueChanged, ui->SliderBlue, &ColorSlider::setValue);
    connect(ui->SliderRed, &QSlider::sliderMoved, this, &SuperRGB::sliderRedMoved);
    connect(ui->SliderGreen, &QSlider::sliderMoved, this, &SuperRGB::sliderGreenMoved);
    connect(ui->SliderBlue, &QSlider::sliderMoved, this, &SuperRGB::sliderBlueMoved);
}

SuperRGB::~SuperRGB()
{
    delete ui;
}

void SuperRGB::setAccessibleTexts()
{
    // Lamps and DMX channels are counted from 1 for the user.
    const int lamp = lampNumber + 1;
    const int firstChannel = 3 * lampNumber + 1;
    setAccessibleName(tr("Lamp %1").arg(lamp));
    setAccessibleDescription(
        tr("Colour of lamp %1 on DMX channels %2 to %3").arg(lamp).arg(firstChannel).arg(firstChannel + 2));
    ui->EditColor->setAccessibleName(tr("Lamp %1 colour").arg(lamp));
    ui->EditColor->setAccessibleDescription(
        tr("Drag the colour to another lamp, drop one here, or double-click to choose one"));

    // Whole texts per component, so that each language words them its own way.
    struct Texts {
        QWidget *slider, *edit, *plus, *minus;
        QString sliderName, sliderDescription, editName, editDescription, plusName, minusName;
    };
    const Texts all[] = {
        {ui->SliderRed, ui->EditRed, ui->ButtonRPlus, ui->ButtonRMinus, tr("Lamp %1 red"),
         tr("Red level on DMX channel %1, 0 to 255"), tr("Lamp %1 red value"), tr("Type the red level, 0 to 255"),
         tr("Lamp %1 red up by 1"), tr("Lamp %1 red down by 1")},
        {ui->SliderGreen, ui->EditGreen, ui->ButtonGPlus, ui->ButtonGMinus, tr("Lamp %1 green"),
         tr("Green level on DMX channel %1, 0 to 255"), tr("Lamp %1 green value"), tr("Type the green level, 0 to 255"),
         tr("Lamp %1 green up by 1"), tr("Lamp %1 green down by 1")},
        {ui->SliderBlue, ui->EditBlue, ui->ButtonBPlus, ui->ButtonBMinus, tr("Lamp %1 blue"),
         tr("Blue level on DMX channel %1, 0 to 255"), tr("Lamp %1 blue value"), tr("Type the blue level, 0 to 255"),
         tr("Lamp %1 blue up by 1"), tr("Lamp %1 blue down by 1")},
    };
    for (int i = 0; i < 3; ++i) {
        const Texts &t = all[i];
        t.slider->setAccessibleName(t.sliderName.arg(lamp));
        t.slider->setAccessibleDescription(t.sliderDescription.arg(firstChannel + i));
        t.edit->setAccessibleName(t.editName.arg(lamp));
        t.edit->setAccessibleDescription(t.editDescription);
        // The buttons' tool tips ("Add 1 to red") serve as their descriptions.
        t.plus->setAccessibleName(t.plusName.arg(lamp));
        t.minus->setAccessibleName(t.minusName.arg(lamp));
    }
    for (QWidget *label : {ui->LabelAddress1, ui->LabelAddress2, ui->LabelAddress3})
        label->setAccessibleDescription(tr("DMX channel"));
}

void SuperRGB::keyPressEvent(QKeyEvent *event)
{
    // A key handed up by an entry field ends here: the field moves its cursor
    // with it, and the row of lamps around must not scroll with it as well.
    if (ColorLineEdit::isForwardedKey(event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

QSize SuperRGB::sizeHint() const
{
    return ui->LampGroupBox->size().expandedTo(minimumSize());
}

QColor SuperRGB::color() const
{
    return rgbColor;
}

SuperRGB::Component SuperRGB::red()
{
    return {redValue, ui->EditRed, ui->SliderRed, RedChannel};
}

SuperRGB::Component SuperRGB::green()
{
    return {greenValue, ui->EditGreen, ui->SliderGreen, GreenChannel};
}

SuperRGB::Component SuperRGB::blue()
{
    return {blueValue, ui->EditBlue, ui->SliderBlue, BlueChannel};
}

void SuperRGB::setComponent(const Component &component, int value)
{
    const auto level = quint8(value & 0xFF);
    // When the text or the setter itself moved the slider, the slider reports
    // the value that is already stored here; the colour did not change again,
    // so it is not reported a second time.
    const bool sliderEcho = textEditing && level == component.value;
    component.value = level;
    if (!sliderEcho)
        updateRGBColor();
    if (!textEditing)
        component.edit->setText(QString::asprintf("%03d", value));
    textEditing = false;
    setWidgetBaseColor(component.edit, pureComponentColor(component.channel, level));
}

void SuperRGB::typedComponent(const Component &component, const QString &text)
{
    bool isNumber = false;
    const int number = text.toInt(&isNumber, 10);
    if (!isNumber)
        return;
    textEditing = true;
    component.slider->setValue(number);
    // A slider already at that value reports nothing, and the setter that
    // would clear the flag is not called: clear it here in every case.
    textEditing = false;
    setWidgetBaseColor(component.edit, pureComponentColor(component.channel, number));
}

void SuperRGB::setRedColor(int value)
{
    setComponent(red(), value);
}

void SuperRGB::setGreenColor(int value)
{
    setComponent(green(), value);
}

void SuperRGB::setBlueColor(int value)
{
    setComponent(blue(), value);
}

void SuperRGB::textRedChanged(QString s)
{
    typedComponent(red(), s);
}

void SuperRGB::textGreenChanged(QString s)
{
    typedComponent(green(), s);
}

void SuperRGB::textBlueChanged(QString s)
{
    typedComponent(blue(), s);
}

void SuperRGB::redPlusPlus()
{
    ui->SliderRed->plus();
}

void SuperRGB::greenPlusPlus()
{
    ui->SliderGreen->plus();
}

void SuperRGB::bluePlusPlus()
{
    ui->SliderBlue->plus();
}

void SuperRGB::redMinusMinus()
{
    ui->SliderRed->minus();
}

void SuperRGB::greenMinusMinus()
{
    ui->SliderGreen->minus();
}

void SuperRGB::blueMinusMinus()
{
    ui->SliderBlue->minus();
}

void SuperRGB::updateRGBColor()
{
    rgbColor = QColor(redValue, greenValue, blueValue, 255);
    setWidgetBaseColor(ui->EditColor, rgbColor);
    emit colorChanged(rgbColor);
}

void SuperRGB::setRGB(uint r, uint g, uint b)
{
    // Clamp before narrowing, so that huge unsigned values do not wrap to negative.
    const auto toSlider = [](uint value) { return int(std::min<uint>(value, ColorSlider::MaximumValue)); };
    ui->SliderRed->setValue(toSlider(r));
    ui->SliderGreen->setValue(toSlider(g));
    ui->SliderBlue->setValue(toSlider(b));
}

void SuperRGB::setValueIfSelected(int value)
{
    ui->SliderRed->setValueIfSelected(value);
    ui->SliderGreen->setValueIfSelected(value);
    ui->SliderBlue->setValueIfSelected(value);
}

void SuperRGB::sliderRedMoved(int value)
{
    if (ui->SliderRed->isSelected())
        emit selectedSliderValueChange(value);
}

void SuperRGB::sliderGreenMoved(int value)
{
    if (ui->SliderGreen->isSelected())
        emit selectedSliderValueChange(value);
}

void SuperRGB::sliderBlueMoved(int value)
{
    if (ui->SliderBlue->isSelected())
        emit selectedSliderValueChange(value);
}

void SuperRGB::setAll(bool state)
{
    selectRed(state);
    selectGreen(state);
    selectBlue(state);
}

void SuperRGB::selectRed(bool state)
{
    ui->SliderRed->setSelected(state);
}

void SuperRGB::selectGreen(bool state)
{
    ui->SliderGreen->setSelected(state);
}

void SuperRGB::selectBlue(bool state)
{
    ui->SliderBlue->setSelected(state);
}

void SuperRGB::changePercentifSelected(int percent)
{
    ui->SliderRed->changePercentifSelected(percent);
    ui->SliderGreen->changePercentifSelected(percent);
    ui->SliderBlue->changePercentifSelected(percent);
}

bool SuperRGB::isRedSelected() const
{
    return ui->SliderRed->isSelected();
}

bool SuperRGB::isGreenSelected() const
{
    return ui->SliderGreen->isSelected();
}

bool SuperRGB::isBlueSelected() const
{
    return ui->SliderBlue->isSelected();
}

bool SuperRGB::hasSelectedSlider() const
{
    return isRedSelected() || isGreenSelected() || isBlueSelected();
}

void SuperRGB::stepOrScale(ColorSlider *slider, int step)
{
    if (!slider->isSelected()) {
        if (step > 0)
            slider->plus();
        else
            slider->minus();
        return;
    }
    const int percent = step > 0 ? ScaleStepPercent : -ScaleStepPercent;
    if (isSignalConnected(QMetaMethod::fromSignal(&SuperRGB::selectedPercentChange)))
        emit selectedPercentChange(percent);
    else
        changePercentifSelected(percent);
}

void SuperRGB::setKeyboardReachable(bool reachable)
{
    for (QWidget *part : keyboardOrder()) {
        if (!qobject_cast<QLineEdit *>(part) || part == ui->EditColor)
            part->setFocusPolicy(reachable ? Qt::TabFocus : Qt::NoFocus);
    }
}

QList<QWidget *> SuperRGB::keyboardOrder() const
{
    return {ui->EditColor,   ui->ButtonRPlus,  ui->SliderRed,   ui->ButtonRMinus, ui->ButtonGPlus,
            ui->SliderGreen, ui->ButtonGMinus, ui->ButtonBPlus, ui->SliderBlue,   ui->ButtonBMinus,
            ui->EditRed,     ui->EditGreen,    ui->EditBlue};
}
