// The include and alter commands: the branch's inventory first, then the
// datasets, pages and controls a new or a changed withdrawal starts from.
#include "Cli_pla02000/Retirada.h"

#include "services/Consiste.h"
#include "services/Morvena.h"
#include "stocklib/Lib00200.h"
#include "ui/Pages.h"

void TfrmRetirada::ValidaInventario() {
    TConnectionUse estoque = UsoConexao(netEstoque);
    Lib00200::ValidaInventario(netEstoque, Filial(), Morvena::DataProc(Filial()));
}

void TfrmRetirada::fixaFilial() {
    habilitaPainelFilial(false);
    mnuFolhaDados->SetEnabled(false);
    mnuFormulario->SetEnabled(true);
}

void TfrmRetirada::sbtIncluirClick(TObject* Sender) {
    ValidaInventario();
    GetParamEstoque(Filial(), "S", "10", true);
    VerifItens();
    for (TClientDataSet* ds : {&cdsLanctoEst, &cdsItLanctoEst, &cdsLocalizacao, &cdsRetiTipoPrat, &cdsValidaRetiTpPrat}) {
        ds->Close();
        ds->CreateDataSet();
    }
    TfrmPadrao::sbtIncluirClick(Sender);
    pgcPadrao->SetEnabled(true);
    HabilitaFiltro(true);
    fixaFilial();
    tshFolhaDados->SetTabVisible(false);
    tshFolhaDados->SetEnabled(false);
    tshFormulario->SetEnabled(true);
    tshFormulario->SetTabVisible(true);
    tshResumo->SetEnabled(tshFolhaDados->Enabled());
    mnuResumo->SetEnabled(tshResumo->Enabled());
    ativaPagina(tshFormulario);
    if (dbeNrRequisicao->CanFocus()) dbeNrRequisicao->SetFocus();
    cdsLanctoEst.FieldByName("NRLANCESTQ").SetAsString("NOVOCODRET");
    cdsLanctoEst.FieldByName("NRRETIRADA").SetAsString("NOVOCODRET");
    inSeqItem = 0;
    dbgItens->Columns()[dbgItens->ColumnIndexOf("CDARVPROD")].ButtonStyle = TColumnButtonStyle::cbsEllipsis;
    dbdRetirada->Clear();
    dbdDtCardapio->Clear();
    medCdServico->Clear();
    edtNmServico->Clear();
    cdsLanctoEst.FieldByName("DTLANCESTQ").Clear();
    cdsLanctoEst.FieldByName("DTCARDAPIO").Clear();
    ledTotCusto->SetCaption(Consiste::FormatFloat("#,##0.00000", 0.0));
}

void TfrmRetirada::sbtAlterarClick(TObject* Sender) {
    ValidaInventario();
    HabilitaFiltro(false);
    tshFormulario->SetEnabled(true);
    ativaPagina(tshFormulario);
    TfrmPadrao::sbtAlterarClick(Sender);
    focaColunaItem("QTEXTRARETI");
    fixaFilial();
    if (pgcPadrao->ActivePage() != tshFolhaDados) pgcPadraoChange(pgcPadrao);
}
