// Service commands of the Settings tab: connection, status word, raw device
// memory and external flash access.
#include "app/Vt410_bootloader.h"

#include "app/FirmwareChangeController.h"
#include "app/StatusMessageTimes.h"

#include "app/UserQuestions.h"
#include "firmware/FailureText.h"
#include "ui_Vt410_bootloader.h"
#include "usb/HexDump.h"
#include "usb/Scrambling.h"
#include "usb/USBVT350.h"
#include "usb/UnitLock.h"
#include "usb/tools/ExtFlashBinWriter.h"
#include "app/RuntimeRandom.h"
#include "app/ServiceDialogValues.h"
#include "usb/tools/ServiceRead.h"
#include "usb/tools/ServiceText.h"
#include "app/ShuffledNumbers.h"

#include <QByteArray>
#include <QDebug>
#include <QFile>
#include <QStatusBar>

namespace {

// The status buttons set and clear the host-access bit only.
constexpr quint32 HostAccessMask = 1;

// WritePage always fills the fifth page of the application area.
constexpr quint32 FillPageAddress = 0x08005000;
constexpr int PageSize = 1024;

constexpr int TestBlockRequest = 2;
constexpr int TestBlockSize = 512;

constexpr int MaxServiceLength = ServiceRead::MaxLength;

quint8 *bytes(QByteArray &buffer)
{
    return reinterpret_cast<quint8 *>(buffer.data());
}

QString dumpText(const QByteArray &buffer)
{
    return ServiceRead::dumpText(buffer);
}

} // namespace

void Vt410_bootloader::slotpushButtonConnect(bool)
{
    qDebug() << "Vt410_bootloader::slotpushButtonConnect(bool t)";
    std::unique_ptr<UnitLock> hold;
    if (!beginDeviceCommand(hold))
        return;
    if (const Failure failure = usb->tryConnect(); failure.failed()) {
        qDebug() << "Connect ERROR";
        ui->txt->append(QStringLiteral("Connect ERROR"));
        if (failure.kind == Failure::Kind::AccessDenied)
            ui->txt->append(FailureText::sentence(failure.kind));
    } else {
        qDebug() << "Connect OK";
        ui->txt->append(QStringLiteral("Connect OK"));
    }
}

