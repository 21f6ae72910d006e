#include "Pla08000/Gravacao.h"

#include "Cli_pla02000/model/RetiradaDataSets.h"
#include "core/Exception.h"
#include "core/Text.h"
#include "data/BuildDataSet.h"
#include "data/ClientDataSet.h"
#include "services/Consiste.h"
#include "services/Morvena.h"

namespace pla08000 {
namespace {

void monta(TClientDataSet& ds, const char* nome) {
    ds.Name = nome;
    model::BuildDataSet(ds, *model::FindDataSet(model::ScreenDataSets(), nome));
}

std::string recusaEmPalavras(const std::string& t) {
    if (t == "BLOQ_ALT") return "Alteração de prato bloqueado para o serviço.";
    if (t == "NAO_PERM") return "Já existe outra retirada para a requisição.";
    return t;
}

std::string erroEmPalavras(const std::string& chave) {
    if (chave == "LIB00200_3") return "estoque insuficiente";
    if (chave == "LIB00200_4") return "inventário pendente";
    if (chave == "PLA02000_1") return "produto inativo na filial";
    if (chave == "PLA02000_2") return "produto sem controle de estoque";
    return chave;
}

// The refusals among result rows, in words, with their products; "" when none.
// An irregular position is named too: without the user's word it is not posted.
std::string errosDoRetorno(const Variant& packet) {
    if (!packet.IsPacket()) return {};
    TClientDataSet retorno;
    retorno.SetData(packet);
    std::string erros;
    for (retorno.First(); !retorno.Eof(); retorno.Next()) {
        const std::string chave = retorno.FieldByName("CDERRO").AsString();
        if (chave.rfind("NR", 0) == 0) continue;  // the generated numbers
        erros += (erros.empty() ? "" : "; ") + erroEmPalavras(chave) + " (" +
                 text::Trim(retorno.FieldByName("CDOBJETO").AsString()) + ")";
    }
    return erros;
}

}  // namespace

TResultadoServico GravaServico(const ChamaRetirada& chama, const TParamRetGeral& p, const TParamEstoque& estoque,
                               const std::string& servico, const std::string& nmServico) {
    TResultadoServico res;
    const std::string titulo = servico + " " + nmServico + ": ";
    const TDateTime proc = Morvena::DataProc(p.Filial).DateOnly();

    TClientDataSet cab, itens;
    monta(cab, "cdsLanctoEst");
    monta(itens, "cdsItLanctoEst");
    cab.CreateDataSet();
    cab.Append();
    auto campo = [&](const char* f, const std::string& v) { cab.FieldByName(f).SetAsString(v); };
    campo("IDTPLANCTO", "3");
    campo("CDOPERADOR", Morvena::Operador());
    campo("CDFILIAL", Morvena::FiliProc());
    campo("CDFILIMOVI", p.Filial);
    campo("CDFILANCESTQ", Morvena::FiliProc());
    campo("IDESTONLINE", estoque.IdEstOnline);
    campo("IDPERMESTNEG", estoque.IdPermEstNeg);
    campo("NRREQUEXTRRE", "0000000000");
    campo("NRLANCESTQ", "NOVOCODRET");
    campo("NRRETIRADA", "NOVOCODRET");
    campo("CDSERVFILI", servico);
    campo("NMSERVICO", nmServico);
    campo("DSLANCESTQ", "Retirada para o cardápio do dia " + DateToStr(p.Dia) + " do serviço " + servico);
    // One key per run and service: running the follow-up again for the same
    // run gets the withdrawal recorded the first time, never a second one.
    campo("CDCHAVEENVIO", "RG" + p.Filial + p.NrRetGeral + servico);
    for (const char* f : {"DTLANCESTQ", "DTCARDAPIO", "DTRETIRADA"}) cab.FieldByName(f).SetAsDateTime(p.Dia);
    cab.FieldByName("DTMESCARD").SetAsDateTime(Consiste::PriDiaMes(p.Dia));
    cab.Post();

    // Aggregation 0: one item per product, the level stock is kept at.
    VariantArray grava{cab.Delta(),          Variant("N"),          Variant(Morvena::FiliProc()),
                       Variant(p.Filial),    Variant(std::string()), Variant(estoque.IdEstOnline),
                       Variant(estoque.IdPermEstNeg), Variant(servico), Variant("0000000000"),
                       Variant(0),           Variant(p.Dia),        Variant(estoque.CdTpRetiPadr),
                       Variant(p.Dia),       Variant(p.Dia),        Variant(proc.Val)};
    const Variant r = chama("GravaRequisicao", grava);
    if (r.IsString()) {
        res.Texto = titulo + "recusada: " + recusaEmPalavras(r.AsString());
        return res;
    }
    if (r.IsNull() || !r.IsArray() || r.AsArray().empty() || r.AsArray()[0].IsNull()) {
        res.Texto = titulo + "sem requisição para o dia, nada gravado.";
        return res;
    }
    const VariantArray& R = r.AsArray();
    if (R[0].IsString()) {
        res.Texto = titulo + "recusada: " + recusaEmPalavras(R[0].AsString());
        return res;
    }
    if (R.size() < 4) throw Exception("GravaRequisicao: resposta incompleta do servidor.");
    cab.SetData(R[0]);
    itens.SetData(R[2]);
    res.Gravada = true;
    res.NrRetirada = cab.FieldByName("NRRETIRADA").AsString();

    // The items come with their planned quantities as consumed: the header and
    // the items go to the confirmation unchanged, as the screen sends a
    // withdrawal nobody edited.
    const int n = itens.RecordCount();
    const TDateTime fim = proc > p.Dia ? proc : p.Dia;
    VariantArray confirma{Variant(),
                          Variant(),
                          Variant("N"),
                          Variant(p.Filial),
                          Variant(Morvena::FiliProc()),
                          Variant(cab.FieldByName("NRCARDAPIO").AsString()),
                          Variant(cab.FieldByName("NRLANCESTQ").AsString()),
                          Variant(res.NrRetirada),
                          Variant(estoque.IdEstOnline),
                          Variant(estoque.IdPermEstNeg),
                          Variant(p.Dia),
                          Variant(fim),
                          Variant("0"),
                          Variant(servico),
                          Variant(p.Dia)};
    const Variant c = chama("Confirma_Lanc", confirma);
    const std::string gravada = titulo + "retirada " + res.NrRetirada + " gravada";
    if (c.IsString()) {
        res.Texto = gravada + ", estoque não atualizado: " + c.AsString();
        return res;
    }
    std::string erros = errosDoRetorno(c);
    int noEstoque = 0;
    if (erros.empty() && estoque.IdEstOnline == "S") {
        // Stock kept on line: the items still pending are carried now, as the
        // screen's confirmation goes on with the pending stock update.
        VariantArray atualiza{Variant(p.Filial), Variant(p.Filial), Variant(cab.FieldByName("NRLANCESTQ").AsString()),
                              Variant(p.Dia),    Variant(fim),      Variant(estoque.IdPermEstNeg),
                              Variant("0"),      Variant(res.NrRetirada), Variant(cab.FieldByName("NRCARDAPIO").AsString())};
        const Variant a = chama("AtualizaEstoque", atualiza);
        if (a.IsString()) {
            res.Texto = gravada + ", estoque não atualizado: " + a.AsString();
            return res;
        }
        if (a.IsArray() && !a.AsArray().empty()) {
            erros = errosDoRetorno(a.AsArray()[0]);
            if (a.AsArray().size() > 1 && a.AsArray()[1].IsPacket()) {
                TClientDataSet agora;
                agora.SetData(a.AsArray()[1]);
                for (agora.First(); !agora.Eof(); agora.Next())
                    if (agora.FieldByName("IDEVOLESTOQ").AsString() == "S") ++noEstoque;
            }
        }
    }
    if (!erros.empty()) {
        res.Texto = gravada + ", " + std::to_string(noEstoque) + " de " + std::to_string(n) +
                    " itens no estoque; recusados: " + erros + ".";
        return res;
    }
    if (estoque.IdEstOnline != "S") {
        res.Confirmada = true;
        res.Texto = gravada + " e confirmada, " + std::to_string(n) + (n == 1 ? " item" : " itens") +
                    " (estoque atualizado depois: a filial não atualiza o estoque on-line).";
        return res;
    }
    res.Confirmada = true;
    res.Texto = gravada + " e confirmada, " + std::to_string(n) + (n == 1 ? " item." : " itens.");
    return res;
}

}  // namespace pla08000
