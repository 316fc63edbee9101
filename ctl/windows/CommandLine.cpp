#include "ctl/CommandLine.h"

#include <QCoreApplication>

namespace CommandLine {

// Windows gives the command line in UTF-16, which Qt takes whole.
QStringList arguments(int, char *[])
{
    return QCoreApplication::arguments();
}

} // namespace CommandLine
