// "Retirada Geral" (Ctrl+R): the general withdrawal of a day. The dialog of
// Cli_pla02015 chooses the day and the services; this runs the checks and the
// server's part and hands the run to its follow-up screen "Pla08000".
#include "Cli_pla02000/Retirada.h"

#include "Cli_pla02000/header/DateWindow.h"
#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "services/Msgaler.h"
#include "services/ProgressNote.h"
#include "ui/Dialogs.h"

namespace {

// The answers of GetRequisicao that name a missing default dish.
bool faltaPadrao(const std::string& r) {
    return r == "TP_CONSFIXO" || r == "PRATO_CONSFIXO" || r == "TP_CONSPER" || r == "PRATO_CONSPER";
}

std::string texto(const Variant& v) { return v.IsNull() ? std::string() : v.AsString(); }

}  // namespace

void TfrmRetirada::sbtRetGeralClick(TObject*) {
    if (AbreFiltroRetiradaGeral) AbreFiltroRetiradaGeral();
    else CriaFiltroRetiradaGeral();
}

void TfrmRetirada::Vd_DataRetGeral(TDateTime dia) {
    const TDateTime p = Morvena::DataProc(Filial()).DateOnly();
    TScopeFailure foco([this] {
        if (medCdFilial->CanFocus()) medCdFilial->SetFocus();
    });
    if (cdsParamEstoque.Active() && !cdsParamEstoque.IsEmpty()) {
        const std::string recusa =
            retirada::RecusaJanelaRetirada(dia.DateOnly(), p, [this](const char* f) { return ParamEstoque(f); });
        if (!recusa.empty()) Consiste::MensErro(msgPadrao->Msg(recusa), true);
    }
    ConfirmaLiberacao(dia.DateOnly());
}

void TfrmRetirada::RetiradaGeral(TEscolhaRetiradaGeral& escolha) {
    const std::string filial = Filial();
    const TDateTime dia = escolha.Data.DateOnly();
    ValidaInventario();
    Vd_DataRetGeral(dia);

    Variant v;
    {
        TProgressNote nota(1, msgPadrao->Msg("Verif_reg"));
        VariantArray args{Variant(filial), Variant(Morvena::Operador()), Variant(dia), Variant(escolha.ListaServ)};
        v = CallServer(netRetirada, "VdRetGeral", args);
        if (args.size() > 3 && args[3].IsString()) escolha.ListaServ = args[3].AsString();
        if (v.IsString()) {
            nota.Close();
            throw Exception(v.AsString());
        }
        if (!v.IsArray() || v.AsArray().size() < 2)
            throw Exception("Resposta inesperada do servidor em VdRetGeral.");
        const VariantArray& partes = v.AsArray();
        const std::string t = texto(partes[1]);
        if (t == "SERV_RET") {
            cdsVdRetDia.SetData(partes[0]);
            std::string lista;
            TField& cd = cdsVdRetDia.FieldByName("CDSERVFILI");
            TField& nm = cdsVdRetDia.FieldByName("NMSERVICO");
            for (cdsVdRetDia.First(); !cdsVdRetDia.Eof(); cdsVdRetDia.Next())
                lista += "\r" + cd.AsString() + " " + nm.AsString();
            nota.Close();
            Dialogs().MessageBox(msgPadrao->Msg("SERV_RET", {DateToStr(dia), lista}), TMsgDlgType::mtInformation,
                                 {TMsgDlgBtn::mbOK}, 0);
            Abort();
        }
        if (!t.empty() && text::Length(t) != 10) {
            nota.Close();
            // A key the catalog does not know is shown as it came.
            Consiste::MensErro(msgPadrao->Has(t) ? msgPadrao->Msg(t) : t, true);
        }
    }
    const Variant nrRetGeral = v.AsArray()[1];

    // A text here is the server's refusal, never the count.
    cdsRetiradaGeral.SetData(Consiste::CheckResultServ(CallServer(netRetirada, "GetRetiradaGeral",
                                                                  {Variant(filial), Variant(dia)}),
                                                       true, 0));

    std::string recalcula;
    if (!cdsRetiradaGeral.IsEmpty() && cdsRetiradaGeral.FieldByName("QNTMOVI").AsFloat() > 0) {
        const int r = Tmsgaler::MsgAlertEx(msgPadrao->Msg("RECALC_RETIGER"), TMsgDlgType::mtInformation,
                                           {msgPadrao->Msg("Sim"), msgPadrao->Msg("Nao"), msgPadrao->Msg("Cancelar")},
                                           2, 2, 0);
        if (r == 10) recalcula = "S";
        else if (r == 11) recalcula = "N";
        else Abort();
    } else {
        if (msgPadrao->ShowMsg("RECALC_REQ", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0) !=
            mrYes)
            Abort();
        recalcula = "S";
    }

    std::string requisicao;
    if (recalcula == "S") {
        {
            TProgressNote nota(1, msgPadrao->Msg("Calc_Req"));
            VariantArray args{Variant(std::string()),  Variant(filial),
                              nrRetGeral,              Variant(dia),
                              Variant(dia),            Variant(0),
                              Variant(Morvena::Operador()), Variant(Now()),
                              Variant("A"),            Variant(escolha.CalcRequisicao),
                              Variant("P"),            Variant("N"),
                              Variant("0"),            Variant("zzzzzzzzzz"),
                              Variant(std::string()),  Variant(std::string())};
            const Variant r = CallServer(netRetirada, "GetRequisicao", args);
            if (args[9].IsString()) escolha.CalcRequisicao = args[9].AsString();
            requisicao = texto(r);
        }
        if (faltaPadrao(requisicao)) Consiste::MensErro(msgPadrao->Msg(requisicao), true);
        if (text::Length(requisicao) > 10) Consiste::MensErro(requisicao, true);
    }

    const bool s = recalcula == "S";
    Morvena::LoadBPL("Pla08000", Variant(VariantArray{Variant(filial), Variant(s ? requisicao : std::string()),
                                                      nrRetGeral, Variant(escolha.CalcRequisicao), Variant("N"),
                                                      Variant(dia), Variant(dia), Variant(true), Variant(0),
                                                      Variant(false), Variant(true), Variant(s), Variant(!s)}));

    if (medCdFilial->Enabled()) {
        if (medCdFilial->CanFocus()) medCdFilial->SetFocus();
    } else if (!Morvena::ModuFili()) {
        CriaFiltroRetirada();
        HabilitaRetGeral();
    }
}
