#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class ProgressLine;

// Where vt520ctl's words go: result lines on standard output (kept back
// with --quiet), errors on standard error, both clear of a progress line.
class Console
{
public:
    explicit Console(bool quiet, ProgressLine *progress = nullptr);

    // A line of the result (or the window's log); several lines if it holds
    // line ends.
    void line(const QString &text);
    // An error, prefixed "vt520ctl: ".
    void error(const QString &text);
    // An error line as it stands (a list, a hint).
    void errorLine(const QString &text);

    bool isQuiet() const { return quiet; }
    // The last result line given, also with --quiet.
    QString lastLine() const { return last; }

private:
    bool quiet;
    ProgressLine *progress;
    QString last;
};
