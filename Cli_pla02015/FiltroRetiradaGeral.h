#pragma once
// The general-withdrawal filter dialog TfrmFiltroRetiradaGeral ("PLA02015",
// "Filtro Retirada Geral"): the day, the service groups, the services and the
// kinds of consumption of a general withdrawal. Confirming checks them and
// hands them to the screen it serves (IRetiradaGeralTela), which runs the
// withdrawal; the dialog stays open afterwards. It knows the screen only
// through that interface: the library pla02015 does not depend on the screen's.
//
// A dialog is created at every call (CriaFiltroRetiradaGeral), owned by the
// application, and frees itself when it closes. The run reads the values of
// the dialog that confirmed, never those of another one opened since.
#include "core/DateTime.h"
#include "data/DataSource.h"
#include "db/ADOIBQuery.h"
#include "net/NetConnection.h"
#include "services/FrmFiltroPadrao.h"
#include "services/Messages.h"
#include "ui/StdCtrls.h"

#include <string>

// What a confirmed dialog hands over. ListaServ ("00001_00002_") and
// CalcRequisicao (three letters: C/X menu, F/X fixed, P/X per capita) are
// passed by reference to the server; what it leaves in them the dialog keeps.
struct TEscolhaRetiradaGeral {
    TDateTime Data;
    std::string ListaServ;
    std::string CalcRequisicao;
};

// The screen the dialog serves (TfrmRetirada implements it).
class IRetiradaGeralTela {
public:
    // The branch typed in the screen.
    virtual std::string Filial() const = 0;
    // Runs the general withdrawal of the choice; its failures propagate.
    virtual void RetiradaGeral(TEscolhaRetiradaGeral& escolha) = 0;

protected:
    ~IRetiradaGeralTela() = default;
};

class TfrmFiltroRetiradaGeral : public TfrmFiltroPadrao {
public:
    TfrmFiltroRetiradaGeral();
    ~TfrmFiltroRetiradaGeral() override;
    std::string ClassName() const override { return "TfrmFiltroRetiradaGeral"; }

    TMessages* msgPadrao;
    TNetConnection netFiltroRetirada;
    TADOIBQuery qryGrupServ, qryServico;
    TDataSource dtsGrupServ, dtsServico;

    TLabel* lblData;
    TDateEdit* depData;
    TEdit* edtDiaSemana;
    TGroupBox* grbGrupServ;
    TRadioButton *rdbGrupServTodos, *rdbGrupServLista;
    TSpeedButton* btnGrupServ;
    TGroupBox* grbServico;
    TRadioButton *rdbServTodos, *rdbServLista;
    TSpeedButton* btnServLista;
    TGroupBox* grbTipoConsumo;
    TCheckBox *chbCardapio, *chbConsFixo, *chbConsPerCap;

    std::string stListaServ;       // the chosen services, each followed by "_"
    std::string stCalcRequisicao;  // the kinds of consumption (CalculaRequisicao)

    // Opens netFiltroRetirada (a failure to reach the server is no concern of
    // this dialog, which calls nothing on it) and shows the weekday.
    virtual void FormCreate(TObject* Sender);
    // Closes the connection, forgets the dialog in the unit and frees it.
    virtual void FormClose(TObject* Sender, TCloseAction& Action);
    void netFiltroRetiradaBeforeConnect(TNetConnection& conn);

    void depDataDateChange(TObject* Sender);
    void depDataExit(TObject* Sender);
    void rdbGrupServClick(TObject* Sender);
    void btnGrupServClick(TObject* Sender);
    void grbGrupServExit(TObject* Sender);
    void rdbServTodosClick(TObject* Sender);
    void rdbServListaClick(TObject* Sender);
    void btnServListaClick(TObject* Sender);

    // Refusals focus the control and report through Consiste::MensErro
    // (a silent EAbort after the box): Data_Vazia, grup_n_inf, serv_n_inf,
    // CalcReq_Vazia. A malformed date raises EConvertError.
    void Vd_Data();
    void Vd_GrupServ();
    void Vd_Servico();
    void Vd_CalcRequisicao();
    void CalculaRequisicao();
    // Checks, completes the service list for "Todos" and runs the general
    // withdrawal on the screen. The dialog stays open. Exception without a screen.
    void sbtConfirmaClick(TObject* Sender) override;

private:
    void buildControls();
    void preparaServicos();  // qryServico reopened for the branch and the group choice
};

// The dialog unit's variables.
struct FiltroRetiradaGeralUnit {
    TfrmFiltroRetiradaGeral* frmFiltroRetiradaGeral = nullptr;  // the latest dialog, while it is open
    bool boIdCriado = false;
    std::string stListaGrupServ;           // the chosen service groups, each followed by "_"
    IRetiradaGeralTela* tela = nullptr;     // the screen served, while it exists
};
FiltroRetiradaGeralUnit& Pla02015Unit();

// Creates a new dialog at every call and shows it without waiting. Exported
// by the package with C linkage.
extern "C" void CriaFiltroRetiradaGeral();