void Vt410_bootloader::slotpushButtonDisconnect(bool)
{
    // Closing the handle under a running change would cut it off.
    if (firmwareChange->isChanging()) {
        statusBar()->showMessage(tr("A firmware change is running; nothing was sent."), FailureMessageMs);
        return;
    }
    usb->disconnect();
    qDebug() << "Vt410_bootloader::slotpushButtonDisconnect(bool t)";
    ui->txt->clear();

    const QList<ShuffledNumbers::Draw> draws = ShuffledNumbers::draw(RuntimeRandom::process());

    // A test file: failures to create or write it are not reported.
    QFile file(QStringLiteral("dane.csv"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(ShuffledNumbers::csv(draws));

    for (const ShuffledNumbers::Draw &d : draws)
        ui->txt->append(QStringLiteral("%1 -> %2").arg(d.random).arg(d.value));
}

void Vt410_bootloader::slotpushButtonRunApplication(bool)
{
    std::unique_ptr<UnitLock> hold;
    if (!beginDeviceCommand(hold))
        return;
    usb->RunApplication();
    usb->disconnect();
    usb->connect();
}

void Vt410_bootloader::slotpushButtonStatusGet(bool)
{
    std::unique_ptr<UnitLock> hold;
    if (!beginDeviceCommand(hold))
        return;
    quint32 status = 0;
    if (usb->StatusGet(&status) != 0)
        ui->txt->append(QStringLiteral("Status: ERROR"));
    else
        ui->txt->append(QStringLiteral("Status: ") + ServiceText::binary32(status));
}

void Vt410_bootloader::slotpushButtonStatusSet(bool)
{
    std::unique_ptr<UnitLock> hold;
    if (!beginDeviceCommand(hold))
        return;
    if (usb->StatusSet(HostAccessMask) != 0)
        ui->txt->append(QStringLiteral("StatusSet() ERROR"));
    else
        ui->txt->append(QStringLiteral("StatusSet(%1)").arg(ServiceText::binary32(HostAccessMask)));
}

void Vt410_bootloader::slotpushButtonStatusClr(bool)
{
    std::unique_ptr<UnitLock> hold;
    if (!beginDeviceCommand(hold))
        return;
    if (usb->StatusClr(HostAccessMask) != 0)
        ui->txt->append(QStringLiteral("StatusClr() ERROR"));
    else
        ui->txt->append(QStringLiteral("StatusClr(%1)").arg(ServiceText::binary32(HostAccessMask)));
}

void Vt410_bootloader::slotpushButtonRead(bool)
{
    qDebug() << "Vt410_bootloader::slotpushButtonRead(bool t)";
    std::unique_ptr<UnitLock> hold;
    if (!beginDeviceCommand(hold))
        return;
    ServiceDialogValues &remembered = ServiceDialogValues::remembered();

    bool ok = false;
    const QString addressText = questions->text(this, tr("Read From Vt350"), tr("Address (hex)"), QLineEdit::Normal,
                                                ServiceText::hexEntry(remembered.memoryReadAddress), &ok);
    if (!ok)
        return;
    const int length = questions->integer(this, tr("Read From Vt350"), tr("Length (dec)"), remembered.memoryReadLength,
                                          1, MaxServiceLength, 1, &ok);
    if (!ok)
        return;
    remembered.memoryReadLength = length;
    remembered.memoryReadAddress = ServiceText::parseHex(addressText, &ok);
    if (!ok) {
        questions->warning(this, tr("error"), tr("Conversion error"));
        return;
    }

    // The result is not reported: the dump is always shown.
    QByteArray buffer;
    ServiceRead::memory(*usb, remembered.memoryReadAddress, length, &buffer);
    ui->txt->clear();
    ui->txt->append(dumpText(buffer));
}

void Vt410_bootloader::slotpushButtonWrite(bool)
{
    qDebug() << "Vt410_bootloader::slotpushButtonWrite(bool t)";
    std::unique_ptr<UnitLock> hold;
    if (!beginDeviceCommand(hold))
        return;
    QByteArray buffer(TestBlockSize, '\0');
    for (int i = 0; i < TestBlockSize; ++i)
        buffer[i] = char(i % 256);
    if (usb->control_send(TestBlockRequest, 0, 0, bytes(buffer), TestBlockSize) == TestBlockSize)
        qDebug() << HexDump(bytes(buffer), TestBlockSize);
}

void Vt410_bootloader::slotpushButtonWritePage(bool)
{
    qDebug() << "Vt410_bootloader::slotpushButtonWritePage(bool t)";
    std::unique_ptr<UnitLock> hold;
    if (!beginDeviceCommand(hold))
        return;
    ServiceDialogValues &remembered = ServiceDialogValues::remembered();

    bool ok = false;
    const int value =
        questions->integer(this, tr("Fill pattern"), tr("Number (dec)"), remembered.pageFillValue, 0, 255, 1, &ok);
    if (!ok)
        return;
    remembered.pageFillValue = value;

    QByteArray page(PageSize, char(value));
    if (usb->WritePage(bytes(page), FillPageAddress) == 0)
        qDebug() << "page write OK";
    else
        qDebug() << "page write ERROR";
}

void Vt410_bootloader::slotpushButtonWriteExtFlashBin(bool)
{
    qDebug() << "Vt410_bootloader::slotpushButtonWriteExtFlashBin(bool t)";
    std::unique_ptr<UnitLock> hold;
    if (!beginDeviceCommand(hold))
        return;
    const QString fileName = questions->openFileName(this, tr("Open File"), QStringLiteral("."), tr("Bin (*.bin)"));
    if (fileName.isEmpty())
        return;

    // A file that cannot be read counts as empty and is refused below.
    QByteArray image;
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly))
        image = file.readAll();

    switch (ExtFlashBinWriter::writeAndVerify(*usb, image)) {
    case ExtFlashBinWriter::Result::LengthError:
        qDebug() << "length error" << image.size();
        questions->critical(this, tr("Length error"), tr("Length should be aligned to 4"));
        break;
    case ExtFlashBinWriter::Result::WriteFailed:
        questions->critical(this, tr("Error"), tr("WriteExternalFlashToAddress"));
        break;
    case ExtFlashBinWriter::Result::ReadFailed:
        questions->critical(this, tr("Error"), tr("ReadExternalFlashFromAddress"));
        break;
    case ExtFlashBinWriter::Result::Mismatch:
        questions->critical(this, tr("Error"), tr("memcmp"));
        break;
    case ExtFlashBinWriter::Result::Ok:
        questions->information(this, tr("Info"), tr("Write OK"));
        break;
    }
}

