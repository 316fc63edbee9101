#pragma once

#include <QStringList>

// The words of vt520ctl's command line, the program's name first. On Linux
// they are bytes, and a file name that is not UTF-8 (made in a Latin-1
// locale) is kept whole (NativeFileName), where
// QCoreApplication::arguments() would put U+FFFD for its odd bytes and so
// name another file.
namespace CommandLine {

// After the QCoreApplication is made.
QStringList arguments(int argc, char *argv[]);

} // namespace CommandLine
