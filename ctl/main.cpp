// vt520ctl: the device and production functions of the Vt520 configuration
// tool from a terminal, for scripts and production lines.
#include "ctl/Command.h"
#include "ctl/CommandLine.h"
#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/ExitStatus.h"
#include "ctl/HelpText.h"
#include "ctl/Interruption.h"
#include "ctl/JsonReport.h"
#include "ctl/StandardStreams.h"
#include "ctl/UnitLog.h"
#include "ctl/VisibleText.h"
#include "usb/NativeFileName.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>

namespace {

bool verboseTrace = false;

// The core's trace lines (qDebug) reach the terminal only with --verbose;
// warnings always do. Both may quote what a unit sent.
void handleMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (!verboseTrace && (type == QtDebugMsg || type == QtInfoMsg))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(VisibleText::ofText(NativeFileName::shown(message))));
}

int run(const CtlOptions &options, Console &console)
{
    if (options.help) {
        std::fputs(qPrintable(options.command ? HelpText::text(*options.command) : HelpText::text()), stdout);
        return ExitDone;
    }
    if (options.version) {
        std::printf("vt520ctl %s\n", VT520_VERSION);
        return ExitDone;
    }
    // Without --help or --version, parsing has found the command in the table.
    return options.command->run(options, console);
}

} // namespace

int main(int argc, char *argv[])
{
    StandardStreams::passBytesUnchanged();
    qInstallMessageHandler(handleMessage);
    Interruption::install();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vt520ctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VT520_VERSION));

    JsonReport::noteStart();
    const QStringList arguments = CommandLine::arguments(argc, argv).mid(1);
    CtlOptions options;
    const QString refusal = CtlOptions::parse(arguments, &options);
    verboseTrace = options.verbose;
    Console console(options.quiet);
    // A command line refused before --json was read still gets its document.
    console.setJson(options.json || arguments.contains(QStringLiteral("--json")));
    if (!refusal.isEmpty()) {
        console.error(refusal);
        console.errorLine(QStringLiteral("Try 'vt520ctl --help'."));
        if (!options.command)
            options.command = CtlOptions::commandNamed(arguments);
        console.closeJson(ExitUsage, JsonReport::header(options));
        return ExitUsage;
    }
    if (!options.logDir.isEmpty() && options.command && !options.help) {
        QString reason;
        if (!UnitLog::instance().open(options.logDir, options.command->name, &reason)) {
            console.error(QStringLiteral("cannot write %1: %2").arg(options.logDir, reason));
            console.closeJson(ExitFileRefused, JsonReport::header(options));
            return ExitFileRefused;
        }
    }
    int status = run(options, console);
    // The run's outcome stands as its document gave it; a record that could
    // not be written is said once.
    const QString logFailure = UnitLog::instance().failure();
    if (!logFailure.isEmpty())
        console.errorLine(QStringLiteral("vt520ctl: warning: cannot write %1: %2").arg(options.logDir, logFailure));
    // A command that reached no safe point of its own has finished its
    // step; the signal still ends it with the signal's status.
    if (Interruption::requested() && status != Interruption::exitStatus()) {
        console.error(QStringLiteral("%1: stopped after the command's last step").arg(Interruption::signalName()));
        status = Interruption::exitStatus();
    }
    console.closeJson(status, JsonReport::header(options));
    // A full disk behind standard output must not pass for a complete
    // listing or dump.
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        console.standardOutputFailed(errno);
        if (status == ExitDone)
            status = ExitFileRefused;
    }
    return status;
}
