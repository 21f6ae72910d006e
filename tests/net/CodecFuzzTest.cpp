// Random bytes and random mutations of valid messages go into the decoders:
// each must either decode or raise its codec error, never crash or hang.
#include "net/RpcProtocol.h"
#include "net/VariantJson.h"

#include <gtest/gtest.h>

#include <random>

using namespace net;

namespace {

std::string validMessage() {
    DataPacket p;
    p.fields = {{"CDFILIAL", TFieldType::ftString, 4}, {"QT", TFieldType::ftFloat, 0},
                {"DT", TFieldType::ftDateTime, 0}, {"OK", TFieldType::ftBoolean, 0}};
    p.rows.push_back({{"0001", 1.5, EncodeDate(2024, 1, 31), true}, RowChange::Modified,
                      {"0001", 1.0, EncodeDate(2024, 1, 30), false}});
    p.rows.push_back({{"0002", nullptr, nullptr, nullptr}, RowChange::Inserted, {}});
    return EncodeRequest(7, "Pla02000.rdmRetirada.GetLanctoEst",
                         {Variant("0001"), Variant(p), VarArrayOf({Variant(1), Variant("x"), Variant()}),
                          Variant(EncodeDateTime(2024, 5, 6, 7, 8, 9))});
}

template <class F>
void expectOnlyCodecErrors(const std::string& input, F decode) {
    try {
        decode(input);
    } catch (const ECodecError&) {
    } catch (const ERpcError&) {
    } catch (const std::exception& e) {
        FAIL() << "unexpected " << typeid(e).name() << ": " << e.what() << " for input " << input;
    }
}

}  // namespace

TEST(CodecFuzz, RandomBytesNeverEscapeAsOtherErrors) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> len(0, 200), byte(0, 255);
    for (int i = 0; i < 3000; ++i) {
        std::string s(len(rng), '\0');
        for (auto& c : s) c = static_cast<char>(byte(rng));
        expectOnlyCodecErrors(s, [](const std::string& t) { DecodeVariant(t); });
        expectOnlyCodecErrors(s, [](const std::string& t) { DecodeRequest(t); });
        expectOnlyCodecErrors(s, [](const std::string& t) { DecodeResponse(t); });
    }
}

TEST(CodecFuzz, MutatedValidMessagesDecodeOrFailCleanly) {
    const std::string base = validMessage();
    ASSERT_NO_THROW(DecodeRequest(base));
    const std::string alphabet = "{}[]\":,0123456789.eE-+tfnul\\ $abcdefTZ";
    std::mt19937 rng(777);
    for (int i = 0; i < 5000; ++i) {
        std::string s = base;
        int edits = 1 + static_cast<int>(rng() % 4);
        for (int k = 0; k < edits && !s.empty(); ++k) {
            size_t pos = rng() % s.size();
            switch (rng() % 4) {
                case 0: s[pos] = alphabet[rng() % alphabet.size()]; break;
                case 1: s.erase(pos, 1 + rng() % 8); break;
                case 2: s.insert(pos, 1, alphabet[rng() % alphabet.size()]); break;
                case 3: s.insert(pos, s.substr(rng() % s.size(), rng() % 16)); break;
            }
        }
        expectOnlyCodecErrors(s, [](const std::string& t) { DecodeRequest(t); });
        expectOnlyCodecErrors(s, [](const std::string& t) { DecodeVariant(t); });
    }
}

TEST(CodecFuzz, HugeAndDeepInputsFailCleanly) {
    expectOnlyCodecErrors(std::string(200000, '['), [](const std::string& t) { DecodeVariant(t); });
    std::string deep = R"({"jsonrpc":"2.0","id":1,"method":"a.b","params":[)" + std::string(5000, '[') +
                       std::string(5000, ']') + "]}";
    expectOnlyCodecErrors(deep, [](const std::string& t) { DecodeRequest(t); });
}
