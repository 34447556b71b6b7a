// Draws every button picture of the program with QPainter: for each name a PNG set (normal, _Over,
// _Down) and a BMP glyph strip of two images (normal, disabled) on the transparent key colour.
// Usage: makepics <output folder> [contact-sheet.png]
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kSize = 24;

// One palette for the whole set.
const QColor kGreen(46, 160, 67);
const QColor kRed(211, 47, 47);
const QColor kBlue(30, 110, 200);
const QColor kAmber(240, 165, 0);
const QColor kGrey(96, 104, 112);
const QColor kPaper(252, 252, 250);
const QColor kFolder(244, 190, 70);

QColor outline(const QColor& c)
{
    return c.darker(150);
}

QBrush shaded(const QColor& c, QRectF r)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, c.lighter(125));
    g.setColorAt(1, c);
    return g;
}

void disc(QPainter& p, const QColor& c, QRectF r = QRectF(2.5, 2.5, 19, 19))
{
    p.setPen(QPen(outline(c), 1));
    p.setBrush(shaded(c, r));
    p.drawEllipse(r);
}

QPen stroke(const QColor& c, qreal w)
{
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void plus(QPainter& p, QPointF c, qreal half, const QColor& color, qreal w)
{
    p.setPen(stroke(color, w));
    p.drawLine(QPointF(c.x() - half, c.y()), QPointF(c.x() + half, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - half), QPointF(c.x(), c.y() + half));
}

void minus(QPainter& p, QPointF c, qreal half, const QColor& color, qreal w)
{
    p.setPen(stroke(color, w));
    p.drawLine(QPointF(c.x() - half, c.y()), QPointF(c.x() + half, c.y()));
}

void cross(QPainter& p, QPointF c, qreal half, const QColor& color, qreal w)
{
    p.setPen(stroke(color, w));
    p.drawLine(QPointF(c.x() - half, c.y() - half), QPointF(c.x() + half, c.y() + half));
    p.drawLine(QPointF(c.x() - half, c.y() + half), QPointF(c.x() + half, c.y() - half));
}

void check(QPainter& p, QPointF c, qreal s, const QColor& color, qreal w)
{
    p.setPen(stroke(color, w));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(c.x() - s, c.y());
    path.lineTo(c.x() - s * 0.3, c.y() + s * 0.7);
    path.lineTo(c.x() + s, c.y() - s * 0.7);
    p.drawPath(path);
}

/// An arrow pointing right (angle 0), left (180), up (-90) or down (90), centred on c.
void arrow(QPainter& p, QPointF c, qreal len, qreal angle, const QColor& color, qreal w)
{
    p.save();
    p.translate(c);
    p.rotate(angle);
    p.setPen(stroke(color, w));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(-len / 2, 0), QPointF(len / 2, 0));
    QPainterPath head;
    head.moveTo(len / 2 - len * 0.4, -len * 0.4);
    head.lineTo(len / 2, 0);
    head.lineTo(len / 2 - len * 0.4, len * 0.4);
    p.drawPath(head);
    p.restore();
}

/// A badge disc in the lower right corner.
QPointF badge(QPainter& p, const QColor& c)
{
    disc(p, c, QRectF(12.5, 12.5, 11, 11));
    return QPointF(18, 18);
}

void page(QPainter& p, QRectF r = QRectF(4.5, 2.5, 14, 19))
{
    const qreal fold = 4;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kGrey, 1));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.setBrush(QColor(220, 222, 226));
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.drawPath(corner);
}

void textLines(QPainter& p, QRectF r, int count, const QColor& c = QColor(150, 156, 164))
{
    p.setPen(QPen(c, 1));
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + i * 3 + 0.5;
        p.drawLine(QPointF(r.left(), y), QPointF(r.right() - (i % 2 ? 3 : 0), y));
    }
}

