// info: what a file of the Vt520 tools holds, and whether it may be used.
#include "ctl/Commands.h"

#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/ExitStatus.h"
#include "ctl/FileInfo.h"
#include "ctl/JsonReport.h"

#include <QJsonObject>

namespace Commands {

int info(const CtlOptions &options, Console &console)
{
    const FileInfo info = FileInfo::of(options.arguments[0]);
    const int status = info.problem.isEmpty() ? ExitDone : ExitFileRefused;
    // A file that is not one of the kinds has nothing to describe.
    if (info.kind == FileInfo::Kind::Unknown) {
        console.error(info.problem);
        return status;
    }
    if (options.json) {
        QJsonObject document = JsonReport::header(options);
        const QJsonObject described = info.toJson();
        for (auto key = described.begin(); key != described.end(); ++key)
            document.insert(key.key(), key.value());
        if (status != ExitDone)
            console.error(info.problem);
        return JsonReport::give(console, document, status);
    }
    for (const QString &line : info.lines())
        console.result(line);
    if (status != ExitDone)
        console.error(info.problem);
    return status;
}

} // namespace Commands
