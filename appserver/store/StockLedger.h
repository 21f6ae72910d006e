#pragma once
// The stock ledger (table MOVIESTQ): signed movements of a branch's stock
// products by storeroom, location, lot and sub-lot. Each movement also adds to
// its day's balance (table SALDODIA) and to the running balances kept on it
// (the place's position at the end of that day and of every later day it
// moved), and to the place's whole balance (table SALDOLOCAL, which lists the
// places a product moved in). The position of a day is then one index seek
// per place, whatever the history; a movement dated back shifts the running
// balances of the later days of its place. Write movements only through
// AddMovement (or call RebuildDailyBalances after writing MOVIESTQ directly).
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

#include <map>
#include <string>
#include <vector>

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

// Appends a movement and returns its number (sequence "MOVIESTQ" of the
// branch). On its own it runs in a transaction of its own; inside a caller's
// transaction it writes there, and a failure is the caller's to roll back.
int64_t AddMovement(db::SqlConnection& conn, const StockMovement& m);

// Locks the branch's ledger until the transaction ends (see above). Needs a write transaction.
void LockLedger(db::SqlConnection& conn, const std::string& branch);

// Recomputes SALDODIA (daily and running balances) and SALDOLOCAL from
// MOVIESTQ (migration and bulk loads); reads the ledger a page at a time.
void RebuildDailyBalances(db::SqlConnection& conn);

// Position at the end of day (time of day ignored) for the place filter.
StockPosition PositionOfDay(db::SqlConnection& conn, const std::string& branch, const std::string& stockProduct,
                            TDateTime day, const StockPlace& filter = {});

// The same position's quantity as SQL, for a query that reads positions of
// many products at once: a scalar subquery of the branch and stock product
// expressions (columns or parameters of the caller's query) at the end of the
// day in parameter `dayParam` (a date, no time), over the whole stock; NULL
// when nothing moved up to that day.
std::string PositionQuantitySql(const std::string& branch, const std::string& stockProduct,
                                const std::string& dayParam);

// What one document item (posting NRLANCESTQ, item NRSEQUITEM) moved of the
// product up to the end of the day within the place filter: the part of a
// position that re-posting that item replaces. 0 when it moved nothing.
double ItemQuantityOfDay(db::SqlConnection& conn, const std::string& branch, const std::string& stockProduct,
                         const std::string& posting, const std::string& item, TDateTime day,
                         const StockPlace& filter = {});

// What the ledger holds for one document item (posting NRLANCESTQ, item
// NRSEQUITEM) of the branch, by stock product, place (as stored) and whole
// day; places and days where its movements cancel out are left out.
struct Holding {
    std::string stockProduct;
    StockPlace place;
    TDateTime day;
    double quantity = 0;
};
std::vector<Holding> ItemHoldings(db::SqlConnection& conn, const std::string& branch, const std::string& posting,
                                  const std::string& item);

// What the ledger holds for every item of a posting, by item number (items
// that hold nothing are absent): ItemHoldings for all of them in one read.
std::map<std::string, std::vector<Holding>> PostingHoldings(db::SqlConnection& conn, const std::string& branch,
                                                            const std::string& posting);

// Where a document item's stock should stand: quantity (signed, stock units;
// 0 for nothing) of the stock product at the place on the day.
struct ItemTarget {
    std::string stockProduct;
    StockPlace place;  // " " or "" for none
    TDateTime day;
    double quantity = 0;
    double unitCost = 0;
};

// The movements that bring what the ledger holds for the item to the target,
// computed from the ledger alone (never from what a client believes was
// posted): each holding at another product, place or day is reversed on its
// own day, and the target's key gets target minus what it holds there. Empty
// when the ledger already stands at the target. Kinds: 'S' for what leaves
// stock, 'D' for what returns to it. Reads only; post them with AddMovement.
std::vector<StockMovement> MovementsToTarget(db::SqlConnection& conn, const std::string& branch,
                                             const std::string& posting, const std::string& item,
                                             const ItemTarget& target);

// The same from holdings the caller read (ItemHoldings or PostingHoldings).
std::vector<StockMovement> MovementsToTarget(const std::vector<Holding>& held, const std::string& branch,
                                             const std::string& posting, const std::string& item,
                                             const ItemTarget& target);

// The lowest end-of-day position of the stock product within the place
// filter over the whole days from `from` through `to` (only `from` when `to`
// is earlier). A product that never moved stands at 0.
double LowestPosition(db::SqlConnection& conn, const std::string& branch, const std::string& stockProduct,
                      TDateTime from, TDateTime to, const StockPlace& filter = {});

// The sum of every movement of a document item in the branch (0 when none).
double ItemLedgerTotal(db::SqlConnection& conn, const std::string& branch, const std::string& posting,
                       const std::string& item);

}  // namespace store
