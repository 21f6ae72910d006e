// The header's requisition: the search list around the processing date, what
// choosing or typing a number fills in, the server's checks on an extra
// requisition (known, near enough, used by one withdrawal only) and the
// service's block on products added by hand.
#include "Cli_pla02000/Retirada.h"

#include "core/ScopeGuard.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "services/ProgressNote.h"

#include <optional>

namespace {

constexpr const char* kPlanejada = "0000000000";
constexpr int kDiasBusca = 10;  // days either side of the processing date

std::string campo(const TDataSet& ds, const char* field) {
    if (!ds.Active() || ds.IsEmpty()) return "";
    return ds.FieldByName(field).AsString();
}

}  // namespace

void TfrmRetirada::datasDoCabecalho(TDateTime dia) {
    // The menu date first, the withdrawal date the same day; the date edits keep no time.
    cdsLanctoEst.FieldByName("DTCARDAPIO").SetAsDateTime(dia.DateOnly());
    cdsLanctoEst.FieldByName("DTLANCESTQ").SetAsDateTime(dia.DateOnly());
}

void TfrmRetirada::btpNrRequisicaoBeforePesq(TObject*, bool&) {
    const TDateTime p = Morvena::DataProc(Filial());
    TProgressNote nota(6, msgPadrao->Msg("Get_NrPrev"));
    VariantArray args{Variant(Filial()), Variant(IncDay(p, -kDiasBusca)), Variant(IncDay(p, kDiasBusca))};
    Variant result = CallServer(netRetirada, "GetNrPrevReti", args);
    cdsNrPrevReti.SetData(Consiste::CheckResultServ(result, true, 0));
    // The list shows the day as text, without the time the server keeps.
    TClientDataSet& lista = cdsNrPrevReti;
    for (lista.First(); !lista.Eof(); lista.Next()) {
        lista.Edit();
        lista.FieldByName("DTPREVRETI").SetAsString(DateToStr(lista.FieldByName("DTPESQRETI").AsDateTime().DateOnly()));
        lista.Post();
    }
    lista.First();
}

void TfrmRetirada::btpNrRequisicaoAfterPesq(TObject*) {
    const std::string numero = cdsNrPrevReti.FieldByName("NRREQUEXTR").AsString();
    // The list is offered only while a header is typed (HabilitaFiltro).
    if (!Editando(dtsPadrao)) return;
    // Through the field (what was typed there goes first, or it would come
    // back on exit), so that the edit's change handler runs as for typing.
    dbeNrRequisicao->UpdateRecord();
    cdsLanctoEst.FieldByName("NRREQUEXTRRE").SetAsString(numero);
    if (numero != kPlanejada) return;  // an extra one is checked when the edit is left
    medCdServico->SetText(cdsNrPrevReti.FieldByName("CDSERVFILI").AsString());
    datasDoCabecalho(cdsNrPrevReti.FieldByName("DTLOCATE").AsDateTime());
    Vd_CdServico(false);
    boReqPesquisada = true;
}

void TfrmRetirada::cdsNrPrevRetiCalcFields(TDataSet& ds) {
    const std::string numero = ds.FieldByName("NRREQUEXTR").AsString().substr(0, 10);
    ds.FieldByName("DSTIPO").SetAsString(msgPadrao->Msg(numero != kPlanejada ? "EXTRA" : "PLANEJADA"));
}

void TfrmRetirada::dbeNrRequisicaoChange(TObject*) {
    medCdServico->Clear();
    boReqPesquisada = false;
}

void TfrmRetirada::dbeNrRequisicaoExit(TObject*) {
    TScopeExit limpa([this] { boReqPesquisada = false; });
    if (!boReqPesquisada) Vd_NrRequExtr();
}

