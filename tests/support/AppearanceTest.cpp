#include "support/Appearance.h"

#include "base/AtomicFile.h"
#include "platform/Folders.h"
#include "support/Widgets.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

using namespace contivo;

namespace {

QImage filled(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

class Pictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setApplicationFolderForTests(dir.path());
        PictureCache::instance().clear();
    }
    void TearDown() override
    {
        PictureCache::instance().clear();
        setApplicationFolderForTests({});
    }
    void save(const QString& file, const QImage& image) { ASSERT_TRUE(image.save(PictureFolder() + file)); }
    /// A two-glyph strip: a red square then a grey one, each on a magenta background that must vanish.
    void saveStrip(const QString& file)
    {
        QImage strip = filled(16, 8, Qt::magenta).convertToFormat(QImage::Format_RGB32);
        for (int x = 2; x < 6; ++x)
            for (int y = 2; y < 6; ++y) {
                strip.setPixel(x, y, qRgb(255, 0, 0));
                strip.setPixel(x + 8, y, qRgb(128, 128, 128));
            }
        ASSERT_TRUE(strip.save(PictureFolder() + file, "BMP"));
    }
    QTemporaryDir dir;
};

TEST_F(Pictures, PngButtonTakesOnlyTheImagesThatExist)
{
    save("BtnSolo.png", filled(4, 4, Qt::blue));
    PngButton button;
    const QImage designedOver = filled(2, 2, Qt::yellow);
    const QImage designedDown = filled(2, 2, Qt::green);
    button.setImageOver(designedOver);
    button.setImageDown(designedDown);
    SkinButton(&button, "BtnSolo", 2);
    EXPECT_EQ(button.imageNormal().pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(button.imageOver(), designedOver);
    EXPECT_EQ(button.imageDown(), designedDown);

    save("BtnTre.png", filled(4, 4, Qt::red));
    save("BtnTre_Over.png", filled(4, 4, Qt::cyan));
    save("BtnTre_Down.png", filled(4, 4, Qt::black));
    SkinButton(&button, "BtnTre", 2);
    EXPECT_EQ(button.imageNormal().pixelColor(1, 1), QColor(Qt::red));
    EXPECT_EQ(button.imageOver().pixelColor(1, 1), QColor(Qt::cyan));
    EXPECT_EQ(button.imageDown().pixelColor(1, 1), QColor(Qt::black));
    button.setDown(true);
    EXPECT_EQ(button.currentImage().pixelColor(1, 1), QColor(Qt::black));
}

TEST_F(Pictures, EachFileIsReadOnceAndKeysIgnoreCase)
{
    save("BtnConferma.png", filled(4, 4, Qt::green));
    save("BtnConferma_Over.png", filled(4, 4, Qt::green));
    PngButton first;
    PngButton second;
    SkinButton(&first, "BtnConferma", 2);
    const int reads = PictureCache::instance().diskReads();
    EXPECT_EQ(reads, 2); // the missing _Down picture is not a read
    SkinButton(&second, "BtnConferma", 2);
    EXPECT_FALSE(LoadPngPicture("BTNCONFERMA").isNull());
    EXPECT_EQ(PictureCache::instance().diskReads(), reads);
    EXPECT_EQ(second.imageNormal(), first.imageNormal());
    // Bitmaps and PNG pictures of one name are separate entries.
    EXPECT_TRUE(LoadBitmapPicture("BtnConferma").isNull());
}

TEST_F(Pictures, GlyphButtonsTakeTheBitmapStripByExactClass)
{
    saveStrip("BtnAggiungi.bmp");
    QPushButton push;
    QToolButton tool;
    QAction action(nullptr);
    QCheckBox check; // not a glyph button: left alone
    class MyButton : public QPushButton {
    } derived; // only exact classes count
    const QIcon designed = QIcon(QPixmap::fromImage(filled(4, 4, Qt::blue)));
    check.setIcon(designed);
    derived.setIcon(designed);
    for (QObject* object : std::initializer_list<QObject*> { &push, &tool, &action, &check, &derived })
        SkinButton(object, "BtnAggiungi", 2);

    const QImage normal = push.icon().pixmap(8, 8, QIcon::Normal).toImage();
    const QImage disabled = push.icon().pixmap(8, 8, QIcon::Disabled).toImage();
    EXPECT_EQ(push.iconSize(), QSize(8, 8));
    EXPECT_EQ(normal.pixelColor(3, 3), QColor(255, 0, 0));
    EXPECT_EQ(normal.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(disabled.pixelColor(3, 3), QColor(128, 128, 128));
    EXPECT_FALSE(tool.icon().isNull());
    EXPECT_FALSE(action.icon().isNull());
    for (QAbstractButton* untouched : std::initializer_list<QAbstractButton*> { &check, &derived })
        EXPECT_EQ(untouched->icon().pixmap(4, 4).toImage().pixelColor(1, 1), QColor(Qt::blue));

    SkinButton(&push, "Mancante", 2); // a missing bitmap removes the glyph
    EXPECT_TRUE(push.icon().isNull());
}

TEST_F(Pictures, UnreadablePictureRaisesAnError)
{
    writeFileAtomically(PictureFolder() + "Rotto.png", "not a picture");
    PngButton button;
    EXPECT_THROW(SkinButton(&button, "Rotto", 2), std::runtime_error);
}

TEST(Colors, LightenAndDarkenClampEachComponent)
{
    struct Row {
        QColor in;
        int amount;
        QColor lighter;
        QColor darker;
    };
    const Row rows[] = {
        { QColor(230, 100, 10), 40, QColor(255, 140, 50), QColor(190, 60, 0) },
        { QColor(0, 255, 128), 0, QColor(0, 255, 128), QColor(0, 255, 128) },
        { QColor(20, 30, 40), 35, QColor(55, 65, 75), QColor(0, 0, 5) },
        { QColor(Qt::white), 300, QColor(Qt::white), QColor(Qt::black) },
    };
    for (const Row& row : rows) {
        EXPECT_EQ(LightenColor(row.in, row.amount), row.lighter) << row.in.name().toStdString();
        EXPECT_EQ(DarkenColor(row.in, row.amount), row.darker) << row.in.name().toStdString();
    }
    EXPECT_EQ(DarkenColor(QColor::fromHsv(0, 255, 255), 10), QColor(245, 0, 0)); // resolved to RGB first
}

TEST(Colors, ColorFlatPanelSetsBaseHighlightAndShadow)
{
    FlatPanel panel;
    ColorFlatPanel(&panel, QColor(100, 150, 200), 60);
    EXPECT_EQ(panel.color(), QColor(100, 150, 200));
    EXPECT_EQ(panel.highlightColor(), QColor(160, 210, 255));
    EXPECT_EQ(panel.shadowColor(), QColor(40, 90, 140));
}

TEST(ConvertBitmap, LevelIsLimitedToZeroThroughNine)
{
    QTemporaryDir dir;
    QImage image(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 4, (x ^ y) * 4));
    const QString bmp = dir.filePath("in.bmp");
    ASSERT_TRUE(image.save(bmp, "BMP"));
    auto convert = [&](int level) {
        const QString png = dir.filePath(QStringLiteral("out%1.png").arg(level));
        EXPECT_TRUE(ConvertBitmapToPng(bmp, png, level));
        return readWholeFile(png);
    };
    const QByteArray nine = convert(9);
    const QByteArray zero = convert(0);
    const QByteArray five = convert(5);
    EXPECT_LT(five.size(), zero.size());
    EXPECT_NE(nine, zero);
    EXPECT_LT(nine.size(), zero.size());
    EXPECT_EQ(convert(100), nine);
    EXPECT_EQ(convert(-3), zero);
    QImage back;
    ASSERT_TRUE(back.loadFromData(nine, "PNG"));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image);

    EXPECT_FALSE(ConvertBitmapToPng(dir.filePath("missing.bmp"), dir.filePath("x.png"), 5));
    EXPECT_FALSE(QFile::exists(dir.filePath("x.png")));
    EXPECT_FALSE(ConvertBitmapToPng(bmp, dir.filePath("no/such/folder/x.png"), 5));
}

}
