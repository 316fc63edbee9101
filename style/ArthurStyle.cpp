#include "style/ArthurStyle.h"

#include "widgets/ColorSlider.h"

#include <QGroupBox>
#include <QLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>

// The images are registered at program start by the resource system; asking
// again only makes sure of it and changes nothing when they already are.
// Q_INIT_RESOURCE has to be used outside any namespace.
static void registerEmbeddedImages()
{
    Q_INIT_RESOURCE(vt520_images);
}

namespace {

const QColor WindowColour(241, 241, 241);
const QColor HoverMark(191, 215, 191);
const QColor ButtonHover(31, 127, 31, 63);

QString image(const char *name)
{
    return QStringLiteral(":res/images/") + QLatin1String(name);
}

bool hovered(const QStyleOption *option)
{
    return (option->state & QStyle::State_Enabled) && (option->state & QStyle::State_MouseOver);
}

// A pill lying along the rectangle's width: a rectangle with a half-circle at
// each end, as high as the rectangle.
void drawHoverMark(QPainter *painter, const QRect &rect)
{
    const qreal height = rect.height();
    const qreal half = height / 2;
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRect(QRectF(rect.x() + half, rect.y(), std::max<qreal>(0, rect.width() - height), height));
    path.addEllipse(QRectF(rect.x(), rect.y(), height, height));
    path.addEllipse(QRectF(rect.x() + rect.width() - height, rect.y(), height, height));
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(HoverMark);
    painter->drawPath(path);
    painter->restore();
}

// A pill standing upright: half-circles at top and bottom, as wide as the
// rectangle.
QPainterPath uprightPill(const QRect &rect)
{
    const qreal width = rect.width();
    const qreal half = width / 2;
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRect(QRectF(rect.x(), rect.y() + half, width, std::max<qreal>(0, rect.height() - width)));
    path.addEllipse(QRectF(rect.x(), rect.y(), width, width));
    path.addEllipse(QRectF(rect.x(), rect.y() + rect.height() - width, width, width));
    return path;
}

struct SliderLook {
    QColor colour;
    const char *handle;
    bool named;
};

// The colour sliders of the lamp editor are told apart by object name.
SliderLook sliderLook(const QWidget *widget)
{
    const QString name = widget ? widget->objectName() : QString();
    if (name == QLatin1String("SliderRed"))
        return {QColor(255, 0, 0, 128), "slider_thumb_on_v_red.png", true};
    if (name == QLatin1String("SliderGreen"))
        return {QColor(0, 255, 0, 128), "slider_thumb_on_v_green.png", true};
    if (name == QLatin1String("SliderBlue"))
        return {QColor(0, 0, 255, 128), "slider_thumb_on_v_blue.png", true};
    return {QColor(0, 0, 255, 128), "slider_thumb_on_v_blue.png", false};
}

void drawVerticalSlider(QPainter *painter, const QStyleOptionSlider *slider, const QRect &groove, const QRect &handle,
                        const QWidget *widget)
{
    const QPixmap bar = ArthurStyle::cachedPixmap(image("slider_bar_vertical.png"));
    painter->drawPixmap(QRect(groove.x() + 10, groove.y() + 5, 10, groove.height() - 10), bar);

    const SliderLook look = sliderLook(widget);
    const QRect markArea = slider->rect.adjusted(4, 0, -4, 0);
    const auto *colourSlider = qobject_cast<const ColorSlider *>(widget);
    if (look.named && colourSlider && colourSlider->isSelected()) {
        QLinearGradient fill(markArea.topLeft(), markArea.bottomLeft());
        fill.setColorAt(0, look.colour);
        fill.setColorAt(1, QColor(255, 255, 255, 128));
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(fill);
        painter->drawPath(uprightPill(markArea));
        painter->restore();
    }
    if (hovered(slider)) {
        QColor outline = look.colour;
        outline.setAlpha(255);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(outline, 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        const qreal radius = markArea.width() / 2.0;
        painter->drawRoundedRect(QRectF(markArea).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
        painter->restore();
    }
    painter->drawPixmap(handle.topLeft(), ArthurStyle::cachedPixmap(image(look.handle)));
}

void drawHorizontalSlider(QPainter *painter, const QStyleOptionSlider *slider, const QRect &groove, const QRect &handle)
{
    if (hovered(slider))
        drawHoverMark(painter, slider->rect);
    const QPixmap bar = ArthurStyle::cachedPixmap(image("slider_bar.png"));
    painter->drawPixmap(QRect(groove.x() + 5, groove.y(), groove.width() - 10, bar.height()), bar);
    painter->drawPixmap(handle.topLeft(), ArthurStyle::cachedPixmap(image("slider_thumb_on.png")));
}

void drawGroupBoxFrame(QPainter *painter, const QStyleOption *option)
{
    const QPixmap titleStretch = ArthurStyle::cachedPixmap(image("title_stretch.png"));
    const QPixmap topLeft = ArthurStyle::cachedPixmap(image("groupframe_topleft.png"));
    const QPixmap topRight = ArthurStyle::cachedPixmap(image("groupframe_topright.png"));
    const QPixmap bottomLeft = ArthurStyle::cachedPixmap(image("groupframe_bottom_left.png"));
    const QPixmap bottomRight = ArthurStyle::cachedPixmap(image("groupframe_bottom_right.png"));
    const QPixmap top = ArthurStyle::cachedPixmap(image("groupframe_top_stretch.png"));
    const QPixmap bottom = ArthurStyle::cachedPixmap(image("groupframe_bottom_stretch.png"));
    const QPixmap left = ArthurStyle::cachedPixmap(image("groupframe_left_stretch.png"));
    const QPixmap right = ArthurStyle::cachedPixmap(image("groupframe_right_stretch.png"));

    // The frame starts halfway down the title so the title sits on its edge.
    const QRect frame = option->rect.adjusted(0, titleStretch.height() / 2, 0, 0);
    constexpr int Corner = 14;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(frame), Corner, Corner);
    painter->setClipPath(clip, Qt::IntersectClip);
    QLinearGradient fill(frame.topLeft(), frame.bottomLeft());
    fill.setColorAt(0, QColor(100, 100, 100));
    fill.setColorAt(1, QColor(255, 255, 255));
    painter->fillRect(frame, fill);
    painter->restore();

    painter->drawPixmap(frame.topLeft(), topLeft);
    painter->drawPixmap(frame.right() - Corner + 1, frame.top(), topRight);
    painter->drawPixmap(frame.left(), frame.bottom() - Corner + 1, bottomLeft);
    painter->drawPixmap(frame.right() - Corner + 1, frame.bottom() - Corner + 1, bottomRight);

    const int innerWidth = frame.width() - 2 * Corner;
    const int innerHeight = frame.height() - 2 * Corner;
    if (innerWidth > 0) {
        painter->drawTiledPixmap(QRect(frame.left() + Corner, frame.top(), innerWidth, Corner), top);
        painter->drawTiledPixmap(QRect(frame.left() + Corner, frame.bottom() - Corner + 1, innerWidth, Corner), bottom);
    }
    if (innerHeight > 0) {
        painter->drawTiledPixmap(QRect(frame.left(), frame.top() + Corner, Corner, innerHeight), left);
        painter->drawTiledPixmap(QRect(frame.right() - Corner + 1, frame.top() + Corner, Corner, innerHeight), right);
    }
}

void drawButtonPanel(QPainter *painter, const QStyleOption *option, const QWidget *widget)
{
    // Inside a group box the button stands on a light backdrop that runs
    // over the whole height of the box, so neighbouring buttons line up.
    const QWidget *parent = widget ? widget->parentWidget() : nullptr;
    if (qobject_cast<const QGroupBox *>(parent)) {
        QLinearGradient backdrop(0, 0, 0, parent->height());
        backdrop.setColorAt(0, QColor(224, 224, 224));
        backdrop.setColorAt(1, QColor(255, 255, 255));
        painter->save();
        painter->setBrushOrigin(-widget->mapToParent(QPoint(0, 0)));
        painter->fillRect(option->rect, backdrop);
        painter->restore();
    }

    const bool down = option->state & (QStyle::State_Sunken | QStyle::State_On);
    const QPixmap left =
        ArthurStyle::cachedPixmap(image(down ? "button_pressed_cap_left.png" : "button_normal_cap_left.png"));
    const QPixmap stretch =
        ArthurStyle::cachedPixmap(image(down ? "button_pressed_stretch.png" : "button_normal_stretch.png"));
    const QPixmap right =
        ArthurStyle::cachedPixmap(image(down ? "button_pressed_cap_right.png" : "button_normal_cap_right.png"));

    const QRect r = option->rect;
    painter->drawPixmap(r.topLeft(), left);
    const int stretchWidth = r.width() - left.width() - right.width();
    if (stretchWidth > 0)
        painter->drawTiledPixmap(QRect(r.x() + left.width(), r.y(), stretchWidth, stretch.height()), stretch);
    painter->drawPixmap(r.x() + r.width() - right.width(), r.y(), right);

    if (hovered(option)) {
        const QRect mark(QPoint(r.x() + left.width(), r.y()), QPoint(r.right() - 4, r.bottom() - 6));
        if (mark.isValid())
            painter->fillRect(mark, ButtonHover);
    }
}

void drawProgressFill(QPainter *painter, const QStyleOptionProgressBar *bar)
{
    if (bar->maximum <= 0)
        return;
    const qint64 progress = std::clamp<qint64>(bar->progress, 0, bar->maximum);
    const int width = int(qint64(bar->rect.width()) * progress / bar->maximum) - 1;
    if (width <= 0)
        return;
    const QRect fill(bar->rect.x(), bar->rect.y(), width, bar->rect.height());
    QLinearGradient gradient(fill.topLeft(), fill.bottomRight());
    gradient.setColorAt(0, QColor(0, 0, 0));
    gradient.setColorAt(1, QColor(0, 255, 0));
    painter->fillRect(fill, gradient);
}

void drawGroupBox(QPainter *painter, const QStyleOptionGroupBox *group, const QRect &label)
{
    const QRect r = group->rect;
    const QRect box(QPoint(r.left() + 3, r.top() + 5), QPoint(r.right() - 4, r.bottom() - 5));
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0, QColor(128, 128, 128));
    fill.setColorAt(1, QColor(255, 255, 255, 128));
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(Qt::black, 1));
    painter->setBrush(fill);
    painter->drawRoundedRect(box, 15, 5, Qt::RelativeSize);
    painter->restore();

