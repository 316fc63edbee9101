// A firmware change started from the window, its waits on the emulator's
// virtual clock: it reaches the log pane and the bar, and it finishes whole
// when the window is closed or rebuilt for another language in the middle
// of it (held at its wait after the reset while the test acts).
#include "FailOnWarnings.h"
#include "GatedClock.h"
#include "ScriptedQuestions.h"
#include "UpgradeFixture.h"
#include "firmware/FirmwareChange.h"
#include "app/QuitSignals.h"
#include "app/Vt410_bootloader.h"
#include "sim/Vt520Sim.h"
#include "usb/HexDump.h"
#include "widgets/LogPane.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <libusb.h>

namespace {

QStringList logLines(Vt410_bootloader &window)
{
    const QString text = window.findChild<QTextBrowser *>("txt")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

} // namespace

class TestWindowCloseDuringUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void completeChangeThroughTheWindow_data();
    void completeChangeThroughTheWindow();
    void windowClosedDuringChange_data();
    void windowClosedDuringChange();
    void languageChangedDuringChange();
    void secondPressDuringChange();
    void busyWhileTheChangeRuns_data();
    void busyWhileTheChangeRuns();
    void longTextsShownWhole();

private:
    // Started by the button (with the file chosen in the dialog), or by
    // dropping the file on the window and answering the question.
    Vt410_bootloader *startChange(const QString &how = QStringLiteral("button"));
    // The window's change, held at the gate closed before it started.
    void waitUntilHeld();
    void verifyDeviceUpgraded();

    std::unique_ptr<QTemporaryDir> dir;
    UpgradeFixture fixture;
    vt520sim::Device *device = nullptr;
    GatedClock gate;
};

void TestWindowCloseDuringUpgrade::init()
{
    failOnUnexpectedWarnings();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    fixture = UpgradeFixture::make(dir->filePath("new.upg"), 31);
    auto &bus = vt520sim::Bus::instance();
    bus.reset();
    bus.useVirtualClock(true);
    gate.open();
    gate.forget();
    device = &bus.addVt520(1, 1, "261100042");
    device->setVersionBlock("1.00", UpgradeFixture::versionDate().toLatin1());
}

Vt410_bootloader *TestWindowCloseDuringUpgrade::startChange(const QString &how)
{
    auto *window = new Vt410_bootloader;
    window->setFirmwareChangeClock(&gate);
    auto questions = std::make_unique<ScriptedQuestions>();
    if (how == "button")
        questions->answer(fixture.fileName);
    else
        questions->answerMessage(how.endsWith("declined") ? QMessageBox::No : QMessageBox::Yes);
    window->setQuestions(std::move(questions));
    window->show();
    if (how == "button") {
        window->slotpushButtonCHF(false);
        return window;
    }
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(fixture.fileName)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
    return window;
}

void TestWindowCloseDuringUpgrade::waitUntilHeld()
{
    QTRY_VERIFY_WITH_TIMEOUT(gate.waiting(), 60000);
}

void TestWindowCloseDuringUpgrade::verifyDeviceUpgraded()
{
    QCOMPARE(device->internalFlash(0x08004000, 0x1C000), fixture.applicationRegion());
    QCOMPARE(device->externalFlash(0, 0x14000), fixture.storedExternalRegion());
    QTRY_COMPARE_WITH_TIMEOUT(device->mode(), vt520sim::Mode::Application, 10000);
}

void TestWindowCloseDuringUpgrade::completeChangeThroughTheWindow_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("button") << "button";
    QTest::newRow("dropped upgrade file") << "drop";
    QTest::newRow("dropped upgrade file, declined") << "drop, declined";
}

void TestWindowCloseDuringUpgrade::completeChangeThroughTheWindow()
{
    QFETCH(QString, how);
    const QByteArray applicationBefore = device->internalFlash(0x08004000, 0x1C000);
    std::unique_ptr<Vt410_bootloader> window(startChange(how));
    if (how.endsWith("declined")) {
        // Nothing starts: the button stays offered and the unit untouched.
        QVERIFY(window->findChild<QPushButton *>("pushButtonCHF")->isEnabled());
        QVERIFY(logLines(*window).isEmpty());
        window.reset();
        QCOMPARE(device->internalFlash(0x08004000, 0x1C000), applicationBefore);
        return;
    }
    const QStringList expected = UpgradeFixture::completedFromApplication(fixture.fileName, "261100042");
    QTRY_COMPARE_WITH_TIMEOUT(logLines(*window).size(), expected.size(), 60000);
    QCOMPARE(logLines(*window), expected);
    QCOMPARE(window->findChild<QProgressBar *>("progressBarFlash")->value(), 100);
    QTRY_COMPARE(window->findChild<QProgressBar *>("progressBarExtFlashWr")->value(), 100);
    QTRY_COMPARE(window->findChild<QProgressBar *>("progressBarExtFlashRd")->value(), 100);
    window.reset();
    verifyDeviceUpgraded();
}

