#include "firmware/HexToBinErrorLine.h"

#include <QCoreApplication>

QString hexToBinErrorLine(int result)
{
    // The window's own context, where the catalogues keep the text.
    return QCoreApplication::translate("Vt410_bootloader", "HexToBin error: %1)").arg(result);
}
