// Two guards of item entry that no user path shows on its own: the error
// marks of the grid read the result list without moving it, and an item that
// a library posts from inside its own post is still checked.
#include "ScreenFixture.h"

#include "core/Exception.h"

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
