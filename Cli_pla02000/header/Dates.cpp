// The header's two dates: the withdrawal date against the processing date,
// the branch's window and the release check; the menu date against the
// withdrawal date; and the items taking a changed withdrawal date.
#include "Cli_pla02000/Retirada.h"

#include "Cli_pla02000/header/DateWindow.h"
#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "ui/Pages.h"

void TfrmRetirada::recusaData(TDBDateEdit* edit, const char* key) {
    if (edit->CanFocus()) edit->SetFocus();
    Consiste::MensErro(msgPadrao->Msg(key), true);
    throw EAbort();  // MensErro with abort never comes back
}

void TfrmRetirada::Vd_DataRetirada() {
    const TDateTime p = Morvena::DataProc(Filial()).DateOnly();
    if (dbdRetirada->IsEmpty()) recusaData(dbdRetirada, "DtLanc_inf");
    if (!Editando(dtsPadrao)) return;
    {
        TScopeFailure foco([this] {
            if (dbdRetirada->CanFocus()) dbdRetirada->SetFocus();
        });
        dbdRetirada->CheckValidDate();
    }
    const TDateTime d = dbdRetirada->Date();
    if (cdsParamEstoque.Active() && !cdsParamEstoque.IsEmpty()) {
        const std::string recusa =
            retirada::RecusaJanelaRetirada(d, p, [this](const char* f) { return ParamEstoque(f); });
        if (!recusa.empty()) recusaData(dbdRetirada, recusa.c_str());
    }
    {
        TScopeFailure volta([this] {
            pgcPadrao->SetActivePage(tshFormulario);
            if (dbdRetirada->CanFocus()) dbdRetirada->SetFocus();
        });
        ConfirmaLiberacao(d);
    }
    if (dtsPadrao.State() == TDataSetState::dsEdit) {
        // The rule of an altered withdrawal; one not recorded yet keeps the include's.
        if (!CabecalhoNovo() && !dbdDtCardapio->IsEmpty() && dbdDtCardapio->Date() > d)
            recusaData(dbdRetirada, "DtSaid_Inv");
        GravDtItem();
    }
}

void TfrmRetirada::Vd_DataCardapio() {
    if (dbdDtCardapio->IsEmpty()) recusaData(dbdDtCardapio, "DtCard_inf");
    if (!Editando(dtsPadrao)) return;
    {
        TScopeFailure foco([this] {
            if (dbdDtCardapio->CanFocus()) dbdDtCardapio->SetFocus();
        });
        dbdDtCardapio->CheckValidDate();
    }
    if (dbdRetirada->Date() > dbdDtCardapio->Date()) recusaData(dbdRetirada, "DtEmis_Inv");
}

void TfrmRetirada::dbdRetiradaExit(TObject*) {
    if (!Editando(dtsPadrao)) return;
    dbdRetirada->CheckValidDate();
    // The menu date follows the withdrawal date where the branch keeps them equal.
    if (ParamEstoque("IDCARDIFRETI") == "N")
        cdsLanctoEst.FieldByName("DTCARDAPIO").SetValue(cdsLanctoEst.FieldByName("DTLANCESTQ").Value());
}

void TfrmRetirada::dbdDtCardapioExit(TObject*) {
    if (Editando(dtsPadrao)) dbdDtCardapio->CheckValidDate();
}

void TfrmRetirada::GravDtItem() {
    TClientDataSet& itens = cdsItLanctoEst;
    if (!itens.Active()) return;
    itens.CheckBrowseMode();
    // Every item takes the date, not only those of the dish shown: the filter
    // is lifted for the walk and put back, with the current item, afterwards.
    const bool filtrado = itens.Filtered();
    const TBookmark atual = itens.Bookmark();
    TScopeExit restaura([&] {
        itens.CheckBrowseMode();
        itens.SetFiltered(filtrado);
        if (atual != kInvalidBookmark && itens.BookmarkValid(atual)) itens.GotoBookmark(atual);
    });
    itens.SetFiltered(false);
    const TDateTime d = dbdRetirada->Date();
    for (itens.First(); !itens.Eof(); itens.Next()) {
        itens.Edit();
        itens.FieldByName("DTLANCMOVI").SetAsDateTime(d);
        itens.Post();
    }
}
