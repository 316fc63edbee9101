#include "app/DialogQuestions.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QPushButton>

QString DialogQuestions::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                      const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString DialogQuestions::saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                      const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString DialogQuestions::text(QWidget *parent, const QString &title, const QString &label, QLineEdit::EchoMode mode,
                              const QString &text, bool *ok)
{
    return QInputDialog::getText(parent, title, label, mode, text, ok);
}

int DialogQuestions::integer(QWidget *parent, const QString &title, const QString &label, int value, int minValue,
                             int maxValue, int step, bool *ok)
{
    return QInputDialog::getInt(parent, title, label, value, minValue, maxValue, step, ok);
}

QString DialogQuestions::item(QWidget *parent, const QString &title, const QString &label, const QStringList &items,
                              int current, bool editable, bool *ok)
{
    return QInputDialog::getItem(parent, title, label, items, current, editable, ok);
}

// As QMessageBox::critical, warning and information ask, with a box of our
// own, so that closeLastMessage() can reach it.
QMessageBox::StandardButton DialogQuestions::message(QMessageBox::Icon icon, QWidget *parent, const QString &title,
                                                     const QString &text, QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton)
{
    if (icon != QMessageBox::Critical && icon != QMessageBox::Warning)
        icon = QMessageBox::Information;
    QMessageBox box(icon, title, text, buttons, parent);
    // Without a default given, the first accepting button is the default,
    // as in the static functions.
    QAbstractButton *preferred = box.button(defaultButton);
    for (QAbstractButton *button : box.buttons()) {
        if (!preferred && box.buttonRole(button) == QMessageBox::AcceptRole)
            preferred = button;
    }
    if (auto *push = qobject_cast<QPushButton *>(preferred))
        box.setDefaultButton(push);
    openBoxes.append(&box);
    box.exec();
    openBoxes.removeAll(&box);
    // A box closed by closeLastMessage() has no button clicked.
    QAbstractButton *clicked = box.clickedButton();
    return clicked ? box.standardButton(clicked) : QMessageBox::NoButton;
}

void DialogQuestions::closeLastMessage()
{
    if (openBoxes.isEmpty())
        return;
    QPointer<QMessageBox> box = openBoxes.takeLast();
    if (box)
        box->reject();
}
