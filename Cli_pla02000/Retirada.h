#pragma once
// TfrmRetirada: the withdrawal screen "Retirada (Planejamento)". One class for
// the whole screen: its member functions live in the subsystem folders, one
// file per concern (frame/, header/, items/, dishtypes/, saving/, general/).
// The unit state that several parts share (RetiradaUnit) lives beside it.
//
// Every component is owned by the form: controls through the toolkit's
// ownership, datasets, queries, connections and data sources as members.
// Handlers run on the user-interface thread; validation failures end with
// Consiste::MensErro (a silent EAbort after the error box).
#include "Cli_pla02000/frame/Commands.h"
#include "Cli_pla02010/FiltroRetirada.h"
#include "Cli_pla02015/FiltroRetiradaGeral.h"
#include "core/DateTime.h"
#include "data/ClientDataSet.h"
#include "data/DataSource.h"
#include "db/ADOIBQuery.h"
#include "db/DataSetProvider.h"
#include "net/ConnectionUse.h"
#include "net/NetConnection.h"
#include "services/DBPicture.h"
#include "services/FrmPadrao.h"
#include "services/Messages.h"
#include "ui/DBCtrls.h"
#include "ui/DBGrid.h"
#include "ui/Menus.h"
#include "ui/SearchList.h"
#include "ui/StdCtrls.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TfrmRetirada;

// The unit's variables: one set per loaded package, initialised once. The
// form is owned by the application; the column copy and the product picture
// are made by FormCreate and dropped by FormDestroy.
struct RetiradaUnit {
    TfrmRetirada* frmRetirada = nullptr;
    bool boIdCriado = false;
    bool boRetiOffline = false;
    bool boPrimVez = true;
    bool boHabilitaReti = false;
    bool boGridReadOnly = false;
    bool boAltLiberada = false;
    bool boAtuaRoma = false;
    bool boSomaTotLancto = false;
    bool boAtualizandoEstoque = false;
    bool boAtEstoque = false;
    bool boFechando = false;
    bool boErro = false;
    bool boDtEstoq = false;
    std::string stNrCardapio;
    std::string stIdNovoCardapio = "N";
    std::unique_ptr<TColumn> Coluna;          // the item grid's IDERRO column, kept to put it back
    std::unique_ptr<TDBPicture> dbpProduto;   // product-tree picture
};

// The process's unit state.
RetiradaUnit& Pla02000Unit();
// Back to the values of the unit's initialization (test programs and the
// scenario driver between sessions; the form must not exist).
void ResetPla02000Unit();

// Entries of the package, exported with C linkage (Pkg_pla02000/Pla02000Exports.h).
// CriaRetirada opens the screen, creating the form once per process; an
// exception from the creation reaches the caller. IniProc just calls it.
extern "C" void CriaRetirada();
extern "C" void IniProc();
// The browse filter dialog for the open screen (TfrmRetirada::AbreFiltroRetirada):
// whether it was confirmed and loaded a list. Exception without the screen.
extern "C" bool CriaFiltroRetirada();

// Use counts of the connections: entries "name=count" in insertion order.
class TConnectionCounts {
public:
    // The count of a connection; 0 when it has no entry.
    int Count(const std::string& name) const;
    void Set(const std::string& name, int count);
    bool Has(const std::string& name) const;
    // "netRetirada=1" lines, as the list holds them.
    std::vector<std::string> Lines() const;

private:
    std::vector<std::pair<std::string, int>> entries_;
};

class TfrmRetirada : public TfrmPadrao, public IFiltroRetiradaTela, public IRetiradaGeralTela {
public:
    TfrmRetirada();
    ~TfrmRetirada() override;
    std::string ClassName() const override { return "TfrmRetirada"; }

    // ---- Catalog --------------------------------------------------------------------------
    TMessages* msgPadrao;

    // ---- Tool bar, menus and images (beyond the base form's) ------------------------------
    TSpeedButton *sbtVerificar, *sbtAtuaEstoq, *sbtFiltro, *sbtRetGeral, *sbtVisualizaErros, *sbtAtuQtCons;
    TMenuItem *mnuVerificar, *mnuAtuaEstoque, *mnuFiltraLanc, *mnuRetGeral, *mnuVisualizaErros, *mnuAtuQtCons;
    TPopupMenu* pmnErros;
    TMenuItem *mnuErrosLanc, *mnuErrosItem;
    TImage *imgOk, *imgNaoOk, *imgDesconsid, *imgComErro, *imgSemErro;

