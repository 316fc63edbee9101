#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class ProgressLine;

// Where vt520ctl's words go: what a command was asked for on standard
// output always, its log and informational lines there too (kept back with
// --quiet), errors on standard error, all clear of a progress line. With
// --json standard output holds one JSON document: the log lines are kept
// back, and the errors are remembered for the document that ends the run.
class Console
{
public:
    explicit Console(bool quiet, ProgressLine *progress = nullptr);

    // A line of the window's log or of information; several lines if it
    // holds line ends. Kept back with --quiet.
    void line(const QString &text);
    // What the command was asked for (a listing, a dump, the status word):
    // shown with --quiet too.
    void result(const QString &text);
    // An error, prefixed "vt520ctl: ".
    void error(const QString &text);
    // An error line as it stands (a list, a hint).
    void errorLine(const QString &text);

    bool isQuiet() const { return quiet; }

    // --json: log lines kept back, error texts remembered.
    void setJson(bool on);
    bool isJson() const { return json; }
    // The texts given to error(), in order (without the "vt520ctl: ").
    QStringList errors() const { return errorTexts; }
    // A command that printed its own document, errors included, says so;
    // otherwise a failing run ends with {"error": ..., "exitStatus": N}.
    void documentGiven() { document = true; }
    bool hasDocument() const { return document; }
    // That closing object for a failure, when --json asked for one and no
    // document was given.
    void closeJson(int exitStatus);
    // The last result line given, also with --quiet.
    QString lastLine() const { return last; }

private:
    bool quiet;
    ProgressLine *progress;
    QString last;
    bool json = false;
    bool document = false;
    QStringList errorTexts;
    QStringList errorLines; // every line on standard error
};
