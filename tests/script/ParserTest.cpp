// The scenario language's syntax, key names and the call counter.
#include "CallCounter.h"
#include "Commands.h"
#include "Expectations.h"
#include "Parser.h"

#include <gtest/gtest.h>

using namespace script;

TEST(ScenarioSyntax, WordsQuotesEscapesAndComments) {
    auto t = Tokenize(R"(type "a \"b\" \\ c" # a comment "x")", 1);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text, "type");
    EXPECT_FALSE(t[0].quoted);
    EXPECT_EQ(t[1].text, R"(a "b" \ c)");
    EXPECT_TRUE(t[1].quoted);

    auto m = Tokenize(R"(expect message ~"parte # sem comentário")", 1);
    ASSERT_EQ(m.size(), 3u);
    EXPECT_TRUE(m[2].tilde);
    EXPECT_EQ(m[2].text, "parte # sem comentário");

    // A quoted null is a text, an empty quote an empty text.
    auto n = Tokenize(R"(expect x.y = "" "null" null)", 1);
    EXPECT_TRUE(n[3].quoted);
    EXPECT_EQ(n[3].text, "");
    EXPECT_TRUE(n[4].quoted);
    EXPECT_FALSE(n[5].quoted);
}

TEST(ScenarioSyntax, BadQuotesNameTheirLine) {
    try {
        ParseScenario("open\n\n  type \"sem fim\n");
        FAIL() << "no error";
    } catch (const ScenarioError& e) {
        EXPECT_EQ(e.Line(), 3);
    }
    EXPECT_THROW(Tokenize(R"(type "a"b)", 1), ScenarioError);
    EXPECT_THROW(Tokenize(R"(type a"b")", 1), ScenarioError);
    EXPECT_THROW(Tokenize(R"(type "\q")", 1), ScenarioError);
}

TEST(ScenarioSyntax, ValidateRefusesUnknownCommandsAndShapes) {
    auto bad = [](const std::string& text) -> int {
        try {
            Validate(ParseScenario(text));
        } catch (const ScenarioError& e) {
            return e.Line();
        }
        return 0;
    };
    EXPECT_EQ(bad("open\nfly away\n"), 2);
    EXPECT_EQ(bad("click\n"), 1);
    EXPECT_EQ(bad("signon operator=DEMO\n"), 1);
    EXPECT_EQ(bad("signon operator=DEMO branch=0001 date=31/02/2026\n"), 1);
    EXPECT_EQ(bad("set screen big\n"), 1);
    EXPECT_EQ(bad("answer maybe\n"), 1);
    EXPECT_EQ(bad("row dbg 0\n"), 1);
    EXPECT_EQ(bad("key Hyper+X\n"), 1);
    EXPECT_EQ(bad("expect edtNome.text abc\n"), 1);
    EXPECT_EQ(bad("expect calls GetX = many\n"), 1);
    EXPECT_EQ(bad("expect message abc\n"), 1);
    EXPECT_EQ(bad("expect dbg[0].CODIGO = 1\n"), 1);
    EXPECT_EQ(bad("expect dbg[1]CODIGO = 1\n"), 1);
    EXPECT_EQ(bad("expect sql \"SELECT 1\"\n"), 1);
    EXPECT_EQ(bad("signon operator=DEMO branch=0001 date=01/03/2026 bound=yes\nset screen 640x480\n"
                  "answer 3\npick CODIGO=A1\nexpect message ~\"x\"\nexpect no message\nexpect calls GetX = 0\n"
                  "expect cds.FIELD = null\nkey Ctrl+Enter\nrow dbg last\nfind none\n"),
              0);
}

TEST(ScenarioKeys, NamesModifiersAndCharacters) {
    struct Case {
        const char* text;
        WORD key;
        bool ctrl, alt;
        char32_t typed;
    } cases[] = {
        {"Ctrl+Delete", VK_DELETE, true, false, 0}, {"alt+pagedown", VK_NEXT, false, true, 0},
        {"F12", VK_F12, false, false, 0},           {"Decimal", VK_DECIMAL, false, false, 0},
        {"Period", VK_OEM_PERIOD, false, false, 0},
        {"Ctrl+V", 'V', true, false, 0},  // a shortcut, not a character
        {"a", 0, false, false, U'a'},               {"ç", 0, false, false, U'ç'},
    };
    for (const Case& c : cases) {
        auto k = ParseKey(c.text, 1);
        if (c.key) EXPECT_EQ(k.key, c.key) << c.text;
        EXPECT_EQ(k.shift.Ctrl, c.ctrl) << c.text;
        EXPECT_EQ(k.shift.Alt, c.alt) << c.text;
        EXPECT_EQ(k.typed, c.typed) << c.text;
    }
    EXPECT_THROW(ParseKey("F13", 1), ScenarioError);
    EXPECT_THROW(ParseKey("Enterr", 1), ScenarioError);
}

TEST(CallCounting, ByMethodOrFullNameFromTheLastLook) {
    CallCounter c;
    c.Record("Pla02000.rdmRetirada.GetLanctoEst");
    c.Record("PLA02000.rdmRetirada.getlanctoest");
    c.Record("Est00000.rdmEstoque.GetParamEstoque");
    EXPECT_EQ(c.Take("GetLanctoEst"), 2);
    EXPECT_EQ(c.Take("GetLanctoEst"), 0);
    c.Record("Pla02000.rdmRetirada.GetLanctoEst");
    EXPECT_EQ(c.Take("getlanctoest"), 1);
    // Each spelling of a method keeps its own mark.
    EXPECT_EQ(c.Take("pla02000.rdmretirada.GetLanctoEst"), 3);
    EXPECT_EQ(c.Take("GetParamEstoque"), 1);
    EXPECT_EQ(c.Total("GetTipoReti"), 0);

    int inner = 0;
    auto h = c.Wrap([&](const std::string&, const std::string&) {
        ++inner;
        return std::string("{}");
    });
    h(R"({"jsonrpc":"2.0","id":1,"method":"Pla02000.rdmRetirada.GetTipoReti","params":[]})", "");
    h("not json", "");
    EXPECT_EQ(inner, 2);
    EXPECT_EQ(c.Take("GetTipoReti"), 1);
}
