// Answers lost after the server committed, over real HTTP to a real server:
// the answer dropped whole, or the connection reset before it arrived. The
// screen sends the same call again (the same sending key) and the work is
// done once: Confirma_Lanc posts once, GravaRequisicao records one
// withdrawal, DelLancto (which has no key) finds the withdrawal gone, answers
// as a success and gives nothing back twice.
#include "LossyClient.h"
#include "ServerProcess.h"
#include "TestDatabase.h"
#include "WithdrawalDeltas.h"
#include "db/ConnectionUrl.h"
#include "store/LedgerAudit.h"

#include <gtest/gtest.h>

using namespace stockwriting;
using integrity::Loss;
using integrity::Outcome;

namespace {

class LostAnswer : public ::testing::TestWithParam<Loss> {
protected:
    void SetUp() override {
        url_ = testdb::DemoUrl();
        server_ = std::make_unique<ServerProcess>(PLA_APPSERVER, url_, ::testing::TempDir() + "lost-answer.log",
                                                  std::vector<std::string>{"--threads", "2"});
        rpc_ = std::make_unique<integrity::LossyClient>(
            "127.0.0.1", server_->Port(),
            integrity::LossyClient::SignOn("127.0.0.1", server_->Port(), store::demo::kOperator, store::demo::kPassword));
        db_ = db::OpenConnection(url_);
    }
    // The call with its answer lost, then sent again as it was: the second answer.
    Variant lostThenAgain(const std::string& method, const VariantArray& args) {
        VariantArray first = args;
        const std::string full = "Pla02000.rdmRetirada." + method;
        EXPECT_EQ(rpc_->Call(full, first, GetParam(), 0).kind, Outcome::Lost);
        // A reset connection may reach the server a moment after the client gave up on it.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        VariantArray again = args;
        Outcome o = rpc_->Call(full, again);
        EXPECT_EQ(o.kind, Outcome::Answer) << o.text;
        return o.value;
    }
    std::string one(const std::string& sql) {
        auto r = db_->Query(sql);
        return r.Empty() || r.rows[0][0].IsNull() ? "null" : text::Trim(r.rows[0][0].AsString());
    }
    double stock(const std::string& product) {
        return std::stod(one("SELECT SUM(QTMOVIESTQ) FROM MOVIESTQ WHERE CDFILIAL = '0001' AND CDPRODESTO = '" +
                             product + "' AND CDALMOXARIFE = '000001' AND CDLOCALESTOQ = 'A01'"));
    }
    std::string withdrawals() { return one("SELECT COUNT(*) FROM LANCTOEST WHERE CDFILIAL = '0001'"); }

    std::string url_;
    std::unique_ptr<ServerProcess> server_;
    std::unique_ptr<integrity::LossyClient> rpc_;
    std::unique_ptr<db::SqlConnection> db_;
};

}  // namespace

TEST_P(LostAnswer, ConfirmationAndDeletionSentAgainWorkOnce) {
    const std::string before = withdrawals();
    Header h;
    h.service = store::demo::kServiceOccasional;
    h.key = "lost-confirmation";
    Item it{"0001", "300002", 3.0, "000001", "A01"};
    const VariantArray confirm = confirmArgs(headerDelta(h), itemsDelta(h.branch, {it}), h);
    const Variant answer = lostThenAgain("Confirma_Lanc", confirm);
    ASSERT_TRUE(answer.IsPacket()) << answer.AsString();
    const auto rows = rowsOf(answer);
    const std::string posting = number(rows, "NRLANCESTQ"), withdrawal = number(rows, "NRRETIRADA");
    ASSERT_EQ(posting.size(), 10u) << ::testing::PrintToString(rows);
    EXPECT_EQ(std::stoi(withdrawals()), std::stoi(before) + 1);
    EXPECT_DOUBLE_EQ(stock("300002"), 7.0);  // 10 - 3, once
    EXPECT_EQ(one("SELECT COUNT(*) FROM MOVIESTQ WHERE NRLANCESTQ = '" + posting + "' AND CDFILIAL = '0001'"), "1");

    const VariantArray del{Variant("0001"), Variant("0001"), Variant(posting), Variant(withdrawal),
                           Variant(day(0)), Variant(day(0)), Variant("N"), Variant("0"), Variant(""),
                           Variant(day(0)), Variant("0000000000")};
    const Variant gone = lostThenAgain("DelLancto", del);
    ASSERT_TRUE(gone.IsPacket()) << gone.AsString();
    EXPECT_TRUE(gone.AsPacket().rows.empty()) << "deleted already is a success";
    EXPECT_EQ(withdrawals(), before);
    EXPECT_DOUBLE_EQ(stock("300002"), 10.0);  // given back once
    EXPECT_EQ(one("SELECT COUNT(*) FROM MOVIESTQ WHERE NRLANCESTQ = '" + posting + "' AND CDFILIAL = '0001'"), "2");
    EXPECT_TRUE(store::LedgerViolations(*db_).empty());
    EXPECT_TRUE(store::NumberingViolations(*db_, {{"0001", posting, withdrawal}}).empty());
}

TEST_P(LostAnswer, RequisitionSentAgainRecordsOneWithdrawal) {
    const std::string before = withdrawals();
    Header h;
    h.service = store::demo::kServicePlain;
    h.key = "lost-requisition";
    const Variant r = lostThenAgain("GravaRequisicao", gravaArgs(h));
    ASSERT_TRUE(r.IsArray() && r.AsArray().at(0).IsPacket()) << r.AsString();
    EXPECT_EQ(std::stoi(withdrawals()), std::stoi(before) + 1);
    EXPECT_EQ(one("SELECT COUNT(*) FROM ENVIOREQUI WHERE CDCHAVEENVIO = 'lost-requisition'"), "1");
    // The same sending once more gets the same withdrawal.
    VariantArray again = gravaArgs(h);
    Outcome third = rpc_->Call("Pla02000.rdmRetirada.GravaRequisicao", again);
    ASSERT_EQ(third.kind, Outcome::Answer);
    const DataPacket& a = r.AsArray()[0].AsPacket();
    const DataPacket& b = third.value.AsArray().at(0).AsPacket();
    EXPECT_EQ(a.rows.at(0).values.at(static_cast<size_t>(a.FieldIndex("NRLANCESTQ"))),
              b.rows.at(0).values.at(static_cast<size_t>(b.FieldIndex("NRLANCESTQ"))));
    EXPECT_EQ(std::stoi(withdrawals()), std::stoi(before) + 1);
    EXPECT_TRUE(store::NumberingViolations(*db_, {}).empty());
}

INSTANTIATE_TEST_SUITE_P(Transport, LostAnswer, ::testing::Values(Loss::DropAnswer, Loss::CutMidAnswer),
                         [](const auto& info) { return info.param == Loss::DropAnswer ? "Dropped" : "Reset"; });
