#pragma once
// The screen's commands, each a tool button with its menu item; the state
// rules switch them through TfrmRetirada::HabilitaComando.
namespace retirada {

enum class Comando {
    Incluir,
    Alterar,
    Excluir,
    Confirmar,
    Cancelar,
    Verificar,
    AtuaEstoque,
    RetGeral,
    VisualizaErros,
    AtuQtCons,
    // Not a button: typing, inserting and deleting items in dbgItens and
    // dish-type rows in dbgTipoPrat.
    EdicaoItens,
};

}  // namespace retirada
