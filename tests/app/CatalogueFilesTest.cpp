// File-level behaviour of the category catalogue, the notes lists and the watched file names.
#include "app/CategoryCatalogue.h"
#include "app/CategoryIcons.h"
#include "app/NotesFile.h"
#include "app/WatchedFileName.h"

#include "base/AtomicFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using namespace contivo;

namespace {

void touch(const QString& path, const QByteArray& bytes = "x")
{
    writeFileAtomically(path, bytes);
}

QStringList captions(const QList<CategoryEntry>& entries)
{
    QStringList result;
    for (const CategoryEntry& e : entries)
        result.append(e.caption);
    result.sort();
    return result;
}

class CatalogueTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString folder() const { return tmp.path() + QLatin1Char('/'); }
    QString file(const QString& name) const { return folder() + name; }
};

}

TEST_F(CatalogueTest, ListsOnlyNamesWithAnOutFileWhateverTheCase)
{
    touch(file("Casa.OUT"));
    touch(file("Casa.IN"));
    touch(file("Auto.IN"));
    touch(file("banca.out"));
    touch(file("Carta.ICO"));
    touch(file("Appunti.lst"));
    touch(file(".OUT"));
    CategoryCatalogue catalogue(folder());
    EXPECT_EQ(captions(catalogue.list()), (QStringList { "", "Casa", "banca" }));
}

TEST_F(CatalogueTest, ListGivesTheIconPathOnlyWhenAnIconExists)
{
    touch(file("Casa.OUT"));
    touch(file("Auto.OUT"));
    touch(file("auto.ico"));
    CategoryCatalogue catalogue(folder());
    for (const CategoryEntry& e : catalogue.list()) {
        if (e.caption == "Auto")
            EXPECT_EQ(e.iconPath, file("auto.ico"));
        else
            EXPECT_TRUE(e.iconPath.isEmpty()) << e.caption.toStdString();
    }
    EXPECT_TRUE(CategoryCatalogue(folder() + "missing/").list().isEmpty());
}

TEST_F(CatalogueTest, RenameMovesBothFilesAndRefusesAnExistingTarget)
{
    touch(file("Casa.OUT"), "out");
    touch(file("Casa.IN"), "in");
    touch(file("Auto.out"));
    CategoryCatalogue catalogue(folder());

    EXPECT_FALSE(catalogue.rename("Casa", "Auto")); // Auto.out exists although Auto.in does not
    EXPECT_TRUE(QFile::exists(file("Casa.OUT")));
    EXPECT_TRUE(QFile::exists(file("Casa.IN")));

    EXPECT_FALSE(catalogue.rename("Casa", "a/b"));
    EXPECT_TRUE(QFile::exists(file("Casa.OUT")));

    ASSERT_TRUE(catalogue.rename("Casa", "Spese"));
    EXPECT_EQ(readWholeFile(file("Spese.OUT")), QByteArray("out"));
    EXPECT_EQ(readWholeFile(file("Spese.IN")), QByteArray("in"));
    EXPECT_FALSE(QFile::exists(file("Casa.OUT")));
    EXPECT_FALSE(QFile::exists(file("Casa.IN")));
}

TEST_F(CatalogueTest, RenameKeepsTheFirstRenameWhenTheSecondFails)
{
    touch(file("Casa.OUT"));
    CategoryCatalogue catalogue(folder());
    EXPECT_FALSE(catalogue.rename("Casa", "Nuova"));
    EXPECT_TRUE(QFile::exists(file("Nuova.OUT")));
    EXPECT_FALSE(QFile::exists(file("Casa.OUT")));
}

