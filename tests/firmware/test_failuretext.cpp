// The words of every failure kind and every firmware-change outcome, as the
// user reads them in English and in Polish (from the catalogue the build
// compiles) and as scripts read them in vt520ctl's JSON. Each sentence and
// word is spelled out here, so that two swapped or reworded rows fail.

#include "FailOnWarnings.h"
#include "firmware/FailureText.h"
#include "firmware/HexToBin.h"

#include <QCoreApplication>
#include <QTranslator>
#include <QtTest>

Q_DECLARE_METATYPE(Failure::Kind)
Q_DECLARE_METATYPE(FirmwareChange::Outcome)
Q_DECLARE_METATYPE(UpgradeFile::Status)

class TestFailureText : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void failureKindWords_data();
    void failureKindWords();
    void outcomeWords_data();
    void outcomeWords();
    void upgradeFileRefusals_data();
    void upgradeFileRefusals();
    void hexFileRefusals_data();
    void hexFileRefusals();

private:
    // The sentence that `words` gives with the Polish catalogue installed.
    template <typename Words>
    QString inPolish(Words words)
    {
        QTranslator polish;
        if (!polish.load(QStringLiteral("vt410_pl.qm"), QStringLiteral(VT520_BINARY_DIR "/bin")))
            return QStringLiteral("(no Polish catalogue)");
        QCoreApplication::installTranslator(&polish);
        const QString said = words();
        QCoreApplication::removeTranslator(&polish);
        return said;
    }
};

void TestFailureText::failureKindWords_data()
{
    using Kind = Failure::Kind;
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("polish");
    QTest::addColumn<QString>("word");
    QTest::newRow("none") << Kind::None << QString() << QString() << QString();
    QTest::newRow("no device")
        << Kind::NoDevice << "No Vt520 answered." << QString::fromUtf8("Żaden Vt520 nie odpowiedział.") << "no-device";
    QTest::newRow("access denied")
        << Kind::AccessDenied
        << "The Vt520 is connected but this user may not open it. Install the udev rule (70-vt520.rules, see README) "
           "and plug the device in again."
        << QString::fromUtf8("Vt520 jest podłączony, ale ten użytkownik nie może go otworzyć. Zainstaluj regułę udev "
                             "(70-vt520.rules, zob. README) i podłącz urządzenie ponownie.")
        << "access-denied";
    QTest::newRow("busy")
        << Kind::Busy << "The Vt520 is in use by another program; close it and try again."
        << QString::fromUtf8("Vt520 jest używany przez inny program; zamknij go i spróbuj ponownie.") << "busy";
    QTest::newRow("timeout") << Kind::Timeout << "The Vt520 did not answer in time."
                             << QString::fromUtf8("Vt520 nie odpowiedział na czas.") << "timeout";
    QTest::newRow("stalled") << Kind::Stalled << "The Vt520 refused the request."
                             << QString::fromUtf8("Vt520 odrzucił żądanie.") << "stalled";
    QTest::newRow("gone") << Kind::Gone << "The Vt520 left the USB bus."
                          << QString::fromUtf8("Vt520 zniknął z magistrali USB.") << "gone";
    QTest::newRow("refused") << Kind::Refused << "The transfer to the Vt520 failed."
                             << QString::fromUtf8("Transfer do Vt520 nie powiódł się.") << "refused";
    QTest::newRow("not answering") << Kind::NotAnswering << "The Vt520 stopped answering."
                                   << QString::fromUtf8("Vt520 przestał odpowiadać.") << "not-answering";
    QTest::newRow("stopped")
        << Kind::Stopped << "Stopped on request." << QString::fromUtf8("Zatrzymano na żądanie.") << "stopped";
}

void TestFailureText::failureKindWords()
{
    QFETCH(Failure::Kind, kind);
    QFETCH(QString, english);
    QFETCH(QString, polish);
    QFETCH(QString, word);
    QCOMPARE(FailureText::sentence(kind), english);
    QCOMPARE(inPolish([kind] { return FailureText::sentence(kind); }), polish);
    QCOMPARE(FailureText::word(kind), word);
}

