#pragma once
// What the tests of the stock-writing methods (Confirma_Lanc, AtualizaEstoque,
// verifitens, DelLancto) share: a server over a fresh demo database, the
// screen's change logs built by hand, and reads of what reached the database.
#include "TestDatabase.h"
#include "AppServer.h"
#include "core/Text.h"
#include "modules/Datasets.h"
#include "net/RpcProtocol.h"
#include "store/DemoData.h"
#include "store/LedgerAudit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stockwriting {

inline TDateTime day(int offset) { return IncDay(Date(), offset); }

// Demo item products (appserver/store/DemoItems.cpp): stock entered on P-5.
inline constexpr const char* kStock5 = "300001";   // 5 KG; in 0001 at 000001/A01
inline constexpr const char* kStock10 = "300002";  // 10 KG; in 0001 at 000001/A01

// One item of the items' change log.
struct Item {
    std::string seq, product;
    double consumed = 0;
    std::string storeroom = " ", location = " ";
    RowChange change = RowChange::Inserted;
    std::string status = "N";
    std::string posting = "NOVOCODRET", withdrawal = "NOVOCODRET";
    std::string dishType, dish, dishBranch;
};

// The header of a withdrawal (one row of cdsLanctoEst's change log).
struct Header {
    std::string branch = store::demo::kBranchLocations, service = store::demo::kServicePlain;
    int dayOffset = 0;
    std::string posting = "NOVOCODRET", withdrawal = "NOVOCODRET", menu = "NOVOCODRET";
    std::string requisition = "0000000000", key;
    RowChange change = RowChange::Inserted;
};

inline void set(const DataPacket& p, PacketRow& row, const char* f, Variant v) {
    const int i = p.FieldIndex(f);
    if (i < 0) throw std::runtime_error(std::string("no field ") + f);
    row.values[static_cast<size_t>(i)] = std::move(v);
}

inline Variant headerDelta(const Header& h) {
    DataPacket p;
    p.fields = appserver::datasets::LanctoEst();
    PacketRow row;
    row.change = h.change;
    row.values.resize(p.fields.size());
    for (const char* f : {"CDFILIAL", "CDFILIMOVI"}) set(p, row, f, Variant(h.branch));
    set(p, row, "NRLANCESTQ", Variant(h.posting));
    set(p, row, "NRRETIRADA", Variant(h.withdrawal));
    set(p, row, "NRCARDAPIO", Variant(h.menu));
    set(p, row, "CDSERVFILI", Variant(h.service));
    set(p, row, "DTLANCESTQ", Variant(day(h.dayOffset)));
    set(p, row, "DTCARDAPIO", Variant(day(h.dayOffset)));
    set(p, row, "NRREQUEXTRRE", Variant(h.requisition));
    set(p, row, "CDCHAVEENVIO", h.key.empty() ? Variant() : Variant(h.key));
    if (h.change == RowChange::Modified) row.original = row.values;
    p.rows.push_back(std::move(row));
    return Variant(std::move(p));
}

inline Variant itemsDelta(const std::string& branch, const std::vector<Item>& items) {
    if (items.empty()) return Variant();
    DataPacket p;
    p.fields = appserver::datasets::ItLanctoEst();
    for (const Item& it : items) {
        PacketRow row;
        row.change = it.change;
        row.values.resize(p.fields.size());
        for (const char* f : {"CDFILIAL", "CDFILIMOVI"}) set(p, row, f, Variant(branch));
        set(p, row, "NRLANCESTQ", Variant(it.posting));
        set(p, row, "NRRETIRADA", Variant(it.withdrawal));
        set(p, row, "NRSEQUITEM", Variant(it.seq));
        set(p, row, "NRSEQUITRETI", Variant(it.seq));
        set(p, row, "CDPRODUTO", Variant(it.product));
        set(p, row, "CDPRODMOVI", Variant(it.product));
        set(p, row, "CDTIPORETI", Variant("01"));
        set(p, row, "QTPREVISRETI", Variant(it.consumed));
        set(p, row, "QTEXTRARETI", Variant(0.0));
        set(p, row, "QTDEVOLVRETI", Variant(0.0));
        set(p, row, "QTTOTLANCTO", Variant(it.consumed));
        set(p, row, "QTRETIRADA", Variant(it.consumed));
        set(p, row, "QTLANCTOEST", Variant(it.consumed));
        set(p, row, "VRUNILANCTO", Variant(1.0));
        set(p, row, "VRTOTLANCTO", Variant(it.consumed));
        set(p, row, "IDEVOLESTOQ", Variant("N"));
        set(p, row, "IDSTATUS", Variant(it.status));
        set(p, row, "IDTIPOMOVI", Variant("3"));
        set(p, row, "IDORDEMCLC", Variant("9"));
        set(p, row, "CDALMOXARIFE", Variant(it.storeroom));
        set(p, row, "CDLOCALESTOQ", Variant(it.location));
        set(p, row, "NRLOTEESTQ", Variant(" "));
        set(p, row, "NRSUBLOTE", Variant(" "));
        if (!it.dish.empty()) {
            set(p, row, "CDTIPOPRAT", Variant(it.dishType));
            set(p, row, "CDPRATO", Variant(it.dish));
            set(p, row, "CDFILAUXPRAT", Variant(it.dishBranch));
        }
        if (it.change != RowChange::Inserted) row.original = row.values;
        p.rows.push_back(std::move(row));
    }
    return Variant(std::move(p));
}

