#include "sim/SharedClockFile.h"

#include "usb/SharedClockLayout.h"

#include <QFile>
#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vt520sim {

bool SharedClockFile::map(const QString &fileName, int64_t startMicroseconds)
{
    unmap();
    const QByteArray path = QFile::encodeName(fileName);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        qWarning("vt520sim: clock file %s: %s", path.constData(), std::strerror(errno));
        return false;
    }
    struct stat status = {};
    bool fresh = false;
    bool usable = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (usable && status.st_size == 0) {
        // A new clock: written whole before anybody maps it.
        SharedClockLayout layout = {};
        std::memcpy(layout.magic, SharedClockLayout::Magic, sizeof(layout.magic));
        layout.microseconds = startMicroseconds;
        usable = ::pwrite(fd, &layout, sizeof(layout), 0) == ssize_t(sizeof(layout));
        fresh = true;
    } else if (usable) {
        usable = status.st_size == sizeof(SharedClockLayout);
    }
    void *address =
        usable ? ::mmap(nullptr, sizeof(SharedClockLayout), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
    ::close(fd);
    if (address == MAP_FAILED) {
        qWarning("vt520sim: clock file %s is not a clock; the bus keeps its own clock", path.constData());
        return false;
    }
    mapped = static_cast<SharedClockLayout *>(address);
    if (!fresh && std::memcmp(mapped->magic, SharedClockLayout::Magic, sizeof(SharedClockLayout::Magic)) != 0) {
        qWarning("vt520sim: clock file %s is not a clock; the bus keeps its own clock", path.constData());
        unmap();
        return false;
    }
    return true;
}

SharedClockFile::~SharedClockFile()
{
    unmap();
}

void SharedClockFile::unmap()
{
    if (mapped)
        ::munmap(mapped, sizeof(SharedClockLayout));
    mapped = nullptr;
}

int64_t SharedClockFile::microseconds() const
{
    return __atomic_load_n(&mapped->microseconds, __ATOMIC_SEQ_CST);
}

void SharedClockFile::advance(int64_t microseconds)
{
    __atomic_fetch_add(&mapped->microseconds, microseconds, __ATOMIC_SEQ_CST);
}

void SharedClockFile::follow()
{
    __atomic_store_n(&mapped->followedMicroseconds, microseconds(), __ATOMIC_SEQ_CST);
    __atomic_store_n(&mapped->followerPid, int32_t(::getpid()), __ATOMIC_SEQ_CST);
}

void SharedClockFile::markFollowed(int64_t microseconds)
{
    __atomic_store_n(&mapped->followedMicroseconds, microseconds, __ATOMIC_SEQ_CST);
}

void SharedClockFile::stopFollowing()
{
    __atomic_store_n(&mapped->followerPid, int32_t(0), __ATOMIC_SEQ_CST);
}

} // namespace vt520sim
