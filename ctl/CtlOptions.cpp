#include "ctl/CtlOptions.h"

#include "usb/tools/ServiceText.h"

#include <QHash>
#include <QSet>

namespace {

struct CommandForm {
    QStringList positionals;   // names, for the messages
    QStringList options;       // options taking a value or flags the command accepts
};

// Options every command takes.
const QStringList CommonOptions{"--verbose", "--quiet"};

const QHash<QString, CommandForm> &commandForms()
{
    static const QHash<QString, CommandForm> forms{
        {"list", {{}, {"--json"}}},
        {"upgrade", {{"FILE.upg"}, {"--device", "--all"}}},
        {"programs get", {{"FILE.pgm"}, {"--device"}}},
        {"programs set", {{"FILE.pgm"}, {"--device"}}},
        {"scenes get", {{"FILE.scn"}, {"--device"}}},
        {"scenes set", {{"FILE.scn"}, {"--device"}}},
        {"status", {{}, {"--device", "--set", "--clear", "--json"}}},
        {"read-memory", {{"ADDRESS", "LENGTH"}, {"--device", "--output"}}},
        {"read-flash", {{"ADDRESS", "LENGTH"}, {"--device", "--output"}}},
        {"write-flash", {{"ADDRESS", "FILE.bin"}, {"--device"}}},
        {"make-upgrade", {{"IN.hex", "OUT.upg"}, {}}},
        {"make-bootloader-images", {{"IN.hex"}, {"--prefix", "--first", "--count", "--dir"}}},
    };
    return forms;
}

const QSet<QString> ValueOptions{"--device", "--set", "--clear", "--output", "--prefix", "--first", "--count",
                                 "--dir"};

bool parseMask(const QString &text, quint32 *mask)
{
    bool ok = false;
    *mask = ServiceText::parseHex(text, &ok);
    return ok;
}

bool parseDecimal(const QString &text, int *value)
{
    bool ok = false;
    *value = text.toInt(&ok, 10);
    return ok;
}

} // namespace

QString CtlOptions::parse(const QStringList &arguments, CtlOptions *options)
{
    QStringList positionals;
    QStringList given;
    for (int i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (argument == QLatin1String("--")) {
            positionals += arguments.mid(i + 1);
            break;
        }
        if (!argument.startsWith(QLatin1String("--")) || argument.size() == 2) {
            if (argument == QLatin1String("-h"))
                options->help = true;
            // Any other short option is a mistake, not a file name; a dash
            // and a digit is a number for the command to judge.
            else if (argument.size() > 1 && argument.startsWith(QLatin1Char('-')) && !argument.at(1).isDigit())
                return QStringLiteral("unknown option %1").arg(argument);
            else
                positionals.append(argument);
            continue;
        }
        QString value;
        bool hasValue = false;
        const int equals = argument.indexOf(QLatin1Char('='));
        if (equals > 0) {
            value = argument.mid(equals + 1);
            argument = argument.left(equals);
            hasValue = true;
        }
        if (ValueOptions.contains(argument)) {
            if (!hasValue) {
                if (i + 1 >= arguments.size())
                    return QStringLiteral("%1 needs a value").arg(argument);
                value = arguments[++i];
            }
            // An empty value (an unset shell variable) would otherwise mean
            // "none given": text instead of a file, the current folder, zero.
            if (value.isEmpty())
                return argument == QLatin1String("--device")
                    ? QStringLiteral("--device needs a port path, BUS:ADDRESS or serial, not an empty value")
                    : QStringLiteral("%1 needs a value, not an empty one").arg(argument);
        } else if (hasValue) {
            return QStringLiteral("%1 takes no value").arg(argument);
        }
        given.append(argument);

        if (argument == QLatin1String("--help")) {
            options->help = true;
        } else if (argument == QLatin1String("--version")) {
            options->version = true;
        } else if (argument == QLatin1String("--json")) {
            options->json = true;
        } else if (argument == QLatin1String("--quiet")) {
            options->quiet = true;
        } else if (argument == QLatin1String("--verbose")) {
            options->verbose = true;
        } else if (argument == QLatin1String("--device")) {
            options->devices.append(value);
        } else if (argument == QLatin1String("--all")) {
            options->all = true;
        } else if (argument == QLatin1String("--set")) {
            options->setGiven = true;
            if (!parseMask(value, &options->setMask))
                return QStringLiteral("--set needs a hexadecimal mask, not \"%1\"").arg(value);
        } else if (argument == QLatin1String("--clear")) {
            options->clearGiven = true;
            if (!parseMask(value, &options->clearMask))
                return QStringLiteral("--clear needs a hexadecimal mask, not \"%1\"").arg(value);
        } else if (argument == QLatin1String("--output")) {
            options->output = value;
        } else if (argument == QLatin1String("--prefix")) {
            options->prefix = value;
        } else if (argument == QLatin1String("--first")) {
            if (!parseDecimal(value, &options->first))
                return QStringLiteral("--first needs a number, not \"%1\"").arg(value);
        } else if (argument == QLatin1String("--count")) {
            if (!parseDecimal(value, &options->count))
                return QStringLiteral("--count needs a number, not \"%1\"").arg(value);
        } else if (argument == QLatin1String("--dir")) {
            options->folder = value;
        } else {
            return QStringLiteral("unknown option %1").arg(argument);
        }
    }
    if (options->help || options->version)
        return QString();
    if (positionals.isEmpty())
        return QStringLiteral("no command given");

    // "programs" and "scenes" take a second word.
    options->command = positionals.takeFirst();
    if ((options->command == QLatin1String("programs") || options->command == QLatin1String("scenes"))
        && !positionals.isEmpty())
        options->command += QLatin1Char(' ') + positionals.takeFirst();
    const auto form = commandForms().constFind(options->command);
    if (form == commandForms().constEnd())
        return QStringLiteral("unknown command \"%1\"").arg(options->command);

    for (const QString &option : given) {
        if (!form->options.contains(option) && !CommonOptions.contains(option))
            return QStringLiteral("%1 does not take %2").arg(options->command, option);
    }
    if (positionals.size() != form->positionals.size()) {
        return form->positionals.isEmpty()
            ? QStringLiteral("%1 takes no arguments").arg(options->command)
            : QStringLiteral("%1 needs %2").arg(options->command, form->positionals.join(QLatin1Char(' ')));
    }
    if (options->all && !options->devices.isEmpty())
        return QStringLiteral("--all and --device exclude each other");
    options->arguments = positionals;
    return QString();
}

