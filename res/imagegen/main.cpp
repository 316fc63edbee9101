// Draws every image of res/images/ from code, so that the look of the program
// can be changed in one place and regenerated:
//
//     vt520-imagegen <output directory>
//
// One palette for all: soft grey chrome, green accents, red/green/blue for the
// colour slider thumbs. Pieces that are put together at run time (button caps
// and stretches, group box corners and edges, frame pieces) are cut from one
// drawing each, so that they join and tile without seams.

#include "LogoPainter.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <cmath>

namespace {

// Shared palette.
const QColor ChromeLight(250, 250, 250);
const QColor ChromeMid(226, 228, 226);
const QColor ChromeDark(188, 192, 188);
const QColor Outline(120, 126, 120);
const QColor OutlineSoft(160, 166, 160);
const QColor AccentLight(150, 214, 120);
const QColor Accent(64, 160, 56);
const QColor AccentDark(30, 100, 30);
const QColor Shadow(0, 0, 0, 40);

QString outputDir;
int written = 0;
int failed = 0;

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void save(const QImage &image, const QString &name, const char *format = "PNG")
{
    const QString path = QDir(outputDir).filePath(name);
    if (image.save(path, format)) {
        ++written;
    } else {
        ++failed;
        QTextStream(stderr) << "cannot write " << path << '\n';
    }
}

void savePng(const QImage &image, const QString &name)
{
    // Stored as non-premultiplied ARGB so the files carry plain alpha.
    save(image.convertToFormat(QImage::Format_ARGB32), name);
}

QImage cut(const QImage &image, int x, int y, int width, int height)
{
    return image.copy(x, y, width, height);
}

void antialiased(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QLinearGradient vertical(qreal top, qreal bottom, const QColor &from, const QColor &to)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

QLinearGradient horizontal(qreal left, qreal right, const QColor &from, const QColor &to)
{
    QLinearGradient g(left, 0, right, 0);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

// ---------------------------------------------------------------- buttons

// A whole button drawn at a width where the middle columns are all alike;
// the caps and the stretch are cut from it.
QImage buttonStrip(int width, int height, bool pressed)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    antialiased(p);
    const qreal bodyBottom = height - 3.5;
    // Drop shadow under the body (only for the raised button).
    if (!pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(Shadow);
        p.drawRoundedRect(QRectF(1.5, 2.5, width - 4, bodyBottom - 1), 6, 6);
    }
    const QRectF body(0.5, pressed ? 1.5 : 0.5, width - 4, bodyBottom - 1);
    QLinearGradient fill(0, body.top(), 0, body.bottom());
    if (pressed) {
        fill.setColorAt(0, ChromeDark);
        fill.setColorAt(0.5, ChromeMid);
        fill.setColorAt(1, ChromeLight);
    } else {
        fill.setColorAt(0, ChromeLight);
        fill.setColorAt(0.45, QColor(240, 241, 240));
        fill.setColorAt(0.55, ChromeMid);
        fill.setColorAt(1, QColor(236, 238, 236));
    }
    p.setBrush(fill);
    p.setPen(QPen(pressed ? AccentDark : Outline, 1));
    p.drawRoundedRect(body, 6, 6);
    // Inner highlight line (raised) or inner shade (pressed).
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pressed ? QColor(0, 0, 0, 35) : QColor(255, 255, 255, 200), 1));
    p.drawRoundedRect(body.adjusted(1, 1, -1, -1), 5, 5);
    // A green accent line along the bottom of the face.
    p.setPen(QPen(pressed ? Accent : QColor(Accent.red(), Accent.green(), Accent.blue(), 90), 1));
    p.drawLine(QPointF(6, body.bottom() - 1.5), QPointF(width - 9.5, body.bottom() - 1.5));
    return image;
}

void buttons()
{
    const QImage normal = buttonStrip(10 + 1 + 10, 26, false);
    savePng(cut(normal, 0, 0, 10, 26), "button_normal_cap_left.png");
    savePng(cut(normal, 10, 0, 1, 26), "button_normal_stretch.png");
    savePng(cut(normal, 11, 0, 10, 26), "button_normal_cap_right.png");

    const QImage pressed = buttonStrip(17 + 15 + 17, 25, true);
    savePng(cut(pressed, 0, 0, 17, 25), "button_pressed_cap_left.png");
    savePng(cut(pressed, 17, 0, 15, 25), "button_pressed_stretch.png");
    savePng(cut(pressed, 32, 0, 17, 25), "button_pressed_cap_right.png");
}