    if (!(group->subControls & QStyle::SC_GroupBoxLabel) || group->text.isEmpty())
        return;

    const QPixmap capLeft = ArthurStyle::cachedPixmap(image("title_cap_left.png"));
    const QPixmap stretch = ArthurStyle::cachedPixmap(image("title_stretch.png"));
    const QPixmap capRight = ArthurStyle::cachedPixmap(image("title_cap_right.png"));
    painter->drawPixmap(label.left() - capLeft.width(), label.top(), capLeft);
    if (label.width() > 0 && label.height() > 0)
        painter->drawTiledPixmap(label, stretch);
    painter->drawPixmap(label.right() + 1, label.top(), capRight);

    // A soft shadow made of three offset copies, then the white title.
    painter->save();
    painter->setPen(QColor(0, 0, 0, 31));
    painter->drawText(label.translated(0, 1), Qt::AlignCenter, group->text);
    painter->drawText(label.translated(2, 1), Qt::AlignCenter, group->text);
    painter->setPen(QColor(0, 0, 0, 62));
    painter->drawText(label.translated(1, 1), Qt::AlignCenter, group->text);
    painter->setPen(Qt::white);
    painter->drawText(label, Qt::AlignCenter, group->text);
    painter->restore();
}

} // namespace

ArthurStyle::ArthurStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows")))
{
    registerEmbeddedImages();
}

