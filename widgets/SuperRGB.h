#pragma once

#include <QColor>
#include <QWidget>

class ColorSlider;
class QRegularExpressionValidator;

namespace Ui {
class Lamp;
}

// Editor of one RGB lamp: a colour swatch, three numeric entry fields, a plus
// and a minus button per component, three colour sliders and the lamp's three
// DMX channel numbers. The sliders hold the colour; the entry fields and the
// swatch move the sliders, and the sliders report back into the setters.
class SuperRGB : public QWidget
{
    Q_OBJECT

public:
    SuperRGB(unsigned char red, unsigned char green, unsigned char blue, unsigned short lampNumber);
    ~SuperRGB() override;

    QColor color() const;
    // The width and height of the lamp's form.
    QSize sizeHint() const override;

    // Which of the three sliders carry the selection mark.
    bool isRedSelected() const;
    bool isGreenSelected() const;
    bool isBlueSelected() const;
    bool hasSelectedSlider() const;

    // Makes the swatch, the buttons and the sliders reachable by Tab (only
    // the entry fields are, by themselves); a focused slider moves with the
    // arrow keys. Clicking them still takes no focus.
    void setKeyboardReachable(bool reachable);
    // The lamp's widgets in the order Tab visits them when all are
    // reachable: the swatch, each component's plus button, slider and minus
    // button, then the three entry fields.
    QList<QWidget *> keyboardOrder() const;

    // The percentage by which "+" and "-" scale the selected sliders.
    static constexpr int ScaleStepPercent = 10;

signals:
    void selectedSliderValueChange(int value);
    void colorChanged(QColor color);

public slots:
    void setRedColor(int value);
    void setGreenColor(int value);
    void setBlueColor(int value);
    void textRedChanged(QString s);
    void textGreenChanged(QString s);
    void textBlueChanged(QString s);
    void redPlusPlus();
    void greenPlusPlus();
    void bluePlusPlus();
    void redMinusMinus();
    void greenMinusMinus();
    void blueMinusMinus();
    void updateRGBColor();
    void setRGB(uint r, uint g, uint b);
    void setValueIfSelected(int value);
    void sliderRedMoved(int value);
    void sliderGreenMoved(int value);
    void sliderBlueMoved(int value);
    void setAll(bool state);
    void selectRed(bool state);
    void selectGreen(bool state);
    void selectBlue(bool state);
    void changePercentifSelected(int percent);

signals:
    // "+" or "-" was pressed under a selected slider: every selected slider
    // of the row is to be scaled by `percent`. Without a receiver the lamp
    // scales its own selected sliders.
    void selectedPercentChange(int percent);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Component;
    Component red();
    Component green();
    Component blue();
    void setComponent(const Component &component, int value);
    // Names and descriptions for assistive technology, with the lamp's number.
    void setAccessibleTexts();
    void typedComponent(const Component &component, const QString &text);
    // "+" (step 1) or "-" (step -1) under `slider`: one step of that slider
    // alone, or, on a selected slider, the selected sliders scaled.
    void stepOrScale(ColorSlider *slider, int step);

    Ui::Lamp *ui = nullptr;
    QColor rgbColor;
    quint8 redValue = 0;
    quint8 greenValue = 0;
    quint8 blueValue = 0;
    QRegularExpressionValidator *validator = nullptr;
    quint16 lampNumber = 0;
    // Set while a typed value travels through the slider back into the setter,
    // so that the setter leaves the text as the user typed it.
    bool textEditing = false;
};