// ------------------------------------------------------------- group frame

void groupFrame()
{
    const int c = 14;
    const int size = c + 1 + c;
    QImage image = canvas(size, size);
    QPainter p(&image);
    antialiased(p);
    const QRectF outer(0.5, 0.5, size - 1, size - 1);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 220), 1));
    p.drawRoundedRect(outer.adjusted(1, 1, 0, 0), 12, 12);
    p.setPen(QPen(Outline, 1));
    p.drawRoundedRect(outer.adjusted(0, 0, -1, -1), 12, 12);
    p.end();
    savePng(cut(image, 0, 0, c, c), "groupframe_topleft.png");
    savePng(cut(image, c + 1, 0, c, c), "groupframe_topright.png");
    savePng(cut(image, 0, c + 1, c, c), "groupframe_bottom_left.png");
    savePng(cut(image, c + 1, c + 1, c, c), "groupframe_bottom_right.png");
    savePng(cut(image, c, 0, 1, c), "groupframe_top_stretch.png");
    savePng(cut(image, c, c + 1, 1, c), "groupframe_bottom_stretch.png");
    savePng(cut(image, 0, c, c, 1), "groupframe_left_stretch.png");
    savePng(cut(image, c + 1, c, c, 1), "groupframe_right_stretch.png");
}

// ------------------------------------------------------------ group title

void title()
{
    const int width = 4 + 1 + 4;
    QImage image = canvas(width, 18);
    QPainter p(&image);
    antialiased(p);
    const QRectF tab(0.5, 0.5, width - 1, 17);
    p.setBrush(vertical(0, 18, AccentLight, AccentDark));
    p.setPen(QPen(AccentDark, 1));
    p.drawRoundedRect(tab, 3.5, 3.5);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1));
    p.drawLine(QPointF(3, 1.5), QPointF(width - 3, 1.5));
    p.end();
    savePng(cut(image, 0, 0, 4, 18), "title_cap_left.png");
    savePng(cut(image, 4, 0, 1, 18), "title_stretch.png");
    savePng(cut(image, 5, 0, 4, 18), "title_cap_right.png");
}

// ----------------------------------------------------------- radio buttons

enum class Radio { Off, Checked, Pressed };

QImage radio(Radio state)
{
    QImage image = canvas(12, 14);
    QPainter p(&image);
    antialiased(p);
    const QPointF centre(6, 7);
    QRadialGradient well(centre + QPointF(-1.5, -2), 7);
    if (state == Radio::Pressed) {
        well.setColorAt(0, ChromeMid);
        well.setColorAt(1, ChromeDark);
    } else {
        well.setColorAt(0, Qt::white);
        well.setColorAt(1, ChromeMid);
    }
    p.setBrush(well);
    p.setPen(QPen(state == Radio::Off ? Outline : AccentDark, 1));
    p.drawEllipse(centre, 5.3, 5.3);
    if (state != Radio::Off) {
        QRadialGradient dot(centre + QPointF(-1, -1), 3.5);
        dot.setColorAt(0, state == Radio::Pressed ? Accent : AccentLight);
        dot.setColorAt(1, state == Radio::Pressed ? AccentDark : Accent);
        p.setPen(Qt::NoPen);
        p.setBrush(dot);
        p.drawEllipse(centre, state == Radio::Pressed ? 2.2 : 3.0, state == Radio::Pressed ? 2.2 : 3.0);
    }
    return image;
}

void radios()
{
    savePng(radio(Radio::Off), "radiobutton_off.png");
    savePng(radio(Radio::Checked), "radiobutton_on.png");
    savePng(radio(Radio::Pressed), "radiobutton-on.png");
}

// ----------------------------------------------------------------- sliders

// A groove: a rounded trough with an inner shade, lying along the long side.
QImage groove(int width, int height, bool vertical)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    antialiased(p);
    const qreal thickness = vertical ? width : height;
    const qreal inset = std::max<qreal>(1, (thickness - 7) / 2);
    QRectF trough = vertical ? QRectF(inset, 0.5, width - 2 * inset, height - 1)
                             : QRectF(0.5, inset, width - 1, height - 2 * inset);
    QLinearGradient g = vertical ? horizontal(trough.left(), trough.right(), ChromeDark, ChromeLight)
                                 : ::vertical(trough.top(), trough.bottom(), ChromeDark, ChromeLight);
    p.setBrush(g);
    p.setPen(QPen(OutlineSoft, 1));
    const qreal r = (vertical ? trough.width() : trough.height()) / 2;
    p.drawRoundedRect(trough, r, r);
    return image;
}

