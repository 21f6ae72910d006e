#pragma once
// One simulated operator of the withdrawal screen, driving a server through a
// LossyClient with a random, seeded mix of what the screen sends: include
// (GravaRequisicao, then Confirma_Lanc with typed items or the requisition's),
// alter quantities, add an item, delete an item (a "D" item in a
// confirmation), pending update (verifitens, AtualizaEstoque) and delete
// the withdrawal (DelLancto). A call may lose its answer (LossyClient); the
// operator then sends the same call again, with the same sending key, until
// an answer comes, as the screen's retry does.
//
// It keeps a model of its own withdrawals (what it believes the server
// holds: numbers, items and quantities) and the withdrawals it deleted, for
// the checks after the run. Not thread-safe: one thread per Operator; the
// Shared part is.
#include "LossyClient.h"
#include "db/SqlConnection.h"
#include "WithdrawalDeltas.h"
#include "store/LedgerAudit.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace integrity {

// Counts and timings of a run; Merge adds another operator's.
struct Figures {
    std::map<std::string, int64_t> operations;               // by kind
    std::map<std::string, std::vector<double>> latencyMs;    // by method, answered calls
    int64_t itemsPosted = 0;  // items the server reported carried to stock
    int64_t lostAnswers = 0;  // calls whose answer was lost, then sent again
    std::vector<std::string> unexpected;  // faults and answers no well-formed call should get
    void Merge(const Figures& other);
};

// Deletions, seen by every operator and the checker: done (the server
// answered) and in flight (sent, not yet answered).
struct Deletions {
    std::mutex mutex;
    std::set<store::DeletedWithdrawal> done, inFlight;
};

// A withdrawal as its operator believes the server holds it.
struct ModelWithdrawal {
    std::string branch, posting, withdrawal;
    std::vector<stockwriting::Item> items;  // live items, change Modified
    std::set<std::string> pending;          // items not carried to stock (NRSEQUITEM)
    int next = 0;                           // last item number used
    bool parked = false;                    // kept by a refused deletion: left alone
};

struct WorkloadOptions {
    double lossRate = 0.1;      // share of writing calls whose answer is lost once
    bool cutConnections = false;// also reset the connection mid-answer (else the answer is dropped whole)
    int maxLive = 4;            // withdrawals an operator keeps open before deleting
    int maxItems = 6;           // typed items of a new withdrawal
    // Products typed per branch; none given: a fixed few, some with little stock.
    std::map<std::string, std::vector<std::string>> products;
    std::chrono::seconds retryFor{60};  // how long a lost call is sent again before the run gives up
};

// Every stock product with stock in the workload's branches (0001 at its
// storeroom 000001 / location A01, 0002 anywhere), active there: for runs
// that type many items per withdrawal.
std::map<std::string, std::vector<std::string>> StockedProducts(db::SqlConnection& conn);

class Operator {
public:
    Operator(LossyClient& rpc, Deletions& deletions, uint32_t seed, WorkloadOptions options);

    // One operation of the mix. Throws Exception when a lost call finds no
    // server for options.retryFor.
    void Step();
    // Only confirmations and deletions (the crash stream).
    void StepConfirmOrDelete();

    const Figures& Counts() const { return figures_; }
    const std::vector<ModelWithdrawal>& Withdrawals() const { return live_; }

private:
    LossyClient& rpc_;
    Deletions& deletions_;
    std::mt19937 rng_;
    WorkloadOptions o_;
    Figures figures_;
    std::vector<ModelWithdrawal> live_;
    uint32_t seed_;
    int64_t keys_ = 0;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
    std::string key();
    Outcome call(const std::string& method, VariantArray& args, bool writes);
    void unexpected(const std::string& what, const Outcome& o);

    ModelWithdrawal* pickLive(bool needTwoItems = false);
    stockwriting::Item newItem(ModelWithdrawal& w);
    bool confirm(ModelWithdrawal& w, bool isNew, const std::vector<stockwriting::Item>& sent);
    void includeTyped();
    void includeRequisition();
    void alter();
    void deleteItem();
    void update();
    void deleteWithdrawal();
};

}  // namespace integrity
