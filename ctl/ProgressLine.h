#pragma once

#include <QString>

#include <cstdio>

// Progress of the stages of a long command on standard error: on a terminal
// one line that is rewritten in place, otherwise a line at every 10 % step.
// Values of a stage never go backwards on the display.
class ProgressLine
{
public:
    ProgressLine(std::FILE *stream, bool terminal, bool enabled);

    // Whether a line can be drawn in place on the descriptor: a terminal
    // that understands the erase sequence (TERM not "dumb", as in an editor's
    // shell buffer or a CI log that merely looks like a terminal).
    static bool drawsInPlace(int descriptor);

    void show(const QString &stage, int percent);
    // Clears a line drawn on the terminal so that other output can follow;
    // the next show() draws it again.
    void interrupt();
    // Ends the current line for good.
    void finish();

private:
    std::FILE *stream;
    bool terminal;
    bool enabled;
    QString currentStage;
    int shownPercent = -1;
    bool lineDrawn = false;
};
