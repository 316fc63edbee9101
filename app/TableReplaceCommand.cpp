#include "app/TableReplaceCommand.h"

#include "lighting/LightingDocument.h"

TableReplaceCommand::TableReplaceCommand(LightingDocument *document, const QByteArray &before, const QByteArray &after,
                                         const QString &text)
    : QUndoCommand(text)
    , document(document)
    , before(before)
    , after(after)
{
}

void TableReplaceCommand::undo()
{
    document->setTable(before);
}

void TableReplaceCommand::redo()
{
    document->setTable(after);
}
