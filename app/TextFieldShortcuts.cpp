#include "app/TextFieldShortcuts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

bool TextFieldShortcuts::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && qobject_cast<QLineEdit *>(QApplication::focusWidget())) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Paste)) {
            // Accepted: the key goes on to the field as a key press.
            key->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
