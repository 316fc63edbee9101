#include "lighting/LightingFileTransfer.h"

#include <QByteArray>

LightingFileTransfer::Status LightingFileTransfer::statusOf(LightingTransfer::Status status)
{
    switch (status) {
    case LightingTransfer::Status::Done:
        break;
    case LightingTransfer::Status::AcquireFailed:
        return LightingFileTransfer::Status::AcquireFailed;
    case LightingTransfer::Status::TransferFailed:
        return LightingFileTransfer::Status::TransferFailed;
    }
    return LightingFileTransfer::Status::Done;
}

LightingTransfer::Location LightingFileTransfer::locationOf(LightingFile::Kind kind)
{
    return kind == LightingFile::Kind::Programs ? LightingTransfer::Programs : LightingTransfer::Scenes;
}

LightingFileTransfer::Result LightingFileTransfer::getToFile(USBVT350 &usb, LightingFile::Kind kind,
                                                             const QString &fileName, Clock &clock)
{
    const LightingTransfer::Location where = locationOf(kind);
    QByteArray table(where.length, '\0');
    Result result;
    LightingTransfer transfer(usb, clock);
    result.status = statusOf(transfer.read(where, table.data()));
    result.hostAccessMayBeSet = transfer.hostAccessMayBeSet();
    result.failure = transfer.failure();
    if (result.status != Status::Done)
        return result;
    result.fileStatus = LightingFile::save(fileName, kind, table, &result.reason);
    if (result.fileStatus != LightingFile::Status::Ok)
        result.status = Status::SaveFailed;
    return result;
}
