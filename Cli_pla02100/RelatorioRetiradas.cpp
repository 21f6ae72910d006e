#include "Cli_pla02100/RelatorioRetiradas.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "data/ClientDataSet.h"
#include "data/DataSet.h"
#include "services/Consiste.h"

#include <cstdio>

namespace pla02100 {

namespace {

std::string texto(TDataSet& ds, int row, const char* field) {
    TField* f = ds.FindField(field);
    if (!f) return {};
    Variant v = ds.ValueAt(row, *f);
    return v.IsNull() ? std::string() : text::Trim(v.AsString());
}

TDateTime data(TDataSet& ds, int row, const char* field) {
    TField* f = ds.FindField(field);
    if (!f) return {};
    Variant v = ds.ValueAt(row, *f);
    return v.IsNull() ? TDateTime() : v.AsDateTime();
}

double numero(TClientDataSet& ds, const char* field) {
    TField* f = ds.FindField(field);
    return f && !f->IsNull() ? f->AsFloat() : 0.0;
}

std::string campo(TClientDataSet& ds, const char* field) {
    TField* f = ds.FindField(field);
    return f ? text::Trim(f->AsString()) : std::string();
}

std::string esc(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string qt(double v) { return Consiste::FormatFloat("#,##0.00000", v); }
std::string vr(double v) { return Consiste::FormatFloat("#,##0.00", v); }
std::string dt(TDateTime d) { return d.Val == 0 ? std::string() : DateToStr(d); }

}  // namespace

double RetiradaRelatorio::valorTotal() const {
    double t = 0;
    for (const ItemRelatorio& i : itens) t += i.valor;
    return t;
}

Relatorio MontaRelatorio(TDataSet& lista, const FonteItens& itens) {
    if (!lista.Active()) throw Exception("A lista de retiradas não está aberta.");
    Relatorio r;
    const int n = lista.RowCount();
    for (int row = 0; row < n; ++row) {
        RetiradaRelatorio w;
        w.filial = texto(lista, row, "CDFILIAL");
        w.cdServico = texto(lista, row, "CDSERVFILI");
        w.nmServico = texto(lista, row, "NMSERVICO");
        w.nrLancamento = texto(lista, row, "NRLANCESTQ");
        w.nrRetirada = texto(lista, row, "NRRETIRADA");
        const std::string req = texto(lista, row, "NRREQUEXTRRE");
        w.requisicao = req.empty() ? std::string() : req == "0000000000" ? "Planejada" : "Extra " + req;
        w.dtRetirada = data(lista, row, "DTLANCESTQ");
        w.dtCardapio = data(lista, row, "DTCARDAPIO");

        std::string movi = texto(lista, row, "CDFILIMOVI");
        if (movi.empty()) movi = w.filial;
        TClientDataSet ds;
        ds.SetData(itens(movi, w.nrRetirada));
        for (ds.First(); !ds.Eof(); ds.Next()) {
            if (campo(ds, "IDSTATUS") == "D") continue;
            ItemRelatorio it;
            it.produto = campo(ds, "CDARVPROD");
            it.nome = campo(ds, "NMPRODUTO");
            it.unidade = campo(ds, "SGUNIDADE");
            it.tipo = campo(ds, "NMTIPORETI");
            it.prevista = numero(ds, "QTPREVISRETI");
            it.extra = numero(ds, "QTEXTRARETI");
            it.devolvida = numero(ds, "QTDEVOLVRETI");
            it.consumida = numero(ds, "QTTOTLANCTO");
            it.valor = numero(ds, "VRTOTLANCTO");
            it.pendente = campo(ds, "IDEVOLESTOQ") == "N";
            w.itens.push_back(std::move(it));
        }
        if (r.filial.empty()) r.filial = w.filial;
        r.retiradas.push_back(std::move(w));
    }
    return r;
}

std::string HtmlRelatorio(const Relatorio& r) {
    std::string h;
    h += "<html><head><meta charset=\"utf-8\"><style>"
         "body{font-family:sans-serif;font-size:9pt}"
         "h1{font-size:14pt;margin:0}h2{font-size:11pt;margin:10px 0 2px 0}"
         "table{border-collapse:collapse;width:100%}"
         "th{background:#dde3ea;text-align:left;padding:2px 4px}"
         "td{padding:1px 4px;border-bottom:1px solid #ccc}"
         ".n{text-align:right}.p{color:#a00000}"
         "</style></head><body>";
    h += "<h1>Retiradas (Planejamento)</h1>";
    h += "<p>Filial " + esc(r.filial);
    if (!r.operador.empty()) h += " &middot; Operador " + esc(r.operador);
    h += " &middot; Emitido em " + esc(DateTimeToStr(r.emissao)) + " &middot; " +
         std::to_string(r.retiradas.size()) + (r.retiradas.size() == 1 ? " retirada" : " retiradas") + "</p>";

    double geral = 0;
    for (const RetiradaRelatorio& w : r.retiradas) {
        h += "<h2>" + esc(w.cdServico) + " " + esc(w.nmServico) + " &middot; Retirada " + esc(dt(w.dtRetirada)) +
             " &middot; Cardápio " + esc(dt(w.dtCardapio)) + "</h2>";
        h += "<p>Lançamento " + esc(w.nrLancamento) + " &middot; Nº retirada " + esc(w.nrRetirada);
        if (!w.requisicao.empty()) h += " &middot; Requisição " + esc(w.requisicao);
        h += "</p>";
        if (w.itens.empty()) {
            h += "<p><i>Sem itens.</i></p>";
            continue;
        }
        h += "<table><tr><th>Produto</th><th>Nome</th><th>Un.</th><th>Tipo</th><th class=\"n\">Prevista</th>"
             "<th class=\"n\">Extra</th><th class=\"n\">Devolvida</th><th class=\"n\">Consumida</th>"
             "<th class=\"n\">Valor</th><th>Estoque</th></tr>";
        for (const ItemRelatorio& i : w.itens) {
            h += "<tr><td>" + esc(i.produto) + "</td><td>" + esc(i.nome) + "</td><td>" + esc(i.unidade) + "</td><td>" +
                 esc(i.tipo) + "</td><td class=\"n\">" + qt(i.prevista) + "</td><td class=\"n\">" + qt(i.extra) +
                 "</td><td class=\"n\">" + qt(i.devolvida) + "</td><td class=\"n\">" + qt(i.consumida) +
                 "</td><td class=\"n\">" + vr(i.valor) + "</td><td" + (i.pendente ? " class=\"p\">Pendente" : ">OK") +
                 "</td></tr>";
        }
        h += "<tr><td colspan=\"8\"><b>Total da retirada</b></td><td class=\"n\"><b>" + vr(w.valorTotal()) +
             "</b></td><td></td></tr></table>";
        geral += w.valorTotal();
    }
    h += "<h2>Total geral: " + vr(geral) + "</h2></body></html>";
    return h;
}

std::string NomeArquivo(const std::string& filial, TDateTime quando) {
    const DateParts d = DecodeDate(quando);
    const TimeParts t = DecodeTime(quando);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d-%02d%02d%02d", d.year, d.month, d.day, t.hour, t.minute, t.second);
    std::string f = text::Trim(filial);
    for (char& c : f)
        if (c == '/' || c == '\\' || c == ' ') c = '_';
    return "Retiradas_" + (f.empty() ? std::string("filial") : f) + "_" + buf + ".pdf";
}

}  // namespace pla02100
