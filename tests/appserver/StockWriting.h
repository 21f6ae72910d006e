#pragma once
// What the tests of the writing methods (Confirma_Lanc, AtualizaEstoque,
// verifitens, DelLancto, GravaRequisicao, the general withdrawal's) share: a
// server over a fresh demo database, the screen's change logs built by hand
// (WithdrawalDeltas.h), and reads of what reached the database.
#include "TestDatabase.h"
#include "WithdrawalDeltas.h"
#include "AppServer.h"
#include "net/RpcProtocol.h"
#include "store/LedgerAudit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stockwriting {

struct Fixture {
    std::unique_ptr<appserver::AppServer> app;
    net::RpcHandler handler;
    std::string token;

    explicit Fixture(size_t connections = 1) {
        appserver::AppServerOptions o;
        o.log = appserver::NullLogSink();
        o.connections = connections;
        o.dbUrl = testdb::DemoUrl();
        app = std::make_unique<appserver::AppServer>(o);
        handler = app->Handler();
        token = tokenOf(store::demo::kOperator);
    }
    std::string tokenOf(const std::string& op) const {
        return app->WithDatabase([&](db::SqlConnection& c) { return app->Sessions().Open(c, op).token; });
    }
    net::RpcResult call(const std::string& method, const VariantArray& args, const std::string& as = "") const {
        return net::DecodeResponse(
            handler(net::EncodeRequest(1, std::string("Pla02000.rdmRetirada.") + method, args), as.empty() ? token : as));
    }
    std::string one(const std::string& sql) const {
        return app->WithDatabase([&](db::SqlConnection& c) {
            auto r = c.Query(sql);
            return r.Empty() || r.rows[0][0].IsNull() ? std::string("null") : text::Trim(r.rows[0][0].AsString());
        });
    }
    // The first value as a number (0 for none): read from the variant, since
    // its text has a decimal comma.
    double number(const std::string& sql) const {
        return app->WithDatabase([&](db::SqlConnection& c) {
            auto r = c.Query(sql);
            return r.Empty() || r.rows[0][0].IsNull() ? 0.0 : r.rows[0][0].AsFloat();
        });
    }
    double ledger(const std::string& branch, const std::string& posting, const std::string& item) const {
        return number("SELECT SUM(QTMOVIESTQ) FROM MOVIESTQ WHERE CDFILIAL = '" + branch + "' AND NRLANCESTQ = '" +
                      posting + "' AND NRSEQUITEM = '" + item + "'");
    }
    std::string mark(const std::string& branch, const std::string& posting, const std::string& item) const {
        return one("SELECT IDEVOLESTOQ FROM ITLANCTOEST WHERE CDFILIAL = '" + branch + "' AND NRLANCESTQ = '" + posting +
                   "' AND NRSEQUITEM = '" + item + "'");
    }
    void exec(const std::string& sql) const {
        app->WithDatabase([&](db::SqlConnection& c) { return c.Execute(sql); });
    }
    std::vector<std::string> violations() const {
        return app->WithDatabase([&](db::SqlConnection& c) { return store::LedgerViolations(c); });
    }
    // Everything the writing methods may change, as one text to compare.
    std::string footprint() const {
        std::string s;
        for (const char* t : {"LANCTOEST", "ITLANCTOEST", "RETITIPOPRAT", "CARDAPIO", "ITCARDAPIO", "MOVIESTQ",
                              "USOREQUEXTR", "ENVIOCONFIRMA", "ENVIOREQUI"})
            s += one(std::string("SELECT COUNT(*) FROM ") + t) + ",";
        return s + one("SELECT SUM(NRULTIMO) FROM NUMSEQ") + "," + one("SELECT SUM(QTMOVIDIA) FROM SALDODIA");
    }
};

}  // namespace stockwriting
