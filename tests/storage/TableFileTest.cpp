#include "StreamBytes.h"

#include "storage/TDC.h"
#include "storage/TableFile.h"

#include "base/DateTime.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <bit>
#include <cmath>
#include <limits>

using namespace contivo;
using contivo::test::Bytes;

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

void movementTable(RecordTable& t)
{
    TDC::DeclareMovementFields(t);
}

void addMovement(
    RecordTable& t, double day, const QString& type, const QString& comment, double amount, int month)
{
    t.Append();
    t.FieldByName("Data").SetAsDateTime(day);
    t.FieldByName("Tipologia").SetAsString(type);
    t.FieldByName("Commento").SetAsString(comment);
    t.FieldByName("Movimento").SetAsFloat(amount);
    t.FieldByName("Mese").SetAsInteger(month);
    t.Post();
}

}

// --- value encodings ---------------------------------------------------------------------------

TEST(TableFileFormat, EmptyMovementTableHasTheDocumentedLayout)
{
    RecordTable t("TabellaEntrate");
    movementTable(t);
    Bytes expected;
    expected.sig().raw({ 0x03, 0xFB, 0x00 }).listBegin();
    // The group of Data, byte for byte as documented.
    expected.raw(hex("06 04 44 61 74 61  06 04 44 61 74 65  02 00  06 04 44 61 74 61  06 00  02 0A  08  08"
                     "06 04 44 61 74 61  06 00"));
    expected.field(251, "Tipologia", "String", 16, 16)
        .field(251, "Commento", "String", 128, 128)
        .field(251, "Movimento", "Float", 0, 10)
        .field(251, "Mese", "Integer", 0, 10)
        .field(251, "Saldo", "Float", 0, 10)
        .listEnd();
    expected.raw({ 0x01, 0x00, 0x01, 0x00 });
    EXPECT_EQ(TableFileFormat::Serialize(t).toHex(' '), expected.bytes().toHex(' '));
}

TEST(TableFileFormat, FloatsAreX87ExtendedLittleEndian)
{
    struct Case {
        double value;
        const char* bytes;
    };
    const Case cases[] = {
        { 2.5, "00 00 00 00 00 00 00 A0 00 40" },
        { 45366.0, "00 00 00 00 00 00 36 B1 0E 40" }, // 15 March 2024
        { 0.0, "00 00 00 00 00 00 00 00 00 00" },
        { -1.0, "00 00 00 00 00 00 00 80 FF BF" },
        { std::numeric_limits<double>::infinity(), "00 00 00 00 00 00 00 80 FF 7F" },
        { std::numeric_limits<double>::denorm_min(), "00 00 00 00 00 00 00 80 CD 3B" },
    };
    for (const Case& c : cases) {
        const auto ext = doubleToExtended(c.value);
        EXPECT_EQ(
            QByteArray(reinterpret_cast<const char*>(ext.data()), 10).toHex(' '), hex(c.bytes).toHex(' '))
            << c.value;
        EXPECT_EQ(std::bit_cast<quint64>(extendedToDouble(ext.data())), std::bit_cast<quint64>(c.value))
            << c.value;
    }
    EXPECT_EQ(dt::fromDate(QDate(2024, 3, 15)), 45366.0);
}

TEST(TableFileFormat, ExtendedToDoubleRoundsToNearestEven)
{
    // Mantissas with 64 bits of precision, exponent 0x3FFF (values near 1).
    struct Case {
        quint64 mantissa;
        int exponent;
        double expected;
    };
    const double one = 1.0;
    const double ulp = std::ldexp(1.0, -52);
    const Case cases[] = {
        { 0x8000000000000400ull, 0x3FFF, one }, // exactly half an ulp above 1: tie to even (down)
        { 0x8000000000000C00ull, 0x3FFF, one + 2 * ulp }, // 1.5 ulp: tie to even (up)
        { 0x8000000000000401ull, 0x3FFF, one + ulp }, // just above half: up
        { 0xFFFFFFFFFFFFFFFFull, 0x3FFF, 2.0 }, // carry into the exponent
        { 0x8000000000000000ull, 0x3FFF + 1024, std::numeric_limits<double>::infinity() }, // too large
        { 0x8000000000000000ull, 0x3FFF - 1100, 0.0 }, // far below the smallest subnormal
        { 0x8000000000000000ull, 0x3FFF - 1074, std::numeric_limits<double>::denorm_min() },
        { 0xC000000000000000ull, 0x3FFF - 1075, std::numeric_limits<double>::denorm_min() }, // 0.75 of it: up
        { 0x8000000000000000ull, 0x3FFF - 1075, 0.0 }, // half the smallest subnormal: tie to even (zero)
        { 0x0000000000000001ull, 0, 0.0 }, // a denormal of the wide format
    };
    for (const Case& c : cases) {
        unsigned char b[10];
        for (int i = 0; i < 8; ++i)
            b[i] = static_cast<unsigned char>(c.mantissa >> (8 * i));
        b[8] = static_cast<unsigned char>(c.exponent & 0xFF);
        b[9] = static_cast<unsigned char>(c.exponent >> 8);
        EXPECT_EQ(extendedToDouble(b), c.expected) << std::hex << c.mantissa << " e=" << c.exponent;
    }
}

