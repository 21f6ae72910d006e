#pragma once
// The screen's change logs and arguments of the stock-writing methods, built
// by hand: for the tests of those methods and the integrity load driver.
// Needs appserver_core (the datasets' fields). No test framework.
#include "core/Text.h"
#include "modules/Datasets.h"
#include "store/DemoData.h"

#include <ostream>
#include <stdexcept>
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
    std::string dishType = {}, dish = {}, dishBranch = {};  // initialised: brace-built items leave them out
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

// The fifteen arguments of GravaRequisicao for a new header (h.change
// Inserted), its requisition and day, aggregating by the whole product code.
inline VariantArray gravaArgs(const Header& h, const std::string& permNeg = "N") {
    return {headerDelta(h),        Variant("N"),           Variant(h.branch),       Variant(h.branch),
            Variant(h.menu),       Variant("S"),           Variant(permNeg),        Variant(h.service),
            Variant(h.requisition), Variant(0),            Variant(day(h.dayOffset)), Variant("01"),
            Variant(day(h.dayOffset)), Variant(day(h.dayOffset)), Variant(day(0).Val)};
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

}  // namespace stockwriting
