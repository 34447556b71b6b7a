#include "storage/RecordTable.h"

#include "base/SystemFormats.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QSignalSpy>

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

class ItalianFormats : public ::testing::Test {
protected:
    void SetUp() override
    {
        SystemFormats::override(
            { QLatin1Char(','), QLatin1Char('.'), QStringLiteral("dd/MM/yyyy"), QStringLiteral("HH:mm:ss") });
        setCollationLocale(QLocale(QLocale::Italian, QLocale::Italy));
    }
    void TearDown() override
    {
        SystemFormats::reset();
        setCollationLocale(QLocale());
    }
};

class Tipologie : public ItalianFormats {
protected:
    Tipologie()
        : t("Tipologie")
    {
        t.AddField("Tipologia", FieldType::String, 32);
        t.AddField("Colore", FieldType::Integer);
        t.AddIndex("IndiceTipologia", "Tipologia", { .unique = true, .primary = true });
    }
    void add(const QString& name, int colour = 0)
    {
        t.Append();
        t.Fields(0).SetAsString(name);
        t.Fields(1).SetAsInteger(colour);
        t.Post();
    }
    QStringList names()
    {
        QStringList out;
        for (t.First(); !t.Eof(); t.Next())
            out << t.Fields(0).AsString();
        return out;
    }
    RecordTable t;
};

}

// --- fields and values -------------------------------------------------------------------------

using FieldValues = ItalianFormats;

TEST_F(FieldValues, LookupByNameIgnoresCaseAndReportsMissingFields)
{
    RecordTable t("TabellaEntrate");
    t.AddField("Tipologia", FieldType::String, 16);
    EXPECT_EQ(&t.FieldByName("TIPOLOGIA"), &t.Fields(0));
    EXPECT_EQ(errorOf([&] { t.FieldByName("Importo"); }), "TabellaEntrate: Field 'Importo' not found");
    EXPECT_EQ(
        errorOf([&] { t.AddField("tipologia", FieldType::Integer); }), "Duplicate field name 'tipologia'");
}

TEST_F(FieldValues, TextIsConvertedToTheFieldType)
{
    RecordTable t("T");
    t.AddField("S", FieldType::String, 16);
    t.AddField("I", FieldType::Integer);
    t.AddField("W", FieldType::SmallInt);
    t.AddField("F", FieldType::Float);
    t.AddField("D", FieldType::Date);
    t.Append();
    struct Case {
        int field;
        QString text;
        QString readBack; // empty with error set
        std::string error;
    };
    const Case cases[] = {
        { 0, "Abbonamenti mensili", "Abbonamenti mens", "" }, // cut to 16 characters
        { 0, "", "", "" },
        { 1, " 42", "42", "" },
        { 1, "4,5", "", "'4,5' is not a valid integer value for field 'I'" },
        { 1, "3000000000", "", "'3000000000' is not a valid integer value for field 'I'" },
        { 2, "40000", "", "'40000' is not a valid integer value for field 'W'" },
        { 3, "12,50", "12,5", "" },
        { 3, "12.50", "", "'12.50' is not a valid floating point value for field 'F'" },
        { 3, "abc", "", "'abc' is not a valid floating point value for field 'F'" },
        { 4, "15/03/2024", "15/03/2024", "" },
        { 4, "1/3/24", "01/03/2024", "" },
        { 4, "31/02/2024", "", "'31/02/2024' is not a valid date" },
        { 4, "ieri", "", "'ieri' is not a valid date" },
    };
    const QString baseline[] = { "x", "7", "7", "7", "01/01/2020" };
    // SetAsText (a view of a text held elsewhere) follows the same rules as SetAsString.
    for (const bool viaView : { false, true })
        for (const Case& c : cases) {
            Field& f = t.Fields(c.field);
            f.SetAsString(baseline[c.field]);
            const QString before = f.AsString();
            const std::string error = errorOf([&] {
                if (viaView)
                    f.SetAsText(QStringView(c.text));
                else
                    f.SetAsString(c.text);
            });
            if (c.error.empty()) {
                EXPECT_EQ(error, "(no error)") << c.text.toStdString() << (viaView ? " (view)" : "");
                EXPECT_EQ(f.AsString(), c.readBack) << c.text.toStdString() << (viaView ? " (view)" : "");
            } else {
                EXPECT_EQ(error, c.error);
                EXPECT_EQ(f.AsString(), before) << "the field keeps its value";
                EXPECT_EQ(t.State(), TableState::Insert);
            }
        }
    // An empty text clears a non-text field; an empty string is a value.
    t.Fields(3).SetAsString("");
    EXPECT_TRUE(t.Fields(3).IsNull());
    t.Fields(0).SetAsString("");
    EXPECT_FALSE(t.Fields(0).IsNull());
}

