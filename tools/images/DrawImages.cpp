// Draws the program's images (ImageList1 and the program icon) into PNG files, the program
// icon at every size of the desktop's icon theme, and the icon of the Windows programs into
// tolvane.ico. Run it once when a drawing changes and commit its output:
//   cmake --build build --target tolvane_draw_images
//   QT_QPA_PLATFORM=offscreen build/bin/tolvane_draw_images src/app/images dist/linux/icons
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>

namespace {

QImage NewImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// 0: a green check mark (a converted batch row).
QImage DrawCheck()
{
    QImage image = NewImage(16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.0, 12.5);
    tick.lineTo(13.5, 3.5);
    p.setPen(QPen(QColor(0x1b, 0x5e, 0x20), 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.setPen(QPen(QColor(0x43, 0xc0, 0x4a), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    return image;
}

// 1: a red cross (a failed batch row).
QImage DrawCross()
{
    QImage image = NewImage(16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath cross;
    cross.moveTo(3.5, 3.5);
    cross.lineTo(12.5, 12.5);
    cross.moveTo(12.5, 3.5);
    cross.lineTo(3.5, 12.5);
    p.setPen(QPen(QColor(0x8e, 0x10, 0x10), 4.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(cross);
    p.setPen(QPen(QColor(0xe5, 0x39, 0x35), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(cross);
    return image;
}

// One flat map sheet seen at a slant, its top corner at (cx, top).
QPolygonF Sheet(double cx, double top, double halfWidth, double halfHeight)
{
    return QPolygonF({QPointF(cx, top), QPointF(cx + halfWidth, top + halfHeight),
                      QPointF(cx, top + 2 * halfHeight),
                      QPointF(cx - halfWidth, top + halfHeight)});
}

// The three sheets of a data item's layers, bottom to top: their colours and top edges.
const QColor kSheetFills[] = {QColor(0x6d, 0xb3, 0x3f), QColor(0xf2, 0xc1, 0x4e),
                              QColor(0x4a, 0x90, 0xd9)};
constexpr double kSheetTops[] = {6.5, 4.0, 1.5};

// 2: stacked map layers (a data item), drawn on a 16 x 16 grid scaled to `size`.
QImage DrawLayers(int size)
{
    QImage image = NewImage(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 16.0;
    p.scale(s, s);
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(QColor(0x26, 0x32, 0x38), 0.9));
        p.setBrush(kSheetFills[i]);
        p.drawPolygon(Sheet(8.0, kSheetTops[i], 7.0, 3.8));
    }
    // A road and a river on the top sheet.
    p.setPen(QPen(QColor(0xff, 0xff, 0xff), 0.9));
    p.drawLine(QPointF(4.5, 5.3), QPointF(10.5, 2.8));
    p.setPen(QPen(QColor(0x1c, 0x4f, 0x8a), 0.9));
    p.drawLine(QPointF(6.0, 7.5), QPointF(11.5, 4.8));
    return image;
}

// The program icon at `size` px. Up to 32 px the data item's layers as they are; larger, the
// same sheets with finer edges and a mesh of the KSJ grid on the top sheet.
QImage DrawProgramIcon(int size)
{
    if (size <= 32) {
        return DrawLayers(size);
    }
    QImage image = NewImage(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 16.0;
    p.scale(s, s);
    const QColor edge(0x26, 0x32, 0x38);
    const double pen = 10.0 / size + 0.25; // 0.46 at 48 px, 0.29 at 256 px (in 1/16)
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(edge, pen, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
        p.setBrush(kSheetFills[i]);
        p.drawPolygon(Sheet(8.0, kSheetTops[i], 7.0, 3.8));
    }
    // The mesh: lines parallel to the top sheet's edges, clipped to it.
    const QPolygonF top = Sheet(8.0, kSheetTops[2], 7.0, 3.8);
    QPainterPath clip;
    clip.addPolygon(top);
    p.save();
    p.setClipPath(clip);
    p.setPen(QPen(QColor(0xff, 0xff, 0xff, 0x70), pen * 0.6));
    const QPointF a = top[0], b = top[1], d = top[3];
    for (int k = 1; k < 4; ++k) {
        const double t = k / 4.0;
        p.drawLine(a + (d - a) * t, b + (top[2] - b) * t);
        p.drawLine(a + (b - a) * t, d + (top[2] - d) * t);
    }
    p.restore();
    // A road and a river on the top sheet.
    p.setPen(QPen(QColor(0xff, 0xff, 0xff), pen * 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4.5, 5.3), QPointF(10.5, 2.8));
    QPainterPath river;
    river.moveTo(5.6, 7.7);
    river.cubicTo(QPointF(7.5, 6.0), QPointF(9.0, 7.0), QPointF(11.6, 4.9));
    p.setPen(QPen(QColor(0x1c, 0x4f, 0x8a), pen * 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(river);
    return image;
}

// 3: a yellow folder (a category).
QImage DrawFolder()
{
    QImage image = NewImage(16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor edge(0x9a, 0x6b, 0x00);
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6.0, 3.5);
    back.lineTo(7.5, 5.0);
    back.lineTo(14.5, 5.0);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.setPen(QPen(edge, 1.0));
    p.setBrush(QColor(0xe8, 0xb4, 0x1c));
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(3.0, 7.0);
    front.lineTo(15.5, 7.0);
    front.lineTo(14.5, 13.5);
    front.closeSubpath();
    p.setBrush(QColor(0xff, 0xd8, 0x4d));
    p.drawPath(front);
    return image;
}

void Put16(QByteArray& out, unsigned value)
{
    out.append(static_cast<char>(value & 0xFFU));
    out.append(static_cast<char>((value >> 8) & 0xFFU));
}

void Put32(QByteArray& out, unsigned value)
{
    Put16(out, value & 0xFFFFU);
    Put16(out, value >> 16);
}

// An icon file of `images`, each stored as PNG (Windows Vista and later read that): a header,
// one 16-byte entry per image, then the images.
bool SaveIcon(const QList<QImage>& images, const QString& fileName)
{
    QList<QByteArray> pngs;
    for (const QImage& image : images) {
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
            return false;
        }
        pngs.append(png);
    }
    QByteArray out;
    Put16(out, 0); // reserved
    Put16(out, 1); // an icon
    Put16(out, static_cast<unsigned>(images.size()));
    auto offset = static_cast<unsigned>(6 + 16 * images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int size = images[i].width();
        out.append(static_cast<char>(size >= 256 ? 0 : size)); // width, 0 for 256
        out.append(static_cast<char>(size >= 256 ? 0 : size)); // height
        out.append('\0');                                      // no palette
        out.append('\0');                                      // reserved
        Put16(out, 1);                                         // planes
        Put16(out, 32);                                        // bits per pixel
        Put32(out, static_cast<unsigned>(pngs[i].size()));
        Put32(out, offset);
        offset += static_cast<unsigned>(pngs[i].size());
    }
    for (const QByteArray& png : pngs) {
        out.append(png);
    }
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    bool ok = DrawCheck().save(out.filePath(QStringLiteral("converted.png"))) &&
              DrawCross().save(out.filePath(QStringLiteral("failed.png"))) &&
              DrawLayers(16).save(out.filePath(QStringLiteral("dataitem.png"))) &&
              DrawFolder().save(out.filePath(QStringLiteral("category.png"))) &&
              DrawLayers(32).save(out.filePath(QStringLiteral("tolvane.png"))) &&
              SaveIcon({DrawProgramIcon(16), DrawProgramIcon(24), DrawProgramIcon(32),
                        DrawProgramIcon(48), DrawProgramIcon(64), DrawProgramIcon(256)},
                       out.filePath(QStringLiteral("tolvane.ico")));
    // The icon theme's sizes: <icons>/hicolor/<N>x<N>/apps/tolvane.png.
    if (argc > 2) {
        const QDir icons(QString::fromLocal8Bit(argv[2]));
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString dir = QStringLiteral("hicolor/%1x%1/apps").arg(size);
            ok = ok && icons.mkpath(dir) &&
                 DrawProgramIcon(size).save(icons.filePath(dir + QStringLiteral("/tolvane.png")));
        }
    }
    return ok ? 0 : 1;
}