void TfrmRetirada::Vd_NrRequExtr() {
    // A header the server has not recorded (still "NOVOCODRET" after a refusal
    // or an answer with nothing to load) is checked as a new one.
    const TDataSetState estado = dtsPadrao.State();
    if (estado == TDataSetState::dsEdit && !CabecalhoNovo()) {
        verificaRequisicaoAlterada();
        return;
    }
    if (!CabecalhoNovo()) return;
    std::optional<TProgressNote> nota;
    TScopeFailure foco([this] {
        if (dbeNrRequisicao->CanFocus()) dbeNrRequisicao->SetFocus();
    });
    const TDateTime p = Morvena::DataProc(Filial()).DateOnly();
    TField& requisicao = cdsLanctoEst.FieldByName("NRREQUEXTRRE");
    const std::string digitado = dbeNrRequisicao->Text();
    requisicao.SetAsString(digitado.empty() ? std::string(kPlanejada) : Consiste::Ajusta(digitado, 10));
    const std::string numero = requisicao.AsString();
    if (numero != kPlanejada) {
        nota.emplace(6, msgPadrao->Msg("Vd_PrevReti"));
        VariantArray args{Variant(Filial().substr(0, 4)), Variant(numero.substr(0, 10)),
                          Variant(IncDay(p, -kDiasBusca)), Variant(IncDay(p, kDiasBusca))};
        Variant result = CallServer(netRetirada, "GetVdPrevReti", args);
        cdsVdPrevReti.SetData(Consiste::CheckResultServ(result, true, 0));
        if (cdsVdPrevReti.IsEmpty()) {
            nota->Close();
            Consiste::MensErro(msgPadrao->Msg("Req_n_cad"), true);
        }
        medCdServico->SetText(cdsVdPrevReti.FieldByName("CDSERVFILI").AsString());
        datasDoCabecalho(cdsVdPrevReti.FieldByName("DTPREVRETI").AsDateTime());
    } else {
        datasDoCabecalho(p);
    }
    Controle_de_Retirada(false);
}

void TfrmRetirada::verificaRequisicaoAlterada() {
    // An altered withdrawal keeps its requisition unchecked, but a number
    // retyped there may not take one that another withdrawal already uses.
    const std::string digitado = dbeNrRequisicao->Text();
    if (digitado.empty()) return;
    const std::string numero = Consiste::Ajusta(digitado, 10);
    if (numero == Consiste::Ajusta(campo(cdsRomaRetirada, "NRREQUEXTRRE"), 10)) return;
    TScopeFailure foco([this] {
        if (dbeNrRequisicao->CanFocus()) dbeNrRequisicao->SetFocus();
    });
    cdsLanctoEst.FieldByName("NRREQUEXTRRE").SetAsString(numero);
    Controle_de_Retirada(false);
}

void TfrmRetirada::Controle_de_Retirada(bool pular) {
    if (pular) return;
    const std::string numero = dbeNrRequisicao->Text();
    if (numero.empty() || numero == kPlanejada) return;
    Variant result = CallServer(netRetirada, "GetPesqRequisicao", {Variant(Filial()), Variant(numero)});
    cdsPesqRequisicao.SetData(Consiste::CheckResultServ(result, true, 0));
    if (cdsPesqRequisicao.IsEmpty()) return;
    if (dbeNrRequisicao->CanFocus()) dbeNrRequisicao->SetFocus();
    Consiste::MensErro(msgPadrao->Msg("NAO_PERM"), true);
}

void TfrmRetirada::Vd_BloqInclProd() {
    // The service record counts only while it is the header's service: after
    // a withdrawal is opened for alteration it may still hold another one.
    const std::string servico = campo(cdsLanctoEst, "CDSERVFILI");
    const bool doCabecalho = !servico.empty() && campo(cdsVdServico, "CDSERVFILI") == servico;
    if ((doCabecalho && campo(cdsVdServico, "IDBLOQINCPRODRETIPLA") == "S") ||
        campo(cdsLanctoEst, "IDBLOQINCPRODRETIPLA") == "S")
        Consiste::MensErro(msgPadrao->Msg("INCL_N_PERM_SERV"), true);
}