// Rows appended one after another through SetAsText reuse the storage of the previous row's
// texts: a shorter text after a longer one must not keep the longer one's tail, a text the caller
// still holds must not change, and every posted row keeps its own values.
TEST_F(FieldValues, TextsWrittenRowAfterRowKeepEachRowsOwnValue)
{
    RecordTable t("T");
    t.AddField("Commento", FieldType::String, 128);
    t.AddField("Nota", FieldType::Memo);
    const QString held = QStringLiteral("testo del chiamante");
    const QString memo(5000, QLatin1Char('m'));
    const QStringList comments = { "affitto di marzo", "gas", "", "luce e acqua di aprile", "tv" };
    t.DisableControls();
    for (qsizetype i = 0; i < comments.size(); ++i) {
        t.Append();
        if (i == 1)
            t.Fields(0).SetAsString(held); // shared with the caller, then reused below
        else
            t.Fields(0).SetAsText(comments[i]);
        t.Fields(1).SetAsText(i == 2 ? QStringView(memo) : QStringView(comments[i]).left(2));
        t.Post();
    }
    t.EnableControls();
    EXPECT_EQ(held, QStringLiteral("testo del chiamante"));
    ASSERT_EQ(t.RecordCount(), comments.size());
    t.First();
    for (qsizetype i = 0; i < comments.size(); ++i, t.Next()) {
        EXPECT_EQ(t.Fields(0).AsString(), i == 1 ? held : comments[i]) << "row " << i;
        EXPECT_EQ(t.Fields(1).AsString(), i == 2 ? memo : comments[i].left(2)) << "row " << i;
    }
}

TEST_F(FieldValues, NullsReadAsNeutralValuesAndDatesDropTheTime)
{
    RecordTable t("T");
    t.AddField("S", FieldType::String, 4);
    t.AddField("I", FieldType::Integer);
    t.AddField("F", FieldType::Float);
    t.AddField("D", FieldType::Date);
    t.Append();
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(t.Fields(i).IsNull());
        EXPECT_EQ(t.Fields(i).AsString(), "");
        EXPECT_EQ(t.Fields(i).AsInteger(), 0);
        EXPECT_EQ(t.Fields(i).AsFloat(), 0.0);
    }
    t.Fields(3).SetAsDateTime(45366.99);
    EXPECT_EQ(t.Fields(3).AsDateTime(), 45366.0);
    EXPECT_EQ(t.Fields(3).AsString(), "15/03/2024");
    t.Fields(3).SetAsDateTime(-1e300); // only a foreign file holds such a day: shown as a number
    EXPECT_EQ(t.Fields(3).AsString(), "-1e+300");
    t.Fields(2).SetAsFloat(1234.5);
    EXPECT_EQ(t.Fields(2).AsString(), "1234,5");
    t.Fields(2).SetDisplayFormat("0.00");
    EXPECT_EQ(t.Fields(2).DisplayText(), "1234,50");
    t.Fields(2).SetDisplayFormat("#,##0.00");
    EXPECT_EQ(t.Fields(2).DisplayText(), "1.234,50");
    t.Fields(0).SetAsString("abc");
    EXPECT_EQ(errorOf([&] { t.Fields(0).AsInteger(); }), "'abc' is not a valid integer value");
    t.Fields(1).Clear();
    EXPECT_TRUE(t.Fields(1).IsNull());

    // Values are converted from what they hold to the field's type.
    struct Case {
        int field;
        FieldValue value;
        QString readBack;
    };
    const Case cases[] = {
        { 2, FieldValue::fromInteger(3), "3" },
        { 1, FieldValue::fromDouble(2.5), "2" }, // rounded half to even
        { 1, FieldValue::fromText(" 12"), "12" },
        { 0, FieldValue::fromDouble(0.5), "0,5" },
        { 3, FieldValue::fromDouble(45366.75), "15/03/2024" },
        { 3, FieldValue::fromText("16/03/2024"), "16/03/2024" },
        { 2, FieldValue(), "" },
    };
    for (const Case& c : cases) {
        t.Fields(c.field).SetValue(c.value);
        EXPECT_EQ(t.Fields(c.field).AsString(), c.readBack) << c.field;
    }
}

