#include "Cli_pla02000/model/RetiradaConnections.h"

#include "core/Text.h"

namespace model {
namespace {

constexpr ConnectionDef kConnections[] = {
    {"netRetirada", "Pla02000.rdmRetirada", "netRetiradaBeforeConnect"},
    {"netEstoque", "Est00000.rdmEstoque", "netEstoqueBeforeConnect"},
    // Second connection handed to the stock description service.
    {"netInfoProd", "Est00000.rdmEstoque", "netInfoProdBeforeConnect"},
    {"netAutoriza", "Est.rdmAutoriza", "netAutorizaBeforeConnect"},
};

constexpr RemoteMethodDef kMethods[] = {
    {"GetParamEstoque", "netEstoque", 3},
    {"GetCtrlEstoque", "netRetirada", 2},
    {"GetParamFilial", "netRetirada", 1},
    {"UsaLocalizacao", "netRetirada", 1},
    {"GetRomaRetirada", "netRetirada", 7},
    {"getMaxData", "netRetirada", 1},
    {"GetLanctoEst", "netRetirada", 5},
    {"GetRetiTipoPrat", "netRetirada", 3},
    {"GetResumoItemReti", "netRetirada", 3},
    {"GetItLanctoEst", "netRetirada", 2},
    {"getVdServico", "netRetirada", 2},
    {"Verif_Alteracao", "netRetirada", 6},
    {"GetPrevRetiAux", "netRetirada", 4},
    {"GetNrPrevReti", "netRetirada", 3},
    {"GetVdPrevReti", "netRetirada", 4},
    {"GetPesqRequisicao", "netRetirada", 2},
    {"GetTipoReti", "netRetirada", 0},
    {"GravaRequisicao", "netRetirada", 15},
    {"GetLocalizacao", "netRetirada", 2},
    {"Vd_ExistProdAlmox", "netRetirada", 11},
    {"GetValidProd", "netRetirada", 12},
    {"GetEstoqMin", "netRetirada", 2},
    {"Confirma_Lanc", "netRetirada", 15},
    {"DelLancto", "netRetirada", 11},
    {"AtualizaEstoque", "netRetirada", 9},
    {"verifitens", "netRetirada", 2},
    {"VdRetGeral", "netRetirada", 4},
    {"GetRetiradaGeral", "netRetirada", 2},
    {"GetRequisicao", "netRetirada", 16},
};

}  // namespace

std::span<const ConnectionDef> ScreenConnections() { return kConnections; }

const ConnectionDef* FindScreenConnection(std::string_view name) { return FindConnection(kConnections, name); }

std::span<const RemoteMethodDef> ScreenRemoteMethods() { return kMethods; }

const RemoteMethodDef* FindScreenRemoteMethod(std::string_view name) {
    for (const RemoteMethodDef& m : kMethods)
        if (text::SameText(m.name, name)) return &m;
    return nullptr;
}

}  // namespace model
