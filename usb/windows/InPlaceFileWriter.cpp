#include "usb/InPlaceFileWriter.h"

#include <QFile>
#include <QRegularExpression>

// On Windows the targets that must not be replaced are the devices that
// every folder has (NUL, CON, COM1...) and named pipes; they are opened
// through Qt and written where they stand.
bool InPlaceFileWriter::applies(const QString &fileName)
{
    static const QRegularExpression device(
        QStringLiteral("^(?:.*[\\\\/])?(?:NUL|CON|PRN|AUX|COM[1-9]|LPT[1-9])(?:\\.[^\\\\/]*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression pipe(QStringLiteral("^[\\\\/]{2}\\.[\\\\/]pipe[\\\\/]"),
                                         QRegularExpression::CaseInsensitiveOption);
    return device.match(fileName).hasMatch() || pipe.match(fileName).hasMatch();
}

bool InPlaceFileWriter::write(const QString &fileName, const QByteArray &bytes, QString *reason)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return true;
}
