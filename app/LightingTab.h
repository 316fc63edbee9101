#pragma once

#include "app/UndoHistory.h"
#include "lighting/SceneRecord.h"

#include <QList>
#include <QObject>

class LightingDocument;
class QSpinBox;
class QUndoStack;
class SceneOverview;
class SuperRGB;

// The editors of one lighting tab, from the window's form.
struct LightingTabFields {
    QSpinBox *programNumber = nullptr; // the Programs tab only
    QSpinBox *sceneNumber = nullptr;
    QSpinBox *riseTime = nullptr;
    QSpinBox *staticTime = nullptr;
    QSpinBox *endMarker = nullptr; // the Programs tab only
    QList<SuperRGB *> lamps;
    SceneOverview *overview = nullptr;
};

// One lighting tab (the programs or the stand-alone scenes): shows the record
// its number spin boxes select and writes every edit of the operator into its
// document at once, as a step of its undo stack. Moving to another record
// also stores the record left, so that values the spin boxes clamped on
// showing go back into the table then, as they always have.
class LightingTab : public QObject
{
    Q_OBJECT

public:
    LightingTab(LightingDocument *document, const LightingTabFields &fields, QObject *parent = nullptr);

    LightingDocument &document() const { return *doc; }
    QUndoStack *undoStack() const { return stack; }
    bool isPrograms() const { return fields.programNumber != nullptr; }

    // The record the spin boxes select (index in the document).
    int selectedIndex() const;
    // The selected scene as its spin box counts it, from 1.
    int selectedSceneNumber() const { return sceneColumn(selectedIndex()) + 1; }
    // The selected record as the editors show it; the reserved bytes come
    // from the table.
    SceneRecord recordOnDisplay() const;

    // The selection changed: the record shown so far is stored, the selected
    // one shown.
    void showSelected();
    // Selects a record as the user would, without storing the one in between.
    void select(int index);
    // The editors' values go into the selected record, whatever was shown.
    void storeSelected();
    // Whether the document, with the edits on display, differs from its
    // clean point; nothing is stored.
    bool isModifiedOnDisplay() const;

    // Undoable replacements: a whole record (paste, cut, blackout) and the
    // whole table (load, get).
    void replaceSelectedRecord(const SceneRecord &record, const QString &stepText);
    void replaceTable(const QByteArray &table, const QString &stepText);

    // The list the selected scene belongs to: the selected program's 20
    // records, or the stand-alone scenes; its first record's index and length.
    int listFirst() const;
    int listCount() const;
    // Selects scene `column` of that list as a click on the overview does.
    void selectScene(int column);

    // The row of lamp editors, in lamp order.
    const QList<SuperRGB *> &lamps() const { return fields.lamps; }
    // The tab's picture of all its scenes.
    SceneOverview *overview() const { return fields.overview; }
    // Edits from now on are an undo step of their own, not merged into the
    // run of editing before.
    void startEditRun() { ++editRun; }

    // The undo history, for the window a language switch builds; restored
    // into the new window's empty stack, with the table as the history left
    // it already in the document. Nothing is shown or stored meanwhile.
    UndoHistory history() const;
    void restoreHistory(const UndoHistory &history);

    // The index a language switch carries over: the shown record.
    int shownIndex() const { return shown; }
    // Shows `index` as the shown record without storing anything.
    void resume(int index);

signals:
    // Something the window shows about the tab may have changed (the title).
    void displayChanged();
    // A record shown held values beyond the editors' ranges, shown as the
    // nearest they allow; once per table (loaded, read or replaced).
    void valuesClamped();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SceneRecord displayedOver(int index) const;
    void showRecord(int index);
    void storeRecord(int index);
    void recordEdited();
    void documentRecordChanged(int index);
    void setSpinBoxes(int index);
    int sceneColumn(int index) const;
    int indexOfColumn(int column) const;

    LightingDocument *doc;
    LightingTabFields fields;
    QUndoStack *stack;
    // The record on display; the first record from the start on.
    int shown = 0;
    // Set while the editors are filled from the table, so that filling them
    // is not taken for an edit.
    bool showing = false;
    // Changes made within one run (one drag, one run of typing: from a mouse
    // press or a change of focus to the next) merge into one undo step.
    int editRun = 0;
    bool pushing = false;
    // Set while an undo history is rebuilt: the document's changes then are
    // not shown.
    bool restoring = false;
    // valuesClamped() was emitted for the table shown.
    bool clampingTold = false;
};