void TestFailureText::outcomeWords_data()
{
    using Outcome = FirmwareChange::Outcome;
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<bool>("startRequestFailed");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("polish");
    QTest::addColumn<QString>("resultWord");
    QTest::addColumn<QString>("summaryWord");
    QTest::newRow("not run") << Outcome::NotRun << false << QString() << QString() << "failed"
                             << "failed";
    QTest::newRow("file refused")
        << Outcome::FileRefused << false << "Nothing was sent to the Vt520; it is unchanged."
        << QString::fromUtf8("Nic nie zostało wysłane do Vt520; urządzenie jest bez zmian.") << "failed"
        << "failed";
    QTest::newRow("no device")
        << Outcome::NoDevice << false << "No Vt520 answered; nothing was written."
        << QString::fromUtf8("Żaden Vt520 nie odpowiedział; nic nie zostało zapisane.") << "failed"
        << "failed";
    QTest::newRow("not identified") << Outcome::NotIdentified << false << "Nothing was written; the Vt520 is unchanged."
                                    << QString::fromUtf8("Nic nie zostało zapisane; Vt520 jest bez zmian.") << "failed"
                                    << "failed";
    QTest::newRow("bootloader not reached")
        << Outcome::BootloaderNotReached << false
        << "Nothing was written: the Vt520 did not answer in its bootloader after the reset. Replug it and run the "
           "change again."
        << QString::fromUtf8("Nic nie zostało zapisane: Vt520 nie odpowiedział w trybie bootloadera po resecie. "
                             "Podłącz go ponownie i powtórz zmianę.")
        << "failed"
        << "failed";
    QTest::newRow("page write failed")
        << Outcome::PageWriteFailed << false
        << "Failed: a firmware page could not be written. The Vt520 is in its bootloader; run the change again."
        << QString::fromUtf8("Błąd: nie udało się zapisać strony oprogramowania. Vt520 jest w trybie bootloadera; "
                             "powtórz zmianę.")
        << "failed"
        << "failed";
    QTest::newRow("external flash failed")
        << Outcome::ExternalFlashFailed << false
        << "Failed: the external flash could not be written or read back. The Vt520 is in its bootloader; run the "
           "change again."
        << QString::fromUtf8("Błąd: nie udało się zapisać ani odczytać pamięci zewnętrznej. Vt520 jest w trybie "
                             "bootloadera; powtórz zmianę.")
        << "failed"
        << "failed";
    QTest::newRow("stopped answering")
        << Outcome::StoppedAnswering << false
        << "Failed: the Vt520 stopped answering during the external flash transfer. Check the cable, replug it and "
           "run the change again; it starts in its bootloader."
        << QString::fromUtf8("Błąd: Vt520 przestał odpowiadać podczas zapisu pamięci zewnętrznej. Sprawdź kabel, "
                             "podłącz go ponownie i powtórz zmianę; uruchomi się w trybie bootloadera.")
        << "failed"
        << "failed";
    QTest::newRow("external flash differs")
        << Outcome::ExternalFlashDiffers << false
        << "Failed: the external flash read back different from the file. The Vt520 is in its bootloader; run the "
           "change again."
        << QString::fromUtf8("Błąd: odczytana pamięć zewnętrzna różni się od pliku. Vt520 jest w trybie bootloadera; "
                             "powtórz zmianę.")
        << "failed"
        << "failed";
    QTest::newRow("pages differ")
        << Outcome::PagesDiffer << false
        << "Failed: a firmware page read back different from the file; the Vt520 may run damaged firmware. Run the "
           "change again."
        << QString::fromUtf8("Błąd: odczytana strona oprogramowania różni się od pliku; Vt520 może działać na "
                             "uszkodzonym oprogramowaniu. Powtórz zmianę.")
        << "failed"
        << "failed";
    QTest::newRow("not back")
        << Outcome::NotBack << false
        << "Failed: the Vt520 did not come back at 1-1.4 after the start of the new firmware. Replug it; if it stays "
           "in its bootloader, run the change again."
        << QString::fromUtf8("Błąd: Vt520 nie pojawił się ponownie na porcie 1-1.4 po uruchomieniu nowego "
                             "oprogramowania. Podłącz go ponownie; jeśli pozostanie w trybie bootloadera, powtórz "
                             "zmianę.")
        << "not-back"
        << "not back";
    QTest::newRow("stayed in bootloader")
        << Outcome::StayedInBootloader << false
        << "Failed: the Vt520 came back in its bootloader: the new firmware did not start. Run the change again."
        << QString::fromUtf8("Błąd: Vt520 wrócił w trybie bootloadera: nowe oprogramowanie nie uruchomiło się. "
                             "Powtórz zmianę.")
        << "in-bootloader"
        << "in bootloader";
    QTest::newRow("in bootloader after a failed start request")
        << Outcome::StayedInBootloader << true
        << "Failed: the request to start the new firmware failed, and the Vt520 is in its bootloader; run the change "
           "again."
        << QString::fromUtf8("Błąd: polecenie uruchomienia nowego oprogramowania nie powiodło się i Vt520 jest w "
                             "trybie bootloadera; powtórz zmianę.")
        << "in-bootloader"
        << "in bootloader";
    QTest::newRow("stopped")
        << Outcome::Stopped << false << "Stopped on request: the Vt520 is in its bootloader; run the change again."
        << QString::fromUtf8("Zatrzymano na żądanie: Vt520 jest w trybie bootloadera; powtórz zmianę.") << "interrupted"
        << "failed";
    QTest::newRow("stopped before the reset")
        << Outcome::StoppedUntouched << false
        << "Stopped on request before anything was written: the Vt520 is unchanged."
        << QString::fromUtf8("Zatrzymano na żądanie, zanim cokolwiek zapisano: Vt520 jest bez zmian.") << "interrupted"
        << "failed";
    QTest::newRow("changed")
        << Outcome::Changed << false << "Done: the Vt520 261100042 at 1-1.4 runs the new firmware."
        << QString::fromUtf8("Gotowe: Vt520 261100042 na porcie 1-1.4 działa na nowym oprogramowaniu.") << "ok"
        << "OK";
}

