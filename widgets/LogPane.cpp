#include "widgets/LogPane.h"

#include <QAccessible>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
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
        appendParagraph(text);
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
        appendParagraph(piece.text);
        return;
    }
    QScrollBar *bar = view->verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    QTextCursor cursor(view->document());
    cursor.movePosition(QTextCursor::End);
    const int position = cursor.position();
    cursor.insertText(piece.text);
    if (atBottom)
        bar->setValue(bar->maximum());
    announce(position, piece.text);
}

void LogPane::appendParagraph(const QString &text)
{
    const int position = view->document()->characterCount() - 1;
    view->append(text);
    announce(position, text);
}

// A screen reader reads new lines out when it is idle, without taking the
// user's focus away: the text view does not report text put in by the
// program, so the pane does.
void LogPane::announce(int position, const QString &text)
{
    const QString plain = Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    Q_UNUSED(position);
    QAccessibleAnnouncementEvent event(view, plain);
    event.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
#else
    QAccessibleTextInsertEvent event(view, position, plain);
#endif
    QAccessible::updateAccessibility(&event);
    emit announced(plain);
}
