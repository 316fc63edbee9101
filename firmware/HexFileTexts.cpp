#include "firmware/HexFileTexts.h"

#include "firmware/FailureText.h"
#include "firmware/HexToBin.h"

#include <QCoreApplication>
#include <QDir>

// The texts live in the window's context, where the catalogues keep them.

QString hexToBinErrorLine(int result)
{
    return QCoreApplication::translate("Vt410_bootloader", "HexToBin error: %1)").arg(result);
}

bool isHexRecordDefect(const HexToBinResult &result)
{
    return result.code != 0 && result.line > 0;
}

QString refusedHexFileText(const QString &fileName, const HexToBinResult &result)
{
    QString reason = FailureText::hexFileRefusal(result.code, result.earlierLine);
    if (result.line > 0)
        reason =
            QCoreApplication::translate("Vt410_bootloader", "Line %1: %2").arg(QString::number(result.line), reason);
    const QString text = QCoreApplication::translate("Vt410_bootloader", "Nothing was made from the file %1.\n%2")
                             .arg(QDir::toNativeSeparators(fileName), reason);
    return isHexRecordDefect(result) ? hexToBinErrorLine(result.code) + QLatin1Char('\n') + text : text;
}

QString leftOutBytesLine(qint64 count)
{
    return QCoreApplication::translate("Vt410_bootloader",
                                       "Bytes of the file outside the application and external flash regions, "
                                       "left out: %1.")
        .arg(count);
}
