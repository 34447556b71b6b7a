#include "storage/TDC.h"

#include "base/DateTime.h"
#include "base/SystemFormats.h"
#include "platform/Folders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace contivo;

namespace {

std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

double day(int y, int m, int d)
{
    return dt::fromDate(QDate(y, m, d));
}

class DataModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setUserFolder(dir.path());
        SystemFormats::override(
            { QLatin1Char(','), QLatin1Char('.'), QStringLiteral("dd/MM/yyyy"), QStringLiteral("HH:mm:ss") });
        for (int m = 1; m <= 12; ++m) {
            dc.TabellaMesi.Append();
            dc.TabellaMesi.Fields(0).SetAsInteger(m);
            dc.TabellaMesi.Post();
        }
        dc.TabellaMesi.First();
    }
    void TearDown() override { SystemFormats::reset(); }

    void addType(const QString& name, int colour)
    {
        dc.Tipologie.Append();
        dc.Tipologie.FieldByName("Tipologia").SetAsString(name);
        dc.Tipologie.FieldByName("Colore").SetAsInteger(colour);
        dc.Tipologie.Post();
    }
    void addMovement(RecordTable& t, double date, const QString& comment)
    {
        t.Append();
        if (date != 0)
            t.FieldByName("Data").SetAsDateTime(date);
        t.FieldByName("Commento").SetAsString(comment);
        t.Post();
    }
    QString path(const QString& relative) const { return QDir(dir.path()).filePath(relative); }

    QTemporaryDir dir;
    TDC dc;
};

}

TEST_F(DataModule, DeclaresTheProgramsTables)
{
    EXPECT_EQ(DC(), &dc);
    struct Case {
        const char* table;
        const char* fields; // name:type number:size, as TipoCampo and the field list report them
    };
    const Case cases[] = {
        { "TabellaEntrate", "Data:9:0 Tipologia:1:16 Commento:1:128 Movimento:6:0 Mese:3:0 Saldo:6:0" },
        { "TabellaUscite", "Data:9:0 Tipologia:1:16 Commento:1:128 Movimento:6:0 Mese:3:0 Saldo:6:0" },
        { "TabellaMesi", "Mese:3:0" },
        { "TabellaGlobale", "Data:9:0 Tipologia:1:16 Commento:1:128 Movimento:6:0 Tipo:1:16 Mese:3:0" },
        { "TabellaRiepilogo", "Mese:1:16 Tipologia:1:16 Entrate:6:0 Uscite:6:0" },
        { "TabellaSituazione", "Data:9:0 Commento:1:128 Entrate:6:0 Uscite:6:0 Saldo:6:0" },
        { "TabellaImport", "Data:9:0 Tipologia:1:16 Commento:1:128 Movimento:6:0 Mese:3:0 Saldo:6:0" },
        { "Tipologie", "Tipologia:1:32 Colore:3:0" },
    };
    for (const Case& c : cases) {
        RecordTable* t = dc.Table(c.table);
        ASSERT_NE(t, nullptr) << c.table;
        QStringList fields;
        for (int i = 0; i < t->FieldCount(); ++i)
            fields << QStringLiteral("%1:%2:%3")
                          .arg(t->Fields(i).FieldName())
                          .arg(TipoCampo(*t, t->Fields(i).FieldName()))
                          .arg(t->Fields(i).Size());
        EXPECT_EQ(fields.join(' '), c.fields) << c.table;
    }
    EXPECT_EQ(dc.TabellaEntrate.FieldByName("Movimento").DisplayFormat(), "0.00");
    EXPECT_EQ(dc.TabellaUscite.FieldByName("Saldo").DisplayFormat(), "0.00");
    EXPECT_EQ(dc.TabellaImport.FieldByName("Movimento").DisplayFormat(), "0.00");
    EXPECT_EQ(dc.TabellaGlobale.IndexDefs().at(0).name, "IndiceTipo");
    EXPECT_FALSE(dc.TabellaGlobale.IndexDefs().at(0).options.unique);
    for (RecordTable* linked : { &dc.TabellaEntrate, &dc.TabellaUscite, &dc.TabellaImport }) {
        EXPECT_EQ(linked->MasterSource(), &dc.TabellaMesi);
        EXPECT_EQ(linked->MasterFields(), "Mese");
    }
    EXPECT_EQ(dc.DataSource("DataSource1"), &dc.TabellaSituazione);
    EXPECT_EQ(dc.DataSource("DataMesi"), &dc.TabellaMesi);
    EXPECT_EQ(dc.ReportDataSet("ReportGlobale"), &dc.TabellaGlobale);
    EXPECT_EQ(dc.ReportDataSet("ReportSituazione"), &dc.TabellaSituazione);
    EXPECT_EQ(dc.SaveFormat.VersionText(), "3.00");

    // The month list refuses a month twice.
    dc.TabellaMesi.Append();
    dc.TabellaMesi.Fields(0).SetAsInteger(5);
    EXPECT_EQ(errorOf([&] { dc.TabellaMesi.Post(); }), "Duplicate index value. Operation aborted.");
}

