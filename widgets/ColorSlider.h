#pragma once

#include <QSlider>

// A 0..255 slider for one colour component that can carry a selection mark.
// The mark is toggled by clicking with Ctrl (or Shift and the left button) and
// set or cleared by sweeping the pointer over the slider with Shift (or
// Shift+Ctrl) held. Selected sliders follow the lamp editor's group commands
// (setValueIfSelected, changePercentifSelected); the style paints the mark.
class ColorSlider : public QSlider
{
    Q_OBJECT

public:
    // Vertical slider; this is the form of the constructor the form compiler uses.
    explicit ColorSlider(QWidget *parent = nullptr);
    ColorSlider(Qt::Orientation orientation, QWidget *parent);

    bool isSelected() const;
    void setSelected(bool state);

    // Lowest and highest value of a colour component.
    static constexpr int MinimumValue = 0;
    static constexpr int MaximumValue = 255;

public slots:
    void setValue(int value);
    void setValueIfSelected(int value);
    void plus();
    void minus();
    void changePercentifSelected(int percent);

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void applyHoverModifiers();

    bool selected = false;
};
