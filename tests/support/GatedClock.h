#pragma once

#include "EmulatorClock.h"

#include <QMutex>
#include <QMutexLocker>
#include <QWaitCondition>

// The emulator's clock with a gate: while the gate is closed, the next wait
// of the code under test stops before it passes until the gate is opened,
// so that a test can act while that code is held at a known point.
class GatedClock : public EmulatorClock
{
public:
    void sleep(int milliseconds) override
    {
        {
            QMutexLocker locker(&mutex);
            ++waits;
            while (closed)
                opened.wait(&mutex);
        }
        EmulatorClock::sleep(milliseconds);
    }
    void close()
    {
        QMutexLocker locker(&mutex);
        closed = true;
    }
    void open()
    {
        QMutexLocker locker(&mutex);
        closed = false;
        opened.wakeAll();
    }
    // Whether a wait is held at the closed gate (or has been since forget()).
    bool waiting()
    {
        QMutexLocker locker(&mutex);
        return closed && waits > 0;
    }
    void forget()
    {
        QMutexLocker locker(&mutex);
        waits = 0;
    }

private:
    QMutex mutex;
    QWaitCondition opened;
    bool closed = false;
    int waits = 0;
};
