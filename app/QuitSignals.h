#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP as a signal of the event loop: the handler only
// writes the signal's number into a pipe, and quitRequested() is emitted on
// the GUI thread when the loop reads it, so that the window decides when it
// is safe to go (never in the middle of a firmware change). One object per
// process; the previous handlers come back when it goes.
class QuitSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

    bool isValid() const { return installed; }

signals:
    void quitRequested(int signalNumber);

private:
    void readPipe();

    QSocketNotifier *notifier = nullptr;
    bool installed = false;
};
