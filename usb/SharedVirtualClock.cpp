#include "usb/SharedVirtualClock.h"

#include "usb/SharedClockLayout.h"

#include <QFile>
#include <QtDebug>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

SharedVirtualClock *SharedVirtualClock::fromEnvironment()
{
    const QString fileName = qEnvironmentVariable(EnvironmentVariable);
    if (fileName.isEmpty())
        return nullptr;
    QString reason;
    std::unique_ptr<SharedVirtualClock> clock = open(fileName, &reason);
    if (!clock) {
        qWarning("%s=%s: %s; waits take real time", EnvironmentVariable, qPrintable(fileName), qPrintable(reason));
        return nullptr;
    }
    return clock.release();
}

std::unique_ptr<SharedVirtualClock> SharedVirtualClock::open(const QString &fileName, QString *reason)
{
    const QByteArray path = QFile::encodeName(fileName);
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    struct stat status = {};
    void *address = MAP_FAILED;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size != sizeof(SharedClockLayout))
        *reason = QStringLiteral("not a %1-byte regular file").arg(sizeof(SharedClockLayout));
    else
        address = ::mmap(nullptr, sizeof(SharedClockLayout), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd); // the mapping stays
    if (address == MAP_FAILED) {
        if (reason->isEmpty())
            *reason = QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    auto *mapped = static_cast<SharedClockLayout *>(address);
    if (std::memcmp(mapped->magic, SharedClockLayout::Magic, sizeof(SharedClockLayout::Magic)) != 0) {
        ::munmap(address, sizeof(SharedClockLayout));
        *reason = QStringLiteral("not a clock file");
        return nullptr;
    }
    return std::unique_ptr<SharedVirtualClock>(new SharedVirtualClock(mapped));
}

SharedVirtualClock::SharedVirtualClock(SharedClockLayout *mapped)
    : mapped(mapped)
{
}

SharedVirtualClock::~SharedVirtualClock()
{
    ::munmap(mapped, sizeof(SharedClockLayout));
}

qint64 SharedVirtualClock::now()
{
    return __atomic_load_n(&mapped->microseconds, __ATOMIC_SEQ_CST) / 1000;
}

void SharedVirtualClock::sleep(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    const int64_t until = __atomic_add_fetch(&mapped->microseconds, int64_t(milliseconds) * 1000, __ATOMIC_SEQ_CST);
    waitForFollower(until);
}

void SharedVirtualClock::waitForFollower(int64_t microseconds)
{
    // A follower looks every few hundred microseconds, or holds the time on
    // purpose until it stops following. One that has gone (killed with the
    // run it served) must not hold the program for ever, nor one that has
    // stopped looking: after it, the wait is the program's own again.
    constexpr int PollMicroseconds = 100;
    constexpr int LongestWaitMicroseconds = 30 * 1000 * 1000;
    for (int waited = 0; waited < LongestWaitMicroseconds; waited += PollMicroseconds) {
        const pid_t follower = __atomic_load_n(&mapped->followerPid, __ATOMIC_SEQ_CST);
        if (follower == 0 || __atomic_load_n(&mapped->followedMicroseconds, __ATOMIC_SEQ_CST) >= microseconds)
            return;
        if (waited % 100000 == 0 && ::kill(follower, 0) != 0 && errno == ESRCH)
            return;
        ::usleep(PollMicroseconds);
    }
}
