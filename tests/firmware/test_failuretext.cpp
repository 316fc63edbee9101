// The words of every failure kind and every firmware-change outcome, as the
// user reads them in English and in Polish (from the catalogue the build
// compiles) and as scripts read them in vt520ctl's JSON. Each sentence and
// word is spelled out here, so that two swapped or reworded rows fail.

#include "firmware/FailureText.h"

#include <QCoreApplication>
#include <QTranslator>
#include <QtTest>

Q_DECLARE_METATYPE(Failure::Kind)
Q_DECLARE_METATYPE(FirmwareChange::Outcome)

class TestFailureText : public QObject
{
    Q_OBJECT

private slots:
    void failureKindWords_data();
    void failureKindWords();
    void outcomeWords_data();
    void outcomeWords();

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

QTEST_GUILESS_MAIN(TestFailureText)
#include "test_failuretext.moc"
