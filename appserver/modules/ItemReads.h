#pragma once
// The reads behind item entry ("Pla02000.rdmRetirada"). Each runs inside the
// caller's transaction on conn, with branches the dispatcher has checked;
// codes are trimmed, and an empty or blank " " place text means any place. A
// refusal throws Exception with the text the screen shows (see Fail).
#include "core/Variant.h"
#include "db/SqlConnection.h"
#include "rpc/Dispatcher.h"

#include <string>

namespace appserver {

// Where an item lies and which dish it belongs to (dish fields may be empty).
struct ItemPlace {
    std::string storeroom, location, lot, sublot;
    std::string dishType, dish, dishBranch;
};

// True when another saved, not deleted item of the withdrawal (branch of
// movement, NRRETIRADA) holds the product at the same place and dish; the
// item's own row (NRSEQUITRETI `ownSeq`) does not count. A withdrawal not yet
// numbered ("NOVOCODRET") has no saved items: false.
bool Vd_ExistProdAlmox(db::SqlConnection& conn, const std::string& branch, const std::string& withdrawal,
                       const std::string& product, const std::string& ownSeq, const ItemPlace& place);

// cdsValidProd: the product's stock at the place at the end of the day before
// `nextDay` (the screen sends the withdrawal date plus one), in the product's
// unit (the ledger's quantity divided by VRFATOCONV), leaving out what this
// item (posting, item number) already moved there. QTNEG is that stock less
// `quantity` as text ("-..." when it would go negative), empty when the
// product never moved in the branch. Refuses an unknown product.
Variant GetValidProd(db::SqlConnection& conn, const std::string& branch, const ItemPlace& place,
                     const std::string& posting, const std::string& item, const std::string& product,
                     TDateTime nextDay, double quantity);

// The minimum stock of the branch's product (PRODFILI.QTESTOQMIN); 0 when none.
double GetEstoqMin(db::SqlConnection& conn, const std::string& branch, const std::string& product);

// Registers Vd_ExistProdAlmox, GetValidProd and GetEstoqMin (also as getEstoqMin).
void RegisterItemReads(Dispatcher& d);

}  // namespace appserver
