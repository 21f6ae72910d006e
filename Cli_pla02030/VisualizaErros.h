#pragma once
// The error viewer TfrmVisualizaErrosReti ("Visualização dos Erros"): lists the
// rows of the withdrawal screen's result list as catalog texts.
//
// At this stage the viewer is a shell: the form, its list box and its catalog
// exist and CriaVisualizaErros shows it modally, but it lists nothing yet.
#include "services/Messages.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <string>

class TfrmVisualizaErrosReti : public TForm {
public:
    TfrmVisualizaErrosReti();
    std::string ClassName() const override { return "TfrmVisualizaErrosReti"; }

    TPanel* Panel1;
    TListBox* lsbErros;
    TMessages* msgPadrao;

    virtual void FormActivate(TObject* Sender);
    // Clears the unit's boIdCriado and releases the form.
    virtual void FormClose(TObject* Sender, TCloseAction& Action);
};

// The viewer unit's variables.
struct VisualizaErrosUnit {
    std::string stTipoErro;   // "I" errors of one item, "L" error of the posting
    std::string stCdProduto;  // product listed for "I"
    bool boIdCriado = false;
    TfrmVisualizaErrosReti* frmVisualizaErrosReti = nullptr;
};
VisualizaErrosUnit& Pla02030Unit();

// Shows the viewer modally for the kind and code, creating it when needed.
// Exported by the package with C linkage.
extern "C" void CriaVisualizaErros(const char* tipo, const char* codigo);
