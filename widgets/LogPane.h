#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QTextEdit;

// Feeds a text view (the window's log pane) with lines. A long plain text
// (the hex dumps of a verify failure) goes in over several turns of the
// event loop, so that the window stays responsive; the view ends up as if
// each text had been appended whole. Texts given meanwhile wait their turn.
class LogPane : public QObject
{
    Q_OBJECT

public:
    // Becomes a child of the view, so it goes with it.
    explicit LogPane(QTextEdit *view);

    // Appends the text as one paragraph, as QTextEdit::append would.
    void append(const QString &text);
    // Whether every text given so far is in the view.
    bool isShowingAll() const { return pending.isEmpty(); }
    // Puts whatever still waits into the view now.
    void showAll();

    // Texts at least this long and not rich text go in pieces of at most
    // PieceLines lines.
    static constexpr int LongText = 16 * 1024;
    static constexpr int PieceLines = 256;

signals:
    // The last waiting piece has gone into the view.
    void allShown();
    // Text went into the view and was told to assistive technology, as
    // plain text.
    void announced(const QString &text);

private:
    void appendNextPiece();
    void appendPiece();
    void appendParagraph(const QString &text);
    void announce(int position, const QString &text);

    struct Piece {
        QString text;
        bool continuesParagraph = false;
    };
    QTextEdit *view;
    QList<Piece> pending;
};
