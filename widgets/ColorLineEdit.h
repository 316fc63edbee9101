#pragma once

#include <QColor>
#include <QLineEdit>

// A line edit that takes part in colour drag and drop. Pressing on it drags
// its Base colour; a colour dropped on it, or chosen in the colour dialog
// opened by a double click, is reported through redChanged, greenChanged and
// blueChanged (always all three, in that order). Installed as an event filter
// on itself it swallows double clicks, so numeric entry fields stay plain.
class ColorLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit ColorLineEdit(QWidget *parent = nullptr);

    // Asks the user for a colour; returns an invalid colour when cancelled.
    using ColorPicker = QColor (*)(const QColor &initial, QWidget *parent);

    // Replaces the colour dialog used by double clicks (nullptr restores the
    // standard dialog) and returns the previous picker. Meant for tests.
    static ColorPicker setColorPicker(ColorPicker picker);

    // True for the key press that an entry field is handing to its parents
    // before it edits its text with it, while it travels there. A parent that
    // takes it (accepts it) ends its way up.
    static bool isForwardedKey(const QEvent *event);

signals:
    void redChanged(int value);
    void greenChanged(int value);
    void blueChanged(int value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QColor baseColor() const;
    void setBaseColor(const QColor &color);
    void emitComponents(const QColor &color);

    static ColorPicker colorPicker;
    static const QEvent *forwardedKey;
};
