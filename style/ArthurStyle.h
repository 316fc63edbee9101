#pragma once

#include <QPixmap>
#include <QProxyStyle>

// The program's own widget style: the toolkit's "Windows" style with push
// buttons, radio buttons, group boxes, sliders, line edits, frames and
// progress bars painted from the embedded images and soft gradients, and
// hovered and selected controls marked. Everything not drawn here goes to the
// "Windows" style.
class ArthurStyle : public QProxyStyle
{
public:
    ArthurStyle();

    void polish(QWidget *widget) override;
    void unpolish(QWidget *widget) override;
    void polish(QPalette &palette) override;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    QRect subElementRect(SubElement element, const QStyleOption *option,
                         const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl subControl,
                         const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget = nullptr) const override;

    // Loads an image through the pixmap cache (dithered to the screen depth on
    // first use). A missing image gives a null pixmap, which paints nothing.
    static QPixmap cachedPixmap(const QString &path);
};
