// Cost of the wire encoding: packets of the size the item grid carries, each
// beside the general JSON library reading (parse) or writing (dump) the same
// text, and a whole call through the in-process transport (encode, decode,
// answer, decode).
#include "BenchSupport.h"
#include "core/Packet.h"
#include "net/JsonReference.h"
#include "net/InProcessTransport.h"
#include "net/NetConnection.h"
#include "net/RpcProtocol.h"
#include "net/VariantJson.h"


namespace {

DataPacket itemPacket(int rows, bool delta) {
    DataPacket p;
    for (const char* n : {"CDFILIAL", "NRLANCESTQ", "NRSEQUITEM", "CDPRODUTO", "NMPRODUTO", "CDALMOXARIFE"})
        p.fields.push_back({n, TFieldType::ftString, 20});
    for (const char* n : {"QTPREVISRETI", "QTEXTRARETI", "QTDEVOLVRETI", "QTTOTLANCTO", "VRUNILANCTO"})
        p.fields.push_back({n, TFieldType::ftFloat, 0});
    p.fields.push_back({"DTLANCMOVI", TFieldType::ftDateTime, 0});
    for (int i = 0; i < rows; ++i) {
        PacketRow r;
        r.values = {Variant("0001"), Variant("0000000123"), Variant(std::to_string(i)), Variant("1000" + std::to_string(i)),
                    Variant("ARROZ AGULHINHA TIPO 1"), Variant("000001"), Variant(i * 1.5), Variant(0.25), Variant(0.0),
                    Variant(i * 1.75), Variant(4.3197), Variant(EncodeDate(2024, 5, 1 + i % 28))};
        if (delta) {
            r.change = i % 3 == 0 ? RowChange::Inserted : RowChange::Modified;
            if (r.change == RowChange::Modified) r.original = r.values;
        }
        p.rows.push_back(std::move(r));
    }
    return p;
}

void BM_EncodePacket(benchmark::State& state) {
    Variant v(itemPacket(static_cast<int>(state.range(0)), false));
    for (auto _ : state) benchmark::DoNotOptimize(net::EncodeVariant(v));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EncodePacket)->Arg(20)->Arg(500)->Arg(bench::Size(5000));

void BM_DecodePacket(benchmark::State& state) {
    std::string text = net::EncodeVariant(Variant(itemPacket(static_cast<int>(state.range(0)), false)));
    for (auto _ : state) benchmark::DoNotOptimize(net::DecodeVariant(text));
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DecodePacket)->Arg(20)->Arg(500)->Arg(bench::Size(5000));

// The same text read by the general library into its own tree (no variants made).
void BM_ReferenceParse(benchmark::State& state) {
    std::string text = net::EncodeVariant(Variant(itemPacket(static_cast<int>(state.range(0)), false)));
    for (auto _ : state) net::ReferenceJson::ParseOnly(text);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReferenceParse)->Arg(bench::Size(5000));

// The general library writing the same packet's text from its tree.
void BM_ReferenceDump(benchmark::State& state) {
    net::ReferenceJson tree(net::EncodeVariant(Variant(itemPacket(static_cast<int>(state.range(0)), false))));
    for (auto _ : state) benchmark::DoNotOptimize(tree.Dump());
}
BENCHMARK(BM_ReferenceDump)->Arg(bench::Size(5000));

void BM_DeltaRoundTrip(benchmark::State& state) {
    Variant v(itemPacket(static_cast<int>(state.range(0)), true));
    for (auto _ : state) benchmark::DoNotOptimize(net::DecodeVariant(net::EncodeVariant(v)));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DeltaRoundTrip)->Arg(20)->Arg(500);

// A call whose answer is a packet of range(0) rows, through the in-process transport.
void BM_InProcessCall(benchmark::State& state) {
    Variant answer(itemPacket(static_cast<int>(state.range(0)), false));
    net::RegisterInProcessServer("bench", [&answer](const std::string& body, const std::string&) {
        net::RpcRequest r = net::DecodeRequest(body);
        net::RpcResult res;
        res.value = answer;
        return net::EncodeResult(r.id, res);
    });
    TNetConnection c("netRetirada", "Pla02000.rdmRetirada");
    c.Host = "inproc://bench";
    c.Open();
    for (auto _ : state) {
        VariantArray args{Variant("0001"), Variant("0000000123")};
        benchmark::DoNotOptimize(c.Call("GetItLanctoEst", args));
    }
    net::UnregisterInProcessServer("bench");
}
BENCHMARK(BM_InProcessCall)->Arg(1)->Arg(500);

const bool kRatios[] = {
    bench::AddRatio("decode / library parse, 5,000-row packet (goal: 1.5x faster)",
                    bench::Name("BM_DecodePacket", bench::Size(5000)), bench::Name("BM_ReferenceParse", bench::Size(5000)),
                    1 / 1.5),
    bench::AddRatio("encode / library dump, 5,000-row packet (goal: 1.5x faster)",
                    bench::Name("BM_EncodePacket", bench::Size(5000)), bench::Name("BM_ReferenceDump", bench::Size(5000)),
                    1 / 1.5),
};

}  // namespace
PLA_BENCH_MAIN()
