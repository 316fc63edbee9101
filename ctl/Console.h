#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

class ProgressLine;

// Where vt520ctl's words go: what a command was asked for on standard
// output always, its log and informational lines there too (kept back with
// --quiet), errors on standard error, all clear of a progress line. With
// --json standard output holds one JSON document: the log lines are kept
// back, and the errors are remembered for the document that ends the run.
// Control characters in any of it (from a unit's serial, say) are written
// visibly (VisibleText), on a terminal or not.
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
    // The run's JSON document, as a result.
    void jsonResult(const QString &json);
    // An error, prefixed "vt520ctl: ".
    void error(const QString &text);
    // An error line as it stands (a list, a hint).
    void errorLine(const QString &text);
    // "standard output could not be written", with the system's reason for
    // error (an errno value; 0: that of the first of the console's own
    // writes that failed), said once however many writes
    // found it closed or full; returns ExitFileRefused.
    int standardOutputFailed(int error);

    bool isQuiet() const { return quiet; }

    // --json: log lines kept back, error texts remembered.
    void setJson(bool on);
    bool isJson() const { return json; }
    // The texts given to error(), in order (without the "vt520ctl: ").
    QStringList errors() const { return errorTexts; }
    // The reasons of a failure: errors(), or for a command that only wrote
    // the window's error line ("Status: ERROR") that line.
    QStringList reasons() const { return errorTexts.isEmpty() ? errorLines : errorTexts; }
    // A command that printed its own document, errors included, says so;
    // otherwise a failing run ends with its command's document (frame)
    // holding no units, the errors and the exit status.
    void documentGiven() { document = true; }
    bool hasDocument() const { return document; }
    // That closing document for a failure, when --json asked for one and no
    // document was given.
    void closeJson(int exitStatus, const QJsonObject &frame);
    // The last result line given, also with --quiet.
    QString lastLine() const { return last; }

private:
    // A line onto standard output, clear of the progress line.
    void write(const QString &shown);

    bool quiet;
    ProgressLine *progress;
    QString last;
    bool json = false;
    bool document = false;
    QStringList errorTexts;
    QStringList errorLines; // every line on standard error
};
