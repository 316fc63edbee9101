#include "ctl/Console.h"

#include "ctl/ExitStatus.h"
#include "ctl/JsonReport.h"
#include "ctl/ProgressLine.h"
#include "ctl/VisibleText.h"
#include "usb/NativeFileName.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

Console::Console(bool quiet, ProgressLine *progress)
    : quiet(quiet)
    , progress(progress)
{
}

void Console::line(const QString &text)
{
    last = text;
    if (!quiet && !json)
        result(text);
}

void Console::setJson(bool on)
{
    json = on;
}

void Console::closeJson(int exitStatus, const QJsonObject &frame)
{
    if (!json || document || exitStatus == 0)
        return;
    JsonReport::give(*this, frame, exitStatus);
}

void Console::result(const QString &text)
{
    last = text;
    write(VisibleText::ofText(NativeFileName::shown(text)));
}

void Console::jsonResult(const QString &json)
{
    // The document's texts were made readable before it was serialized
    // (JsonReport::readable): the JSON text holds no kept bytes.
    last = json;
    write(VisibleText::ofJson(json));
}

namespace {

// The system's reason of the first write to standard output that failed,
// for the one line that says so (by then the stream knows only that one did).
int firstOutputError = 0;

void flushStandardOutput()
{
    if (std::fflush(stdout) != 0 && firstOutputError == 0)
        firstOutputError = errno;
}

} // namespace

void Console::write(const QString &shown)
{
    if (progress)
        progress->interrupt();
    const QByteArray bytes = shown.toLocal8Bit() + '\n';
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size())
        && firstOutputError == 0)
        firstOutputError = errno;
    flushStandardOutput();
}

void Console::error(const QString &text)
{
    // A file name's bytes that are not UTF-8 are shown escaped, in the
    // JSON document's errors too.
    const QString readable = NativeFileName::shown(text);
    errorTexts.append(readable);
    errorLine(QStringLiteral("vt520ctl: ") + readable);
}

int Console::standardOutputFailed(int error)
{
    // One stream for the whole process: a command that found it failed and
    // the last check before the exit must not both say so.
    static bool said = false;
    if (error == 0)
        error = firstOutputError;
    if (!said)
        this->error(error == 0 ? QStringLiteral("standard output could not be written")
                               : QStringLiteral("standard output could not be written: %1")
                                     .arg(QString::fromLocal8Bit(std::strerror(error))));
    said = true;
    return ExitFileRefused;
}

void Console::errorLine(const QString &text)
{
    const QString readable = NativeFileName::shown(text);
    errorLines.append(readable);
    if (progress)
        progress->interrupt();
    flushStandardOutput();
    const QByteArray bytes = VisibleText::ofText(readable).toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}
