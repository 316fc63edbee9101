// info: what a file of the Vt520 tools holds, and whether it may be used.
#include "ctl/Commands.h"

#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/ExitStatus.h"
#include "ctl/FileInfo.h"

#include <QJsonDocument>

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
        QJsonObject object = info.toJson();
        if (status != ExitDone) {
            console.error(info.problem);
            object.insert("error", info.problem);
            object.insert("exitStatus", status);
        }
        console.documentGiven();
        console.result(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)).trimmed());
        return status;
    }
    for (const QString &line : info.lines())
        console.result(line);
    if (status != ExitDone)
        console.error(info.problem);
    return status;
}

} // namespace Commands
