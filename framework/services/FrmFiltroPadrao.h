#pragma once
// TfrmFiltroPadrao: the base filter dialog. The filter box grbFiltro holds
// the screen's controls; the options panel panBotao has btfSaveOpc (keeps the
// values of the controls in the filter box for this process, per dialog name)
// and btfLoadOpc (puts them back). Confirm and exit as TfrmRotiGeral.
#include "services/FrmRotiGeral.h"

#include <map>
#include <string>

class TfrmFiltroPadrao : public TfrmRotiGeral {
public:
    TfrmFiltroPadrao();
    std::string ClassName() const override { return "TfrmFiltroPadrao"; }

    TGroupBox* grbFiltro;
    TPanel* panBotao;
    TSpeedButton *btfSaveOpc, *btfLoadOpc;

    // Values of the edits, check boxes and radio buttons in grbFiltro, by name.
    std::map<std::string, std::string> Opcoes() const;
    virtual void btfSaveOpcClick(TObject* Sender);
    // Restores the saved values; false when none were saved for this dialog.
    virtual bool LoadOpcoes();
    virtual void btfLoadOpcClick(TObject* Sender);
};
