#pragma once
// The report of the printing screen "PLA02100": the withdrawals of the
// withdrawal screen's browse list with their items, gathered into plain values
// and laid out as HTML (the PDF writer renders it). No Qt here, so the content
// can be checked on its own.
#include "core/DateTime.h"
#include "core/Variant.h"

#include <functional>
#include <string>
#include <vector>

class TDataSet;

namespace pla02100 {

struct ItemRelatorio {
    std::string produto, nome, unidade, tipo;   // CDARVPROD, NMPRODUTO, SGUNIDADE, NMTIPORETI
    double prevista = 0, extra = 0, devolvida = 0, consumida = 0, valor = 0;
    bool pendente = false;                        // not yet carried to stock (IDEVOLESTOQ "N")
};

struct RetiradaRelatorio {
    std::string filial, cdServico, nmServico, requisicao, nrLancamento, nrRetirada;
    TDateTime dtRetirada, dtCardapio;
    std::vector<ItemRelatorio> itens;
    double valorTotal() const;
};

struct Relatorio {
    std::string filial;
    std::string operador;
    TDateTime emissao;
    std::vector<RetiradaRelatorio> retiradas;
};

// The items packet of one withdrawal (as GetItLanctoEst returns it) given the
// branch of movement and the withdrawal number. Throws Exception on failure.
using FonteItens = std::function<Variant(const std::string& cdFiliMovi, const std::string& nrRetirada)>;

// Reads every row of the browse list without moving its cursor (the screen
// reacts to moves) and fetches each withdrawal's items. Items marked deleted
// (IDSTATUS "D") are left out. Exception when the list is not open.
Relatorio MontaRelatorio(TDataSet& lista, const FonteItens& itens);

// The report as an HTML page: a heading, then one section per withdrawal with
// its items and totals. Texts are escaped.
std::string HtmlRelatorio(const Relatorio& r);

// "Retiradas_<branch>_<yyyymmdd-hhmmss>.pdf".
std::string NomeArquivo(const std::string& filial, TDateTime quando);

}  // namespace pla02100
