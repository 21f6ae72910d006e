#include "Cli_pla02000/frame/BuiltCommands.h"

namespace retirada {

bool Construido(Comando c) {
    switch (c) {
        case Comando::Incluir:
        case Comando::Alterar:
        case Comando::EdicaoItens:
        case Comando::Cancelar:
        case Comando::VisualizaErros:
        case Comando::Excluir:
        case Comando::AtuQtCons:
        case Comando::RetGeral:
        case Comando::Confirmar:
        case Comando::Verificar:
        case Comando::AtuaEstoque: return true;
    }
    return false;
}

std::string DicaNaoDisponivel(const std::string& caption) {
    return caption + " (ainda não disponível nesta versão)";
}

}  // namespace retirada
