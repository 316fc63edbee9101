#include "FailOnWarnings.h"
#include "ScriptedQuestions.h"
#include "app/FirmwareChangeController.h"
#include "firmware/Upgrader.h"
#include "usb/USBVT350.h"
#include "usb/UnitLock.h"
#include "widgets/LogPane.h"

#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTextEdit>
#include <QtTest>

#include <functional>

namespace {

// A worker that runs until the test lets it end, so that every check
// "during the change" sees a change that is certainly still running.
class HeldUpgrader : public Upgrader
{
public:
    explicit HeldUpgrader(USBVT350 *usb)
        : Upgrader(usb)
    {
    }
    ~HeldUpgrader() override
    {
        finish();
        wait();
    }
    void finish() { gate.release(); }

protected:
    void run() override { gate.acquire(); }

private:
    QSemaphore gate;
};

// A window whose close asks the controller first, as the main window's does;
// `keep` stands for the window's own reasons to stay (unsaved edits).
class Window : public QMainWindow
{
public:
    FirmwareChangeController *controller = nullptr;
    bool keep = false;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (!controller->mayClose()) {
            event->ignore();
            return;
        }
        if (keep) {
            event->ignore();
            controller->withdrawCloseRequest();
            return;
        }
        QMainWindow::closeEvent(event);
    }
};

// Asks in a loop of its own, as a dialog would, until the question is
// answered by the course of events (closeLastMessage) or by `answerNow`.
class WaitingQuestions : public ScriptedQuestions
{
public:
    std::function<void()> whileAsked;
    QMessageBox::StandardButton message(QMessageBox::Icon icon, QWidget *parent, const QString &title,
                                        const QString &text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        ScriptedQuestions::message(icon, parent, title, text, buttons, defaultButton);
        if (whileAsked)
            whileAsked();
        loop.exec();
        return QMessageBox::NoButton;
    }
    void closeLastMessage() override { loop.quit(); }

private:
    QEventLoop loop;
};

} // namespace

class TestFirmwareChangeController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void offDuringChangeOnAfter_data();
    void offDuringChangeOnAfter();
    void barsStartFromZero();
    void startTakesTheUnitOnlyToStartAChange_data();
    void startTakesTheUnitOnlyToStartAChange();
    void unitHeldUntilTheWorkerHasFinished();
    void closeDuringChange_data();
    void closeDuringChange();
    void closeWaitsForTheLastLine();
    void questionGoesWhenTheChangeEnds();

private:
    void startChange(std::unique_ptr<UnitLock> lock = nullptr);
    void finishChange();

    std::unique_ptr<USBVT350> usb;
    std::unique_ptr<HeldUpgrader> upgrader;
    std::unique_ptr<Window> window;
    LogPane *log = nullptr;
    FirmwareChangeController *controller = nullptr;
    ScriptedQuestions *questions = nullptr;
    std::unique_ptr<ScriptedQuestions> questionsOwner;
};

void TestFirmwareChangeController::init()
{
    failOnUnexpectedWarnings();
    usb = std::make_unique<USBVT350>();
    upgrader = std::make_unique<HeldUpgrader>(usb.get());
    window = std::make_unique<Window>();
    auto *pane = new QTextEdit(window.get());
    window->setCentralWidget(pane);
    log = new LogPane(pane);
    controller = new FirmwareChangeController(*upgrader, *window, *log);
    window->controller = controller;
    questionsOwner = std::make_unique<ScriptedQuestions>();
    questions = questionsOwner.get();
    controller->setQuestions(questions);
    window->show();
}

void TestFirmwareChangeController::cleanup()
{
    upgrader->finish();
    upgrader->wait();
    window.reset();
    upgrader.reset();
    usb.reset();
}

void TestFirmwareChangeController::startChange(std::unique_ptr<UnitLock> lock)
{
    controller->start(QStringLiteral("new.upg"), std::move(lock));
    QVERIFY(upgrader->isRunning() || controller->isChanging());
}

void TestFirmwareChangeController::finishChange()
{
    QSignalSpy ended(controller, &FirmwareChangeController::changeEnded);
    upgrader->finish();
    QVERIFY(ended.wait(10000));
}

void TestFirmwareChangeController::offDuringChangeOnAfter_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("device command button") << "button";
    QTest::newRow("menu action") << "action";
    QTest::newRow("Firmware Change button") << "change button";
}

// Everything registered is off from the start until the worker has finished,
// then on again; the change button says why it is off.
void TestFirmwareChangeController::offDuringChangeOnAfter()
{
    QFETCH(QString, what);
    auto *button = new QPushButton(window.get());
    auto *action = new QAction(window.get());
    if (what == "button")
        controller->disableDuringChange(button);
    else if (what == "action")
        controller->disableDuringChange(action);
    else
        controller->setChangeButton(button);
    const auto isEnabled = [&] { return what == "action" ? action->isEnabled() : button->isEnabled(); };
    QSignalSpy running(controller, &FirmwareChangeController::runningChanged);

    QVERIFY(isEnabled());
    QVERIFY(!controller->isChanging());
    startChange();
    QVERIFY(controller->isChanging());
    QVERIFY(!isEnabled());
    QCOMPARE(running.size(), 1);
    QCOMPARE(running.at(0).at(0).toBool(), true);
    QCOMPARE(!button->toolTip().isEmpty(), what == "change button");

    finishChange();
    QVERIFY(!controller->isChanging());
    QVERIFY(isEnabled());
    QVERIFY(button->toolTip().isEmpty());
    QCOMPARE(running.size(), 2);
    QCOMPARE(running.at(1).at(0).toBool(), false);
}

