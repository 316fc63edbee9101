#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Console;
struct CtlOptions;

// One command of vt520ctl: what it is called, what it takes, how --help
// shows it and the function that runs it. The commands stand together in
// CommandTable, from which parsing, dispatch and --help all read.
struct Command {
    // The units a command works on: none (a file command, or list, which
    // shows them all), one (the one --device names, or the only one there
    // is), or several (--all, or --device given more than once).
    enum class Devices { None, One, Several };

    enum Need { Optional, Required };
    // An option of the command's own. Required is for --help only: the
    // command itself says what is missing.
    struct Option {
        Option(const char *name, Need need = Optional)
            : name(QLatin1String(name))
            , need(need)
        {
        }
        QString name;
        Need need;
    };

    QString name;          // one word, or two: "programs get"
    QStringList arguments; // positional, as --help and the usage errors name them
    QList<Option> options; // besides the device options of its rule and those every command takes
    Devices devices;
    QString help;                                            // lines for --help
    int (*run)(const CtlOptions &options, Console &console); // returns the exit status

    // Whether the command accepts the option: one of its own, a device
    // option its rule calls for, or one every command takes.
    bool takes(const QString &option) const;
};
