#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class LightingTab;
class QMainWindow;
class QMenu;
class QMimeData;
class QTabWidget;
class QWidget;
class UserQuestions;

// The programs and scenes files of the window's two lighting tabs: save and
// load from the tabs' commands, the question before edits would be lost,
// files given from outside (the command line, a drop, File > Open Recent)
// going to the tab of their kind, and the list of recent files. The kind of
// a file from outside is told by FileKind, never by its name; an upgrade
// file dropped or named on the command line is handed on
// (upgradeFileDropped) for a firmware change.
class LightingFilesController : public QObject
{
    Q_OBJECT

public:
    // The tabs' pages in `tabs` are shown when a file from outside is opened
    // into them.
    LightingFilesController(QMainWindow &window, LightingTab &programTab, LightingTab &sceneTab, QTabWidget &tabs,
                            QWidget &programsPage, QWidget &scenesPage);

    void setQuestions(UserQuestions *questions);

    // Save asks for a name (a name without extension gets the kind's) unless
    // toCurrentFile and the document has one; false when nothing was saved.
    bool save(LightingTab &tab, bool toCurrentFile);
    // Asks for a file and loads it whole into the tab; false when nothing
    // was loaded (cancelled or refused, with the reason shown).
    bool load(LightingTab &tab);
    // Before work on display would be lost: Save, Discard or Cancel. True
    // when the action may go on.
    bool maybeSave(LightingTab &tab);

    // Opens a programs or scenes file from outside into the tab of its kind;
    // asks first when edits would be lost. False when the file was refused
    // or the question cancelled.
    bool open(const QString &fileName);

    // The local files a drag carries; a drag without any is not taken.
    static QStringList localFiles(const QMimeData *data);
    // Each dropped file, or one named on the command line, where its kind
    // goes: an upgrade file to upgradeFileDropped, any other is opened.
    void drop(const QStringList &fileNames);

    // File > Open Recent, filled afresh each time it opens; a child of the
    // window.
    QMenu *makeRecentMenu();

signals:
    void upgradeFileDropped(const QString &fileName);
    // A tab's file or table changed: the title may follow.
    void fileChanged();

private:
    void fillRecentMenu(QMenu *menu);
    void adopt(LightingTab &tab, const QString &fileName, const QByteArray &table);
    void showResult(const QString &text);

    QMainWindow &window;
    LightingTab &programTab;
    LightingTab &sceneTab;
    QTabWidget &tabs;
    QWidget &programsPage;
    QWidget &scenesPage;
    UserQuestions *questions = nullptr;
};