// The fifteen arguments of Confirma_Lanc.
inline VariantArray confirmArgs(const Variant& header, const Variant& items, const Header& h,
                                const std::string& ignore = "0", const std::string& permNeg = "N") {
    return {header,
            items,
            Variant("N"),
            Variant(h.branch),
            Variant(h.branch),
            Variant(h.menu),
            Variant(h.posting),
            Variant(h.withdrawal),
            Variant("S"),
            Variant(permNeg),
            Variant(day(h.dayOffset)),
            Variant(day(0)),
            Variant(ignore),
            Variant(h.service),
            Variant(day(h.dayOffset))};
}

// One result row of cdsRetorno.
struct Row {
    std::string key, object, object2, object3;
    bool operator==(const Row&) const = default;
};
inline std::ostream& operator<<(std::ostream& o, const Row& r) {
    return o << r.key << "(" << r.object << "," << r.object2 << "," << r.object3 << ")";
}

inline std::vector<Row> rowsOf(const Variant& v) {
    std::vector<Row> out;
    if (!v.IsPacket()) return out;
    for (const PacketRow& r : v.AsPacket().rows)
        out.push_back({text::Trim(r.values.at(0).AsString()), text::Trim(r.values.at(1).AsString()),
                       text::Trim(r.values.at(2).AsString()), text::Trim(r.values.at(3).AsString())});
    return out;
}
inline std::string number(const std::vector<Row>& rows, const std::string& key) {
    for (const Row& r : rows)
        if (r.key == key) return r.object;
    return "(none)";
}
inline std::vector<Row> errorsOf(const std::vector<Row>& rows) {
    std::vector<Row> out;
    for (const Row& r : rows)
        if (r.key.rfind("NR", 0) != 0) out.push_back(r);
    return out;
}

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
    double number(const std::string& sql) const {
        const std::string s = one(sql);
        return s == "null" ? 0.0 : std::stod(s);
    }
    double ledger(const std::string& branch, const std::string& posting, const std::string& item) const {
        return number("SELECT SUM(QTMOVIESTQ) FROM MOVIESTQ WHERE CDFILIAL = '" + branch + "' AND NRLANCESTQ = '" +
                      posting + "' AND NRSEQUITEM = '" + item + "'");
    }
    std::string mark(const std::string& branch, const std::string& posting, const std::string& item) const {
        return one("SELECT IDEVOLESTOQ FROM ITLANCTOEST WHERE CDFILIAL = '" + branch + "' AND NRLANCESTQ = '" + posting +
                   "' AND NRSEQUITEM = '" + item + "'");
    }
    std::vector<std::string> violations() const {
        return app->WithDatabase([&](db::SqlConnection& c) { return store::LedgerViolations(c); });
    }
    // Everything the writing methods may change, as one text to compare.
    std::string footprint() const {
        std::string s;
        for (const char* t : {"LANCTOEST", "ITLANCTOEST", "RETITIPOPRAT", "CARDAPIO", "MOVIESTQ", "USOREQUEXTR",
                              "ENVIOCONFIRMA"})
            s += one(std::string("SELECT COUNT(*) FROM ") + t) + ",";
        return s + one("SELECT SUM(NRULTIMO) FROM NUMSEQ") + "," + one("SELECT SUM(QTMOVIDIA) FROM SALDODIA");
    }
};

}  // namespace stockwriting
