#include "widgets/ColorLineEdit.h"

#include "widgets/BaseColor.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include <utility>

namespace {

QColor standardColorDialog(const QColor &initial, QWidget *parent)
{
    return QColorDialog::getColor(initial, parent);
}

} // namespace

ColorLineEdit::ColorPicker ColorLineEdit::colorPicker = &standardColorDialog;
const QEvent *ColorLineEdit::forwardedKey = nullptr;

ColorLineEdit::ColorLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setAcceptDrops(true);
}

ColorLineEdit::ColorPicker ColorLineEdit::setColorPicker(ColorPicker picker)
{
    const ColorPicker previous = colorPicker;
    colorPicker = picker ? picker : &standardColorDialog;
    return previous;
}

QColor ColorLineEdit::baseColor() const
{
    return palette().color(QPalette::Base);
}

void ColorLineEdit::setBaseColor(const QColor &color)
{
    setWidgetBaseColor(this, color);
}

void ColorLineEdit::emitComponents(const QColor &color)
{
    emit redChanged(color.red());
    emit greenChanged(color.green());
    emit blueChanged(color.blue());
}

bool ColorLineEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick)
        return true;
    return QLineEdit::eventFilter(watched, event);
}

void ColorLineEdit::mousePressEvent(QMouseEvent *event)
{
    // The mouse drags the colour; it never places the cursor or selects text.
    if (event->button() == Qt::LeftButton) {
        auto *mimeData = new QMimeData;
        mimeData->setColorData(baseColor());
        auto *drag = new QDrag(this);
        drag->setMimeData(mimeData);
        drag->exec(Qt::CopyAction);
    }
    update();
}

void ColorLineEdit::mouseDoubleClickEvent(QMouseEvent *)
{
    const QColor chosen = colorPicker(baseColor(), this);
    if (chosen.isValid())
        emitComponents(chosen);
}

bool ColorLineEdit::isForwardedKey(const QEvent *event)
{
    return event && event == forwardedKey;
}

void ColorLineEdit::keyPressEvent(QKeyEvent *event)
{
    // The parents see every key first, then the text is edited.
    if (QWidget *parent = parentWidget()) {
        const QEvent *outer = std::exchange(forwardedKey, event);
        QCoreApplication::sendEvent(parent, event);
        forwardedKey = outer;
    }
    QLineEdit::keyPressEvent(event);
}

void ColorLineEdit::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData() && event->mimeData()->hasColor())
        event->acceptProposedAction();
    else
        event->ignore();
}

void ColorLineEdit::dragMoveEvent(QDragMoveEvent *)
{
    // Acceptance was decided on entering; the position inside does not matter.
}

void ColorLineEdit::dropEvent(QDropEvent *event)
{
    const QMimeData *mimeData = event->mimeData();
    const QColor color = mimeData && mimeData->hasColor() ? qvariant_cast<QColor>(mimeData->colorData()) : QColor();
    if (!color.isValid()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    setBaseColor(color);
    emitComponents(color);
}