void TestFailureText::outcomeWords()
{
    QFETCH(FirmwareChange::Outcome, outcome);
    QFETCH(bool, startRequestFailed);
    QFETCH(QString, english);
    QFETCH(QString, polish);
    QFETCH(QString, resultWord);
    QFETCH(QString, summaryWord);
    const auto verdict = [&] {
        return FailureText::verdict(outcome, QStringLiteral("261100042"), QStringLiteral("1-1.4"), startRequestFailed);
    };
    QCOMPARE(verdict(), english);
    QCOMPARE(inPolish(verdict), polish);
    QCOMPARE(FailureText::resultWord(outcome), resultWord);
    QCOMPARE(FailureText::summaryWord(outcome), summaryWord);
}

void TestFailureText::upgradeFileRefusals_data()
{
    using Status = UpgradeFile::Status;
    QTest::addColumn<Status>("status");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("polish");
    QTest::addColumn<QString>("line");
    QTest::newRow("ok") << Status::Ok << QString() << QString() << "new.upg: ";
    QTest::newRow("cannot open") << Status::CannotOpen << "Wrong file header"
                                 << QString::fromUtf8("Nieprawidłowy nagłówek pliku") << "new.upg: Wrong file header";
    QTest::newRow("wrong header") << Status::WrongHeader << "Wrong file header"
                                  << QString::fromUtf8("Nieprawidłowy nagłówek pliku") << "new.upg: Wrong file header";
    QTest::newRow("wrong version") << Status::WrongVersion << "Wrong file version"
                                   << QString::fromUtf8("Nieprawidłowa wersja pliku") << "new.upg: Wrong file version";
    QTest::newRow("wrong size") << Status::WrongSize << "Wrong file size"
                                << QString::fromUtf8("Nieprawidłowy rozmiar pliku") << "new.upg: Wrong file size";
    QTest::newRow("damaged application")
        << Status::DamagedApplication
        << "The file new.upg is damaged: its application region does not match its sum. Nothing was sent to the Vt520."
        << QString::fromUtf8("Plik new.upg jest uszkodzony: obszar aplikacji nie zgadza się z jego sumą kontrolną. "
                             "Nic nie zostało wysłane do Vt520.")
        << "The file new.upg is damaged: its application region does not match its sum. Nothing was sent to the "
           "Vt520.";
    QTest::newRow("damaged external flash")
        << Status::DamagedExternalFlash
        << "The file new.upg is damaged: its external flash region does not match its sum. Nothing was sent to the "
           "Vt520."
        << QString::fromUtf8("Plik new.upg jest uszkodzony: obszar pamięci zewnętrznej nie zgadza się z jego sumą "
                             "kontrolną. Nic nie zostało wysłane do Vt520.")
        << "The file new.upg is damaged: its external flash region does not match its sum. Nothing was sent to the "
           "Vt520.";
    QTest::newRow("empty application")
        << Status::EmptyApplication
        << "The file new.upg holds no application: its application region is all zeros. Nothing was sent to the Vt520."
        << QString::fromUtf8("Plik new.upg nie zawiera aplikacji: jej obszar to same zera. Nic nie zostało wysłane "
                             "do Vt520.")
        << "The file new.upg holds no application: its application region is all zeros. Nothing was sent to the "
           "Vt520.";
}

void TestFailureText::upgradeFileRefusals()
{
    QFETCH(UpgradeFile::Status, status);
    QFETCH(QString, english);
    QFETCH(QString, polish);
    QFETCH(QString, line);
    const QString fileName = QStringLiteral("new.upg");
    QCOMPARE(FailureText::upgradeFileRefusal(status, fileName), english);
    QCOMPARE(inPolish([&] { return FailureText::upgradeFileRefusal(status, fileName); }), polish);
    QCOMPARE(FailureText::upgradeFileRefusalLine(status, fileName), line);
}