TEST_F(FieldValues, WritesNeedTheEditingOrInsertingState)
{
    RecordTable t("T");
    t.AddField("I", FieldType::Integer);
    EXPECT_EQ(errorOf([&] { t.Fields(0).SetAsInteger(1); }), "Dataset not in edit or insert mode");
    EXPECT_EQ(errorOf([&] { t.Edit(); }), "Cannot perform this operation on an empty dataset");
    EXPECT_EQ(errorOf([&] { t.Delete(); }), "Cannot perform this operation on an empty dataset");
    EXPECT_EQ(errorOf([&] { t.Post(); }), "Cannot perform this operation on an empty dataset");
    EXPECT_EQ(t.State(), TableState::Browse);
    t.Close();
    EXPECT_EQ(errorOf([&] { t.Append(); }), "Cannot perform this operation on a closed dataset");
    EXPECT_EQ(t.State(), TableState::Inactive);
}

// --- cursor ------------------------------------------------------------------------------------

TEST_F(Tipologie, NavigationAndEndFlags)
{
    t.First();
    EXPECT_TRUE(t.Eof());
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.RecordCount(), 0);
    add("Casa");
    add("Auto");
    add("Cibo");
    t.First();
    EXPECT_FALSE(t.Eof());
    EXPECT_EQ(t.Fields(0).AsString(), "Casa");
    t.Next();
    t.Next();
    EXPECT_FALSE(t.Eof());
    t.Next(); // past the last row: stays on it
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.Fields(0).AsString(), "Cibo");
    t.Prior();
    EXPECT_FALSE(t.Eof());
    EXPECT_EQ(t.Fields(0).AsString(), "Auto");
    EXPECT_EQ(t.RecNo(), 1);
    t.Last();
    EXPECT_EQ(t.Fields(0).AsString(), "Cibo");
}

TEST_F(Tipologie, DeleteMovesToTheNextRowOrThePreviousOne)
{
    for (const char* n : { "A", "B", "C" })
        add(n);
    t.First();
    t.Next();
    t.Delete();
    EXPECT_EQ(t.Fields(0).AsString(), "C");
    t.Delete();
    EXPECT_EQ(t.Fields(0).AsString(), "A");
    EXPECT_FALSE(t.Eof());
    t.Delete();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.RecordCount(), 0);
}

TEST_F(Tipologie, MovingWhileEditingPostsOnlyWrittenRows)
{
    add("A");
    t.Append(); // nothing written: dropped by the move
    t.First();
    EXPECT_EQ(t.RecordCount(), 1);
    t.Append();
    t.Fields(0).SetAsString("B");
    t.First(); // written: posted by the move
    EXPECT_EQ(names(), QStringList({ "A", "B" }));
    t.First();
    t.Edit();
    t.Fields(0).SetAsString("Z");
    t.Cancel();
    EXPECT_EQ(names(), QStringList({ "A", "B" }));
}

