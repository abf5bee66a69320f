// Draws the terminal's image list into PNG files, once, when the pictures change:
//   r4xx-draw-icons <icon folder> <program icon theme folder>
// Every picture is drawn on a 16-unit grid and written at 16 and 32 pixels (name@2x.png); the
// controller's picture is also the program's icon, written in the icon theme's sizes as
// <theme folder>/<N>x<N>/apps/r4xx-terminal.png.

#include <cmath>
#include <initializer_list>
#include <functional>
#include <map>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

using Picture = std::function<void(QPainter&)>;

const QColor Outline(0x30, 0x30, 0x38);
const QColor Blue(0x2F, 0x6F, 0xC8);
const QColor LightBlue(0xA8, 0xC8, 0xF0);
const QColor Green(0x2E, 0x9B, 0x45);
const QColor Board(0x2E, 0x7D, 0x4A);
const QColor Gold(0xE0, 0xB0, 0x40);
const QColor Orange(0xE8, 0x7A, 0x1E);
const QColor Red(0xD0, 0x3A, 0x30);
const QColor Yellow(0xF2, 0xC8, 0x4B);
const QColor Grey(0x8A, 0x8F, 0x98);
const QColor Chip(0x2A, 0x2A, 0x30);

QPen pen(const QColor& color, double width = 1.0)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void window(QPainter& p, const QRectF& r)
{
    p.setPen(pen(Outline, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(Blue);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), 2.5));
}

// A path through the points, closed back to the first one when asked.
QPainterPath polyline(std::initializer_list<QPointF> points, bool closed = false)
{
    QPainterPath path;
    path.moveTo(*points.begin());
    for (auto point = points.begin() + 1; point != points.end(); ++point)
        path.lineTo(*point);
    if (closed)
        path.closeSubpath();
    return path;
}

void chip(QPainter& p, const QRectF& body)
{
    p.setPen(pen(Grey, 0.9));
    for (double x = body.left() + 1.5; x < body.right() - 0.5; x += 2.5) {
        p.drawLine(QPointF(x, body.top() - 1.5), QPointF(x, body.top()));
        p.drawLine(QPointF(x, body.bottom()), QPointF(x, body.bottom() + 1.5));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Chip);
    p.drawRoundedRect(body, 0.8, 0.8);
}

void arrowDown(QPainter& p, double x, double top, double bottom, const QColor& color)
{
    const QPainterPath path = polyline(
        { { x - 1.6, top }, { x + 1.6, top }, { x + 1.6, bottom - 4 }, { x + 3.8, bottom - 4 },
            { x, bottom }, { x - 3.8, bottom - 4 }, { x - 1.6, bottom - 4 } },
        true);
    p.setPen(pen(color.darker(140), 0.7));
    p.setBrush(color);
    p.drawPath(path);
}

void controllerBox(QPainter& p, const QRectF& r)
{
    p.setPen(pen(Outline, 0.8));
    p.setBrush(QColor(0xD8, 0xDC, 0xE2));
    p.drawRoundedRect(r, 1.2, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawEllipse(QPointF(r.right() - 2.2, r.center().y()), 1.1, 1.1);
    p.setBrush(Grey);
    p.drawRect(QRectF(r.left() + 1.8, r.center().y() - 0.6, r.width() - 6.5, 1.2));
}

void floppy(QPainter& p, const QRectF& r)
{
    const double u = r.width() / 14.0;
    p.setPen(pen(Blue.darker(160), 0.8));
    p.setBrush(Blue);
    QPainterPath body;
    body.moveTo(r.left(), r.top());
    body.lineTo(r.right() - 2 * u, r.top());
    body.lineTo(r.right(), r.top() + 2 * u);
    body.lineTo(r.right(), r.bottom());
    body.lineTo(r.left(), r.bottom());
    body.closeSubpath();
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(r.left() + 2.5 * u, r.top() + 0.8 * u, 8 * u, 5 * u));
    p.setBrush(QColor(0xD0, 0xD4, 0xDA));
    p.drawRect(QRectF(r.left() + 3 * u, r.bottom() - 5.5 * u, 8 * u, 5.5 * u));
    p.setBrush(Chip);
    p.drawRect(QRectF(r.left() + 4.5 * u, r.bottom() - 4.5 * u, 2 * u, 3.5 * u));
}

void bolt(QPainter& p, const QPointF& at, double size, const QColor& color)
{
    QPainterPath path;
    path.moveTo(at + QPointF(0.2, -size));
    path.lineTo(at + QPointF(-0.5 * size, 0.15 * size));
    path.lineTo(at + QPointF(0.0, 0.15 * size));
    path.lineTo(at + QPointF(-0.2, size));
    path.lineTo(at + QPointF(0.5 * size, -0.15 * size));
    path.lineTo(at + QPointF(0.0, -0.15 * size));
    path.closeSubpath();
    p.setPen(pen(color.darker(150), 0.5));
    p.setBrush(color);
    p.drawPath(path);
}

