// The window with two emulated units attached: the unit the operator chose
// takes every device command and no other does, a unit held by another
// program is refused, nothing but the change reaches the unit while a
// change runs, and a close asked for during a change can be withdrawn.
#include "FailOnWarnings.h"
#include "GatedClock.h"
#include "ScriptedQuestions.h"
#include "UpgradeFixture.h"
#include "app/Vt410_bootloader.h"
#include "app/WindowWork.h"
#include "sim/Vt520Sim.h"
#include "usb/SerialStringCache.h"
#include "usb/UnitLock.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTranslator>
#include <QtTest>

#include <algorithm>
#include <functional>

namespace {

using WindowSlot = void (Vt410_bootloader::*)(bool);

constexpr quint32 ApplicationBase = 0x08004000;
constexpr quint32 ApplicationSize = 0x1C000;
constexpr quint32 ExternalSize = 0x16000;

QStringList logLines(Vt410_bootloader &window)
{
    const QString text = window.findChild<QTextBrowser *>("txt")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

// Every transfer since the last clear that reached the unit with this address.
int transfersTo(int address)
{
    const QList<vt520sim::TransferRecord> log = vt520sim::Bus::instance().transferLog();
    return int(std::count_if(log.cbegin(), log.cend(),
                             [address](const vt520sim::TransferRecord &record) { return record.address == address; }));
}

// The questions of ScriptedQuestions; the box about closing during a change
// stays open until the window closes it or the change has ended.
class WaitingQuestions : public ScriptedQuestions
{
public:
    QPushButton *changeButton = nullptr;
    GatedClock *gate = nullptr;
    bool closedByWindow = false;
    bool openWhenChangeEnded = false;

    QMessageBox::StandardButton message(QMessageBox::Icon icon, QWidget *parent, const QString &title,
                                        const QString &text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        const QMessageBox::StandardButton scripted =
            ScriptedQuestions::message(icon, parent, title, text, buttons, defaultButton);
        if (title != QLatin1String("Firmware change running"))
            return scripted;
        // The change goes on, and ends, while the box is open.
        QEventLoop open;
        loop = &open;
        changeButton->installEventFilter(&filter);
        filter.onEnabled = [this] {
            // The window's own handling of the end comes first.
            QTimer::singleShot(0, loop, [this] {
                openWhenChangeEnded = true;
                loop->quit();
            });
        };
        gate->open();
        open.exec();
        changeButton->removeEventFilter(&filter);
        loop = nullptr;
        return closedByWindow ? QMessageBox::NoButton : QMessageBox::Yes;
    }
    void closeLastMessage() override
    {
        if (!loop)
            return;
        closedByWindow = true;
        loop->quit();
    }

private:
    struct EnabledFilter : QObject {
        std::function<void()> onEnabled;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::EnabledChange && static_cast<QWidget *>(watched)->isEnabled() && onEnabled)
                onEnabled();
            return false;
        }
    };
    EnabledFilter filter;
    QEventLoop *loop = nullptr;
};

} // namespace

class TestWindowUnits : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void changesOnlyTheChosenUnit_data();
    void changesOnlyTheChosenUnit();
    void commandAsksForTheUnit_data();
    void commandAsksForTheUnit();
    void chosenUnitGoneIsNotReplaced();
    void menuNamesSerialAndMode();
    void controlsDuringChange_data();
    void controlsDuringChange();
    void commandsSendNothingDuringChange_data();
    void commandsSendNothingDuringChange();
    void changeHoldsTheUnitThroughout();
    void heldUnitIsRefused_data();
    void heldUnitIsRefused();
    void cancelledCloseIsWithdrawn();
    void closeQuestionGoesWhenChangeEnds();
    void languageSwitchKeepsTheChosenUnit();
    void polishTexts();

