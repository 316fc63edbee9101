#include "widgets/SceneOverviewAccessible.h"

#include "lighting/SceneRecord.h"
#include "widgets/SceneCellAccessible.h"
#include "widgets/SceneOverview.h"

#include <QCoreApplication>

namespace {

QAccessibleInterface *overviewFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("SceneOverview") && object && object->isWidgetType())
        return new SceneOverviewAccessible(static_cast<SceneOverview *>(object));
    return nullptr;
}

} // namespace

SceneOverviewAccessible::SceneOverviewAccessible(SceneOverview *overview)
    : QAccessibleWidget(overview, QAccessible::Table)
{
}

SceneOverviewAccessible::~SceneOverviewAccessible()
{
    for (QAccessible::Id id : std::as_const(cells))
        QAccessible::deleteAccessibleInterface(id);
}

void SceneOverviewAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(overviewFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

SceneOverview *SceneOverviewAccessible::overview() const
{
    return static_cast<SceneOverview *>(widget());
}

QString SceneOverviewAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name:
        if (!overview()->accessibleName().isEmpty())
            return overview()->accessibleName();
        return QCoreApplication::translate("SceneOverview", "Scene overview");
    case QAccessible::Description:
        return QCoreApplication::translate("SceneOverview",
                                           "Scene %1 of %2 shown. Left, Right, Home and End choose another.")
            .arg(overview()->currentScene() + 1)
            .arg(overview()->sceneCount());
    default:
        return QAccessibleWidget::text(t);
    }
}

int SceneOverviewAccessible::childCount() const
{
    return overview()->sceneCount() * SceneRecord::LampCount;
}

QAccessibleInterface *SceneOverviewAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    auto found = cells.constFind(index);
    if (found != cells.constEnd())
        return QAccessible::accessibleInterface(*found);
    const int scenes = overview()->sceneCount();
    auto *cell = new SceneCellAccessible(overview(), index % scenes, index / scenes);
    cells.insert(index, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

int SceneOverviewAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    for (auto it = cells.constBegin(); it != cells.constEnd(); ++it)
        if (QAccessible::accessibleInterface(it.value()) == child)
            return it.key();
    return -1;
}

QAccessibleInterface *SceneOverviewAccessible::childAt(int x, int y) const
{
    const QPoint local = overview()->mapFromGlobal(QPoint(x, y));
    for (int lamp = 0; lamp < SceneRecord::LampCount; ++lamp)
        for (int scene = 0; scene < overview()->sceneCount(); ++scene)
            if (overview()->cellRect(scene, lamp).contains(local))
                return child(indexOf(scene, lamp, overview()->sceneCount()));
    return nullptr;
}

QAccessibleInterface *SceneOverviewAccessible::focusChild() const
{
    // With the focus on the overview, the first lamp of the scene shown.
    if (!overview()->hasFocus())
        return nullptr;
    return child(indexOf(overview()->currentScene(), 0, overview()->sceneCount()));
}