// --- uniqueness --------------------------------------------------------------------------------

TEST_F(Tipologie, DuplicateKeysAreRefusedCaseSensitively)
{
    add("Cibo", 1);
    t.Append();
    t.Fields(0).SetAsString("Cibo");
    t.Fields(1).SetAsInteger(2);
    EXPECT_EQ(errorOf([&] { t.Post(); }), "Duplicate index value. Operation aborted.");
    EXPECT_EQ(t.State(), TableState::Insert);
    EXPECT_EQ(t.Fields(1).AsInteger(), 2);
    EXPECT_EQ(t.RecordCount(), 1);
    t.Fields(0).SetAsString("CIBO");
    t.Post();
    EXPECT_EQ(t.RecordCount(), 2);

    // Editing a row onto another row's key fails and leaves the stored row unchanged; keeping its
    // own key is fine.
    t.Locate("Tipologia", "CIBO");
    t.Edit();
    t.Fields(0).SetAsString("Cibo");
    EXPECT_EQ(errorOf([&] { t.Post(); }), "Duplicate index value. Operation aborted.");
    EXPECT_EQ(t.State(), TableState::Edit);
    t.Cancel();
    EXPECT_EQ(names(), QStringList({ "Cibo", "CIBO" }));
    t.Locate("Tipologia", "CIBO");
    t.Edit();
    t.Fields(1).SetAsInteger(9);
    t.Post();
    EXPECT_EQ(t.Fields(1).AsInteger(), 9);
    // Every unique index is checked, also one declared later.
    t.AddIndex("ByColour", "Colore", { .unique = true });
    EXPECT_EQ(errorOf([&] { add("Altro", 9); }), "Duplicate index value. Operation aborted.");
    t.Cancel();
    EXPECT_EQ(t.RecordCount(), 2);
}

// --- sort order --------------------------------------------------------------------------------

TEST_F(Tipologie, SortOnIsStableAndMaintained)
{
    add("b", 2);
    add("a", 1);
    add("c", 2);
    add("d", 1);
    t.Locate("Tipologia", "c");
    t.SortOn("Colore");
    EXPECT_EQ(t.Fields(0).AsString(), "c") << "the cursor stays on its row";
    EXPECT_EQ(names(), QStringList({ "a", "d", "b", "c" }));
    // An edited row keeps its number among equal keys; an appended row takes its place at once.
    t.Locate("Tipologia", "a");
    t.Edit();
    t.Fields(1).SetAsInteger(2);
    t.Post();
    EXPECT_EQ(t.Fields(0).AsString(), "a");
    EXPECT_EQ(names(), QStringList({ "d", "b", "a", "c" }));
    add("e", 0);
    EXPECT_EQ(t.Fields(0).AsString(), "e");
    EXPECT_EQ(t.RecNo(), 0);
    t.SortOn("  ");
    EXPECT_EQ(names(), QStringList({ "b", "a", "c", "d", "e" }));
    EXPECT_EQ(errorOf([&] { t.SortOn("Colore;Nessuno"); }), "Tipologie: Field 'Nessuno' not found");
}

TEST_F(Tipologie, NullsSortFirstAndStringsUseTheLocaleCollation)
{
    add("beta");
    add("Zulu");
    add("alfa");
    t.Append();
    t.Fields(0).SetAsString("zeta");
    t.Fields(1).Clear();
    t.Post();
    t.SortOn("Colore;Tipologia");
    const QStringList sorted = names();
    EXPECT_EQ(sorted.first(), "zeta");
    EXPECT_EQ(sorted.mid(1), QStringList({ "alfa", "beta", "Zulu" })) << "collation, not code points";
}

// --- locate ------------------------------------------------------------------------------------