private:
    void newWindow(std::unique_ptr<ScriptedQuestions> scripted = std::make_unique<ScriptedQuestions>());
    void choose(const QString &portPath);
    QAction *deviceAction(const QString &portPath) const;
    QStringList deviceMenuTexts() const;
    QString unitField() const;
    QPushButton *button(const char *name) const;
    void waitForChangeEnd();

    QTemporaryDir lockDir;
    QTemporaryDir files;
    QTemporaryDir settingsDir;
    UpgradeFixture fixture;
    UpgradeFixture second;
    GatedClock gate;
    std::unique_ptr<Vt410_bootloader> window;
    ScriptedQuestions *questions = nullptr;
    vt520sim::Device *first = nullptr; // at 1-1.1
    vt520sim::Device *other = nullptr; // at 1-1.2
};

void TestWindowUnits::initTestCase()
{
    QVERIFY(lockDir.isValid());
    QVERIFY(files.isValid());
    QVERIFY(settingsDir.isValid());
    qputenv("VT520_LOCK_DIR", QFile::encodeName(lockDir.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsDir.path()));
    qputenv("VT520_SIM_UNITS", "2");
    fixture = UpgradeFixture::make(files.filePath("new.upg"), 31);
    second = UpgradeFixture::make(files.filePath("second.upg"), 33);
    QVERIFY(!fixture.fileName.isEmpty());
    QVERIFY(!second.fileName.isEmpty());
}

void TestWindowUnits::init()
{
    failOnUnexpectedWarnings();
    auto &bus = vt520sim::Bus::instance();
    bus.resetToDefault();
    bus.useVirtualClock(true);
    SerialStringCache::clear();
    first = bus.deviceAt("1-1.1");
    other = bus.deviceAt("1-1.2");
    QVERIFY(first && other);
    for (vt520sim::Device *unit : {first, other})
        unit->setVersionBlock("1.00", UpgradeFixture::versionDate().toLatin1());
    gate.open();
    gate.forget();
    newWindow();
}

void TestWindowUnits::cleanup()
{
    gate.open();
    window.reset();
    questions = nullptr;
}

void TestWindowUnits::newWindow(std::unique_ptr<ScriptedQuestions> scripted)
{
    window.reset();
    window = std::make_unique<Vt410_bootloader>();
    questions = scripted.get();
    window->setQuestions(std::move(scripted));
    window->setFirmwareChangeClock(&gate);
    window->show();
}

QAction *TestWindowUnits::deviceAction(const QString &portPath) const
{
    return window->findChild<QAction *>(QStringLiteral("actionDevice_") + portPath);
}

void TestWindowUnits::choose(const QString &portPath)
{
    QAction *action = deviceAction(portPath);
    QVERIFY(action);
    action->trigger();
    QCOMPARE(window->chosenUnit(), portPath);
}

QStringList TestWindowUnits::deviceMenuTexts() const
{
    QStringList texts;
    for (QAction *action : window->findChild<QMenu *>("menuDevice")->actions())
        texts.append(action->text());
    return texts;
}

QString TestWindowUnits::unitField() const
{
    return window->findChild<QLabel *>("labelAttachedUnit")->text();
}

QPushButton *TestWindowUnits::button(const char *name) const
{
    return window->findChild<QPushButton *>(QLatin1String(name));
}

void TestWindowUnits::waitForChangeEnd()
{
    QTRY_VERIFY_WITH_TIMEOUT(button("pushButtonCHF")->isEnabled(), 120000);
}

void TestWindowUnits::changesOnlyTheChosenUnit_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::newRow("the second unit") << "1-1.2";
    QTest::newRow("the first unit") << "1-1.1";
}

