#pragma once

#include <QList>
#include <QObject>

#include <functional>

class LightingTab;
class QAction;
class QMainWindow;
class QMenu;
class QWidget;
class UserQuestions;

// The scenes of the shown program (or the stand-alone scenes) edited as a
// list: insert a blank scene, delete one, move one up or down, and copy and
// paste a whole program. Each is one undo step of the shown tab. Inserting
// drops the list's last scene; when that one is not blank, the user is asked
// first. Offered in the Edit menu and in the scene overviews' context menu.
class SceneListActions : public QObject
{
    Q_OBJECT

public:
    using ShownTab = std::function<LightingTab *()>;

    // `window` parents the actions and the questions; `tabs` are the tabs
    // whose overviews get the context menu.
    SceneListActions(QMainWindow &window, const QList<LightingTab *> &tabs, ShownTab shownTab);

    void setQuestions(UserQuestions *questions);
    void addTo(QMenu *menu) const;
    // The overview's context menu: the scene under the pointer is selected,
    // then these commands apply to it. The caller owns the menu.
    QMenu *makeContextMenu(QWidget *parent) const;

    // Enabled states for the tab and scene shown and the clipboard.
    void update();

    void insertScene();
    void deleteScene();
    void moveSceneUp();
    void moveSceneDown();
    void copyProgram();
    void pasteProgram();

    // Clipboard data of a copied program: its 20 records.
    static constexpr const char *ProgramMimeType = "application/x-vt520-program";

private:
    void replaceList(LightingTab &tab, const QByteArray &table, const QString &stepText, int selectAfter);
    void showResult(const QString &text);

    QMainWindow &window;
    ShownTab shownTab;
    UserQuestions *questions = nullptr;
    QAction *insert = nullptr;
    QAction *remove = nullptr;
    QAction *moveUp = nullptr;
    QAction *moveDown = nullptr;
    QAction *copyWhole = nullptr;
    QAction *pasteWhole = nullptr;
};
