#include "sim/SharedClockFile.h"

#include "usb/SharedClockLayout.h"

#include <QFile>
#include <QtGlobal>

namespace vt520sim {

// On Windows the emulator is the program's libusb-1.0.dll, inside the one
// process it serves: a clock shared with other processes is not offered,
// and the bus keeps its own clock.
bool SharedClockFile::map(const QString &fileName, int64_t)
{
    unmap();
    qWarning("vt520sim: clock file %s: not supported on this system; the bus keeps its own clock",
             QFile::encodeName(fileName).constData());
    return false;
}

SharedClockFile::~SharedClockFile()
{
    unmap();
}

void SharedClockFile::unmap()
{
    mapped = nullptr;
}

int64_t SharedClockFile::microseconds() const
{
    return mapped->microseconds;
}

void SharedClockFile::advance(int64_t microseconds)
{
    mapped->microseconds += microseconds;
}

// Nothing follows a clock that is never mapped here.
void SharedClockFile::follow()
{
}

void SharedClockFile::markFollowed(int64_t)
{
}

void SharedClockFile::stopFollowing()
{
}

} // namespace vt520sim