TEST_F(CatalogueTest, RemoveAttemptsBothFilesAndLeavesIconAndNotes)
{
    touch(file("Casa.OUT"));
    touch(file("Casa.IN"));
    touch(file("Casa.ICO"));
    touch(file("Casa.lst"));
    touch(file("Auto.OUT"));
    CategoryCatalogue catalogue(folder());
    EXPECT_TRUE(catalogue.remove("Casa"));
    EXPECT_FALSE(QFile::exists(file("Casa.OUT")));
    EXPECT_FALSE(QFile::exists(file("Casa.IN")));
    EXPECT_TRUE(QFile::exists(file("Casa.ICO")));
    EXPECT_TRUE(QFile::exists(file("Casa.lst")));

    EXPECT_FALSE(catalogue.remove("Auto")); // no .IN: a failure, the .OUT is gone all the same
    EXPECT_FALSE(QFile::exists(file("Auto.OUT")));
}

TEST_F(CatalogueTest, IconIsCopiedReplacedAndRestored)
{
    touch(file("Casa.OUT"));
    touch(file("one.ico"), "first icon");
    touch(file("two.ico"), "second icon");
    CategoryCatalogue catalogue(folder());

    EXPECT_FALSE(catalogue.restoreIcon("Casa"));
    EXPECT_FALSE(catalogue.setIcon("Casa", file("none.ico")));
    EXPECT_FALSE(QFile::exists(file("Casa.ICO")));

    ASSERT_TRUE(catalogue.setIcon("Casa", file("one.ico")));
    ASSERT_TRUE(catalogue.setIcon("Casa", file("two.ico")));
    EXPECT_EQ(readWholeFile(file("Casa.ICO")), QByteArray("second icon"));
    EXPECT_TRUE(catalogue.restoreIcon("Casa"));
    EXPECT_FALSE(QFile::exists(file("Casa.ICO")));
}

TEST(CategoryNameTest, RefusesNamesTheFolderCannotHold)
{
    const struct {
        QString name;
        bool refused;
    } cases[] = {
        { "Casa", false },
        { "", false },
        { "a|b", false },
        { "Conto corrente 2", false },
        { "a/b", true },
        { "a\\b", true },
        { "c:", true },
        { "x*", true },
        { "x?", true },
        { "\"q\"", true },
        { "<", true },
        { ">", true },
        { ".", true },
        { "..", true },
        { QString("a") + QChar(0) + "b", true },
        { QString(251, 'a'), false },
        { QString(252, 'a'), true },
        { QString(125, QChar(0x00E8)), false }, // two bytes each once stored
        { QString(126, QChar(0x00E8)), true },
    };
    for (const auto& c : cases)
        EXPECT_EQ(categoryNameRefused(c.name), c.refused) << c.name.toStdString();
}

TEST(NotesFileTest, SaveWritesCp1252LinesEndedByCrLfAndLoadReadsThemBack)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/Appunti.lst";
    EXPECT_TRUE(notes::load(path).isEmpty());

    const QStringList lines { QString::fromUtf8("Caffè 3€"), "", "seconda", "seconda" };
    notes::save(path, lines);
    EXPECT_EQ(readWholeFile(path), QByteArray("Caff\xE8 3\x80\r\n\r\nseconda\r\nseconda\r\n"));
    EXPECT_EQ(notes::load(path), lines);

    notes::save(path, {});
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(readWholeFile(path).size(), 0);
}

TEST(NotesFileTest, LoadAcceptsEveryLineBreakAndALastLineWithoutOne)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/x.lst";
    writeFileAtomically(path, "uno\ndue\rtre\r\n\r\nquattro");
    EXPECT_EQ(notes::load(path), (QStringList { "uno", "due", "tre", "", "quattro" }));
}

TEST(NotesFileTest, PathDependsOnTheModeAndTheCategory)
{
    EXPECT_EQ(notes::path("/d/2024/", false, "Casa"), "/d/2024/Appunti.lst");
    EXPECT_EQ(notes::path("/d/2024/", true, "Casa"), "/d/2024/Casa.lst");
    EXPECT_EQ(notes::path("/d/2024/", true, ""), "/d/2024/.lst");
}

