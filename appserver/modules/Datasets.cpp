#include "modules/Datasets.h"

namespace appserver::datasets {

namespace {

PacketField S(const char* name, int size) { return {name, TFieldType::ftString, size}; }
PacketField F(const char* name) { return {name, TFieldType::ftFloat, 0}; }
PacketField D(const char* name) { return {name, TFieldType::ftDateTime, 0}; }
PacketField B(const char* name) { return {name, TFieldType::ftBoolean, 0}; }

}  // namespace

const Fields& ParamEstoque() {
    static const Fields f = {S("IDORDEREQU", 1),   S("NRNIVEREQU", 1),   S("IDUTREQUPRAT", 1), S("IDUTCODBARRA", 1),
                             S("IDESTONLINE", 1),  S("IDPERMESTNEG", 1), S("IDCTRLESTQ", 1),   S("IDLANCDTMEN", 1),
                             S("IDLANCDTMAI", 1),  S("CDFILIAL", 4),     S("IDCONAUTIRRG", 1), D("DTPROCESSA"),
                             F("NRDIASSAID"),      F("NRDIASSAIDPD"),    S("IDUTCODBARFI", 1), S("IDCARDIFRETI", 1),
                             S("CDTPRETIPADR", 2), S("CDTIPCUSTEST", 2), S("IDLANCDTMENFIL", 1), F("NRDIASSAIDFIL"),
                             S("IDLANCDTMAIFIL", 1), F("NRDIASSAIDPDFIL")};
    return f;
}

const Fields& ParamFilial() {
    static const Fields f = {S("IDPERMVISPOSEST", 1), S("IDBLPRCOMEST", 1)};
    return f;
}

const Fields& CtrlEstoque() {
    static const Fields f = {S("IDCNTRESTOQ", 1)};
    return f;
}

const Fields& UtilizaRetiPrat() {
    static const Fields f = {S("IDBLOQALTPRA", 1), S("CDSERVFILI", 5), S("IDUTRETIPRAT", 1)};
    return f;
}

const Fields& RomaRetirada() {
    static const Fields f = {S("CDSERVFILI", 5),   S("NMSERVICO", 40), D("DTLANCESTQ"),      D("DTCARDAPIO"),
                             S("NRREQUEXTRRE", 10), S("NRLANCESTQ", 10), S("CDFILIAL", 4),   S("NRRETIRADA", 10),
                             S("CDFILIMOVI", 4),   S("NRCARDAPIO", 10), S("IDRETIPRAT", 1)};
    return f;
}

const Fields& MaxData() {
    static const Fields f = {D("DTLANCESTQ"), D("DTCARDAPIO")};
    return f;
}

const Fields& LanctoEst() {
    static const Fields f = {S("CDFILIAL", 4),     S("CDFILIMOVI", 4),   S("NMFILIAL", 30),    S("CDEMPRESA", 2),
                             S("CDINSCESTA", 16),  S("CDINSCMUNI", 16),  S("NRLANCESTQ", 10),  S("IDTPLANCTO", 1),
                             D("DTLANCESTQ"),      S("DSLANCESTQ", 60),  S("NRRETIRADA", 10),  S("NRCARDAPIO", 10),
                             D("DTRETIRADA"),      S("NRREQUEXTRRE", 10), S("NMSERVICO", 40),  S("CDSERVFILI", 5),
                             S("IDESTONLINE", 1),  S("IDPERMESTNEG", 1), D("DTCARDAPIO"),      S("CDOPERADOR", 12),
                             D("DTMESCARD"),       S("CDFILANCESTQ", 4), S("NRLANCTONF", 10),  S("NRSEQUITRETI", 4),
                             S("IDRETIPRAT", 1),   S("IDBLOQINCPRODRETIPLA", 1),
                             S("CDCHAVEENVIO", 32)};
    return f;
}

const Fields& ItLanctoEst() {
    static const Fields f = {
        S("CDARVPROD", 20),    S("NMPRODUTO", 50),   S("SGUNIDADE", 10),   S("CDTIPORETI", 2),  F("QTPREVISRETI"),
        F("QTEXTRARETI"),      F("QTDEVOLVRETI"),    F("QTTOTLANCTO"),     F("VRUNILANCTO"),    B("ESTOQUEOK"),
        S("CDFILIAL", 4),      S("NRLANCESTQ", 10),  S("NRSEQUITEM", 4),   S("CDPRODUTO", 10),  S("CDPRODMOVI", 10),
        F("QTLANCTOEST"),      S("IDTIPOMOVI", 1),   D("DTLANCMOVI"),      S("IDORDEMCLC", 1),  S("NRRETIRADA", 10),
        S("NRCARDAPIO", 10),   F("QTRETIRADA"),      S("NRSEQUITRETI", 4), S("CDFILIMOVI", 4),  S("CDFIITLANEST", 4),
        S("NRLANCESTRT", 10),  S("NRSEQUIITRT", 4),  S("CDFILIRETI", 4),   S("IDEVOLESTOQ", 1), F("VRQTDEANT"),
        S("CDALMOXARIFE", 6),  S("CDLOCALESTOQ", 6), {"IDSTATUS", TFieldType::ftFixedChar, 1},  S("NRLOTEESTQ", 20),
        S("NRSUBLOTE", 4),     S("NMTIPORETI", 40),  F("VRTOTLANCTO"),     S("CDTIPOPRAT", 2),  S("CDPRATO", 10),
        S("CDFILAUXPRAT", 4),  S("IDERRO", 1),       F("QTSALDORETIRADA")};
    return f;
}

const Fields& RetiTipoPrat() {
    static const Fields f = {S("CDFILIAL", 4),     S("NRRETIRADA", 10), S("CDTIPOPRAT", 2), S("NMTIPOPRAT", 15),
                             S("CDFILAUXPRAT", 4), S("CDPRATO", 10),    S("NMPRATO", 40),   S("IDSTATUS", 1),
                             S("IDERRO", 1)};
    return f;
}

const Fields& Resumo() {
    static const Fields f = {S("CDFILIAL", 4),  S("NRRETIRADA", 10), S("CDARVPROD", 20), S("NMPRODUTO", 50),
                             S("SGUNIDADE", 10), F("QTPREVISRETI"),  F("QTEXTRARETI"),   F("QTDEVOLVRETI"),
                             F("QTRETIRADA"),   F("QTTOTLANCTO"),    F("CUSTO"),         F("QTESTDIACON"),
                             S("CDPRODUTO", 10), S("IDEVOLESTOQ", 1)};
    return f;
}

const Fields& TipoReti() {
    static const Fields f = {S("CDTIPORETI", 2), S("NMTIPORETI", 40)};
    return f;
}

const Fields& Localizacao() {
    static const Fields f = {S("NRSEQUITRETI", 4), S("CDTIPORETI", 2),   S("CDALMOXARIFE", 6), S("DSALMOXARIFE", 30),
                             S("CDLOCALESTOQ", 6), S("DSLOCALESTOQ", 30), S("NRLOTEESTQ", 20), S("NRSUBLOTE", 4)};
    return f;
}

const Fields& PosEstDia() {
    static const Fields f = {S("CDPRODUTO", 10), S("NMPRODUTO", 50),  S("SGUNIDADE", 10), F("QTESTOQDIA"),
                             S("IDCNTRESTOQ", 1), S("CDPRODESTO", 10), F("VRCUSTOPROD")};
    return f;
}

const Fields& ValidProd() {
    static const Fields f = {S("CDARVPROD", 20), S("CDPRODUTO", 10),  S("NMPRODUTO", 50), S("SGUNIDADE", 10),
                             F("VRFATOCONV"),    F("QTESTOQDIA"),     S("QTNEG", 30)};
    return f;
}

const Fields& VdServico() {
    static const Fields f = {S("CDSERVFILI", 5), S("NMSERVICO", 40), S("IDSERVATIV", 1), S("IDTIPOSERV", 1),
                             S("IDBLOQINCPRODRETIPLA", 1)};
    return f;
}

const Fields& PrevRetiAux() {
    static const Fields f = {S("NRREQUEXTR", 10), S("CDSERVFILI", 5), D("DTPREVRETI")};
    return f;
}

const Fields& NrPrevReti() {
    static const Fields f = {S("NRREQUISICAO", 23), S("NRREQUEXTR", 10), S("DSTIPO", 20),       S("NMSERVICO", 40),
                             D("DTLOCATE"),         S("DTPREVRETI", 10), S("CDSERVFILI", 5),   S("IDPREVTPPRAT", 1),
                             D("DTPESQRETI")};
    return f;
}

const Fields& VdPrevReti() {
    static const Fields f = {S("CDFILIAL", 4), S("CDSERVFILI", 5), D("DTPREVRETI"), S("NRREQUEXTR", 10)};
    return f;
}

const Fields& PesqRequisicao() {
    static const Fields f = {S("NRREQUEXTR", 10), S("NRREQUEXTRRE", 10)};
    return f;
}

const Fields& VerifCardapio() {
    static const Fields f = {S("NRCARDAPIO", 10)};
    return f;
}

const Fields& Retorno() {
    static const Fields f = {S("CDERRO", 20), S("CDOBJETO", 20), S("CDOBJETO2", 20), S("CDOBJETO3", 20)};
    return f;
}

const Fields& VdRetDia() {
    static const Fields f = {S("CDSERVFILI", 5), S("NMSERVICO", 40)};
    return f;
}

const Fields& RetiradaGeral() {
    static const Fields f = {F("QNTMOVI")};
    return f;
}

const std::vector<Shape>& All() {
    static const std::vector<Shape> all = {
        {"cdsParamEstoque", ParamEstoque()}, {"cdsParamFilial", ParamFilial()},
        {"cdsCtrlEstoque", CtrlEstoque()},   {"cdsUtilizaRetiPrat", UtilizaRetiPrat()},
        {"cdsRomaRetirada", RomaRetirada()}, {"cdsMaxData", MaxData()},
        {"cdsLanctoEst", LanctoEst()},       {"cdsItLanctoEst", ItLanctoEst()},
        {"cdsRetiTipoPrat", RetiTipoPrat()}, {"cdsResumo", Resumo()},
        {"cdsTipoReti", TipoReti()},         {"cdsLocalizacao", Localizacao()},
        {"cdsPosEstDia", PosEstDia()},       {"cdsVdServico", VdServico()},
        {"cdsValidProd", ValidProd()},
        {"cdsPrevRetiAux", PrevRetiAux()},   {"cdsNrPrevReti", NrPrevReti()},
        {"cdsVdRetDia", VdRetDia()},       {"cdsRetiradaGeral", RetiradaGeral()},
        {"cdsVdPrevReti", VdPrevReti()},     {"cdsPesqRequisicao", PesqRequisicao()},
        {"cdsVerifCardapio", VerifCardapio()}};
    return all;
}

}  // namespace appserver::datasets