TEST_F(DataModule, TablesGoToAndComeBackFromTheirFiles)
{
    addType("Cibo", 255);
    addType("Casa", 16711680);
    SalvaTabella(dc.Tipologie, "Tabelle", "Tipologie", 0);
    SalvaTabella(dc.Tipologie, "Tabelle", "Tipologie", 2);
    EXPECT_FALSE(QDir(path("Tabelle")).exists()) << "any flag but 1 writes nothing, not even the folder";
    SalvaTabella(dc.Tipologie, "Tabelle", "Tipologie", 1);
    ASSERT_TRUE(QFile::exists(path("Tabelle/Tipologie.DAT")));
    SalvaTabella(dc.Tipologie, "Tabelle/2024", "Casa", 1, "OUT");
    ASSERT_TRUE(QFile::exists(path("Tabelle/2024/Casa.OUT")));

    RecordTable copy("Copy");
    CaricaTabella(copy, "Tabelle", "Tipologie", "Tipologia");
    EXPECT_EQ(copy.SortFields(), "Tipologia");
    copy.First();
    EXPECT_EQ(ValoreCampo(copy, "Tipologia"), "Casa");
    EXPECT_EQ(ValoreIntero(copy, "colore"), 16711680);
    ASSERT_EQ(copy.IndexDefs().size(), 1u);
    EXPECT_TRUE(copy.IndexDefs()[0].options.unique);

    // A missing file leaves the table as it is.
    CaricaTabella(copy, "Tabelle", "Nessuna");
    EXPECT_EQ(copy.RecordCount(), 2);
}

TEST_F(DataModule, StartUpLoadsTheMovementTypes)
{
    QTemporaryDir appDir;
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    setApplicationFolderForTests(appDir.path());

    // First start: no file, an empty table with its fields and unique index, and the folder.
    dc.DCCreate();
    EXPECT_EQ(dc.Tipologie.RecordCount(), 0);
    EXPECT_EQ(dc.Tipologie.FieldCount(), 2);
    EXPECT_TRUE(QDir(CartellaUtente() + "Tabelle").exists());

    addType("Cibo", 1);
    SalvaTabella(dc.Tipologie, "Tabelle", "Tipologie", 1);
    TDC second;
    second.DCCreate();
    ASSERT_EQ(second.Tipologie.RecordCount(), 1);
    EXPECT_TRUE(CercaValore(second.Tipologie, "Tipologia", "Cibo"));

    // A damaged file: the error reaches the caller and the table is as it was before the load.
    QFile f(CartellaUtente() + "Tabelle/Tipologie.DAT");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("TPF0\x03\xFB");
    f.close();
    TDC third;
    EXPECT_EQ(errorOf([&] { third.DCCreate(); }), "Stream read error");
    EXPECT_EQ(third.Tipologie.FieldCount(), 2);
    EXPECT_EQ(third.Tipologie.IndexDefs().size(), 1u);

    setApplicationFolderForTests({});
    setUserFolder(dir.path());
    qunsetenv("XDG_DATA_HOME");
}

