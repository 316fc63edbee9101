#include "ctl/Command.h"

#include <algorithm>

bool Command::takes(const QString &option) const
{
    if (option == QLatin1String("--verbose") || option == QLatin1String("--quiet"))
        return true;
    // list waits for a unit to appear as the device commands do.
    if (option == QLatin1String("--wait"))
        return devices != Devices::None || name == QLatin1String("list");
    if (option == QLatin1String("--device") || option == QLatin1String("--log-dir"))
        return devices != Devices::None;
    // The production options of a firmware change, shown under Options.
    if (option == QLatin1String("--if-different") || option == QLatin1String("--retries"))
        return name == QLatin1String("upgrade");
    // The commands that show progress on standard error.
    if (option == QLatin1String("--no-progress"))
        return name == QLatin1String("upgrade") || name == QLatin1String("write-flash");
    if (option == QLatin1String("--all") || option == QLatin1String("--expect"))
        return devices == Devices::Several;
    return std::any_of(options.begin(), options.end(), [&](const Option &own) { return own.name == option; });
}