// Two changes in a row from the one window: both reach the chosen unit, back
// at its port with a new address after the first, and the other unit is
// never as much as asked for its serial.
void TestWindowUnits::changesOnlyTheChosenUnit()
{
    QFETCH(QString, chosen);
    auto &bus = vt520sim::Bus::instance();
    QVERIFY(window->chosenUnit().isEmpty()); // two attached: none taken by itself
    QCOMPARE(unitField(), QStringLiteral("2 Vt520s attached: choose one in the Device menu"));
    choose(chosen);
    QCOMPARE(unitField(), QStringLiteral("Vt520 at %1 (2 attached)").arg(chosen));
    vt520sim::Device *target = bus.deviceAt(chosen);
    vt520sim::Device *untouched = chosen == "1-1.1" ? other : first;
    const QByteArray serial = target->serial();
    const QByteArray untouchedSerial = untouched->serial();
    const int untouchedAddress = untouched->address();
    const QByteArray untouchedApplication = untouched->internalFlash(ApplicationBase, ApplicationSize);
    const QByteArray untouchedExternal = untouched->externalFlash(0, ExternalSize);
    bus.clearTransferLog();

    for (const UpgradeFixture *upgrade : {&fixture, &second}) {
        questions->answer(upgrade->fileName);
        window->slotpushButtonCHF(false);
        waitForChangeEnd();
        QCOMPARE(logLines(*window).last(), UpgradeFixture::doneLine(QString::fromLatin1(serial), chosen));
        QCOMPARE(target->internalFlash(ApplicationBase, ApplicationSize), upgrade->applicationRegion());
        QCOMPARE(target->externalFlash(0, 0x14000), upgrade->storedExternalRegion());
        QCOMPARE(target->mode(), vt520sim::Mode::Application);
        QCOMPARE(window->chosenUnit(), chosen);
    }
    // Only the two file dialogs: the unit was chosen.
    QCOMPARE(questions->asked.size(), 2);
    QCOMPARE(transfersTo(untouchedAddress), 0);
    QCOMPARE(untouched->address(), untouchedAddress);
    QCOMPARE(untouched->mode(), vt520sim::Mode::Application);
    QCOMPARE(untouched->serial(), untouchedSerial);
    QCOMPARE(untouched->internalFlash(ApplicationBase, ApplicationSize), untouchedApplication);
    QCOMPARE(untouched->externalFlash(0, ExternalSize), untouchedExternal);
}

void TestWindowUnits::commandAsksForTheUnit_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("cancel");
    for (const char *command :
         {"get programs", "set scenes", "read from the tool bar", "firmware change", "status get", "connect"}) {
        QTest::addRow("%s, cancelled", command) << QString::fromLatin1(command) << true;
        QTest::addRow("%s, second unit", command) << QString::fromLatin1(command) << false;
    }
}

// With two units attached and none chosen, a device command asks which one
// it is for: listed as the Device menu lists them. Cancel sends nothing;
// an answer chooses the unit for this command and the next ones.
void TestWindowUnits::commandAsksForTheUnit()
{
    QFETCH(QString, command);
    QFETCH(bool, cancel);
    auto &bus = vt520sim::Bus::instance();
    const QStringList listed = deviceMenuTexts();
    QCOMPARE(listed.size(), 2);
    const int firstAddress = first->address();
    bus.clearTransferLog();

    if (command == "firmware change")
        questions->answer(fixture.fileName);
    if (cancel)
        questions->cancel();
    else
        questions->answer(listed.at(1));
    if (command == "get programs") {
        window->slotpushButtonGetProgramsFromVt410(false);
    } else if (command == "set scenes") {
        window->slotpushButtonSetScenesInVt410(false);
    } else if (command == "read from the tool bar") {
        window->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
        window->findChild<QAction *>("actionReadTable")->trigger();
    } else if (command == "firmware change") {
        window->slotpushButtonCHF(false);
        waitForChangeEnd();
    } else if (command == "status get") {
        window->slotpushButtonStatusGet(false);
    } else {
        window->slotpushButtonConnect(false);
    }

    QList<ScriptedQuestions::Question> items;
    for (const ScriptedQuestions::Question &q : questions->asked)
        if (q.kind == ScriptedQuestions::Item)
            items.append(q);
    QCOMPARE(items.size(), 1);
    QCOMPARE(items.first().items, listed);
    QCOMPARE(questions->unscripted, 0);
    if (cancel) {
        QVERIFY(bus.transferLog().isEmpty());
        QVERIFY(window->chosenUnit().isEmpty());
        QVERIFY(questions->messages().isEmpty());
        QVERIFY(button("pushButtonCHF")->isEnabled());
        return;
    }
    QCOMPARE(window->chosenUnit(), QStringLiteral("1-1.2"));
    QVERIFY(deviceAction("1-1.2")->isChecked());
    QVERIFY(!deviceAction("1-1.1")->isChecked());
    QCOMPARE(unitField(), QStringLiteral("Vt520 at 1-1.2 (2 attached)"));
    QVERIFY(!bus.transferLog().isEmpty());
    QCOMPARE(transfersTo(firstAddress), 0);
    QVERIFY(questions->messages().isEmpty()); // no failure box
}

