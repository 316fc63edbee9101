#pragma once

#include <QList>
#include <QObject>

namespace Ui {
class Vt410_bootloaderClass;
}

class LampGroupEditing;
class LightingFilesController;
class LightingTab;
class SceneListActions;
class UserQuestions;
class QAction;
class QMainWindow;
class QMenu;
class QString;
class QUndoGroup;

// The editing commands of the Programs and Scenes tabs as tool bar buttons,
// menu entries and shortcuts: open, save, save as, read from and write to
// the unit, undo and redo, and the scene clipboard (copy, cut, paste,
// blackout), the scenes of a program as a list, and the selection of the lamps' sliders. Each serves the tab shown and is off on the Settings tab. The
// table commands do what the shown tab's button does; their captions are
// that button's.
class EditingActions : public QObject
{
    Q_OBJECT

public:
    // Adds the actions to the form's tool bar and File menu and an Edit menu
    // to its menu bar.
    EditingActions(QMainWindow &window, Ui::Vt410_bootloaderClass &ui, LightingTab &programTab, LightingTab &sceneTab,
                   LightingFilesController &files);

    // Where the scene list commands ask before a scene is dropped.
    void setQuestions(UserQuestions *questions);

    // The tab shown, or none on the Settings tab.
    LightingTab *shownTab() const;

    // Read and Write reach the unit: off while something else drives it.
    void setDeviceActionsBlocked(bool blocked);

    // The group editing of the shown tab's lamps, or none on the Settings tab.
    LampGroupEditing *shownLampGroup() const;

    // Enabled states, captions and tooltips for the tab shown and the
    // clipboard's contents.
    void update();

private:
    void addToFileMenu();
    void addEditMenu();
    QMenu *makeSelectionMenu();
    void copyScene();
    void cutScene();
    void pasteScene();
    void blackoutScene();
    void showResult(const QString &text);

    QMainWindow &window;
    Ui::Vt410_bootloaderClass &ui;
    LightingTab &programTab;
    LightingTab &sceneTab;
    LightingFilesController &files;
    bool deviceActionsBlocked = false;

    QAction *openTable = nullptr;
    QAction *saveTable = nullptr;
    QAction *saveTableAs = nullptr;
    QAction *readTable = nullptr;
    QAction *writeTable = nullptr;
    QAction *copy = nullptr;
    QAction *cut = nullptr;
    QAction *paste = nullptr;
    QAction *blackout = nullptr;
    QUndoGroup *undoGroup = nullptr;
    LampGroupEditing *programLamps = nullptr;
    LampGroupEditing *sceneLamps = nullptr;
    QList<QAction *> selectionActions;
    SceneListActions *sceneList = nullptr;
};
