// The controls, menus and images of TfrmRetirada, as the form's designer lays
// them out. Behaviour is attached by bindHandlers (frame/Handlers.cpp).
#include "Cli_pla02000/Retirada.h"

#include "Cli_pla02000/model/RetiradaCatalog.h"

#include <string>

namespace {

TMenuItem* menuItem(TComponent* owner, TMenuItem* parent, const char* name, const char* caption,
                    const char* shortCut = "") {
    auto* m = TComponent::Create<TMenuItem>(owner, name);
    m->SetCaption(caption);
    if (*shortCut) m->SetShortCut(std::string(shortCut));
    parent->Add(m);
    return m;
}

TSpeedButton* toolButton(TComponent* owner, const char* name, TWinControl* parent, const char* hint,
                         const char* glyph) {
    auto* b = CreateControl<TSpeedButton>(owner, name, parent);
    b->SetHint(hint);
    b->Glyph = glyph;
    b->SetEnabled(false);
    return b;
}

TImage* image(TComponent* owner, const char* name, TWinControl* parent, int width, int height) {
    auto* i = CreateControl<TImage>(owner, name, parent);
    i->Picture = std::string(name) + ".bmp";
    i->SetBounds(0, 0, width, height);
    i->SetVisible(false);
    return i;
}

TColumn& column(TDBGrid* grid, const char* field, int width = 64, const char* title = "") {
    TColumn& c = grid->Columns().Add(field, title, width);
    return c;
}

TColumn& rightColumn(TDBGrid* grid, const char* field, int width = 64) {
    TColumn& c = column(grid, field, width);
    c.Title.Alignment = TAlignment::taRightJustify;
    return c;
}

TLabel* label(TComponent* owner, const char* name, TWinControl* parent, const char* caption) {
    return CreateControl<TLabel>(owner, name, parent, caption);
}

}  // namespace

