#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QString>

namespace contivo {

class FlatPanel;

/// A button drawn only from pictures: a normal image, one under the mouse and one while pressed
/// (a disabled button shows its normal image greyed). Its caption, when it has one, is drawn to the
/// right of the image.
class PngButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit PngButton(QWidget* parent = nullptr);

    void setImageNormal(const QImage& image);
    void setImageOver(const QImage& image);
    void setImageDown(const QImage& image);
    QImage imageNormal() const { return m_normal; }
    QImage imageOver() const { return m_over; }
    QImage imageDown() const { return m_down; }
    /// The image the button shows in its current state.
    QImage currentImage() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QImage m_normal;
    QImage m_over;
    QImage m_down;
    bool m_hovered = false;
};

/// Gives a button its pictures from the folder pics of the application folder, by exact class:
/// a PngButton takes <name>.png, <name>_Over.png and <name>_Down.png (each only when its file
/// exists); a QPushButton, QToolButton or QAction takes the glyph <name>.bmp, a strip of glyphCount
/// images side by side (normal, disabled, ...; the colour of the bottom-left pixel is transparent),
/// or no icon when the file is missing. Objects of other classes are left alone. Throws
/// std::runtime_error when a picture file exists but cannot be read.
void SkinButton(QObject* button, const QString& name, int glyphCount = 2);

/// The picture folder (application folder + "pics/"), created when missing.
QString PictureFolder();

/// The PNG picture <name>.png, read at its first use and then shared; a null image when missing.
QImage LoadPngPicture(const QString& name);
/// The bitmap <name>.bmp, read at its first use and then shared; a null image when missing.
QImage LoadBitmapPicture(const QString& name);

/// The process-wide picture cache: keys (bitmap name, or "PNG." + name) match without regard to case.
class PictureCache {
public:
    static PictureCache& instance();
    /// The cached picture, reading path on a miss; null when the file does not exist.
    QImage picture(const QString& key, const QString& path);
    /// How many picture files were read from disk so far.
    int diskReads() const { return m_diskReads; }
    /// Forgets every picture (tests that point the application folder elsewhere).
    void clear();

private:
    QHash<QString, QImage> m_pictures;
    int m_diskReads = 0;
};

/// Each of red, green and blue raised by amount, capped at 255.
QColor LightenColor(const QColor& color, int amount);
/// Each of red, green and blue lowered by amount, floored at 0.
QColor DarkenColor(const QColor& color, int amount);
/// Panel colour = base, highlight = base lightened by amount, shadow = base darkened by amount.
void ColorFlatPanel(FlatPanel* panel, const QColor& base, int amount);

/// Converts a BMP file to a PNG file written atomically at the compression level (limited to 0..9).
/// False on any error.
bool ConvertBitmapToPng(const QString& bmpPath, const QString& pngPath, int level);

/// The glyph strip cut into count images of equal width, the bottom-left pixel's colour made transparent.
QList<QImage> SplitGlyphStrip(const QImage& strip, int count);

}
