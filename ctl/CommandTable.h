#pragma once

#include "ctl/Command.h"

// Every command of vt520ctl, in the order --help shows them.
namespace CommandTable {

const QList<Command> &commands();
// The command of that name ("status", "programs get"), or nullptr.
const Command *find(const QString &name);
// Whether some command's name is two words beginning with this one
// ("programs"), so that the next word belongs to the name.
bool takesSecondWord(const QString &firstWord);

} // namespace CommandTable
