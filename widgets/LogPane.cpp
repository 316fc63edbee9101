#include "widgets/LogPane.h"

#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

LogPane::LogPane(QTextEdit *view)
    : QObject(view)
    , view(view)
{
}

void LogPane::append(const QString &text)
{
    const bool idle = pending.isEmpty();
    const bool whole = text.size() < LongText || Qt::mightBeRichText(text);
    if (idle && whole) {
        view->append(text);
        return;
    }
    if (whole) {
        pending.append({text, false});
    } else {
        // Cut at line ends: the first piece opens the paragraph as append()
        // would, each further piece starts with the line end before it.
        qsizetype start = 0;
        bool first = true;
        while (start < text.size()) {
            qsizetype end = start;
            for (int line = 0; line < PieceLines && end >= 0; ++line)
                end = text.indexOf(QLatin1Char('\n'), end + 1);
            if (end < 0)
                end = text.size();
            pending.append({text.mid(start, end - start), !first});
            first = false;
            start = end;
        }
    }
    if (idle)
        QTimer::singleShot(0, this, &LogPane::appendNextPiece);
}

void LogPane::showAll()
{
    if (pending.isEmpty())
        return;
    while (!pending.isEmpty())
        appendPiece();
    emit allShown();
}

void LogPane::appendNextPiece()
{
    // showAll() may have emptied the queue before this turn came.
    if (pending.isEmpty())
        return;
    appendPiece();
    if (pending.isEmpty())
        emit allShown();
    else
        QTimer::singleShot(0, this, &LogPane::appendNextPiece);
}

void LogPane::appendPiece()
{
    const Piece piece = pending.takeFirst();
    if (!piece.continuesParagraph) {
        view->append(piece.text);
        return;
    }
    QScrollBar *bar = view->verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    QTextCursor cursor(view->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(piece.text);
    if (atBottom)
        bar->setValue(bar->maximum());
}