void TfrmRetirada::buildControls() {
    SetCaption("Retirada (Planejamento)");
    SetHelpContext(12302000);
    SetBounds(0, 3, 632, 440);

    msgPadrao = TComponent::Create<TMessages>(this, "msgPadrao");
    msgPadrao->LoadFromText(model::MsgPadraoRetiradaResource());

    // Tool bar: the screen's own commands after the base form's.
    sbtVerificar = toolButton(this, "sbtVerificar", panMenu, "Verificar", "verificar");
    sbtAtuaEstoq = toolButton(this, "sbtAtuaEstoq", panMenu, "Atualizar Estoque", "atualizar-estoque");
    sbtFiltro = toolButton(this, "sbtFiltro", panMenu, "Filtrar Lançamentos", "filtrar");
    sbtRetGeral = toolButton(this, "sbtRetGeral", panMenu, "Retirada Geral", "retirada-geral");
    sbtVisualizaErros = toolButton(this, "sbtVisualizaErros", panMenu, "Visualizar Erros", "visualizar-erros");
    sbtAtuQtCons = toolButton(this, "sbtAtuQtCons", panMenu, "Atualizar Quantidade Consumida", "quantidade-consumida");
    for (TSpeedButton* b : {sbtIncluir, sbtAlterar, sbtExcluir, sbtConfirmar, sbtCancelar, sbtProcurar})
        b->SetEnabled(false);

    // Picture sources of the grids' status and error columns.
    imgOk = image(this, "imgOk", panMenu, 24, 16);
    imgNaoOk = image(this, "imgNaoOk", panMenu, 24, 16);
    imgDesconsid = image(this, "imgDesconsid", panMenu, 24, 16);
    imgComErro = image(this, "imgComErro", panMenu, 16, 16);
    imgSemErro = image(this, "imgSemErro", panMenu, 18, 18);

    // Branch panel, between the tool bar and the pages.
    panFiltro = CreateControl<TPanel>(this, "panFiltro", this);
    panFiltro->SetAlign(TAlign::alTop);
    panFiltro->SetHeight(33);
    panFiltro->SetTabOrder(0);
    lblFilial = label(this, "lblFilial", panFiltro, "Filial");
    medCdFilial = CreateControl<TMaskEdit>(this, "medCdFilial", panFiltro);
    medCdFilial->SetEditMask(">aaaa;0; ");
    medCdFilial->SetMaxLength(4);
    medCdFilial->SetTabOrder(0);
    lblFilial->FocusControl = medCdFilial;
    btpFilial = CreateControl<TBtnPesquisa>(this, "btpFilial", panFiltro);
    btpFilial->ListSource = &dtsFilial;
    btpFilial->Title = "Filial";
    edtNmFilial = CreateControl<TEdit>(this, "edtNmFilial", panFiltro);
    edtNmFilial->SetEnabled(false);
    edtNmFilial->SetTabStop(false);

    // Pages.
    tshFolhaDados->SetCaption("Romaneio");
    tshFormulario->SetCaption("Lançamento");
    tshResumo->SetCaption("Resumo");

    // "Romaneio": the browse list.
    dbgPadrao = CreateControl<TDBGrid>(this, "dbgPadrao", tshFolhaDados);
    dbgPadrao->SetAlign(TAlign::alClient);
    dbgPadrao->SetDataSource(&dtsRomaRetirada);
    dbgPadrao->ReadOnly = true;
    dbgPadrao->Options.Editing = false;
    dbgPadrao->Options.RowSelect = true;
    column(dbgPadrao, "CDSERVFILI", 52);
    column(dbgPadrao, "NMSERVICO", 232);
    column(dbgPadrao, "DTLANCESTQ", 76, "Data Retirada ");
    column(dbgPadrao, "DTCARDAPIO", 79);
    column(dbgPadrao, "NRREQUEXTRRE", 75);
    column(dbgPadrao, "NRLANCESTQ", 80, "Nº Lançamento Estoque");
    navRomaneio = CreateControl<TDBNavigator>(this, "navRomaneio", tshFolhaDados);
    navRomaneio->SetAlign(TAlign::alBottom);
    navRomaneio->SetDataSource(&dtsRomaRetirada);

    // "Lançamento": header panel on top, items below.
    panLancamento = CreateControl<TPanel>(this, "panLancamento", tshFormulario);
    panLancamento->SetAlign(TAlign::alTop);
    panLancamento->SetHeight(64);
    grbDados = CreateControl<TGroupBox>(this, "grbDados", panLancamento);
    grbDados->SetAlign(TAlign::alClient);
    lblNrRequisicao = label(this, "lblNrRequisicao", grbDados, "Nº da Requisição");
    dbeNrRequisicao = CreateControl<TDBEdit>(this, "dbeNrRequisicao", grbDados);
    dbeNrRequisicao->SetDataSource(&dtsPadrao);
    dbeNrRequisicao->SetDataField("NRREQUEXTRRE");
    lblNrRequisicao->FocusControl = dbeNrRequisicao;
    btpNrRequisicao = CreateControl<TBtnPesquisa>(this, "btpNrRequisicao", grbDados);
    btpNrRequisicao->ListSource = &dtsNrPrevReti;
    btpNrRequisicao->Title = "Requisição";
    btpNrRequisicao->EmptyListText = "Não há requisição cadastrada.";
    lblCdServico = label(this, "lblCdServico", grbDados, "Código");
    medCdServico = CreateControl<TMaskEdit>(this, "medCdServico", grbDados);
    medCdServico->SetEditMask("ccccc;0; ");
    medCdServico->SetMaxLength(5);
    lblCdServico->FocusControl = medCdServico;
    btpServico = CreateControl<TBtnPesquisa>(this, "btpServico", grbDados);
    btpServico->ListSource = &dtsServico;
    btpServico->Title = "Serviço";
    btpServico->EmptyListText = "Não há serviço cadastrado.";
    lblNmServico = label(this, "lblNmServico", grbDados, "Serviço");
    edtNmServico = CreateControl<TEdit>(this, "edtNmServico", grbDados);
    edtNmServico->SetEnabled(false);
    edtNmServico->SetTabStop(false);
    lblRetirada = label(this, "lblRetirada", grbDados, "Data da Retirada");
    dbdRetirada = CreateControl<TDBDateEdit>(this, "dbdRetirada", grbDados);
    dbdRetirada->SetDataSource(&dtsPadrao);
    dbdRetirada->SetDataField("DTLANCESTQ");
    dbdRetirada->SetTag(3);
    lblRetirada->FocusControl = dbdRetirada;
    lblDtCardapio = label(this, "lblDtCardapio", grbDados, "Data do Cardápio");
    dbdDtCardapio = CreateControl<TDBDateEdit>(this, "dbdDtCardapio", grbDados);
    dbdDtCardapio->SetDataSource(&dtsPadrao);
    dbdDtCardapio->SetDataField("DTCARDAPIO");
    dbdDtCardapio->SetTag(3);
    lblDtCardapio->FocusControl = dbdDtCardapio;
    // Tab order within the header: requisition, service, withdrawal date, menu date.
    dbeNrRequisicao->SetTabOrder(0);
    medCdServico->SetTabOrder(1);
    dbdRetirada->SetTabOrder(2);
    dbdDtCardapio->SetTabOrder(3);

    panItens = CreateControl<TPanel>(this, "panItens", tshFormulario);
    panItens->SetAlign(TAlign::alClient);
    grbTipoPrat = CreateControl<TGroupBox>(this, "grbTipoPrat", panItens, "Tipos de Prato");
    grbTipoPrat->SetAlign(TAlign::alTop);
    grbTipoPrat->SetHeight(110);
    grbTipoPrat->SetVisible(false);
    dbgTipoPrat = CreateControl<TDBGrid>(this, "dbgTipoPrat", grbTipoPrat);
    dbgTipoPrat->SetAlign(TAlign::alClient);
    dbgTipoPrat->SetDataSource(&dtsRetiTipoPrat);
    column(dbgTipoPrat, "CDTIPOPRAT", 45).ButtonStyle = TColumnButtonStyle::cbsNone;
    column(dbgTipoPrat, "NMTIPOPRAT", 150).ReadOnly = true;
    column(dbgTipoPrat, "CDPRATO", 90).ButtonStyle = TColumnButtonStyle::cbsNone;
    column(dbgTipoPrat, "NMPRATO", 250).ReadOnly = true;
    TColumn& erroPrato = column(dbgTipoPrat, "IDERRO", 21);
    erroPrato.ReadOnly = true;
    erroPrato.Alignment = TAlignment::taCenter;
    splPratos = CreateControl<TSplitter>(this, "splPratos", panItens);
    splPratos->SetAlign(TAlign::alTop);
    splPratos->SetVisible(false);

    grbItens = CreateControl<TGroupBox>(this, "grbItens", panItens, "Produtos");
    grbItens->SetAlign(TAlign::alClient);
    dbgItens = CreateControl<TDBGrid>(this, "dbgItens", grbItens);
    dbgItens->SetAlign(TAlign::alClient);
    dbgItens->SetDataSource(&dtsItLanctoEst);
    column(dbgItens, "CDARVPROD", 84).ButtonStyle = TColumnButtonStyle::cbsNone;
    column(dbgItens, "NMPRODUTO", 138);
    column(dbgItens, "SGUNIDADE", 21);
    column(dbgItens, "CDTIPORETI", 125).ButtonStyle = TColumnButtonStyle::cbsEllipsis;
    rightColumn(dbgItens, "QTPREVISRETI");
    rightColumn(dbgItens, "QTEXTRARETI");
    rightColumn(dbgItens, "QTDEVOLVRETI");
    rightColumn(dbgItens, "QTTOTLANCTO", 60);
    column(dbgItens, "VRUNILANCTO").ReadOnly = true;
    column(dbgItens, "ESTOQUEOK", 35);
    column(dbgItens, "IDERRO", 21);

    grbLocalizacao = CreateControl<TGroupBox>(this, "grbLocalizacao", panItens, "Localização");
    grbLocalizacao->SetAlign(TAlign::alBottom);
    grbLocalizacao->SetHeight(90);
    grbLocalizacao->SetVisible(false);
    dbgLocalizacao = CreateControl<TDBGrid>(this, "dbgLocalizacao", grbLocalizacao);
    dbgLocalizacao->SetAlign(TAlign::alClient);
    dbgLocalizacao->SetDataSource(&dtsLocalizacao);
    dbgLocalizacao->ReadOnly = true;
    dbgLocalizacao->Options.Editing = false;
    dbgLocalizacao->SetTabStop(false);
    column(dbgLocalizacao, "CDALMOXARIFE", 80);
    column(dbgLocalizacao, "DSALMOXARIFE", 160);
    column(dbgLocalizacao, "CDLOCALESTOQ", 80);
    column(dbgLocalizacao, "DSLOCALESTOQ", 160);
    column(dbgLocalizacao, "NRLOTEESTQ", 90);
    column(dbgLocalizacao, "NRSUBLOTE", 55);

    panTotCusto = CreateControl<TPanel>(this, "panTotCusto", panItens);
    panTotCusto->SetAlign(TAlign::alBottom);
    panTotCusto->SetHeight(22);
    lblTotCusto = label(this, "lblTotCusto", panTotCusto, "Custo Total");
    ledTotCusto = label(this, "ledTotCusto", panTotCusto, "0,00000");
    panLancamento->SetTabOrder(0);
    panItens->SetTabOrder(1);

    // "Resumo": summary by product.
    dbgResumo = CreateControl<TDBGrid>(this, "dbgResumo", tshResumo);
    dbgResumo->SetAlign(TAlign::alClient);
    dbgResumo->SetDataSource(&dtsResumo);
    dbgResumo->ReadOnly = true;
    dbgResumo->Options.Editing = false;
    column(dbgResumo, "CDARVPROD", 84);
    column(dbgResumo, "NMPRODUTO", 180);
    column(dbgResumo, "SGUNIDADE", 21);
    rightColumn(dbgResumo, "QTPREVISRETI");
    rightColumn(dbgResumo, "QTEXTRARETI");
    rightColumn(dbgResumo, "QTDEVOLVRETI");
    rightColumn(dbgResumo, "QTRETIRADA");
    rightColumn(dbgResumo, "CUSTO");
    rightColumn(dbgResumo, "QTESTDIACON", 80);
    panTotCustoResumo = CreateControl<TPanel>(this, "panTotCustoResumo", tshResumo);
    panTotCustoResumo->SetAlign(TAlign::alBottom);
    panTotCustoResumo->SetHeight(22);
    lblTotCustoResumo = label(this, "lblTotCustoResumo", panTotCustoResumo, "Custo Total");
    ledTotCustoResumo = label(this, "ledTotCustoResumo", panTotCustoResumo, "0,00000");

    // The branch panel comes before the pages when tabbing.
    panFiltro->SetTabOrder(0);
}

