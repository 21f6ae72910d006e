#include "Cli_pla02000/model/RetiradaDataSets.h"

#include <array>
#include <cstddef>

namespace model {
namespace {

// cdsRomaRetirada: The browse list of withdrawals (page "Romaneio");
// IDRETIPRAT "S" = broken down by dish type.
constexpr std::array kcdsRomaRetiradaFields{
    StringField("CDSERVFILI", 5).Label("Código"),
    StringField("NMSERVICO", 40).Label("Serviço"),
    DateTimeField("DTLANCESTQ").Label("Data Retirada"),
    DateTimeField("DTCARDAPIO").Label("Data Cardápio"),
    StringField("NRREQUEXTRRE", 10).Label("Nº Requisição"),
    StringField("NRLANCESTQ", 10).Label("Nº Lançamento"),
    StringField("CDFILIAL", 4).Hidden(),
    StringField("NRRETIRADA", 10).Hidden(),
    StringField("CDFILIMOVI", 4).Hidden(),
    StringField("NRCARDAPIO", 10).Hidden(),
    StringField("IDRETIPRAT", 1).Hidden(),
};

// cdsLanctoEst: The header of the current withdrawal, one record.
constexpr std::array kcdsLanctoEstFields{
    StringField("CDFILIAL", 4),
    StringField("CDFILIMOVI", 4),
    StringField("NMFILIAL", 30),
    StringField("CDEMPRESA", 2),
    StringField("CDINSCESTA", 16),
    StringField("CDINSCMUNI", 16),
    StringField("NRLANCESTQ", 10),
    StringField("IDTPLANCTO", 1),
    DateTimeField("DTLANCESTQ"),
    StringField("DSLANCESTQ", 60),
    StringField("NRRETIRADA", 10),
    StringField("NRCARDAPIO", 10),
    DateTimeField("DTRETIRADA"),
    StringField("NRREQUEXTRRE", 10),
    StringField("NMSERVICO", 40),
    StringField("CDSERVFILI", 5),
    StringField("IDESTONLINE", 1),
    StringField("IDPERMESTNEG", 1),
    DateTimeField("DTCARDAPIO"),
    StringField("CDOPERADOR", 12).Width(12),
    DateTimeField("DTMESCARD"),
    StringField("CDFILANCESTQ", 4),
    StringField("NRLANCTONF", 10),
    StringField("NRSEQUITRETI", 4),
    StringField("IDRETIPRAT", 1).Hidden(),
    StringField("IDBLOQINCPRODRETIPLA", 1).Hidden(),
    // The key of one sending of the header to the server: a repeat is answered once.
    StringField("CDCHAVEENVIO", 32).Hidden(),
};

// cdsItLanctoEst: The items of the current withdrawal (grid dbgItens).
constexpr std::array kcdsItLanctoEstFields{
    StringField("CDARVPROD", 20).Label("Código").Width(12),
    StringField("NMPRODUTO", 50).Label("Nome"),
    StringField("SGUNIDADE", 10).Label("UN"),
    StringField("CDTIPORETI", 2).Label("Tipo").Width(18),
    FloatField("QTPREVISRETI").Label("Prevista").DisplayFormat("#,##0.00000").EditFormat("##0.00000"),
    FloatField("QTEXTRARETI").Label("Extra").DisplayFormat("#,##0.00000").EditFormat("##0.00000").MaxValue(999999999.99999),
    FloatField("QTDEVOLVRETI").Label("Devolvida").DisplayFormat("#,##0.00000").EditFormat("##0.00000").MaxValue(999999999.99999).OnValidate("cdsItLanctoEstQTDEVOLVRETIValidate"),
    FloatField("QTTOTLANCTO").Label("Consumida").DisplayFormat("#,##0.00000").EditFormat("##0.00000").MaxValue(999999999.99999),
    FloatField("VRUNILANCTO").Label("Valor Unit.").DisplayFormat("#,##0.00000").EditFormat("##0.00000"),
    BooleanField("ESTOQUEOK").Label("Status").Calculated().Hidden(),
    StringField("CDFILIAL", 4).Hidden(),
    StringField("NRLANCESTQ", 10).Hidden(),
    StringField("NRSEQUITEM", 4).Hidden(),
    StringField("CDPRODUTO", 10).Label("Código").Hidden(),
    StringField("CDPRODMOVI", 10).Hidden(),
    FloatField("QTLANCTOEST").Hidden(),
    StringField("IDTIPOMOVI", 1).Hidden(),
    DateTimeField("DTLANCMOVI").Hidden(),
    StringField("IDORDEMCLC", 1).Hidden(),
    StringField("NRRETIRADA", 10).Hidden(),
    StringField("NRCARDAPIO", 10).Hidden(),
    FloatField("QTRETIRADA").Hidden().MaxValue(999999999.99999),
    StringField("NRSEQUITRETI", 4).Hidden(),
    StringField("CDFILIMOVI", 4).Hidden(),
    StringField("CDFIITLANEST", 4).Hidden(),
    StringField("NRLANCESTRT", 10).Hidden(),
    StringField("NRSEQUIITRT", 4).Hidden(),
    StringField("CDFILIRETI", 4).Hidden(),
    StringField("IDEVOLESTOQ", 1).Hidden(),
    FloatField("VRQTDEANT").Hidden(),
    StringField("CDALMOXARIFE", 6).Hidden(),
    StringField("CDLOCALESTOQ", 6).Hidden(),
    FixedCharField("IDSTATUS", 1).Hidden().Width(5),
    StringField("NRLOTEESTQ", 20).Hidden(),
    StringField("NRSUBLOTE", 4).Hidden(),
    StringField("NMTIPORETI", 40).Hidden(),
    FloatField("VRTOTLANCTO").Hidden(),
    StringField("CDTIPOPRAT", 2).Hidden(),
    StringField("CDPRATO", 10).Hidden(),
    StringField("CDFILAUXPRAT", 4).Hidden(),
    StringField("IDERRO", 1).Label("OK").Calculated(),
    FloatField("QTSALDORETIRADA"),
};

// cdsRetiTipoPrat: The dish-type breakdown of the current withdrawal (grid dbgTipoPrat).
constexpr std::array kcdsRetiTipoPratFields{
    StringField("CDFILIAL", 4),
    StringField("NRRETIRADA", 10),
    StringField("CDTIPOPRAT", 2).Label("Código"),
    StringField("NMTIPOPRAT", 15).Label("Nome Tipo Prato"),
    StringField("CDFILAUXPRAT", 4),
    StringField("CDPRATO", 10).Label("Código do Prato"),
    StringField("NMPRATO", 40).Label("Nome do Prato"),
    StringField("IDSTATUS", 1),
    StringField("IDERRO", 1).Label("OK").Align(FieldAlign::Center),
};

// cdsResumo: The summary by product with costs (page "Resumo", read-only grid).
constexpr std::array kcdsResumoFields{
    StringField("CDFILIAL", 4).Hidden(),
    StringField("NRRETIRADA", 10).Hidden(),
    StringField("CDARVPROD", 20).Label("Código"),
    StringField("NMPRODUTO", 50).Label("Nome"),
    StringField("SGUNIDADE", 10).Label("UN"),
    FloatField("QTPREVISRETI").Label("Prevista").DisplayFormat("#,##0.00000").ReadOnly(),
    FloatField("QTEXTRARETI").Label("Extra").DisplayFormat("#,##0.00000").ReadOnly(),
    FloatField("QTDEVOLVRETI").Label("Devolvida").DisplayFormat("#,##0.00000").ReadOnly(),
    FloatField("QTRETIRADA").Label("Consumida").DisplayFormat("#,##0.00000").ReadOnly().Hidden(),
    FloatField("QTTOTLANCTO").ReadOnly().Hidden(),
    FloatField("CUSTO").Label("Custo").DisplayFormat("#,##0.00000"),
    FloatField("QTESTDIACON").Label("Qtde. Estoque").DisplayFormat("#,##0.00000"),
    StringField("CDPRODUTO", 10).Hidden(),
    StringField("IDEVOLESTOQ", 1).Hidden(),
};

// cdsParamEstoque: The branch's stock parameters, one record, from the stock module.
constexpr std::array kcdsParamEstoqueFields{
    StringField("IDORDEREQU", 1),
    StringField("NRNIVEREQU", 1),
    StringField("IDUTREQUPRAT", 1),
    StringField("IDUTCODBARRA", 1),
    StringField("IDESTONLINE", 1),
    StringField("IDPERMESTNEG", 1),
    StringField("IDCTRLESTQ", 1),
    StringField("IDLANCDTMEN", 1),
    StringField("IDLANCDTMAI", 1),
    StringField("CDFILIAL", 4),
    StringField("IDCONAUTIRRG", 1),
    DateTimeField("DTPROCESSA"),
    FloatField("NRDIASSAID"),
    FloatField("NRDIASSAIDPD"),
    StringField("IDUTCODBARFI", 1).Hidden(),
    StringField("IDCARDIFRETI", 1),
    StringField("CDTPRETIPADR", 2).Origin("DESENV.PARAMPLANEJA.CDTPRETIPADR"),
    StringField("CDTIPCUSTEST", 2),
    StringField("IDLANCDTMENFIL", 1),
    FloatField("NRDIASSAIDFIL"),
    StringField("IDLANCDTMAIFIL", 1),
    FloatField("NRDIASSAIDPDFIL"),
};

// cdsParamFilial: The branch parameters of the withdrawal module, one record.
constexpr std::array kcdsParamFilialFields{
    StringField("IDPERMVISPOSEST", 1),
    StringField("IDBLPRCOMEST", 1),
};

// cdsCtrlEstoque: Whether the branch controls stock.
constexpr std::array kcdsCtrlEstoqueFields{
    StringField("IDCNTRESTOQ", 1),
};

// cdsUtilizaRetiPrat: Service-level settings of the dish-type breakdown.
constexpr std::array kcdsUtilizaRetiPratFields{
    StringField("IDBLOQALTPRA", 1),
    StringField("CDSERVFILI", 5),
    StringField("IDUTRETIPRAT", 1),
};

// cdsNrPrevReti: Requisitions offered by the requisition search; DSTIPO is calculated.
constexpr std::array kcdsNrPrevRetiFields{
    StringField("NRREQUISICAO", 23).Hidden().Width(25),
    StringField("NRREQUEXTR", 10).Label("Requisição").Width(12),
    StringField("DSTIPO", 20).Label("Tipo").Calculated().Width(10),
    StringField("NMSERVICO", 40).Label("Nome do Serviço").Width(22),
    DateTimeField("DTLOCATE").Hidden(),
    StringField("DTPREVRETI", 10).Label("Data").Width(14),
    StringField("CDSERVFILI", 5).Hidden(),
    StringField("IDPREVTPPRAT", 1).Hidden(),
    DateTimeField("DTPESQRETI").Hidden(),
};

// cdsVdPrevReti: The requisition found for a typed requisition number.
constexpr std::array kcdsVdPrevRetiFields{
    StringField("CDFILIAL", 4),
    StringField("CDSERVFILI", 5),
    DateTimeField("DTPREVRETI"),
    StringField("NRREQUEXTR", 10),
};

// cdsPesqRequisicao: Requisition numbers with the withdrawal's requisition number.
constexpr std::array kcdsPesqRequisicaoFields{
    StringField("NRREQUEXTR", 10),
    StringField("NRREQUEXTRRE", 10),
};

// cdsPrevRetiAux: Requisitions for the header being entered.
constexpr std::array kcdsPrevRetiAuxFields{
    StringField("NRREQUEXTR", 10),
    StringField("CDSERVFILI", 5),
    DateTimeField("DTPREVRETI"),
};

// cdsVdServico: The meal service typed in the header.
constexpr std::array kcdsVdServicoFields{
    StringField("CDSERVFILI", 5),
    StringField("NMSERVICO", 40),
    StringField("IDSERVATIV", 1),
    StringField("IDTIPOSERV", 1),
    StringField("IDBLOQINCPRODRETIPLA", 1),
};

// cdsVerifCardapio: The menu number returned with Verif_Alteracao.
constexpr std::array kcdsVerifCardapioFields{
    StringField("NRCARDAPIO", 10),
};

// cdsTipoReti: Withdrawal types offered in the item grid.
constexpr std::array kcdsTipoRetiFields{
    StringField("CDTIPORETI", 2).Label("Código").Width(4),
    StringField("NMTIPORETI", 40).Label("Nome"),
};

// cdsLocalizacao: Storeroom, location, lot and sub-lot per item sequence (grid dbgLocalizacao).
constexpr std::array kcdsLocalizacaoFields{
    StringField("NRSEQUITRETI", 4).Hidden(),
    StringField("CDTIPORETI", 2),
    StringField("CDALMOXARIFE", 6).Label("Almoxarifado"),
    StringField("DSALMOXARIFE", 30).Label("Nome do Almoxarifado"),
    StringField("CDLOCALESTOQ", 6).Label("Localização"),
    StringField("DSLOCALESTOQ", 30).Label("Nome da Localização"),
    StringField("NRLOTEESTQ", 20).Label("Lote").Width(15),
    StringField("NRSUBLOTE", 4).Label("Sub Lote"),
};

// cdsValidProd: The product and its stock of the day, from GetValidProd.
constexpr std::array kcdsValidProdFields{
    StringField("CDARVPROD", 20),
    StringField("CDPRODUTO", 10),
    StringField("NMPRODUTO", 50),
    StringField("SGUNIDADE", 10),
    FloatField("VRFATOCONV"),
    FloatField("QTESTOQDIA"),
    StringField("QTNEG", 30),
};

// cdsPosEstDia: The stock position of the day, from the stock library.
constexpr std::array kcdsPosEstDiaFields{
    StringField("CDPRODUTO", 10),
    StringField("NMPRODUTO", 50),
    StringField("SGUNIDADE", 10),
    FloatField("QTESTOQDIA"),
    StringField("IDCNTRESTOQ", 1),
    StringField("CDPRODESTO", 10),
    FloatField("VRCUSTOPROD"),
};

// cdsValidaRetiTpPrat: A copy of the dish-type rows against which a new dish-type key is checked.
constexpr std::array kcdsValidaRetiTpPratFields{
    StringField("CDFILIAL", 4),
    StringField("NRRETIRADA", 10),
    StringField("CDTIPOPRAT", 2).Label("Código"),
    StringField("NMTIPOPRAT", 15).Label("Nome Tipo Prato"),
    StringField("CDFILAUXPRAT", 4),
    StringField("CDPRATO", 10).Label("Código do Prato"),
    StringField("NMPRATO", 40).Label("Nome do Prato"),
    StringField("IDSTATUS", 1),
};

// cdsProduto: The product list of the item grid's product button, fed by dspProduto from qryProduto.
constexpr std::array kcdsProdutoFields{
    StringField("CDARVPROD", 20).Label("Código"),
    StringField("CDPRODUTO", 10).Label("Código").Required().Hidden().Width(15),
    StringField("NMPRODUTO", 50).Label("Nome").Required(),
    StringField("CDNVPRODUTO", 1).Required().Hidden(),
    StringField("SGUNIDADE", 10).Hidden(),
    StringField("CDPRODESTO", 10).Hidden(),
    FloatField("VRFATOCONV").Hidden(),
};

// cdsVdRetDia: Services returned by VdRetGeral.
constexpr std::array kcdsVdRetDiaFields{
    StringField("CDSERVFILI", 5),
    StringField("NMSERVICO", 40),
};

// cdsRetiradaGeral: QNTMOVI, a count returned by GetRetiradaGeral.
constexpr std::array kcdsRetiradaGeralFields{
    FloatField("QNTMOVI"),
};

// The three working copies of the items hold packets of cdsItLanctoEst, so they
// share its names, types and sizes; they differ only in how they show them.
enum class ItemsCopy { VdAux, SumAux, Filter };

constexpr bool IsShownInVdAux(std::string_view name) {
    return name == "NRSEQUITEM" || name == "CDPRODUTO" || name == "CDPRODMOVI" ||
           name == "CDTIPOPRAT" || name == "CDFILAUXPRAT" || name == "CDPRATO";
}

template <std::size_t N>
constexpr std::array<FieldDef, N> ItemsCopyFields(const std::array<FieldDef, N>& items, ItemsCopy kind) {
    FieldDef consumed;
    for (const FieldDef& f : items)
        if (f.name == "QTTOTLANCTO") consumed = f;

    std::array<FieldDef, N> out{};
    std::size_t j = 0;
    for (const FieldDef& f : items) {
        if (f.name == "CDTIPORETI") out[j++] = consumed;  // the consumed quantity comes before the type
        if (f.name != "QTTOTLANCTO") out[j++] = f;
    }
    for (FieldDef& f : out) {
        if (kind != ItemsCopy::Filter && !f.editFormat.empty()) f.editFormat = "#,##0.00000";
        if (kind == ItemsCopy::VdAux) {
            if (f.name == "ESTOQUEOK") f.label = "Estoque";
            if (IsShownInVdAux(f.name)) f.visible = true;
        }
        if (kind == ItemsCopy::SumAux && f.name == "QTDEVOLVRETI") f.onValidate = {};
    }
    return out;
}

constexpr auto kcdsItlanctoVdAuxFields = ItemsCopyFields(kcdsItLanctoEstFields, ItemsCopy::VdAux);
constexpr auto kcdsItLanctoSumAuxFields = ItemsCopyFields(kcdsItLanctoEstFields, ItemsCopy::SumAux);
constexpr auto kcdsItLanctoFilterFields = ItemsCopyFields(kcdsItLanctoEstFields, ItemsCopy::Filter);

// No provider named dspItLanctoEst exists in the form: the name is declared
// only, and none of these datasets applies updates through a provider.
constexpr std::string_view kItemsProvider = "dspItLanctoEst";

constexpr DataSetDef kDataSets[] = {
    DataSet("cdsRomaRetirada", kcdsRomaRetiradaFields).DataSource("dtsRomaRetirada"),
    DataSet("cdsLanctoEst", kcdsLanctoEstFields).DataSource("dtsPadrao"),
    // Index field names are also set again at start-up.
    DataSet("cdsItLanctoEst", kcdsItLanctoEstFields)
        .Provider(kItemsProvider)
        .DataSource("dtsItLanctoEst")
        .IndexFieldNames("NRSEQUITRETI"),
    DataSet("cdsItlanctoVdAux", kcdsItlanctoVdAuxFields).Provider(kItemsProvider),
    DataSet("cdsItLanctoSumAux", kcdsItLanctoSumAuxFields).Provider(kItemsProvider),
    DataSet("cdsItLanctoFilter", kcdsItLanctoFilterFields).Provider(kItemsProvider),
    DataSet("cdsRetiTipoPrat", kcdsRetiTipoPratFields).DataSource("dtsRetiTipoPrat"),
    DataSet("cdsResumo", kcdsResumoFields).Provider(kItemsProvider).DataSource("dtsResumo"),
    DataSet("cdsParamEstoque", kcdsParamEstoqueFields),
    DataSet("cdsParamFilial", kcdsParamFilialFields),
    DataSet("cdsCtrlEstoque", kcdsCtrlEstoqueFields),
    DataSet("cdsUtilizaRetiPrat", kcdsUtilizaRetiPratFields),
    DataSet("cdsNrPrevReti", kcdsNrPrevRetiFields).DataSource("dtsNrPrevReti"),
    DataSet("cdsVdPrevReti", kcdsVdPrevRetiFields),
    DataSet("cdsPesqRequisicao", kcdsPesqRequisicaoFields),
    DataSet("cdsPrevRetiAux", kcdsPrevRetiAuxFields),
    DataSet("cdsVdServico", kcdsVdServicoFields),
    DataSet("cdsVerifCardapio", kcdsVerifCardapioFields),
    DataSet("cdsTipoReti", kcdsTipoRetiFields),
    // Its filter ignores case.
    DataSet("cdsLocalizacao", kcdsLocalizacaoFields).FilterCaseInsensitive(),
    DataSet("cdsValidProd", kcdsValidProdFields),
    DataSet("cdsPosEstDia", kcdsPosEstDiaFields),
    DataSet("cdsValidaRetiTpPrat", kcdsValidaRetiTpPratFields),
    DataSet("cdsProduto", kcdsProdutoFields).Provider("dspProduto"),
    DataSet("cdsVdRetDia", kcdsVdRetDiaFields).IndexFieldNames("CDSERVFILI"),
    DataSet("cdsRetiradaGeral", kcdsRetiradaGeralFields),
};

}  // namespace

std::span<const DataSetDef> ScreenDataSets() { return kDataSets; }

const DataSetDef* FindScreenDataSet(std::string_view name) { return FindDataSet(kDataSets, name); }

}  // namespace model
