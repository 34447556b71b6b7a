#include "storage/RecordTableModel.h"
#include "storage/TDC.h"

#include "base/SystemFormats.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

using namespace contivo;

namespace {

class Model : public ::testing::Test {
protected:
    void SetUp() override
    {
        SystemFormats::override(
            { QLatin1Char(','), QLatin1Char('.'), QStringLiteral("dd/MM/yyyy"), QStringLiteral("HH:mm:ss") });
        for (int m = 1; m <= 12; ++m) {
            dc.TabellaMesi.Append();
            dc.TabellaMesi.Fields(0).SetAsInteger(m);
            dc.TabellaMesi.Post();
        }
        dc.TabellaMesi.Locate("Mese", "3");
    }
    void TearDown() override { SystemFormats::reset(); }
    void add(int month, int day, double amount)
    {
        RecordTable& t = dc.TabellaEntrate;
        t.Append();
        t.FieldByName("Data").SetAsDateTime(45300 + day);
        t.FieldByName("Movimento").SetAsFloat(amount);
        t.FieldByName("Mese").SetAsInteger(month);
        t.Post();
    }
    QStringList column(const RecordTableModel& model, int col)
    {
        QStringList out;
        for (int r = 0; r < model.rowCount(); ++r)
            out << model.data(model.index(r, col)).toString();
        return out;
    }

    TDC dc;
};

}

TEST_F(Model, ShowsTheVisibleRowsInOrderWithDisplayFormats)
{
    RecordTableModel model(&dc.TabellaEntrate);
    add(3, 20, 1234.5);
    add(4, 1, 7);
    add(3, 10, -0.125);
    dc.TabellaEntrate.SortOn("Mese;Data");
    ASSERT_EQ(model.columnCount(), 6);
    ASSERT_EQ(model.rowCount(), 2);
    const int amount = model.columnOfField("movimento");
    EXPECT_EQ(model.headerData(amount, Qt::Horizontal).toString(), "Movimento");
    EXPECT_EQ(column(model, amount), QStringList({ "-0,13", "1234,50" }));
    EXPECT_EQ(model.data(model.index(0, amount), Qt::EditRole).toString(), "-0,125");
    EXPECT_EQ(model.data(model.index(0, model.columnOfField("Saldo"))).toString(), "") << "null";
    EXPECT_TRUE(
        model.data(model.index(0, amount), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);

    dc.TabellaMesi.Locate("Mese", "4");
    EXPECT_EQ(column(model, amount), QStringList({ "7,00" }));
}

TEST_F(Model, FollowsTheCursorBothWays)
{
    RecordTableModel model(&dc.TabellaEntrate);
    add(3, 1, 1);
    add(3, 2, 2);
    add(3, 3, 3);
    QSignalSpy current(&model, &RecordTableModel::currentRowChanged);
    dc.TabellaEntrate.First();
    dc.TabellaEntrate.Next();
    ASSERT_GE(current.count(), 1);
    EXPECT_EQ(current.last().at(0).toInt(), 1);
    EXPECT_EQ(model.currentRow(), 1);
    model.setCurrentRow(2);
    EXPECT_EQ(dc.TabellaEntrate.FieldByName("Movimento").AsFloat(), 3.0);
    EXPECT_EQ(current.last().at(0).toInt(), 2);
}

TEST_F(Model, ResetsOnceWhenNotificationsComeBack)
{
    RecordTableModel model(&dc.TabellaEntrate);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    dc.TabellaEntrate.DisableControls();
    for (int i = 0; i < 50; ++i)
        add(3, i, i);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(model.rowCount(), 0) << "the grid keeps its old picture meanwhile";
    dc.TabellaEntrate.EnableControls();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model.rowCount(), 50);

    // A load replaces the fields: the columns follow.
    RecordTable other("Other");
    other.AddField("Solo", FieldType::Integer);
    dc.TabellaEntrate.ReplaceContent(other.FieldDefs(), {}, {});
    EXPECT_EQ(model.columnCount(), 1);
    EXPECT_EQ(model.rowCount(), 0);
}
