#include "storage/TableJson.h"
#include "storage/TDC.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

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
}

// dump | write: the JSON document of a file written by the program gives back the same bytes,
// including the doubles JSON numbers cannot carry.
TEST(TableJson, DumpAndWriteReproduceTheFileByteForByte)
{
    RecordTable t("T");
    TDC::DeclareMovementFields(t);
    t.AddField("Flag", FieldType::Boolean);
    t.AddField("Note", FieldType::Memo);
    t.AddIndex("ByType", "Tipologia;Data", { .descending = true });
    const double amounts[] = { 2.5, 0.1, -0.0, 1e300, 4.9406564584124654e-324, 123456789.12345678,
        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(), 9007199254740994.0 };
    int i = 0;
    for (double amount : amounts) {
        t.Append();
        t.FieldByName("Data").SetAsDateTime(45366 + i);
        t.FieldByName("Tipologia").SetAsString(QStringLiteral("Caffè € \"q\" \\ \t") + QString::number(i));
        t.FieldByName("Movimento").SetAsFloat(amount);
        t.FieldByName("Mese").SetAsInteger(i % 2 ? -40000 : 3);
        t.FieldByName("Flag").SetAsBoolean(i % 2);
        t.FieldByName("Note").SetAsString(QString(300, QChar(u'a' + i)) + QChar(0x01));
        t.Post();
        ++i;
    }
    t.Append(); // every value null
    t.Post();

    const QByteArray file = TableFileFormat::Serialize(t);
    const QByteArray json = tableContentToJson(TableFileFormat::Parse(file));
    EXPECT_TRUE(json.contains("\"-0\""));
    EXPECT_TRUE(json.contains(", 0.1,") || json.contains(", 0.1]")) << "shortest form";
    EXPECT_EQ(TableFileFormat::Serialize(tableContentFromJson(json)).toHex(), file.toHex());
}

TEST(TableJson, BadDocumentsAreRefusedWithAReason)
{
    struct Case {
        const char* json;
        const char* error;
    };
    const char* field = R"({"name":"N","type":"Integer","size":0,"displayName":"N","displayWidth":10,)"
                        R"("required":false,"readOnly":false,"kind":"Data"})";
    const QByteArray head = QByteArray(R"({"version":251,"fields":[)") + field + R"(],"indexes":[],"rows":)";
    const Case cases[] = {
        { "not json", "Invalid table document: illegal value at offset 1" },
        { "[]", "Invalid table document: the document is not an object" },
        { R"({"version":251})", "Invalid table document: document: \"fields\" missing or of the wrong type" },
        { R"({"version":251,"fields":[{"name":"X","type":"Cursor","size":0}],"indexes":[],"rows":[]})",
            "Unknown field type (Cursor)" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(errorOf([&] { tableContentFromJson(c.json); }), c.error) << c.json;
    EXPECT_EQ(errorOf([&] { tableContentFromJson(head + "[[1,2]]}"); }),
        "Invalid table document: row 0: one value per field is expected");
    EXPECT_EQ(errorOf([&] { tableContentFromJson(head + "[[\"7\"]]}"); }),
        "Invalid table document: row 0 value 0: not a 32-bit integer");
    EXPECT_EQ(errorOf([&] { tableContentFromJson(head + "[[1.5]]}"); }),
        "Invalid table document: row 0 value 0: not a 32-bit integer");
    const TableFileContent ok = tableContentFromJson(head + "[[-7],[null]]}");
    ASSERT_EQ(ok.rows.size(), 2u);
    EXPECT_EQ(ok.rows[0].values[0].integer(), -7);
    EXPECT_TRUE(ok.rows[1].values[0].isNull());
}
