#include "firmware/HexFileTexts.h"

#include "firmware/HexToBin.h"

#include <QCoreApplication>
#include <QDir>

// Both texts live in the window's context, where the catalogues keep them.

QString hexToBinErrorLine(int result)
{
    return QCoreApplication::translate("Vt410_bootloader", "HexToBin error: %1)").arg(result);
}

QString refusedHexFileText(const QString &fileName, int result)
{
    return QCoreApplication::translate("Vt410_bootloader", "Nothing was made from the file %1.\n%2")
        .arg(QDir::toNativeSeparators(fileName), hexToBinErrorText(result));
}
