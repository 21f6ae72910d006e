// States, navigation and the shape of datasets.
#include "DataTestUtil.h"
#include "core/Exception.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct States : ::testing::Test {
    TClientDataSet ds;
    void SetUp() override { DeclareItems(ds); }
    void Load(int rows) { ds.SetData(Variant(ItemsPacket(rows))); }
};

TEST_F(States, OpenNeedsDataAndFieldsMatch) {
    EXPECT_EQ(ds.State(), TDataSetState::dsInactive);
    EXPECT_THROW(ds.Open(), Exception);  // no data
    EXPECT_FALSE(ds.Active());

    DataPacket p = ItemsPacket(1);
    p.fields.pop_back();  // GRP missing
    for (auto& r : p.rows) r.values.pop_back();
    try {
        ds.SetData(Variant(p));
        FAIL();
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("GRP"), std::string::npos);
    }
    EXPECT_FALSE(ds.Active());
    EXPECT_THROW(ds.SetData(Variant("oops")), EConvertError);

    TClientDataSet none;
    EXPECT_THROW(none.CreateDataSet(), Exception);  // nothing declared
    DataPacket shortRow = ItemsPacket(3);
    shortRow.rows[1].values.pop_back();
    EXPECT_THROW(none.SetData(Variant(shortRow)), EConvertError);
    EXPECT_FALSE(none.Active());
}

TEST(PacketFields, ComeFromThePacketWhenNoneDeclared) {
    TClientDataSet ds;
    ds.Name = "cdsRetorno";
    ds.SetData(Variant(ItemsPacket(2)));
    ASSERT_EQ(ds.FieldCount(), 4);
    EXPECT_EQ(ds.FieldByName("name").AsString(), "Item 1");
    TField* code = ds.FindField("CODE");
    ds.SetData(Variant(ItemsPacket(5)));
    EXPECT_EQ(ds.FindField("CODE"), code);  // same shape: the field survives
    EXPECT_EQ(ds.FindField("NOPE"), nullptr);
    EXPECT_THROW(ds.FieldByName("NOPE"), Exception);
    EXPECT_THROW(ds.AddField("X", TFieldType::ftString), Exception);  // open

    // Other columns: the names found are the new fields', the old ones are gone.
    DataPacket other;
    other.fields = {{"OPERAÇÃO", TFieldType::ftString, 10}, {"code", TFieldType::ftFloat, 0}};
    other.rows.push_back({{Variant("baixa"), Variant(3.0)}, RowChange::Unmodified, {}});
    ds.SetData(Variant(other));
    ASSERT_NE(ds.FindField("operação"), nullptr);
    EXPECT_EQ(ds.FieldByName("Operação").AsString(), "baixa");
    EXPECT_EQ(ds.FieldByName("CODE").AsFloat(), 3.0);  // a new field: the type changed
    EXPECT_EQ(ds.FindField("NAME"), nullptr);
}

TEST_F(States, FieldsFollowTheirColumnsWhereverThePacketPutsThem) {
    Load(2);
    // The same columns in another order: each field reads its own column.
    DataPacket p = ItemsPacket(2);
    std::swap(p.fields[0], p.fields[3]);
    for (auto& r : p.rows) std::swap(r.values[0], r.values[3]);
    ds.SetData(Variant(p));
    EXPECT_EQ(ds.FieldByName("CODE").AsString(), "C1");
    EXPECT_EQ(ds.FieldByName("GRP").AsString(), "G1");
    ds.SetData(Variant(ItemsPacket(2)));
    EXPECT_EQ(ds.FieldByName("CODE").AsString(), "C1");
    EXPECT_EQ(ds.FieldByName("GRP").AsString(), "G1");
}

TEST_F(States, DeleteLoopEndsAndKeepsTheRest) {
    Load(9);
    ds.First();
    while (!ds.Eof()) {
        if (ds.FieldByName("GRP").AsString() != "G1") ds.Delete();
        else ds.Next();
    }
    EXPECT_EQ(Column(ds, "CODE"), (std::vector<std::string>{"C1", "C4", "C7"}));
}