// A thumb: a pill lying along the slider's cross direction, in one colour,
// drawn within `body` (the whole image when not given).
QImage thumb(int width, int height, const QColor &light, const QColor &dark, QRectF body = QRectF())
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    antialiased(p);
    if (body.isNull())
        body = QRectF(0.5, 0.5, width - 1.5, height - 1.5);
    const qreal r = std::min(body.width(), body.height()) / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(Shadow);
    p.drawRoundedRect(body.translated(0.7, 0.7), r, r);
    const bool tall = height > width;
    QLinearGradient g =
        tall ? horizontal(body.left(), body.right(), light, dark) : vertical(body.top(), body.bottom(), light, dark);
    p.setBrush(g);
    p.setPen(QPen(dark.darker(140), 1));
    p.drawRoundedRect(body, r, r);
    // Grip line across the middle.
    p.setPen(QPen(QColor(255, 255, 255, 170), 1));
    if (tall)
        p.drawLine(QPointF(body.left() + 2.5, body.center().y()), QPointF(body.right() - 3.5, body.center().y()));
    else
        p.drawLine(QPointF(body.center().x(), body.top() + 2.5), QPointF(body.center().x(), body.bottom() - 3.5));
    return image;
}

void sliders()
{
    savePng(groove(107, 9, false), "slider_bar.png");
    savePng(groove(9, 107, true), "slider_bar_v.png");
    savePng(groove(10, 256, true), "slider_bar_vertical.png");
    savePng(thumb(13, 27, AccentLight, Accent), "slider_thumb_on.png");
    // The colour sliders' thumbs are centred on their bar, which the style
    // draws 10 to 20 pixels from the handle's left edge, and kept narrow
    // enough for the lamp editor's 25-pixel sliders.
    const QRectF colourThumb(6.5, 0.5, 17, 11.5);
    savePng(thumb(27, 13, QColor(255, 150, 140), QColor(200, 30, 30), colourThumb), "slider_thumb_on_v_red.png");
    savePng(thumb(27, 13, AccentLight, Accent, colourThumb), "slider_thumb_on_v_green.png");
    savePng(thumb(27, 13, QColor(140, 170, 255), QColor(30, 60, 200), colourThumb), "slider_thumb_on_v_blue.png");

    // A whole blue slider, groove with the thumb on it.
    QImage blue = canvas(24, 61);
    {
        QPainter p(&blue);
        p.drawImage(QPointF(7.5, 0), groove(9, 61, true));
        p.drawImage(QPointF(0, 24), thumb(24, 13, QColor(140, 170, 255), QColor(30, 60, 200)));
    }
    savePng(blue, "slider_blue.png");

    // A red thumb on the window background, as a plain 24-bit bitmap.
    QImage red(12, 28, QImage::Format_RGB888);
    red.fill(QColor(241, 241, 241));
    {
        QPainter p(&red);
        p.drawImage(0, 0, thumb(12, 28, QColor(255, 150, 140), QColor(200, 30, 30)));
    }
    save(red, "red_slider.bmp", "BMP");
}

// -------------------------------------------------------------------- logos

void logos()
{
    const QColor rings[] = {Accent, AccentDark, Outline, QColor(40, 40, 40)};
    const char *names[] = {"logo5.png", "logo2.png", "logo3.png", "logo4.png"};
    for (int i = 0; i < 4; ++i) {
        QImage image = canvas(32, 32);
        QPainter p(&image);
        LogoPainter::draw(p, 32, rings[i]);
        p.end();
        savePng(image, names[i]);
    }
    QImage bmp(32, 32, QImage::Format_RGB888);
    bmp.fill(QColor(241, 241, 241));
    {
        QPainter p(&bmp);
        LogoPainter::draw(p, 32, LogoPainter::Accent);
    }
    save(bmp, "logo.bmp", "BMP");
}

// -------------------------------------------------------------------- icons

