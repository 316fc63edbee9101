#include "sim/usbfs/VirtualClockFollower.h"

#include <QDir>
#include <QFile>

#include <cstdlib>
#include <unistd.h>

namespace vt520usbfs {

VirtualClockFollower::VirtualClockFollower(bool makeOwn)
{
    QByteArray fileName = qgetenv("VT520_SIM_CLOCK");
    if (fileName.isEmpty() && makeOwn) {
        QByteArray pattern = QFile::encodeName(QDir::tempPath()) + "/vt520-usbfs-clock-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            return;
        ::close(fd);
        ownFile = pattern;
        fileName = pattern;
        ::setenv("VT520_SIM_CLOCK", fileName.constData(), 1);
    }
    if (fileName.isEmpty() || !clock.map(QFile::decodeName(fileName), 0))
        return;
    clock.follow();
    following = true;
}

VirtualClockFollower::~VirtualClockFollower()
{
    if (following)
        clock.stopFollowing();
    if (!ownFile.isEmpty())
        ::unlink(ownFile.constData());
}

} // namespace vt520usbfs