QPixmap ArthurStyle::cachedPixmap(const QString &path)
{
    QPixmap pixmap;
    if (QPixmapCache::find(path, &pixmap))
        return pixmap;
    pixmap = QPixmap::fromImage(QImage(path), Qt::OrderedDither | Qt::OrderedAlphaDither);
    if (!pixmap.isNull())
        QPixmapCache::insert(path, pixmap);
    return pixmap;
}

void ArthurStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    if (auto *group = qobject_cast<QGroupBox *>(widget); group && group->layout()) {
        // Nested boxes need room between their frames; a box of plain
        // controls packs them tightly.
        if (group->findChildren<QGroupBox *>().isEmpty())
            group->layout()->setSpacing(0);
        else
            group->layout()->setContentsMargins(10, 10, 10, 10);
    }
    if (qobject_cast<QPushButton *>(widget) || qobject_cast<QRadioButton *>(widget) || qobject_cast<QSlider *>(widget))
        widget->setAttribute(Qt::WA_Hover);
    if (widget->isWindow()) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, WindowColour);
        widget->setPalette(palette);
    }
}

void ArthurStyle::unpolish(QWidget *widget)
{
    if (qobject_cast<QPushButton *>(widget) || qobject_cast<QRadioButton *>(widget) || qobject_cast<QSlider *>(widget))
        widget->setAttribute(Qt::WA_Hover, false);
    QProxyStyle::unpolish(widget);
}

void ArthurStyle::polish(QPalette &palette)
{
    QProxyStyle::polish(palette);
    palette.setColor(QPalette::Window, WindowColour);
}

void ArthurStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                const QWidget *widget) const
{
    switch (element) {
    case PE_Frame:
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(Qt::white, 1));
        painter->setBrush(option->palette.base());
        painter->drawRoundedRect(option->rect, 25, 25, Qt::RelativeSize);
        painter->restore();
        return;
    case PE_FrameFocusRect:
        return;
    case PE_FrameGroupBox:
        drawGroupBoxFrame(painter, option);
        return;
    case PE_PanelButtonCommand:
        drawButtonPanel(painter, option, widget);
        return;
    case PE_PanelLineEdit:
        if (const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option)) {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(QPen(Qt::black, frame->lineWidth));
            painter->setBrush(option->palette.base());
            painter->drawRoundedRect(option->rect.adjusted(1, 1, -1, -1), 10, 25, Qt::RelativeSize);
            painter->restore();
            return;
        }
        break;
    case PE_IndicatorRadioButton: {
        if (hovered(option))
            drawHoverMark(painter, widget ? widget->rect() : option->rect);
        const char *name = (option->state & State_Sunken) ? "radiobutton-on.png"
                           : (option->state & State_On)   ? "radiobutton_on.png"
                                                          : "radiobutton_off.png";
        painter->drawPixmap(option->rect.topLeft(), cachedPixmap(image(name)));
        return;
    }
    default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void ArthurStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                              const QWidget *widget) const
{
    switch (element) {
    case CE_ProgressBarGroove:
        if (const auto *bar = qstyleoption_cast<const QStyleOptionProgressBar *>(option)) {
            drawProgressFill(painter, bar);
            return;
        }
        break;
    case CE_ProgressBarContents:
        return;
    case CE_RadioButton:
        // Laid out here rather than in the base style, whose own layout
        // would not use this style's indicator and contents rectangles.
        if (const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option)) {
            QStyleOptionButton part = *button;
            part.rect = subElementRect(SE_RadioButtonIndicator, button, widget);
            drawPrimitive(PE_IndicatorRadioButton, &part, painter, widget);
            part.rect = subElementRect(SE_RadioButtonContents, button, widget);
            drawControl(CE_RadioButtonLabel, &part, painter, widget);
            return;
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

QRect ArthurStyle::subElementRect(SubElement element, const QStyleOption *option, const QWidget *widget) const
{
    const QRect whole = widget ? widget->rect() : option->rect;
    QRect r;
    switch (element) {
    case SE_RadioButtonContents:
        r = QRect(QPoint(whole.left() + 20, whole.top()), whole.bottomRight());
        break;
    case SE_RadioButtonClickRect:
        r = whole;
        break;
    default:
        r = QProxyStyle::subElementRect(element, option, widget);
        break;
    }
    if (qobject_cast<const QRadioButton *>(widget))
        r.adjust(5, 0, -5, 0);
    return r;
}

void ArthurStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                                     const QWidget *widget) const
{
    switch (control) {
    case CC_Slider:
        if (const auto *slider = qstyleoption_cast<const QStyleOptionSlider *>(option)) {
            const QRect groove = subControlRect(CC_Slider, option, SC_SliderGroove, widget);
            const QRect handle = subControlRect(CC_Slider, option, SC_SliderHandle, widget);
            if (slider->orientation == Qt::Vertical)
                drawVerticalSlider(painter, slider, groove, handle, widget);
            else
                drawHorizontalSlider(painter, slider, groove, handle);
            return;
        }
        break;
    case CC_GroupBox:
        if (const auto *group = qstyleoption_cast<const QStyleOptionGroupBox *>(option)) {
            drawGroupBox(painter, group, subControlRect(CC_GroupBox, option, SC_GroupBoxLabel, widget));
            return;
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

QRect ArthurStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl subControl,
                                  const QWidget *widget) const
{
    switch (control) {
    case CC_GroupBox:
        if (const auto *group = qstyleoption_cast<const QStyleOptionGroupBox *>(option)) {
            switch (subControl) {
            case SC_GroupBoxFrame:
                return option->rect;
            case SC_GroupBoxContents:
                return QProxyStyle::subControlRect(control, option, subControl, widget).adjusted(0, -8, 0, 0);
            case SC_GroupBoxLabel: {
                const int capLeft = cachedPixmap(image("title_cap_left.png")).width();
                const int capRight = cachedPixmap(image("title_cap_right.png")).width();
                const int height = cachedPixmap(image("title_stretch.png")).height();
                const int titleWidth = group->fontMetrics.horizontalAdvance(group->text) + 20;
                const int left = option->rect.center().x() - titleWidth / 2;
                return QRect(left + capLeft, option->rect.top(), titleWidth - capLeft - capRight, height);
            }
            default:
                break;
            }
        }
        break;
    case CC_Slider:
        if (const auto *slider = qstyleoption_cast<const QStyleOptionSlider *>(option)) {
            QRect r = QProxyStyle::subControlRect(control, option, subControl, widget);
            // Sized to the thumb and bar images.
            if (slider->orientation == Qt::Horizontal) {
                if (subControl == SC_SliderHandle)
                    r.setSize(QSize(13, 27));
                else if (subControl == SC_SliderGroove) {
                    r.setTop(9);
                    r.setBottom(17);
                }
            } else {
                if (subControl == SC_SliderHandle)
                    r.setSize(QSize(27, 13));
                else if (subControl == SC_SliderGroove)
                    r.setWidth(27);
            }
            return r;
        }
        break;
    default:
        break;
    }
    return QProxyStyle::subControlRect(control, option, subControl, widget);
}

int ArthurStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    if (metric == PM_SliderLength)
        return 13;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize ArthurStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                    const QWidget *widget) const
{
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}