void TestFirmwareChangeController::barsStartFromZero()
{
    QList<QProgressBar *> bars;
    for (int n = 0; n < 3; ++n) {
        bars.append(new QProgressBar(window.get()));
        bars.last()->setValue(100);
    }
    controller->setProgressBars(bars);
    startChange();
    for (QProgressBar *bar : bars)
        QCOMPARE(bar->value(), 0);
    finishChange();
}

void TestFirmwareChangeController::startTakesTheUnitOnlyToStartAChange_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("duringChange");
    QTest::addColumn<bool>("needsUnit");
    QTest::newRow("a file, no change running") << "new.upg" << false << true;
    QTest::newRow("no file (dialog cancelled)") << "" << false << false;
    QTest::newRow("a file during a change") << "new.upg" << true << false;
}

void TestFirmwareChangeController::startTakesTheUnitOnlyToStartAChange()
{
    QFETCH(QString, fileName);
    QFETCH(bool, duringChange);
    QFETCH(bool, needsUnit);
    if (duringChange)
        startChange();
    QCOMPARE(controller->startNeedsUnit(fileName), needsUnit);
    if (duringChange)
        finishChange();
}

// Other programs find the unit taken from the start until the worker has
// finished, through the unit's reset.
void TestFirmwareChangeController::unitHeldUntilTheWorkerHasFinished()
{
    const QString port = QStringLiteral("9-9.9");
    auto lock = std::make_unique<UnitLock>(port);
    QCOMPARE(lock->take(QStringLiteral("test")), UnitLock::Status::Taken);
    startChange(std::move(lock));
    UnitLock other(port);
    QCOMPARE(other.take(), UnitLock::Status::InUse);
    finishChange();
    QCOMPARE(other.take(), UnitLock::Status::Taken);
}

void TestFirmwareChangeController::closeDuringChange_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closedAfter");
    QTest::newRow("close, answered yes") << "close yes" << true << true;
    QTest::newRow("close, answered no") << "close no" << true << false;
    QTest::newRow("close yes, then the window is kept") << "close yes, kept" << true << false;
    QTest::newRow("quit signal") << "quit" << false << true;
    QTest::newRow("quit signal, twice") << "quit twice" << false << true;
}

// The window never goes while the worker runs: a close asks whether to close
// at the end, a quit signal waits for the end without asking.
void TestFirmwareChangeController::closeDuringChange()
{
    QFETCH(QString, how);
    QFETCH(bool, asked);
    QFETCH(bool, closedAfter);
    startChange();
    if (how.startsWith("close")) {
        questions->answerMessage(how.startsWith("close yes") ? QMessageBox::Yes : QMessageBox::No);
        QVERIFY(!window->close());
        // Asked once; a second close while the first waits asks nothing.
        QVERIFY(!window->close());
    } else {
        controller->requestQuit();
        if (how.endsWith("twice"))
            controller->requestQuit();
    }
    QVERIFY(window->isVisible());
    QCOMPARE(questions->messages().size(), asked ? (how == "close no" ? 2 : 1) : 0);
    QCOMPARE(window->statusBar()->currentMessage() == FirmwareChangeController::closeWaitsText(), how != "close no");
    if (how.endsWith("kept")) {
        // The window's own close finds a reason to stay: nothing waits then.
        window->keep = true;
        upgrader->finish();
        upgrader->wait();
        QVERIFY(!window->close());
        QVERIFY(window->statusBar()->currentMessage().isEmpty());
    }
    finishChange();
    QCOMPARE(!window->isVisible(), closedAfter);
}

// The change's last line may still be going into the log when the worker
// has finished: the window goes once it is in.
void TestFirmwareChangeController::closeWaitsForTheLastLine()
{
    startChange();
    controller->requestQuit();
    QStringList lines;
    for (int n = 0; n < 3000; ++n)
        lines << QStringLiteral("%1 00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF").arg(n, 8);
    const QString text = lines.join(QLatin1Char('\n'));
    log->append(text);
    QVERIFY(!log->isShowingAll());
    QSignalSpy shown(log, &LogPane::allShown);
    finishChange();
    QVERIFY(window->isVisible());
    QVERIFY(shown.wait(30000));
    QVERIFY(!window->isVisible());
    QVERIFY(window->findChild<QTextEdit *>()->toPlainText().endsWith(lines.last()));
}

// A question whether to close at the end, still open when the change ends,
// goes unanswered and leaves the window open.
void TestFirmwareChangeController::questionGoesWhenTheChangeEnds()
{
    auto waiting = std::make_unique<WaitingQuestions>();
    waiting->whileAsked = [this] { upgrader->finish(); };
    WaitingQuestions *asking = waiting.get();
    controller->setQuestions(asking);
    questionsOwner = std::move(waiting);
    startChange();
    QSignalSpy ended(controller, &FirmwareChangeController::changeEnded);
    QVERIFY(!window->close());
    QCOMPARE(ended.size(), 1);
    QCOMPARE(asking->messages().size(), 1);
    QVERIFY(window->isVisible());
    QVERIFY(window->statusBar()->currentMessage().isEmpty());
}

QTEST_MAIN(TestFirmwareChangeController)
#include "test_firmwarechangecontroller.moc"