    // ---- Branch panel -------------------------------------------------------------------------
    TPanel* panFiltro;
    TLabel* lblFilial;
    TMaskEdit* medCdFilial;
    TBtnPesquisa* btpFilial;
    TEdit* edtNmFilial;

    // ---- Page "Romaneio" ----------------------------------------------------------------------
    TDBGrid* dbgPadrao;
    TDBNavigator* navRomaneio;

    // ---- Page "Lançamento" --------------------------------------------------------------------
    TPanel* panLancamento;
    TGroupBox* grbDados;
    TLabel *lblNrRequisicao, *lblCdServico, *lblNmServico, *lblRetirada, *lblDtCardapio;
    TDBEdit* dbeNrRequisicao;
    TBtnPesquisa* btpNrRequisicao;
    TMaskEdit* medCdServico;
    TBtnPesquisa* btpServico;
    TEdit* edtNmServico;
    TDBDateEdit *dbdRetirada, *dbdDtCardapio;
    TPanel* panItens;
    TGroupBox* grbTipoPrat;
    TDBGrid* dbgTipoPrat;
    TSplitter* splPratos;
    TGroupBox* grbItens;
    TDBGrid* dbgItens;
    TGroupBox* grbLocalizacao;
    TDBGrid* dbgLocalizacao;
    TPanel* panTotCusto;
    TLabel *lblTotCusto, *ledTotCusto;

    // ---- Page "Resumo" ------------------------------------------------------------------------
    TDBGrid* dbgResumo;
    TPanel* panTotCustoResumo;
    TLabel *lblTotCustoResumo, *ledTotCustoResumo;

    // ---- Connections --------------------------------------------------------------------------
    TNetConnection netRetirada, netEstoque, netInfoProd, netAutoriza;

    // ---- Client datasets ----------------------------------------------------------------------
    TClientDataSet cdsRomaRetirada, cdsLanctoEst, cdsItLanctoEst, cdsItlanctoVdAux, cdsItLanctoSumAux,
        cdsItLanctoFilter, cdsRetiTipoPrat, cdsResumo, cdsParamEstoque, cdsParamFilial, cdsCtrlEstoque,
        cdsUtilizaRetiPrat, cdsNrPrevReti, cdsVdPrevReti, cdsPesqRequisicao, cdsPrevRetiAux, cdsVdServico,
        cdsVerifCardapio, cdsTipoReti, cdsLocalizacao, cdsValidProd, cdsPosEstDia, cdsValidaRetiTpPrat,
        cdsProduto, cdsVdRetDia, cdsRetiradaGeral;
    // The result list: made by FormCreate, dropped by FormDestroy; takes the
    // structure of whatever packet the server returns.
    std::unique_ptr<TClientDataSet> cdsRetorno;

    // ---- Local queries ------------------------------------------------------------------------
    TADOIBQuery qryFilial, qryServico, qryFiliOffLine, qryRetOffLine, qryProduto, qryProdutoCache,
        qryProdutoSemCache, qryParamGeral, qryPesqProduto, qryValidProduto, qryExisteProdTReti,
        qryValidProdReti, qryTipoPrat, qryPrato, qryValidaPrato;
    TDataSetProvider dspProduto;  // qryProduto -> cdsProduto

    // ---- Data sources (dtsPadrao, on cdsLanctoEst, is the base form's) -------------------------
    TDataSource dtsRomaRetirada, dtsItLanctoEst, dtsRetiTipoPrat, dtsResumo, dtsNrPrevReti, dtsFilial,
        dtsServico, dtsTipoPrat, dtsPrato, dtsTipoReti, dtsProduto, dtsLocalizacao;

    // ---- Form state shared across the screen's parts ------------------------------------------
    TConnectionCounts slConexoes;
    unsigned short inSeqItem = 0;
    bool boVdColuna = true;
    bool boUsaLocalizacao = false;
    bool boExcluindo = false;
    bool boReqPesquisada = false;
    bool boCarregandoItens = false;
    TDateTime dtEstoque;
    TDateTime dtFiltroIni, dtFiltroFin;   // withdrawal-date range of the last browse filter
    std::string stAlmoxarife, stLocalEstoq, stLoteEstq, stSubLote;

    // ---- Lifecycle (frame/Lifecycle.cpp) ------------------------------------------------------
    void FormCreate(TObject* Sender) override;
    void FormShow(TObject* Sender) override;
    void FormActivate(TObject* Sender) override;
    void FormDeactivate(TObject* Sender) override;
    void FormCloseQuery(TObject* Sender, bool& CanClose) override;
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    void FormDestroy(TObject* Sender) override;

