#pragma once

#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QPointer>

class SceneOverview;

// One cell of a SceneOverview for assistive technology: lamp `lamp` in scene
// `scene`, named with its colour ("Scene 4, lamp 3: R 255 G 0 B 30"),
// selected while its scene is shown; its press action chooses its scene as
// a click on its column does.
class SceneCellAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    SceneCellAccessible(SceneOverview *overview, int scene, int lamp);

    bool isValid() const override;
    QObject *object() const override;
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString &text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    QPointer<SceneOverview> overview;
    const int scene;
    const int lamp;
};
