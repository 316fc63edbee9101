#include "app/UndoHistory.h"

#include "app/RecordEditCommand.h"
#include "app/TableReplaceCommand.h"

#include <QUndoStack>

#include <cstring>

namespace {

QByteArray bytesOf(const SceneRecord &record)
{
    return QByteArray(reinterpret_cast<const char *>(record.bytes), SceneRecord::Size);
}

SceneRecord recordOf(const QByteArray &bytes)
{
    SceneRecord record = {};
    std::memcpy(record.bytes, bytes.constData(), size_t(qMin<qsizetype>(bytes.size(), SceneRecord::Size)));
    return record;
}

} // namespace

UndoHistory UndoHistory::of(const QUndoStack &stack)
{
    UndoHistory history;
    for (int i = 0; i < stack.count(); ++i) {
        const QUndoCommand *command = stack.command(i);
        Step step;
        if (const auto *edit = dynamic_cast<const RecordEditCommand *>(command)) {
            step.index = edit->recordIndex();
            step.before = bytesOf(edit->recordBefore());
            step.after = bytesOf(edit->recordAfter());
            // A name made from what changed is made again in the new
            // window's language.
            if (edit->hasOwnText())
                step.text = edit->text();
        } else if (const auto *replace = dynamic_cast<const TableReplaceCommand *>(command)) {
            step.wholeTable = true;
            step.before = replace->tableBefore();
            step.after = replace->tableAfter();
            step.text = replace->text();
        } else {
            continue;
        }
        if (i < stack.index())
            ++history.done;
        history.steps.append(step);
    }
    return history;
}

void UndoHistory::rebuild(QUndoStack &stack, LightingDocument *document) const
{
    // Pushing does each step; undoing the ones undone before goes back to
    // where the history stood. The steps chain, so the table ends as it was.
    for (const Step &step : steps) {
        if (step.wholeTable)
            stack.push(new TableReplaceCommand(document, step.before, step.after, step.text));
        else
            stack.push(new RecordEditCommand(document, step.index, recordOf(step.before), recordOf(step.after), -1,
                                             step.text));
    }
    stack.setIndex(done);
}