    // ---- Connections (frame/Connections.cpp) --------------------------------------------------
    // Use-counted open (connect true) and close of a connection, keyed by its
    // name. Opening happens at count 0 (an exception leaves the count as it
    // was); closing happens when the count drops to 0 and never goes below 0.
    void ConnectServer(TNetConnection& conn, bool connect);
    void netRetiradaBeforeConnect(TNetConnection& conn);
    void netEstoqueBeforeConnect(TNetConnection& conn);
    void netInfoProdBeforeConnect(TNetConnection& conn);
    void netAutorizaBeforeConnect(TNetConnection& conn);
    // Calls a remote method between ConnectServer(conn, true) and (conn, false),
    // the close running whatever happened.
    Variant CallServer(TNetConnection& conn, const std::string& method, VariantArray& args);
    Variant CallServer(TNetConnection& conn, const std::string& method, VariantArray&& args);
    // One ConnectServer use of `conn` for the caller's scope (opened now,
    // closed when the scope is left, whatever happened).
    TConnectionUse UsoConexao(TNetConnection& conn);
    // The release check of the branch on that date (Lib00200::Confirma_Liberacao,
    // setting boAltLiberada) between ConnectServer calls for netEstoque and
    // netAutoriza, both closed again whatever happened; its errors propagate.
    void ConfirmaLiberacao(TDateTime data);

    // ---- Stock parameters (frame/StockParams.cpp) ---------------------------------------------
    // Loads cdsParamEstoque for the branch unless it already holds that branch
    // (force reloads). A failure leaves the dataset as it was and propagates.
    void GetParamEstoque(const std::string& branch, const std::string& idParam, const std::string& nrParam,
                         bool force);
    // Enables or disables the header's inputs (the menu date also obeys IDCARDIFRETI).
    void HabilitaFiltro(bool enable);
    // Refreshes the browse filter's remembered filter from its fields.
    void ChangeParams();
    // Stops the operation when the current item's product does not control stock.
    void Vd_CtrlEstoque();

    // ---- Result list (services/AcceptedErrors.cpp) ---------------------------------------------
    // True when cdsRetorno holds more than `limit` error rows (number rows not
    // counted) and one of the four client error keys is present and not
    // accepted by `ignoreList`.
    bool RetornouErro(const std::string& ignoreList, int limit);

    // ---- Branch filter (frame/BranchFilter.cpp) -----------------------------------------------
    void panFiltroEnter(TObject* Sender);
    void panFiltroExit(TObject* Sender);
    void medCdFilialChange(TObject* Sender);
    void medCdFilialExit(TObject* Sender);
    void btpFilialBeforePesq(TObject* Sender, bool& PodePesquisar);
    void btpFilialAfterPesq(TObject* Sender);
    // The branch check: pads the code, validates it (flag for ValidaFilial),
    // loads the stock parameters and applies IDCTRLESTQ. On error it moves the
    // focus back (or disables the pages) and rethrows.
    void VerificaFilial(bool flag);
    // Remote GetParamFilial into cdsParamFilial, with the branch check's error handling.
    void GetParamFilial();
    // Remote UsaLocalizacao into boUsaLocalizacao; shows or hides the location group.
    void UsaLocalizacao();
    // The general-withdrawal offering rule for sbtRetGeral / mnuRetGeral.
    void HabilitaRetGeral();