TEST(TableFileFormat, DoublesSurviveTheWideFormat)
{
    const double values[] = { 0.1, -0.0, 1e-310, 2.2250738585072014e-308, 1.7976931348623157e308, -123456.789,
        3.141592653589793, 45366.5 };
    for (double v : values) {
        const auto ext = doubleToExtended(v);
        EXPECT_EQ(std::bit_cast<quint64>(extendedToDouble(ext.data())), std::bit_cast<quint64>(v)) << v;
    }
    const auto nan = doubleToExtended(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(std::isnan(extendedToDouble(nan.data())));
}

TEST(TableFileFormat, IntegersAndStringsUseTheShortestTag)
{
    struct Case {
        qint64 value;
        const char* bytes;
    };
    const Case cases[] = {
        { 0, "02 00" },
        { -128, "02 80" },
        { 127, "02 7F" },
        { 128, "03 80 00" },
        { -129, "03 7F FF" },
        { 32767, "03 FF 7F" },
        { -32768, "03 00 80" },
        { 32768, "04 00 80 00 00" },
        { -32769, "04 FF 7F FF FF" },
        { 2147483647, "04 FF FF FF 7F" },
    };
    for (const Case& c : cases) {
        RecordTable t("T");
        t.AddField("N", FieldType::Integer);
        t.Append();
        t.Fields(0).SetAsInteger(c.value);
        t.Post();
        const QByteArray file = TableFileFormat::Serialize(t);
        // The row is the last thing in the file: 01 00 | 01 02 00 08 <value> 00 | 00
        const QByteArray value = hex(c.bytes);
        EXPECT_TRUE(file.endsWith(hex("01 02 00 08") + value + hex("00 00")))
            << c.value << " " << file.toHex(' ').constData();
    }

    RecordTable t("T");
    t.AddField("S", FieldType::Memo);
    for (int n : { 255, 256 }) {
        t.Append();
        t.Fields(0).SetAsString(QString(n, u'x'));
        t.Post();
    }
    const QByteArray file = TableFileFormat::Serialize(t);
    EXPECT_TRUE(file.contains(hex("08 06 FF") + QByteArray(255, 'x') + hex("00")));
    EXPECT_TRUE(file.contains(hex("08 0C 00 01 00 00") + QByteArray(256, 'x') + hex("00")));
}

// --- round trips -------------------------------------------------------------------------------

TEST(TableFileFormat, SaveAndLoadKeepEveryValueAndTheBytes)
{
    RecordTable t("T");
    t.AddField("S", FieldType::String, 20);
    t.AddField("I", FieldType::Integer);
    t.AddField("W", FieldType::SmallInt);
    t.AddField("F", FieldType::Float);
    t.AddField("D", FieldType::Date);
    t.AddField("DT", FieldType::DateTime);
    t.AddField("B", FieldType::Boolean);
    t.AddField("C", FieldType::Currency);
    t.AddIndex(
        "ByS", "S;I", { .unique = true, .descending = true, .caseInsensitive = true, .primary = true });
    t.Append();
    t.Fields(0).SetAsString(QStringLiteral("Caffè € “x”"));
    t.Fields(1).SetAsInteger(-70000);
    t.Fields(2).SetAsInteger(-5);
    t.Fields(3).SetAsFloat(0.1);
    t.Fields(4).SetAsDateTime(45366.75);
    t.Fields(5).SetAsDateTime(45366.75);
    t.Fields(6).SetAsBoolean(true);
    t.Fields(7).SetAsFloat(12.34567);
    t.Post();
    t.Append(); // all null
    t.Post();

    const QByteArray bytes = TableFileFormat::Serialize(t);
    RecordTable u("U");
    TableFileFormat::Deserialize(bytes, u);
    ASSERT_EQ(u.FieldCount(), 8);
    EXPECT_EQ(u.RecordCount(), 2);
    u.First();
    EXPECT_EQ(u.FieldByName("S").AsString(), QStringLiteral("Caffè € “x”"));
    EXPECT_EQ(u.FieldByName("I").AsInteger(), -70000);
    EXPECT_EQ(u.FieldByName("W").AsInteger(), -5);
    EXPECT_EQ(u.FieldByName("F").AsFloat(), 0.1);
    EXPECT_EQ(u.FieldByName("D").AsDateTime(), 45366.0);
    EXPECT_EQ(u.FieldByName("DT").AsDateTime(), 45366.75);
    EXPECT_TRUE(u.FieldByName("B").AsBoolean());
    EXPECT_EQ(u.FieldByName("C").AsFloat(), 12.3457);
    u.Next();
    for (int i = 0; i < u.FieldCount(); ++i)
        EXPECT_TRUE(u.Fields(i).IsNull()) << i;
    ASSERT_EQ(u.IndexDefs().size(), 1u);
    EXPECT_EQ(u.IndexDefs()[0].fields, "S;I");
    EXPECT_TRUE(u.IndexDefs()[0].options.unique);
    EXPECT_TRUE(u.IndexDefs()[0].options.descending);
    EXPECT_TRUE(u.IndexDefs()[0].options.caseInsensitive);
    EXPECT_FALSE(u.IndexDefs()[0].options.primary); // the marker is not stored
    EXPECT_EQ(TableFileFormat::Serialize(u), bytes);
}

TEST(TableFileFormat, LoadingReplacesStructureAndDropsDisplayFormatsAndSortOrder)
{
    RecordTable four("Four");
    four.AddField("Data", FieldType::Date);
    four.AddField("Commento", FieldType::String, 128);
    four.AddField("Movimento", FieldType::Float);
    four.AddField("Extra", FieldType::Integer);
    four.Append();
    four.Fields(3).SetAsInteger(7);
    four.Post();

    RecordTable t("TabellaEntrate");
    movementTable(t);
    t.SortOn("Mese;Data");
    TableFileFormat::Deserialize(TableFileFormat::Serialize(four), t);
    ASSERT_EQ(t.FieldCount(), 4);
    EXPECT_EQ(t.FieldByName("extra").AsInteger(), 7);
    EXPECT_EQ(errorOf([&] { t.FieldByName("Mese"); }), "TabellaEntrate: Field 'Mese' not found");
    EXPECT_EQ(t.FieldByName("Movimento").DisplayFormat(), "");
    EXPECT_EQ(t.SortFields(), "");
    EXPECT_FALSE(t.Bof() && t.Eof());
}

TEST(TableFileFormat, SavingALinkedDetailWritesAllRowsInTheCurrentOrder)
{
    TDC dc;
    for (int m = 1; m <= 12; ++m) {
        dc.TabellaMesi.Append();
        dc.TabellaMesi.Fields(0).SetAsInteger(m);
        dc.TabellaMesi.Post();
    }
    RecordTable& t = dc.TabellaEntrate;
    addMovement(t, 45370, "b", "march late", 1, 3);
    addMovement(t, 45300, "a", "january", 2, 1);
    addMovement(t, 45366, "c", "march early", 3, 3);
    t.SortOn("Mese;Data");
    dc.TabellaMesi.First(); // January
    ASSERT_EQ(t.RecordCount(), 1);

    RecordTable u("U");
    TableFileFormat::Deserialize(TableFileFormat::Serialize(t), u);
    QStringList comments;
    for (u.First(); !u.Eof(); u.Next())
        comments << u.FieldByName("Commento").AsString();
    EXPECT_EQ(comments, QStringList({ "january", "march early", "march late" }));
    EXPECT_EQ(t.RecordCount(), 1); // the link is back
}

// --- reading older versions ------------------------------------------------------------------------

TEST(TableFileFormat, ReadsEveryVersion)
{
    // One String(8) and one Date field, two rows: ("abcdefghij" cut to 8, 15 March 2024) and
    // (empty text, date 0 = null). Index list from 200, row lists from 230, null flags from 249.
    for (int version : { 100, 200, 230, 249, 250, 251, 300 }) {
        Bytes b;
        b.sig();
        if (version != 100)
            b.i16(version);
        b.listBegin().field(version, "S", "String", 8, 8).field(version, "D", "Date", 0, 10).listEnd();
        if (version >= 200)
            b.listBegin()
                .str("IxS")
                .str("S")
                .str("IxS")
                .boolean(false)
                .boolean(false)
                .boolean(false)
                .boolean(true)
                .listEnd();
        b.listBegin();
        auto row = [&](const char* s, bool dated) {
            if (version >= 230)
                b.listBegin().i8(0);
            if (version >= 249)
                b.boolean(false);
            b.str(s);
            if (version >= 249)
                b.boolean(false);
            dated ? b.raw(hex("05 00 00 00 00 00 00 36 B1 0E 40"))
                  : b.raw(hex("05 00 00 00 00 00 00 00 00 00 00"));
            if (version >= 230)
                b.listEnd();
        };
        row("abcdefghij", true);
        row("", false);
        b.listEnd();
        b.raw({ 0x55, 0x66 }); // trailing bytes are ignored

        RecordTable t("T");
        TableFileFormat::Deserialize(b, t);
        SCOPED_TRACE(version);
        ASSERT_EQ(t.FieldCount(), 2);
        EXPECT_EQ(t.Fields(1).DataType(), FieldType::Date);
        EXPECT_EQ(t.IndexDefs().size(), version >= 200 ? 1u : 0u);
        ASSERT_EQ(t.RecordCount(), 2);
        t.First();
        EXPECT_EQ(t.Fields(0).AsString(), "abcdefgh");
        EXPECT_EQ(t.Fields(1).AsDateTime(), 45366.0);
        t.Next();
        EXPECT_FALSE(t.Fields(0).IsNull());
        EXPECT_TRUE(t.Fields(1).IsNull());
    }
}

TEST(TableFileFormat, ReaderDetails)
{
    // A boolean holding another byte reads as false and consumes only that byte; an unknown kind
    // means Data; a float item may be an integer; older row versions are skipped; a long string
    // is cut to the field size.
    Bytes b;
    b.sig().i16(251).listBegin();
    b.str("S")
        .str("String")
        .i8(3)
        .str("Label")
        .str("")
        .i8(0)
        .raw({ 0x42 })
        .boolean(true)
        .str("Whatever")
        .str("");
    b.str("F").str("Float").i8(0).str("F").str("").i8(10).boolean(false).boolean(false).str("Lookup").str("");
    b.listEnd().listBegin().listEnd();
    b.listBegin();
    b.listBegin()
        .i8(2)
        .boolean(false)
        .raw({ 0x0C, 5, 0, 0, 0 })
        .raw(QByteArray("vwxyz"))
        .boolean(false)
        .i16(300);
    b.i8(1).boolean(true).boolean(true); // an older version of the row
    b.listEnd().listEnd();
    RecordTable t("T");
    TableFileFormat::Deserialize(b, t);
    ASSERT_EQ(t.FieldCount(), 2);
    EXPECT_FALSE(t.Fields(0).def().required);
    EXPECT_TRUE(t.Fields(0).def().readOnly);
    EXPECT_EQ(t.Fields(0).def().displayLabel, "Label");
    EXPECT_EQ(t.Fields(0).def().kind, FieldKind::Data);
    EXPECT_EQ(t.Fields(1).def().kind, FieldKind::Lookup);
    ASSERT_EQ(t.RecordCount(), 1);
    t.First();
    EXPECT_EQ(t.Fields(0).AsString(), "vwx");
    EXPECT_EQ(t.Fields(1).AsFloat(), 300.0);
    // A Lookup field is not written back.
    EXPECT_FALSE(TableFileFormat::Serialize(t).contains("Lookup"));
}

TEST(TableFileFormat, EmptyListsKeepTheTablesOwnFieldsAndIndexes)
{
    RecordTable t("Tipologie");
    t.AddField("Tipologia", FieldType::String, 32);
    t.AddField("Colore", FieldType::Integer);
    t.AddIndex("IndiceTipologia", "Tipologia", { .unique = true });
    Bytes b;
    b.sig().i16(251).listBegin().listEnd().listBegin().listEnd();
    b.listBegin()
        .listBegin()
        .i8(0)
        .boolean(false)
        .str("Cibo")
        .boolean(false)
        .i32(0xFF00FF)
        .listEnd()
        .listEnd();
    TableFileFormat::Deserialize(b, t);
    ASSERT_EQ(t.FieldCount(), 2);
    EXPECT_EQ(t.FieldByName("Colore").AsInteger(), 0xFF00FF);
    ASSERT_EQ(t.IndexDefs().size(), 1u);
    t.Append();
    t.Fields(0).SetAsString("Cibo");
    EXPECT_EQ(errorOf([&] { t.Post(); }), "Duplicate index value. Operation aborted.");
}

TEST(TableFileFormat, ErrorTexts)
{
    auto header = [](int version) {
        Bytes b;
        b.sig().i16(version);
        return b;
    };
    struct Case {
        const char* what;
        QByteArray bytes;
        const char* error;
    };
    const Case cases[] = {
        { "empty file", QByteArray(), "Stream read error" },
        { "short signature", QByteArray("TPF"), "Stream read error" },
        { "bad signature", QByteArray("TPF1\x03\xFB\x00\x01\x00\x01\x00\x01\x00", 13),
            "Invalid stream format" },
        { "signature only", QByteArray("TPF0"), "Stream read error" },
        { "version as string", Bytes().sig().str("251"), "Invalid property value" },
        { "field size as string", header(251).listBegin().str("S").str("String").str("8"),
            "Invalid property value" },
        { "field name as integer", header(251).listBegin().i8(1), "Invalid property value" },
        { "unknown type", header(251).listBegin().field(251, "X", "Cursor", 0, 10),
            "Unknown field type (Cursor)" },
        { "type 0", header(251).listBegin().field(251, "X", "Unknown", 0, 10),
            "Unknown field type (Unknown)" },
        { "type in other case", header(251).listBegin().field(251, "X", "string", 0, 10),
            "Unknown field type (string)" },
        { "no fields", header(251).listBegin().listEnd().listBegin().listEnd().listBegin().listEnd(),
            "Couldnt determine field count for load." },
        { "truncated row",
            header(251)
                .listBegin()
                .field(251, "S", "String", 9, 9)
                .listEnd()
                .listBegin()
                .listEnd()
                .listBegin()
                .listBegin()
                .i8(0)
                .boolean(false)
                .raw({ 0x06, 5, 'a', 'b' }),
            "Stream read error" },
        { "4 GB string", header(251).listBegin().str("S").raw({ 0x0C, 0xFF, 0xFF, 0xFF, 0xFF }),
            "Stream read error" },
        { "float as string",
            header(251)
                .listBegin()
                .field(251, "F", "Float", 0, 10)
                .listEnd()
                .listBegin()
                .listEnd()
                .listBegin()
                .listBegin()
                .i8(0)
                .boolean(false)
                .str("1.5"),
            "Invalid property value" },
        { "row not a list",
            header(251)
                .listBegin()
                .field(251, "F", "Float", 0, 10)
                .listEnd()
                .listBegin()
                .listEnd()
                .listBegin()
                .i8(0),
            "Invalid property value" },
        { "missing final end",
            header(251)
                .listBegin()
                .field(251, "F", "Float", 0, 10)
                .listEnd()
                .listBegin()
                .listEnd()
                .listBegin(),
            "Stream read error" },
    };
    for (const Case& c : cases) {
        RecordTable t("T");
        EXPECT_EQ(errorOf([&] { TableFileFormat::Deserialize(c.bytes, t); }), c.error) << c.what;
    }
}

TEST(TableFileFormat, AFailedLoadLeavesTheTableAsItWas)
{
    RecordTable t("Tipologie");
    t.AddField("Tipologia", FieldType::String, 32);
    t.AddField("Colore", FieldType::Integer);
    t.AddIndex("IndiceTipologia", "Tipologia", { .unique = true });
    for (const char* name : { "Casa", "Auto", "Cibo" }) {
        t.Append();
        t.Fields(0).SetAsString(name);
        t.Post();
    }
    t.SortOn("Tipologia");
    t.Locate("Tipologia", "Casa");
    const QByteArray before = TableFileFormat::Serialize(t);

    // Fields and some rows read, then the file breaks off.
    QByteArray damaged = before;
    damaged.chop(12);
    EXPECT_EQ(errorOf([&] { TableFileFormat::Deserialize(damaged, t); }), "Stream read error");
    EXPECT_EQ(TableFileFormat::Serialize(t), before);
    EXPECT_EQ(t.SortFields(), "Tipologia");
    EXPECT_EQ(t.FieldByName("Tipologia").AsString(), "Casa");
    EXPECT_EQ(t.RecordCount(), 3);
}

TEST(TableFileFormat, FilesAreReplacedAtomically)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Casa.OUT");
    RecordTable t("TabellaUscite");
    movementTable(t);
    addMovement(t, 45366, "Cibo", "spesa", 2.5, 3);
    TableFileFormat format;
    format.Save(t, path);
    const QByteArray first = TableFileFormat::Serialize(t);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), first);
    f.close();

    // A table that is closed writes nothing and leaves the old file in place.
    t.Close();
    EXPECT_EQ(errorOf([&] { format.Save(t, path); }), "Cannot perform this operation on a closed dataset");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), first);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({ "Casa.OUT" }));

    RecordTable u("U");
    EXPECT_NE(errorOf([&] { format.Load(u, dir.filePath("missing.OUT")); }), "(no error)");
}
