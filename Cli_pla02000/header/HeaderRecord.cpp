// The header record's own events: the defaults of a new withdrawal, what the
// header takes just before it is posted, the item counter on open and the
// undo of a cancel.
#include "Cli_pla02000/Retirada.h"

#include "services/Consiste.h"
#include "services/Morvena.h"
#include "core/Text.h"

#include <charconv>

void TfrmRetirada::posicionaFilial(const std::string& branch) {
    // After a search over all branches the query may stand on another one.
    if (qryFilial.Active() && !qryFilial.IsEmpty() && qryFilial.FieldByName("CDFILIAL").AsString() == branch) return;
    if (qryFilial.Active() && qryFilial.Locate("CDFILIAL", Variant(branch))) return;
    qryFilial.Close();
    qryFilial.ParamByName("P_CDFILIAL").SetAsString(branch);
    qryFilial.ParamByName("P_TCDFILIAL").SetAsString("N");
    qryFilial.Open();
}

void TfrmRetirada::cdsLanctoEstNewRecord(TDataSet& ds) {
    ds.FieldByName("IDTPLANCTO").SetAsString("3");
    ds.FieldByName("CDOPERADOR").SetAsString(Morvena::Operador());
    ds.FieldByName("CDFILIAL").SetAsString(Morvena::FiliProc());
    ds.FieldByName("CDFILIMOVI").SetAsString(Filial());
    ds.FieldByName("CDFILANCESTQ").SetAsString(ds.FieldByName("CDFILIAL").AsString());
    posicionaFilial(Filial());
    const bool achou = !qryFilial.IsEmpty() && qryFilial.FieldByName("CDFILIAL").AsString() == Filial();
    for (const char* f : {"CDEMPRESA", "CDINSCESTA", "CDINSCMUNI"})
        if (achou) ds.FieldByName(f).SetValue(qryFilial.FieldByName(f).Value());
    ds.FieldByName("IDESTONLINE").SetAsString(ParamEstoque("IDESTONLINE"));
    ds.FieldByName("IDPERMESTNEG").SetAsString(ParamEstoque("IDPERMESTNEG"));
    ds.FieldByName("NRREQUEXTRRE").SetAsString("0000000000");
}

void TfrmRetirada::cdsLanctoEstBeforePost(TDataSet& ds) {
    if (ParamEstoque("IDCARDIFRETI") == "N") dbdDtCardapio->SetDate(dbdRetirada->Date());
    const TDateTime d = dbdRetirada->Date();
    const TDateTime m = dbdDtCardapio->Date();
    ds.FieldByName("DSLANCESTQ").SetAsString(msgPadrao->Msg("Msg_Retirada") + DateToStr(m) +
                                             msgPadrao->Msg("Msg_Comp_Reti") + medCdServico->Text());
    ds.FieldByName("DTLANCESTQ").SetAsDateTime(d);
    ds.FieldByName("DTCARDAPIO").SetAsDateTime(m);
    ds.FieldByName("DTMESCARD").SetAsDateTime(Consiste::PriDiaMes(m));
    ds.FieldByName("DTRETIRADA").SetAsDateTime(d);
    ds.FieldByName("CDSERVFILI").SetAsString(medCdServico->Text());
    ds.FieldByName("NMSERVICO").SetAsString(edtNmServico->Text());
    if (ds.State() == TDataSetState::dsInsert) ds.FieldByName("NRCARDAPIO").SetAsString(Pla02000Unit().stNrCardapio);
}

void TfrmRetirada::cdsLanctoEstAfterOpen(TDataSet& ds) {
    TField* seq = ds.FindField("NRSEQUITRETI");
    inSeqItem = 0;
    if (!seq || ds.IsEmpty() || seq->IsNull()) return;
    // The sequence travels as a text of four digits.
    const std::string t = text::Trim(seq->AsString());
    unsigned value = 0;
    auto [end, err] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (err == std::errc() && end == t.data() + t.size() && value <= 0xFFFF)
        inSeqItem = static_cast<unsigned short>(value);
}

void TfrmRetirada::cdsLanctoEstAfterCancel(TDataSet&) {
    if (cdsLanctoEst.ChangeCount() > 0) cdsLanctoEst.CancelUpdates();
    ControlaBotoes(dtsRomaRetirada);
}