void TestFailureText::hexFileRefusals_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("earlierLine");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("polish");
    QTest::newRow("read") << 0 << 0 << QString() << QString();
    QTest::newRow("line too short") << HexLineTooShort << 0 << "A line is shorter than a record."
                                    << QString::fromUtf8("Wiersz jest krótszy niż rekord.");
    QTest::newRow("no colon")
        << HexNoColon << 0 << "A line does not begin with ':'." << QString::fromUtf8("Wiersz nie zaczyna się od ':'.");
    QTest::newRow("bad byte count") << HexBadByteCount << 0 << "A byte count is not hexadecimal."
                                    << QString::fromUtf8("Liczba bajtów nie jest szesnastkowa.");
    QTest::newRow("bad address")
        << HexBadAddress << 0 << "An address is not hexadecimal." << QString::fromUtf8("Adres nie jest szesnastkowy.");
    QTest::newRow("bad record type") << HexBadRecordType << 0 << "A record type is not hexadecimal."
                                     << QString::fromUtf8("Typ rekordu nie jest szesnastkowy.");
    QTest::newRow("bad data") << HexBadData << 0 << "A data byte is not hexadecimal or is missing."
                              << QString::fromUtf8("Bajt danych nie jest szesnastkowy albo go brakuje.");
    QTest::newRow("unsupported record or bad extended address")
        << HexUnsupportedRecord << 0 << "A record type is not supported or an extended address is not hexadecimal."
        << QString::fromUtf8("Typ rekordu nie jest obsługiwany albo adres rozszerzony nie jest szesnastkowy.");
    QTest::newRow("not opened")
        << HexFileNotOpened << 0 << "The file cannot be opened." << QString::fromUtf8("Nie można otworzyć pliku.");
    QTest::newRow("without data") << HexFileWithoutData << 0 << "The file holds no data for the device's address range."
                                  << QString::fromUtf8("Plik nie zawiera danych dla zakresu adresów urządzenia.");
    QTest::newRow("checksum mismatch") << HexChecksumMismatch << 0 << "The checksum does not match the record."
                                       << QString::fromUtf8("Suma kontrolna nie zgadza się z rekordem.");
    QTest::newRow("wrong count for type") << HexWrongCountForType << 0 << "The byte count does not fit the record type."
                                          << QString::fromUtf8("Liczba bajtów nie pasuje do typu rekordu.");
    QTest::newRow("characters after record") << HexCharactersAfterRecord << 0 << "Characters follow the checksum."
                                             << QString::fromUtf8("Po sumie kontrolnej są jeszcze znaki.");
    QTest::newRow("line too long") << HexLineTooLong << 0 << "A line is longer than 1024 bytes."
                                   << QString::fromUtf8("Wiersz przekracza dopuszczalną długość (1024 B).");
    QTest::newRow("bad checksum field") << HexBadChecksumField << 0 << "The checksum is missing or not hexadecimal."
                                        << QString::fromUtf8("Brak sumy kontrolnej albo nie jest ona szesnastkowa.");
    QTest::newRow("without application")
        << HexFileWithoutApplication << 0
        << "The file holds no data for the application region (0x08004000 to 0x0801FFFF)."
        << QString::fromUtf8("Plik nie zawiera danych dla obszaru aplikacji (0x08004000 do 0x0801FFFF).");
    QTest::newRow("overlapping data, earlier line known")
        << HexOverlappingData << 7 << "The record gives addresses that line 7 gave, with other bytes."
        << QString::fromUtf8("Rekord podaje adresy, które podał już wiersz 7, z innymi bajtami.");
    QTest::newRow("overlapping data, earlier line unknown")
        << HexOverlappingData << 0 << "The record gives addresses that an earlier line gave, with other bytes."
        << QString::fromUtf8("Rekord podaje adresy, które podał już wcześniejszy wiersz, z innymi bajtami.");
    QTest::newRow("unknown code")
        << HexLowestResult - 1 << 0 << "Unknown error -17." << QString::fromUtf8("Nieznany błąd -17.");
}

void TestFailureText::hexFileRefusals()
{
    QFETCH(int, code);
    QFETCH(int, earlierLine);
    QFETCH(QString, english);
    QFETCH(QString, polish);
    QCOMPARE(FailureText::hexFileRefusal(code, earlierLine), english);
    QCOMPARE(inPolish([&] { return FailureText::hexFileRefusal(code, earlierLine); }), polish);
}

QTEST_GUILESS_MAIN(TestFailureText)
#include "test_failuretext.moc"
