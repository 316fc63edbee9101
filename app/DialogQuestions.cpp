#include "app/DialogQuestions.h"

#include <QFileDialog>
#include <QInputDialog>

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

QMessageBox::StandardButton DialogQuestions::message(QMessageBox::Icon icon, QWidget *parent, const QString &title,
                                                     const QString &text, QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton)
{
    switch (icon) {
    case QMessageBox::Critical:
        return QMessageBox::critical(parent, title, text, buttons, defaultButton);
    case QMessageBox::Warning:
        return QMessageBox::warning(parent, title, text, buttons, defaultButton);
    default:
        return QMessageBox::information(parent, title, text, buttons, defaultButton);
    }
}
