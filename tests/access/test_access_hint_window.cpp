// The window's commands with a Vt520 that this user may not open: each
// shows its own time-out or connection line as before and then, in the log
// pane, the hint on the udev rule. With no device at all the same commands
// show their lines without the hint.
#include "FailOnWarnings.h"
#include "ScriptedQuestions.h"
#include "UpgradeFixture.h"
#include "app/Vt410_bootloader.h"
#include "firmware/FirmwareChange.h"
#include "sim/Vt520Sim.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include <libusb.h>

namespace {

const QString Hint = QStringLiteral("The Vt520 is connected but this user may not open it. Install the udev rule "
                                    "(70-vt520.rules, see README) and plug the device in again.");

using WindowSlot = void (Vt410_bootloader::*)(bool);

} // namespace

class TestAccessHintWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void connectCommand_data();
    void connectCommand();
    void programsAndScenesCommands_data();
    void programsAndScenesCommands();
    void firmwareChange_data();
    void firmwareChange();

private:
    void placeDevice(bool denied);
    QString logText() const;

    std::unique_ptr<Vt410_bootloader> window;
    ScriptedQuestions *questions = nullptr;
};

void TestAccessHintWindow::init()
{
    failOnUnexpectedWarnings();
    vt520sim::Bus::instance().reset();
    window = std::make_unique<Vt410_bootloader>();
    auto scripted = std::make_unique<ScriptedQuestions>();
    questions = scripted.get();
    window->setQuestions(std::move(scripted));
}

void TestAccessHintWindow::cleanup()
{
    window.reset();
}

// A Vt520 that may not be opened, or an empty bus.
void TestAccessHintWindow::placeDevice(bool denied)
{
    if (denied)
        vt520sim::Bus::instance().addVt520(1, 1).failOpen(LIBUSB_ERROR_ACCESS);
}

QString TestAccessHintWindow::logText() const
{
    return window->findChild<QTextBrowser *>("txt")->toPlainText();
}

void TestAccessHintWindow::connectCommand_data()
{
    QTest::addColumn<bool>("denied");
    QTest::newRow("access denied") << true;
    QTest::newRow("no device") << false;
}

void TestAccessHintWindow::connectCommand()
{
    QFETCH(bool, denied);
    placeDevice(denied);
    window->slotpushButtonConnect(false);
    QCOMPARE(logText(), denied ? QStringLiteral("Connect ERROR\n") + Hint : QStringLiteral("Connect ERROR"));

    // The rule installed: the next press connects and adds no hint.
    if (denied) {
        vt520sim::Bus::instance().device(1, 1)->failOpen(0);
        window->slotpushButtonConnect(false);
        QCOMPARE(logText(), QStringLiteral("Connect ERROR\n") + Hint + QStringLiteral("\nConnect OK"));
    }
}

void TestAccessHintWindow::programsAndScenesCommands_data()
{
    QTest::addColumn<WindowSlot>("command");
    QTest::addColumn<bool>("denied");
    const QList<QPair<const char *, WindowSlot>> commands{
        {"Get Programs", &Vt410_bootloader::slotpushButtonGetProgramsFromVt410},
        {"Set Programs", &Vt410_bootloader::slotpushButtonSetProgramsInVt410},
        {"Get Scenes", &Vt410_bootloader::slotpushButtonGetScenesFromVt410},
        {"Set Scenes", &Vt410_bootloader::slotpushButtonSetScenesInVt410},
    };
    for (const auto &command : commands) {
        QTest::addRow("%s, access denied", command.first) << command.second << true;
        QTest::addRow("%s, no device", command.first) << command.second << false;
    }
}

void TestAccessHintWindow::programsAndScenesCommands()
{
    QFETCH(WindowSlot, command);
    QFETCH(bool, denied);
    placeDevice(denied);
    (window.get()->*command)(false);

    // The box is the one it always was; the hint goes to the log pane after it.
    QCOMPARE(questions->asked.size(), 1);
    QCOMPARE(questions->asked.at(0).kind, ScriptedQuestions::Message);
    QCOMPARE(questions->asked.at(0).title, QStringLiteral("Error"));
    QCOMPARE(questions->asked.at(0).label, QStringLiteral("USB Timeout\nCheck USB Cable"));
    QCOMPARE(logText(), denied ? Hint : QString());
}

void TestAccessHintWindow::firmwareChange_data()
{
    QTest::addColumn<bool>("denied");
    QTest::newRow("access denied") << true;
    QTest::newRow("no device") << false;
}

// Through the window's worker thread, with its real waits (three of 200 ms).
void TestAccessHintWindow::firmwareChange()
{
    QFETCH(bool, denied);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const UpgradeFixture fixture = UpgradeFixture::make(dir.filePath("a.upg"), 9);
    QVERIFY(!fixture.fileName.isEmpty());
    placeDevice(denied);

    questions->answer(fixture.fileName);
    window->slotpushButtonCHF(false);
    const QString timeout = QStringLiteral("USB Timeout\nCheck USB Cable");
    const QString expected = fixture.fileName + '\n' + timeout + (denied ? '\n' + Hint : QString()) + '\n'
                             + "No Vt520 answered; nothing was written.";
    QTRY_COMPARE_WITH_TIMEOUT(logText(), expected, 20000);
    // Nothing follows once the run has ended: its worker is done (the
    // button is offered again) and what it posted has been shown.
    QTRY_VERIFY(window->findChild<QPushButton *>("pushButtonCHF")->isEnabled());
    QCoreApplication::sendPostedEvents();
    QCOMPARE(logText(), expected);
}

QTEST_MAIN(TestAccessHintWindow)
#include "test_access_hint_window.moc"
