// The codec's speed each way over note-like text: mostly double-byte
// characters with ASCII and line breaks between them.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "bench_support.h"
#include "runtime/shift_jis.h"

namespace {

const std::string& SampleBytes() {
    static const std::string bytes = [] {
        const std::u16string words[] = {u"漢字かな交じり文",
                                        u"ＭＳ ゴシック",
                                        u"note 12345",
                                        u"ｶﾀｶﾅ",
                                        u"、。",
                                        u"\r\n",
                                        u"表示",
                                        u"plain ascii text "};
        std::mt19937 rng(7);
        std::u16string text;
        while (text.size() < 8u << 20) {
            text += words[rng() % std::size(words)];
        }
        return virevi::EncodeShiftJis(text);
    }();
    return bytes;
}

void SetRate(benchmark::State& state, std::size_t bytes) {
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(bytes) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}

void BM_DecodeShiftJis(benchmark::State& state) {
    const std::string& bytes = SampleBytes();
    for (auto _ : state) {
        std::u16string text = virevi::DecodeShiftJis(bytes);
        benchmark::DoNotOptimize(text.data());
    }
    SetRate(state, bytes.size());
}
BENCHMARK(BM_DecodeShiftJis)->Unit(benchmark::kMillisecond);

void BM_EncodeShiftJis(benchmark::State& state) {
    const std::u16string text = virevi::DecodeShiftJis(SampleBytes());
    for (auto _ : state) {
        std::string bytes = virevi::EncodeShiftJis(text);
        benchmark::DoNotOptimize(bytes.data());
    }
    // The rate counts Shift-JIS bytes, the same measure as decoding.
    SetRate(state, SampleBytes().size());
}
BENCHMARK(BM_EncodeShiftJis)->Unit(benchmark::kMillisecond);

const int decodeFigure = virevi::bench::AddFigure("BM_DecodeShiftJis", "MB/s", 200, true);
const int encodeFigure = virevi::bench::AddFigure("BM_EncodeShiftJis", "MB/s", 200, true);

} // namespace
