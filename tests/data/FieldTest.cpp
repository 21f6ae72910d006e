// Field values: conversions, nulls, sizes, validation, formats.
#include "DataTestUtil.h"
#include "core/Exception.h"
#include "core/Text.h"

#include <gtest/gtest.h>

namespace {

class Fields : public ::testing::Test {
protected:
    void SetUp() override {
        ds.Name = "cdsTest";
        s = &ds.AddField("S", TFieldType::ftString, 5);
        f = &ds.AddField("F", TFieldType::ftFloat);
        i = &ds.AddField("I", TFieldType::ftInteger);
        b = &ds.AddField("B", TFieldType::ftBoolean);
        d = &ds.AddField("D", TFieldType::ftDateTime);
        def = &ds.AddField("DEF", TFieldType::ftString);
        ds.CreateDataSet();
        ds.Append();
    }
    TClientDataSet ds;
    TField *s, *f, *i, *b, *d, *def;
};

TEST_F(Fields, ConversionsOnWrite) {
    f->SetAsString("2,5");
    EXPECT_EQ(f->AsFloat(), 2.5);
    f->SetAsString("");
    EXPECT_TRUE(f->IsNull());
    i->SetAsFloat(2.6);
    EXPECT_EQ(i->AsInteger(), 3);
    EXPECT_THROW(i->SetAsString("1,5"), EConvertError);
    EXPECT_THROW(f->SetAsString("abc"), EConvertError);
    b->SetAsString("S");
    EXPECT_TRUE(b->AsBoolean());
    d->SetAsString("31/01/2024");
    EXPECT_EQ(d->AsDateTime(), EncodeDate(2024, 1, 31));
    EXPECT_THROW(d->SetAsString("31/02/2024"), EConvertError);
    s->SetAsInteger(42);
    EXPECT_EQ(s->AsString(), "42");
    EXPECT_EQ(s->Value().Type(), VarType::String);
}

TEST_F(Fields, StringsAreCutToSizeInCharacters) {
    s->SetAsString("abcdefgh");
    EXPECT_EQ(s->AsString(), "abcde");
    s->SetAsString("çãõéíúx");
    EXPECT_EQ(s->AsString(), "çãõéí");
    EXPECT_EQ(text::Length(s->AsString()), 5u);
}

TEST_F(Fields, ValidateRefusalKeepsTheOldValue) {
    f->SetAsFloat(1);
    int changes = 0;
    f->OnChange = [&](TField&) { ++changes; };
    f->OnValidate = [](TField& fld) {
        if (fld.AsFloat() < 0) throw Exception("negative");
    };
    EXPECT_THROW(f->SetAsFloat(-3), Exception);
    EXPECT_EQ(f->AsFloat(), 1.0);
    EXPECT_EQ(changes, 0);
    f->SetAsFloat(4);
    EXPECT_EQ(f->AsFloat(), 4.0);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(ds.Modified());
}

TEST_F(Fields, DisplayAndEditText) {
    f->DisplayFormat = "#,##0.00000";
    f->EditFormat = "##0.00000";
    f->SetAsFloat(1234.5);
    EXPECT_EQ(f->DisplayText(), "1.234,50000");
    EXPECT_EQ(f->EditText(), "1234,50000");
    f->SetText("1.234,75");
    EXPECT_EQ(f->AsFloat(), 1234.75);
    f->SetText("1.5");  // a point alone is a decimal point
    EXPECT_EQ(f->AsFloat(), 1.5);
}

}  // namespace