// A chosen unit that goes away is shown gone and commands fail at its port;
// the other unit is not taken in its place. Back at its port, it is the
// chosen unit again.
void TestWindowUnits::chosenUnitGoneIsNotReplaced()
{
    auto &bus = vt520sim::Bus::instance();
    choose("1-1.1");
    const int otherAddress = other->address();
    first->unplug();
    QTRY_COMPARE_WITH_TIMEOUT(unitField(), QStringLiteral("No Vt520 attached at 1-1.1"), 10000);
    QCOMPARE(window->chosenUnit(), QStringLiteral("1-1.1"));
    QTRY_VERIFY(deviceAction("1-1.1") && deviceAction("1-1.1")->text() == QStringLiteral("1-1.1: not attached"));
    QVERIFY(deviceAction("1-1.1")->isChecked());
    QVERIFY(!deviceAction("1-1.2")->isChecked());

    bus.clearTransferLog();
    window->slotpushButtonGetProgramsFromVt410(false);
    QCOMPARE(questions->messages().size(), 1);
    QCOMPARE(questions->messages().first().label, QStringLiteral("USB Timeout\nCheck USB Cable"));
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("No Vt520 attached at 1-1.1"));
    QCOMPARE(transfersTo(otherAddress), 0);
    QCOMPARE(window->chosenUnit(), QStringLiteral("1-1.1"));

    first->replug();
    QTRY_COMPARE_WITH_TIMEOUT(unitField(), QStringLiteral("Vt520 at 1-1.1 (2 attached)"), 10000);
    QVERIFY(deviceAction("1-1.1")->isChecked());
    bus.clearTransferLog();
    window->slotpushButtonGetProgramsFromVt410(false);
    QCOMPARE(questions->messages().size(), 1); // no further box
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Programs read from the Vt520 at 1-1.1"));
    QVERIFY(transfersTo(first->address()) > 0);
    QCOMPARE(transfersTo(otherAddress), 0);
}

// The menu names each unit by port, serial and mode once a command has read
// its serial string (a change reads it last when the unit is back), and
// marks the chosen one.
void TestWindowUnits::menuNamesSerialAndMode()
{
    QCOMPARE(deviceMenuTexts(),
             (QStringList{"1-1.1: serial unknown, mode unknown", "1-1.2: serial unknown, mode unknown"}));
    choose("1-1.2");
    questions->answer(fixture.fileName);
    window->slotpushButtonCHF(false);
    waitForChangeEnd();
    QTRY_COMPARE_WITH_TIMEOUT(
        deviceMenuTexts(), (QStringList{"1-1.1: serial unknown, mode unknown", "1-1.2: serial 261100043, application"}),
        10000);
    QVERIFY(deviceAction("1-1.2")->isChecked());
}