    // ---- Keys (frame/Keys.cpp) ----------------------------------------------------------------
    void OnMessage(TMsg& Msg, bool& Handled);
    void ControlTabStop(bool value);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift) override;
    void medCdServicoKeyPress(TObject* Sender, char32_t& Key);
    void dbeNrRequisicaoKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);

    // ---- Browse list and pages (frame/Pages.cpp, frame/CommandStates.cpp) ---------------------
    void pgcPadraoChanging(TObject* Sender, bool& AllowChange) override;
    void pgcPadraoChange(TObject* Sender) override;
    void mnuFolhaDadosClick(TObject* Sender) override;
    void mnuFormularioClick(TObject* Sender) override;
    void mnuResumoClick(TObject* Sender) override;
    void cdsRomaRetiradaAfterScroll(TDataSet& DataSet);
    void dtsPadraoStateChange(TDataSource& Sender);
    void dtsRomaRetiradaStateChange(TDataSource& Sender);
    void ControlaBotoes(TDataSource& source);
    void sbtProcurarClick(TObject* Sender) override;
    void sbtFiltroClick(TObject* Sender);
    void sbtImprimirClick(TObject* Sender) override;
    void dbgPadraoEnter(TObject* Sender);
    void DisableForInsert();
    // The posting-date window of a withdrawal dated `date` (frame/ReadOnlyRule.cpp):
    // true when it lies outside the window of cdsParamEstoque around the
    // branch's processing date.
    bool ForaDaJanela(TDateTime date);
    // Sets boGridReadOnly from the browse row.
    void CalculaReadOnly();
    void CalculaCustoTotal();
    void GetLocalizacao();
    void ControlaBloqAltPra();
    void HabilitaAtuaQtdeConsumida();
    // Offers the pending stock update before the user leaves a withdrawal
    // (saving/StockUpdate.cpp): the browse row's withdrawal is loaded first,
    // asked about (verifitens) and, on Yes, retried; a retry that left errors
    // on the form page stops the caller silently.
    void VerifItens();
    // The item filter of the current dish-type row (off when the group is hidden).
    void FiltraItensPrato();
    // Puts the item grid's error-mark column back / takes it away.
    void MostraColunaErro();
    void EscondeColunaErro();

    // The branch code typed in the branch panel.
    // Commands: the state rules switch a button and its menu item together.
    void HabilitaComando(retirada::Comando c, bool on);
    std::pair<TSpeedButton*, TMenuItem*> ControlesDoComando(retirada::Comando c) const;  // null for EdicaoItens
    // Whether the item and dish-type grids take changes now.
    void ControlaEdicaoItens();
    void sbtExcluirClick(TObject* Sender) override;
    void sbtConfirmarClick(TObject* Sender) override;
    // ---- Confirmation (saving/Confirmation.cpp) -------------------------------------------------
    // Saves the withdrawal being edited on the server (Confirma_Lanc) with the
    // ignore list: numbers in place of "NOVOCODRET" (only those that came
    // back), then either the browse row written and the logs merged, or the
    // withdrawal kept in edit with its items marked. A failed call propagates
    // after the note is removed; the logs stay for another sending.
    void Confirma(const std::string& ignoreList);
    // "#LIB00200_3#" when cdsRetorno holds an irregular-stock row, else "0".
    std::string ResultIrreg();
    // The current item's calculated marks read cdsRetorno again (after it changed).
    void RecalculaMarcas();
    // ---- Pending stock update (saving/StockUpdate.cpp) ------------------------------------------
    // Retries the loaded withdrawal's items not yet in stock (AtualizaEstoque):
    // the items and their marks as the server holds them, the dish groups
    // marked, Atua_Est_Parc and the error column when some are still refused.
    // A text answer is raised; the flag and a pending item edit are settled whatever happens.
    void Atualiza_Produtos_Estoque();
    void sbtAtuaEstoqClick(TObject* Sender);
    // Reloads the current page's data from the server.
    void sbtVerificarClick(TObject* Sender);
    void sbtCancelarClick(TObject* Sender) override;

    std::string Filial() const override;

    // ---- Header (header/) ---------------------------------------------------------------------
    // Record events of cdsLanctoEst (HeaderRecord.cpp): defaults of a new
    // header (company numbers of the selected branch), the values taken just
    // before the post, inSeqItem from the opened header, the undo of a cancel.
    void cdsLanctoEstNewRecord(TDataSet& DataSet);
    void cdsLanctoEstBeforePost(TDataSet& DataSet);
    void cdsLanctoEstAfterOpen(TDataSet& DataSet);
    void cdsLanctoEstAfterCancel(TDataSet& DataSet);
    // The service (Service.cpp): only while editing; pads the code, asks
    // getVdServico into cdsVdServico and shows its name. Unknown or inactive
    // service (or empty when required) is reported, focus back on the code.
    void Vd_CdServico(bool required);
    void medCdServicoChange(TObject* Sender);
    void medCdServicoExit(TObject* Sender);
    void btpServicoBeforePesq(TObject* Sender, bool& PodePesquisar);
    void btpServicoAfterPesq(TObject* Sender);
    // The dates (Dates.cpp): the withdrawal date against the branch's window
    // and the release check (an edited header also needs M <= D and gives the
    // items the date); the menu date not before the withdrawal date.
    void Vd_DataRetirada();
    void Vd_DataCardapio();
    void dbdRetiradaExit(TObject* Sender);
    void dbdDtCardapioExit(TObject* Sender);
    // Every item (whatever dish filter is on) takes the withdrawal date as
    // DTLANCMOVI, each edited and posted; filter and current item are kept.
    void GravDtItem();
    // Leaving the header (HeaderExit.cpp): the change check that settles the
    // menu number (a settled day may discard the header), then the whole
    // header validated; entering it opens the inputs again.
    void grbDadosExit(TObject* Sender);
    void panLancamentoEnter(TObject* Sender);
    void panLancamentoExit(TObject* Sender);
    // Withdrawal types (TipoReti.cpp): the list from the server; the current
    // item's type checked against it and against the type's products.
    void GetTipoReti();
    void Vd_TipoReti(bool required);
    // The requisition (Requisition.cpp). The search list of the processing
    // date +/- 10 days (its day as text, its kind calculated); a planned row
    // chosen fills service and dates and spares the next exit its check.
    void btpNrRequisicaoBeforePesq(TObject* Sender, bool& PodePesquisar);
    void btpNrRequisicaoAfterPesq(TObject* Sender);
    void cdsNrPrevRetiCalcFields(TDataSet& DataSet);
    void dbeNrRequisicaoChange(TObject* Sender);
    void dbeNrRequisicaoExit(TObject* Sender);
    // While inserting: the number padded to ten ("0000000000" when empty);
    // an extra one must be known within P +/- 10 days (its service and day
    // fill the header), the planned one dates the header P; then
    // Controle_de_Retirada. While altering: only a number retyped to another
    // one goes through Controle_de_Retirada. Failures focus the edit and abort.
    void Vd_NrRequExtr();
    // Unless skip: an extra requisition that a withdrawal already uses is refused (NAO_PERM).
    void Controle_de_Retirada(bool skip);
    // Refuses (INCL_N_PERM_SERV) a product added by hand when the header's
    // service, or the header itself, blocks it.
    void Vd_BloqInclProd();
    // Include and alter (IncludeAlter.cpp): refused by a pending inventory
    // before anything changes.
    void sbtIncluirClick(TObject* Sender) override;
    void sbtAlterarClick(TObject* Sender) override;

    // ---- Items (items/) ----------------------------------------------------------------------
    // Record events of cdsItLanctoEst (ItemRecord.cpp): the inventory, the
    // product block of the service and the date window before an insert or an
    // edit (refusals abort, the window's silently), the defaults of a new item,
    // the snapshot cdsItlanctoVdAux, the marks ESTOQUEOK / IDERRO.
    void cdsItLanctoEstBeforeInsert(TDataSet& DataSet);
    void cdsItLanctoEstAfterInsert(TDataSet& DataSet);
    void cdsItLanctoEstBeforeEdit(TDataSet& DataSet);
    void cdsItLanctoEstAfterEdit(TDataSet& DataSet);
    void cdsItLanctoEstAfterPost(TDataSet& DataSet);
    void cdsItLanctoEstAfterCancel(TDataSet& DataSet);
    void cdsItLanctoEstAfterScroll(TDataSet& DataSet);
    void cdsItLanctoEstCalcFields(TDataSet& DataSet);
    void cdsItLanctoEstQTDEVOLVRETIValidate(TField& Sender);
    void dtsItLanctoEstStateChange(TDataSource& Sender);
    // Whether cdsRetorno holds a row for the product (CDOBJETO, without regard
    // to case); moves cdsRetorno's cursor to it, as the error review wants.
    bool ResultErroItem(const std::string& product);
    // Column-by-column entry (ColumnFlow.cpp). Refusals select the column and
    // stop the move with the catalog text.
    void dbgItensEnter(TObject* Sender);
    void dbgItensExit(TObject* Sender);
    void dbgItensColEnter(TObject* Sender);
    void dbgItensColExit(TObject* Sender);
    void dbgItensEditButtonClick(TObject* Sender);
    void qryProdutoBeforeOpen(TDataSet& DataSet);
    void qryPesqProdutoBeforeOpen(TDataSet& DataSet);
    // The current item takes the product of the tree code (Prod_Cad, Prod_Comp otherwise).
    void ValidaProduto(const std::string& code);
    // Dish type and dish of the current cdsRetiTipoPrat row (empty refused when mandatory).
    void Vd_TipoPrat(bool mandatory);
    void Vd_Prato(bool mandatory);
    // Discards a decimal separator typed first or twice into the field's column.
    void Vd_Virgula(TDBGrid* grid, const std::string& fieldName, char32_t& key);
    // Assigns the value when it differs, putting the item into edit first.
    void Atualiza_Valores(TField& field, double value);
    // The field's text, or " " when null or blank.
    static std::string ResultValue(const TField& field);
    // The consumed quantity against the stock of the day (Quantity.cpp); only
    // while the item is edited or inserted. Refuses with the catalog texts, or
    // silently after a No to the negative-stock question.
    void Vd_Quantidade();
    // Item post (Posting.cpp): the checks in order, the keys and the cost.
    void cdsItLanctoEstBeforePost(TDataSet& DataSet);
    void btfCalculaTotCustoClick(TObject* Sender);
    // ---- Loading the requisition's items (header/LoadItems.cpp) -----------------------------
    // Entering the items of a header being typed posts it and sends it with its
    // requisition (GravaRequisicao): the recorded withdrawal with its items and
    // dish rows and a new browse row, or a refusal shown with the header
    // editable again, or nothing to load (the header stays unsaved, in edit).
    // Leaving the items enables the header's inputs again.
    void panItensEnter(TObject* Sender);
    void panItensExit(TObject* Sender);
    // A header not recorded yet: inserting, or edited while its number is still "NOVOCODRET".
    bool CabecalhoNovo() const;
    // grbTipoPrat, dbgTipoPrat and splPratos shown exactly for a service by dish (cdsUtilizaRetiPrat).
    void MostraTipoPrat();
    // Characters of the product tree code the requisition is summed by (stock parameters' level).
    int TamanhoAgrupamento() const;

    // ---- Dish types (dishtypes/DishTypes.cpp) -------------------------------------------------
    // Record events of cdsRetiTipoPrat: a new row only on a visible grid, within
    // the date window and not on a service that blocks dish changes; checked
    // (type, dish, no duplicate group) before it is posted. AfterScroll
    // filters the items to the current row's group.
    void cdsRetiTipoPratBeforeInsert(TDataSet& DataSet);
    void cdsRetiTipoPratAfterInsert(TDataSet& DataSet);
    void cdsRetiTipoPratBeforePost(TDataSet& DataSet);
    void cdsRetiTipoPratAfterPost(TDataSet& DataSet);
    void cdsRetiTipoPratAfterScroll(TDataSet& DataSet);
    void dtsRetiTipoPratStateChange(TDataSource& Sender);
    void dbgTipoPratKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void dbgTipoPratKeyPress(TObject* Sender, char32_t& Key);
    void dbgTipoPratEditButtonClick(TObject* Sender);
    void dbgTipoPratColExit(TObject* Sender);
    void dbgTipoPratEnter(TObject* Sender);
    void dbgTipoPratExit(TObject* Sender);
    // A new group repeating one of cdsValidaRetiTpPrat is refused (RetiTpPrato_Cad).
    void Vd_ChaveTipoPrat();
    // The service of the browse row works by dish and blocks dish changes.
    bool PratoBloqueado() const;
    // The item filter text of the dataset's current group.
    std::string FiltroTipoPrat(const TDataSet& ds) const;

    // ---- Grid presentation and the item grid's keys (dishtypes/GridDrawing.cpp, ItemGridKeys.cpp) --
    // Each cell as the grid hands it over (Row: the row drawn, read without
    // moving the cursor): red for a marked row, alignment, type name, images.
    void dbgItensDrawColumnCell(TObject* Sender, int Row, int DataCol, TColumn& Column, TGridDrawState State,
                                TCellPresentation& Cell);
    void dbgTipoPratDrawColumnCell(TObject* Sender, int Row, int DataCol, TColumn& Column, TGridDrawState State,
                                   TCellPresentation& Cell);
    void dbgResumoDrawColumnCell(TObject* Sender, int Row, int DataCol, TColumn& Column, TGridDrawState State,
                                 TCellPresentation& Cell);
    // Ctrl+Delete (refused with exclui_ultimo for the last unmarked item shown),
    // read-only columns, the dish-type page keys, Ctrl+V, Tab past read-only columns.
    void dbgItensKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void dbgItensKeyPress(TObject* Sender, char32_t& Key);
    // Items shown (the dish's filter kept) not marked "D", counted on a copy in cdsItlanctoVdAux.
    int ItensNaoMarcados();

    // ---- Error review (saving/ErrorReview.cpp) -------------------------------------------------
    // Whether the current row of cdsRetorno is the posting's pending inventory ("LIB00200_4").
    bool ResultErroLanc();
    // Opens pmnErros below the button, its two entries enabled by the lookups.
    void sbtVisualizaErrosClick(TObject* Sender);
    // The viewer for the current item's product ("I") or for the posting ("L").
    void mnuErrosItemClick(TObject* Sender);
    void mnuErrosLancClick(TObject* Sender);

    // ---- Deletion (saving/Deletion.cpp, dishtypes/DishDeletion.cpp) ---------------------------
    // The withdrawal of the list's current row deleted on the server
    // (DelLancto) with the ignore list; a refusal by result rows keeps it
    // (Del_Est_Irreg, or the Exclui / Cancela options when negative stock is allowed).
    void Exclusao(const std::string& ignoreList);
    // An interactive deletion of an item or a group becomes its "D" mark
    // (after Excl_prod / Excl_prat); a marked row, or the program's own
    // removal, goes through. Refusals abort silently.
    void cdsItLanctoEstBeforeDelete(TDataSet& DataSet);
    void cdsRetiTipoPratBeforeDelete(TDataSet& DataSet);
    // The last group removed: the header being edited, when the server knows
    // it, is deleted there; a refusal cancels both change logs and raises.
    void cdsRetiTipoPratAfterDelete(TDataSet& DataSet);

    // ---- General withdrawal and consumed quantities (general/) ---------------------------------
    // Opens a general-withdrawal filter dialog (CriaFiltroRetiradaGeral, or the
    // stand-in a test put in AbreFiltroRetiradaGeral).
    void sbtRetGeralClick(TObject* Sender);
    std::function<void()> AbreFiltroRetiradaGeral;
    // The run of the confirmed dialog's choice: inventory, date window and
    // release, VdRetGeral, GetRetiradaGeral, the recalculation question,
    // GetRequisicao, then "Pla08000" with its 13 values. Refusals are shown
    // and abort; a server text is never taken for data.
    void RetiradaGeral(TEscolhaRetiradaGeral& escolha) override;
    // The header's date window (focus on medCdFilial) and the release check for the day.
    void Vd_DataRetGeral(TDateTime dia);
    // Every untouched item (no extra, returned or total, planned > 0, not "D")
    // of every dish row takes its planned quantity as its total, each posted
    // with its checks; a refusal stops there, earlier items kept. The cursor
    // comes back to the item (and dish row) that was current.
    void sbtAtuQtConsClick(TObject* Sender);
    void mnuAtuQtConsClick(TObject* Sender);

    // ---- The browse filter dialog (frame/BrowseList.cpp) --------------------------------------
    // Opens the dialog; the real one (MostraFiltroRetirada) unless a test put
    // a stand-in here.
    std::function<bool()> AbreFiltroRetirada;
    // The dialog's calls on netRetirada, bracketed by ConnectServer.
    Variant ChamaRetirada(const std::string& method, VariantArray args) override;
    // A confirmed filter's list: the data sources and the form page come on,
    // the filter's dates and boHabilitaReti are kept, both datasets take their
    // packets, the pages follow whether the list has rows, boDtEstoq is set,
    // and the focus goes to the list (or back to the branch without rows).
    void FiltroCarregado(const TFiltroCarregado& carga) override;
    // A field of the loaded stock / branch parameters as text ("" while none are loaded).
    std::string ParamEstoque(const std::string& field) const;
    std::string ParamFilial(const std::string& field) const;
    // Whether the data source's dataset is being edited or inserted.
    static bool Editando(const TDataSource& source);
    // Cancels the dataset's edit or insert; nothing in any other state.
    static void CancelaEdicao(TDataSet& ds);
    // Whether the current browse row's withdrawal is broken down by dish type.
    bool RetiPorPrato() const;