void TfrmRetirada::buildMenus() {
    mnuFolhaDados->SetCaption("R&omaneio");
    mnuFormulario->SetCaption("&Lançamento");
    mnuResumo->SetCaption("R&esumo");
    mnuVerificar = menuItem(this, mnuOperacao, "mnuVerificar", "&Verificar");
    mnuAtuaEstoque = menuItem(this, mnuOperacao, "mnuAtuaEstoque", "Atuali&zar Estoque", "Ctrl+E");
    mnuFiltraLanc = menuItem(this, mnuOperacao, "mnuFiltraLanc", "&Filtrar Lançamentos", "Ctrl+L");
    mnuRetGeral = menuItem(this, mnuOperacao, "mnuRetGeral", "&Retirada Geral", "Ctrl+R");
    mnuVisualizaErros = menuItem(this, mnuOperacao, "mnuVisualizaErros", "&Visualizar Erros", "Ctrl+N");
    mnuAtuQtCons = menuItem(this, mnuOperacao, "mnuAtuQtCons", "Atualizar Quantidade Consumida", "Ctrl+A");
    for (TMenuItem* m : {mnuVerificar, mnuAtuaEstoque, mnuFiltraLanc, mnuRetGeral, mnuVisualizaErros, mnuAtuQtCons,
                         mnuIncluir, mnuAlterar, mnuExcluir, mnuConfirmar, mnuCancelar, mnuProcurar})
        m->SetEnabled(false);

    // The error review's small menu, opened by the review command only.
    pmnErros = TComponent::Create<TPopupMenu>(this, "pmnErros");
    mnuErrosLanc = menuItem(this, &pmnErros->Items(), "mnuErrosLanc", "Erros no Lançamento");
    mnuErrosLanc->SetEnabled(false);
    mnuErrosItem = menuItem(this, &pmnErros->Items(), "mnuErrosItem", "Erros no Item");
}