void folder(QPainter& p)
{
    QPainterPath back;
    back.moveTo(2.5, 5.5);
    back.lineTo(9, 5.5);
    back.lineTo(11, 7.5);
    back.lineTo(21.5, 7.5);
    back.lineTo(21.5, 19.5);
    back.lineTo(2.5, 19.5);
    back.closeSubpath();
    p.setPen(QPen(outline(kFolder), 1));
    p.setBrush(kFolder.darker(110));
    p.drawPath(back);
    p.setBrush(shaded(kFolder, QRectF(2.5, 9.5, 19, 10)));
    p.drawRect(QRectF(2.5, 9.5, 19, 10));
}

void magnifier(QPainter& p, QPointF c, qreal r, const QColor& ring = kGrey)
{
    p.setPen(stroke(ring.darker(130), 3));
    p.drawLine(c + QPointF(r * 0.7, r * 0.7), c + QPointF(r * 1.7, r * 1.7));
    p.setPen(QPen(ring, 2));
    p.setBrush(QColor(220, 236, 250));
    p.drawEllipse(c, r, r);
}

void printer(QPainter& p)
{
    // paper in, body, paper out
    p.setPen(QPen(kGrey, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(6.5, 2.5, 11, 7));
    p.setBrush(shaded(QColor(120, 128, 138), QRectF(2.5, 8.5, 19, 9)));
    p.setPen(QPen(QColor(70, 76, 84), 1));
    p.drawRoundedRect(QRectF(2.5, 8.5, 19, 9), 2, 2);
    p.setPen(QPen(kGrey, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(6.5, 14.5, 11, 7));
    textLines(p, QRectF(8.5, 17, 7, 4), 2);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(18.5, 11.5), 1, 1);
}

void gear(QPainter& p, QPointF c, qreal r, const QColor& color)
{
    QPainterPath teeth;
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 45);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawRect(QRectF(-1.3, -r - 1.5, 2.6, 3));
        p.restore();
    }
    p.setPen(QPen(outline(color), 1));
    p.setBrush(color);
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::white);
    p.drawEllipse(c, r * 0.4, r * 0.4);
}

void grid(QPainter& p, QRectF r, const QColor& head)
{
    p.setPen(QPen(kGrey, 1));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(head);
    p.drawRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 0.5, 3.5));
    p.setPen(QPen(QColor(170, 176, 184), 1));
    for (qreal y = r.top() + 4 + 3.5; y < r.bottom(); y += 3.5)
        p.drawLine(QPointF(r.left() + 1, y), QPointF(r.right() - 1, y));
    for (qreal x = r.left() + r.width() / 3; x < r.right() - 1; x += r.width() / 3)
        p.drawLine(QPointF(x, r.top() + 4), QPointF(x, r.bottom() - 1));
}

void calendar(QPainter& p)
{
    p.setPen(QPen(kGrey, 1));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(2.5, 4.5, 19, 17), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawRect(QRectF(3, 5, 18, 4));
    p.setPen(stroke(kGrey, 2));
    p.drawLine(QPointF(7, 2.5), QPointF(7, 6));
    p.drawLine(QPointF(17, 2.5), QPointF(17, 6));
}

void tag(QPainter& p)
{
    QPainterPath path;
    path.moveTo(3.5, 4.5);
    path.lineTo(12, 4.5);
    path.lineTo(21, 13.5);
    path.lineTo(12.5, 22);
    path.lineTo(3.5, 13);
    path.closeSubpath();
    p.setPen(QPen(outline(kAmber), 1));
    p.setBrush(shaded(kAmber, path.boundingRect()));
    p.drawPath(path);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 9), 1.8, 1.8);
}

