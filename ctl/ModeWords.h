#pragma once

#include <QByteArray>
#include <QString>

// The mode a unit was found in, as the lines after a stop name it ("it is
// still in its bootloader", "... in application mode"), told from the serial
// string it reported.
QString modeWords(const QByteArray &serialString);
