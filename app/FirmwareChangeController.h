#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class LogPane;
class QAbstractButton;
class QAction;
class QMainWindow;
class QProgressBar;
class UnitLock;
class Upgrader;
class UserQuestions;

// The firmware change as the window runs it: starts the worker, keeps what
// reaches the unit (and what would rebuild the window) off from the start
// until the worker has finished, holds the unit meanwhile, and keeps the
// window open until the change has ended: a close asked for during a change
// waits for its end and its last line in the log.
class FirmwareChangeController : public QObject
{
    Q_OBJECT

public:
    FirmwareChangeController(Upgrader &upgrader, QMainWindow &window, LogPane &log);
    ~FirmwareChangeController() override;

    void setQuestions(UserQuestions *questions);

    // "Firmware Change": off, with a tooltip saying why, during a change.
    void setChangeButton(QAbstractButton *button);
    // Bars that a start sets back to 0.
    void setProgressBars(const QList<QProgressBar *> &bars);
    // Commands that must not run during a change: off during it.
    void disableDuringChange(QAbstractButton *button);
    void disableDuringChange(QAction *action);

    // From the start of a change until its worker has finished and the
    // window has taken note.
    bool isChanging() const { return changing; }
    // A start with this file takes the unit: one that starts a change (a
    // start during a change only leaves the name for the next one, and a
    // start without a file ends at once).
    bool startNeedsUnit(const QString &fileName) const;
    // Starts the worker with the file; unitLock, taken when startNeedsUnit(),
    // is held until the worker has finished.
    void start(const QString &fileName, std::unique_ptr<UnitLock> unitLock);

    // For the window's close: false while the worker runs, after asking
    // whether to close once the change has ended.
    bool mayClose();
    // Closes the window as a close would, without a question: during a
    // change, once the change has ended.
    void requestQuit();
    // The operator kept the window after all: no close waits any more.
    void withdrawCloseRequest();

    static QString closeWaitsText();

signals:
    // The change started or ended; what is enabled may have changed.
    void runningChanged(bool running);
    // The worker has finished and everything is back on.
    void changeEnded();

private:
    void workerFinished();
    void showRunning(bool running);
    void closeWhenChangeEnds();

    Upgrader &upgrader;
    QMainWindow &window;
    LogPane &log;
    UserQuestions *questions = nullptr;
    QPointer<QAbstractButton> changeButton;
    QList<QPointer<QProgressBar>> progressBars;
    QList<QPointer<QAbstractButton>> blockedButtons;
    QList<QPointer<QAction>> blockedActions;
    bool changing = false;
    bool closeAfterChange = false;
    // The question whether to close once the change has ended is open.
    bool askingToClose = false;
    // Held from the start of a change until its worker has finished, through
    // the unit's reset and re-enumeration.
    std::unique_ptr<UnitLock> changeLock;
};
