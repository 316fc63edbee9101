#include "firmware/FailureText.h"

#include "firmware/HexToBin.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <iterator>

namespace {

// A translatable text with the context it is looked up in.
struct Text {
    const char *context;
    const char *source;
};

QString translated(const Text &text)
{
    return text.source ? QCoreApplication::translate(text.context, text.source) : QString();
}

struct KindRow {
    Failure::Kind kind;
    const char *word;
    Text sentence;
};

const KindRow KindRows[] = {
    {Failure::Kind::None, "", {nullptr, nullptr}},
    {Failure::Kind::NoDevice, "no-device", {"Failure", QT_TRANSLATE_NOOP("Failure", "No Vt520 answered.")}},
    {Failure::Kind::AccessDenied,
     "access-denied",
     {"UsbDevice",
      QT_TRANSLATE_NOOP("UsbDevice", "The Vt520 is connected but this user may not open it. Install the udev rule "
                                     "(70-vt520.rules, see README) and plug the device in again.")}},
    {Failure::Kind::Busy,
     "busy",
     {"Vt410_bootloader",
      QT_TRANSLATE_NOOP("Vt410_bootloader", "The Vt520 is in use by another program; close it and try again.")}},
    {Failure::Kind::Timeout, "timeout", {"Failure", QT_TRANSLATE_NOOP("Failure", "The Vt520 did not answer in time.")}},
    {Failure::Kind::Stalled, "stalled", {"Failure", QT_TRANSLATE_NOOP("Failure", "The Vt520 refused the request.")}},
    {Failure::Kind::Gone, "gone", {"Failure", QT_TRANSLATE_NOOP("Failure", "The Vt520 left the USB bus.")}},
    {Failure::Kind::Refused, "refused", {"Failure", QT_TRANSLATE_NOOP("Failure", "The transfer to the Vt520 failed.")}},
    {Failure::Kind::NotAnswering,
     "not-answering",
     {"Failure", QT_TRANSLATE_NOOP("Failure", "The Vt520 stopped answering.")}},
    {Failure::Kind::Stopped, "stopped", {"Failure", QT_TRANSLATE_NOOP("Failure", "Stopped on request.")}},
};

// Which of the unit's names a verdict carries: %1 the serial and %2 the
// port, or %1 the port alone.
enum class Names { None, SerialAndPort, Port };

struct OutcomeRow {
    FirmwareChange::Outcome outcome;
    const char *resultWord;
    const char *summaryWord;
    const char *verdict; // in the context "FirmwareChange", where the catalogues hold the change's words
    Names names;
    const char *verdictAfterFailedStart; // where a failed start request is worded apart
};

using Outcome = FirmwareChange::Outcome;

const OutcomeRow OutcomeRows[] = {
    {Outcome::NotRun, "failed", "failed", nullptr, Names::None, nullptr},
    {Outcome::FileRefused, "failed", "failed",
     QT_TRANSLATE_NOOP("FirmwareChange", "Nothing was sent to the Vt520; it is unchanged."), Names::None, nullptr},
    {Outcome::NoDevice, "failed", "failed",
     QT_TRANSLATE_NOOP("FirmwareChange", "No Vt520 answered; nothing was written."), Names::None, nullptr},
    {Outcome::NotIdentified, "failed", "failed",
     QT_TRANSLATE_NOOP("FirmwareChange", "Nothing was written; the Vt520 is unchanged."), Names::None, nullptr},
    {Outcome::BootloaderNotReached, "failed", "failed",
     QT_TRANSLATE_NOOP("FirmwareChange",
                       "Nothing was written: the Vt520 did not answer in its bootloader after the reset. "
                       "Replug it and run the change again."),
     Names::None, nullptr},
    {Outcome::PageWriteFailed, "failed", "failed",
     QT_TRANSLATE_NOOP("FirmwareChange",
                       "Failed: a firmware page could not be written. The Vt520 is in its bootloader; "
                       "run the change again."),
     Names::None, nullptr},
    {Outcome::ExternalFlashFailed, "failed", "failed",
     QT_TRANSLATE_NOOP("FirmwareChange",
                       "Failed: the external flash could not be written or read back. The Vt520 is in "
                       "its bootloader; run the change again."),
     Names::None, nullptr},
    {Outcome::StoppedAnswering, "failed", "failed",
     QT_TRANSLATE_NOOP("FirmwareChange",
                       "Failed: the Vt520 stopped answering during the external flash transfer. Check "
                       "the cable, replug it and run the change again; it starts in its bootloader."),
     Names::None, nullptr},
    {Outcome::ExternalFlashDiffers, "failed", "failed",
     QT_TRANSLATE_NOOP("FirmwareChange",
                       "Failed: the external flash read back different from the file. The Vt520 is in "
                       "its bootloader; run the change again."),
     Names::None, nullptr},
    {Outcome::PagesDiffer, "failed", "failed",
     QT_TRANSLATE_NOOP("FirmwareChange", "Failed: a firmware page read back different from the file; the Vt520 may run "
                                         "damaged firmware. Run the change again."),
     Names::None, nullptr},
    {Outcome::NotBack, "not-back", "not back",
     QT_TRANSLATE_NOOP("FirmwareChange",
                       "Failed: the Vt520 did not come back at %1 after the start of the new firmware. "
                       "Replug it; if it stays in its bootloader, run the change again."),
     Names::Port, nullptr},
    {Outcome::StayedInBootloader, "in-bootloader", "in bootloader",
     QT_TRANSLATE_NOOP("FirmwareChange",
                       "Failed: the Vt520 came back in its bootloader: the new firmware did not start. "
                       "Run the change again."),
     Names::None,
     QT_TRANSLATE_NOOP("FirmwareChange",
                       "Failed: the request to start the new firmware failed, and the Vt520 is in its "
                       "bootloader; run the change again.")},
    {Outcome::Stopped, "interrupted", "failed",
     QT_TRANSLATE_NOOP("FirmwareChange", "Stopped on request: the Vt520 is in its bootloader; run the change again."),
     Names::None, nullptr},
    {Outcome::StoppedUntouched, "interrupted", "failed",
     QT_TRANSLATE_NOOP("FirmwareChange", "Stopped on request before anything was written: the Vt520 is unchanged."),
     Names::None, nullptr},
    {Outcome::Changed, "ok", "OK",
     QT_TRANSLATE_NOOP("FirmwareChange", "Done: the Vt520 %1 at %2 runs the new firmware."), Names::SerialAndPort,
     nullptr},
};

// The upgrade file's refusals, in the context "Upgrader" where the catalogues
// hold them; a text that names the file takes it as %1.
struct UpgradeFileRow {
    UpgradeFile::Status status;
    const char *text;
    bool namesFile;
};

using UpgradeStatus = UpgradeFile::Status;

const UpgradeFileRow UpgradeFileRows[] = {
    {UpgradeStatus::Ok, nullptr, false},
    {UpgradeStatus::CannotOpen, QT_TRANSLATE_NOOP("Upgrader", "Wrong file header"), false},
    {UpgradeStatus::WrongHeader, QT_TRANSLATE_NOOP("Upgrader", "Wrong file header"), false},
    {UpgradeStatus::WrongVersion, QT_TRANSLATE_NOOP("Upgrader", "Wrong file version"), false},
    {UpgradeStatus::WrongSize, QT_TRANSLATE_NOOP("Upgrader", "Wrong file size"), false},
    {UpgradeStatus::DamagedApplication,
     QT_TRANSLATE_NOOP("Upgrader", "The file %1 is damaged: its application region does not "
                                   "match its sum. Nothing was sent to the Vt520."),
     true},
    {UpgradeStatus::DamagedExternalFlash,
     QT_TRANSLATE_NOOP("Upgrader", "The file %1 is damaged: its external flash region does not "
                                   "match its sum. Nothing was sent to the Vt520."),
     true},
    {UpgradeStatus::EmptyApplication,
     QT_TRANSLATE_NOOP("Upgrader", "The file %1 holds no application: its application region is "
                                   "all zeros. Nothing was sent to the Vt520."),
     true},
};

// The HEX reader's refusals, in the context "HexToBin". -7 stands for two
// faults and has one text naming both.
struct HexRow {
    int code;
    const char *text;
};

const HexRow HexRows[] = {
    {0, nullptr},
    {HexLineTooShort, QT_TRANSLATE_NOOP("HexToBin", "A line is shorter than a record.")},
    {HexNoColon, QT_TRANSLATE_NOOP("HexToBin", "A line does not begin with ':'.")},
    {HexBadByteCount, QT_TRANSLATE_NOOP("HexToBin", "A byte count is not hexadecimal.")},
    {HexBadAddress, QT_TRANSLATE_NOOP("HexToBin", "An address is not hexadecimal.")},
    {HexBadRecordType, QT_TRANSLATE_NOOP("HexToBin", "A record type is not hexadecimal.")},
    {HexBadData, QT_TRANSLATE_NOOP("HexToBin", "A data byte is not hexadecimal or is missing.")},
    {HexUnsupportedRecord,
     QT_TRANSLATE_NOOP("HexToBin", "A record type is not supported or an extended address is not hexadecimal.")},
    {HexFileNotOpened, QT_TRANSLATE_NOOP("HexToBin", "The file cannot be opened.")},
    {HexFileWithoutData, QT_TRANSLATE_NOOP("HexToBin", "The file holds no data for the device's address range.")},
    {HexChecksumMismatch, QT_TRANSLATE_NOOP("HexToBin", "The checksum does not match the record.")},
    {HexWrongCountForType, QT_TRANSLATE_NOOP("HexToBin", "The byte count does not fit the record type.")},
    {HexCharactersAfterRecord, QT_TRANSLATE_NOOP("HexToBin", "Characters follow the checksum.")},
    {HexLineTooLong, QT_TRANSLATE_NOOP("HexToBin", "A line is longer than %1 bytes.")},
    {HexBadChecksumField, QT_TRANSLATE_NOOP("HexToBin", "The checksum is missing or not hexadecimal.")},
    {HexFileWithoutApplication,
     QT_TRANSLATE_NOOP("HexToBin", "The file holds no data for the application region (0x08004000 to 0x0801FFFF).")},
    {HexOverlappingData,
     QT_TRANSLATE_NOOP("HexToBin", "The record gives addresses that an earlier line gave, with other bytes.")},
};

// An overlapping record whose earlier line is known names it.
const char *const HexOverlapNamingLine =
    QT_TRANSLATE_NOOP("HexToBin", "The record gives addresses that line %1 gave, with other bytes.");
const char *const HexUnknownCode = QT_TRANSLATE_NOOP("HexToBin", "Unknown error %1.");

const KindRow &rowOf(Failure::Kind kind)
{
    const auto found =
        std::find_if(std::begin(KindRows), std::end(KindRows), [kind](const KindRow &row) { return row.kind == kind; });
    return found != std::end(KindRows) ? *found : KindRows[0];
}

const OutcomeRow &rowOf(Outcome outcome)
{
    const auto found = std::find_if(std::begin(OutcomeRows), std::end(OutcomeRows),
                                    [outcome](const OutcomeRow &row) { return row.outcome == outcome; });
    return found != std::end(OutcomeRows) ? *found : OutcomeRows[0];
}

const UpgradeFileRow &rowOf(UpgradeStatus status)
{
    const auto found = std::find_if(std::begin(UpgradeFileRows), std::end(UpgradeFileRows),
                                    [status](const UpgradeFileRow &row) { return row.status == status; });
    return found != std::end(UpgradeFileRows) ? *found : UpgradeFileRows[0];
}

} // namespace