void trash(QPainter& p)
{
    p.setPen(QPen(outline(kRed), 1));
    p.setBrush(shaded(kRed, QRectF(5, 7, 14, 15)));
    QPainterPath body;
    body.moveTo(5.5, 7.5);
    body.lineTo(18.5, 7.5);
    body.lineTo(17, 21.5);
    body.lineTo(7, 21.5);
    body.closeSubpath();
    p.drawPath(body);
    p.drawRoundedRect(QRectF(3.5, 4.5, 17, 3), 1, 1);
    p.drawRect(QRectF(9.5, 2.5, 5, 2));
    p.setPen(stroke(QColor(255, 255, 255, 200), 1.3));
    for (qreal x : { 9.5, 12.0, 14.5 })
        p.drawLine(QPointF(x, 10.5), QPointF(x, 19));
}

/// A yellow note sheet with written lines (the notes of a year).
void note(QPainter& p)
{
    const QColor yellow(255, 226, 110);
    p.setPen(QPen(outline(yellow), 1));
    p.setBrush(shaded(yellow, QRectF(2.5, 2.5, 17, 18)));
    p.drawRect(QRectF(2.5, 2.5, 17, 18));
    textLines(p, QRectF(5, 6.5, 12, 10), 4, QColor(170, 130, 40));
}

struct Picture {
    const char* name;
    std::function<void(QPainter&)> draw;
};

