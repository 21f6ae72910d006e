// The review of the errors a save, a deletion or a stock update left in
// cdsRetorno: the command opens a small menu beside its button, one entry for
// the current item's product and one for the posting as a whole; each opens
// the viewer (Cli_pla02030), which reads the same rows as catalog texts.
#include "Cli_pla02000/Retirada.h"

#include "Cli_pla02030/VisualizaErros.h"

bool TfrmRetirada::ResultErroLanc() {
    if (!cdsRetorno || !cdsRetorno->Active() || cdsRetorno->IsEmpty() || !cdsRetorno->FindField("CDERRO"))
        return false;
    return cdsRetorno->FieldByName("CDERRO").AsString() == "LIB00200_4";
}

void TfrmRetirada::sbtVisualizaErrosClick(TObject*) {
    if (!sbtVisualizaErros->Enabled()) return;
    const std::string produto =
        cdsItLanctoEst.Active() && !cdsItLanctoEst.IsEmpty() ? cdsItLanctoEst.FieldByName("CDPRODUTO").AsString() : "";
    // The item's lookup moves cdsRetorno to the product's row; the posting's
    // test then reads the row it is on, found or not.
    mnuErrosItem->SetEnabled(ResultErroItem(produto));
    mnuErrosLanc->SetEnabled(ResultErroLanc());
    pmnErros->PopupAt(sbtVisualizaErros, 0, 21);
}

void TfrmRetirada::mnuErrosItemClick(TObject*) {
    CriaVisualizaErros("I", cdsItLanctoEst.FieldByName("CDPRODUTO").AsString().c_str());
    Repaint();
}

void TfrmRetirada::mnuErrosLancClick(TObject*) {
    CriaVisualizaErros("L", cdsItLanctoEst.FieldByName("NRLANCESTQ").AsString().c_str());
    Repaint();
}

void TfrmRetirada::bindErrorReview() {
    sbtVisualizaErros->OnClick = mnuVisualizaErros->OnClick = [this](TObject* s) { sbtVisualizaErrosClick(s); };
    mnuErrosItem->OnClick = [this](TObject* s) { mnuErrosItemClick(s); };
    mnuErrosLanc->OnClick = [this](TObject* s) { mnuErrosLancClick(s); };
}
