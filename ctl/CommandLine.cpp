#include "ctl/CommandLine.h"

#include "usb/NativeFileName.h"

namespace CommandLine {

QStringList arguments(int argc, char *argv[])
{
    QStringList words;
    for (int i = 0; i < argc; ++i)
        words.append(NativeFileName::fromBytes(QByteArray(argv[i])));
    return words;
}

} // namespace CommandLine