void TestWindowUnits::controlsDuringChange_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("offDuringChange");
    QTest::newRow("Get programs") << "pushButtonGetProgramsFormVt410" << true;
    QTest::newRow("Set programs") << "pushButtonSetProgramsInVt410" << true;
    QTest::newRow("Get scenes") << "pushButtonGetScenesFormVt410" << true;
    QTest::newRow("Set scenes") << "pushButtonSetScenesInVt410" << true;
    QTest::newRow("Read") << "actionReadTable" << true;
    QTest::newRow("Write") << "actionWriteTable" << true;
    QTest::newRow("the other unit in the Device menu") << "actionDevice_1-1.1" << true;
    QTest::newRow("the chosen unit in the Device menu") << "actionDevice_1-1.2" << true;
    QTest::newRow("Load programs") << "pushButtonLoadProgramsFromFile" << false;
    QTest::newRow("Save scenes") << "pushButtonSaveScenesToFile" << false;
    QTest::newRow("Open") << "actionOpenTable" << false;
    QTest::newRow("Save As") << "actionSaveTableAs" << false;
}

// What reaches the unit is off from the start of a change to its end, and
// on again afterwards; the files stay at hand.
void TestWindowUnits::controlsDuringChange()
{
    QFETCH(QString, name);
    QFETCH(bool, offDuringChange);
    window->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
    choose("1-1.2");
    const auto control = [&] { return window->findChild<QObject *>(name); };
    QVERIFY(control());
    QVERIFY(control()->property("enabled").toBool());

    gate.close();
    questions->answer(fixture.fileName);
    window->slotpushButtonCHF(false);
    QTRY_VERIFY_WITH_TIMEOUT(gate.waiting(), 60000);
    QVERIFY(control()); // the Device menu may have been listed afresh meanwhile
    QCOMPARE(control()->property("enabled").toBool(), !offDuringChange);

    gate.open();
    waitForChangeEnd();
    QTRY_VERIFY(control() && control()->property("enabled").toBool());
    QCOMPARE(window->chosenUnit(), QStringLiteral("1-1.2"));
}

void TestWindowUnits::commandsSendNothingDuringChange_data()
{
    QTest::addColumn<WindowSlot>("command");
    QTest::newRow("Get programs") << WindowSlot(&Vt410_bootloader::slotpushButtonGetProgramsFromVt410);
    QTest::newRow("Set programs") << WindowSlot(&Vt410_bootloader::slotpushButtonSetProgramsInVt410);
    QTest::newRow("Get scenes") << WindowSlot(&Vt410_bootloader::slotpushButtonGetScenesFromVt410);
    QTest::newRow("Set scenes") << WindowSlot(&Vt410_bootloader::slotpushButtonSetScenesInVt410);
    QTest::newRow("StatusGet") << WindowSlot(&Vt410_bootloader::slotpushButtonStatusGet);
    QTest::newRow("StatusSet") << WindowSlot(&Vt410_bootloader::slotpushButtonStatusSet);
    QTest::newRow("Connect") << WindowSlot(&Vt410_bootloader::slotpushButtonConnect);
    QTest::newRow("Disconnect") << WindowSlot(&Vt410_bootloader::slotpushButtonDisconnect);
    QTest::newRow("RunApplication") << WindowSlot(&Vt410_bootloader::slotpushButtonRunApplication);
    QTest::newRow("Write") << WindowSlot(&Vt410_bootloader::slotpushButtonWrite);
}

// A device command reached during a change (its control is off, but a
// shortcut or a script can still call it) sends nothing and says why; the
// change completes.
void TestWindowUnits::commandsSendNothingDuringChange()
{
    QFETCH(WindowSlot, command);
    auto &bus = vt520sim::Bus::instance();
    choose("1-1.2");
    gate.close();
    questions->answer(fixture.fileName);
    window->slotpushButtonCHF(false);
    QTRY_VERIFY_WITH_TIMEOUT(gate.waiting(), 60000);
    // The worker waits in the gate now: every transfer from here on is the command's.
    const int before = int(bus.transferLog().size());
    const int asked = int(questions->asked.size());
    (window.get()->*command)(false);
    QCOMPARE(int(bus.transferLog().size()), before);
    QCOMPARE(int(questions->asked.size()), asked);
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("A firmware change is running; nothing was sent."));

    gate.open();
    waitForChangeEnd();
    QCOMPARE(logLines(*window).last(), UpgradeFixture::doneLine("261100043", "1-1.2"));
    QCOMPARE(other->internalFlash(ApplicationBase, ApplicationSize), fixture.applicationRegion());
}

