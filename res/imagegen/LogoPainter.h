#pragma once

// The product mark, shared by the image generator (logo*.png) and the icon
// generator (the desktop icons): a chrome disc with three overlapping lamp
// beams in red, green and blue, inside a ring. All coordinates are those of
// the 32-pixel logo, scaled to `size`.

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>

namespace LogoPainter {

inline const QColor ChromeLight(250, 250, 250);
inline const QColor ChromeDark(188, 192, 188);
inline const QColor Accent(64, 160, 56);

inline void draw(QPainter &p, qreal size, const QColor &ring)
{
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 32.0;
    QLinearGradient chrome(0, 0, 0, size);
    chrome.setColorAt(0, ChromeLight);
    chrome.setColorAt(1, ChromeDark);
    p.setPen(Qt::NoPen);
    p.setBrush(chrome);
    p.drawEllipse(QRectF(1 * s, 1 * s, 30 * s, 30 * s));
    p.setCompositionMode(QPainter::CompositionMode_Multiply);
    const QPointF centres[] = {{16 * s, 11.5 * s}, {11.5 * s, 19 * s}, {20.5 * s, 19 * s}};
    const QColor colours[] = {QColor(255, 90, 90), QColor(90, 220, 90), QColor(90, 120, 255)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(colours[i]);
        p.drawEllipse(centres[i], 7.5 * s, 7.5 * s);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ring, 1.6 * s));
    p.drawEllipse(QRectF(1.5 * s, 1.5 * s, 29 * s, 29 * s));
}

} // namespace LogoPainter