TEST(WatchedFileNameTest, SplitsCategoryYearAndSide)
{
    const struct {
        QString path, category, year, side, suffix;
    } cases[] = {
        { "/x/Exchange/Movimenti_Casa_2024_ENTRATE.csv", "Casa", "2024", "ENTRATE", "IN" },
        { "Movimenti_casa_2024_uscite.CSV", "casa", "2024", "uscite", "OUT" },
        { "Movimenti_Casa_2024.csv", "Casa", "2024", "", "" },
        { "Movimenti_Casa_02024_Entrate.txt", "Casa", "02024", "Entrate", "IN" },
        { "Movimenti_Casa_2024_USCITE.tar.gz", "Casa", "2024", "USCITE.tar", "" },
        { "Movimenti_Casa_2024_USCITE_extra.csv", "Casa", "2024", "USCITE", "OUT" },
        { "Movimenti_Conto_Banca_2024_ENTRATE.csv", "Conto", "Banca", "2024", "" },
        { "Movimenti_", "", "", "", "" },
    };
    for (const auto& c : cases) {
        const WatchedFileName n = WatchedFileName::parse(c.path);
        EXPECT_EQ(n.category, c.category) << c.path.toStdString();
        EXPECT_EQ(n.yearText, c.year) << c.path.toStdString();
        EXPECT_EQ(n.side, c.side) << c.path.toStdString();
        EXPECT_EQ(sideSuffix(n.side), c.suffix) << c.path.toStdString();
    }
}

TEST(WatchedFileNameTest, YearIsReadAsADecimalNumber)
{
    EXPECT_EQ(WatchedFileName::parse("Movimenti_Casa_2024_ENTRATE.csv").year(), 2024);
    EXPECT_EQ(WatchedFileName::parse("Movimenti_Casa_02024_ENTRATE.csv").year(), 2024);
    for (const char* bad : { "Movimenti_Casa_2O24_ENTRATE.csv", "Movimenti_Casa__ENTRATE.csv",
             "Movimenti_Casa", "Movimenti_Casa_0x10_ENTRATE.csv", "Movimenti_Casa_ 2024_E.csv",
             "Movimenti_Casa_2024.5_USCITE.csv" }) {
        try {
            WatchedFileName::parse(bad).year();
            ADD_FAILURE() << "accepted " << bad;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find("is not a valid integer value"), std::string::npos);
        }
    }
}

TEST(CategoryIconTest, ReadsBothSizesAndRejectsUnreadableFiles)
{
    QTemporaryDir tmp;
    const QString good = tmp.path() + "/a.ico";
    QImage image(48, 48, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(good, "ICO"));
    const CategoryIconPair pair = readCategoryIcon(good);
    ASSERT_FALSE(pair.isNull());
    EXPECT_EQ(pair.small.size(), QSize(16, 16));
    EXPECT_EQ(pair.large.size(), QSize(32, 32));
    EXPECT_EQ(pair.large.toImage().pixelColor(10, 10), QColor(Qt::red));

    const QString bad = tmp.path() + "/b.ico";
    writeFileAtomically(bad, "not an icon at all");
    EXPECT_TRUE(readCategoryIcon(bad).isNull());
    EXPECT_TRUE(readCategoryIcon(tmp.path() + "/missing.ico").isNull());
}

TEST(CategoryIconTest, TheShippedDefaultIconHoldsBothSizes)
{
    const CategoryIconPair pair
        = readCategoryIcon(QStringLiteral(CONTIVO_SOURCE_DIR "/resources/pics/") + kDefaultCategoryIconFile);
    ASSERT_FALSE(pair.isNull());
    EXPECT_EQ(pair.small.size(), QSize(16, 16));
    EXPECT_EQ(pair.large.size(), QSize(32, 32));
    const CategoryIconPair fallback = defaultCategoryIcon();
    EXPECT_FALSE(fallback.isNull());
}
