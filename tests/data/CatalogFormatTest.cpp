// The catalog format, read by the one parser the forms' catalogs use too.
#include "data/Catalog.h"

#include "core/Exception.h"

#include <gtest/gtest.h>

#include <string>

using namespace model;

namespace {

std::string ParseError(std::string_view resource, std::string_view name = {}) {
    try {
        ParseCatalog(resource, name);
    } catch (const Exception& e) {
        return e.Message();
    }
    return "no error";
}

}  // namespace

TEST(CatalogFormat, KeyBeforeTheFirstBarAndTheRestVerbatim) {
    const auto c = ParseCatalog("a|x|y \r\n\nb| \"quoted\" %s \nlast|no newline");
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0], (CatalogEntry{"a", "x|y "}));
    EXPECT_EQ(c[1], (CatalogEntry{"b", " \"quoted\" %s "}));
    EXPECT_EQ(c[2], (CatalogEntry{"last", "no newline"}));
    EXPECT_EQ(ParseCatalog("empty|").at(0).text, "");
    EXPECT_TRUE(ParseCatalog("").empty());
    EXPECT_TRUE(ParseCatalog("\r\n\n").empty());
}

TEST(CatalogFormat, Escapes) {
    EXPECT_EQ(ParseCatalog("k|one\\ntwo").at(0).text, "one\ntwo");
    EXPECT_EQ(ParseCatalog("k|C:\\\\dir").at(0).text, "C:\\dir");
    EXPECT_EQ(ParseCatalog("k|a\\tb\\").at(0).text, "a\\tb\\");  // other backslashes stay
}

TEST(CatalogFormat, MalformedLinesNameTheCatalogAndTheLine) {
    EXPECT_EQ(ParseError("a|1\nno bar here\n", "msgPadrao"),
              "Catálogo msgPadrao, linha 2: falta \"|\" entre a chave e o texto.");
    EXPECT_EQ(ParseError("|text"), "Catálogo, linha 1: chave vazia.");
    // Lines are counted with the empty ones and without regard to CR LF.
    EXPECT_EQ(ParseError("Serv_Inativo|1\r\n\r\nSERV_INATIVO|2", "msgPadrao"),
              "Catálogo msgPadrao, linha 3: chave repetida \"SERV_INATIVO\".");
}
