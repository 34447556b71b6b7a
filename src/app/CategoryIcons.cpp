#include "app/CategoryIcons.h"

#include "platform/Folders.h"

#include <QImage>
#include <QImageReader>
#include <QList>
#include <QPainter>

namespace contivo {

namespace {

QPixmap fitted(const QList<QImage>& images, int size)
{
    const QImage* best = nullptr;
    for (const QImage& image : images) {
        if (image.width() == size && image.height() == size)
            return QPixmap::fromImage(image);
        if (!best || image.width() * image.height() > best->width() * best->height())
            best = &image;
    }
    if (!best)
        return {};
    return QPixmap::fromImage(best->scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

// The same design as the shipped icon: a teal book with ruled lines and a gold coin.
QPixmap drawnIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QColor(0x6b, 0x6b, 0x6b));
    p.setBrush(QColor(0xf4, 0xf1, 0xe6));
    p.drawRoundedRect(QRectF(7, 3, 21, 26), 2, 2);
    p.setPen(QColor(0x14, 0x48, 0x4e));
    p.setBrush(QColor(0x1f, 0x6f, 0x78));
    p.drawRoundedRect(QRectF(4, 2, 21, 26), 2, 2);
    p.fillRect(QRectF(4, 2, 4, 27), QColor(0x14, 0x48, 0x4e));
    p.setPen(QPen(QColor(0xe9, 0xe4, 0xd2), 1.2));
    p.drawLine(QPointF(11, 8), QPointF(22, 8));
    p.drawLine(QPointF(11, 11), QPointF(22, 11));
    p.drawLine(QPointF(11, 14), QPointF(19, 14));
    p.setPen(QColor(0xa8, 0x73, 0x1a));
    p.setBrush(QColor(0xf2, 0xb6, 0x32));
    p.drawEllipse(QPointF(22, 23), 6, 6);
    p.drawLine(QPointF(20, 21.5), QPointF(24, 21.5));
    p.drawLine(QPointF(20, 24.5), QPointF(24, 24.5));
    p.end();
    return QPixmap::fromImage(image);
}

}

CategoryIconPair readCategoryIcon(const QString& path)
{
    QImageReader reader(path);
    QList<QImage> images;
    const int count = reader.imageCount();
    for (int i = 0; i < qMax(count, 1); ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        QImage image = reader.read();
        if (!image.isNull())
            images.append(image);
    }
    CategoryIconPair pair;
    if (images.isEmpty())
        return pair;
    pair.small = fitted(images, 16);
    pair.large = fitted(images, 32);
    return pair;
}

CategoryIconPair defaultCategoryIcon()
{
    CategoryIconPair pair = readCategoryIcon(
        SottocartellaProgramma(QStringLiteral("pics")) + QLatin1String(kDefaultCategoryIconFile));
    if (pair.isNull()) {
        pair.small = drawnIcon(16);
        pair.large = drawnIcon(32);
    }
    return pair;
}

}