TEST_F(DataModule, YearFilterOnAnImportTable)
{
    RecordTable& t = dc.TabellaImport;
    addMovement(t, day(2023, 12, 31), "old");
    addMovement(t, day(2024, 1, 1), "new year");
    addMovement(t, day(2024, 3, 15), "march");
    addMovement(t, 0, "no date");
    addMovement(t, 1e300, "beyond any calendar");
    EXPECT_EQ(FiltraAnno(t, 2024, 10), 7);
    QStringList kept;
    for (t.First(); !t.Eof(); t.Next())
        kept << QStringLiteral("%1:%2")
                    .arg(t.FieldByName("Commento").AsString())
                    .arg(t.FieldByName("Mese").AsInteger());
    EXPECT_EQ(kept, QStringList({ "new year:1", "march:3" }));
}

TEST_F(DataModule, YearFilterVisitsEveryRowOfALinkedTable)
{
    // Sorted on Mese;Data the link is in effect; the filter still sees every row, including rows
    // of hidden months and rows whose month changes under it.
    RecordTable& t = dc.TabellaUscite;
    t.SortOn("Mese;Data");
    dc.TabellaMesi.First(); // January
    for (int i = 0; i < 4; ++i) {
        addMovement(t, day(2024, 1 + i, 10), QStringLiteral("2024-%1").arg(1 + i)); // Mese set to January
        addMovement(t, day(2023, 1 + i, 10), QStringLiteral("2023-%1").arg(1 + i));
    }
    t.Append();
    t.FieldByName("Data").SetAsDateTime(day(2022, 7, 1));
    t.FieldByName("Mese").SetAsInteger(7); // hidden by the link
    t.Post();
    ASSERT_EQ(t.RecordCount(), 8);
    EXPECT_EQ(FiltraAnno(t, 2024, 9), 4);
    EXPECT_EQ(t.TotalRowCount(), 4);
    t.SortOn("");
    QStringList kept;
    for (t.First(); !t.Eof(); t.Next())
        kept << QStringLiteral("%1:%2")
                    .arg(t.FieldByName("Commento").AsString())
                    .arg(t.FieldByName("Mese").AsInteger());
    EXPECT_EQ(kept, QStringList({ "2024-1:1", "2024-2:2", "2024-3:3", "2024-4:4" }));
}

TEST_F(DataModule, FieldHelpers)
{
    addType("Cibo", 1);
    addType("Casa", 2);
    addType("CIBO", 3);
    dc.Tipologie.First();
    EXPECT_TRUE(CercaInizio(dc.Tipologie, "Tipologia", "cib"));
    EXPECT_EQ(ValoreCampo(dc.Tipologie, "Tipologia"), "Cibo");
    EXPECT_TRUE(CercaValore(dc.Tipologie, "Tipologia", "CIBO"));
    EXPECT_EQ(ValoreIntero(dc.Tipologie, "Colore"), 3);
    EXPECT_FALSE(CercaValore(dc.Tipologie, "Tipologia", "cibo"));
    EXPECT_EQ(ValoreCampo(dc.Tipologie, "Tipologia"), "CIBO") << "a failed search does not move";
    EXPECT_FALSE(CercaInizio(dc.Tipologie, "Tipologia", "xyz"));

    EXPECT_TRUE(EsisteCampo(dc.Tipologie, "COLORE"));
    EXPECT_FALSE(EsisteCampo(dc.Tipologie, "Importo"));
    EXPECT_TRUE(CampoIntero(dc.Tipologie, "Colore"));
    EXPECT_FALSE(CampoIntero(dc.Tipologie, "Tipologia"));
    EXPECT_FALSE(CampoIntero(dc.Tipologie, "Importo"));
    EXPECT_EQ(TipoCampo(dc.TabellaEntrate, "Movimento"), static_cast<int>(FieldType::Float));
    EXPECT_EQ(ValoreIntero(dc.Tipologie, "Tipologia"), -1);
    EXPECT_EQ(ValoreIntero(dc.Tipologie, "Importo"), -1);
    EXPECT_EQ(ValoreCampo(dc.Tipologie, "Importo"), "");
}
