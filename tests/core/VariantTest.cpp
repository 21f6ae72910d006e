#include "core/Exception.h"
#include "core/Packet.h"
#include "core/Text.h"
#include "core/Variant.h"

#include <gtest/gtest.h>

#include <utility>

template <class T>
concept ViewsText = requires { std::declval<T>().TextView(); };

TEST(Variant, ConversionsTheScreenUses) {
    EXPECT_EQ(Variant().AsString(), "");
    EXPECT_EQ(Variant(42).AsString(), "42");
    EXPECT_EQ(Variant(2.5).AsString(), "2,5");
    EXPECT_EQ(Variant("3,25").AsFloat(), 3.25);
    EXPECT_EQ(Variant("3.25").AsFloat(), 3.25);
    EXPECT_EQ(Variant("7").AsInteger(), 7);
    EXPECT_EQ(Variant(EncodeDate(2026, 12, 6)).AsString(), "06/12/2026");
    EXPECT_EQ(Variant("06/12/2026").AsDateTime(), EncodeDate(2026, 12, 6));
    EXPECT_TRUE(Variant("S").AsBoolean());
    EXPECT_TRUE(Variant("abc").IsString());
    EXPECT_FALSE(Variant(1).IsString());
}

TEST(Variant, ImpossibleConversionsNameTheKinds) {
    try {
        Variant("abc").AsFloat();
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_NE(e.Message().find("String"), std::string::npos);
        EXPECT_NE(e.Message().find("abc"), std::string::npos);
    }
    EXPECT_THROW(Variant().AsInteger(), EConvertError);
    EXPECT_THROW(Variant(1).AsArray(), EConvertError);
    EXPECT_THROW(Variant("x").AsPacket(), EConvertError);
    EXPECT_THROW(Variant("1.5").AsInteger(), EConvertError);
}

TEST(Variant, TextViewReadsTextsInPlaceAndNothingElse) {
    Variant code("  0107002 ");
    EXPECT_EQ(code.TextView(), "  0107002 ");
    EXPECT_EQ(code.TextView().data(), code.TextView().data());  // no copy behind it
    EXPECT_EQ(text::TrimView(code.TextView()), "0107002");
    const Variant null;
    EXPECT_EQ(null.TextView(), "");
    const Variant number(7), date(EncodeDate(2026, 12, 6));
    EXPECT_THROW(number.TextView(), EConvertError);  // a number is converted by AsString only
    EXPECT_THROW(date.TextView(), EConvertError);
    // A view of a temporary would dangle at once: refused at compile time.
    static_assert(!ViewsText<Variant>);
    static_assert(ViewsText<const Variant&>);
}

TEST(Variant, SameValueDecidesWhetherAnEditChangedAnything) {
    EXPECT_TRUE(VarSameValue(Variant(), Variant()));
    EXPECT_FALSE(VarSameValue(Variant(), Variant("")));
    EXPECT_FALSE(VarSameValue(Variant(0), Variant()));
    EXPECT_TRUE(VarSameValue(Variant(2), Variant(2.0)));
    EXPECT_TRUE(VarSameValue(Variant("2,0"), Variant(2)));
    EXPECT_FALSE(VarSameValue(Variant("abc"), Variant(2)));
    EXPECT_TRUE(VarSameValue(Variant("06/12/2026"), Variant(EncodeDate(2026, 12, 6))));
    EXPECT_FALSE(VarSameValue(Variant("A"), Variant("a")));
}

TEST(Variant, ArraysAndPacketsAreSharedValues) {
    Variant a = VarArrayOf({1, "x", Variant()});
    Variant b = a;
    EXPECT_EQ(a, b);
    EXPECT_EQ(b.AsArray().size(), 3u);
    DataPacket p;
    p.fields.push_back({"CDFILIAL", TFieldType::ftString, 4});
    p.rows.push_back({{Variant("0001")}, RowChange::Unmodified, {}});
    Variant vp(p);
    EXPECT_EQ(vp.AsPacket().FieldIndex("cdfilial"), 0);
    EXPECT_FALSE(vp.AsPacket().IsDelta());
    EXPECT_EQ(vp, Variant(p));
    EXPECT_NE(vp, Variant(DataPacket{}));
}
