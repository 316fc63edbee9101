#include "ctl/RetryNotice.h"

#include "ctl/UnitLog.h"
#include "firmware/FailureText.h"

namespace RetryNotice {

QString line(int failedAttempt, int retries, const RetriedChange::Attempt &failed)
{
    return QStringLiteral("attempt %1 of %2 failed (%3); running the change again in %4 s")
        .arg(failedAttempt)
        .arg(retries + 1)
        .arg(FailureText::resultWord(failed.outcome))
        .arg(RetriedChange::PauseBeforeRetry / 1000);
}

void record(const QString &portPath, int failedAttempt, const RetriedChange::Attempt &failed)
{
    UnitLog::instance().record(portPath, QStringLiteral("retry"),
                               {{"attempt", failedAttempt},
                                {"result", FailureText::resultWord(failed.outcome)},
                                {"reason", failed.verdict},
                                {"seconds", double(failed.milliseconds) / 1000.0}});
}

} // namespace RetryNotice