namespace FailureText {

QString sentence(Failure::Kind kind)
{
    return translated(rowOf(kind).sentence);
}

QString word(Failure::Kind kind)
{
    return QString::fromLatin1(rowOf(kind).word);
}

QString verdict(Outcome outcome, const QString &serial, const QString &port, bool startRequestFailed)
{
    const OutcomeRow &row = rowOf(outcome);
    const char *text = startRequestFailed && row.verdictAfterFailedStart ? row.verdictAfterFailedStart : row.verdict;
    const QString words = text ? QCoreApplication::translate("FirmwareChange", text) : QString();
    switch (row.names) {
    case Names::None:
        break;
    case Names::SerialAndPort:
        return words.arg(serial, port);
    case Names::Port:
        return words.arg(port);
    }
    return words;
}

QString resultWord(Outcome outcome)
{
    return QString::fromLatin1(rowOf(outcome).resultWord);
}

QString summaryWord(Outcome outcome)
{
    return QString::fromLatin1(rowOf(outcome).summaryWord);
}

QString upgradeFileRefusal(UpgradeFile::Status status, const QString &fileName)
{
    const UpgradeFileRow &row = rowOf(status);
    if (!row.text)
        return QString();
    const QString words = QCoreApplication::translate("Upgrader", row.text);
    return row.namesFile ? words.arg(QDir::toNativeSeparators(fileName)) : words;
}

QString upgradeFileRefusalLine(UpgradeFile::Status status, const QString &fileName)
{
    const QString words = upgradeFileRefusal(status, fileName);
    if (rowOf(status).namesFile)
        return words;
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(fileName), words);
}

QString hexFileRefusal(int code, int earlierLine)
{
    if (code == HexOverlappingData && earlierLine > 0)
        return QCoreApplication::translate("HexToBin", HexOverlapNamingLine).arg(earlierLine);
    const auto found =
        std::find_if(std::begin(HexRows), std::end(HexRows), [code](const HexRow &row) { return row.code == code; });
    if (found == std::end(HexRows))
        return QCoreApplication::translate("HexToBin", HexUnknownCode).arg(code);
    if (!found->text)
        return QString();
    const QString words = QCoreApplication::translate("HexToBin", found->text);
    return code == HexLineTooLong ? words.arg(HexLineLimit) : words;
}

} // namespace FailureText