std::vector<Picture> pictures()
{
    return {
        // main window
        { "BtnAggiungiCategoria",
            [](QPainter& p) {
                folder(p);
                plus(p, badge(p, kGreen), 3, Qt::white, 2);
            } },
        { "BtnEliminaCategoria",
            [](QPainter& p) {
                folder(p);
                minus(p, badge(p, kRed), 3, Qt::white, 2);
            } },
        { "BtnModificaCategoria",
            [](QPainter& p) {
                folder(p);
                arrow(p, badge(p, kBlue), 6, 0, Qt::white, 1.8);
            } },
        { "BtnSomma",
            [](QPainter& p) {
                note(p);
                plus(p, badge(p, kGreen), 3, Qt::white, 2);
            } },
        { "BtnSottrai",
            [](QPainter& p) {
                note(p);
                minus(p, badge(p, kRed), 3, Qt::white, 2);
            } },
        { "BtnIndietro",
            [](QPainter& p) {
                disc(p, kBlue);
                arrow(p, { 12, 12 }, 11, 180, Qt::white, 2.6);
            } },
        { "BtnAvanti",
            [](QPainter& p) {
                disc(p, kBlue);
                arrow(p, { 12, 12 }, 11, 0, Qt::white, 2.6);
            } },
        // ledger and table windows
        { "BtnAggiungi",
            [](QPainter& p) {
                disc(p, kGreen);
                plus(p, { 12, 12 }, 5.5, Qt::white, 3);
            } },
        { "BtnElimina", [](QPainter& p) { trash(p); } },
        { "BtnAggiorna",
            [](QPainter& p) {
                disc(p, kBlue);
                p.setPen(stroke(Qt::white, 2.4));
                p.setBrush(Qt::NoBrush);
                p.drawArc(QRectF(7, 7, 10, 10), 100 * 16, 250 * 16);
                QPainterPath head;
                head.moveTo(10.2, 4.6);
                head.lineTo(13.6, 7.3);
                head.lineTo(10.0, 9.8);
                p.drawPath(head);
            } },
        { "BtnStampaDoc",
            [](QPainter& p) {
                page(p, QRectF(2.5, 1.5, 12, 15));
                textLines(p, QRectF(4.5, 6, 7, 9), 3);
                p.save();
                p.translate(6, 8);
                p.scale(0.72, 0.72);
                printer(p);
                p.restore();
            } },
        { "BtnXlsDoc",
            [](QPainter& p) {
                grid(p, QRectF(5.5, 3.5, 16, 18), QColor(200, 230, 205));
                p.setPen(QPen(outline(kGreen), 1));
                p.setBrush(shaded(kGreen, QRectF(1.5, 8.5, 11, 11)));
                p.drawRoundedRect(QRectF(1.5, 8.5, 11, 11), 1.5, 1.5);
                cross(p, { 7, 14 }, 2.6, Qt::white, 1.8);
            } },
        { "BtnImportCsv",
            [](QPainter& p) {
                page(p, QRectF(7.5, 2.5, 13, 19));
                textLines(p, QRectF(10, 9, 8, 10), 4);
                arrow(p, { 7, 12 }, 10, 0, kGreen, 2.6);
            } },
        { "BtnRangeDate",
            [](QPainter& p) {
                calendar(p);
                p.setPen(stroke(kBlue, 1.6));
                p.drawLine(QPointF(7, 15), QPointF(17, 15));
                QPainterPath heads;
                heads.moveTo(9, 12.5);
                heads.lineTo(6.5, 15);
                heads.lineTo(9, 17.5);
                heads.moveTo(15, 12.5);
                heads.lineTo(17.5, 15);
                heads.lineTo(15, 17.5);
                p.drawPath(heads);
            } },
        { "BtnTags", [](QPainter& p) { tag(p); } },
        { "BtnCercaRiga",
            [](QPainter& p) {
                grid(p, QRectF(2.5, 2.5, 16, 17), QColor(205, 222, 245));
                magnifier(p, { 15, 14 }, 4.2, kBlue);
            } },
        { "BtnImportaCSV",
            [](QPainter& p) {
                grid(p, QRectF(7.5, 3.5, 14, 17), QColor(205, 222, 245));
                arrow(p, { 7, 12 }, 10, 0, kGreen, 2.6);
            } },
        { "BtnEsportaTabella",
            [](QPainter& p) {
                grid(p, QRectF(2.5, 3.5, 14, 17), QColor(205, 222, 245));
                arrow(p, { 16.5, 12 }, 10, 0, kBlue, 2.6);
            } },
        // print preview
        { "BtnStampa", [](QPainter& p) { printer(p); } },
        { "BtnImpostaStampa",
            [](QPainter& p) {
                printer(p);
                gear(p, { 17.5, 17.5 }, 3.6, kBlue);
            } },
        { "BtnEsportaStampa",
            [](QPainter& p) {
                page(p, QRectF(3.5, 2.5, 14, 19));
                p.setPen(Qt::NoPen);
                p.setBrush(kRed);
                p.drawRect(QRectF(4, 13, 13, 5));
                p.setPen(Qt::white);
                QFont f;
                f.setPixelSize(5);
                f.setBold(true);
                p.setFont(f);
                p.drawText(QRectF(4, 13, 13, 5), Qt::AlignCenter, "PDF");
                arrow(p, { 18, 7 }, 8, 0, kBlue, 2.2);
            } },
        { "BtnNormalZoom",
            [](QPainter& p) {
                magnifier(p, { 10, 10 }, 7);
                p.setPen(stroke(kBlue, 1.6));
                p.drawLine(QPointF(7, 8.5), QPointF(13, 8.5));
                p.drawLine(QPointF(7, 11.5), QPointF(13, 11.5));
            } },
        { "BtnZoomIn",
            [](QPainter& p) {
                magnifier(p, { 10, 10 }, 7);
                plus(p, { 10, 10 }, 3.5, kBlue, 2);
            } },
        { "BtnZoomOut",
            [](QPainter& p) {
                magnifier(p, { 10, 10 }, 7);
                minus(p, { 10, 10 }, 3.5, kBlue, 2);
            } },
        { "BtnPaginaPrecedente",
            [](QPainter& p) {
                page(p, QRectF(6.5, 2.5, 14, 19));
                textLines(p, QRectF(9, 8, 9, 12), 4);
                disc(p, kBlue, QRectF(1.5, 7.5, 11, 11));
                arrow(p, { 7, 13 }, 6, 180, Qt::white, 1.8);
            } },
        { "BtnPaginaSuccessiva",
            [](QPainter& p) {
                page(p, QRectF(3.5, 2.5, 14, 19));
                textLines(p, QRectF(6, 8, 9, 12), 4);
                disc(p, kBlue, QRectF(11.5, 7.5, 11, 11));
                arrow(p, { 17, 13 }, 6, 0, Qt::white, 1.8);
            } },
        { "BtnCercaTesto",
            [](QPainter& p) {
                QFont f;
                f.setPixelSize(13);
                f.setBold(true);
                p.setFont(f);
                p.setPen(kGrey);
                p.drawText(QRectF(1, 1, 13, 14), Qt::AlignCenter, "A");
                magnifier(p, { 13, 13 }, 5, kBlue);
            } },
        { "BtnChiudiPagina",
            [](QPainter& p) {
                p.setPen(QPen(outline(kRed), 1));
                p.setBrush(shaded(kRed, QRectF(2.5, 2.5, 19, 19)));
                p.drawRoundedRect(QRectF(2.5, 2.5, 19, 19), 4, 4);
                cross(p, { 12, 12 }, 4.5, Qt::white, 2.8);
            } },
        // dialogs
        { "BtnConferma",
            [](QPainter& p) {
                disc(p, kGreen);
                check(p, { 12, 12.5 }, 5.5, Qt::white, 2.8);
            } },
        { "BtnAnnulla",
            [](QPainter& p) {
                disc(p, kRed);
                cross(p, { 12, 12 }, 4.5, Qt::white, 2.8);
            } },
        // ledger status bar signs
        { "SegnoPiu",
            [](QPainter& p) {
                plus(p, { 12, 12 }, 6, kGrey, 3);
            } },
        { "SegnoMeno",
            [](QPainter& p) {
                minus(p, { 12, 12 }, 6, kGrey, 3);
            } },
        { "SegnoUguale",
            [](QPainter& p) {
                minus(p, { 12, 9.5 }, 6, kGrey, 3);
                minus(p, { 12, 14.5 }, 6, kGrey, 3);
            } },
    };
}

