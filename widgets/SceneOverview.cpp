#include "widgets/SceneOverview.h"

#include "widgets/SceneOverviewAccessible.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace {
// Preferred cell size: 20 columns of this width fit the narrowest command
// column (the Scenes tab in Polish) with room to spare, so the buttons, not
// the overview, decide the column's width; a wider column gets wider cells.
constexpr int PreferredCellWidth = 7;
constexpr int PreferredCellHeight = 14;
constexpr int MinimumCellWidth = 5;
// Low enough for the window to fit a 1920x1080 screen at 200 % scaling.
constexpr int MinimumCellHeight = 2;
constexpr int MaximumCellWidth = 22;
constexpr int MaximumCellHeight = 16;
// Room for the frame of the current scene around the outermost cells.
constexpr int FrameMargin = 2;
} // namespace

SceneOverview::SceneOverview(int sceneCount, bool showsEndMarkers, QWidget *parent)
    : QWidget(parent)
    , scenes(qMax(1, sceneCount))
    , showsEndMarkers(showsEndMarkers)
{
    // Reached by Tab and by a click; the arrows then move between scenes.
    setFocusPolicy(Qt::StrongFocus);
    SceneOverviewAccessible::install();
    // Lower than its preferred height on a low screen, down to small cells;
    // never taller, where the cells would stop growing anyway.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    // Scene and lamp numbers in a smaller type than the captions beside them.
    QFont small = font();
    if (small.pointSizeF() > 0)
        small.setPointSizeF(qMax(6.0, small.pointSizeF() * 0.8));
    setFont(small);
}

void SceneOverview::setRecordSource(RecordSource newSource)
{
    source = std::move(newSource);
    update();
}

