#pragma once

#include <QString>

class QTemporaryDir;

// The upgrade file every firmware benchmark changes to: random application
// and external flash regions from a fixed seed, with their sums, so that
// figures of different runs and benchmarks compare.
namespace BenchmarkUpgradeFile {

// Writes bench.upg into the folder; its name, or empty after a line on
// standard error.
QString write(const QTemporaryDir &folder);

} // namespace BenchmarkUpgradeFile
