#include "usb/CompleteFileWriter.h"

#include "usb/InPlaceFileWriter.h"
#include "usb/NativeFile.h"

#include <QSaveFile>

namespace {

// A short write leaves no system reason behind: the file's error string
// then says nothing useful. Writing again what was left fails outright and
// carries the reason, which is what the caller has to show.
QString reasonAfterFailure(QSaveFile &file)
{
    file.flush();
    QString reason = file.errorString();
    if (reason.isEmpty())
        reason = QStringLiteral("the file was written only in part");
    return reason;
}

} // namespace

bool CompleteFileWriter::write(const QString &fileName, const QByteArray &bytes, QString *reason)
{
    // A device, FIFO, socket or open stream is written where it stands;
    // only a regular file (or a new name) is replaced whole.
    if (InPlaceFileWriter::applies(fileName))
        return InPlaceFileWriter::write(fileName, bytes, reason);
    // A name that QSaveFile cannot open (bytes that are not UTF-8).
    if (NativeFile::writtenByBytes(fileName))
        return NativeFile::writeComplete(fileName, bytes, reason);
    QSaveFile file(fileName);
    QString failure;
    if (!file.open(QIODevice::WriteOnly)) {
        failure = file.errorString();
    } else {
        // QIODevice::write may take fewer bytes than given when the disk
        // fills during a direct write; the next call then fails with the
        // reason.
        qint64 written = 0;
        bool ok = true;
        while (ok && written < bytes.size()) {
            const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
            ok = count > 0;
            if (ok)
                written += count;
        }
        // The explicit flush matters: commit() alone does not notice a short
        // write of the buffered bytes and would put a cut-off file in place.
        if (!ok || !file.flush()) {
            failure = reasonAfterFailure(file);
            file.cancelWriting();
        } else if (!file.commit()) {
            failure = file.errorString();
        } else {
            return true;
        }
    }
    if (reason)
        *reason = failure;
    return false;
}
