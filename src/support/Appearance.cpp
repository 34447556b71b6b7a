#include "support/Appearance.h"

#include "platform/Folders.h"
#include "support/Widgets.h"

#include <QAction>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QStyleOption>
#include <QToolButton>

#include <stdexcept>
#include <typeinfo>

namespace contivo {

PngButton::PngButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
}

void PngButton::setImageNormal(const QImage& image)
{
    m_normal = image;
    updateGeometry();
    update();
}

void PngButton::setImageOver(const QImage& image)
{
    m_over = image;
    update();
}

void PngButton::setImageDown(const QImage& image)
{
    m_down = image;
    update();
}

QImage PngButton::currentImage() const
{
    if (isDown() && !m_down.isNull())
        return m_down;
    if (m_hovered && isEnabled() && !m_over.isNull())
        return m_over;
    return m_normal;
}

QSize PngButton::sizeHint() const
{
    QSize size = m_normal.isNull() ? QSize(24, 24) : m_normal.deviceIndependentSize().toSize();
    if (!text().isEmpty()) {
        const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, text());
        size = QSize(size.width() + 6 + textSize.width(), qMax(size.height(), textSize.height()));
    }
    return size;
}

void PngButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QImage image = currentImage();
    if (!isEnabled() && !image.isNull())
        image = image.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_ARGB32);
    const QSize imageSize = image.isNull() ? QSize() : image.deviceIndependentSize().toSize();
    int x = 0;
    if (text().isEmpty()) {
        if (!image.isNull()) {
            const QRect target(
                QPoint((width() - imageSize.width()) / 2, (height() - imageSize.height()) / 2), imageSize);
            if (!isEnabled())
                painter.setOpacity(0.55);
            painter.drawImage(target, image);
        }
    } else {
        if (!image.isNull()) {
            painter.drawImage(QRect(QPoint(0, (height() - imageSize.height()) / 2), imageSize), image);
            x = imageSize.width() + 6;
        }
        painter.setPen(
            palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        painter.drawText(QRect(x, 0, width() - x, height()), Qt::AlignVCenter | Qt::TextShowMnemonic, text());
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void PngButton::enterEvent(QEnterEvent* event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PngButton::leaveEvent(QEvent* event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

QString PictureFolder()
{
    return SottocartellaProgramma(QStringLiteral("pics"));
}

PictureCache& PictureCache::instance()
{
    static PictureCache cache;
    return cache;
}

QImage PictureCache::picture(const QString& key, const QString& path)
{
    const QString folded = key.toLower();
    if (auto it = m_pictures.constFind(folded); it != m_pictures.constEnd())
        return *it;
    if (!QFileInfo::exists(path))
        return {};
    QImageReader reader(path);
    ++m_diskReads;
    QImage image = reader.read();
    if (image.isNull())
        throw std::runtime_error(
            QStringLiteral("Cannot read picture %1: %2").arg(path, reader.errorString()).toStdString());
    m_pictures.insert(folded, image);
    return image;
}

void PictureCache::clear()
{
    m_pictures.clear();
    m_diskReads = 0;
}

QImage LoadPngPicture(const QString& name)
{
    return PictureCache::instance().picture(
        QStringLiteral("PNG.") + name, PictureFolder() + name + QStringLiteral(".png"));
}

QImage LoadBitmapPicture(const QString& name)
{
    return PictureCache::instance().picture(name, PictureFolder() + name + QStringLiteral(".bmp"));
}

QList<QImage> SplitGlyphStrip(const QImage& strip, int count)
{
    QList<QImage> images;
    if (strip.isNull())
        return images;
    count = qMax(1, count);
    const int width = strip.width() / count;
    QImage source = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = source.pixel(0, source.height() - 1);
    for (int i = 0; i < count && width > 0; ++i) {
        QImage part = source.copy(i * width, 0, width, source.height());
        for (int y = 0; y < part.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
            for (int x = 0; x < part.width(); ++x)
                if (line[x] == transparent)
                    line[x] = qRgba(0, 0, 0, 0);
        }
        images << part;
    }
    return images;
}

namespace {

QIcon glyphIcon(const QString& name, int count)
{
    const QList<QImage> parts = SplitGlyphStrip(LoadBitmapPicture(name), count);
    if (parts.isEmpty())
        return {};
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(parts[0]), QIcon::Normal);
    if (parts.size() > 1)
        icon.addPixmap(QPixmap::fromImage(parts[1]), QIcon::Disabled);
    return icon;
}

// Exact class, not a descendant: typeid also sees subclasses that lack Q_OBJECT.
template <typename T> bool exactly(const QObject* object)
{
    return typeid(*object) == typeid(T);
}

}

void SkinButton(QObject* button, const QString& name, int glyphCount)
{
    if (!button)
        return;
    if (exactly<PngButton>(button)) {
        auto* png = static_cast<PngButton*>(button);
        if (const QImage image = LoadPngPicture(name); !image.isNull())
            png->setImageNormal(image);
        if (const QImage image = LoadPngPicture(name + QStringLiteral("_Over")); !image.isNull())
            png->setImageOver(image);
        if (const QImage image = LoadPngPicture(name + QStringLiteral("_Down")); !image.isNull())
            png->setImageDown(image);
        return;
    }
    if (exactly<QPushButton>(button) || exactly<QToolButton>(button)) {
        auto* glyph = static_cast<QAbstractButton*>(button);
        const QIcon icon = glyphIcon(name, glyphCount);
        glyph->setIcon(icon);
        if (!icon.isNull())
            glyph->setIconSize(icon.availableSizes().value(0, glyph->iconSize()));
    } else if (exactly<QAction>(button)) {
        static_cast<QAction*>(button)->setIcon(glyphIcon(name, glyphCount));
    }
}

QColor LightenColor(const QColor& color, int amount)
{
    const QColor rgb = color.toRgb();
    return QColor(qMin(rgb.red() + amount, 255), qMin(rgb.green() + amount, 255),
        qMin(rgb.blue() + amount, 255), rgb.alpha());
}

QColor DarkenColor(const QColor& color, int amount)
{
    const QColor rgb = color.toRgb();
    return QColor(qMax(rgb.red() - amount, 0), qMax(rgb.green() - amount, 0), qMax(rgb.blue() - amount, 0),
        rgb.alpha());
}

void ColorFlatPanel(FlatPanel* panel, const QColor& base, int amount)
{
    if (!panel)
        return;
    panel->setColor(base);
    panel->setHighlightColor(LightenColor(base, amount));
    panel->setShadowColor(DarkenColor(base, amount));
}

bool ConvertBitmapToPng(const QString& bmpPath, const QString& pngPath, int level)
{
    QImage image;
    if (!image.load(bmpPath, "BMP"))
        return false;
    QSaveFile file(pngPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, "png");
    // Qt's PNG writer takes the zlib level through its quality: level = (100 - quality) * 9 / 91.
    const int clamped = qBound(0, level, 9);
    writer.setQuality(100 - (clamped * 91 + 8) / 9);
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}
