// The consumed quantity of the item against the stock position of the day on
// the server: negative stock refused or confirmed, a product that never moved
// refused, the minimum stock announced.
#include "Cli_pla02000/Retirada.h"

#include "core/Exception.h"
#include "services/Consiste.h"
#include "stocklib/Lib00200.h"
#include "ui/Dialogs.h"

void TfrmRetirada::Vd_Quantidade() {
    TClientDataSet& it = cdsItLanctoEst;
    if (it.State() != TDataSetState::dsEdit && it.State() != TDataSetState::dsInsert) return;
    TConnectionUse retirada = UsoConexao(netRetirada);
    TConnectionUse usoEstoque = UsoConexao(netEstoque);
    const double consumida = it.FieldByName("QTTOTLANCTO").AsFloat();
    if (consumida < 0) Consiste::MensErro(msgPadrao->Msg("Quant_Inv"), true);
    stAlmoxarife = ResultValue(it.FieldByName("CDALMOXARIFE"));
    stLocalEstoq = ResultValue(it.FieldByName("CDLOCALESTOQ"));
    stLoteEstq = ResultValue(it.FieldByName("NRLOTEESTQ"));
    stSubLote = ResultValue(it.FieldByName("NRSUBLOTE"));
    if (it.FieldByName("QTLANCTOEST").AsFloat() == 0 || ParamEstoque("IDESTONLINE") == "N") return;

    // The withdrawal and item numbers let the server leave this item's earlier posting out.
    VariantArray args{Variant(Filial()),
                      Variant(stAlmoxarife),
                      Variant(stLocalEstoq),
                      Variant(stLoteEstq),
                      Variant(stSubLote),
                      Variant(cdsLanctoEst.FieldByName("CDFILIAL").AsString()),
                      Variant(cdsLanctoEst.FieldByName("NRLANCESTQ").AsString()),
                      Variant(it.FieldByName("NRSEQUITEM").AsString()),
                      Variant(it.FieldByName("CDPRODMOVI").AsString()),
                      Variant(it.FieldByName("CDPRODUTO").AsString()),
                      Variant(IncDay(cdsLanctoEst.FieldByName("DTLANCESTQ").AsDateTime(), 1).Val),
                      Variant(consumida)};
    Variant result = CallServer(netRetirada, "GetValidProd", args);
    cdsValidProd.SetData(Consiste::CheckResultServ(result, true, 0));
    const double estoque = cdsValidProd.FieldByName("QTESTOQDIA").AsFloat();
    const std::string posicao = ParamFilial("IDPERMVISPOSEST") == "S"
                                    ? " " + Consiste::FormatFloat("#,##0.00000 ", estoque) +
                                          cdsValidProd.FieldByName("SGUNIDADE").AsString()
                                    : std::string();
    const std::string negativo = cdsValidProd.FieldByName("QTNEG").AsString();
    if (!negativo.empty() && negativo[0] == '-') {
        const std::string texto = msgPadrao->Msg("Quant>Est") + posicao;
        if (ParamEstoque("IDPERMESTNEG") == "S") {
            if (MessageDlg(texto + "\r" + msgPadrao->Msg("Confirma"), TMsgDlgType::mtInformation,
                           {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0) != mrYes)
                throw EAbort();
        } else {
            Consiste::MensErro(texto, true);
        }
    } else if (negativo.empty()) {
        Consiste::MensErro(msgPadrao->Msg("N_MovEst"), true);
    }
    Lib00200::Arredond_Parametrizado(netEstoque, Filial(), it.FieldByName("CDPRODUTO").AsString(),
                                     it.FieldByName("QTLANCTOEST").AsFloat());
    Variant minimo = CallServer(netRetirada, "GetEstoqMin",
                                {Variant(Filial()), Variant(it.FieldByName("CDPRODMOVI").AsString())});
    const double m = Consiste::CheckResultServ(minimo, true, 0).AsFloat();
    if (m > 0 && estoque - consumida < m)
        msgPadrao->ShowMsg("estoqmin", TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK}, 0);
    it.FieldByName("QTSALDORETIRADA").SetAsFloat(estoque);
}
