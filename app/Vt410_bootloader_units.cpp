// The unit the window's device commands go to: the Device menu, the status
// bar's unit field, the question when several units are attached, and the
// lock that keeps other programs off the unit while a command drives it.
#include "app/Vt410_bootloader.h"

#include "app/FirmwareChangeController.h"
#include "app/StatusMessageTimes.h"

#include "app/UserQuestions.h"
#include "firmware/Upgrader.h"
#include "ui_Vt410_bootloader.h"
#include "usb/USBVT350.h"
#include "usb/UnitLock.h"
#include "usb/Vt520Monitor.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include <algorithm>

namespace {

// The name the lock gives other programs for this one.
const char *const LockHolder = "vt520-config";

bool isAttached(const QList<Vt520Monitor::Unit> &units, const QString &portPath)
{
    return std::any_of(units.cbegin(), units.cend(),
                       [&](const Vt520Monitor::Unit &unit) { return unit.portPath == portPath; });
}

// "1-1.2: serial 261100043, application": the unit as the menu and the
// question list it.
QString unitText(const Vt520Monitor::Unit &unit)
{
    const QString serial = unit.serial.isEmpty() ? Vt410_bootloader::tr("serial unknown")
                                                 : Vt410_bootloader::tr("serial %1").arg(unit.serial);
    QString mode;
    switch (unit.mode) {
    case DeviceMode::Application:
        mode = Vt410_bootloader::tr("application");
        break;
    case DeviceMode::Bootloader:
        mode = Vt410_bootloader::tr("bootloader");
        break;
    case DeviceMode::Unknown:
        mode = Vt410_bootloader::tr("mode unknown");
        break;
    }
    return Vt410_bootloader::tr("%1: %2, %3").arg(unit.portPath, serial, mode);
}

} // namespace

void Vt410_bootloader::setUpDeviceMenu()
{
    deviceMenu = new QMenu(tr("&Device"), this);
    deviceMenu->setObjectName(QStringLiteral("menuDevice"));
    // One unit is chosen at a time; the menu marks it.
    deviceGroup = new QActionGroup(deviceMenu);
    deviceGroup->setExclusive(true);
    ui->menuBar->insertMenu(ui->menuLanguage->menuAction(), deviceMenu);

    // Whether a Vt520 is attached, and which one the commands use, always
    // in view; the monitor only lists devices, so it never disturbs a
    // command or a change.
    unitField = new QLabel(this);
    unitField->setObjectName(QStringLiteral("labelAttachedUnit"));
    statusBar()->addPermanentWidget(unitField);
    unitMonitor = new Vt520Monitor(this);
    connect(unitMonitor, &Vt520Monitor::unitsChanged, this, &Vt410_bootloader::followUnits);
    followUnits();
}

void Vt410_bootloader::followUnits()
{
    // A unit alone on the bus is the one meant, when none was chosen. Not
    // while a change runs: the device object is the worker's then.
    const QList<Vt520Monitor::Unit> units = unitMonitor->units();
    if (chosenPort.isEmpty() && units.size() == 1 && !firmwareChange->isChanging())
        chooseUnit(units.first().portPath);
    rebuildDeviceMenu();
    updateUnitField();
}

void Vt410_bootloader::rebuildDeviceMenu()
{
    deviceMenu->clear();

    const QList<Vt520Monitor::Unit> units = unitMonitor->units();
    const auto addUnit = [&](const QString &portPath, const QString &text) {
        QAction *action = deviceMenu->addAction(text);
        action->setObjectName(QStringLiteral("actionDevice_") + portPath);
        action->setData(portPath);
        action->setCheckable(true);
        action->setChecked(portPath == chosenPort);
        // The choice stays while a change runs.
        action->setEnabled(!firmwareChange->isChanging());
        deviceGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, portPath] {
            if (!firmwareChange->isChanging())
                chooseUnit(portPath);
        });
    };
    for (const Vt520Monitor::Unit &unit : units)
        addUnit(unit.portPath, unitText(unit));
    if (!chosenPort.isEmpty() && !isAttached(units, chosenPort))
        addUnit(chosenPort, tr("%1: not attached").arg(chosenPort));
    if (deviceMenu->isEmpty())
        deviceMenu->addAction(Vt520Monitor::statusText({}))->setEnabled(false);
}

