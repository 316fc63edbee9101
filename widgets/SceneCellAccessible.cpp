#include "widgets/SceneCellAccessible.h"

#include "widgets/SceneOverview.h"
#include "widgets/SceneOverviewAccessible.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

SceneCellAccessible::SceneCellAccessible(SceneOverview *overview, int scene, int lamp)
    : overview(overview)
    , scene(scene)
    , lamp(lamp)
{
}

bool SceneCellAccessible::isValid() const
{
    return overview && scene < overview->sceneCount();
}

QObject *SceneCellAccessible::object() const
{
    return nullptr;
}

QWindow *SceneCellAccessible::window() const
{
    return overview ? overview->window()->windowHandle() : nullptr;
}

QAccessibleInterface *SceneCellAccessible::parent() const
{
    return overview ? QAccessible::queryAccessibleInterface(overview.data()) : nullptr;
}

QAccessibleInterface *SceneCellAccessible::child(int) const
{
    return nullptr;
}

int SceneCellAccessible::childCount() const
{
    return 0;
}

int SceneCellAccessible::indexOfChild(const QAccessibleInterface *) const
{
    return -1;
}

QAccessibleInterface *SceneCellAccessible::childAt(int, int) const
{
    return nullptr;
}

QAccessibleInterface *SceneCellAccessible::focusChild() const
{
    return nullptr;
}

QString SceneCellAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return {};
    switch (t) {
    case QAccessible::Name: {
        const QColor colour = overview->cellColour(scene, lamp);
        // The last scene of a program's run says so before its colour.
        const char *const name =
            overview->endMarkerAt(scene)
                ? QT_TRANSLATE_NOOP("SceneOverview", "Scene %1, end of program, lamp %2: R %3 G %4 B %5")
                : QT_TRANSLATE_NOOP("SceneOverview", "Scene %1, lamp %2: R %3 G %4 B %5");
        return QCoreApplication::translate("SceneOverview", name)
            .arg(scene + 1)
            .arg(lamp + 1)
            .arg(colour.red())
            .arg(colour.green())
            .arg(colour.blue());
    }
    case QAccessible::Description:
        return scene == overview->currentScene()
                   ? QCoreApplication::translate("SceneOverview", "In the scene shown")
                   : QCoreApplication::translate("SceneOverview", "Press to show scene %1").arg(scene + 1);
    default:
        return {};
    }
}

void SceneCellAccessible::setText(QAccessible::Text, const QString &)
{
}

QRect SceneCellAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect local = overview->cellRect(scene, lamp);
    return QRect(overview->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role SceneCellAccessible::role() const
{
    return QAccessible::Cell;
}

QAccessible::State SceneCellAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.selectable = true;
    state.selected = scene == overview->currentScene();
    state.invisible = !overview->isVisible();
    return state;
}

void *SceneCellAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface *>(this);
    return nullptr;
}

QStringList SceneCellAccessible::actionNames() const
{
    return {pressAction()};
}

void SceneCellAccessible::doAction(const QString &actionName)
{
    // As a click on the column: the overview asks for the scene.
    if (actionName == pressAction() && isValid())
        emit overview->sceneSelected(scene);
}

QStringList SceneCellAccessible::keyBindingsForAction(const QString &) const
{
    return {};
}