// Icons share one look: a 2-pixel dark outline, light chrome fills, green or
// a signal colour for the one element that tells what the icon does.
QPen iconPen(qreal width = 1.6)
{
    return QPen(QColor(60, 66, 60), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void sheet(QPainter &p, const QRectF &r)
{
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - 6, r.top());
    path.lineTo(r.right(), r.top() + 6);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(iconPen());
    p.setBrush(vertical(r.top(), r.bottom(), Qt::white, ChromeMid));
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 6, r.top()), QPointF(r.right() - 6, r.top() + 6));
    p.drawLine(QPointF(r.right() - 6, r.top() + 6), QPointF(r.right(), r.top() + 6));
}

QImage icon(int size, void (*draw)(QPainter &))
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    antialiased(p);
    draw(p);
    return image;
}

void drawNew(QPainter &p)
{
    sheet(p, QRectF(7, 3, 18, 26));
    p.setPen(QPen(Accent, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22, 19), QPointF(22, 27));
    p.drawLine(QPointF(18, 23), QPointF(26, 23));
}

void drawOpen(QPainter &p)
{
    p.setPen(iconPen());
    p.setBrush(vertical(6, 26, ChromeMid, ChromeDark));
    QPainterPath back;
    back.moveTo(3, 26);
    back.lineTo(3, 7);
    back.lineTo(11, 7);
    back.lineTo(13, 10);
    back.lineTo(26, 10);
    back.lineTo(26, 26);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(vertical(13, 26, AccentLight, Accent));
    QPainterPath front;
    front.moveTo(3, 26);
    front.lineTo(7, 14);
    front.lineTo(30, 14);
    front.lineTo(26, 26);
    front.closeSubpath();
    p.drawPath(front);
}

void drawSave(QPainter &p)
{
    p.setPen(iconPen());
    p.setBrush(vertical(3, 29, ChromeMid, ChromeDark));
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(vertical(17, 28, AccentLight, Accent));
    p.drawRect(QRectF(8, 17, 16, 11));
    p.setPen(QPen(QColor(60, 66, 60), 2));
    p.drawLine(QPointF(19, 6), QPointF(19, 11));
}

void drawCopy(QPainter &p)
{
    sheet(p, QRectF(4, 3, 15, 20));
    sheet(p, QRectF(12, 9, 15, 20));
    p.setPen(QPen(Accent, 1.4));
    for (int y = 16; y <= 25; y += 3)
        p.drawLine(QPointF(15, y), QPointF(24, y));
}

void drawCut(QPainter &p)
{
    p.setPen(iconPen(2));
    p.drawLine(QPointF(10, 3), QPointF(20, 21));
    p.drawLine(QPointF(22, 3), QPointF(12, 21));
    p.setBrush(AccentLight);
    p.drawEllipse(QPointF(9, 24), 4.5, 4.5);
    p.drawEllipse(QPointF(23, 24), 4.5, 4.5);
}

void drawPaste(QPainter &p)
{
    p.setPen(iconPen());
    p.setBrush(vertical(4, 29, QColor(214, 196, 160), QColor(180, 156, 110)));
    p.drawRoundedRect(QRectF(4, 5, 20, 24), 2, 2);
    p.setBrush(ChromeDark);
    p.drawRoundedRect(QRectF(9, 2.5, 10, 5), 1.5, 1.5);
    sheet(p, QRectF(13, 11, 15, 18));
    p.setPen(QPen(Accent, 1.4));
    for (int y = 18; y <= 26; y += 3)
        p.drawLine(QPointF(16, y), QPointF(25, y));
}

void drawInfo(QPainter &p)
{
    p.setPen(iconPen());
    QRadialGradient g(QPointF(12, 10), 18);
    g.setColorAt(0, AccentLight);
    g.setColorAt(1, Accent);
    p.setBrush(g);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 9.5), 2.2, 2.2);
    p.drawRoundedRect(QRectF(14, 13.5, 4, 11), 1.5, 1.5);
}

void drawPlay(QPainter &p)
{
    p.setPen(iconPen());
    p.setBrush(vertical(4, 28, AccentLight, Accent));
    QPainterPath tri;
    tri.moveTo(8, 4);
    tri.lineTo(27, 16);
    tri.lineTo(8, 28);
    tri.closeSubpath();
    p.drawPath(tri);
}

void drawStop(QPainter &p)
{
    p.setPen(iconPen());
    p.setBrush(vertical(5, 26, QColor(255, 150, 140), QColor(200, 30, 30)));
    p.drawRoundedRect(QRectF(5, 5, 21, 21), 3, 3);
}

