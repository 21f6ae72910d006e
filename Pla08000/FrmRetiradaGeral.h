#pragma once
// TfrmAcompRetiradaGeral ("Pla08000", "Retirada Geral"): the follow-up of a
// general withdrawal. It lists, per service of the run, the planned
// requisition of the day (recalculated or as it stood) by product, and on the
// user's confirmation records and confirms one withdrawal per service
// (Gravacao.h), listing what each service got. A toolkit form like the
// screen's, so the host shows it and pla-script drives it; it frees itself
// when it closes.
#include "Pla08000/Parametros.h"
#include "data/DataSource.h"
#include "db/ADOIBQuery.h"
#include "net/NetConnection.h"
#include "services/FrmRotiGeral.h"
#include "ui/DBGrid.h"
#include "ui/StdCtrls.h"

class TfrmAcompRetiradaGeral : public TfrmRotiGeral {
public:
    explicit TfrmAcompRetiradaGeral(pla08000::TParamRetGeral params);
    std::string ClassName() const override { return "TfrmAcompRetiradaGeral"; }

    TLabel* lblRetGeral;
    TDBGrid* dbgRequisicao;
    TListBox* lstResultado;
    TADOIBQuery qryServRetGeral, qryRequisicao;
    TDataSource dtsRequisicao;
    TNetConnection netRetirada, netEstoque;

    // Reads the run's services and requisitions.
    void Carrega();
    // Asks, then records every service in turn (a progress note meanwhile)
    // and lists the outcome; the form stays open to be read.
    void sbtConfirmaClick(TObject* Sender) override;

    const pla08000::TParamRetGeral& Parametros() const { return params_; }

private:
    pla08000::TParamRetGeral params_;
};

// The module's entry, called by Morvena::LoadBPL("Pla08000", values): checks
// the 13 values (Exception saying which is wrong) and shows the form.
extern "C" void IniProcParam(const Variant* params);
