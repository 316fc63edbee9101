#include "ctl/CtlOptions.h"

#include "ctl/Command.h"
#include "ctl/CommandTable.h"
#include "usb/tools/ServiceText.h"

#include <algorithm>
#include <iterator>

namespace {

// One option: its name, the name of its value (nullptr for a flag) and how
// it is taken into the options, which gives the refusal or an empty text.
struct OptionForm {
    const char *name;
    const char *valueName;
    QString (*take)(CtlOptions *options, const QString &value);
};

QString takeMask(const QString &option, const QString &value, bool *given, quint32 *mask)
{
    *given = true;
    bool ok = false;
    *mask = ServiceText::parseHex(value, &ok);
    return ok ? QString() : QStringLiteral("%1 needs a hexadecimal mask, not \"%2\"").arg(option, value);
}

QString takeDecimal(const QString &option, const QString &value, int *number)
{
    bool ok = false;
    *number = value.toInt(&ok, 10);
    return ok ? QString() : QStringLiteral("%1 needs a number, not \"%2\"").arg(option, value);
}

const OptionForm OptionForms[] = {
    {"--help", nullptr,
     [](CtlOptions *o, const QString &) {
         o->help = true;
         return QString();
     }},
    {"--version", nullptr,
     [](CtlOptions *o, const QString &) {
         o->version = true;
         return QString();
     }},
    {"--json", nullptr,
     [](CtlOptions *o, const QString &) {
         o->json = true;
         return QString();
     }},
    {"--quiet", nullptr,
     [](CtlOptions *o, const QString &) {
         o->quiet = true;
         return QString();
     }},
    {"--no-progress", nullptr,
     [](CtlOptions *o, const QString &) {
         o->noProgress = true;
         return QString();
     }},
    {"--verbose", nullptr,
     [](CtlOptions *o, const QString &) {
         o->verbose = true;
         return QString();
     }},
    {"--device", "SEL",
     [](CtlOptions *o, const QString &v) {
         o->devices.append(v);
         return QString();
     }},
    {"--all", nullptr,
     [](CtlOptions *o, const QString &) {
         o->all = true;
         return QString();
     }},
    {"--set", "MASK", [](CtlOptions *o, const QString &v) { return takeMask("--set", v, &o->setGiven, &o->setMask); }},
    {"--clear", "MASK",
     [](CtlOptions *o, const QString &v) { return takeMask("--clear", v, &o->clearGiven, &o->clearMask); }},
    {"--output", "FILE",
     [](CtlOptions *o, const QString &v) {
         o->output = v;
         return QString();
     }},
    {"--prefix", "YYMM00",
     [](CtlOptions *o, const QString &v) {
         o->prefix = v;
         return QString();
     }},
    {"--first", "N", [](CtlOptions *o, const QString &v) { return takeDecimal("--first", v, &o->first); }},
    {"--count", "K", [](CtlOptions *o, const QString &v) { return takeDecimal("--count", v, &o->count); }},
    {"--wait", "SECONDS",
     [](CtlOptions *o, const QString &v) {
         const QString refusal = takeDecimal("--wait", v, &o->waitSeconds);
         return refusal.isEmpty() && o->waitSeconds < 0
                    ? QStringLiteral("--wait needs a number of seconds, not \"%1\"").arg(v)
                    : refusal;
     }},
    {"--expect", "N",
     [](CtlOptions *o, const QString &v) {
         const QString refusal = takeDecimal("--expect", v, &o->expect);
         return refusal.isEmpty() && o->expect < 1
                    ? QStringLiteral("--expect needs a number of units, not \"%1\"").arg(v)
                    : refusal;
     }},
    {"--retries", "N",
     [](CtlOptions *o, const QString &v) {
         const QString refusal = takeDecimal("--retries", v, &o->retries);
         return refusal.isEmpty() && o->retries < 0
                    ? QStringLiteral("--retries needs a number of retries, not \"%1\"").arg(v)
                    : refusal;
     }},
    {"--if-different", nullptr,
     [](CtlOptions *o, const QString &) {
         o->ifDifferent = true;
         return QString();
     }},
    {"--log-dir", "DIR",
     [](CtlOptions *o, const QString &v) {
         o->logDir = v;
         return QString();
     }},
    {"--dir", "DIR",
     [](CtlOptions *o, const QString &v) {
         o->folder = v;
         return QString();
     }},
};

const OptionForm *findOption(const QString &name)
{
    const auto found = std::find_if(std::begin(OptionForms), std::end(OptionForms),
                                    [&](const OptionForm &form) { return name == QLatin1String(form.name); });
    return found == std::end(OptionForms) ? nullptr : found;
}

} // namespace

QString CtlOptions::valueName(const QString &option)
{
    const OptionForm *form = findOption(option);
    return form && form->valueName ? QLatin1String(form->valueName) : QString();
}

const Command *CtlOptions::commandNamed(const QStringList &arguments)
{
    QStringList words;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument.startsWith(QLatin1Char('-'))) {
            // An option's value is no command word.
            const OptionForm *form = findOption(argument);
            if (form && form->valueName && !argument.contains(QLatin1Char('=')))
                ++i;
            continue;
        }
        words.append(argument);
        if (words.size() == 2)
            break;
    }
    if (words.isEmpty())
        return nullptr;
    if (words.size() == 2 && CommandTable::takesSecondWord(words[0])) {
        if (const Command *command = CommandTable::find(words.join(QLatin1Char(' '))))
            return command;
    }
    return CommandTable::find(words[0]);
}

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
            else if (argument == QLatin1String("-V"))
                options->version = true;
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
        const OptionForm *form = findOption(argument);
        if (form && form->valueName) {
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
        if (!form)
            return QStringLiteral("unknown option %1").arg(argument);
        const QString refusal = form->take(options, value);
        if (!refusal.isEmpty())
            return refusal;
    }
    // "vt520ctl COMMAND --help" asks for that command's help alone.
    if (options->help)
        options->command = commandNamed(arguments);
    if (options->help || options->version)
        return QString();
    if (positionals.isEmpty())
        return QStringLiteral("no command given");

    // A two-word command ("programs get") takes the next word into its name.
    QString name = positionals.takeFirst();
    if (CommandTable::takesSecondWord(name) && !positionals.isEmpty())
        name += QLatin1Char(' ') + positionals.takeFirst();
    options->command = CommandTable::find(name);
    if (!options->command)
        return QStringLiteral("unknown command \"%1\"").arg(name);
    const Command &command = *options->command;

    for (const QString &option : given) {
        if (!command.takes(option))
            return QStringLiteral("%1 does not take %2").arg(command.name, option);
    }
    if (positionals.size() != command.arguments.size()) {
        return command.arguments.isEmpty()
                   ? QStringLiteral("%1 takes no arguments").arg(command.name)
                   : QStringLiteral("%1 needs %2").arg(command.name, command.arguments.join(QLatin1Char(' ')));
    }
    if (options->all && !options->devices.isEmpty())
        return QStringLiteral("--all and --device exclude each other");
    if (options->expect > 0 && !options->all)
        return QStringLiteral("--expect needs --all");
    options->arguments = positionals;
    return QString();
}
