#include "ctl/InputFile.h"

#include "ctl/Console.h"
#include "ctl/ExitStatus.h"

#include <QFile>

namespace InputFile {

namespace {

void refuseUnreadable(const QString &fileName, const QString &reason, Console &console)
{
    console.error(QStringLiteral("cannot read %1: %2").arg(fileName, reason));
}

} // namespace

bool readAll(const QString &fileName, Console &console, QByteArray *bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        refuseUnreadable(fileName, file.errorString(), console);
        return false;
    }
    *bytes = file.readAll();
    return true;
}

int readUpgrade(const QString &fileName, Console &console,
                const std::function<void(const UpgradeFile::Contents &)> &showRefusal, UpgradeFile::Contents *contents)
{
    *contents = UpgradeFile::read(fileName);
    switch (contents->status) {
    case UpgradeFile::Status::Ok:
        return ExitDone;
    case UpgradeFile::Status::CannotOpen:
        refuseUnreadable(fileName, contents->reason, console);
        return ExitFileRefused;
    default:
        showRefusal(*contents);
        console.error(UpgradeFile::refusalText(contents->status, fileName));
        return ExitFileRefused;
    }
}

} // namespace InputFile