TEST_F(States, BookmarksFollowRecords) {
    Load(5);
    ds.SetRecNo(4);
    TBookmark b = ds.Bookmark();
    ds.First();
    ds.Delete();
    ds.GotoBookmark(b);
    EXPECT_EQ(ds.FieldByName("CODE").AsString(), "C4");
    ds.Delete();
    EXPECT_FALSE(ds.BookmarkValid(b));
    EXPECT_THROW(ds.GotoBookmark(b), Exception);
}

TEST_F(States, GridRowsIncludeThePendingInsertAndTheEditBuffer) {
    ds.FieldByName("QTY").DisplayFormat = "#,##0.00";
    Load(3);
    TField& code = ds.FieldByName("CODE");
    ds.SetRecNo(2);
    ds.Insert();
    code.SetAsString("NEW");
    EXPECT_EQ(ds.RowCount(), 4);
    EXPECT_EQ(ds.CurrentRow(), 1);
    EXPECT_EQ(ds.ValueAt(0, code).AsString(), "C1");
    EXPECT_EQ(ds.ValueAt(1, code).AsString(), "NEW");
    EXPECT_EQ(ds.ValueAt(2, code).AsString(), "C2");
    EXPECT_EQ(ds.DisplayTextAt(3, ds.FieldByName("QTY")), "3,00");
    EXPECT_THROW(ds.ValueAt(4, code), Exception);
    // The stored values, read in place, are the same rows.
    for (int row = 0; row < ds.RowCount(); ++row)
        EXPECT_EQ(ds.StoredValueAt(row, code), ds.ValueAt(row, code)) << row;
    EXPECT_THROW(ds.StoredValueAt(4, code), Exception);
    ds.Cancel();
    ds.Edit();
    code.SetAsString("EDITED");
    EXPECT_EQ(ds.ValueAt(1, code).AsString(), "EDITED");
    EXPECT_EQ(ds.StoredValueAt(1, code).TextView(), "EDITED");
    EXPECT_EQ(ds.StoredValueAt(2, code).TextView(), "C3");
    EXPECT_EQ(ds.RecNo(), 2);  // reading rows moved nothing
}

TEST_F(States, StoredKeysMatchTrimmedWithoutCaseOverEveryRowState) {
    DataPacket p = ItemsPacket(4);
    p.rows[1].values[0] = Variant("  c2 ");
    p.rows[2].values[0] = Variant();         // null reads as ""
    p.rows[3].values[0] = Variant("C2");
    p.rows[0].values[2] = Variant(2.0);      // a number reads as its text
    ds.SetData(Variant(p));
    TField& code = ds.FieldByName("CODE");
    EXPECT_EQ(ds.FindStoredKey(code, "C2"), 1);
    EXPECT_EQ(ds.FindStoredKey(code, "C2", 2), 3);
    EXPECT_EQ(ds.FindStoredKey(code, "C2", 4), -1);
    EXPECT_EQ(ds.FindStoredKey(code, ""), 2);
    EXPECT_EQ(ds.FindStoredKey(code, "C"), -1);  // no prefix match
    EXPECT_EQ(ds.FindStoredKey(ds.FieldByName("QTY"), "2"), 0);
    EXPECT_TRUE(ds.StoredKeyAt(1, code, "c2"));
    EXPECT_FALSE(ds.StoredKeyAt(0, code, "C2"));
    // The edit buffer and a pending insert are rows like the others; a deleted row is not.
    ds.SetRecNo(1);
    ds.Edit();
    code.SetAsString("C2");
    EXPECT_EQ(ds.FindStoredKey(code, "C2"), 0);
    ds.Cancel();
    ds.SetRecNo(2);
    ds.Delete();  // "  c2 " goes
    EXPECT_EQ(ds.FindStoredKey(code, "C2"), 2);
    ds.SetRecNo(1);
    ds.Insert();
    code.SetAsString("c2");
    EXPECT_EQ(ds.FindStoredKey(code, "C2"), 0);
    EXPECT_EQ(ds.FindStoredKey(code, "C2", 1), 3);
    ds.Cancel();
    TClientDataSet other;
    DeclareItems(other);
    other.SetData(Variant(ItemsPacket(1)));
    EXPECT_THROW(ds.FindStoredKey(other.FieldByName("CODE"), "C1"), Exception);
}

