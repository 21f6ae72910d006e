#pragma once
// The browse filter dialog TfrmFiltroRetirada ("PLA02010", "Filtro de
// Retirada (Planejamento)"): asks for the withdrawal-date and menu-date ranges
// and an optional service, fetches the browse list (GetRomaRetirada) through
// the screen it serves and hands it over (IFiltroRetiradaTela). It knows the
// screen only through that interface: the library pla02010 does not depend on
// the screen's.
//
// The dialog is created once, owned by the application, and only hidden when
// it closes, so it keeps the last filter for the process's life. The screen
// registers itself in the unit while it exists (it may be closed and opened
// again meanwhile); calls that need it raise Exception without it.
#include "core/DateTime.h"
#include "data/ClientDataSet.h"
#include "data/DataSource.h"
#include "db/ADOIBQuery.h"
#include "services/FrmRotiGeral.h"
#include "services/Messages.h"
#include "ui/SearchList.h"
#include "ui/StdCtrls.h"

#include <string>

#include "core/Variant.h"

// What a confirmed filter loaded, for the screen to take over.
struct TFiltroCarregado {
    TDateTime DtRetiradaIni, DtRetiradaFin;  // the withdrawal-date range asked for
    Variant RomaRetirada;                    // the browse list's packet
    Variant UtilizaRetiPrat;                 // the services' dish-type rules' packet
};

// The screen the dialog serves (TfrmRetirada implements it).
class IFiltroRetiradaTela {
public:
    // The branch the list is for.
    virtual std::string Filial() const = 0;
    // Calls a method of the screen's withdrawal module, the connection held
    // for that call only; the server's errors propagate.
    virtual Variant ChamaRetirada(const std::string& method, VariantArray args) = 0;
    // Takes a confirmed filter's list and sets the screen up for it.
    virtual void FiltroCarregado(const TFiltroCarregado& carga) = 0;

protected:
    ~IFiltroRetiradaTela() = default;
};

// The remembered filter: what the last confirmation used.
struct TRecordFilter {
    std::string CdServico;
    std::string NmServico;
    TDateTime DtRetiradaIni, DtRetiradaFin, DtCardapioIni, DtCardapioFin;
};

class TfrmFiltroRetirada : public TfrmRotiGeral {
public:
    TfrmFiltroRetirada();
    ~TfrmFiltroRetirada() override;
    std::string ClassName() const override { return "TfrmFiltroRetirada"; }

    TMessages* msgPadrao;
    TGroupBox* grbRetirada;
    TLabel *lblRetiradaIni, *lblRetiradaFin;
    TDateEdit *depRetiradaIni, *depRetiradaFin;
    TGroupBox* grbCardapio;
    TLabel *lblCardapioIni, *lblCardapioFin;
    TDateEdit *depCardapioIni, *depCardapioFin;
    TGroupBox* grbServico;
    TMaskEdit* medCdServico;
    TBtnPesquisa* btpServico;
    TEdit* edtNmServico;
    TSpeedButton* sbtDesfazer;

    TADOIBQuery qryServico, qryVDServico;
    TDataSource dtsServico;
    TClientDataSet cdsMaxData;

    // Dates := the branch's processing date; the remembered filter := those
    // dates and no service. Needs the screen.
    virtual void FormCreate(TObject* Sender);
    // Restores the fields from the remembered filter (not while the list is
    // being fetched) and focuses the service.
    virtual void FormActivate(TObject* Sender);
    // Hides the dialog; it is never freed by closing.
    virtual void FormClose(TObject* Sender, TCloseAction& Action);

    void qryServicoBeforeOpen(TDataSet& DataSet);
    void btpServicoBeforePesq(TObject* Sender, bool& PodePesquisar);
    void btpServicoAfterPesq(TObject* Sender);
    void medCdServicoChange(TObject* Sender);
    void medCdServicoExit(TObject* Sender);
    void depDataExit(TObject* Sender);
    void sbtDesfazerClick(TObject* Sender);

    // Checks the typed service (a blank one passes when `opcional`): pads it,
    // looks it up, fills edtNmServico. Errors: "Serv_cad", "SERV_INATIVO",
    // through Consiste::MensErro (silent EAbort after the box), focus on the field.
    void Vd_Servico(bool opcional);
    // Checks one date range (blank first, blank last, invalid, reversed), in
    // that order; the word of the messages is the catalog text of first's name.
    void Vd_Datas(TDateEdit* first, TDateEdit* last);
    // Checks the filter, loads the browse list by GetRomaRetirada, sets up the
    // screen, remembers the filter and closes. Any failure leaves it open.
    void sbtConfirmaClick(TObject* Sender) override;
    // Suggested ranges from getMaxData: from the first day of the month of the
    // last withdrawal (or of the processing date) up to the later of the two.
    void Atualiza_Datas();

    const TRecordFilter& FiltroLembrado() const { return filtroRetirada; }
    // The screen's ChangeParams after a withdrawal is confirmed: when the
    // dialog's service field is not blank, the remembered service becomes the
    // one given (the screen's service code and name); the remembered dates
    // always become those of the date fields.
    void LembraFiltro(const std::string& cdServico, const std::string& nmServico);

private:
    IFiltroRetiradaTela& tela() const;
    std::string filial() const;
    void buildControls();

    TRecordFilter filtroRetirada;
};

// The dialog unit's variables.
struct FiltroRetiradaUnit {
    TfrmFiltroRetirada* frmFiltroRetirada = nullptr;  // the single instance, while it exists
    IFiltroRetiradaTela* tela = nullptr;              // the screen served, while it exists
    bool boConfirma = false;   // the last showing ended with a confirmation
    bool boGetData = false;    // the browse list is being fetched
};
FiltroRetiradaUnit& Pla02010Unit();

// Shows the dialog modally, creating it on first use and keeping it (with the
// last filter) afterwards. Returns whether this showing ended with a
// confirmation that loaded the list. Needs a registered screen (Exception
// otherwise). The screen's CriaFiltroRetirada opens it.
bool MostraFiltroRetirada();
