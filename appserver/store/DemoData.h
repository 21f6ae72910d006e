#pragma once
// Demo data: a small food-service company worth opening the screen on,
// generated from a seed. Names below are fixed whatever the seed; quantities,
// costs and which extra products are inactive follow the seed.
#include "db/SqlConnection.h"

#include <cstdint>

namespace store::demo {

inline constexpr uint32_t kDefaultSeed = 1;

// Branches.
inline constexpr const char* kBranchLocations = "0001";  // storerooms and locations in use
inline constexpr const char* kBranchPlain = "0002";      // no storerooms nor locations
inline constexpr const char* kBranchOffline = "0003";    // off-line, withdrawals not yet imported (RETIRADA)
inline constexpr const char* kBranchNoStock = "0004";    // stock control off (IDCTRLESTQ "N")
// Date windows of a withdrawal (P = processing date; general days 7 earlier, 2
// later; branch days where a branch flag is "S"). 0001: branch flags "S",
// P-3..P+1. 0002: branch flags empty, general "S": P-7..P+2.
inline constexpr const char* kBranchStrictLater = "0005";   // branch flags "N"; later refused, earlier P-7
inline constexpr const char* kBranchStrictEarlier = "0006"; // branch flags "N"; earlier refused, later P+2
inline constexpr const char* kBranchAnyDate = "0007";       // branch flags empty, general "N": any day passes
inline constexpr const char* kBranchInventory = "0008";     // a general inventory open since P-1: stock held

// Operators (password: the code in lower case).
inline constexpr const char* kOperator = "DEMO";  // every right, bound to no branch
inline constexpr const char* kPassword = "demo";
inline constexpr const char* kOperatorAllRights = "ANA";   // bound to 0001, both withdrawal rights
inline constexpr const char* kOperatorNoRights = "BRUNO";  // bound to 0001, no right
inline constexpr const char* kOperatorAlterOnly = "CARLA"; // bound to 0002, ALTERACAO_RETIRADA only
inline constexpr const char* kRightAlter = "ALTERACAO_RETIRADA";
inline constexpr const char* kRightDelete = "EXCLUSAO_RETIRADA";

// Services of 0001 and 0002 (0003 and 0004 have 00001 and 00002 only).
inline constexpr const char* kServiceByDish = "00001";      // ALMOÇO, dish-type breakdown
inline constexpr const char* kServicePlain = "00002";       // JANTAR
inline constexpr const char* kServiceDiet = "00003";        // DIETA HOSPITALAR, type "D"
inline constexpr const char* kServiceBlockedAdd = "00004";  // CAFÉ DA MANHÃ, adding products blocked
inline constexpr const char* kServiceInactive = "00005";    // CEIA, IDSERVATIV "N"
inline constexpr const char* kServiceOccasional = "00006";  // LANCHE AVULSO, type "A", IDSERVATIV null
inline constexpr const char* kServiceDishLocked = "00007";  // ALMOÇO EXECUTIVO (0001 only), dish changes blocked

// Header checks. 0001 has its day P-2 settled (the day's last posting done);
// its diet service has a standard diet, 0002's has none; an extra requisition
// of 00002 lies 15 days ahead in both (outside the requisition search window).
// Extra requisitions per branch: 0000000001 (00002, P-1), 0000000002 (00002, P;
// used by a withdrawal in 0001), 0000000003 (00003, P), 0000000004 (00001, P+1),
// 0000000005 (00002, P+15).
inline constexpr int kImplantedDay = -2;
inline constexpr int kFarRequisitionDay = 15;
inline constexpr const char* kRequisitionUsed = "0000000002";
inline constexpr const char* kRequisitionFree = "0000000001";
inline constexpr const char* kRequisitionFar = "0000000005";

// Product tree (picture 2-2-3, three levels; tree codes without separators).
inline constexpr int kProductLevels = 3;
inline constexpr const char* kProductPicture = "99.99.999";
inline constexpr int kDishLevels = 2;
inline constexpr const char* kDishPicture = "99.999";
inline constexpr const char* kProductRice = "0101001";          // ARROZ AGULHINHA TIPO 1, stock product 100001
inline constexpr const char* kProductRicePack = "0101101";      // ARROZ PACOTE 5 KG: carried by 0101001, factor 5
inline constexpr const char* kProductInactive0001 = "0101005";  // LENTILHA, inactive in 0001
inline constexpr const char* kProductNoStockControl = "0105012";// ORÉGANO, IDCNTRESTOQ "N"
inline constexpr const char* kProductInventory0001 = "0105001"; // AÇÚCAR CRISTAL, inventory open in 0001
inline constexpr const char* kGroupDisposables = "0201";        // tied to withdrawal type 02
inline constexpr const char* kGroupCleaning = "03";             // tied to withdrawal type 03

// Withdrawal types: 01 free, 02 disposables only, 03 cleaning only,
// 04 two tasting products only, 05 free.
inline constexpr const char* kTypeFree = "01";
inline constexpr const char* kTypeDisposables = "02";
inline constexpr const char* kTypeCleaning = "03";

// Writes the demo rows into a migrated database that holds no branch yet.
// Every branch's processing date is today (date part). Throws Exception when
// the database already holds branches, db::SqlError on a database failure.
void LoadDemoData(db::SqlConnection& conn, uint32_t seed, TDateTime today);

}  // namespace store::demo