void drawBlackout(QPainter &p)
{
    p.setPen(iconPen());
    p.setBrush(vertical(3, 29, QColor(90, 90, 90), QColor(10, 10, 10)));
    p.drawEllipse(QPointF(16, 16), 13, 13);
    p.setPen(QPen(QColor(220, 50, 40), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 7), QPointF(25, 25));
}

// A chip with an arrow going in (write) or coming out (read).
void chipArrow(QPainter &p, bool into)
{
    p.setPen(iconPen());
    p.setBrush(vertical(14, 29, QColor(90, 96, 90), QColor(40, 44, 40)));
    p.drawRoundedRect(QRectF(7, 17, 18, 11), 1.5, 1.5);
    p.setPen(QPen(ChromeDark, 1.4));
    for (int x = 10; x <= 22; x += 4) {
        p.drawLine(QPointF(x, 28.5), QPointF(x, 31));
        p.drawLine(QPointF(x, 14.5), QPointF(x, 17));
    }
    QPainterPath arrow;
    if (into) {
        arrow.moveTo(13, 2);
        arrow.lineTo(19, 2);
        arrow.lineTo(19, 8);
        arrow.lineTo(23, 8);
        arrow.lineTo(16, 14);
        arrow.lineTo(9, 8);
        arrow.lineTo(13, 8);
    } else {
        arrow.moveTo(13, 14);
        arrow.lineTo(19, 14);
        arrow.lineTo(19, 8);
        arrow.lineTo(23, 8);
        arrow.lineTo(16, 1);
        arrow.lineTo(9, 8);
        arrow.lineTo(13, 8);
    }
    arrow.closeSubpath();
    p.setPen(QPen(AccentDark, 1.2));
    p.setBrush(vertical(1, 14, AccentLight, Accent));
    p.drawPath(arrow);
}

void drawRead(QPainter &p)
{
    chipArrow(p, false);
}
void drawWrite(QPainter &p)
{
    chipArrow(p, true);
}

