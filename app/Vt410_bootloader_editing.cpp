// The Programs and Scenes tabs: an overview of every scene under the command
// buttons, the tabs that show the tables, their files and their editing
// actions.
#include "app/Vt410_bootloader.h"

#include "app/EditingActions.h"
#include "app/LightingFilesController.h"
#include "app/LightingTab.h"
#include "lighting/LightingDocument.h"
#include "ui_Vt410_bootloader.h"
#include "widgets/SceneOverview.h"
#include "widgets/SuperRGB.h"

#include <utility>

namespace {

// Puts the overview where the column's spacer was, the spacer below it.
void placeUnderButtons(QGridLayout *grid, QSpacerItem *spacer, QWidget *overview)
{
    const int index = grid->indexOf(spacer);
    int row = grid->rowCount();
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 2;
    if (index >= 0) {
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        grid->takeAt(index);
    }
    grid->addWidget(overview, row, 0, 1, 2);
    grid->addItem(spacer, row + 1, 0, 1, 2);
}

} // namespace

void Vt410_bootloader::setUpEditing()
{
    programOverview = new SceneOverview(ScenesPerProgram, true, ui->tabPrograms);
    programOverview->setObjectName(QStringLiteral("programOverview"));
    placeUnderButtons(ui->gridLayout_5, ui->verticalSpacer_2, programOverview);
    QWidget::setTabOrder(ui->pushButtonSaveProgramsToFile, programOverview);
    sceneOverview = new SceneOverview(StandaloneSceneCount, false, ui->tabScenes);
    sceneOverview->setObjectName(QStringLiteral("sceneOverview"));
    placeUnderButtons(ui->gridLayout_7, ui->verticalSpacer_3, sceneOverview);
    QWidget::setTabOrder(ui->pushButtonSaveScenesToFile, sceneOverview);

    // Tab goes on from the record's fields to the lamps, lamp by lamp.
    for (const auto &[overview, lamps] : {std::pair{programOverview, programLamps}, {sceneOverview, sceneLamps}}) {
        QWidget *previous = overview;
        for (const SuperRGB *lamp : lamps) {
            for (QWidget *part : lamp->keyboardOrder()) {
                QWidget::setTabOrder(previous, part);
                previous = part;
            }
        }
    }

    // The tabs come after the window's own connections to the number spin
    // boxes, so that the overviews paint the state that the update slots leave.
    LightingTabFields programFields;
    programFields.programNumber = ui->spinBoxProgramNumber;
    programFields.sceneNumber = ui->spinBoxSceneNumber;
    programFields.riseTime = ui->spinBoxRiseTime;
    programFields.staticTime = ui->spinBoxStaticTime;
    programFields.endMarker = ui->spinBoxEndMarker;
    programFields.lamps = programLamps;
    programFields.overview = programOverview;
    programTab = new LightingTab(programs, programFields, this);
    LightingTabFields sceneFields;
    sceneFields.sceneNumber = ui->spinBoxSceneSceneNumber;
    sceneFields.riseTime = ui->spinBoxSceneRiseTime;
    sceneFields.staticTime = ui->spinBoxSceneStaticTime;
    sceneFields.lamps = sceneLamps;
    sceneFields.overview = sceneOverview;
    sceneTab = new LightingTab(scenes, sceneFields, this);

    // Their files: saved, loaded, opened from outside, remembered.
    files =
        new LightingFilesController(*this, *programTab, *sceneTab, *ui->tabWidget, *ui->tabPrograms, *ui->tabScenes);
    files->setQuestions(questions.get());
    connect(files, &LightingFilesController::fileChanged, this, &Vt410_bootloader::updateTitle);
    connect(files, &LightingFilesController::upgradeFileDropped, this, &Vt410_bootloader::offerFirmwareChange);
    setAcceptDrops(true);

    // Tool bar, File and Edit menus, scene clipboard.
    editing = new EditingActions(*this, *ui, *programTab, *sceneTab, *files);
    editing->setQuestions(questions.get());

    // The title follows the shown table: its file and whether it has changed.
    for (LightingDocument *document : {programs, scenes}) {
        connect(document, &LightingDocument::modifiedChanged, this, &Vt410_bootloader::updateTitle);
        connect(document, &LightingDocument::fileNameChanged, this, &Vt410_bootloader::updateTitle);
    }
    for (LightingTab *tab : {programTab, sceneTab})
        connect(tab, &LightingTab::displayChanged, this, &Vt410_bootloader::updateTitle);
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, &Vt410_bootloader::updateTitle);
}
