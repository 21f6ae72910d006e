#include "core/Packet.h"
#include "net/JsonReference.h"
#include "net/VariantJson.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <utility>

using namespace net;

namespace {

DataPacket samplePacket() {
    DataPacket p;
    p.fields = {{"CDFILIAL", TFieldType::ftString, 4},
                {"IDSTATUS", TFieldType::ftFixedChar, 1},
                {"QTPREVISRETI", TFieldType::ftFloat, 0},
                {"NRITEMS", TFieldType::ftInteger, 0},
                {"ESTOQUEOK", TFieldType::ftBoolean, 0},
                {"DTLANCESTQ", TFieldType::ftDateTime, 0}};
    p.rows.push_back({{"0001", "N", 12.5, 3, true, EncodeDateTime(2024, 2, 29, 13, 45, 7)}, RowChange::Unmodified, {}});
    p.rows.push_back({{"Ção ", nullptr, nullptr, nullptr, nullptr, nullptr}, RowChange::Unmodified, {}});
    return p;
}

Variant roundTrip(const Variant& v) { return DecodeVariant(EncodeVariant(v)); }

}  // namespace

TEST(VariantJson, ScalarsKeepTheirKinds) {
    for (const Variant& v : {Variant(), Variant(true), Variant(false), Variant(0), Variant(-42),
                             Variant(static_cast<long long>(INT64_MAX)), Variant(1.0), Variant(-0.125),
                             Variant(1e300), Variant(""), Variant("Retirada (Planejamento) — ação"),
                             Variant(std::string("a\0b", 3)), Variant(EncodeDate(1899, 12, 30)),
                             Variant(EncodeDateTime(2030, 1, 2, 23, 59, 59))}) {
        Variant back = roundTrip(v);
        EXPECT_EQ(back.Type(), v.Type()) << EncodeVariant(v);
        EXPECT_EQ(back, v) << EncodeVariant(v);
    }
    // A whole double stays a double, so a float field never turns into an integer.
    EXPECT_EQ(EncodeVariant(Variant(2.0)), "2.0");
    // Shortest digits, in plain notation from 10^-4 up to below 10^15.
    const std::pair<double, const char*> texts[] = {
        {4.3197, "4.3197"}, {-0.25, "-0.25"}, {0.0001, "0.0001"}, {0.00001, "1e-05"}, {0.1 + 0.2, "0.30000000000000004"},
        {0.1234567, "0.1234567"}, {12345678901234.5, "12345678901234.5"}, {1e14, "100000000000000.0"},
        {1e15, "1e+15"}, {-1234567.000001, "-1234567.000001"}};
    for (const auto& [d, text] : texts) EXPECT_EQ(EncodeVariant(Variant(d)), text);
    EXPECT_EQ(EncodeVariant(Variant(EncodeDate(2024, 5, 1))), R"({"$date":"2024-05-01T00:00:00"})");
}

TEST(VariantJson, PacketsNestKeepTheirFieldsWhenEmptyAndHaveTheDocumentedShape) {
    Variant v = VarArrayOf({Variant(DataPacket(samplePacket())), Variant("S"),
                            VarArrayOf({Variant(1), VarArrayOf({})}), Variant()});
    EXPECT_EQ(roundTrip(v), v);
    DataPacket empty;
    empty.fields = {{"CDERRO", TFieldType::ftString, 20}};
    EXPECT_EQ(roundTrip(Variant(empty)).AsPacket().fields, empty.fields);
    const std::string j = EncodeVariant(Variant(samplePacket()));
    EXPECT_EQ(j.rfind(R"({"$packet":{"fields":[{"name":"CDFILIAL","size":4,"type":"String"},)", 0), 0u) << j;
    EXPECT_NE(j.find(R"("rows":[["0001",)"), std::string::npos) << j;  // plain rows are plain arrays
    // A float field takes an integral number as a double; invalid UTF-8 is replaced, not thrown.
    DataPacket p = DecodeVariant(R"({"$packet":{"fields":[{"name":"Q","type":"Float"}],"rows":[[3]]}})").AsPacket();
    EXPECT_EQ(p.rows[0].values[0].Type(), VarType::Double);
    EXPECT_EQ(DecodeVariant(EncodeVariant(Variant(std::string("ab\xff")))).AsString().substr(0, 2), "ab");
}

TEST(VariantJson, DeltaPacketsCarryChangeKindsAndOriginals) {
    DataPacket d;
    d.fields = {{"NRSEQUITRETI", TFieldType::ftString, 4}, {"QTEXTRARETI", TFieldType::ftFloat, 0}};
    d.rows.push_back({{"0001", 2.0}, RowChange::Inserted, {}});
    d.rows.push_back({{"0002", 5.5}, RowChange::Modified, {"0002", 1.0}});
    d.rows.push_back({{"0003", 0.0}, RowChange::Deleted, {"0003", 0.0}});
    d.rows.push_back({{"0004", 1.0}, RowChange::Unmodified, {}});
    const std::string j = EncodeVariant(Variant(d));
    EXPECT_NE(j.find(R"({"change":"inserted","values":["0001",2.0]})"), std::string::npos) << j;
    EXPECT_NE(j.find(R"({"change":"modified","original":["0002",1.0],"values":["0002",5.5]})"), std::string::npos) << j;
    DataPacket back = DecodeVariant(j).AsPacket();
    EXPECT_EQ(back, d);
    EXPECT_TRUE(back.IsDelta());
}

