#include "ctl/InputFile.h"

#include "ctl/Console.h"

#include <QFile>

namespace InputFile {

bool readable(const QString &fileName, Console &console)
{
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly))
        return true;
    console.error(QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString()));
    return false;
}

} // namespace InputFile
