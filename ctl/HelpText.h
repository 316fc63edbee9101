#pragma once

#include <QString>

// What vt520ctl --help prints: the commands as the command table holds
// them, then the common options and the exit statuses.
namespace HelpText {

QString text();

} // namespace HelpText
