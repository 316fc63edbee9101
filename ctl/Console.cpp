#include "ctl/Console.h"

#include "ctl/JsonReport.h"
#include "ctl/ProgressLine.h"

#include <cstdio>

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
    if (progress)
        progress->interrupt();
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void Console::error(const QString &text)
{
    errorTexts.append(text);
    errorLine(QStringLiteral("vt520ctl: ") + text);
}

void Console::errorLine(const QString &text)
{
    errorLines.append(text);
    if (progress)
        progress->interrupt();
    std::fflush(stdout);
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}
