// The screen's commands as the user meets them: the state rules ask for a
// command through HabilitaComando, which keeps a command that is not built
// disabled; the base form's local insert, edit, delete, post and cancel are
// never reached.
#include "Cli_pla02000/Retirada.h"

#include "core/Exception.h"

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
    pedidos_[c] = on;
    item->SetEnabled(on && retirada::Construido(c));
    button->SetEnabled(item->Enabled());
}

bool TfrmRetirada::PedidoDeHabilitar(Comando c) const {
    auto it = pedidos_.find(c);
    return it != pedidos_.end() && it->second;
}

void TfrmRetirada::ControlaEdicaoItens() {
    // Only a withdrawal whose items may change takes typing, Insert or
    // Ctrl+Delete; an edit the screen cannot send would be lost in silence.
    const bool pode = retirada::Construido(Comando::EdicaoItens) && cdsLanctoEst.Active() &&
                      !Pla02000Unit().boGridReadOnly;
    dbgItens->ReadOnly = !pode;
    dbgTipoPrat->ReadOnly = !pode;
}

void TfrmRetirada::marcaComandosNaoConstruidos() {
    for (Comando c : {Comando::Incluir, Comando::Alterar, Comando::Excluir, Comando::Confirmar, Comando::Cancelar,
                      Comando::Verificar, Comando::AtuaEstoque, Comando::RetGeral, Comando::VisualizaErros,
                      Comando::AtuQtCons}) {
        auto [button, item] = ControlesDoComando(c);
        if (retirada::Construido(c) || !button) continue;
        const std::string caption = button->Hint().empty() ? button->Caption() : button->Hint();
        button->SetHint(retirada::DicaNaoDisponivel(caption));
        HabilitaComando(c, false);
    }
    ControlaEdicaoItens();
}

void TfrmRetirada::naoDisponivel(Comando c) {
    throw Exception(ControlesDoComando(c).first->Hint());
}

