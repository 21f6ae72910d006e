#include "Cli_pla02100/Pla02100.h"

#include "Cli_pla02100/PdfWriter.h"
#include "Cli_pla02100/RelatorioRetiradas.h"
#include "core/Exception.h"
#include "data/DataSet.h"
#include "net/NetConnection.h"
#include "services/Morvena.h"
#include "services/ProgressNote.h"
#include "ui/Application.h"
#include "ui/CursorGuard.h"
#include "ui/Dialogs.h"

#include <filesystem>

namespace pla02100 {

namespace {

// Items through a connection of our own, opened once for the whole report.
class ItensDoServidor {
public:
    ItensDoServidor() : conn_("netImpressao", "Pla02000.rdmRetirada") {
        conn_.ThrowException = false;
        conn_.Host = Morvena::WebURL();
        conn_.Port = Morvena::WebPort();
    }
    ~ItensDoServidor() { conn_.Close(); }
    Variant operator()(const std::string& cdFiliMovi, const std::string& nrRetirada) {
        conn_.Open();
        Variant r = conn_.Call("GetItLanctoEst", {Variant(cdFiliMovi), Variant(nrRetirada)});
        if (r.IsString()) throw Exception(r.AsString());
        return r;
    }

private:
    TNetConnection conn_;
};

// A name not yet taken in the folder (two reports within one second).
std::string caminhoLivre(const std::string& pasta, const std::string& nome) {
    namespace fs = std::filesystem;
    fs::path p = fs::path(pasta) / nome;
    for (int i = 2; fs::exists(p); ++i)
        p = fs::path(pasta) / (fs::path(nome).stem().string() + "-" + std::to_string(i) + ".pdf");
    return p.string();
}

}  // namespace

std::string ImprimeRetiradas(TDataSet& lista, const std::string& pasta) {
    if (!lista.Active() || lista.RowCount() == 0) {
        Dialogs().MessageBox("Não há retiradas na lista para imprimir.", TMsgDlgType::mtInformation,
                             {TMsgDlgBtn::mbOK}, 0);
        return {};
    }
    std::string path;
    {
        THourGlass espera;
        TProgressNote nota(6, "Gerando o relatório de retiradas...");
        ItensDoServidor itens;
        Relatorio r = MontaRelatorio(lista, [&](const std::string& f, const std::string& n) { return itens(f, n); });
        r.operador = Morvena::Operador();
        r.emissao = Now();
        path = caminhoLivre(pasta, NomeArquivo(r.filial, r.emissao));
        EscrevePdf(HtmlRelatorio(r), path, "Retiradas da filial " + r.filial);
    }
    Dialogs().MessageBox("Relatório de retiradas gravado em:\n" + path, TMsgDlgType::mtInformation,
                         {TMsgDlgBtn::mbOK}, 0);
    return path;
}

}  // namespace pla02100
