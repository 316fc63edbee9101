#include "widgets/MenuMnemonics.h"

#include <QAction>
#include <QMenu>
#include <QSet>

QChar MenuMnemonics::of(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return text.at(i + 1).toLower();
    }
    return {};
}

void MenuMnemonics::complete(const QList<QAction *> &actions)
{
    QSet<QChar> used;
    for (const QAction *action : actions) {
        const QChar marked = of(action->text());
        if (!marked.isNull())
            used.insert(marked);
    }
    for (QAction *action : actions) {
        const QString text = action->text();
        if (action->isSeparator() || text.isEmpty() || !of(text).isNull())
            continue;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar letter = text.at(i).toLower();
            if (!letter.isLetterOrNumber() || used.contains(letter))
                continue;
            used.insert(letter);
            QString marked = text;
            marked.insert(i, QLatin1Char('&'));
            action->setText(marked);
            break;
        }
    }
}

void MenuMnemonics::keepComplete(QMenu *menu)
{
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] { complete(menu->actions()); });
}
