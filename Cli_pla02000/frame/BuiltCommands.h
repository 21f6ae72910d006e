#pragma once
// Which of the screen's commands are built. A command that is not stays
// disabled whatever its state rule says, and its hint tells the user so: the
// screen never imitates a server operation locally. The step that builds a
// command flips its entry in Construido and binds its handler.
#include <string>

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

// True when the command's step is built.
bool Construido(Comando c);

// The hint of a command that is not built yet, from its own caption ("Incluir").
std::string DicaNaoDisponivel(const std::string& caption);

}  // namespace retirada
