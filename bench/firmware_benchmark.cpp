// Firmware change figures against the device emulator with its realistic
// transfer costs:
//  1. the time of a change from application mode against its floor (the
//     fixed waits plus the emulator's transfer and programming time);
//  2. the longest gap between two turns of the GUI event loop while the
//     window runs a change, and while it shows the two 81920-byte hex dumps
//     of an external flash verify failure.
#include "BenchmarkUpgradeFile.h"
#include "EmulatorClock.h"
#include "ScriptedQuestions.h"
#include "app/Vt410_bootloader.h"
#include "firmware/FirmwareChange.h"
#include "sim/Vt520Sim.h"
#include "usb/HexDump.h"
#include "usb/USBVT350.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>

#include <cstdio>

namespace {

vt520sim::Device &freshDevice(bool virtualClock)
{
    auto &bus = vt520sim::Bus::instance();
    bus.reset();
    bus.useVirtualClock(virtualClock);
    vt520sim::Device &device = bus.addVt520(1, 1, "261100042");
    device.setTransferCost(vt520sim::TransferCost::realistic());
    return device;
}

// The floor: the same change on the virtual clock, where the waits and the
// emulator's costs add up without any time spent by the host.
double floorMs(const QString &fileName)
{
    freshDevice(true);
    USBVT350 usb;
    FirmwareChange::Callbacks callbacks;
    EmulatorClock clock;
    FirmwareChange(usb, callbacks, clock).run(fileName);
    return double(vt520sim::Bus::instance().nowMs());
}

double realMs(const QString &fileName)
{
    freshDevice(false);
    USBVT350 usb;
    QElapsedTimer timer;
    timer.start();
    FirmwareChange(usb, {}).run(fileName);
    return double(timer.nsecsElapsed()) / 1e6;
}

// Runs the event loop until `done`, and returns the longest gap between two
// of its turns, in milliseconds.
double longestGapUntil(const std::function<bool()> &done, const std::function<void()> &eachTurn = {})
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 longest = 0;
    QEventLoop loop;
    QTimer turn;
    turn.setInterval(0);
    QObject::connect(&turn, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
        if (eachTurn)
            eachTurn();
        if (done())
            loop.quit();
    });
    turn.start();
    loop.exec();
    return double(longest) / 1e6;
}

Vt410_bootloader *startChange(const QString &fileName)
{
    auto *window = new Vt410_bootloader;
    auto questions = std::make_unique<ScriptedQuestions>();
    questions->answer(fileName);
    window->setQuestions(std::move(questions));
    window->show();
    window->slotpushButtonCHF(false);
    return window;
}

QTextBrowser *logPane(Vt410_bootloader *window)
{
    return window->findChild<QTextBrowser *>("txt");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QTemporaryDir dir;
    const QString fileName = BenchmarkUpgradeFile::write(dir);
    if (fileName.isEmpty())
        return 1;

    // 1. Duration against the floor.
    const double floor = floorMs(fileName);
    double best = 1e300;
    for (int run = 0; run < 3; ++run)
        best = std::min(best, realMs(fileName));
    std::printf("firmware change from application mode: %.1f ms, floor %.1f ms, ratio %.4f (%.2f%% over)\n", best,
                floor, best / floor, (best / floor - 1.0) * 100.0);

    // 2. The window during a normal change.
    {
        freshDevice(false);
        Vt410_bootloader *window = startChange(fileName);
        // The change has shown its 15 lines.
        const double gap = longestGapUntil([window] { return logPane(window)->document()->blockCount() >= 15; });
        delete window;
        std::printf("longest event loop gap during a change: %.1f ms (target < 50 ms)\n", gap);
    }

    // 3. The window showing the two dumps of a verify failure: the stored
    //    external flash changes while it is being read back.
    {
        vt520sim::Device &device = freshDevice(false);
        auto &bus = vt520sim::Bus::instance();
        Vt410_bootloader *window = startChange(fileName);
        bool changed = false;
        longestGapUntil([&] { return changed; },
                        [&] {
                            if (!changed && bus.requestCount(5) > 0) {
                                device.setExternalFlash(0x13F00, QByteArray(64, '\x5A'));
                                changed = true;
                            }
                        });
        // Both dumps shown: 2 x 5121 lines after the 12 lines before them.
        const double gap = longestGapUntil([window] { return logPane(window)->document()->blockCount() >= 10254; });
        delete window;
        std::printf("longest event loop gap while the two 81920-byte dumps are shown: %.1f ms (target < 250 ms)\n",
                    gap);

        // Each dump on its own, appended to a pane that holds a change's lines.
        Vt410_bootloader pane;
        pane.show();
        QTextBrowser *txt = logPane(&pane);
        for (int i = 0; i < 20; ++i)
            txt->append(QStringLiteral("Writting firmware ... "));
        QByteArray bytes = QByteArray(81920, '\0');
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        const QString dump =
            QString::fromLatin1(HexDump(reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size()));
        for (int i = 0; i < 2; ++i) {
            QElapsedTimer timer;
            timer.start();
            txt->append(dump);
            QCoreApplication::processEvents();
            std::printf("append of dump %d (%lld characters): %.1f ms\n", i + 1, qlonglong(dump.size()),
                        double(timer.nsecsElapsed()) / 1e6);
        }
    }
    return 0;
}
