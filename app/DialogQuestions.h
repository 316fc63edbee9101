#pragma once

#include "app/UserQuestions.h"

#include <QList>
#include <QPointer>

// Asks the user through the toolkit's standard modal dialogs.
class DialogQuestions : public UserQuestions
{
public:
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString text(QWidget *parent, const QString &title, const QString &label, QLineEdit::EchoMode mode,
                 const QString &text, bool *ok) override;
    int integer(QWidget *parent, const QString &title, const QString &label, int value, int minValue, int maxValue,
                int step, bool *ok) override;
    QString item(QWidget *parent, const QString &title, const QString &label, const QStringList &items, int current,
                 bool editable, bool *ok) override;
    QMessageBox::StandardButton message(QMessageBox::Icon icon, QWidget *parent, const QString &title,
                                        const QString &text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    void closeLastMessage() override;

private:
    // The boxes open now, the last opened last.
    QList<QPointer<QMessageBox>> openBoxes;
};
