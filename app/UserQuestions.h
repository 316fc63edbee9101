#pragma once

#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

// Every modal question the window asks goes through this interface, so that a
// command can be driven from a test with scripted answers. The production
// implementation forwards to the static QFileDialog, QInputDialog and
// QMessageBox functions with the arguments it is given.
class UserQuestions
{
public:
    virtual ~UserQuestions() = default;

    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString text(QWidget *parent, const QString &title, const QString &label, QLineEdit::EchoMode mode,
                         const QString &text, bool *ok) = 0;
    virtual int integer(QWidget *parent, const QString &title, const QString &label, int value, int minValue,
                        int maxValue, int step, bool *ok) = 0;
    virtual QString item(QWidget *parent, const QString &title, const QString &label, const QStringList &items,
                         int current, bool editable, bool *ok) = 0;
    virtual QMessageBox::StandardButton message(QMessageBox::Icon icon, QWidget *parent, const QString &title,
                                                const QString &text, QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) = 0;

    // Closes the message box opened last while it is still open, as if no
    // button had been pressed: its message() returns NoButton. For a
    // question that the course of events has answered (a firmware change
    // ended while the user was asked about closing during it). Nothing to
    // do where message() never waits.
    virtual void closeLastMessage() {}

    // Shorthands for the three kinds of box the window shows.
    QMessageBox::StandardButton critical(QWidget *parent, const QString &title, const QString &text,
                                         QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                         QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
    {
        return message(QMessageBox::Critical, parent, title, text, buttons, defaultButton);
    }
    QMessageBox::StandardButton warning(QWidget *parent, const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
    {
        return message(QMessageBox::Warning, parent, title, text, buttons, defaultButton);
    }
    QMessageBox::StandardButton information(QWidget *parent, const QString &title, const QString &text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
    {
        return message(QMessageBox::Information, parent, title, text, buttons, defaultButton);
    }
};
