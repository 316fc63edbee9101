// Firmware change of N = 1, 2, 4, 8 and 16 Vt520s at once on one emulated
// bus with realistic transfer costs, on the real clock: the waits of the
// sequence and each unit's own latency, flash programming and
// re-enumeration pass side by side, while the bus carries one transfer at a
// time. Prints the wall time, its ratio to one unit, the CPU time per unit
// and how busy the bus was.
#include "BenchmarkUpgradeFile.h"
#include "firmware/GangChange.h"
#include "sim/Vt520Sim.h"
#include "sim/WireTime.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Wire time of every logged transfer, as the emulator charged it.
double wireMs(const QList<vt520sim::TransferRecord> &log)
{
    int64_t us = 0;
    for (const auto &record : log)
        us += vt520sim::wireMicroseconds(record.bulk, record.length);
    return double(us) / 1e3;
}

struct Figures {
    double wallMs = 0;
    double cpuPerUnitMs = 0;
    double busyPercent = 0;
    double slowestUnitMs = 0;
    int succeeded = 0;
};

Figures changeAtOnce(const QString &fileName, int units)
{
    auto &bus = vt520sim::Bus::instance();
    bus.reset();
    bus.useVirtualClock(false);
    QStringList ports;
    for (int i = 1; i <= units; ++i) {
        // Units behind one hub, as VT520_SIM_UNITS lays them out.
        const QString port = QStringLiteral("1-1.%1").arg(i);
        vt520sim::Device &unit = bus.addVt520At(port, QByteArray::number(261100041 + i));
        unit.setTransferCost(vt520sim::TransferCost::realistic());
        ports << port;
    }

    Figures figures;
    const double cpuBefore = cpuMs();
    QElapsedTimer timer;
    timer.start();
    const GangChange::Result result = GangChange({}).run(fileName, ports);
    figures.wallMs = double(timer.nsecsElapsed()) / 1e6;
    figures.cpuPerUnitMs = (cpuMs() - cpuBefore) / units;
    figures.busyPercent = wireMs(bus.transferLog()) * 100.0 / figures.wallMs;
    for (const auto &unit : result.units) {
        figures.succeeded += unit.succeeded() ? 1 : 0;
        figures.slowestUnitMs = std::max(figures.slowestUnitMs, double(unit.milliseconds));
    }
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QTemporaryDir dir;
    const QString fileName = BenchmarkUpgradeFile::write(dir);
    if (fileName.isEmpty())
        return 1;

    std::printf("units  wall ms  ratio  CPU ms/unit  bus busy  slowest unit ms  changed\n");
    double one = 0;
    bool allChanged = true;
    for (int units : {1, 2, 4, 8, 16}) {
        const Figures figures = changeAtOnce(fileName, units);
        if (units == 1)
            one = figures.wallMs;
        allChanged = allChanged && figures.succeeded == units;
        std::printf("%5d  %7.0f  %5.3f  %11.1f  %7.1f%%  %15.0f  %d/%d\n", units, figures.wallMs, figures.wallMs / one,
                    figures.cpuPerUnitMs, figures.busyPercent, figures.slowestUnitMs, figures.succeeded, units);
        std::fflush(stdout);
    }
    std::printf("goal: 8 units within 1.25x of one, 16 within 1.5x\n");
    return allChanged ? 0 : 1;
}