// The change holds the chosen unit against other programs from its start,
// through the unit's reset, to its end; the other unit stays free.
void TestWindowUnits::changeHoldsTheUnitThroughout()
{
    choose("1-1.2");
    gate.close();
    questions->answer(fixture.fileName);
    window->slotpushButtonCHF(false);
    QTRY_VERIFY_WITH_TIMEOUT(gate.waiting(), 60000);
    {
        UnitLock probe("1-1.2");
        QCOMPARE(probe.take(QStringLiteral("probe")), UnitLock::Status::InUse);
        UnitLock free("1-1.1");
        QCOMPARE(free.take(QStringLiteral("probe")), UnitLock::Status::Taken);
    }
    gate.open();
    waitForChangeEnd();
    UnitLock after("1-1.2");
    QCOMPARE(after.take(QStringLiteral("probe")), UnitLock::Status::Taken);
}

void TestWindowUnits::heldUnitIsRefused_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Get programs") << "get programs";
    QTest::newRow("Set scenes") << "set scenes";
    QTest::newRow("firmware change") << "firmware change";
    QTest::newRow("StatusGet") << "status get";
    QTest::newRow("ReadExternalFlash") << "read external flash";
}

// Another holder of the chosen unit (here this test, as another program
// would) makes the command send nothing, with the holder named.
void TestWindowUnits::heldUnitIsRefused()
{
    QFETCH(QString, command);
    auto &bus = vt520sim::Bus::instance();
    choose("1-1.2");
    UnitLock held("1-1.2");
    QCOMPARE(held.take(QStringLiteral("vt520ctl upgrade fw.upg")), UnitLock::Status::Taken);
    bus.clearTransferLog();

    if (command == "get programs") {
        window->slotpushButtonGetProgramsFromVt410(false);
    } else if (command == "set scenes") {
        window->slotpushButtonSetScenesInVt410(false);
    } else if (command == "firmware change") {
        questions->answer(fixture.fileName);
        window->slotpushButtonCHF(false);
    } else if (command == "status get") {
        window->slotpushButtonStatusGet(false);
    } else {
        window->slotpushButtonReadExternalFlash(false);
    }

    UnitLock probe("1-1.2");
    QCOMPARE(probe.take(), UnitLock::Status::InUse);
    const QString text =
        QStringLiteral("The Vt520 at 1-1.2 is in use by %1; nothing was sent.").arg(probe.holderText());
    QCOMPARE(questions->messages().size(), 1);
    QCOMPARE(questions->messages().first().label, text);
    QCOMPARE(window->statusBar()->currentMessage(), text);
    QVERIFY(bus.transferLog().isEmpty());
    QVERIFY(button("pushButtonCHF")->isEnabled()); // no change started
    QVERIFY(logLines(*window).isEmpty());
}

// Close during a change, "Yes", then Cancel at the unsaved changes: the
// window stays, no longer waits to close, and a later change ends without
// closing it.
void TestWindowUnits::cancelledCloseIsWithdrawn()
{
    choose("1-1.2");
    window->findChild<QSpinBox *>("spinBoxRiseTime")->setValue(17); // programs not saved
    gate.close();
    questions->answer(fixture.fileName);
    window->slotpushButtonCHF(false);
    QTRY_VERIFY_WITH_TIMEOUT(gate.waiting(), 60000);

    questions->answerMessage(QMessageBox::Yes);
    QVERIFY(!window->close());
    QCOMPARE(window->statusBar()->currentMessage(),
             QStringLiteral("The window closes when the firmware change has ended."));
    questions->answerMessage(QMessageBox::Cancel);
    gate.open();
    waitForChangeEnd();
    QCOMPARE(questions->messages().size(), 2);
    QCOMPARE(questions->messages().last().title, QStringLiteral("Unsaved changes"));
    QVERIFY(window->isVisible());
    QVERIFY(window->statusBar()->currentMessage().isEmpty());

    questions->answer(second.fileName);
    window->slotpushButtonCHF(false);
    waitForChangeEnd();
    QCOMPARE(logLines(*window).last(), UpgradeFixture::doneLine("261100043", "1-1.2"));
    QVERIFY(window->isVisible());
    QCOMPARE(questions->messages().size(), 2); // not even asked about the edits
    QCOMPARE(other->internalFlash(ApplicationBase, ApplicationSize), second.applicationRegion());
}

