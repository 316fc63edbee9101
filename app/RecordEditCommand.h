#pragma once

#include "lighting/SceneRecord.h"

#include <QCoreApplication>
#include <QUndoCommand>

class LightingDocument;

// One change of one record: an edit in the lamp editors or time fields, or a
// whole record put in (paste, cut, blackout). Edits of the same record made
// within one run of editing merge into one step; a step that ends where it
// began drops out of the stack.
class RecordEditCommand : public QUndoCommand
{
    Q_DECLARE_TR_FUNCTIONS(RecordEditCommand)

public:
    // run < 0: a step of its own, never merged.
    RecordEditCommand(LightingDocument *document, int index, const SceneRecord &before, const SceneRecord &after,
                      int run, const QString &text = QString());

    void undo() override;
    void redo() override;
    int id() const override { return run < 0 ? -1 : MergeId; }
    bool mergeWith(const QUndoCommand *other) override;

    int recordIndex() const { return index; }
    SceneRecord recordBefore() const { return before; }
    SceneRecord recordAfter() const { return after; }
    // Whether the step was given its name; else the name says what changed.
    bool hasOwnText() const { return ownText; }

    // What changed between two records, in the words of the editors:
    // "Lamp 3", "Lamps", "XFade", "Scene Time", "End Marker" or "Scene".
    static QString describe(const SceneRecord &before, const SceneRecord &after);

private:
    static constexpr int MergeId = 0x520;

    LightingDocument *document;
    int index;
    SceneRecord before;
    SceneRecord after;
    int run;
    bool ownText;
};
