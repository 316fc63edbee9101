#pragma once

#include "firmware/RetriedChange.h"

#include <QString>

// What upgrade --retries says and records before a unit's change runs
// again: one line for the console, one "retry" event in the unit's record.
namespace RetryNotice {

// "attempt 1 of 3 failed (in-bootloader); running the change again in 2 s"
QString line(int failedAttempt, int retries, const RetriedChange::Attempt &failed);

// The line's facts as the unit's record event, with the failed run's reason.
void record(const QString &portPath, int failedAttempt, const RetriedChange::Attempt &failed);

} // namespace RetryNotice
