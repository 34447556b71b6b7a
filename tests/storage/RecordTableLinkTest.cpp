#include "storage/TDC.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <algorithm>
#include <random>

using namespace contivo;

namespace {

class Link : public ::testing::Test {
protected:
    Link()
    {
        months.AddField("Mese", FieldType::Integer);
        for (int m = 1; m <= 12; ++m) {
            months.Append();
            months.Fields(0).SetAsInteger(m);
            months.Post();
        }
        TDC::DeclareMovementFields(detail);
        detail.SetMasterSource(&months);
        detail.SetMasterFields("Mese");
    }
    void month(int m) { ASSERT_TRUE(months.Locate("Mese", QString::number(m))); }
    void add(int m, double day, const QString& comment)
    {
        detail.Append();
        detail.FieldByName("Mese").SetAsInteger(m);
        detail.FieldByName("Data").SetAsDateTime(day);
        detail.FieldByName("Commento").SetAsString(comment);
        detail.Post();
    }
    QStringList visible()
    {
        QStringList out;
        const int c = detail.FieldByName("Commento").Index();
        for (int i = 0; i < detail.RecordCount(); ++i)
            out << detail.VisibleValue(i, c).text();
        return out;
    }
    QString current() { return detail.FieldByName("Commento").AsString(); }

    RecordTable months { "TabellaMesi" };
    RecordTable detail { "TabellaEntrate" };
};

}

TEST_F(Link, HidesRowsOnlyWhileASortOrderExists)
{
    months.AddIndex("TabellaMesiIdx", "Mese", { .unique = true, .primary = true });
    month(3);
    add(5, 100, "may");
    add(3, 120, "march late");
    add(1, 50, "january");
    add(3, 110, "march early");
    EXPECT_EQ(detail.RecordCount(), 4) << "insertion order: the link hides nothing";

    detail.SortOn("Mese;Data");
    EXPECT_EQ(visible(), QStringList({ "march early", "march late" }));

    month(1);
    EXPECT_EQ(visible(), QStringList({ "january" }));
    EXPECT_EQ(current(), "january");
    month(12);
    EXPECT_EQ(detail.RecordCount(), 0);
    EXPECT_TRUE(detail.Eof());
    EXPECT_EQ(detail.TotalRowCount(), 4);

    detail.SortOn("");
    EXPECT_EQ(detail.RecordCount(), 4);
}

TEST_F(Link, MasterMovesRefreshTheDetailOnItsFirstRow)
{
    detail.SortOn("Mese;Data");
    month(3);
    add(3, 120, "b");
    add(3, 110, "a");
    EXPECT_EQ(current(), "a") << "the posted row is current";
    detail.Last();
    QSignalSpy reloads(&detail, &RecordTable::dataSetChanged);
    month(4);
    month(3);
    EXPECT_EQ(reloads.count(), 2);
    EXPECT_EQ(current(), "a");

    // A master whose notifications are off does not drive its details until they are on again.
    months.DisableControls();
    month(1);
    EXPECT_EQ(visible(), QStringList({ "a", "b" }));
    months.EnableControls();
    EXPECT_EQ(detail.RecordCount(), 0);
}

TEST_F(Link, AppendedRowsReceiveTheMastersValues)
{
    month(7);
    detail.Append();
    EXPECT_TRUE(detail.FieldByName("Mese").IsNull()) << "no sort order: nothing is filled";
    detail.Cancel();

    detail.SortOn("Mese;Data");
    detail.Append();
    EXPECT_EQ(detail.FieldByName("Mese").AsInteger(), 7);
    EXPECT_FALSE(detail.Modified());
    detail.Post();
    EXPECT_EQ(detail.RecordCount(), 1);
    EXPECT_EQ(detail.FieldByName("Mese").AsInteger(), 7);
}

