// The screen's commands as the user meets them: the state rules switch a
// button and its menu item together; the base form's local insert, edit,
// delete, post and cancel are never reached.
#include "Cli_pla02000/Retirada.h"

using retirada::Comando;

std::pair<TSpeedButton*, TMenuItem*> TfrmRetirada::ControlesDoComando(Comando c) const {
    switch (c) {
        case Comando::Incluir: return {sbtIncluir, mnuIncluir};
        case Comando::Alterar: return {sbtAlterar, mnuAlterar};
        case Comando::Excluir: return {sbtExcluir, mnuExcluir};
        case Comando::Confirmar: return {sbtConfirmar, mnuConfirmar};
        case Comando::Cancelar: return {sbtCancelar, mnuCancelar};
        case Comando::Verificar: return {sbtVerificar, mnuVerificar};
        case Comando::AtuaEstoque: return {sbtAtuaEstoq, mnuAtuaEstoque};
        case Comando::RetGeral: return {sbtRetGeral, mnuRetGeral};
        case Comando::VisualizaErros: return {sbtVisualizaErros, mnuVisualizaErros};
        case Comando::AtuQtCons: return {sbtAtuQtCons, mnuAtuQtCons};
        case Comando::EdicaoItens: break;
    }
    return {nullptr, nullptr};
}

void TfrmRetirada::HabilitaComando(Comando c, bool on) {
    auto [button, item] = ControlesDoComando(c);
    if (!button) return;
    item->SetEnabled(on);
    button->SetEnabled(on);
}

void TfrmRetirada::ControlaEdicaoItens() {
    // Only a withdrawal whose items may change takes typing, Insert or
    // Ctrl+Delete; an edit the screen cannot send would be lost in silence.
    const bool pode = cdsLanctoEst.Active() && !Pla02000Unit().boGridReadOnly;
    dbgItens->ReadOnly = !pode;
    dbgTipoPrat->ReadOnly = !pode;
}
