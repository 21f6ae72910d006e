#pragma once
// Carrying withdrawal items to stock and back, shared by the confirmation,
// the pending stock update and the deletion. The ledger alone says what an
// item has posted (store::MovementsToTarget): an item marked carried
// (IDEVOLESTOQ "S") holds minus its stock quantity QTLANCTOEST, any other
// item holds nothing. Runs inside the caller's write transaction; the caller
// locks the branch's ledger first (store::LockLedger) so that the positions
// checked here cannot change before the movements land.
#include "core/Packet.h"
#include "db/SqlConnection.h"
#include "store/StockLedger.h"

#include <string>
#include <vector>

namespace appserver {

// Result-row keys (cdsRetorno.CDERRO).
inline constexpr const char* kIrregular = "LIB00200_3";       // a daily position would go negative
inline constexpr const char* kInventory = "LIB00200_4";       // inventory pending for the product
inline constexpr const char* kInactive = "PLA02000_1";        // product inactive for the branch
inline constexpr const char* kNoStockControl = "PLA02000_2";  // product does not control stock

// The result list of a save or a deletion: rows of CDERRO, CDOBJETO,
// CDOBJETO2, CDOBJETO3 (datasets::Retorno).
class ResultRows {
public:
    void Add(const std::string& key, const std::string& object, const std::string& object2 = "",
             const std::string& object3 = "");
    bool Has(const std::string& key) const;
    // Error rows, without the rows of generated numbers.
    size_t Errors() const;
    DataPacket Packet() const;

private:
    struct Row {
        std::string key, object, object2, object3;
    };
    std::vector<Row> rows_;
};

// The rules a posting of the branch runs under. Never the client's belief of
// them: negativeAllowed is the branch's stored IDPERMESTNEG.
struct PostingRules {
    std::string branch;
    TDateTime endDay;             // positions are checked from each movement's day through this day
    bool negativeAllowed = false; // PARAMESTOQUE.IDPERMESTNEG = "S"
    bool branchControlsStock = true;  // PARAMESTOQUE.IDCTRLESTQ = "S"
    std::string ignoreList;       // "0" accepts nothing; "#KEY#" accepts KEY
    // The branch's open inventories (INVENTARIO "A"), read once: a general
    // one (no product list) has an empty stock product.
    struct OpenInventory {
        TDateTime day;
        std::string stockProduct, storeroom, location;
    };
    std::vector<OpenInventory> inventories;

    // The key framed by "#" occurs in the ignore list.
    bool Accepted(const std::string& key) const;
    // An irregular position may be posted: accepted through the ignore list
    // and allowed by the branch.
    bool IrregularPosted() const { return negativeAllowed && Accepted(kIrregular); }
    // What the client takes for a failure (its accepted-error test, counting
    // error rows only): an irregular row unless accepted or allowed, or any
    // other error row not accepted.
    bool Refused(const ResultRows& rows) const;
};

// Reads the branch's rules (PARAMESTOQUE); Fail when the branch has none.
PostingRules ReadPostingRules(db::SqlConnection& conn, const std::string& branch, TDateTime endDay,
                              const std::string& ignoreList);

// One stored item (ITLANCTOEST row) as the ledger sees it.
struct StoredItem {
    std::string posting, item;      // NRLANCESTQ, NRSEQUITEM
    std::string product;            // CDPRODUTO, named in result rows
    std::string stockProduct;       // CDPRODESTO of the product
    store::StockPlace place;        // as stored (" " for none)
    TDateTime day;                  // the withdrawal's date
    double stockQuantity = 0;       // QTLANCTOEST (stock units), >= 0
    double unitCost = 0;            // VRUNILANCTO, per stock unit
    bool carried = false;           // IDEVOLESTOQ = "S"
    bool productActive = true;      // PRODFILI.IDPRODATIV is not "I"
    bool controlsStock = true;      // PRODUTO.IDCNTRESTOQ = "S"
};

// The stored items of a posting (all of them, or the one numbered `item`).
std::vector<StoredItem> ReadStoredItems(db::SqlConnection& conn, const std::string& branch,
                                        const std::string& posting, const std::string& item = "");

enum class Settled { Posted, Refused };

// Brings the ledger of the item to its stock quantity (from `held`, what the
// ledger holds for it, when the caller read it: store::PostingHoldings). A product inactive for
// the branch, one without stock control (when it moves stock), a pending
// inventory, or a daily position that would go negative (unless
// rules.IrregularPosted()) refuse the item: its row is added and the ledger
// is brought to nothing for it instead (what it held returns to stock).
// The caller marks the item (IDEVOLESTOQ "S" when posted, "N" when refused:
// MarkCarried, or the row it writes).
Settled SettleItem(db::SqlConnection& conn, const PostingRules& rules, const StoredItem& item, ResultRows& rows,
                   const std::vector<store::Holding>* held = nullptr);

// IDEVOLESTOQ of the stored item: "S" when carried, else "N".
void MarkCarried(db::SqlConnection& conn, const std::string& branch, const StoredItem& item, bool carried);

// Reverses everything the ledger holds for the item (its removal). Refused,
// posting nothing, when a reversal would take stock a daily position no
// longer has (unless rules.IrregularPosted()) or an inventory is pending:
// the row is added and the caller keeps the item.
Settled ReverseItem(db::SqlConnection& conn, const PostingRules& rules, const StoredItem& item, ResultRows& rows);

}  // namespace appserver