// Every row FindStoredKey finds, in order.
std::vector<int> FoundRows(const TDataSet& ds, const TField& f, const std::string& key) {
    std::vector<int> rows;
    for (int r = ds.FindStoredKey(f, key); r >= 0; r = ds.FindStoredKey(f, key, r + 1)) rows.push_back(r);
    return rows;
}

// The same, by reading every row.
std::vector<int> ReadRows(const TDataSet& ds, const TField& f, const std::string& key) {
    std::vector<int> rows;
    for (int r = 0; r < ds.RowCount(); ++r) {
        const Variant& v = ds.StoredValueAt(r, f);
        const std::string text = v.IsString() || v.IsNull() ? std::string(v.TextView()) : v.AsString();
        if (text::SameText(text::TrimView(text), key)) rows.push_back(r);
    }
    return rows;
}

TEST_F(States, TaggedKeysAndSumsStayInStepWithEveryChangeAndTravelWithTheData) {
    // Codes that tags must tell apart, or must leave to the comparison (case,
    // blanks, null, accented letters, a number).
    const std::vector<Variant> codes = {Variant("A1"), Variant(" a1 "), Variant("B2"), Variant("b2\t"), Variant(),
                                        Variant(""),   Variant("Ção"),  Variant("ção"), Variant(7.0),  Variant("7")};
    const std::vector<std::string> keys = {"A1", "b2", "", "ÇÃO", "7", "Z9"};
    ds.SetKeyTagField("CODE");
    TClientDataSet copy;
    DeclareItems(copy);
    std::mt19937 rnd(20261208);
    auto pick = [&](size_t n) { return static_cast<int>(rnd() % n); };
    Load(40);
    copy.SetData(ds.Data());
    TField& code = ds.FieldByName("CODE");
    TField& qty = ds.FieldByName("QTY");
    auto readSum = [&] {
        long double sum = 0;
        for (int r = 0; r < ds.RowCount(); ++r)
            if (const Variant& v = ds.StoredValueAt(r, qty); !v.IsNull()) sum += v.AsFloat();
        return static_cast<double>(sum);
    };
    for (int step = 0; step < 3000; ++step) {
        // Then without a change log: deletions are physical.
        if (step == 1500) {
            ds.MergeChangeLog();
            ds.SetLogChanges(false);
        }
        const int op = pick(12);
        if (ds.IsEmpty() || op == 0) {
            ds.Append();
            code.SetValue(codes[static_cast<size_t>(pick(codes.size()))]);
            ds.Post();
        } else {
            ds.SetRecNo(1 + pick(static_cast<size_t>(ds.RecordCount())));
            switch (op) {
                case 1: ds.Insert(); [[fallthrough]];
                case 2:
                case 3:
                    if (op != 1) ds.Edit();
                    code.SetValue(codes[static_cast<size_t>(pick(codes.size()))]);
                    if (pick(3) == 0) qty.SetAsFloat(pick(100) / 4.0);
                    if (pick(8) == 0) {
                        // Searched while the row is being edited, then dropped.
                        EXPECT_EQ(FoundRows(ds, code, "A1"), ReadRows(ds, code, "A1"));
                        ds.Cancel();
                    } else {
                        ds.Post();
                    }
                    break;
                case 4: ds.Delete(); break;
                case 5: ds.UndoLastChange(false); break;
                case 6: ds.RevertRecord(); break;
                case 7: if (pick(20) == 0) ds.CancelUpdates(); break;
                case 8: if (pick(10) == 0) ds.MergeChangeLog(); break;
                case 9: if (pick(60) == 0) ds.EmptyDataSet(); break;
                case 10: copy.SetData(ds.Data()); break;
                default: break;
            }
        }
        // The running sum, kept through cancels and reverts, is the rows' own.
        if (step % 7 == 0 || op == 6 || op == 7) ASSERT_NEAR(ds.FieldSum(qty), readSum(), 1e-6) << "step " << step;
        for (const std::string& k : keys) {
            ASSERT_EQ(FoundRows(ds, code, k), ReadRows(ds, code, k)) << "step " << step << " key '" << k << "'";
            ASSERT_EQ(FoundRows(copy, copy.FieldByName("CODE"), k), ReadRows(copy, copy.FieldByName("CODE"), k))
                << "copy, step " << step << " key '" << k << "'";
        }
    }
}

}  // namespace
