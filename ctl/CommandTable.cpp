#include "ctl/CommandTable.h"

#include "ctl/Commands.h"

#include <algorithm>

namespace CommandTable {

const QList<Command> &commands()
{
    using Devices = Command::Devices;
    static const QList<Command> table{
        {"list",
         {},
         {"--json"},
         Devices::None,
         "every Vt520: port path, bus:address, mode,\nserial, bootloader version and date",
         Commands::list},
        {"upgrade",
         {"FILE.upg"},
         {"--json"},
         Devices::Several,
         "firmware change, with the window's log\n"
         "lines; with --all or several --device the\n"
         "units at once, lines headed by the port\n"
         "path, then a summary; 4 if any unit failed;\n"
         "--json: one document at the end, a result\n"
         "per unit (ok, failed, not-back,\n"
         "in-bootloader, interrupted, busy)",
         Commands::upgrade},
        {"start",
         {},
         {"--json"},
         Devices::Several,
         "a unit in its bootloader started into its\n"
         "application, then seen back at its port\n"
         "running it; 4 if any unit is not",
         Commands::start},
        {"verify",
         {"FILE.upg"},
         {"--json"},
         Devices::Several,
         "whether units hold exactly that firmware,\n"
         "read back as a change verifies, nothing\n"
         "written, each left in its mode; 4 names\n"
         "the first differing page or chunk;\n"
         "--json: one document, a result per unit\n"
         "(identical, differs, failed, interrupted)",
         Commands::verify},
        {"programs get", {"FILE.pgm"}, {"--json"}, Devices::One, "programs table to a file", Commands::programsGet},
        {"programs set", {"FILE.pgm"}, {"--json"}, Devices::One, "programs table from a file", Commands::programsSet},
        {"scenes get", {"FILE.scn"}, {"--json"}, Devices::One, "scenes table to a file", Commands::scenesGet},
        {"scenes set", {"FILE.scn"}, {"--json"}, Devices::One, "scenes table from a file", Commands::scenesSet},
        {"status",
         {},
         {"--set", "--clear", "--json"},
         Devices::One,
         "set, clear, then show the status word",
         Commands::status},
        {"read-memory",
         {"ADDRESS", "LENGTH"},
         {"--output"},
         Devices::One,
         "device memory: dump text, or the bytes\ninto FILE",
         Commands::readMemory},
        {"read-flash",
         {"ADDRESS", "LENGTH"},
         {"--output"},
         Devices::One,
         "external flash: dump text, or the bytes\ninto FILE",
         Commands::readFlash},
        {"write-flash",
         {"ADDRESS", "FILE.bin"},
         {},
         Devices::One,
         "write into external flash and read back",
         Commands::writeFlash},
        {"info",
         {"FILE"},
         {"--json"},
         Devices::None,
         "an upgrade, HEX, programs or scenes file:\n"
         "kind, size, regions with their data and\n"
         "sums, HEX record counts; 2 if damaged\n"
         "or of no known kind",
         Commands::info},
        {"make-upgrade",
         {"IN.hex", "OUT.upg"},
         {},
         Devices::None,
         "upgrade file from Intel HEX firmware",
         Commands::makeUpgrade},
        {"make-bootloader-images",
         {"IN.hex"},
         {{"--prefix", Command::Required}, {"--first", Command::Required}, {"--count", Command::Required}, "--dir"},
         Devices::None,
         "a bootloader image for each of K units\nfrom unit N on",
         Commands::makeBootloaderImages},
    };
    return table;
}

const Command *find(const QString &name)
{
    const QList<Command> &table = commands();
    const auto found =
        std::find_if(table.begin(), table.end(), [&](const Command &command) { return command.name == name; });
    return found == table.end() ? nullptr : &*found;
}

bool takesSecondWord(const QString &firstWord)
{
    const QString head = firstWord + QLatin1Char(' ');
    const QList<Command> &table = commands();
    return std::any_of(table.begin(), table.end(),
                       [&](const Command &command) { return command.name.startsWith(head); });
}

} // namespace CommandTable