void SceneOverview::setCurrentScene(int scene)
{
    scene = qBound(0, scene, scenes - 1);
    if (scene == current)
        return;
    current = scene;
    update();
    // Assistive technology hears of the new scene: the description names
    // it, and with the focus here the focus moves to its first cell.
    QAccessibleEvent described(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
    if (hasFocus()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(SceneOverviewAccessible::indexOf(current, 0, scenes));
        QAccessible::updateAccessibility(&focus);
    }
}

SceneRecord SceneOverview::record(int scene) const
{
    return source ? source(scene) : SceneRecord{};
}

QColor SceneOverview::cellColour(int scene, int lamp) const
{
    const SceneRecord shown = record(scene);
    return QColor(shown.red(lamp), shown.green(lamp), shown.blue(lamp));
}

bool SceneOverview::endMarkerAt(int scene) const
{
    return showsEndMarkers && record(scene).endMarker() != 0;
}

int SceneOverview::labelWidth() const
{
    return fontMetrics().horizontalAdvance(QString::number(SceneRecord::LampCount)) + 4;
}

int SceneOverview::labelHeight() const
{
    return fontMetrics().height();
}

int SceneOverview::markerHeight() const
{
    return showsEndMarkers ? 7 : 0;
}

QSize SceneOverview::sizeHint() const
{
    // The same width for 20 and for 8 scenes: the widest column decides.
    const int columns = qMax(scenes, 20);
    return QSize(labelWidth() + columns * PreferredCellWidth + 2 * FrameMargin,
                 labelHeight() + 2 * FrameMargin + SceneRecord::LampCount * PreferredCellHeight + markerHeight()
                     + FrameMargin);
}

QSize SceneOverview::minimumSizeHint() const
{
    return QSize(labelWidth() + scenes * MinimumCellWidth + 2 * FrameMargin,
                 labelHeight() + 2 * FrameMargin + SceneRecord::LampCount * MinimumCellHeight + markerHeight()
                     + FrameMargin);
}

SceneOverview::Geometry SceneOverview::geometryFor(const QSize &size) const
{
    Geometry g;
    g.left = labelWidth() + FrameMargin;
    g.top = labelHeight() + FrameMargin;
    g.cellWidth = qBound(MinimumCellWidth, (size.width() - g.left - FrameMargin) / scenes, MaximumCellWidth);
    g.cellHeight =
        qBound(MinimumCellHeight, (size.height() - g.top - markerHeight() - FrameMargin) / SceneRecord::LampCount,
               MaximumCellHeight);
    return g;
}

QRect SceneOverview::cellRect(int scene, int lamp) const
{
    return geometryFor(size()).cell(scene, lamp);
}

int SceneOverview::sceneAt(const QPoint &position) const
{
    const Geometry g = geometryFor(size());
    const int x = position.x() - g.left;
    // The scene numbers above and the markers below belong to the column too.
    if (x < 0 || x >= scenes * g.cellWidth || position.y() < 0
        || position.y() >= g.top + SceneRecord::LampCount * g.cellHeight + markerHeight() + FrameMargin)
        return -1;
    return x / g.cellWidth;
}

void SceneOverview::paintEvent(QPaintEvent *)
{
    const Geometry g = geometryFor(size());
    const int gridWidth = scenes * g.cellWidth;
    const int gridHeight = SceneRecord::LampCount * g.cellHeight;
    QPainter painter(this);

    // Grid background: dark enough to part black cells, light enough to part dark ones.
    painter.fillRect(QRect(g.left - 1, g.top - 1, gridWidth + 1, gridHeight + 1), QColor(128, 128, 128));
    for (int scene = 0; scene < scenes; ++scene) {
        const SceneRecord shown = record(scene);
        for (int lamp = 0; lamp < SceneRecord::LampCount; ++lamp)
            painter.fillRect(g.cell(scene, lamp), QColor(shown.red(lamp), shown.green(lamp), shown.blue(lamp)));
        if (showsEndMarkers && shown.endMarker() != 0) {
            // A small wedge under the column points up at the last scene of the run.
            const int x = g.left + scene * g.cellWidth;
            const int y = g.top + gridHeight + FrameMargin;
            QPainterPath wedge;
            wedge.moveTo(x, y + markerHeight() - 1);
            wedge.lineTo(x + (g.cellWidth - 1) / 2.0, y);
            wedge.lineTo(x + g.cellWidth - 1, y + markerHeight() - 1);
            wedge.closeSubpath();
            painter.fillPath(wedge, QColor(192, 0, 0));
        }
    }

    // Lamp numbers along the left edge, every one where the rows are tall
    // enough, else every second, third... so that they do not overlap.
    const QFontMetrics metrics = fontMetrics();
    painter.setPen(palette().color(QPalette::WindowText));
    int lampStep = 1;
    while (lampStep * g.cellHeight + 2 < metrics.height())
        ++lampStep;
    for (int lamp = 0; lamp < SceneRecord::LampCount; lamp += lampStep)
        painter.drawText(QRect(0, g.top + lamp * g.cellHeight - 3, g.left - FrameMargin - 2, g.cellHeight + 6),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(lamp + 1));

    // Scene numbers along the top: the current one always, the others where
    // they fit (in narrow columns the first and every fifth).
    const auto numberRect = [&](int scene) {
        const int width = metrics.horizontalAdvance(QString::number(scene + 1)) + 2;
        const int centre = g.left + scene * g.cellWidth + g.cellWidth / 2;
        return QRect(centre - width / 2, 0, width, g.top - FrameMargin);
    };
    const bool allNumbersFit = metrics.horizontalAdvance(QString::number(scenes)) + 2 <= g.cellWidth;
    const QRect currentNumber = numberRect(current);
    for (int scene = 0; scene < scenes; ++scene) {
        const bool listed = allNumbersFit || scene == 0 || (scene + 1) % 5 == 0;
        if (scene == current || !listed || numberRect(scene).intersects(currentNumber))
            continue;
        painter.drawText(numberRect(scene), Qt::AlignCenter, QString::number(scene + 1));
    }
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawText(currentNumber.adjusted(-4, 0, 4, 0), Qt::AlignCenter, QString::number(current + 1));

    // The current scene's frame, drawn just outside its cells.
    QPen framePen(palette().color(QPalette::Highlight), 2);
    framePen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(framePen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(g.left + current * g.cellWidth - 1.5, g.top - 1.5, g.cellWidth + 2, gridHeight + 2));

    if (hasFocus()) {
        QPen focusPen(palette().color(QPalette::WindowText), 1, Qt::DotLine);
        painter.setPen(focusPen);
        painter.drawRect(QRect(g.left - FrameMargin - 1, g.top - FrameMargin - 1, gridWidth + 2 * FrameMargin + 1,
                               gridHeight + 2 * FrameMargin + 1));
    }
}

bool SceneOverview::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int scene = sceneAt(help->pos());
        const Geometry g = geometryFor(size());
        const int lamp = (help->pos().y() - g.top) / qMax(1, g.cellHeight);
        // The wedge under a column: what it marks.
        if (scene >= 0 && lamp >= SceneRecord::LampCount && endMarkerAt(scene)) {
            QToolTip::showText(help->globalPos(), tr("Scene %1, end of program: its End Marker is set").arg(scene + 1),
                               this);
            return true;
        }
        if (scene < 0 || help->pos().y() < g.top || lamp >= SceneRecord::LampCount) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        const QColor colour = cellColour(scene, lamp);
        QToolTip::showText(help->globalPos(),
                           tr("Scene %1, lamp %2: R %3, G %4, B %5")
                               .arg(scene + 1)
                               .arg(lamp + 1)
                               .arg(colour.red())
                               .arg(colour.green())
                               .arg(colour.blue()),
                           this, cellRect(scene, lamp));
        return true;
    }
    return QWidget::event(event);
}

void SceneOverview::mousePressEvent(QMouseEvent *event)
{
    const int scene = sceneAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && scene >= 0) {
        emit sceneSelected(scene);
        return;
    }
    QWidget::mousePressEvent(event);
}

void SceneOverview::keyPressEvent(QKeyEvent *event)
{
    int scene = -1;
    switch (event->key()) {
    case Qt::Key_Left:
        scene = current - 1;
        break;
    case Qt::Key_Right:
        scene = current + 1;
        break;
    case Qt::Key_Home:
        scene = 0;
        break;
    case Qt::Key_End:
        scene = scenes - 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (scene >= 0 && scene < scenes && scene != current)
        emit sceneSelected(scene);
}
