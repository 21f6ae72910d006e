// Guards of item entry that no user path shows on its own: the error marks
// of the grid read the result list without moving it, an item that a library
// posts from inside its own post is still checked, and the decimal separator
// guard of the quantities (the grid's keys come with the grid presentation).
#include "ScreenFixture.h"

#include "core/Exception.h"
#include "core/Text.h"

using namespace screen_test;

namespace {

Variant resultList(std::vector<std::string> objects) {
    DataPacket p;
    p.fields = {{"CDERRO", TFieldType::ftString, 20}, {"CDOBJETO", TFieldType::ftString, 20}};
    for (const auto& o : objects) p.rows.push_back({{Variant("PLA02000_1"), Variant(o)}, RowChange::Unmodified, {}});
    return Variant(std::move(p));
}

}  // namespace

TEST_F(ScreenTest, ErrorMarksReadTheResultListWithoutMovingIt) {
    TfrmRetirada* f = OpenWithList(0, 0);
    ASSERT_NE(f, nullptr);
    f->mnuFormulario->UserClick();
    TClientDataSet& itens = f->cdsItLanctoEst;
    ASSERT_EQ(itens.RecordCount(), 3);
    const std::string second = itens.ValueAt(1, itens.FieldByName("CDPRODUTO")).AsString();
    f->cdsRetorno->SetData(resultList({"OUTRO", "XX" + second, second}));
    f->cdsRetorno->First();
    // A repaint of every row, as the grid draws them, while a walk stands on row 1.
    TField& erro = itens.FieldByName("IDERRO");
    EXPECT_EQ(itens.ValueAt(0, erro).AsString(), "N");
    EXPECT_EQ(itens.ValueAt(1, erro).AsString(), "S");
    EXPECT_EQ(itens.ValueAt(2, erro).AsString(), "N");
    EXPECT_EQ(f->cdsRetorno->RecNo(), 1);
    // The error review's own look-up does move to the row found.
    EXPECT_TRUE(f->ResultErroItem(second));
    EXPECT_EQ(f->cdsRetorno->RecNo(), 3);
}

TEST_F(ScreenTest, ItemPostedFromInsideItsPostIsCheckedAllTheSame) {
    TfrmRetirada* f = OpenWithList(0, 0);
    ASSERT_NE(f, nullptr);
    f->mnuFormulario->UserClick();
    ASSERT_TRUE(f->boUsaLocalizacao);
    f->dbgItens->SetFocus();
    TClientDataSet& itens = f->cdsItLanctoEst;
    itens.Last();
    itens.Edit();
    // Far more than any stock: the check must refuse it.
    itens.FieldByName("QTEXTRARETI").SetAsFloat(99999);
    itens.FieldByName("CDALMOXARIFE").SetAsString("");
    itens.FieldByName("CDLOCALESTOQ").SetAsString("");
    // A library that posts the item once it has completed its place.
    int posted = 0;
    itens.FieldByName("CDLOCALESTOQ").OnChange = [&](TField&) {
        if (posted == 0 && itens.State() == TDataSetState::dsEdit) {
            ++posted;
            itens.Post();
        }
    };
    EXPECT_THROW(itens.Post(), EAbort);
    itens.FieldByName("CDLOCALESTOQ").OnChange = nullptr;
    EXPECT_EQ(posted, 1);
    EXPECT_NE(Shown().find("Quantidade informada não disponível no estoque."), std::string::npos) << Shown();
    // Taken up again by the refused post, with the library's place.
    EXPECT_EQ(itens.State(), TDataSetState::dsEdit);
    EXPECT_FALSE(itens.FieldByName("CDALMOXARIFE").AsString().empty());
    itens.Cancel();
}

TEST_F(ScreenTest, TheDecimalSeparatorNeitherStartsNorRepeatsInAQuantity) {
    TfrmRetirada* f = OpenWithList(0, 0);
    ASSERT_NE(f, nullptr);
    f->mnuFormulario->UserClick();
    f->dbgItens->SetFocus();
    TClientDataSet& itens = f->cdsItLanctoEst;
    itens.Edit();
    itens.FieldByName("QTEXTRARETI").Clear();
    ASSERT_TRUE(f->dbgItens->SetSelectedField("QTEXTRARETI"));
    const char sep = SystemFormat().DecimalSeparator;
    // The separator pressed while the cell's editor holds `typed`.
    auto press = [&](const std::string& typed, const std::string& field) {
        f->dbgItens->SetEditorMode(false);
        f->dbgItens->SetEditorMode(true);  // opens on the empty field
        if (!typed.empty()) f->dbgItens->UserType(typed);
        EXPECT_EQ(f->dbgItens->InplaceEditorText(), typed);
        char32_t k = static_cast<char32_t>(sep);
        f->Vd_Virgula(f->dbgItens, field, k);
        return k;
    };
    const char32_t kept = static_cast<char32_t>(sep);
    EXPECT_EQ(press("", "QTEXTRARETI"), 0u);                                   // not the first character
    EXPECT_EQ(press("12", "QTEXTRARETI"), kept);                               // one is fine
    EXPECT_EQ(press(std::string("1") + sep + "5", "QTEXTRARETI"), 0u);         // a second is not
    EXPECT_EQ(press("", "QTDEVOLVRETI"), kept);                                // another column's key
    char32_t digit = U'7';
    f->Vd_Virgula(f->dbgItens, "QTEXTRARETI", digit);
    EXPECT_EQ(digit, U'7');
    f->dbgItens->SetEditorMode(false);
    itens.Cancel();
}
