// Client datasets shaped like the withdrawal items (42 fields, two of them
// calculated), with 2,000 and 20,000 rows: copying data between datasets
// (with and without a deletion in the change log), loading the screen's
// indexed items, posting an edit on them, the cost total after a post,
// switching the dish the grid shows, a three-field case-insensitive Locate,
// and appending and posting one row.
// Each 20,000-row run is printed against its 2,000-row run.
#include "BenchSupport.h"
#include "data/ClientDataSet.h"

#include <string>

namespace {

struct FieldSpec {
    const char* name;
    TFieldType type;
    int size;
};

const FieldSpec kItemFields[] = {
    {"CDARVPROD", TFieldType::ftString, 20},    {"NMPRODUTO", TFieldType::ftString, 50},
    {"SGUNIDADE", TFieldType::ftString, 10},    {"CDTIPORETI", TFieldType::ftString, 2},
    {"NMTIPORETI", TFieldType::ftString, 30},   {"QTPREVISRETI", TFieldType::ftFloat, 0},
    {"QTEXTRARETI", TFieldType::ftFloat, 0},    {"QTDEVOLVRETI", TFieldType::ftFloat, 0},
    {"QTTOTLANCTO", TFieldType::ftFloat, 0},    {"VRUNILANCTO", TFieldType::ftFloat, 0},
    {"VRTOTLANCTO", TFieldType::ftFloat, 0},    {"CDFILIAL", TFieldType::ftString, 4},
    {"NRLANCESTQ", TFieldType::ftString, 10},   {"NRSEQUITEM", TFieldType::ftString, 4},
    {"CDPRODUTO", TFieldType::ftString, 10},    {"CDPRODMOVI", TFieldType::ftString, 10},
    {"QTLANCTOEST", TFieldType::ftFloat, 0},    {"IDTIPOMOVI", TFieldType::ftString, 1},
    {"DTLANCMOVI", TFieldType::ftDateTime, 0},  {"IDORDEMCLC", TFieldType::ftString, 1},
    {"NRRETIRADA", TFieldType::ftString, 10},   {"NRCARDAPIO", TFieldType::ftString, 10},
    {"QTRETIRADA", TFieldType::ftFloat, 0},     {"NRSEQUITRETI", TFieldType::ftString, 4},
    {"CDFILIMOVI", TFieldType::ftString, 4},    {"CDFIITLANEST", TFieldType::ftString, 4},
    {"NRLANCESTRT", TFieldType::ftString, 10},  {"NRSEQUIITRT", TFieldType::ftString, 4},
    {"CDFILIRETI", TFieldType::ftString, 4},    {"IDEVOLESTOQ", TFieldType::ftString, 1},
    {"VRQTDEANT", TFieldType::ftFloat, 0},      {"CDALMOXARIFE", TFieldType::ftString, 6},
    {"CDLOCALESTOQ", TFieldType::ftString, 6},  {"IDSTATUS", TFieldType::ftFixedChar, 1},
    {"NRLOTEESTQ", TFieldType::ftString, 20},   {"NRSUBLOTE", TFieldType::ftString, 4},
    {"CDTIPOPRAT", TFieldType::ftString, 4},    {"CDPRATO", TFieldType::ftString, 10},
    {"CDFILAUXPRAT", TFieldType::ftString, 4},  {"NMPRATO", TFieldType::ftString, 40},
};
constexpr int kGroupSize = 50;

void DeclareItems(TClientDataSet& ds) {
    ds.Name = "cdsItLanctoEst";
    for (const FieldSpec& f : kItemFields) ds.AddField(f.name, f.type, f.size);
    ds.AddField("ESTOQUEOK", TFieldType::ftBoolean, 0, TFieldKind::fkCalculated);
    ds.AddField("IDERRO", TFieldType::ftString, 1, TFieldKind::fkCalculated);
    ds.OnCalcFields = [](TDataSet& d) {
        d.FieldByName("ESTOQUEOK").SetAsBoolean(d.FieldByName("IDEVOLESTOQ").AsString() != "N");
        d.FieldByName("IDERRO").SetAsString("N");
    };
}

std::string Pad(int n, int width) {
    std::string s = std::to_string(n);
    return std::string(s.size() < static_cast<size_t>(width) ? width - s.size() : 0, '0') + s;
}

// Rows grouped by dish type and dish, 50 per group, in item order, as a server packet would bring them.
Variant ItemsData(int rows) {
    DataPacket p;
    for (const FieldSpec& f : kItemFields) p.fields.push_back({f.name, f.type, f.size});
    p.rows.reserve(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        int group = i / kGroupSize;
        VariantArray v;
        v.reserve(p.fields.size());
        for (const PacketField& f : p.fields) {
            const std::string& n = f.name;
            if (n == "CDTIPOPRAT") v.emplace_back("TP" + Pad(group % 100, 2));
            else if (n == "CDPRATO") v.emplace_back("PR" + Pad(group, 6));
            else if (n == "CDFILAUXPRAT") v.emplace_back("0001");
            else if (n == "NRSEQUITRETI") v.emplace_back(Pad(static_cast<int>(i * 9999LL / rows), 4));  // server order
            else if (n == "NMPRODUTO") v.emplace_back("Produto de teste número " + std::to_string(i));
            else if (n == "IDSTATUS") v.emplace_back("N");
            else if (n == "IDEVOLESTOQ") v.emplace_back(i % 7 ? "S" : "N");
            else if (f.type == TFieldType::ftFloat) v.emplace_back(i * 1.25);
            else if (f.type == TFieldType::ftDateTime) v.emplace_back(EncodeDate(2024, 5, 1 + i % 28));
            else v.emplace_back(std::string(n.substr(0, 2)) + std::to_string(i % 997));
        }
        p.rows.push_back({std::move(v), RowChange::Unmodified, {}});
    }
    return Variant(std::move(p));
}

void BM_AssignData(benchmark::State& state) {
    TClientDataSet source, copy;
    DeclareItems(source);
    DeclareItems(copy);
    source.SetData(ItemsData(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        copy.SetData(source.Data());
        benchmark::DoNotOptimize(copy.RecordCount());
    }
}
BENCHMARK(BM_AssignData)->Arg(bench::Size(2000))->Arg(bench::Size(20000));

// The copy taken right after an item was posted: the first Data() after a
// change packs the rows once.
void BM_AssignDataAfterEdit(benchmark::State& state) {
    TClientDataSet source, copy;
    DeclareItems(source);
    DeclareItems(copy);
    source.SetData(ItemsData(static_cast<int>(state.range(0))));
    double q = 0;
    int n = 0;
    for (auto _ : state) {
        source.SetRecNo(1 + (n * 37) % source.RecordCount());
        source.Edit();
        source.FieldByName("QTEXTRARETI").SetAsFloat(q += 1);
        source.Post();
        copy.SetData(source.Data());
        benchmark::DoNotOptimize(copy.RecordCount());
        if (++n % 50 == 0) {  // a withdrawal's worth of changes, then start over
            state.PauseTiming();
            source.CancelUpdates();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_AssignDataAfterEdit)->Arg(bench::Size(2000))->Arg(bench::Size(20000));

void BM_FilterGroup(benchmark::State& state) {
    int rows = static_cast<int>(state.range(0));
    TClientDataSet ds;
    DeclareItems(ds);
    ds.SetData(ItemsData(rows));
    ds.SetFiltered(true);
    int groups = rows / kGroupSize;
    int k = 0;
    for (auto _ : state) {
        int g = (groups / 2 + (k++ % 2)) % groups;  // alternate so each filter really changes
        ds.SetFilter("CDTIPOPRAT = '" + ("TP" + Pad(g % 100, 2)) + "' AND CDPRATO = '" + ("PR" + Pad(g, 6)) +
                     "' AND CDFILAUXPRAT = '0001'");
        if (ds.RecordCount() != kGroupSize) state.SkipWithError("wrong group size");
    }
}
BENCHMARK(BM_FilterGroup)->Arg(bench::Size(2000))->Arg(bench::Size(20000));

void BM_LocateThreeFields(benchmark::State& state) {
    int rows = static_cast<int>(state.range(0));
    TClientDataSet ds;
    DeclareItems(ds);
    ds.SetData(ItemsData(rows));
    int g = rows / kGroupSize - 2;  // near the end: most rows are looked at
    Variant key = VarArrayOf({"pr" + Pad(g, 6), "0001", "tp" + Pad(g % 100, 2)});
    for (auto _ : state) {
        if (!ds.Locate("CDPRATO;CDFILAUXPRAT;CDTIPOPRAT", key, loCaseInsensitive)) state.SkipWithError("not found");
    }
}
BENCHMARK(BM_LocateThreeFields)->Arg(bench::Size(2000))->Arg(bench::Size(20000));

void BM_AppendPost(benchmark::State& state) {
    int rows = static_cast<int>(state.range(0));
    TClientDataSet ds;
    DeclareItems(ds);
    Variant data = ItemsData(rows);
    ds.SetData(data);
    int n = 0;
    for (auto _ : state) {
        ds.Append();
        ds.FieldByName("CDARVPROD").SetAsString("NOVO");
        ds.FieldByName("QTPREVISRETI").SetAsFloat(1.5);
        ds.FieldByName("NRSEQUITRETI").SetAsString(Pad(n % 10000, 4));
        ds.Post();
        if (++n % 1000 == 0) {  // keep the dataset at its size
            state.PauseTiming();
            ds.SetData(data);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_AppendPost)->Arg(bench::Size(2000))->Arg(bench::Size(20000));


// The copy taken while the change log holds one deletion.
void BM_AssignDataWithDeletion(benchmark::State& state) {
    TClientDataSet source, copy;
    DeclareItems(source);
    DeclareItems(copy);
    source.SetData(ItemsData(static_cast<int>(state.range(0))));
    source.SetRecNo(source.RecordCount() / 2);
    source.Delete();
    for (auto _ : state) {
        copy.SetData(source.Data());
        benchmark::DoNotOptimize(copy.RecordCount());
    }
}
BENCHMARK(BM_AssignDataWithDeletion)->Arg(bench::Size(2000))->Arg(bench::Size(20000));

// The screen's items dataset is kept in item order.
void IndexItems(TClientDataSet& ds) { ds.SetIndexFieldNames("NRSEQUITRETI"); }

void BM_SetDataIndexed(benchmark::State& state) {
    TClientDataSet ds;
    DeclareItems(ds);
    IndexItems(ds);
    Variant data = ItemsData(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ds.SetData(data);
        benchmark::DoNotOptimize(ds.RecordCount());
    }
}
BENCHMARK(BM_SetDataIndexed)->Arg(bench::Size(2000))->Arg(bench::Size(20000))->Unit(benchmark::kMicrosecond);

// Editing one quantity of the item under the cursor (halfway down) and posting it.
void BM_PostIndexed(benchmark::State& state) {
    TClientDataSet ds;
    DeclareItems(ds);
    IndexItems(ds);
    ds.SetData(ItemsData(static_cast<int>(state.range(0))));
    ds.SetRecNo(ds.RecordCount() / 2);
    double q = 0;
    for (auto _ : state) {
        ds.Edit();
        ds.FieldByName("QTEXTRARETI").SetAsFloat(q += 1);
        ds.Post();
    }
}
BENCHMARK(BM_PostIndexed)->Arg(bench::Size(2000))->Arg(bench::Size(20000));

// The grid shows the items of one dish: the filter changes with the dish row.
void BM_SwitchDish(benchmark::State& state) {
    int rows = static_cast<int>(state.range(0));
    TClientDataSet ds;
    DeclareItems(ds);
    IndexItems(ds);
    ds.SetData(ItemsData(rows));
    ds.SetFiltered(true);
    int groups = std::max(1, rows / kGroupSize);
    int k = 0;
    for (auto _ : state) {
        int g = (groups / 2 + (k++ % 2)) % groups;
        ds.SetFilter("CDTIPOPRAT = '" + ("TP" + Pad(g % 100, 2)) + "' AND CDPRATO = '" + ("PR" + Pad(g, 6)) +
                     "' AND CDFILAUXPRAT = '0001'");
        benchmark::DoNotOptimize(ds.RecordCount());
    }
}
BENCHMARK(BM_SwitchDish)->Arg(bench::Size(2000))->Arg(bench::Size(20000))->Unit(benchmark::kMicrosecond);

// The cost total after an item post, as the screen takes it: the items'
// own running sum kept up, the items copied to the summing dataset,
// unfiltered, and their total value summed there.
void BM_CostTotalAfterPost(benchmark::State& state) {
    TClientDataSet items, sum;
    DeclareItems(items);
    DeclareItems(sum);
    IndexItems(items);
    items.SetData(ItemsData(static_cast<int>(state.range(0))));
    items.SetRecNo(items.RecordCount() / 2);
    double v = 0;
    int n = 0;
    for (auto _ : state) {
        items.Edit();
        items.FieldByName("VRTOTLANCTO").SetAsFloat(v += 1);
        items.Post();
        items.FieldSum(items.FieldByName("VRTOTLANCTO"));
        sum.SetData(items.Data());
        sum.SetFiltered(false);
        benchmark::DoNotOptimize(sum.FieldSum(sum.FieldByName("VRTOTLANCTO")));
        if (++n % 50 == 0) {  // a withdrawal's worth of changes, then start over
            state.PauseTiming();
            items.CancelUpdates();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_CostTotalAfterPost)->Arg(bench::Size(2000))->Arg(bench::Size(20000));

const int64_t kSmall = bench::Size(2000), kLarge = bench::Size(20000);
auto ratio = [](const char* label, const char* family, double goal) {
    return bench::AddRatio(label, bench::Name(family, kLarge), bench::Name(family, kSmall), goal);
};
const bool kRatios[] = {
    ratio("copy, clean log, 20,000 / 2,000 rows", "BM_AssignData", 1.2),
    ratio("copy, one deletion logged, 20,000 / 2,000 rows", "BM_AssignDataWithDeletion", 1.2),
    ratio("post one edit, indexed, 20,000 / 2,000 rows", "BM_PostIndexed", 1.2),
    ratio("SetData indexed, 20,000 / 2,000 rows", "BM_SetDataIndexed", 12),
    bench::AddRatio("SetData indexed, 20,000 rows", bench::Name("BM_SetDataIndexed", kLarge), "", 5),
    ratio("cost total after a post, 20,000 / 2,000 rows", "BM_CostTotalAfterPost", 1.2),
    ratio("switch the dish shown, indexed, 20,000 / 2,000 rows", "BM_SwitchDish", 0),
    bench::AddRatio("switch the dish shown, indexed, 20,000 rows", bench::Name("BM_SwitchDish", kLarge), "", 1),
};

}  // namespace

PLA_BENCH_MAIN()
