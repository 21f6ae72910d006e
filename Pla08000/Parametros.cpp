#include "Pla08000/Parametros.h"

#include "core/Exception.h"
#include "core/Text.h"

namespace pla08000 {
namespace {

[[noreturn]] void recusa(int i, const std::string& why) {
    throw Exception("Retirada Geral: parâmetro " + std::to_string(i) + " inválido (" + why + ").");
}

std::string texto(const VariantArray& p, int i) {
    if (!p[i].IsString()) recusa(i, "esperado um texto");
    return p[i].AsString();
}

bool logico(const VariantArray& p, int i) {
    if (p[i].Type() != VarType::Bool) recusa(i, "esperado verdadeiro ou falso");
    return p[i].AsBoolean();
}

TDateTime dia(const VariantArray& p, int i) {
    if (p[i].Type() != VarType::DateTime) recusa(i, "esperada uma data");
    return p[i].AsDateTime().DateOnly();
}

bool soDigitos(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

TParamRetGeral LeParametros(const Variant* params) {
    if (!params || !params->IsArray() || params->AsArray().size() != 13)
        throw Exception("Retirada Geral: a tela espera 13 parâmetros.");
    const VariantArray& p = params->AsArray();
    TParamRetGeral r;
    r.Filial = text::Trim(texto(p, 0));
    if (r.Filial.empty() || r.Filial.size() > 4) recusa(0, "filial");
    r.NrRetGeral = texto(p, 2);
    if (r.NrRetGeral.size() != 10 || !soDigitos(r.NrRetGeral)) recusa(2, "número da retirada geral");
    r.CalcRequisicao = texto(p, 3);
    if (r.CalcRequisicao.size() != 3 || r.CalcRequisicao == "XXX" ||
        (r.CalcRequisicao[0] != 'C' && r.CalcRequisicao[0] != 'X') ||
        (r.CalcRequisicao[1] != 'F' && r.CalcRequisicao[1] != 'X') ||
        (r.CalcRequisicao[2] != 'P' && r.CalcRequisicao[2] != 'X'))
        recusa(3, "tipos de consumo");
    if (texto(p, 4) != "N") recusa(4, "esperado \"N\"");
    r.Dia = dia(p, 5);
    if (dia(p, 6) != r.Dia) recusa(6, "o último dia deve ser o primeiro");
    if (!logico(p, 7)) recusa(7, "esperado verdadeiro");
    if (!p[8].IsNumeric() || p[8].AsFloat() != 0) recusa(8, "esperado 0");
    if (logico(p, 9)) recusa(9, "esperado falso");
    if (!logico(p, 10)) recusa(10, "esperado verdadeiro");
    r.Recalculada = logico(p, 11);
    if (logico(p, 12) == r.Recalculada) recusa(12, "deve ser o oposto do parâmetro 11");
    const std::string resposta = texto(p, 1);
    if (r.Recalculada ? resposta != r.NrRetGeral : !resposta.empty())
        recusa(1, r.Recalculada ? "o recálculo deve responder o número da retirada geral" : "esperado vazio");
    return r;
}

}  // namespace pla08000
