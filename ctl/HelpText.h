#pragma once

#include <QString>

struct Command;

// What vt520ctl --help prints: the commands as the command table holds
// them, then the common options and the exit statuses.
namespace HelpText {

QString text();
// What vt520ctl COMMAND --help prints: that command's ways of calling it and
// its help, then where the common options are described.
QString text(const Command &command);

} // namespace HelpText
