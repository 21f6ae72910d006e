#pragma once
// The general-withdrawal filter dialog TfrmFiltroRetiradaGeral: the day, the
// service groups, the services and the kinds of consumption of a general
// withdrawal.
//
// At this stage the dialog is a shell: the form with its catalog, its queries
// and its connection exists and CriaFiltroRetiradaGeral shows it, but its
// controls and its confirmation come with the general withdrawal.
#include "db/ADOIBQuery.h"
#include "net/NetConnection.h"
#include "services/FrmFiltroPadrao.h"
#include "services/Messages.h"

class TfrmFiltroRetiradaGeral : public TfrmFiltroPadrao {
public:
    TfrmFiltroRetiradaGeral();
    std::string ClassName() const override { return "TfrmFiltroRetiradaGeral"; }

    TMessages* msgPadrao;
    TNetConnection netFiltroRetirada;
    TADOIBQuery qryGrupServ, qryServico;

    // Frees the dialog when it closes.
    virtual void FormClose(TObject* Sender, TCloseAction& Action);
};

// The dialog unit's variables.
struct FiltroRetiradaGeralUnit {
    TfrmFiltroRetiradaGeral* frmFiltroRetiradaGeral = nullptr;
    bool boIdCriado = false;
};
FiltroRetiradaGeralUnit& Pla02015Unit();

// Creates a new dialog at every call and shows it without waiting. Exported
// by the package with C linkage.
extern "C" void CriaFiltroRetiradaGeral();
