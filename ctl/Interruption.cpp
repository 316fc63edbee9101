#include "ctl/Interruption.h"

#include <QMutex>
#include <QMutexLocker>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace Interruption {

namespace {

int pipeEnds[2] = {-1, -1};
QMutex drained;
int firstSignal = 0; // under drained

void handler(int signalNumber)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a signal; the write may fail then.
    if (::write(pipeEnds[1], &byte, 1) < 0) {
    }
    errno = saved;
}

} // namespace

bool install()
{
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal ignored on entry (nohup, a background job of a shell
        // without job control) stays ignored: whoever started us asked so.
        struct sigaction inherited = {};
        if (sigaction(signalNumber, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN)
            continue;
        sigaction(signalNumber, &action, nullptr);
    }
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
    return true;
}

bool requested()
{
    return exitStatus() != 0;
}

int exitStatus()
{
    QMutexLocker lock(&drained);
    unsigned char byte = 0;
    while (pipeEnds[0] >= 0 && ::read(pipeEnds[0], &byte, 1) == 1) {
        if (firstSignal == 0)
            firstSignal = byte;
    }
    return firstSignal == 0 ? 0 : 128 + firstSignal;
}

QString signalName()
{
    switch (exitStatus() - 128) {
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    default:
        return QString();
    }
}

} // namespace Interruption