// The question whether to close once the change has ended is closed when
// the change ends while it is open; the window stays, and closes at once
// when asked again.
void TestWindowUnits::closeQuestionGoesWhenChangeEnds()
{
    auto scripted = std::make_unique<WaitingQuestions>();
    WaitingQuestions *waiting = scripted.get();
    newWindow(std::move(scripted));
    waiting->changeButton = button("pushButtonCHF");
    waiting->gate = &gate;
    choose("1-1.2");
    gate.close();
    waiting->answer(fixture.fileName);
    window->slotpushButtonCHF(false);
    QTRY_VERIFY_WITH_TIMEOUT(gate.waiting(), 60000);

    QVERIFY(!window->close()); // opens the gate and waits with the box open
    QVERIFY(waiting->closedByWindow);
    QVERIFY(button("pushButtonCHF")->isEnabled());
    QVERIFY(window->isVisible());
    QVERIFY(window->statusBar()->currentMessage().isEmpty());
    QCOMPARE(logLines(*window).last(), UpgradeFixture::doneLine("261100043", "1-1.2"));
    QVERIFY(window->close()); // nothing to save, no change: no question
    QCOMPARE(waiting->messages().size(), 1);
}

// The window built for another language goes on with the unit chosen in
// the one before, though it finds two units and would have none chosen.
void TestWindowUnits::languageSwitchKeepsTheChosenUnit()
{
    choose("1-1.2");
    const WindowWork work = window->work();
    newWindow();
    QVERIFY(window->chosenUnit().isEmpty());
    window->resumeWork(work);
    QCOMPARE(window->chosenUnit(), QStringLiteral("1-1.2"));
    QCOMPARE(unitField(), QStringLiteral("Vt520 at 1-1.2 (2 attached)"));
    QTRY_VERIFY(deviceAction("1-1.2")->isChecked());
    vt520sim::Bus::instance().clearTransferLog();
    window->slotpushButtonStatusGet(false);
    QCOMPARE(transfersTo(first->address()), 0);
    QVERIFY(transfersTo(other->address()) > 0);
}

// The Device menu and the unit field in Polish.
void TestWindowUnits::polishTexts()
{
    QTranslator polish;
    QVERIFY(polish.load(QStringLiteral("vt410_pl.qm"), QStringLiteral(VT520_BINARY_DIR "/bin")));
    QCoreApplication::installTranslator(&polish);
    newWindow();
    const QString menu = window->findChild<QMenu *>("menuDevice")->title();
    const QString field = unitField();
    choose("1-1.1");
    const QString chosenField = unitField();
    first->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(unitField() != chosenField, 10000);
    const QString goneField = unitField();
    const QStringList menuTexts = deviceMenuTexts();
    window.reset();
    QCoreApplication::removeTranslator(&polish);

    QCOMPARE(menu, QStringLiteral("&Urządzenie"));
    QCOMPARE(field, QStringLiteral("Podłączonych Vt520: 2; wybierz jeden w menu Urządzenie"));
    QCOMPARE(chosenField, QStringLiteral("Vt520 w 1-1.1 (podłączonych: 2)"));
    QCOMPARE(goneField, QStringLiteral("Brak podłączonego Vt520 na porcie 1-1.1"));
    QCOMPARE(menuTexts, (QStringList{"1-1.2: nr seryjny nieznany, tryb nieznany", "1-1.1: niepodłączony"}));
}

QTEST_MAIN(TestWindowUnits)
#include "test_window_units.moc"
