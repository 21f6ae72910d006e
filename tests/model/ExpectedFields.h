#pragma once
// Field lists of the screen's datasets and queries as the form declares them,
// written out by hand as "NAME Type [size]" items separated by ';', to be
// compared with the model's tables.
#include <string_view>

struct ExpectedFieldList {
    std::string_view form;
    std::string_view name;
    std::string_view fields;
};

inline constexpr ExpectedFieldList kExpectedDataSets[] = {
    {"TfrmRetirada", "cdsRomaRetirada",
     "CDSERVFILI String 5; NMSERVICO String 40; DTLANCESTQ DateTime; DTCARDAPIO DateTime;"
     "NRREQUEXTRRE String 10; NRLANCESTQ String 10; CDFILIAL String 4; NRRETIRADA String 10;"
     "CDFILIMOVI String 4; NRCARDAPIO String 10; IDRETIPRAT String 1"},
    {"TfrmRetirada", "cdsLanctoEst",
     "CDFILIAL String 4; CDFILIMOVI String 4; NMFILIAL String 30; CDEMPRESA String 2;"
     "CDINSCESTA String 16; CDINSCMUNI String 16; NRLANCESTQ String 10; IDTPLANCTO String 1;"
     "DTLANCESTQ DateTime; DSLANCESTQ String 60; NRRETIRADA String 10; NRCARDAPIO String 10;"
     "DTRETIRADA DateTime; NRREQUEXTRRE String 10; NMSERVICO String 40; CDSERVFILI String 5;"
     "IDESTONLINE String 1; IDPERMESTNEG String 1; DTCARDAPIO DateTime; CDOPERADOR String 12;"
     "DTMESCARD DateTime; CDFILANCESTQ String 4; NRLANCTONF String 10; NRSEQUITRETI String 4;"
     "IDRETIPRAT String 1; IDBLOQINCPRODRETIPLA String 1"},
    {"TfrmRetirada", "cdsItLanctoEst",
     "CDARVPROD String 20; NMPRODUTO String 50; SGUNIDADE String 10; CDTIPORETI String 2;"
     "QTPREVISRETI Float; QTEXTRARETI Float; QTDEVOLVRETI Float; QTTOTLANCTO Float; VRUNILANCTO Float;"
     "ESTOQUEOK Boolean; CDFILIAL String 4; NRLANCESTQ String 10; NRSEQUITEM String 4;"
     "CDPRODUTO String 10; CDPRODMOVI String 10; QTLANCTOEST Float; IDTIPOMOVI String 1;"
     "DTLANCMOVI DateTime; IDORDEMCLC String 1; NRRETIRADA String 10; NRCARDAPIO String 10;"
     "QTRETIRADA Float; NRSEQUITRETI String 4; CDFILIMOVI String 4; CDFIITLANEST String 4;"
     "NRLANCESTRT String 10; NRSEQUIITRT String 4; CDFILIRETI String 4; IDEVOLESTOQ String 1;"
     "VRQTDEANT Float; CDALMOXARIFE String 6; CDLOCALESTOQ String 6; IDSTATUS FixedChar 1;"
     "NRLOTEESTQ String 20; NRSUBLOTE String 4; NMTIPORETI String 40; VRTOTLANCTO Float;"
     "CDTIPOPRAT String 2; CDPRATO String 10; CDFILAUXPRAT String 4; IDERRO String 1;"
     "QTSALDORETIRADA Float"},
    {"TfrmRetirada", "cdsItlanctoVdAux",
     "CDARVPROD String 20; NMPRODUTO String 50; SGUNIDADE String 10; QTTOTLANCTO Float;"
     "CDTIPORETI String 2; QTPREVISRETI Float; QTEXTRARETI Float; QTDEVOLVRETI Float;"
     "VRUNILANCTO Float; ESTOQUEOK Boolean; CDFILIAL String 4; NRLANCESTQ String 10;"
     "NRSEQUITEM String 4; CDPRODUTO String 10; CDPRODMOVI String 10; QTLANCTOEST Float;"
     "IDTIPOMOVI String 1; DTLANCMOVI DateTime; IDORDEMCLC String 1; NRRETIRADA String 10;"
     "NRCARDAPIO String 10; QTRETIRADA Float; NRSEQUITRETI String 4; CDFILIMOVI String 4;"
     "CDFIITLANEST String 4; NRLANCESTRT String 10; NRSEQUIITRT String 4; CDFILIRETI String 4;"
     "IDEVOLESTOQ String 1; VRQTDEANT Float; CDALMOXARIFE String 6; CDLOCALESTOQ String 6;"
     "IDSTATUS FixedChar 1; NRLOTEESTQ String 20; NRSUBLOTE String 4; NMTIPORETI String 40;"
     "VRTOTLANCTO Float; CDTIPOPRAT String 2; CDPRATO String 10; CDFILAUXPRAT String 4;"
     "IDERRO String 1; QTSALDORETIRADA Float"},
    {"TfrmRetirada", "cdsItLanctoSumAux",
     "CDARVPROD String 20; NMPRODUTO String 50; SGUNIDADE String 10; QTTOTLANCTO Float;"
     "CDTIPORETI String 2; QTPREVISRETI Float; QTEXTRARETI Float; QTDEVOLVRETI Float;"
     "VRUNILANCTO Float; ESTOQUEOK Boolean; CDFILIAL String 4; NRLANCESTQ String 10;"
     "NRSEQUITEM String 4; CDPRODUTO String 10; CDPRODMOVI String 10; QTLANCTOEST Float;"
     "IDTIPOMOVI String 1; DTLANCMOVI DateTime; IDORDEMCLC String 1; NRRETIRADA String 10;"
     "NRCARDAPIO String 10; QTRETIRADA Float; NRSEQUITRETI String 4; CDFILIMOVI String 4;"
     "CDFIITLANEST String 4; NRLANCESTRT String 10; NRSEQUIITRT String 4; CDFILIRETI String 4;"
     "IDEVOLESTOQ String 1; VRQTDEANT Float; CDALMOXARIFE String 6; CDLOCALESTOQ String 6;"
     "IDSTATUS FixedChar 1; NRLOTEESTQ String 20; NRSUBLOTE String 4; NMTIPORETI String 40;"
     "VRTOTLANCTO Float; CDTIPOPRAT String 2; CDPRATO String 10; CDFILAUXPRAT String 4;"
     "IDERRO String 1; QTSALDORETIRADA Float"},
    {"TfrmRetirada", "cdsItLanctoFilter",
     "CDARVPROD String 20; NMPRODUTO String 50; SGUNIDADE String 10; QTTOTLANCTO Float;"
     "CDTIPORETI String 2; QTPREVISRETI Float; QTEXTRARETI Float; QTDEVOLVRETI Float;"
     "VRUNILANCTO Float; ESTOQUEOK Boolean; CDFILIAL String 4; NRLANCESTQ String 10;"
     "NRSEQUITEM String 4; CDPRODUTO String 10; CDPRODMOVI String 10; QTLANCTOEST Float;"
     "IDTIPOMOVI String 1; DTLANCMOVI DateTime; IDORDEMCLC String 1; NRRETIRADA String 10;"
     "NRCARDAPIO String 10; QTRETIRADA Float; NRSEQUITRETI String 4; CDFILIMOVI String 4;"
     "CDFIITLANEST String 4; NRLANCESTRT String 10; NRSEQUIITRT String 4; CDFILIRETI String 4;"
     "IDEVOLESTOQ String 1; VRQTDEANT Float; CDALMOXARIFE String 6; CDLOCALESTOQ String 6;"
     "IDSTATUS FixedChar 1; NRLOTEESTQ String 20; NRSUBLOTE String 4; NMTIPORETI String 40;"
     "VRTOTLANCTO Float; CDTIPOPRAT String 2; CDPRATO String 10; CDFILAUXPRAT String 4;"
     "IDERRO String 1; QTSALDORETIRADA Float"},
    {"TfrmRetirada", "cdsRetiTipoPrat",
     "CDFILIAL String 4; NRRETIRADA String 10; CDTIPOPRAT String 2; NMTIPOPRAT String 15;"
     "CDFILAUXPRAT String 4; CDPRATO String 10; NMPRATO String 40; IDSTATUS String 1; IDERRO String 1"},
    {"TfrmRetirada", "cdsResumo",
     "CDFILIAL String 4; NRRETIRADA String 10; CDARVPROD String 20; NMPRODUTO String 50;"
     "SGUNIDADE String 10; QTPREVISRETI Float; QTEXTRARETI Float; QTDEVOLVRETI Float; QTRETIRADA Float;"
     "QTTOTLANCTO Float; CUSTO Float; QTESTDIACON Float; CDPRODUTO String 10; IDEVOLESTOQ String 1"},
    {"TfrmRetirada", "cdsParamEstoque",
     "IDORDEREQU String 1; NRNIVEREQU String 1; IDUTREQUPRAT String 1; IDUTCODBARRA String 1;"
     "IDESTONLINE String 1; IDPERMESTNEG String 1; IDCTRLESTQ String 1; IDLANCDTMEN String 1;"
     "IDLANCDTMAI String 1; CDFILIAL String 4; IDCONAUTIRRG String 1; DTPROCESSA DateTime;"
     "NRDIASSAID Float; NRDIASSAIDPD Float; IDUTCODBARFI String 1; IDCARDIFRETI String 1;"
     "CDTPRETIPADR String 2; CDTIPCUSTEST String 2; IDLANCDTMENFIL String 1; NRDIASSAIDFIL Float;"
     "IDLANCDTMAIFIL String 1; NRDIASSAIDPDFIL Float"},
    {"TfrmRetirada", "cdsParamFilial",
     "IDPERMVISPOSEST String 1; IDBLPRCOMEST String 1"},
    {"TfrmRetirada", "cdsCtrlEstoque",
     "IDCNTRESTOQ String 1"},
    {"TfrmRetirada", "cdsUtilizaRetiPrat",
     "IDBLOQALTPRA String 1; CDSERVFILI String 5; IDUTRETIPRAT String 1"},
    {"TfrmRetirada", "cdsNrPrevReti",
     "NRREQUISICAO String 23; NRREQUEXTR String 10; DSTIPO String 20; NMSERVICO String 40;"
     "DTLOCATE DateTime; DTPREVRETI String 10; CDSERVFILI String 5; IDPREVTPPRAT String 1;"
     "DTPESQRETI DateTime"},
    {"TfrmRetirada", "cdsVdPrevReti",
     "CDFILIAL String 4; CDSERVFILI String 5; DTPREVRETI DateTime; NRREQUEXTR String 10"},
    {"TfrmRetirada", "cdsPesqRequisicao",
     "NRREQUEXTR String 10; NRREQUEXTRRE String 10"},
    {"TfrmRetirada", "cdsPrevRetiAux",
     "NRREQUEXTR String 10; CDSERVFILI String 5; DTPREVRETI DateTime"},
    {"TfrmRetirada", "cdsVdServico",
     "CDSERVFILI String 5; NMSERVICO String 40; IDSERVATIV String 1; IDTIPOSERV String 1;"
     "IDBLOQINCPRODRETIPLA String 1"},
    {"TfrmRetirada", "cdsVerifCardapio",
     "NRCARDAPIO String 10"},
    {"TfrmRetirada", "cdsTipoReti",
     "CDTIPORETI String 2; NMTIPORETI String 40"},
    {"TfrmRetirada", "cdsLocalizacao",
     "NRSEQUITRETI String 4; CDTIPORETI String 2; CDALMOXARIFE String 6; DSALMOXARIFE String 30;"
     "CDLOCALESTOQ String 6; DSLOCALESTOQ String 30; NRLOTEESTQ String 20; NRSUBLOTE String 4"},
    {"TfrmRetirada", "cdsValidProd",
     "CDARVPROD String 20; CDPRODUTO String 10; NMPRODUTO String 50; SGUNIDADE String 10;"
     "VRFATOCONV Float; QTESTOQDIA Float; QTNEG String 30"},
    {"TfrmRetirada", "cdsPosEstDia",
     "CDPRODUTO String 10; NMPRODUTO String 50; SGUNIDADE String 10; QTESTOQDIA Float;"
     "IDCNTRESTOQ String 1; CDPRODESTO String 10; VRCUSTOPROD Float"},
    {"TfrmRetirada", "cdsValidaRetiTpPrat",
     "CDFILIAL String 4; NRRETIRADA String 10; CDTIPOPRAT String 2; NMTIPOPRAT String 15;"
     "CDFILAUXPRAT String 4; CDPRATO String 10; NMPRATO String 40; IDSTATUS String 1"},
    {"TfrmRetirada", "cdsProduto",
     "CDARVPROD String 20; CDPRODUTO String 10; NMPRODUTO String 50; CDNVPRODUTO String 1;"
     "SGUNIDADE String 10; CDPRODESTO String 10; VRFATOCONV Float"},
    {"TfrmRetirada", "cdsVdRetDia",
     "CDSERVFILI String 5; NMSERVICO String 40"},
    {"TfrmRetirada", "cdsRetiradaGeral",
     "QNTMOVI Float"},
    {"TfrmFiltroRetirada", "cdsMaxData",
     "DTLANCESTQ DateTime; DTCARDAPIO DateTime"},
};