void infoBadge(QPainter& p, const QPointF& centre, double radius)
{
    p.setPen(pen(Blue.darker(150), 0.8));
    p.setBrush(Blue);
    p.drawEllipse(centre, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const double s = radius / 7.0;
    p.drawEllipse(centre + QPointF(0, -3.6 * s), 1.1 * s, 1.1 * s);
    p.drawRoundedRect(QRectF(centre.x() - 1.0 * s, centre.y() - 1.6 * s, 2.0 * s, 6.0 * s), 0.6 * s,
                      0.6 * s);
}

void pcb(QPainter& p, const QRectF& r)
{
    p.setPen(pen(Board.darker(160), 0.8));
    p.setBrush(Board);
    p.drawRoundedRect(r, 1, 1);
    p.setPen(pen(Gold, 0.6));
    p.drawLine(QPointF(r.left() + 1, r.bottom() - 1.5), QPointF(r.right() - 1, r.bottom() - 1.5));
}

const std::map<int, Picture>& pictures()
{
    static const std::map<int, Picture> all{
        {7, [](QPainter& p) { // open: a folder whose front is lifted
             p.setPen(pen(QColor(0x9A, 0x70, 0x20), 0.8));
             p.setBrush(QColor(0xD9, 0xA4, 0x3A));
             const QPainterPath back = polyline(
                 { { 1, 3 }, { 6, 3 }, { 7.5, 4.5 }, { 13, 4.5 }, { 13, 13.5 }, { 1, 13.5 } },
                 true);
             p.drawPath(back);
             p.setBrush(Yellow);
             const QPainterPath front
                 = polyline({ { 3.5, 7 }, { 15.5, 7 }, { 13, 13.5 }, { 1, 13.5 } }, true);
             p.drawPath(front);
         }},
        {8, [](QPainter& p) { floppy(p, QRectF(1.5, 1.5, 13, 13)); }},
        {9, [](QPainter& p) { // save as: a floppy and a pencil
             floppy(p, QRectF(0.5, 0.5, 11, 11));
             p.save();
             p.translate(11.5, 10.5);
             p.rotate(45);
             p.setPen(pen(Outline, 0.6));
             p.setBrush(Orange);
             p.drawRect(QRectF(-1.4, -6, 2.8, 7.5));
             const QPainterPath tip = polyline({ { -1.4, 1.5 }, { 1.4, 1.5 }, { 0, 4.2 } }, true);
             p.setBrush(QColor(0xF0, 0xD8, 0xB0));
             p.drawPath(tip);
             p.restore();
         }},
        {16, [](QPainter& p) { // side by side
             window(p, QRectF(1, 1.5, 6.5, 13));
             window(p, QRectF(8.5, 1.5, 6.5, 13));
         }},
        {17, [](QPainter& p) { // one above another
             window(p, QRectF(1.5, 1, 13, 6.5));
             window(p, QRectF(1.5, 8.5, 13, 6.5));
         }},
        {18, [](QPainter& p) { // cascade
             window(p, QRectF(0.5, 0.5, 9.5, 8));
             window(p, QRectF(3.5, 3.5, 9.5, 8));
             window(p, QRectF(6, 6.5, 9.5, 8.5));
         }},
        {42, [](QPainter& p) { // statistics: a bar chart
             p.setPen(Qt::NoPen);
             p.setBrush(Green);
             p.drawRect(QRectF(2.5, 8, 3, 6));
             p.setBrush(Blue);
             p.drawRect(QRectF(6.5, 3, 3, 11));
             p.setBrush(Orange);
             p.drawRect(QRectF(10.5, 6, 3, 8));
             p.setPen(pen(Outline, 1));
             p.drawLine(QPointF(1, 1.5), QPointF(1, 14.5));
             p.drawLine(QPointF(1, 14.5), QPointF(15, 14.5));
         }},
        {43, [](QPainter& p) { // board info: a board and an information badge
             pcb(p, QRectF(0.5, 2.5, 13, 10));
             chip(p, QRectF(2.5, 5, 5, 4));
             infoBadge(p, QPointF(11.5, 11.5), 4.2);
         }},
        {45, [](QPainter& p) { // read: out of the controller
             controllerBox(p, QRectF(1, 1, 14, 5));
             arrowDown(p, 8, 6.5, 15.5, Green);
         }},
        {46, [](QPainter& p) { // write: into the controller
             arrowDown(p, 8, 0.5, 9.5, Orange);
             controllerBox(p, QRectF(1, 10, 14, 5));
         }},
        {49, [](QPainter& p) { // trace: a pulse train on a screen
             p.setPen(pen(Outline, 0.8));
             p.setBrush(QColor(0x10, 0x28, 0x18));
             p.drawRoundedRect(QRectF(0.5, 2, 15, 12), 1.5, 1.5);
             p.setPen(pen(QColor(0x60, 0xF0, 0x80), 1.1));
             p.setBrush(Qt::NoBrush);
             const QPainterPath trace = polyline({ { 2, 10 }, { 4, 10 }, { 4, 5 }, { 7, 5 },
                 { 7, 10 }, { 9, 10 }, { 9, 5 }, { 11, 5 }, { 11, 10 }, { 14, 10 } });
             p.drawPath(trace);
         }},
        {50, [](QPainter& p) { // service: a wrench
             p.save();
             p.translate(8, 8);
             p.rotate(-45);
             p.setPen(pen(QColor(0x50, 0x55, 0x60), 0.8));
             p.setBrush(QColor(0xB8, 0xBE, 0xC8));
             QPainterPath wrench;
             wrench.addRoundedRect(QRectF(-1.6, -1.5, 3.2, 8.5), 1.2, 1.2);
             wrench.addEllipse(QPointF(0, -3.5), 3.6, 3.6);
             QPainterPath jaw;
             jaw.addRect(QRectF(-1.3, -8, 2.6, 4.8));
             p.drawPath(wrench.simplified().subtracted(jaw));
             p.restore();
         }},
        {51, [](QPainter& p) { // firmware: a chip being charged
             chip(p, QRectF(2, 5, 12, 8));
             bolt(p, QPointF(8, 9), 4.2, Yellow);
         }},
        {65, [](QPainter& p) { // the controller
             pcb(p, QRectF(0.5, 2, 15, 12));
             chip(p, QRectF(2.5, 4.5, 6, 5));
             chip(p, QRectF(10, 4.5, 3.5, 3.5));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(0x90, 0xF0, 0x90));
             p.drawEllipse(QPointF(12, 11), 1, 1);
         }},
        {66, [](QPainter& p) { // codec: a sound wave turned into samples
             p.setPen(pen(Blue, 1.2));
             p.setBrush(Qt::NoBrush);
             QPainterPath wave;
             wave.moveTo(1, 8);
             for (int i = 1; i <= 14; ++i)
                 wave.lineTo(1 + i * 0.5, 8 - 5 * std::sin(i * 0.5 * 3.14159 / 3.5));
             p.drawPath(wave);
             p.setPen(pen(Orange, 1.2));
             QPainterPath steps;
             steps.moveTo(8.5, 8);
             const double levels[] = {8, 4, 3, 6, 11, 12, 9};
             for (int i = 0; i < 7; ++i) {
                 steps.lineTo(8.5 + i, levels[i]);
                 steps.lineTo(9.5 + i, levels[i]);
             }
             p.drawPath(steps);
         }},
        {67, [](QPainter& p) { infoBadge(p, QPointF(8, 8), 7); }},
        {68, [](QPainter& p) { // audio amplifier: a loudspeaker and its sound
             p.setPen(pen(Outline, 0.8));
             p.setBrush(Grey);
             const QPainterPath speaker = polyline(
                 { { 1, 5.5 }, { 4, 5.5 }, { 8, 2 }, { 8, 14 }, { 4, 10.5 }, { 1, 10.5 } }, true);
             p.drawPath(speaker);
             p.setPen(pen(Blue, 1.1));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(6, 4.5, 6, 7), -50 * 16, 100 * 16);
             p.drawArc(QRectF(5, 2, 10, 12), -50 * 16, 100 * 16);
         }},
        {70, [](QPainter& p) { // devices: a row of parts on a board
             pcb(p, QRectF(0.5, 3, 15, 10));
             chip(p, QRectF(2, 5.5, 3.5, 4));
             chip(p, QRectF(6.3, 5.5, 3.5, 4));
             chip(p, QRectF(10.6, 5.5, 3.5, 4));
         }},
        {71, [](QPainter& p) { // vocoder: a microphone
             p.setPen(pen(Outline, 0.8));
             p.setBrush(QColor(0x60, 0x66, 0x70));
             p.drawRoundedRect(QRectF(5.5, 1, 5, 8.5), 2.5, 2.5);
             p.setBrush(Qt::NoBrush);
             p.setPen(pen(Outline, 1.1));
             p.drawArc(QRectF(3.5, 4, 9, 8), 180 * 16, 180 * 16);
             p.drawLine(QPointF(8, 12), QPointF(8, 14.5));
             p.drawLine(QPointF(5.5, 14.5), QPointF(10.5, 14.5));
         }},
        {72, [](QPainter& p) { // recorder: a cassette
             p.setPen(pen(Outline, 0.8));
             p.setBrush(QColor(0x55, 0x4A, 0x40));
             p.drawRoundedRect(QRectF(0.5, 3, 15, 10), 1.2, 1.2);
             p.setBrush(QColor(0xF0, 0xE8, 0xD8));
             p.setPen(Qt::NoPen);
             p.drawRect(QRectF(2.5, 5, 11, 4.5));
             p.setBrush(Chip);
             p.drawEllipse(QPointF(5.5, 7.2), 1.4, 1.4);
             p.drawEllipse(QPointF(10.5, 7.2), 1.4, 1.4);
             p.setBrush(Red);
             p.drawEllipse(QPointF(8, 11.4), 1.1, 1.1);
         }},
        {73, [](QPainter& p) { // network: three linked hosts
             p.setPen(pen(Outline, 1));
             p.drawLine(QPointF(8, 4), QPointF(3.5, 12));
             p.drawLine(QPointF(8, 4), QPointF(12.5, 12));
             p.drawLine(QPointF(3.5, 12), QPointF(12.5, 12));
             p.setPen(pen(Blue.darker(150), 0.8));
             p.setBrush(LightBlue);
             for (const QPointF c : {QPointF(8, 4), QPointF(3.5, 12), QPointF(12.5, 12)})
                 p.drawEllipse(c, 2.8, 2.8);
         }},
        {74, [](QPainter& p) { // connection: two chain links
             p.setBrush(Qt::NoBrush);
             p.save();
             p.translate(8, 8);
             p.rotate(-45);
             p.setPen(pen(Grey.darker(130), 2.0));
             p.drawRoundedRect(QRectF(-7, -2.5, 8.5, 5), 2.5, 2.5);
             p.setPen(pen(Blue, 2.0));
             p.drawRoundedRect(QRectF(-1.5, -2.5, 8.5, 5), 2.5, 2.5);
             p.restore();
         }},
        {75, [](QPainter& p) { // link channel: an antenna on the air
             p.setPen(pen(Outline, 1.2));
             p.drawLine(QPointF(8, 6), QPointF(8, 15));
             p.drawLine(QPointF(8, 9), QPointF(5, 15));
             p.drawLine(QPointF(8, 9), QPointF(11, 15));
             p.setPen(Qt::NoPen);
             p.setBrush(Red);
             p.drawEllipse(QPointF(8, 5), 1.5, 1.5);
             p.setPen(pen(Blue, 1.1));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(4, 1, 8, 8), 30 * 16, 120 * 16);
             p.drawArc(QRectF(1, -2, 14, 14), 35 * 16, 110 * 16);
         }},
        {76, [](QPainter& p) { // tasks: a checklist
             p.setPen(pen(Outline, 0.8));
             p.setBrush(QColor(0xF4, 0xF1, 0xE6));
             p.drawRoundedRect(QRectF(2, 1.5, 12, 13.5), 1, 1);
             p.setBrush(Grey);
             p.drawRect(QRectF(5.5, 0.5, 5, 2.2));
             for (double y : {5.5, 8.5, 11.5}) {
                 p.setPen(pen(Green, 1.1));
                 p.drawLine(QPointF(3.6, y), QPointF(4.6, y + 1));
                 p.drawLine(QPointF(4.6, y + 1), QPointF(6.4, y - 1));
                 p.setPen(pen(Grey, 1));
                 p.drawLine(QPointF(7.8, y), QPointF(12.2, y));
             }
         }},
    };
    return all;
}

QImage render(const Picture& picture, int pixels)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(pixels / 16.0, pixels / 16.0);
    picture(painter);
    return image;
}

// The sizes desktops look for in the hicolor theme; 64 pixels is the one software centres need.
bool writeProgramIcons(const QDir& theme)
{
    for (int pixels : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(pixels);
        if (!theme.mkpath(folder)
            || !render(pictures().at(65), pixels)
                    .save(theme.filePath(folder + QStringLiteral("/r4xx-terminal.png"))))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    for (const auto& [index, picture] : pictures()) {
        const QString base = QStringLiteral("%1").arg(index, 2, 10, QChar(u'0'));
        if (!render(picture, 16).save(folder.filePath(base + QStringLiteral(".png")))
            || !render(picture, 32).save(folder.filePath(base + QStringLiteral("@2x.png"))))
            return 1;
    }
    if (argc > 2 && !writeProgramIcons(QDir(QString::fromLocal8Bit(argv[2]))))
        return 1;
    return 0;
}