TEST_F(Link, PostRepositionsOnTheRowThatFollowed)
{
    detail.SortOn("Mese;Data");
    month(3);
    for (int i = 0; i < 4; ++i)
        add(3, 100 + i, QString(QChar(u'a' + i)));
    // The walk of the Part: edit, move the row to another month, post, next.
    QStringList walked;
    for (detail.First(); !detail.Eof(); detail.Next()) {
        walked << current();
        detail.Edit();
        detail.FieldByName("Mese").SetAsInteger(4);
        detail.Post();
    }
    EXPECT_EQ(walked, QStringList({ "a", "c" }));
    EXPECT_EQ(visible(), QStringList({ "b", "d" }));

    // The last visible row leaves: the cursor goes to the one before it.
    detail.Last();
    detail.Edit();
    detail.FieldByName("Mese").SetAsInteger(5);
    detail.Post();
    EXPECT_EQ(current(), "b");
    // A row that stays visible is followed to its new place.
    add(3, 50, "e");
    detail.Locate("Commento", "e");
    detail.Edit();
    detail.FieldByName("Data").SetAsDateTime(200);
    detail.Post();
    EXPECT_EQ(current(), "e");
    EXPECT_EQ(detail.RecNo(), 1);
    // The only rows leave: the view is empty.
    detail.First();
    while (detail.RecordCount() > 0) {
        detail.Edit();
        detail.FieldByName("Mese").SetAsInteger(6);
        detail.Post();
    }
    EXPECT_TRUE(detail.Eof());
    EXPECT_EQ(detail.RecNo(), -1);
    // An appended row written into another month leaves the view at once.
    add(3, 10, "x");
    add(9, 10, "y");
    EXPECT_EQ(current(), "x");
}

TEST_F(Link, EmptyTableRemovesHiddenRowsToo)
{
    detail.SortOn("Mese;Data");
    month(2);
    add(2, 1, "a");
    add(8, 1, "b");
    EXPECT_EQ(detail.RecordCount(), 1);
    detail.EmptyTable();
    EXPECT_EQ(detail.TotalRowCount(), 0);
    month(8);
    EXPECT_EQ(detail.RecordCount(), 0);
}

// Random appends, edits, deletes and master moves on a sorted linked table, checked against a
// plain list: the visible rows must always be the master month's rows ordered by (Data, row
// number), and the cursor must always be on a visible row. Enough rows to spread over many
// storage blocks.
TEST_F(Link, RandomChangesKeepTheViewConsistent)
{
    struct Ref {
        int id;
        int number;
        int mese;
        int day;
        bool alive;
    };
    std::vector<Ref> ref;
    std::mt19937 rng(12345);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    detail.SortOn("Mese;Data");
    int masterMonth = 1;
    month(masterMonth);
    const int commento = detail.FieldByName("Commento").Index();
    auto currentId = [&] { return detail.FieldByName("Commento").AsString().toInt(); };
    auto refIndex = [&](int id) { return static_cast<size_t>(id); };
    int nextNumber = 0;

    for (int step = 0; step < 6000; ++step) {
        const int op = pick(20);
        if (op < 12) {
            const int m = pick(4) == 0 ? 1 + pick(12) : masterMonth;
            const int day = pick(50);
            const int id = static_cast<int>(ref.size());
            add(m, day, QString::number(id));
            ref.push_back({ id, nextNumber++, m, day, true });
        } else if (op < 15 && detail.RecordCount() > 0) {
            detail.MoveTo(pick(detail.RecordCount()));
            const int id = currentId();
            detail.Edit();
            Ref& r = ref[refIndex(id)];
            if (pick(3) == 0) {
                r.mese = 1 + pick(12);
                detail.FieldByName("Mese").SetAsInteger(r.mese);
            }
            r.day = pick(50);
            detail.FieldByName("Data").SetAsDateTime(r.day);
            detail.Post();
        } else if (op < 17 && detail.RecordCount() > 0) {
            detail.MoveTo(pick(detail.RecordCount()));
            ref[refIndex(currentId())].alive = false;
            detail.Delete();
        } else if (op < 18) {
            masterMonth = 1 + pick(12);
            month(masterMonth);
        } else if (detail.RecordCount() > 0) {
            op == 18 ? detail.Next() : detail.Prior();
        }

        if (step % 97 != 0 && step < 5990)
            continue;
        std::vector<Ref> expected;
        for (const Ref& r : ref)
            if (r.alive && r.mese == masterMonth)
                expected.push_back(r);
        std::sort(expected.begin(), expected.end(),
            [](const Ref& a, const Ref& b) { return std::tie(a.day, a.number) < std::tie(b.day, b.number); });
        ASSERT_EQ(detail.RecordCount(), static_cast<int>(expected.size())) << "step " << step;
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(detail.VisibleValue(static_cast<int>(i), commento).text().toInt(), expected[i].id)
                << "step " << step << " row " << i;
        if (!expected.empty()) {
            ASSERT_GE(detail.RecNo(), 0);
            ASSERT_EQ(ref[refIndex(currentId())].mese, masterMonth);
        }
        int alive = 0;
        for (const Ref& r : ref)
            alive += r.alive ? 1 : 0;
        ASSERT_EQ(detail.TotalRowCount(), alive);
    }
    EXPECT_GT(detail.TotalRowCount(), 1500);
}