void Vt410_bootloader::updateUnitField()
{
    const QList<Vt520Monitor::Unit> units = unitMonitor->units();
    QString text;
    if (units.isEmpty())
        text = Vt520Monitor::statusText(units);
    else if (chosenPort.isEmpty())
        text = tr("%1 Vt520s attached: choose one in the Device menu").arg(units.size());
    else if (!chosenUnitAttached())
        text = tr("No Vt520 attached at %1").arg(chosenPort);
    else if (units.size() == 1)
        text = Vt520Monitor::statusText(units);
    else
        text = tr("Vt520 at %1 (%2 attached)").arg(chosenPort).arg(units.size());
    unitField->setText(text);
}

void Vt410_bootloader::chooseUnit(const QString &portPath)
{
    const bool changed = portPath != chosenPort;
    chosenPort = portPath;
    if (usb->pinnedPort() != portPath) {
        usb->pinToPort(portPath);
        // A handle left open on another unit would still take the commands.
        if (usb->isConnected() && usb->connectedPortPath() != portPath)
            usb->disconnect();
    }
    if (!changed)
        return;
    updateUnitField();
    for (QAction *action : deviceMenu->actions())
        action->setChecked(action->data().toString() == portPath);
    // Listed afresh once the action that made the choice has done its work
    // (the list drops the entry of a chosen unit that had gone).
    QMetaObject::invokeMethod(this, &Vt410_bootloader::rebuildDeviceMenu, Qt::QueuedConnection);
}

bool Vt410_bootloader::chosenUnitAttached() const
{
    return isAttached(unitMonitor->units(), chosenPort);
}

void Vt410_bootloader::setFirmwareChangeClock(Clock *clock)
{
    upgrader->setClock(clock);
}

void Vt410_bootloader::refuseDeviceCommand(const QString &text)
{
    questions->warning(this, tr("Vt520 in use"), text);
    statusBar()->showMessage(text, FailureMessageMs);
}

bool Vt410_bootloader::prepareDeviceCommand()
{
    if (firmwareChange->isChanging()) {
        statusBar()->showMessage(tr("A firmware change is running; nothing was sent."), FailureMessageMs);
        return false;
    }
    // The units as they are now: listing opens none.
    unitMonitor->refresh();
    const QList<Vt520Monitor::Unit> units = unitMonitor->units();
    if (!chosenPort.isEmpty())
        return true;
    if (units.size() == 1) {
        chooseUnit(units.first().portPath);
        return true;
    }
    // None attached: the command finds none and says so.
    if (units.isEmpty())
        return true;
    QStringList items;
    for (const Vt520Monitor::Unit &unit : units)
        items.append(unitText(unit));
    bool ok = false;
    const QString answer =
        questions->item(this, tr("Choose a Vt520"), tr("Several Vt520s are attached. Which one is the command for?"),
                        items, 0, false, &ok);
    const qsizetype index = items.indexOf(answer);
    if (!ok || index < 0)
        return false;
    chooseUnit(units.at(index).portPath);
    return true;
}

bool Vt410_bootloader::holdChosenUnit(std::unique_ptr<UnitLock> &lock)
{
    // A lock this window still holds would stand in its own way.
    lock.reset();
    if (chosenPort.isEmpty())
        return true;
    lock = std::make_unique<UnitLock>(chosenPort);
    switch (lock->take(QLatin1String(LockHolder))) {
    case UnitLock::Status::Taken:
        if (!lock->warning().isEmpty())
            ui->txt->append(lock->warning());
        return true;
    case UnitLock::Status::InUse:
        refuseDeviceCommand(
            tr("The Vt520 at %1 is in use by %2; nothing was sent.").arg(chosenPort, lock->holderText()));
        break;
    case UnitLock::Status::Failed:
        refuseDeviceCommand(tr("The Vt520 at %1 could not be reserved for this program (%2); nothing was sent.")
                                .arg(chosenPort, lock->reason()));
        break;
    }
    lock.reset();
    return false;
}

bool Vt410_bootloader::beginDeviceCommand(std::unique_ptr<UnitLock> &lock)
{
    return prepareDeviceCommand() && holdChosenUnit(lock);
}
