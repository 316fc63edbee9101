#pragma once

#include <QString>

class Console;

// A file that a command reads, checked for being there and readable before
// a core reader sees it: the readers take a file they cannot open for a
// foreign one ("Wrong file header"), which misleads at a mistyped path.
namespace InputFile {

// True, or false after "cannot read FILE: reason" went to standard error.
bool readable(const QString &fileName, Console &console);

} // namespace InputFile