TEST(VariantJson, EncodingRefusesWhatJsonCannotCarry) {
    EXPECT_THROW(EncodeVariant(Variant(std::nan(""))), ECodecError);
    EXPECT_THROW(EncodeVariant(Variant(std::numeric_limits<double>::infinity())), ECodecError);
    DataPacket bad;
    bad.fields = {{"A", TFieldType::ftString, 1}};
    bad.rows.push_back({{"x", "y"}, RowChange::Unmodified, {}});
    EXPECT_THROW(EncodeVariant(Variant(bad)), ECodecError);
    bad.rows = {{{"x"}, RowChange::Modified, {}}};  // a change without its original
    EXPECT_THROW(EncodeVariant(Variant(bad)), ECodecError);
}

TEST(VariantJson, DecodingErrorsNameTheProblem) {
    struct Case {
        const char* json;
        const char* expect;
    } cases[] = {
        {"{", "Malformed JSON"},
        {R"({"x":1})", "Unknown object"},
        {R"({"$date":"2024-02-30T00:00:00"})", "Invalid date"},
        {R"({"$date":"2024-01-01T25:00:00"})", "Invalid date"},
        {R"({"$date":5})", "must hold a text"},
        {R"({"$packet":[]})", "must be an object"},
        {R"({"$packet":{"fields":[{"name":"A","type":"Blob"}],"rows":[]}})", "Unknown field type"},
        {R"({"$packet":{"fields":[{"name":"A","type":"String","size":1}],"rows":[[1]]}})", "cannot hold a integer"},
        {R"({"$packet":{"fields":[{"name":"A","type":"Float"}],"rows":[["1"]]}})", "cannot hold a string"},
        {R"({"$packet":{"fields":[{"name":"A","type":"Integer"}],"rows":[[1.5]]}})", "cannot hold a number"},
        {R"({"$packet":{"fields":[{"name":"A","type":"String"}],"rows":[["a","b"]]}})", "2 values for 1 fields"},
        {R"({"$packet":{"fields":[{"name":"A","type":"String"},{"name":"a","type":"String"}],"rows":[]}})",
         "occurs twice"},
        {R"({"$packet":{"fields":[{"name":"A","type":"String"}],"rows":[{"change":"modified","values":["a"]}]}})",
         "needs its \"original\""},
        {R"({"$packet":{"fields":[{"name":"A","type":"String"}],"rows":[{"change":"moved","values":["a"]}]}})",
         "Unknown row change"},
    };
    for (const auto& c : cases) {
        try {
            DecodeVariant(c.json);
            ADD_FAILURE() << "accepted " << c.json;
        } catch (const ECodecError& e) {
            EXPECT_NE(e.Message().find(c.expect), std::string::npos) << c.json << " -> " << e.Message();
        }
    }
}

TEST(VariantJson, NestingIsBounded) {
    std::string deep(kMaxNesting + 10, '[');
    deep += std::string(kMaxNesting + 10, ']');
    EXPECT_THROW(DecodeVariant(deep), ECodecError);
    EXPECT_THROW(DecodeVariant(std::string(200000, '[')), ECodecError);  // deep and unterminated
    EXPECT_NO_THROW(DecodeVariant("[[[[[[[[[[]]]]]]]]]]"));
}

TEST(VariantJson, OnePassTextsReadBackTheSameHereAndInTheLibrary) {
    std::mt19937_64 rng(17);
    VariantArray values;
    for (int i = 0; i < 2000; ++i) {
        double d = std::ldexp(static_cast<double>(rng() % 1000003) - 500000, static_cast<int>(rng() % 120) - 60);
        values.emplace_back(d);
        values.emplace_back(static_cast<long long>(rng()) >> (rng() % 60));
        values.emplace_back((static_cast<double>(rng() % 2000001) - 1000000) / std::pow(10.0, rng() % 9));
    }
    for (const char* s : {"tab\there", "quote\" back\\ slash", "\x01\x1f\x7f", "ação £ 😀", "bad \xc3\x28 \xed\xa0\x80"})
        values.emplace_back(std::string(s));
    const Variant v = VarArrayOf(values);
    const std::string text = EncodeVariant(v);
    // The library reads the text to the same values (its own digits may be longer).
    EXPECT_EQ(DecodeVariant(ReferenceJson(text).Dump()), DecodeVariant(text));
    const Variant back = DecodeVariant(text);
    const VariantArray& b = back.AsArray();
    ASSERT_EQ(b.size(), values.size());
    for (size_t i = 0; i + 5 < values.size(); ++i) EXPECT_EQ(b[i], values[i]) << i;
    EXPECT_EQ(DecodeVariant(" [1 , \"\\u00e7\\ud83d\\ude00\" ] ").AsArray()[1].AsString(), "ç😀");
    for (const char* bad : {"[1,]", "[01]", "\"\x01\"", "[1] x", "{\"$date\":\"2024-01-01T00:00:00\",}", "\"\\ud800\""})
        EXPECT_THROW(DecodeVariant(bad), ECodecError) << bad;
}
