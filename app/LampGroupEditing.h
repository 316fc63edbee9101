#pragma once

#include <QList>
#include <QObject>

class LightingTab;
class QAction;
class QMenu;
class SuperRGB;

// The row of lamps of one lighting tab edited as a group: a selected slider
// dragged moves every selected slider of the row, "+" and "-" under a
// selected slider scale every selected slider, and a lamp's colour goes to
// the selected lamps or to all. Each of these is one undo step of the tab.
// The selection marks only say what a group command acts on: they are never
// stored and never change a value themselves.
class LampGroupEditing : public QObject
{
    Q_OBJECT

public:
    enum Component { Red = 0x1, Green = 0x2, Blue = 0x4, AllComponents = Red | Green | Blue };
    Q_DECLARE_FLAGS(Components, Component)

    LampGroupEditing(LightingTab &tab, QObject *parent = nullptr);

    // Marks (or clears) the given sliders of every lamp of the row.
    void select(Components components, bool state);
    // Lamp `from`'s colour into every lamp with a selected slider, or into
    // every lamp; nothing when no other lamp would change.
    void applyColour(int from, bool selectedOnly);

    // The selection commands that the lamps' context menu offers too.
    void setSelectionActions(const QList<QAction *> &actions);
    // The context menu of lamp `lamp`: the selection commands and the two
    // colour commands. The caller owns it.
    QMenu *makeContextMenu(int lamp);

private:
    void moveSelected(int value);
    void scaleSelected(int percent);

    LightingTab &tab;
    QList<QAction *> selectionActions;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(LampGroupEditing::Components)
