#pragma once
// The shapes of the packets the remote methods return: one field list per
// client dataset they fill, with the client's names, types and sizes, so that
// a packet assigned to a dataset has exactly its fields.
#include "core/Packet.h"

#include <vector>

namespace appserver::datasets {

using Fields = std::vector<PacketField>;

const Fields& ParamEstoque();    // cdsParamEstoque
const Fields& ParamFilial();     // cdsParamFilial
const Fields& CtrlEstoque();     // cdsCtrlEstoque
const Fields& UtilizaRetiPrat(); // cdsUtilizaRetiPrat
const Fields& RomaRetirada();    // cdsRomaRetirada
const Fields& MaxData();         // cdsMaxData
const Fields& LanctoEst();       // cdsLanctoEst
const Fields& ItLanctoEst();     // cdsItLanctoEst
const Fields& RetiTipoPrat();    // cdsRetiTipoPrat
const Fields& Resumo();          // cdsResumo
const Fields& TipoReti();        // cdsTipoReti
const Fields& Localizacao();     // cdsLocalizacao
const Fields& PosEstDia();       // cdsPosEstDia (stock library)
const Fields& ValidProd();       // cdsValidProd
const Fields& VdServico();       // cdsVdServico
const Fields& PrevRetiAux();     // cdsPrevRetiAux
const Fields& NrPrevReti();      // cdsNrPrevReti (DSTIPO travels empty: the client calculates it)
const Fields& VdPrevReti();      // cdsVdPrevReti
const Fields& PesqRequisicao();  // cdsPesqRequisicao
const Fields& VerifCardapio();   // cdsVerifCardapio
const Fields& VdRetDia();        // cdsVdRetDia
const Fields& RetiradaGeral();   // cdsRetiradaGeral

// Every shape above with the client dataset it fills, so that tests hold the
// server's packets and the client's declarations together.
struct Shape {
    const char* dataSet;
    const Fields& fields;
};
const std::vector<Shape>& All();

// cdsRetorno declares no fields and takes the packet's: result rows (an error
// key or the name of a generated number, and the objects it concerns).
const Fields& Retorno();

}  // namespace appserver::datasets
