// Handing the operator's work over to the window that a language switch
// builds in place of this one.
#include "app/Vt410_bootloader.h"

#include "app/LightingTab.h"
#include "app/WindowWork.h"
#include "lighting/LightingDocument.h"
#include "ui_Vt410_bootloader.h"
#include "widgets/LogPane.h"

#include <QTextCursor>

WindowWork Vt410_bootloader::work()
{
    // The edits on display belong to the records shown.
    programTab->storeSelected();
    sceneTab->storeSelected();
    log->showAll();

    WindowWork result;
    result.programs = programs->table();
    result.scenes = scenes->table();
    result.programsClean = programs->cleanTable();
    result.scenesClean = scenes->cleanTable();
    result.programsFile = programs->fileName();
    result.scenesFile = scenes->fileName();
    result.program = programTab->shownIndex() / ScenesPerProgram;
    result.programScene = programTab->shownIndex() % ScenesPerProgram;
    result.scene = sceneTab->shownIndex();
    result.tab = ui->tabWidget->currentIndex();
    if (!ui->txt->document()->isEmpty())
        result.log = ui->txt->toHtml();
    result.unit = chosenPort;
    result.programsHistory = programTab->history();
    result.scenesHistory = sceneTab->history();
    return result;
}

void Vt410_bootloader::resumeWork(const WindowWork &work)
{
    programs->setTable(work.programs);
    scenes->setTable(work.scenes);
    // The histories end in the tables as they were before the edits on
    // display were stored; the tables as handed over stand.
    programTab->restoreHistory(work.programsHistory);
    sceneTab->restoreHistory(work.scenesHistory);
    if (programs->table() != work.programs)
        programs->setTable(work.programs);
    if (scenes->table() != work.scenes)
        scenes->setTable(work.scenes);
    programs->setCleanTable(work.programsClean);
    scenes->setCleanTable(work.scenesClean);
    programs->setFileName(work.programsFile);
    scenes->setFileName(work.scenesFile);
    // Selecting the records must not store this window's empty tabs.
    programTab->resume(LightingDocument::programIndex(work.program, work.programScene));
    sceneTab->resume(work.scene);
    // After the records: the tab change updates what the editing actions offer.
    ui->tabWidget->setCurrentIndex(work.tab);

    // The operator's choice of unit stands, whatever this window found alone.
    if (!work.unit.isEmpty())
        chooseUnit(work.unit);

    if (!work.log.isEmpty()) {
        ui->txt->setHtml(work.log);
        ui->txt->moveCursor(QTextCursor::End);
    }
}