TEST_F(Tipologie, LocateFindsTheFirstMatchInTheCurrentOrder)
{
    add("Cibo", 3);
    add("Casa", 1);
    add("CIBO", 2);
    add("Cinema", 1);
    struct Case {
        const char* field;
        const char* value;
        LocateOptions options;
        const char* inInsertionOrder; // nullptr: not found
        const char* inColourOrder;
    };
    const Case cases[] = {
        { "Tipologia", "CIBO", {}, "CIBO", "CIBO" },
        { "Tipologia", "cibo", {}, nullptr, nullptr },
        { "Tipologia", "cib", {}, nullptr, nullptr },
        { "Tipologia", "cib", { .caseInsensitive = true, .partialKey = true }, "Cibo", "CIBO" },
        { "Tipologia", "CI", { .caseInsensitive = false, .partialKey = true }, "CIBO", "CIBO" },
        { "Colore", "1", {}, "Casa", "Casa" },
        { "Colore", "2", {}, "CIBO", "CIBO" },
        { "tipologia", "Cinema", {}, "Cinema", "Cinema" },
    };
    for (bool sorted : { false, true }) {
        t.SortOn(sorted ? "Colore" : "");
        for (const Case& c : cases) {
            t.Locate("Tipologia", "Casa");
            const char* expected = sorted ? c.inColourOrder : c.inInsertionOrder;
            const bool found = t.Locate(c.field, c.value, c.options);
            EXPECT_EQ(found, expected != nullptr) << c.value;
            EXPECT_EQ(t.Fields(0).AsString(), expected ? expected : "Casa")
                << c.value << " sorted " << sorted;
        }
    }
    // With the order on the searched field the first match in that order is found.
    add("Ultimo", 1);
    t.SortOn("Colore");
    ASSERT_TRUE(t.Locate("Colore", "1"));
    EXPECT_EQ(t.Fields(0).AsString(), "Casa");
    EXPECT_EQ(
        errorOf([&] { t.Locate("Colore", "uno"); }), "'uno' is not a valid integer value for field 'Colore'");
}

// --- bookmarks and notifications ---------------------------------------------------------------

TEST_F(Tipologie, BookmarksReturnToTheirRow)
{
    add("A");
    add("B");
    t.First();
    const Bookmark b = t.GetBookmark();
    t.Last();
    t.GotoBookmark(b);
    EXPECT_EQ(t.Fields(0).AsString(), "A");
    t.FreeBookmark(b);
    t.Delete();
    EXPECT_FALSE(t.BookmarkValid(b));
    EXPECT_EQ(errorOf([&] { t.GotoBookmark(b); }), "Record not found");
}

TEST_F(Tipologie, DisabledControlsNotifyOnceOnTheLastEnable)
{
    QSignalSpy changed(&t, &RecordTable::dataSetChanged);
    QSignalSpy moved(&t, &RecordTable::currentChanged);
    t.DisableControls();
    t.DisableControls();
    add("A");
    add("B");
    t.First();
    t.EnableControls();
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(moved.count(), 0);
    t.EnableControls();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(moved.count(), 0);
    t.EnableControls(); // unbalanced: nothing
    EXPECT_EQ(changed.count(), 1);
    t.Next();
    EXPECT_EQ(moved.count(), 1);
}

TEST_F(Tipologie, EmptyTableKeepsStructureAndOrder)
{
    add("A");
    add("B");
    t.SortOn("Tipologia");
    t.EmptyTable();
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(t.TotalRowCount(), 0);
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldCount(), 2);
    EXPECT_EQ(t.SortFields(), "Tipologia");
    add("B");
    add("A");
    EXPECT_EQ(names(), QStringList({ "A", "B" }));
    t.Append();
    t.Fields(0).SetAsString("A");
    EXPECT_EQ(errorOf([&] { t.Post(); }), "Duplicate index value. Operation aborted.");
}