private:
    // Header helpers (header/).
    void bindHeaderHandlers();
    void posicionaFilial(const std::string& branch);   // qryFilial on the branch's row
    void verificaRequisicaoAlterada();                 // Vd_NrRequExtr of an altered header
    void datasDoCabecalho(TDateTime dia);              // both header dates := that day
    [[noreturn]] void recusaData(TDBDateEdit* edit, const char* key);  // focus, catalog text, abort
    void focaColunaItem(const char* field);           // item grid focused on the field's column
    void ValidaInventario();                          // Lib00200 on netEstoque, closed again
    void fixaFilial();                                // branch filter and browse menu off
    // Keeps the focus in the branch field, or disables the pages when it cannot take it.
    void falhaFilial();
    // Makes a page active from code and runs the page-change handling.
    void ativaPagina(TTabSheet* page);
    void buildControls();
    void buildMenus();
    void buildData();
    void bindHandlers();
    // The page change as the user's tab click does it (events included).
    void mudaPagina(TTabSheet* page);
    // Loads the browse row's withdrawal into the form page's datasets.
    void carregaLancamento();

    // Items (items/).
    void bindItemHandlers();
    void janelaItens();                        // boGridReadOnly for the items, from the header's date
    void copiaItens();                         // cdsItlanctoVdAux := the items as they are
    void completaCodigo(TField& code);         // a short tree code completed or checked
    double quantidadeEstoque(double consumed); // in stock units, by the product's factor
    void custoDoDia(bool defaultType);         // unit and total value from the position of the day
    void descEstoque();                        // the product's usual place (Lib00206)
    void leCodigoBarra();                      // the bar-code reader into the product column
    bool itemDuplicado();
    // qryValidProduto on the product of that tree code. A read made by this
    // post's validation serves its later reads of the same code (the screen
    // writes no products); any other read runs the query again.
    void leProduto(const std::string& code, bool validacao);
    bool produtoDoPost_ = false;               // qryValidProduto was read by the running post's validation
    bool temErroItem(const std::string& product) const;  // ResultErroItem without moving cdsRetorno
    [[noreturn]] void erroItem(const char* field, const char* key);  // column selected, catalog text, abort
    int postandoItem_ = 0;                     // item BeforePost running (a nested post skips the checks)
    // The item fields the marks read and write, found once: the marks are
    // calculated again after every change of a field of the item.
    TField* marcaEvolEstoq_ = nullptr;
    TField* marcaEstoqueOk_ = nullptr;
    TField* marcaErro_ = nullptr;
    TField* marcaProduto_ = nullptr;
    // Requisition items and dish types (header/LoadItems.cpp, dishtypes/).
    void bindDishTypeHandlers();
    void bindGridDrawing();
    void bindErrorReview();
    // Cancel (saving/Cancel.cpp): the new group's unsaved items; the steps every level ends with.
    void removeItensNovosDoPrato();
    void fechaCancelamento();
    // Back to browsing (after a cancel or a saved confirmation): the branch
    // controls unless the module fixes the branch, the list and form pages.
    void reabreNavegacao();
    // The branch label, code and search button together (the name stays read-only).
    void habilitaPainelFilial(bool on);
    // Deletion helpers: DelLancto with "EFET_FATU" in the user's words; its
    // end date; its rows into cdsRetorno; whether they refuse it.
    Variant ChamaDelLancto(VariantArray& args);
    TDateTime FimExclusao(TDateTime data);
    void RetornoDaExclusao(const Variant& result);
    bool ExclusaoRecusada();
    void bindDeletion();
    void bindGeneral();
    // Confirmation helpers: the items marked "D" removed (how many); the
    // returned numbers written into header, dish rows and items; the browse
    // row brought in line with the header (edited or inserted); the header's
    // fields copied into the browse row being edited.
    int removeItensMarcados();
    void aplicaNumeros(bool sucesso);
    void linhaRomaneio();
    void copiaParaRomaneio();
    // Pending stock update helpers: the browse row's withdrawal loaded into the
    // form when another one is loaded there (not while editing); the dish
    // groups' IDERRO from the items' marks (all "N" with comErros false).
    void carregaLinhaAtual();
    void marcaPratos(bool comErros);
    void recarregaResumo();                   // cdsResumo := GetResumoItemReti of the browse row
    void bindStockUpdate();
    void enviaRequisicao(int tamanho);                   // GravaRequisicao and its answer
    void recebeServico(const Variant& servico);          // cdsUtilizaRetiPrat := the packet, grid shown or not
    void reabreCabecalho();                              // header back in edit
    void novoEnvio();                                    // the next sending gets a key of its own
    [[noreturn]] void recusaRequisicao(const std::string& texto, const Variant* servico);
    void novaLinhaRomaneio();                            // the recorded header as a browse row
    void focaProdutoDoPrato();                           // the item grid's product column
    bool saindoTipoPrat_ = false;                        // dbgTipoPrat's exit running
    // A failed confirmation puts the header back in edit for the same sending:
    // the day's release was checked by that confirmation, not asked again.
    bool reabrindoEnvio_ = false;
    TDataSetState estadoCabecalho_ = TDataSetState::dsInactive;  // dtsPadrao's state before the last change
    int mudandoPagina_ = 0;          // page-change handling running
    unsigned trocasDePagina_ = 0;    // page-change handlings run
    TTabSheet* paginaNoGancho_ = nullptr;   // page and count seen by the last key-down
    unsigned trocasNoGancho_ = 0;
};

// Exists only while the screen exists; null otherwise.
inline TfrmRetirada* frmRetirada() { return Pla02000Unit().frmRetirada; }