QImage render(const Picture& picture, int size = kSize)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / qreal(kSize), size / qreal(kSize));
    picture.draw(p);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

/// The picture on a rounded plate: light under the mouse, darker and shifted by a pixel while pressed.
QImage onPlate(const QImage& icon, bool down)
{
    const int pad = 3;
    QImage image(icon.width() + 2 * pad, icon.height() + 2 * pad, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plate(0.5, 0.5, image.width() - 1, image.height() - 1);
    p.setPen(QPen(down ? QColor(90, 140, 200) : QColor(150, 190, 230), 1));
    p.setBrush(down ? QColor(196, 220, 244) : QColor(229, 240, 252));
    p.drawRoundedRect(plate, 4, 4);
    p.drawImage(QPoint(pad + (down ? 1 : 0), pad + (down ? 1 : 0)), icon);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

/// The normal image padded like the plated ones, so the three PNG pictures have one size.
QImage padded(const QImage& icon)
{
    const int pad = 3;
    QImage image(icon.width() + 2 * pad, icon.height() + 2 * pad, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.drawImage(QPoint(pad, pad), icon);
    return image;
}

QImage disabledOf(const QImage& icon)
{
    QImage grey = icon;
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int v = 150 + qGray(line[x]) * 90 / 255;
            line[x] = qRgba(v, v, v, qAlpha(line[x]) * 3 / 4);
        }
    }
    return grey;
}

/// A strip of images side by side on the key colour; half-covered pixels are blended over the
/// button face so no key colour fringes the edges.
QImage glyphStrip(const QList<QImage>& images)
{
    const QColor key(255, 0, 255);
    const QColor face(240, 240, 240);
    QImage strip(images[0].width() * images.size(), images[0].height(), QImage::Format_RGB32);
    strip.fill(key);
    for (int i = 0; i < images.size(); ++i) {
        const QImage& img = images[i];
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                const int a = qAlpha(c);
                if (a < 24)
                    continue;
                auto mix = [a](int fg, int bg) { return (fg * a + bg * (255 - a)) / 255; };
                strip.setPixel(i * img.width() + x, y,
                    qRgb(mix(qRed(c), face.red()), mix(qGreen(c), face.green()), mix(qBlue(c), face.blue())));
            }
    }
    // The bottom-left pixel names the transparent colour: keep it the key colour.
    strip.setPixel(0, strip.height() - 1, key.rgb());
    return strip;
}

}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: makepics <output folder> [contact-sheet.png]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    const auto all = pictures();
    for (const Picture& picture : all) {
        const QImage icon = render(picture);
        const QString base = out.filePath(QString::fromLatin1(picture.name));
        bool ok = padded(icon).save(base + ".png") && onPlate(icon, false).save(base + "_Over.png")
            && onPlate(icon, true).save(base + "_Down.png")
            && glyphStrip({ icon, disabledOf(icon) }).save(base + ".bmp", "BMP");
        if (!ok) {
            std::fprintf(stderr, "cannot write %s\n", picture.name);
            return 1;
        }
    }
    // Application icon and the default category icon, in two sizes.
    const Picture appIcon { "Contivo", [](QPainter& p) {
                               p.setPen(QPen(outline(kBlue), 1));
                               p.setBrush(shaded(kBlue, QRectF(1.5, 1.5, 21, 21)));
                               p.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 5, 5);
                               page(p, QRectF(6.5, 4.5, 11, 15));
                               p.setPen(QPen(kGreen, 1.4));
                               p.drawLine(QPointF(8.5, 9), QPointF(15.5, 9));
                               p.setPen(QPen(kRed, 1.4));
                               p.drawLine(QPointF(8.5, 12), QPointF(15.5, 12));
                               p.setPen(QPen(kGrey, 1.4));
                               p.drawLine(QPointF(8.5, 15.5), QPointF(15.5, 15.5));
                           } };
    const Picture category { "Categoria", [](QPainter& p) {
                                folder(p);
                                p.setPen(QPen(kGreen.darker(120), 1.2));
                                p.drawLine(QPointF(6, 13), QPointF(18, 13));
                                p.drawLine(QPointF(6, 16), QPointF(14, 16));
                            } };
    for (int size : { 16, 32, 64 }) {
        render(appIcon, size).save(out.filePath(QStringLiteral("Contivo%1.png").arg(size)));
        if (size != 64)
            render(category, size).save(out.filePath(QStringLiteral("Categoria%1.png").arg(size)));
    }
    render(appIcon, 96).save(out.filePath("Logo.png"));

    if (argc > 2) {
        // Contact sheet: each picture at 1x and 3x, with its over/down/glyph variants.
        const int cols = 4;
        const int cell = 200;
        const int rows = int(all.size() + cols - 1) / cols;
        QImage sheet(cols * cell, rows * 90, QImage::Format_RGB32);
        sheet.fill(QColor(240, 240, 240));
        QPainter p(&sheet);
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        for (size_t i = 0; i < all.size(); ++i) {
            const int x = int(i % cols) * cell;
            const int y = int(i / cols) * 90;
            const QString base = out.filePath(QString::fromLatin1(all[i].name));
            p.drawImage(QRect(x + 4, y + 4, 72, 72), render(all[i], 72));
            p.drawImage(QPoint(x + 84, y + 6), QImage(base + ".png"));
            p.drawImage(QPoint(x + 116, y + 6), QImage(base + "_Over.png"));
            p.drawImage(QPoint(x + 148, y + 6), QImage(base + "_Down.png"));
            p.drawImage(QPoint(x + 84, y + 40), QImage(base + ".bmp"));
            p.setPen(Qt::black);
            QFont f;
            f.setPixelSize(9);
            p.setFont(f);
            p.drawText(QRect(x + 84, y + 68, 115, 14), Qt::AlignLeft, QString::fromLatin1(all[i].name));
        }
        p.end();
        sheet.save(QString::fromLocal8Bit(argv[2]));
    }
    return 0;
}