void TestWindowCloseDuringUpgrade::windowClosedDuringChange_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("closesAfterwards");
    QTest::newRow("close, when the change has ended") << "close, yes" << true;
    QTest::newRow("close, keep the window") << "close, no" << false;
    QTest::newRow("SIGTERM") << "SIGTERM" << true;
    QTest::newRow("SIGINT") << "SIGINT" << true;
}

// The window never goes while the device is being written: a close asks
// whether to close once the change has ended, a termination signal waits for
// that end without asking; the change completes either way.
void TestWindowCloseDuringUpgrade::windowClosedDuringChange()
{
    QFETCH(QString, how);
    QFETCH(bool, closesAfterwards);
    auto &bus = vt520sim::Bus::instance();
    QuitSignals quitSignals;
    QVERIFY(quitSignals.isValid());
    std::unique_ptr<Vt410_bootloader> window(new Vt410_bootloader);
    window->setFirmwareChangeClock(&gate);
    auto questions = std::make_unique<ScriptedQuestions>();
    questions->answer(fixture.fileName);
    questions->answerMessage(how == "close, yes" ? QMessageBox::Yes : QMessageBox::No);
    ScriptedQuestions *asked = questions.get();
    window->setQuestions(std::move(questions));
    connect(&quitSignals, &QuitSignals::quitRequested, window.get(), &Vt410_bootloader::requestQuit);
    window->show();
    gate.close();
    window->slotpushButtonCHF(false);
    waitUntilHeld(); // the change runs, held in its wait after the reset

    if (how.startsWith("close")) {
        QVERIFY(!window->close());
        QCOMPARE(asked->messages().size(), 1);
        QCOMPARE(asked->messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
    } else {
        QSignalSpy quitRequested(&quitSignals, &QuitSignals::quitRequested);
        raise(how == "SIGTERM" ? SIGTERM : SIGINT);
        QVERIFY(quitRequested.wait()); // the notifier's turn of the event loop
        QVERIFY(asked->messages().isEmpty());
    }
    QVERIFY(window->isVisible());
    // Once the window is to close, a further close asks nothing; kept, it asks again.
    QVERIFY(!window->close());
    QCOMPARE(asked->messages().size(), how == "close, no" ? 2 : how == "close, yes" ? 1 : 0);
    gate.open();

    const auto changeEnded = [&] { return window->findChild<QPushButton *>("pushButtonCHF")->isEnabled(); };
    QTRY_VERIFY_WITH_TIMEOUT(changeEnded(), 60000);
    if (closesAfterwards) {
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 10000);
    } else {
        // Whatever the end of the change has posted has been handled.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QVERIFY(window->isVisible());
    }
    // Closed or not, the log ends with the verdict of a unit back on its new firmware.
    QCOMPARE(logLines(*window).last(), UpgradeFixture::doneLine("261100042", "1-1"));
    QCOMPARE(bus.requestCount(3), 112);
    window.reset();
    verifyDeviceUpgraded();
}

void TestWindowCloseDuringUpgrade::languageChangedDuringChange()
{
    auto &bus = vt520sim::Bus::instance();
    gate.close();
    Vt410_bootloader *window = startChange();
    waitUntilHeld();
    // The language action ends the event loop; the restart loop then
    // destroys the window and builds a new one.
    QTimer::singleShot(0, window, [window] { window->slotPolish(false); });
    QCOMPARE(QCoreApplication::exec(), -11);
    gate.open();
    delete window;
    QCOMPARE(bus.requestCount(3), 112);
    verifyDeviceUpgraded();

    // The next window works with the device as usual.
    Vt410_bootloader next;
    QCOMPARE(next.findChild<QProgressBar *>("progressBarFlash")->value(), 0);
}

