#pragma once

#include <QByteArray>
#include <QUndoCommand>

class LightingDocument;

// The whole table replaced (loaded from a file or read from the Vt520);
// undoing it gives back the table as it was before.
class TableReplaceCommand : public QUndoCommand
{
public:
    TableReplaceCommand(LightingDocument *document, const QByteArray &before, const QByteArray &after,
                        const QString &text);

    void undo() override;
    void redo() override;

    QByteArray tableBefore() const { return before; }
    QByteArray tableAfter() const { return after; }

private:
    LightingDocument *document;
    QByteArray before;
    QByteArray after;
};
