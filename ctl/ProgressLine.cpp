#include "ctl/ProgressLine.h"

#include <QByteArray>
#include <QtGlobal>

#include <unistd.h>

ProgressLine::ProgressLine(std::FILE *stream, bool terminal, bool enabled)
    : stream(stream)
    , terminal(terminal)
    , enabled(enabled)
{
}

bool ProgressLine::drawsInPlace(int descriptor)
{
    return isatty(descriptor) != 0 && qgetenv("TERM") != "dumb";
}

void ProgressLine::show(const QString &stage, int percent)
{
    if (!enabled)
        return;
    percent = qBound(0, percent, 100);
    if (stage != currentStage) {
        finish();
        currentStage = stage;
        shownPercent = -1;
    }
    if (terminal) {
        if (percent <= shownPercent && lineDrawn)
            return;
        shownPercent = qMax(shownPercent, percent);
        std::fprintf(stream, "\r\033[K%s %3d%%", qPrintable(currentStage), shownPercent);
        lineDrawn = true;
    } else {
        // 0, 10, ..., 100: each step once, the first value a stage reports
        // counting for the step it has reached.
        const int step = percent / 10 * 10;
        if (step <= shownPercent)
            return;
        shownPercent = step;
        std::fprintf(stream, "%s: %d%%\n", qPrintable(currentStage), step);
    }
    std::fflush(stream);
}

void ProgressLine::interrupt()
{
    if (lineDrawn) {
        std::fprintf(stream, "\r\033[K");
        std::fflush(stream);
        lineDrawn = false;
    }
}

void ProgressLine::finish()
{
    if (lineDrawn) {
        std::fprintf(stream, "\n");
        std::fflush(stream);
        lineDrawn = false;
    }
    currentStage.clear();
    shownPercent = -1;
}
