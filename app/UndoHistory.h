#pragma once

#include "lighting/SceneRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

class LightingDocument;
class QUndoStack;

// A lighting tab's undo history as plain data, so that it outlives the
// window: a language switch builds a new window, whose tabs take the history
// over and can undo and redo what was done in the old one.
struct UndoHistory {
    struct Step {
        bool wholeTable = false; // a table replaced; else one record changed
        int index = 0;           // the record changed
        QByteArray before;       // the record's or the table's bytes
        QByteArray after;
        QString text; // the step's name, kept where it was given
    };
    QList<Step> steps;
    int done = 0; // steps done; the rest are undone, to be redone

    // The steps of `stack`, in order.
    static UndoHistory of(const QUndoStack &stack);
    // Fills the empty `stack` with the steps, acting on `document`, and
    // leaves it with `done` steps done. The document must hold the table
    // that the history ends in now; it is left as it is.
    void rebuild(QUndoStack &stack, LightingDocument *document) const;
};
