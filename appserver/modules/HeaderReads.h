#pragma once
// The reads behind the withdrawal header ("Pla02000.rdmRetirada"). Each runs
// inside the caller's transaction on conn, with a branch that exists and the
// operator may use (the dispatcher and the registration check it), codes trimmed. A refusal
// throws Exception with the text the screen shows (see Fail).
#include "core/Variant.h"
#include "db/SqlConnection.h"
#include "rpc/Dispatcher.h"

#include <string>

namespace appserver {

inline constexpr const char* kImplantedKey = "Lib00200_2";  // result row: the day's last posting is done
inline constexpr const char* kDietPrefix = "PAH_";          // menus of diet services

// The service of the branch: one row of cdsVdServico, or none. Refuses an empty code.
Variant GetVdServico(db::SqlConnection& conn, const std::string& branch, const std::string& service);
// cdsPrevRetiAux: the requisition with that number (the planned one only for
// the service and menu day), the one matching service and day first.
Variant GetPrevRetiAux(db::SqlConnection& conn, const std::string& branch, const std::string& requisition,
                       const std::string& service, const Variant& menuDate);
// cdsNrPrevReti: the requisitions of days from..to (whole days; a null bound is
// the processing date -/+ 10) that could still be used; from and to come back
// as the days searched. Refuses to > from.
Variant GetNrPrevReti(db::SqlConnection& conn, const std::string& branch, Variant& from, Variant& to);
// cdsVdPrevReti: the extra requisition of that number dated within from..to
// (as GetNrPrevReti takes them); none for the planned number.
Variant GetVdPrevReti(db::SqlConnection& conn, const std::string& branch, const std::string& requisition,
                      Variant& from, Variant& to);
// cdsPesqRequisicao: one row per live withdrawal of the branch that uses the
// extra requisition; none for the planned one.
Variant GetPesqRequisicao(db::SqlConnection& conn, const std::string& branch, const std::string& requisition);
// [cdsRetorno rows (kImplantedKey when movBranch's posting day is settled),
//  cdsVerifCardapio (the menu of service and menu day, if any),
//  "N" when prefix is kDietPrefix and the service has no standard diet, else "S"].
// Refuses a prefix other than "" and kDietPrefix.
Variant Verif_Alteracao(db::SqlConnection& conn, const std::string& movBranch, const Variant& postingDate,
                        const std::string& branch, const std::string& service, const Variant& menuDate,
                        const std::string& prefix);

// Registers the six methods above on the dispatcher, on conn.
void RegisterHeaderReads(Dispatcher& d);

}  // namespace appserver