// A second press picks a file but leaves the running change alone.
void TestWindowCloseDuringUpgrade::secondPressDuringChange()
{
    auto &bus = vt520sim::Bus::instance();
    const UpgradeFixture other = UpgradeFixture::make(dir->filePath("other.upg"), 33);
    auto window = std::make_unique<Vt410_bootloader>();
    window->setFirmwareChangeClock(&gate);
    auto questions = std::make_unique<ScriptedQuestions>();
    questions->answer(fixture.fileName);
    questions->answer(other.fileName);
    ScriptedQuestions *asked = questions.get();
    window->setQuestions(std::move(questions));
    gate.close();
    window->slotpushButtonCHF(false);
    waitUntilHeld();
    window->slotpushButtonCHF(false);
    QCOMPARE(asked->asked.size(), 2);
    gate.open();

    const QStringList expected = UpgradeFixture::completedFromApplication(fixture.fileName, "261100042");
    QTRY_COMPARE_WITH_TIMEOUT(logLines(*window).size(), expected.size(), 60000);
    window.reset();
    QCOMPARE(bus.requestCount(3), 112);
    verifyDeviceUpgraded();
}

void TestWindowCloseDuringUpgrade::busyWhileTheChangeRuns_data()
{
    QTest::addColumn<bool>("pageWriteFails");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("change completed") << false << UpgradeFixture::doneLine("261100042", "1-1");
    QTest::newRow("change failed") << true
                                   << QStringLiteral("Failed: a firmware page could not be written. The Vt520 is in "
                                                     "its bootloader; run the change again.");
}

// "Firmware Change" and the Language actions are off from the start of a
// change to the end of its worker, however it ends.
void TestWindowCloseDuringUpgrade::busyWhileTheChangeRuns()
{
    QFETCH(bool, pageWriteFails);
    QFETCH(QString, lastLine);
    if (pageWriteFails)
        vt520sim::Bus::instance().failRequest(3, LIBUSB_ERROR_PIPE);
    std::unique_ptr<Vt410_bootloader> window(startChange());
    const QList<QObject *> busy{window->findChild<QPushButton *>("pushButtonCHF"),
                                window->findChild<QAction *>("actionPolish"),
                                window->findChild<QAction *>("actionEnglish")};
    const auto anyEnabled = [&busy] {
        return std::any_of(busy.begin(), busy.end(), [](QObject *o) { return o->property("enabled").toBool(); });
    };
    QVERIFY(!anyEnabled());
    QVERIFY(!busy[0]->property("toolTip").toString().isEmpty());
    // Each line of the change arrives while everything is still off.
    int linesWhileEnabled = 0;
    connect(window->findChild<QTextBrowser *>("txt"), &QTextEdit::textChanged, this,
            [&] { linesWhileEnabled += anyEnabled() ? 1 : 0; });

    QTRY_VERIFY_WITH_TIMEOUT(anyEnabled(), 60000);
    QCOMPARE(logLines(*window).last(), lastLine);
    QCOMPARE(linesWhileEnabled, 0);
    for (QObject *o : busy)
        QVERIFY(o->property("enabled").toBool());
    QVERIFY(busy[0]->property("toolTip").toString().isEmpty());
}

// The hex dumps of a verify failure reach the pane in pieces; the pane must
// end up exactly as if each text had been appended whole, in order.
void TestWindowCloseDuringUpgrade::longTextsShownWhole()
{
    QByteArray bytes = HexFiles::randomBytes(81920, 41);
    bytes.replace(100, 12, "<b>bold</b>&"); // printable characters that look like markup
    const QString dump =
        QString::fromLatin1(HexDump(reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size()));
    const QStringList texts{"Verify External Flash ...  ",
                            "Error",
                            "read_buffer",
                            dump,
                            "ext_datas.data()",
                            dump.left(dump.size() / 2),
                            "<b>rich</b> text",
                            "after"};

    Vt410_bootloader window;
    window.show();
    QTextBrowser *pane = window.findChild<QTextBrowser *>("txt");
    auto *log = window.findChild<LogPane *>();
    QVERIFY(log);
    QTextBrowser reference;
    reference.setFont(pane->font());
    for (const QString &text : texts) {
        log->append(text);
        reference.append(text);
    }
    QVERIFY(pane->document()->blockCount() < reference.document()->blockCount()); // not all in yet
    QTRY_COMPARE_WITH_TIMEOUT(pane->document()->blockCount(), reference.document()->blockCount(), 30000);
    QCOMPARE(pane->toPlainText(), reference.toPlainText());
    QCOMPARE(pane->toHtml(), reference.toHtml());
    QVERIFY(pane->toPlainText().endsWith("\nrich text\nafter"));
}

QTEST_MAIN(TestWindowCloseDuringUpgrade)
#include "test_window_close_during_upgrade.moc"