inline constexpr ExpectedFieldList kExpectedQueries[] = {
    {"TfrmRetirada", "qryFilial",
     "CDFILIAL String 4; NMFILIAL String 30; IDCNTRRESC String 1; CDEMPRESA String 2;"
     "CDINSCMUNI String 16; CDINSCESTA String 16"},
    {"TfrmRetirada", "qryServico",
     "CDSERVFILI String 5; NMSERVICO String 40"},
    {"TfrmRetirada", "qryFiliOffLine",
     "IDUTILOFFLINE String 1"},
    {"TfrmRetirada", "qryRetOffLine",
     "CDFILIAL String 4"},
    {"TfrmRetirada", "qryProduto",
     "CDARVPROD String 20; CDPRODUTO String 10; NMPRODUTO String 50; CDNVPRODUTO String 1;"
     "SGUNIDADE String 10; CDPRODESTO String 10; VRFATOCONV Float"},
    {"TfrmRetirada", "qryProdutoCache",
     "CDARVPROD String 20; CDPRODUTO String 10; NMPRODUTO String 50; CDNVPRODUTO String 1;"
     "SGUNIDADE String 10; CDPRODESTO String 10; VRFATOCONV Float"},
    {"TfrmRetirada", "qryProdutoSemCache",
     "CDARVPROD String 20; CDPRODUTO String 10; NMPRODUTO String 50; CDNVPRODUTO String 1;"
     "SGUNIDADE String 10; CDPRODESTO String 10; VRFATOCONV Float"},
    {"TfrmRetirada", "qryParamGeral",
     "IDCACHPRODFI String 1"},
    {"TfrmRetirada", "qryPesqProduto",
     "CDARVPROD String 20; CDPRODUTO String 10; CDPRODESTO String 10; NMPRODUTO String 50;"
     "SGUNIDADE String 10; CDNVPRODUTO String 1"},
    {"TfrmRetirada", "qryValidProduto",
     "CDARVPROD String 20; CDPRODUTO String 10; NMPRODUTO String 50; CDNVPRODUTO String 1;"
     "SGUNIDADE String 10; CDPRODESTO String 10; VRFATOCONV Float"},
    {"TfrmRetirada", "qryExisteProdTReti",
     "CDPRODRETI String 10"},
    {"TfrmRetirada", "qryValidProdReti",
     "CDPRODUTO String 10; CDARVPROD String 20; NMPRODUTO String 50"},
    {"TfrmRetirada", "qryTipoPrat",
     "CDTIPOPRAT String 2; NMTIPOPRAT String 50"},
    {"TfrmRetirada", "qryPrato",
     "CDPRATO String 10; CDFILAUXPRAT String 4; NMPRATO String 40"},
    {"TfrmRetirada", "qryValidaPrato",
     "CDPRATO String 10; CDFILAUXPRAT String 4; NMPRATO String 40"},
    {"TfrmFiltroRetirada", "qryServico",
     "CDSERVFILI String 5; NMSERVICO String 40"},
    {"TfrmFiltroRetirada", "qryVDServico",
     "CDSERVFILI String 5; NMSERVICO String 40; IDSERVATIV String 1"},
    {"TfrmFiltroRetiradaGeral", "qryGrupServ",
     "CDGRUPSERV String 20; NMGRUPSERV String 20"},
    {"TfrmFiltroRetiradaGeral", "qryServico",
     "CDSERVFILI String 20; NMSERVICO String 20"},
};