QString CtlOptions::usage()
{
    return QStringLiteral(
        "Usage: vt520ctl COMMAND [ARGUMENTS] [OPTIONS]\n"
        "\n"
        "Device commands (the only attached Vt520, or the one --device names):\n"
        "  list [--json]                       every Vt520: port path, bus:address, mode, serial,\n"
        "                                      bootloader version and date\n"
        "  upgrade FILE.upg                    firmware change, with the window's log lines\n"
        "  upgrade FILE.upg --all | --device SEL --device SEL ...\n"
        "                                      several units at once, lines headed by the port\n"
        "                                      path, then a summary; 4 if any unit failed\n"
        "  programs get|set FILE.pgm           programs table to a file / from a file\n"
        "  scenes get|set FILE.scn             scenes table to a file / from a file\n"
        "  status [--set MASK] [--clear MASK] [--json]\n"
        "                                      set, clear, then show the status word\n"
        "  read-memory ADDRESS LENGTH [--output FILE]\n"
        "  read-flash ADDRESS LENGTH [--output FILE]\n"
        "                                      dump text, or the bytes into FILE\n"
        "  write-flash ADDRESS FILE.bin        write into external flash and read back\n"
        "\n"
        "File commands:\n"
        "  make-upgrade IN.hex OUT.upg\n"
        "  make-bootloader-images IN.hex --prefix YYMM00 --first N --count K [--dir DIR]\n"
        "\n"
        "Options:\n"
        "  --device SEL   port path (1-1.4), BUS:ADDRESS (1:7) or serial (261100042 or\n"
        "                 261100042b); needed when several Vt520s are attached\n"
        "  --quiet        errors only\n"
        "  --verbose      the diagnostic trace on standard error\n"
        "  --help, --version\n"
        "  --             ends the options (for a file name that begins with a dash)\n"
        "ADDRESS and MASK are hexadecimal (0x optional); LENGTH, N and K decimal.\n"
        "\n"
        "Exit status:\n"
        "  0  done\n"
        "  1  usage error\n"
        "  2  an input file refused, or an output file or standard output not written\n"
        "  3  no Vt520, several and none selected, none matching --device, or access denied\n"
        "  4  a device operation failed\n");
}
