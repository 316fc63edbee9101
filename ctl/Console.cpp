#include "ctl/Console.h"

#include "ctl/ProgressLine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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

void Console::closeJson(int exitStatus)
{
    if (!json || document || exitStatus == 0)
        return;
    // error() gives the reason; a command that only wrote the window's error
    // line ("Status: ERROR") has that as its reason.
    const QStringList reasons = errorTexts.isEmpty() ? errorLines : errorTexts;
    QJsonObject object{{"error", reasons.isEmpty() ? QString() : reasons.first()}, {"exitStatus", exitStatus}};
    if (reasons.size() > 1)
        object.insert("errors", QJsonArray::fromStringList(reasons));
    document = true;
    result(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)).trimmed());
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
