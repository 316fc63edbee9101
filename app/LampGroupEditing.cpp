#include "app/LampGroupEditing.h"

#include "app/LightingTab.h"
#include "lighting/SceneRecord.h"
#include "widgets/MenuMnemonics.h"
#include "widgets/SuperRGB.h"

#include <QMenu>

LampGroupEditing::LampGroupEditing(LightingTab &tab, QObject *parent)
    : QObject(parent)
    , tab(tab)
{
    const QList<SuperRGB *> &lamps = tab.lamps();
    for (int n = 0; n < lamps.size(); ++n) {
        SuperRGB *lamp = lamps.at(n);
        connect(lamp, &SuperRGB::selectedSliderValueChange, this, &LampGroupEditing::moveSelected);
        connect(lamp, &SuperRGB::selectedPercentChange, this, &LampGroupEditing::scaleSelected);
        lamp->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(lamp, &QWidget::customContextMenuRequested, this, [this, lamp, n](const QPoint &position) {
            QMenu *menu = makeContextMenu(n);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(lamp->mapToGlobal(position));
        });
    }
}

// One drag: the edits of every lamp belong to the run the press began, so
// the whole drag is one undo step.
void LampGroupEditing::moveSelected(int value)
{
    for (SuperRGB *lamp : tab.lamps())
        lamp->setValueIfSelected(value);
}

// One press of "+" or "-" is one undo step, whatever was edited before.
void LampGroupEditing::scaleSelected(int percent)
{
    tab.startEditRun();
    for (SuperRGB *lamp : tab.lamps())
        lamp->changePercentifSelected(percent);
    tab.startEditRun();
}

void LampGroupEditing::select(Components components, bool state)
{
    for (SuperRGB *lamp : tab.lamps()) {
        if (components & Red)
            lamp->selectRed(state);
        if (components & Green)
            lamp->selectGreen(state);
        if (components & Blue)
            lamp->selectBlue(state);
    }
}

void LampGroupEditing::applyColour(int from, bool selectedOnly)
{
    const QList<SuperRGB *> &lamps = tab.lamps();
    if (from < 0 || from >= lamps.size())
        return;
    const QColor colour = lamps.at(from)->color();
    SceneRecord record = tab.recordOnDisplay();
    const int count = qMin(int(lamps.size()), SceneRecord::LampCount);
    for (int n = 0; n < count; ++n) {
        if (!selectedOnly || lamps.at(n)->hasSelectedSlider())
            record.setLamp(n, quint8(colour.red()), quint8(colour.green()), quint8(colour.blue()));
    }
    tab.replaceSelectedRecord(record, selectedOnly ? tr("Colour to Selected Lamps") : tr("Colour to All Lamps"));
}

void LampGroupEditing::setSelectionActions(const QList<QAction *> &actions)
{
    selectionActions = actions;
}

QMenu *LampGroupEditing::makeContextMenu(int lamp)
{
    auto *menu = new QMenu(tab.lamps().value(lamp));
    menu->setObjectName(QStringLiteral("lampContextMenu"));
    menu->addActions(selectionActions);
    menu->addSeparator();
    QAction *toSelected = menu->addAction(tr("Apply this colour to the selected &lamps"));
    toSelected->setObjectName(QStringLiteral("actionColourToSelectedLamps"));
    connect(toSelected, &QAction::triggered, this, [this, lamp] { applyColour(lamp, true); });
    QAction *toAll = menu->addAction(tr("Apply &this colour to all lamps"));
    toAll->setObjectName(QStringLiteral("actionColourToAllLamps"));
    connect(toAll, &QAction::triggered, this, [this, lamp] { applyColour(lamp, false); });
    MenuMnemonics::complete(menu->actions());
    return menu;
}
