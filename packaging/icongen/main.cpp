// Draws the desktop icons of the program, packaging/icons/vt520-config-<size>.png,
// in the look of the window's own logo (res/images/logo5.png): a chrome disc
// with three overlapping lamp beams in red, green and blue, in a green ring.
//
//     vt520-icongen <output directory>
//
// Drawn rather than scaled, so that the large sizes stay sharp.

#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTextStream>

namespace {

const QColor ChromeLight(250, 250, 250);
const QColor ChromeDark(188, 192, 188);
const QColor Accent(64, 160, 56);

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // All coordinates are those of the 32-pixel logo, scaled.
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
    p.setPen(QPen(Accent, 1.6 * s));
    p.drawEllipse(QRectF(1.5 * s, 1.5 * s, 29 * s, 29 * s));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        QTextStream(stderr) << "usage: vt520-icongen <output directory>\n";
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    int failed = 0;
    for (const int size : {48, 64, 128, 256}) {
        const QString path = output.filePath(QStringLiteral("vt520-config-%1.png").arg(size));
        if (!drawIcon(size).save(path, "PNG")) {
            QTextStream(stderr) << "cannot write " << path << '\n';
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}
