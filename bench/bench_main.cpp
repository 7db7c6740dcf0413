// Runs every benchmark, then prints each registered figure as a ratio to its
// baseline from the same run: these machines are shared and noisy, so only
// ratios between neighbouring measurements mean anything.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "bench_support.h"

namespace {

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) {
                continue;
            }
            auto& entry = Results[run.benchmark_name()];
            entry.Seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            for (const auto& [name, counter] : run.counters) {
                entry.Counters[name] = counter.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    struct TResult {
        double Seconds = 0;
        std::map<std::string, double> Counters;
    };
    std::map<std::string, TResult> Results;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-44s %-36s %10s %10s\n", "figure", "baseline", "ratio", "target");
    for (const auto& ratio : virevi::bench::Ratios()) {
        const auto subject = reporter.Results.find(ratio.Subject);
        const auto baseline = reporter.Results.find(ratio.Baseline);
        if (subject == reporter.Results.end() || baseline == reporter.Results.end()) {
            continue;
        }
        const double value = ratio.Counter.empty()
                                 ? subject->second.Seconds / baseline->second.Seconds
                                 : subject->second.Counters[ratio.Counter] /
                                       baseline->second.Counters[ratio.Counter];
        std::printf("%-44s %-36s %9.2fx %9.2fx %s\n", ratio.Subject.c_str(), ratio.Baseline.c_str(),
                    value, ratio.Target, value <= ratio.Target ? "ok" : "OVER");
    }
    for (const auto& figure : virevi::bench::Figures()) {
        const auto subject = reporter.Results.find(figure.Subject);
        if (subject == reporter.Results.end()) {
            continue;
        }
        const double value = subject->second.Counters[figure.Counter];
        const bool ok = figure.AtLeast ? value >= figure.Target : value <= figure.Target;
        std::printf("%-44s %-36s %10.2f %10.2f %s\n", figure.Subject.c_str(),
                    figure.Counter.c_str(), value, figure.Target, ok ? "ok" : "MISSED");
    }
    benchmark::Shutdown();
    return 0;
}
