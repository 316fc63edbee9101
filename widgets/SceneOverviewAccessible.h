#pragma once

#include <QAccessibleWidget>
#include <QHash>

class SceneOverview;

// What assistive technology sees of a SceneOverview: a table named "Scene
// overview" whose description says which scene is shown and which keys
// choose another, with one cell per scene and lamp (SceneCellAccessible).
// Cells are made when first asked for and live as long as this interface.
class SceneOverviewAccessible : public QAccessibleWidget
{
public:
    explicit SceneOverviewAccessible(SceneOverview *overview);
    ~SceneOverviewAccessible() override;

    // The factory that QAccessible asks for every object; installed once.
    static void install();

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

    // Children in rows of lamps: index = lamp * scenes + scene.
    static int indexOf(int scene, int lamp, int sceneCount) { return lamp * sceneCount + scene; }

private:
    SceneOverview *overview() const;

    mutable QHash<int, QAccessible::Id> cells;
};
