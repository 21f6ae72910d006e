#pragma once
// The error viewer TfrmVisualizaErrosReti ("Visualização dos Erros"): lists the
// rows of the withdrawal screen's result list as the viewer's catalog texts.
// Kind "I" lists the errors of one product (inactive, no stock control,
// irregular stock position), kind "L" the pending inventory of the posting
// with its storeroom and location. The viewer exists only while it is shown.
#include "data/DataSet.h"
#include "services/Messages.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <string>
#include <vector>

class TfrmVisualizaErrosReti : public TForm {
public:
    TfrmVisualizaErrosReti();
    std::string ClassName() const override { return "TfrmVisualizaErrosReti"; }

    TPanel* Panel1;
    TListBox* lsbErros;
    TMessages* msgPadrao;

    // Rebuilds the list from the result list as it is now.
    virtual void FormActivate(TObject* Sender);
    // Clears the unit's boIdCriado and releases the form.
    virtual void FormClose(TObject* Sender, TCloseAction& Action);
};

// The lines the viewer shows for the kind and product, from `retorno`'s rows
// in their order (its cursor is left where it was); texts from `catalog`.
// An inactive or absent result list gives no lines.
std::vector<std::string> LinhasDeErro(TDataSet* retorno, const std::string& tipo, const std::string& produto,
                                      const TMessages& catalog);

// The withdrawal screen's result list, published as "cdsRetorno" on the form
// "frmRetirada"; null while that screen or its list does not exist.
TDataSet* RetornoDaRetirada();

// The viewer unit's variables.
struct VisualizaErrosUnit {
    std::string stTipoErro;   // "I" errors of one item, "L" error of the posting
    std::string stCdProduto;  // product listed for "I"
    bool boIdCriado = false;
    TfrmVisualizaErrosReti* frmVisualizaErrosReti = nullptr;
};
VisualizaErrosUnit& Pla02030Unit();

// Shows the viewer modally for the kind and code, creating it when needed,
// the creation under the hourglass. Exported by the package with C linkage.
extern "C" void CriaVisualizaErros(const char* tipo, const char* codigo);
