#pragma once
// The stock ledger (table MOVIESTQ): signed movements of a branch's stock
// products by storeroom, location, lot and sub-lot. Each movement also adds to
// its day's balance (table SALDODIA), and the position of a day is the sum of
// the daily balances up to that day: its cost grows with the days a product
// moved, not with its movements. Write movements only through AddMovement
// (or call RebuildDailyBalances after writing MOVIESTQ directly).
//
// Concurrent writers (PostgreSQL, READ COMMITTED): row locks, not
// serializable transactions. Every movement of a branch first takes the
// branch's movement number (the NUMSEQ row stays locked until the writer's
// transaction ends), so the movements of one branch are written one
// transaction after the other and each sees the balances the previous one
// committed; the daily balance is one upsert. Locks queue writers where
// serializable isolation would fail one of them on every collision of a busy
// branch and make every caller loop. A writer that checks a position before
// moving stock calls LockLedger first, so the position cannot change under it.
// SQLite's write transaction holds the whole database and needs none of this.
#include "db/SqlConnection.h"

#include <string>

namespace store {

// Where stock lies. In a filter an empty text means "any"; a blank " " is the
// empty storeroom/location/lot/sub-lot itself.
struct StockPlace {
    std::string storeroom, location, lot, sublot;
};

struct StockMovement {
    std::string branch;
    std::string stockProduct;   // CDPRODESTO
    StockPlace place;           // stored as given; pass " " for none
    TDateTime date;
    char kind = 'S';            // 'E' entry, 'S' withdrawal, 'A' adjustment, 'D' return
    double quantity = 0;        // positive enters stock, negative leaves it
    double unitCost = 0;
    std::string posting;        // NRLANCESTQ of the document, or empty
    std::string item;           // NRSEQUITEM, or empty
};

struct StockPosition {
    double quantity = 0;
    double averageCost = 0;  // weighted by the entries up to the day; 0 without entries
    bool moved = false;      // any movement up to the day for the filter
};

// Appends a movement and returns its number (sequence "MOVIESTQ" of the branch).
int64_t AddMovement(db::SqlConnection& conn, const StockMovement& m);

// Locks the branch's ledger until the transaction ends (see above). Needs a write transaction.
void LockLedger(db::SqlConnection& conn, const std::string& branch);

// Recomputes SALDODIA from MOVIESTQ (migration and bulk loads).
void RebuildDailyBalances(db::SqlConnection& conn);

// Position at the end of day (time of day ignored) for the place filter.
StockPosition PositionOfDay(db::SqlConnection& conn, const std::string& branch, const std::string& stockProduct,
                            TDateTime day, const StockPlace& filter = {});

// What one document item (posting NRLANCESTQ, item NRSEQUITEM) moved of the
// product up to the end of the day within the place filter: the part of a
// position that re-posting that item replaces. 0 when it moved nothing.
double ItemQuantityOfDay(db::SqlConnection& conn, const std::string& branch, const std::string& stockProduct,
                         const std::string& posting, const std::string& item, TDateTime day,
                         const StockPlace& filter = {});

}  // namespace store
