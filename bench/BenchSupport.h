#pragma once
// What every benchmark program here shares: the sizes it runs at (tiny when
// PLA_BENCH_TINY is set, as the test suite runs them so they cannot rot) and
// the ratios it prints after the runs, each measure beside its baseline of the
// same run with the goal it is held to. Times are CPU times (the machine is
// shared, wall time mostly measures the neighbours) except for runs that ask
// for real time (calls that wait on another thread). Nothing here fails on time.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace bench {

inline bool Tiny() { return std::getenv("PLA_BENCH_TINY") != nullptr; }

// n, or a twentieth of it (at least 1) when tiny.
inline int64_t Size(int64_t n) { return Tiny() ? (n >= 20 ? n / 20 : 1) : n; }

// "BM_X/20000" as Google Benchmark names the run of that argument.
inline std::string Name(const std::string& family, int64_t arg) { return family + "/" + std::to_string(arg); }

struct Ratio {
    std::string label, measure, baseline;  // no baseline: the measure's own time in ms
    double goal;  // the ratio (or ms) should stay at or under it (0: no goal, shown only)
};

inline std::vector<Ratio>& Ratios() {
    static std::vector<Ratio> all;
    return all;
}

// Registers a ratio to print; returns true so it can initialise a static.
inline bool AddRatio(std::string label, std::string measure, std::string baseline, double goal) {
    Ratios().push_back({std::move(label), std::move(measure), std::move(baseline), goal});
    return true;
}

// Run names without the suffixes Google Benchmark adds ("/real_time", ...).
inline std::string Plain(std::string name) {
    for (const char* suffix : {"/real_time", "/manual_time", "/process_time"}) {
        std::string s(suffix);
        if (auto at = name.find(s); at != std::string::npos) name.erase(at, s.size());
    }
    return name;
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions the median stands for the run (a repetition that hit a
        // busy moment of the shared machine moves it least); without, the one run.
        // A median's accumulated times are the median repetition's, over the
        // iterations every repetition made.
        for (const Run& r : runs) {
            if (r.error_occurred || r.iterations <= 0) continue;
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if (r.run_type != Run::RT_Iteration && !median) continue;
            std::string name = Plain(r.benchmark_name());
            if (median) name.erase(name.size() - std::string("_median").size());
            if (!median && medians_.count(name)) continue;
            if (median) medians_.insert(name);
            const bool real = r.benchmark_name().find("/real_time") != std::string::npos;
            times_[name] = (real ? r.real_accumulated_time : r.cpu_accumulated_time) / static_cast<double>(r.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (Ratios().empty()) return;
        std::printf("\nRatios (CPU time; real time for runs marked real_time; measure / baseline):\n");
        for (const Ratio& q : Ratios()) {
            auto m = times_.find(Plain(q.measure));
            auto b = q.baseline.empty() ? times_.end() : times_.find(Plain(q.baseline));
            if (m == times_.end() || (!q.baseline.empty() && (b == times_.end() || b->second <= 0))) {
                std::printf("  %-60s not run (%s / %s)\n", q.label.c_str(), q.measure.c_str(), q.baseline.c_str());
                continue;
            }
            if (q.baseline.empty()) {
                double ms = m->second * 1e3;
                if (q.goal > 0)
                    std::printf("  %-60s %8.3f ms  goal <= %.3f ms  %s\n", q.label.c_str(), ms, q.goal,
                                ms <= q.goal ? "met" : "MISSED");
                else
                    std::printf("  %-60s %8.3f ms\n", q.label.c_str(), ms);
                continue;
            }
            double ratio = m->second / b->second;
            if (q.goal > 0)
                std::printf("  %-60s %8.2fx  goal <= %.2fx  %s\n", q.label.c_str(), ratio, q.goal,
                            ratio <= q.goal ? "met" : "MISSED");
            else
                std::printf("  %-60s %8.2fx\n", q.label.c_str(), ratio);
        }
    }

private:
    std::map<std::string, double> times_;
    std::set<std::string> medians_;
};

inline int Main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench

#define PLA_BENCH_MAIN() \
    int main(int argc, char** argv) { return bench::Main(argc, argv); }
