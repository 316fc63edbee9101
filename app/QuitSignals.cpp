#include "app/QuitSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// [0] is read by the event loop, [1] written by the handler.
int pipeEnds[2] = {-1, -1};
constexpr int HandledSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previousActions[3];

void writeSignalNumber(int signalNumber)
{
    const char number = char(signalNumber);
    // Nothing else is safe here; a full pipe already holds a request.
    (void)!::write(pipeEnds[1], &number, 1);
}

} // namespace

QuitSignals::QuitSignals(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeEnds) != 0) {
        pipeEnds[0] = pipeEnds[1] = -1;
        return;
    }
    notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &QuitSignals::readPipe);
    installed = true;
    for (int i = 0; i < 3; ++i) {
        struct sigaction action = {};
        action.sa_handler = writeSignalNumber;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(HandledSignals[i], &action, &previousActions[i]);
    }
}

QuitSignals::~QuitSignals()
{
    if (!installed)
        return;
    for (int i = 0; i < 3; ++i)
        ::sigaction(HandledSignals[i], &previousActions[i], nullptr);
    delete notifier;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void QuitSignals::readPipe()
{
    char number = 0;
    while (::read(pipeEnds[0], &number, 1) == 1)
        emit quitRequested(int(number));
}
