// Draws the desktop icons of the program, packaging/icons/vt520-config-<size>.png,
// in the look of the window's own logo (res/images/logo5.png): a chrome disc
// with three overlapping lamp beams in red, green and blue, in a green ring.
//
//     vt520-icongen <output directory>
//
// Drawn rather than scaled, so that the large sizes stay sharp.

#include "LogoPainter.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTextStream>

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    LogoPainter::draw(p, size, LogoPainter::Accent);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

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
