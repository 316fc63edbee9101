#include "app/SceneListActions.h"

#include "app/LightingTab.h"
#include "app/StatusMessageTimes.h"
#include "app/UserQuestions.h"
#include "lighting/LightingDocument.h"
#include "lighting/SceneList.h"
#include "lighting/SceneTables.h"
#include "widgets/MenuMnemonics.h"
#include "widgets/SceneOverview.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>

namespace {

constexpr int ProgramSize = ScenesPerProgram * SceneRecord::Size;

QByteArray clipboardProgram()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data ? data->data(QLatin1String(SceneListActions::ProgramMimeType)) : QByteArray();
}

SceneList shownList(const LightingTab &tab)
{
    return SceneList(tab.document().table(), tab.listFirst(), tab.listCount());
}

} // namespace

SceneListActions::SceneListActions(QMainWindow &window, const QList<LightingTab *> &tabs, ShownTab shownTab)
    : QObject(&window)
    , window(window)
    , shownTab(std::move(shownTab))
{
    const auto addAction = [this](const char *objectName, void (SceneListActions::*slot)()) {
        auto *action = new QAction(&this->window);
        action->setObjectName(QLatin1String(objectName));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    insert = addAction("actionInsertScene", &SceneListActions::insertScene);
    remove = addAction("actionDeleteScene", &SceneListActions::deleteScene);
    moveUp = addAction("actionMoveSceneUp", &SceneListActions::moveSceneUp);
    moveDown = addAction("actionMoveSceneDown", &SceneListActions::moveSceneDown);
    copyWhole = addAction("actionCopyProgram", &SceneListActions::copyProgram);
    pasteWhole = addAction("actionPasteProgram", &SceneListActions::pasteProgram);
    // A language switch builds a new window: the texts are set once.
    insert->setText(tr("&Insert Scene"));
    insert->setToolTip(tr("Put a blank scene before the shown one; the later scenes move down and the last drops off"));
    remove->setText(tr("&Delete Scene"));
    remove->setToolTip(tr("Take the shown scene out; the later scenes move up and a blank scene comes in at the end"));
    moveUp->setText(tr("&Move Scene Up"));
    moveUp->setToolTip(tr("Swap the shown scene with the one before it"));
    moveDown->setText(tr("Move Scene D&own"));
    moveDown->setToolTip(tr("Swap the shown scene with the one after it"));
    copyWhole->setText(tr("Cop&y Program"));
    copyWhole->setToolTip(tr("Copy all scenes of the shown program"));
    pasteWhole->setText(tr("Paste Pro&gram"));
    pasteWhole->setToolTip(tr("Put the copied program's scenes into the shown program"));

    for (LightingTab *tab : tabs) {
        SceneOverview *overview = tab->overview();
        overview->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(overview, &QWidget::customContextMenuRequested, this, [this, tab, overview](const QPoint &position) {
            const int scene = overview->sceneAt(position);
            if (scene >= 0)
                tab->selectScene(scene);
            QMenu *menu = makeContextMenu(overview);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(overview->mapToGlobal(position));
        });
        // Moving up or down depends on the scene shown.
        connect(tab, &LightingTab::displayChanged, this, &SceneListActions::update);
    }
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &SceneListActions::update);
    update();
}

void SceneListActions::setQuestions(UserQuestions *newQuestions)
{
    questions = newQuestions;
}

void SceneListActions::addTo(QMenu *menu) const
{
    menu->addActions({insert, remove, moveUp, moveDown});
    menu->addSeparator();
    menu->addActions({copyWhole, pasteWhole});
}

QMenu *SceneListActions::makeContextMenu(QWidget *parent) const
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("sceneContextMenu"));
    addTo(menu);
    MenuMnemonics::complete(menu->actions());
    return menu;
}

