#pragma once

#include "app/UserQuestions.h"

#include <QList>
#include <QVariant>

// Answers the window's questions from a script and records every question
// asked, so a test can drive a command and check what the user was shown.
class ScriptedQuestions : public UserQuestions
{
public:
    enum Kind { OpenFile, SaveFile, Text, Integer, Item, Message };

    struct Question {
        Kind kind = Message;
        QString title;  // caption of a file dialog, title of the others
        QString label;  // label of an input dialog, text of a message box
        QString dir;    // start directory of a file dialog
        QString filter; // filter of a file dialog
        QVariant value; // default text, integer value or current item index
        int minValue = 0;
        int maxValue = 0;
        int step = 0;
        QStringList items;
        bool editable = false;
        QLineEdit::EchoMode echo = QLineEdit::Normal;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };

    // An invalid QVariant answers "Cancel". Unscripted questions are cancelled
    // too (message boxes answer with their first button) and counted.
    void answer(const QVariant &value) { answers.append(value); }
    void cancel() { answers.append(QVariant()); }
    // The button that the next message box is answered with; without one,
    // a box answers Ok.
    void answerMessage(QMessageBox::StandardButton button) { messageAnswers.append(button); }

    QList<Question> asked;

    static Question make(Kind kind, const QString &title, const QString &label, const QString &dir = {},
                         const QString &filter = {}, const QVariant &value = {})
    {
        Question q;
        q.kind = kind;
        q.title = title;
        q.label = label;
        q.dir = dir;
        q.filter = filter;
        q.value = value;
        return q;
    }
    QList<QVariant> answers;
    QList<QMessageBox::StandardButton> messageAnswers;
    int unscripted = 0;

    QList<Question> messages() const
    {
        QList<Question> result;
        for (const Question &q : asked)
            if (q.kind == Message)
                result.append(q);
        return result;
    }

    QString openFileName(QWidget *, const QString &caption, const QString &dir, const QString &filter) override
    {
        Question q = make(OpenFile, caption, {}, dir, filter);
        asked.append(q);
        const QVariant a = next();
        return a.isValid() ? a.toString() : QString();
    }
    QString saveFileName(QWidget *, const QString &caption, const QString &dir, const QString &filter) override
    {
        Question q = make(SaveFile, caption, {}, dir, filter);
        asked.append(q);
        const QVariant a = next();
        return a.isValid() ? a.toString() : QString();
    }
    QString text(QWidget *, const QString &title, const QString &label, QLineEdit::EchoMode mode, const QString &text,
                 bool *ok) override
    {
        Question q = make(Text, title, label, {}, {}, text);
        q.echo = mode;
        asked.append(q);
        const QVariant a = next();
        if (ok)
            *ok = a.isValid();
        return a.isValid() ? a.toString() : QString();
    }
    int integer(QWidget *, const QString &title, const QString &label, int value, int minValue, int maxValue, int step,
                bool *ok) override
    {
        Question q = make(Integer, title, label, {}, {}, value);
        q.minValue = minValue;
        q.maxValue = maxValue;
        q.step = step;
        asked.append(q);
        const QVariant a = next();
        if (ok)
            *ok = a.isValid();
        return a.isValid() ? a.toInt() : value;
    }
    QString item(QWidget *, const QString &title, const QString &label, const QStringList &items, int current,
                 bool editable, bool *ok) override
    {
        Question q = make(Item, title, label, {}, {}, current);
        q.items = items;
        q.editable = editable;
        asked.append(q);
        const QVariant a = next();
        if (ok)
            *ok = a.isValid();
        return a.isValid() ? a.toString() : QString();
    }
    QMessageBox::StandardButton message(QMessageBox::Icon icon, QWidget *, const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        Question q = make(Message, title, text);
        q.icon = icon;
        q.buttons = buttons;
        q.defaultButton = defaultButton;
        asked.append(q);
        return messageAnswers.isEmpty() ? QMessageBox::Ok : messageAnswers.takeFirst();
    }

private:
    QVariant next()
    {
        if (answers.isEmpty()) {
            ++unscripted;
            return QVariant();
        }
        return answers.takeFirst();
    }
};
