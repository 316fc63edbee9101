#include "app/FirmwareChangeController.h"

#include "app/UserQuestions.h"
#include "firmware/Upgrader.h"
#include "usb/UnitLock.h"
#include "widgets/LogPane.h"

#include <QAbstractButton>
#include <QAction>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>

FirmwareChangeController::FirmwareChangeController(Upgrader &upgrader, QMainWindow &window, LogPane &log)
    : QObject(&window)
    , upgrader(upgrader)
    , window(window)
    , log(log)
{
    connect(&upgrader, &QThread::finished, this, &FirmwareChangeController::workerFinished);
}

FirmwareChangeController::~FirmwareChangeController() = default;

void FirmwareChangeController::setQuestions(UserQuestions *newQuestions)
{
    questions = newQuestions;
}

void FirmwareChangeController::setChangeButton(QAbstractButton *button)
{
    changeButton = button;
}

void FirmwareChangeController::setProgressBars(const QList<QProgressBar *> &bars)
{
    progressBars.clear();
    for (QProgressBar *bar : bars)
        progressBars.append(bar);
}

void FirmwareChangeController::disableDuringChange(QAbstractButton *button)
{
    blockedButtons.append(button);
}

void FirmwareChangeController::disableDuringChange(QAction *action)
{
    blockedActions.append(action);
}

bool FirmwareChangeController::startNeedsUnit(const QString &fileName) const
{
    return !fileName.isEmpty() && !upgrader.isRunning();
}

void FirmwareChangeController::start(const QString &fileName, std::unique_ptr<UnitLock> unitLock)
{
    if (startNeedsUnit(fileName))
        changeLock = std::move(unitLock);
    for (QProgressBar *bar : std::as_const(progressBars)) {
        if (bar)
            bar->setValue(0);
    }
    // A cancelled dialog hands over a null name; the run then ends at once.
    // During a run the new name waits for the next start.
    upgrader.slotSetFileName(fileName);
    showRunning(true);
    upgrader.start();
}

void FirmwareChangeController::showRunning(bool running)
{
    if (changeButton) {
        changeButton->setEnabled(!running);
        changeButton->setToolTip(
            running ? tr("A firmware change is running. The button is enabled again when it has ended.") : QString());
    }
    // Nothing else reaches the unit meanwhile; the files can still be loaded
    // and saved.
    changing = running;
    for (QAbstractButton *button : std::as_const(blockedButtons)) {
        if (button)
            button->setEnabled(!running);
    }
    for (QAction *action : std::as_const(blockedActions)) {
        if (action)
            action->setEnabled(!running);
    }
    emit runningChanged(running);
}

void FirmwareChangeController::workerFinished()
{
    // A run started while this signal was on its way keeps everything off.
    if (upgrader.isRunning())
        return;
    changeLock.reset();
    showRunning(false);
    // A question about closing during the change has lost its point.
    if (askingToClose && questions)
        questions->closeLastMessage();
    emit changeEnded();
    // After the change's last line, which may still be on its way into the log.
    if (closeAfterChange) {
        if (log.isShowingAll())
            window.close();
        else
            connect(&log, &LogPane::allShown, &window, &QWidget::close, Qt::SingleShotConnection);
    }
}

bool FirmwareChangeController::mayClose()
{
    // The window never goes while the device is being written: the operator
    // could take that for the end and unplug the unit.
    if (!upgrader.isRunning())
        return true;
    if (closeAfterChange || askingToClose || !questions)
        return false;
    // The question is closed unanswered if the change ends meanwhile.
    askingToClose = true;
    const QMessageBox::StandardButton answer =
        questions->warning(&window, tr("Firmware change running"),
                           tr("A firmware change is running; keep the Vt520 plugged in until it has ended.\n"
                              "Close the window when the change has ended?"),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    askingToClose = false;
    if (answer == QMessageBox::Yes && changing)
        closeWhenChangeEnds();
    return false;
}

void FirmwareChangeController::requestQuit()
{
    if (upgrader.isRunning())
        closeWhenChangeEnds();
    else
        window.close();
}

QString FirmwareChangeController::closeWaitsText()
{
    return tr("The window closes when the firmware change has ended.");
}

void FirmwareChangeController::closeWhenChangeEnds()
{
    closeAfterChange = true;
    window.statusBar()->showMessage(closeWaitsText());
}

void FirmwareChangeController::withdrawCloseRequest()
{
    if (!closeAfterChange)
        return;
    closeAfterChange = false;
    if (window.statusBar()->currentMessage() == closeWaitsText())
        window.statusBar()->clearMessage();
}