void SceneListActions::update()
{
    const LightingTab *tab = shownTab();
    const bool programs = tab && tab->isPrograms();
    const int scene = tab ? tab->selectedSceneNumber() - 1 : 0;
    insert->setEnabled(tab);
    remove->setEnabled(tab);
    moveUp->setEnabled(tab && scene > 0);
    moveDown->setEnabled(tab && scene < tab->listCount() - 1);
    copyWhole->setEnabled(programs);
    pasteWhole->setEnabled(programs && clipboardProgram().size() == ProgramSize);
}

void SceneListActions::insertScene()
{
    LightingTab *tab = shownTab();
    if (!tab)
        return;
    const SceneList list = shownList(*tab);
    const int scene = tab->selectedSceneNumber() - 1;
    if (!SceneList::isBlank(list.last())) {
        const QString text =
            tab->isPrograms()
                ? tr("Scene %1 of program %2 is not empty. Inserting a scene drops it.\nInsert a scene anyway?")
                      .arg(tab->listCount())
                      .arg(tab->listFirst() / ScenesPerProgram + 1)
                : tr("Scene %1 is not empty. Inserting a scene drops it.\nInsert a scene anyway?")
                      .arg(tab->listCount());
        const QMessageBox::StandardButton answer =
            questions ? questions->warning(&window, tr("Insert Scene"), text, QMessageBox::Yes | QMessageBox::No,
                                           QMessageBox::No)
                      : QMessageBox::No;
        if (answer != QMessageBox::Yes)
            return;
    }
    replaceList(*tab, list.inserted(scene), tr("Insert Scene"), scene);
    showResult(tr("Scene %1 inserted").arg(scene + 1));
}

void SceneListActions::deleteScene()
{
    LightingTab *tab = shownTab();
    if (!tab)
        return;
    const int scene = tab->selectedSceneNumber() - 1;
    replaceList(*tab, shownList(*tab).removed(scene), tr("Delete Scene"), scene);
    showResult(tr("Scene %1 deleted").arg(scene + 1));
}

void SceneListActions::moveSceneUp()
{
    LightingTab *tab = shownTab();
    const int scene = tab ? tab->selectedSceneNumber() - 1 : 0;
    if (!tab || scene <= 0)
        return;
    replaceList(*tab, shownList(*tab).movedUp(scene), tr("Move Scene Up"), scene - 1);
    showResult(tr("Scene %1 moved to %2").arg(scene + 1).arg(scene));
}

void SceneListActions::moveSceneDown()
{
    LightingTab *tab = shownTab();
    const int scene = tab ? tab->selectedSceneNumber() - 1 : 0;
    if (!tab || scene >= tab->listCount() - 1)
        return;
    replaceList(*tab, shownList(*tab).movedDown(scene), tr("Move Scene Down"), scene + 1);
    showResult(tr("Scene %1 moved to %2").arg(scene + 1).arg(scene + 2));
}

void SceneListActions::copyProgram()
{
    LightingTab *tab = shownTab();
    if (!tab || !tab->isPrograms())
        return;
    auto *data = new QMimeData;
    data->setData(QLatin1String(ProgramMimeType), shownList(*tab).scenes());
    QGuiApplication::clipboard()->setMimeData(data);
    update();
    showResult(tr("Program %1 copied").arg(tab->listFirst() / ScenesPerProgram + 1));
}

void SceneListActions::pasteProgram()
{
    LightingTab *tab = shownTab();
    const QByteArray program = clipboardProgram();
    if (!tab || !tab->isPrograms() || program.size() != ProgramSize)
        return;
    const int scene = tab->selectedSceneNumber() - 1;
    replaceList(*tab, shownList(*tab).withScenes(program), tr("Paste Program"), scene);
    showResult(tr("Program %1 pasted").arg(tab->listFirst() / ScenesPerProgram + 1));
}

// One undo step; the scene `selectAfter` of the list is shown afterwards.
void SceneListActions::replaceList(LightingTab &tab, const QByteArray &table, const QString &stepText, int selectAfter)
{
    if (table != tab.document().table())
        tab.replaceTable(table, stepText);
    tab.resume(tab.listFirst() + selectAfter);
    update();
}

void SceneListActions::showResult(const QString &text)
{
    window.statusBar()->showMessage(text, ResultMessageMs);
}
