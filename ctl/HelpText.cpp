#include "ctl/HelpText.h"

#include "ctl/CommandTable.h"
#include "ctl/CtlOptions.h"

namespace HelpText {

namespace {

constexpr int HelpColumn = 38; // where the help lines of a command begin

QString optionText(const QString &option)
{
    const QString value = CtlOptions::valueName(option);
    return value.isEmpty() ? option : option + QLatin1Char(' ') + value;
}

// The ways of calling the command, one a line: "status [--set MASK] ...";
// a command of one device shows the optional --device, a command of several
// also its form with --all or several --device.
QStringList synopses(const Command &command)
{
    QStringList words{command.name};
    words += command.arguments;
    const QStringList head = words;
    for (const Command::Option &option : command.options) {
        const QString text = optionText(option.name);
        words.append(option.need == Command::Required ? text : QLatin1Char('[') + text + QLatin1Char(']'));
    }
    if (command.devices == Command::Devices::None)
        return {words.join(QLatin1Char(' '))};
    const QString device = optionText(QStringLiteral("--device"));
    words.append(QLatin1Char('[') + device + QLatin1Char(']'));
    if (command.devices == Command::Devices::One)
        return {words.join(QLatin1Char(' '))};
    return {words.join(QLatin1Char(' ')), head.join(QLatin1Char(' ')) + QStringLiteral(" --all | ") + device
                                              + QLatin1Char(' ') + device + QStringLiteral(" ...")};
}

QString commandText(const Command &command)
{
    QStringList lines;
    for (const QString &synopsis : synopses(command))
        lines.append(QStringLiteral("  ") + synopsis);
    QStringList help = command.help.split(QLatin1Char('\n'));
    // The first help line beside the last synopsis when it fits there.
    if (lines.last().size() + 2 <= HelpColumn)
        lines.last() = lines.last().leftJustified(HelpColumn) + help.takeFirst();
    for (const QString &line : help)
        lines.append(QString(HelpColumn, QLatin1Char(' ')) + line);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace

QString text()
{
    QString text = QStringLiteral("Usage: vt520ctl COMMAND [ARGUMENTS] [OPTIONS]\n"
                                  "\n"
                                  "Commands:\n");
    for (const Command &command : CommandTable::commands())
        text += commandText(command);
    return text
           + QStringLiteral("\n"
                            "Options:\n"
                            "  --device SEL   port path (1-1.4), BUS:ADDRESS (1:7) or serial (261100042 or\n"
                            "                 261100042b); needed when several Vt520s are attached, else the\n"
                            "                 only one is used\n"
                            "  --quiet        no log, progress or informational lines; listings, dumps and\n"
                            "                 the status word are still shown, errors always\n"
                            "  --wait SECONDS a device command waits up to SECONDS for its units to appear\n"
                            "                 (plugged in, or back from a reset), saying so once\n"
                            "  --expect N     with --all: exactly N units, else refused (3) naming those\n"
                            "                 seen; with --wait it waits for N\n"
                            "  --if-different upgrade: read each unit back first (as verify does) and change\n"
                            "                 only those that differ; the others are reported identical\n"
                            "  --retries N    upgrade: a unit whose change failed in a way another run may\n"
                            "                 mend (a transfer, a read-back, a unit not back) runs it again,\n"
                            "                 up to N more times, 2 s apart; each run is in the record\n"
                            "  --log-dir DIR  a record per unit serial in DIR/SERIAL.jsonl, a JSON line per\n"
                            "                 event as it happens (chosen, locked, steps, verdict)\n"
                            "  --output -     read-memory and read-flash: the bytes onto standard output\n"
                            "  --json         list, status, upgrade, verify, start, info, programs, scenes:\n"
                            "                 one JSON document on standard output (schemaVersion, version,\n"
                            "                 keyFingerprint, host, times, units, exitStatus; \"error\" after\n"
                            "                 a failure); programs and scenes also say\n"
                            "                 \"hostAccessMayBeSet\" (clear it: vt520ctl status --clear 1)\n"
                            "  --no-progress  upgrade, write-flash: no progress on standard error (drawn in\n"
                            "                 place on a terminal unless TERM is dumb, else every 10 %)\n"
                            "  --verbose      the diagnostic trace on standard error\n"
                            "  -h, --help     this text (after a command: its help alone); -V, --version:\n"
                            "                 the version\n"
                            "  --             ends the options (for a file name that begins with a dash)\n"
                            "ADDRESS and MASK are hexadecimal (0x optional); LENGTH, N and K decimal.\n"
                            "\n"
                            "Exit status:\n"
                            "  0  done\n"
                            "  1  usage error\n"
                            "  2  an input file refused (not a regular file, wrong size, bad contents), or\n"
                            "     an output file or standard output not written (no file left half-written)\n"
                            "  3  no Vt520, several and none selected, none or several matching --device,\n"
                            "     or access denied\n"
                            "  4  a device operation failed; programs/scenes set: the table did not read\n"
                            "     back the same, or host access was not given back; upgrade, start: a unit\n"
                            "     not back running its application; verify: a unit that differs\n"
                            "  5  a unit is in use by another process or program (refused before any\n"
                            "     transfer)\n"
                            "  129, 130, 143  stopped by SIGHUP, SIGINT or SIGTERM at a safe point, with\n"
                            "     the unit's state and how to recover on standard error\n"
                            "\n"
                            "Examples:\n"
                            "  vt520ctl upgrade firmware.upg --all --json >report.json\n"
                            "  vt520ctl verify firmware.upg --all\n"
                            "  vt520ctl info firmware.hex\n"
                            "  vt520ctl upgrade firmware.upg --device 1-1.4 --wait 60\n"
                            "  vt520ctl read-flash 0x14000 7680 --output - | sha256sum\n");
}

QString text(const Command &command)
{
    return QStringLiteral("Usage:\n") + commandText(command)
           + QStringLiteral("\nThe options of every command and the exit statuses: vt520ctl --help\n");
}

} // namespace HelpText
