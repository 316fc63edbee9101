#pragma once

#include <QChar>
#include <QList>
#include <QString>

class QAction;
class QMenu;

// Alt (or the open menu) and one letter reach every menu entry: entries whose
// text marks no letter get the first letter or digit that no other entry of
// the same menu marks. Texts that mark one of their own (in any language)
// keep it, so translations choose theirs; captions that come from buttons
// or files, which mark none, are completed each time the menu opens.
class MenuMnemonics
{
public:
    // The marked letter of a text (after a single '&'; "&&" is a plain
    // ampersand), or a null character when there is none.
    static QChar of(const QString &text);

    // Marks a letter in each text of `actions` that has none.
    static void complete(const QList<QAction *> &actions);
    // Completes the menu's entries each time it is about to open.
    static void keepComplete(QMenu *menu);
};
