// Measures the two editing steps of the Programs tab that must stay within one
// frame (16 ms): switching the shown record (store the shown one, show the
// next one in the 12 lamp editors and repaint them) and moving one colour
// slider by one step. Prints the median and the slowest run of each.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "app/UserQuestions.h"
#include "app/Vt410_bootloader.h"
#include "lighting/LightingFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QRandomGenerator>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Answers every file dialog with one file name and every box with Ok.
class FixedAnswers : public UserQuestions
{
public:
    explicit FixedAnswers(QString fileName)
        : fileName(std::move(fileName))
    {
    }

    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override { return fileName; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return fileName; }
    QString text(QWidget *, const QString &, const QString &, QLineEdit::EchoMode, const QString &, bool *ok) override
    {
        *ok = false;
        return {};
    }
    int integer(QWidget *, const QString &, const QString &, int value, int, int, int, bool *ok) override
    {
        *ok = false;
        return value;
    }
    QString item(QWidget *, const QString &, const QString &, const QStringList &, int, bool, bool *ok) override
    {
        *ok = false;
        return {};
    }
    QMessageBox::StandardButton message(QMessageBox::Icon, QWidget *, const QString &, const QString &text,
                                        QMessageBox::StandardButtons, QMessageBox::StandardButton) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return QMessageBox::Ok;
    }

private:
    QString fileName;
};

struct Figures {
    double medianMs;
    double slowestMs;
};

Figures figuresOf(std::vector<qint64> nanoseconds)
{
    std::sort(nanoseconds.begin(), nanoseconds.end());
    return {nanoseconds[nanoseconds.size() / 2] / 1e6, nanoseconds.back() / 1e6};
}

void report(const char *what, const Figures &figures)
{
    std::printf("%-44s median %7.3f ms  slowest %7.3f ms  %s\n", what, figures.medianMs, figures.slowestMs,
                figures.medianMs < 16.0 ? "within one frame" : "OVER ONE FRAME (16 ms)");
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int Runs = 200;

    // A programs table of random colours and times, so every switch changes
    // every editor.
    QTemporaryDir dir;
    const QString fileName = dir.filePath("bench.pgm");
    QByteArray table(LightingFile::tableSize(LightingFile::Kind::Programs), '\0');
    QRandomGenerator random(520);
    for (int record = 0; record < ProgramCount * ScenesPerProgram; ++record) {
        auto *scene = reinterpret_cast<SceneRecord *>(table.data() + record * SceneRecord::Size);
        for (int lamp = 0; lamp < SceneRecord::LampCount; ++lamp)
            scene->setLamp(lamp, quint8(random.bounded(256)), quint8(random.bounded(256)), quint8(random.bounded(256)));
        scene->setRiseTime(qint32(random.bounded(100001)));
        scene->setStaticTime(qint32(random.bounded(900001)));
        scene->setEndMarker(quint8(random.bounded(2)));
    }
    if (LightingFile::save(fileName, LightingFile::Kind::Programs, table) != LightingFile::Status::Ok) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(fileName));
        return 1;
    }

    Vt410_bootloader window;
    window.setQuestions(std::make_unique<FixedAnswers>(fileName));
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    auto *sceneNumber = window.findChild<QSpinBox *>(QStringLiteral("spinBoxSceneNumber"));
    auto *lamps = window.findChild<QHBoxLayout *>(QStringLiteral("horizontalLayout"));
    if (!tabs || !sceneNumber || !lamps || lamps->count() < 1) {
        std::fprintf(stderr, "window widgets not found\n");
        return 1;
    }
    tabs->setCurrentIndex(1); // Programs
    window.resize(1280, 720);
    window.show();
    window.slotpushButtonLoadProgramsFromFile(false);
    QApplication::processEvents();

    std::vector<qint64> switching;
    QElapsedTimer timer;
    for (int run = 0; run < Runs; ++run) {
        timer.start();
        sceneNumber->setValue(sceneNumber->value() % ScenesPerProgram + 1); // slotUpdateProgramScene
        QApplication::processEvents();                                      // repaints the editors that changed
        switching.push_back(timer.nsecsElapsed());
    }

    auto *slider = lamps->itemAt(0)->widget()->findChild<QSlider *>(QStringLiteral("SliderRed"));
    if (!slider) {
        std::fprintf(stderr, "colour slider not found\n");
        return 1;
    }
    std::vector<qint64> sliding;
    for (int run = 0; run < Runs; ++run) {
        const int step = slider->value() < slider->maximum() ? 1 : -slider->maximum();
        timer.start();
        slider->setValue(slider->value() + step);
        QApplication::processEvents();
        sliding.push_back(timer.nsecsElapsed());
    }

    std::printf("Programs tab, %d runs each, platform %s\n", Runs, qPrintable(QApplication::platformName()));
    report("switch record (12 editors shown, repainted)", figuresOf(switching));
    report("colour slider, one step", figuresOf(sliding));
    return 0;
}
