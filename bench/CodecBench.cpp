// Cost of the wire encoding: packets of the size the item grid carries, and a
// whole call through the in-process transport (encode, decode, answer, decode).
#include "core/Packet.h"
#include "net/InProcessTransport.h"
#include "net/NetConnection.h"
#include "net/RpcProtocol.h"
#include "net/VariantJson.h"

#include <benchmark/benchmark.h>

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
BENCHMARK(BM_EncodePacket)->Arg(20)->Arg(500)->Arg(5000);

void BM_DecodePacket(benchmark::State& state) {
    std::string text = net::EncodeVariant(Variant(itemPacket(static_cast<int>(state.range(0)), false)));
    for (auto _ : state) benchmark::DoNotOptimize(net::DecodeVariant(text));
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DecodePacket)->Arg(20)->Arg(500)->Arg(5000);

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

}  // namespace
BENCHMARK_MAIN();
