#pragma once

#include <QString>
#include <QStringList>

struct Command;

// The command line of vt520ctl: a command, its arguments and the options.
// Parsing checks the form against the command table (known command,
// argument count, options the command takes, numbers); what the arguments
// name is checked by the command.
struct CtlOptions {
    const Command *command = nullptr; // from CommandTable; null only with --help or --version
                                      // (with --help, the command whose help is asked for)
    QStringList arguments;            // positional, after the command
    QStringList devices;              // every --device, in order
    bool all = false;                 // --all: every attached Vt520
    bool json = false;
    bool quiet = false;
    bool verbose = false;
    bool noProgress = false; // --no-progress: no progress on standard error
    bool help = false;
    bool version = false;
    bool setGiven = false;
    bool clearGiven = false;
    quint32 setMask = 0;
    quint32 clearMask = 0;
    QString output;
    QString prefix;
    int first = 0;
    int count = 0;
    QString folder;           // --dir
    int waitSeconds = 0;      // --wait: how long a device command waits for its units to appear
    QString logDir;           // --log-dir: a record per unit serial there
    bool ifDifferent = false; // --if-different: upgrade only the units that do not hold the file
    int expect = 0;           // --expect: with --all, exactly this many units; 0: any number
    int retries = 0;          // --retries: how often upgrade runs a failed change again where that may mend it

    // Empty on success, otherwise the reason the command line is refused.
    static QString parse(const QStringList &arguments, CtlOptions *options);

    // The command that a command line names, also one refused before its
    // command was reached (for the refusal's document); null when none.
    static const Command *commandNamed(const QStringList &arguments);

    // What --help calls the value of an option ("MASK" for --set); empty
    // for an option without a value.
    static QString valueName(const QString &option);
};
