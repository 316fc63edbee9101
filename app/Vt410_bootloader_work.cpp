// Handing the operator's work over to the window that a language switch
// builds in place of this one.
#include "app/Vt410_bootloader.h"

#include "app/WindowWork.h"
#include "lighting/LightingDocument.h"
#include "ui_Vt410_bootloader.h"
#include "widgets/SceneOverview.h"

#include <QSignalBlocker>
#include <QTextCursor>

WindowWork Vt410_bootloader::work()
{
    // The edits on display belong to the records shown.
    storeProgramTab(shownProgram, shownProgramScene);
    storeSceneTab(shownScene);
    while (!pendingUpgraderText.isEmpty())
        appendPendingUpgraderText();

    WindowWork result;
    result.programs = programs->table();
    result.scenes = scenes->table();
    result.programsClean = programs->cleanTable();
    result.scenesClean = scenes->cleanTable();
    result.programsFile = programs->fileName();
    result.scenesFile = scenes->fileName();
    result.program = shownProgram;
    result.programScene = shownProgramScene;
    result.scene = shownScene;
    result.tab = ui->tabWidget->currentIndex();
    if (!ui->txt->document()->isEmpty())
        result.log = ui->txt->toHtml();
    return result;
}

void Vt410_bootloader::resumeWork(const WindowWork &work)
{
    programs->setTable(work.programs);
    scenes->setTable(work.scenes);
    programs->setCleanTable(work.programsClean);
    scenes->setCleanTable(work.scenesClean);
    programs->setFileName(work.programsFile);
    scenes->setFileName(work.scenesFile);
    {
        // Selecting the records must not store this window's empty tabs.
        const QSignalBlocker programBlocker(ui->spinBoxProgramNumber);
        const QSignalBlocker sceneBlocker(ui->spinBoxSceneNumber);
        const QSignalBlocker standaloneBlocker(ui->spinBoxSceneSceneNumber);
        ui->spinBoxProgramNumber->setValue(work.program + 1);
        ui->spinBoxSceneNumber->setValue(work.programScene + 1);
        ui->spinBoxSceneSceneNumber->setValue(work.scene + 1);
    }
    shownProgram = ui->spinBoxProgramNumber->value() - 1;
    shownProgramScene = ui->spinBoxSceneNumber->value() - 1;
    shownScene = ui->spinBoxSceneSceneNumber->value() - 1;
    showProgramRecord(shownProgram, shownProgramScene);
    showSceneRecord(shownScene);
    // The spin boxes were set without their signals: the overviews follow
    // them here, or they would mark the first scene.
    programOverview->setCurrentScene(shownProgramScene);
    sceneOverview->setCurrentScene(shownScene);
    // After the records: the tab change updates what the editing actions offer.
    ui->tabWidget->setCurrentIndex(work.tab);

    if (!work.log.isEmpty()) {
        ui->txt->setHtml(work.log);
        ui->txt->moveCursor(QTextCursor::End);
    }
}