void synchro(QPainter &p, const QColor &light, const QColor &dark)
{
    p.setPen(QPen(dark, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QRectF r(6, 6, 20, 20);
    p.drawArc(r, 20 * 16, 140 * 16);
    p.drawArc(r, 200 * 16, 140 * 16);
    p.setPen(QPen(light, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(r, 20 * 16, 140 * 16);
    p.drawArc(r, 200 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(dark);
    QPolygonF head1({QPointF(20, 2), QPointF(29, 9.5), QPointF(19, 13)});
    QPolygonF head2({QPointF(12, 30), QPointF(3, 22.5), QPointF(13, 19)});
    p.drawPolygon(head1);
    p.drawPolygon(head2);
}

void drawSynchroGreen(QPainter &p)
{
    synchro(p, AccentLight, Accent);
}
void drawSynchroRed(QPainter &p)
{
    synchro(p, QColor(255, 150, 140), QColor(200, 30, 30));
}

void drawHelp(QPainter &p)
{
    p.setPen(QPen(AccentDark, 1));
    p.setBrush(vertical(1, 17, AccentLight, Accent));
    p.drawEllipse(QPointF(9, 9), 8, 8);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath q;
    q.moveTo(6.3, 7);
    q.cubicTo(6.3, 3.5, 11.7, 3.5, 11.7, 7);
    q.cubicTo(11.7, 9, 9, 9, 9, 11);
    p.drawPath(q);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(9, 14), 1.2, 1.2);
}

void drawUsb(QPainter &p)
{
    // The USB trident in green on a light disc.
    p.setPen(QPen(OutlineSoft, 1.5));
    p.setBrush(vertical(2, 62, ChromeLight, ChromeMid));
    p.drawEllipse(QPointF(32, 32), 30, 30);
    const QColor green = Accent;
    p.setPen(QPen(green, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(32, 14), QPointF(32, 48));
    QPainterPath left;
    left.moveTo(32, 40);
    left.lineTo(20, 32);
    left.lineTo(20, 26);
    p.drawPath(left);
    QPainterPath right;
    right.moveTo(32, 36);
    right.lineTo(44, 28);
    right.lineTo(44, 23);
    p.drawPath(right);
    p.setPen(Qt::NoPen);
    p.setBrush(green);
    p.drawPolygon(QPolygonF({QPointF(32, 8), QPointF(38, 17), QPointF(26, 17)}));
    p.drawEllipse(QPointF(20, 24), 3.5, 3.5);
    p.drawRect(QRectF(40.5, 18.5, 7, 7));
    p.drawEllipse(QPointF(32, 50), 5, 5);
}

void icons()
{
    struct Icon {
        const char *name;
        int size;
        void (*draw)(QPainter &);
    };
    const Icon list[] = {
        {"new.png", 32, drawNew},
        {"open.png", 32, drawOpen},
        {"save.png", 32, drawSave},
        {"copy.png", 32, drawCopy},
        {"cut.png", 32, drawCut},
        {"paste.png", 32, drawPaste},
        {"info.png", 32, drawInfo},
        {"player_play.png", 32, drawPlay},
        {"blackout.png", 32, drawBlackout},
        {"read.png", 32, drawRead},
        {"write.png", 32, drawWrite},
        {"synchro_green.png", 32, drawSynchroGreen},
        {"synchro_red.png", 32, drawSynchroRed},
        {"player_stop.png", 31, drawStop},
        {"help.png", 18, drawHelp},
        {"USB green 64x64.png", 64, drawUsb},
    };
    for (const Icon &i : list)
        savePng(icon(i.size, i.draw), i.name);
}

// ------------------------------------------------------------------- frame

// A large panel frame with a soft shadow, cut into corners and edges.
void frame()
{
    const int w = 49 + 9 + 49;
    const int h = 49 + 10 + 50;
    QImage image = canvas(w, h);
    QPainter p(&image);
    antialiased(p);
    p.setPen(Qt::NoPen);
    for (int i = 6; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, 10));
        p.drawRoundedRect(QRectF(8 - i + 3, 8 - i + 4, w - 16 + 2 * i - 3, h - 16 + 2 * i - 3), 16 + i, 16 + i);
    }
    const QRectF panel(8.5, 8.5, w - 18, h - 19);
    p.setBrush(vertical(panel.top(), panel.bottom(), ChromeLight, QColor(236, 238, 236)));
    p.setPen(QPen(Outline, 1));
    p.drawRoundedRect(panel, 16, 16);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.drawRoundedRect(panel.adjusted(1, 1, -1, -1), 15, 15);
    p.setPen(QPen(Accent, 2));
    p.drawLine(QPointF(panel.left() + 14, panel.top() + 5), QPointF(panel.right() - 14, panel.top() + 5));
    p.end();
    savePng(cut(image, 0, 0, 49, 49), "frame_topleft.png");
    savePng(cut(image, 49, 0, 9, 49), "frame_top.png");
    savePng(cut(image, 58, 0, 49, 49), "frame_topright.png");
    savePng(cut(image, 0, 49, 49, 10), "frame_left.png");
    savePng(cut(image, 58, 49, 49, 10), "frame_right.png");
    savePng(cut(image, 0, 59, 49, 50), "frame_bottomleft.png");
    savePng(cut(image, 49, 59, 9, 50), "frame_bottom.png");
    savePng(cut(image, 58, 59, 49, 50), "frame_bottomright.png");
}

// ------------------------------------------------------------------- lines

void lines()
{
    struct Line {
        const char *name;
        int width;
        Qt::PenStyle style;
    };
    const Line list[] = {
        {"line_solid.png", 92, Qt::SolidLine},
        {"line_dashed.png", 92, Qt::DashLine},
        {"line_dotted.png", 94, Qt::DotLine},
        {"line_dash_dot.png", 94, Qt::DashDotLine},
        {"line_dash_dot_dot.png", 94, Qt::DashDotDotLine},
    };
    for (const Line &l : list) {
        QImage image = canvas(l.width, 4);
        QPainter p(&image);
        p.setPen(QPen(QColor(60, 66, 60), 2, l.style, Qt::FlatCap));
        p.drawLine(QPointF(1, 2), QPointF(l.width - 1, 2));
        p.end();
        savePng(image, l.name);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: vt520-imagegen <output directory>\n";
        return 2;
    }
    outputDir = args.at(1);
    if (!QDir().mkpath(outputDir)) {
        QTextStream(stderr) << "cannot create " << outputDir << '\n';
        return 1;
    }
    buttons();
    groupFrame();
    title();
    radios();
    sliders();
    logos();
    icons();
    frame();
    lines();
    QTextStream(stdout) << written << " images written to " << outputDir << '\n';
    return failed == 0 ? 0 : 1;
}