void Vt410_bootloader::slotpushButtonWriteExternalFlash(bool)
{
    qDebug() << "Vt410_bootloader::slotpushButtonWriteExternalFlash(bool t)";
    std::unique_ptr<UnitLock> hold;
    if (!beginDeviceCommand(hold))
        return;
    ServiceDialogValues &remembered = ServiceDialogValues::remembered();
    const QString title = tr("Write To External Flash Vt350");

    bool ok = false;
    const QString addressText = questions->text(this, title, tr("Address (hex)"), QLineEdit::Normal,
                                                ServiceText::hexEntry(remembered.extFlashWriteAddress), &ok);
    if (!ok)
        return;
    remembered.extFlashWriteAddress = ServiceText::parseHex(addressText, &ok);
    if (!ok) {
        questions->warning(this, tr("error"), tr("Conversion error"));
        return;
    }

    const int length = questions->integer(this, title, tr("Length (dec)"), remembered.extFlashWriteLength, 1,
                                          MaxServiceLength, 1, &ok);
    if (!ok)
        return;
    remembered.extFlashWriteLength = length;

    const QString dataText = questions->text(this, title, tr("Data(hex)"), QLineEdit::Normal,
                                             ServiceText::hexEntry(remembered.extFlashFillData), &ok);
    if (!ok)
        return;
    remembered.extFlashFillData = ServiceText::parseHex(dataText, &ok);
    if (!ok) {
        questions->warning(this, tr("error"), tr("Conversion error"));
        return;
    }

    QByteArray buffer(length, char(remembered.extFlashFillData & 0xFF));
    EncodeBuffer(bytes(buffer), quint32(length));
    usb->WriteExternalFlashToAddress(bytes(buffer), remembered.extFlashWriteAddress, quint32(length));

    ui->txt->clear();
    ui->txt->append(ServiceText::lengthLine(quint32(length)));
    ui->txt->append(ServiceText::addressLine(remembered.extFlashWriteAddress));
    ui->txt->append(dumpText(buffer));
}

void Vt410_bootloader::slotpushButtonReadExternalFlash(bool)
{
    qDebug() << "Vt410_bootloader::slotpushButtonReadExternalFlash(bool t)";
    std::unique_ptr<UnitLock> hold;
    if (!beginDeviceCommand(hold))
        return;
    ServiceDialogValues &remembered = ServiceDialogValues::remembered();
    const QString title = tr("Read External Flash From Vt350");

    bool ok = false;
    const QString addressText = questions->text(this, title, tr("Address (hex)"), QLineEdit::Normal,
                                                ServiceText::hexEntry(remembered.extFlashReadAddress), &ok);
    if (!ok)
        return;
    const int length =
        questions->integer(this, title, tr("Length (dec)"), remembered.extFlashReadLength, 1, MaxServiceLength, 1, &ok);
    if (!ok)
        return;
    remembered.extFlashReadLength = length;
    remembered.extFlashReadAddress = ServiceText::parseHex(addressText, &ok);
    if (!ok) {
        questions->warning(this, tr("error"), tr("Conversion error"));
        return;
    }

    QByteArray buffer;
    if (ServiceRead::externalFlash(*usb, remembered.extFlashReadAddress, length, &buffer) != 0) {
        questions->warning(this, tr("error"), tr("ReadExternalFlashFromAddress error"));
        return;
    }
    ui->txt->clear();
    ui->txt->append(dumpText(buffer));
}
