// The outline tree on generated documents of 10,000 to 1,000,000 items:
// building, reading and writing its file, and single edits as the main window
// makes them, each followed by what the window reads after every command.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "document_generator.h"
#include "outline/custom_outline.h"

namespace virevi::bench {
namespace {

constexpr std::uint32_t Seed = 20010920;

struct TDocument {
    TCustomOutline Outline;
    std::string File;
};

TDocument& Document(std::size_t items) {
    static std::map<std::size_t, std::unique_ptr<TDocument>> documents;
    auto& slot = documents[items];
    if (!slot) {
        slot = std::make_unique<TDocument>();
        BuildOutline(slot->Outline, GenerateLevels(items, Seed), Seed);
        slot->File = ScratchDir() + "/outline" + std::to_string(items) + ".Trr";
        slot->Outline.SaveOutline(slot->File);
    }
    return *slot;
}

void BM_OutlineBuild(benchmark::State& state) {
    const auto items = static_cast<std::size_t>(state.range(0));
    const auto levels = GenerateLevels(items, Seed);
    double bytesPerItem = 0;
    for (auto _ : state) {
        const std::size_t before = HeapInUse();
        auto outline = std::make_unique<TCustomOutline>();
        const std::size_t captions = BuildOutline(*outline, levels, Seed);
        bytesPerItem = (static_cast<double>(HeapInUse() - before) - static_cast<double>(captions)) /
                       static_cast<double>(items);
        state.PauseTiming();
        outline.reset();
        state.ResumeTiming();
    }
    state.counters["bytes_per_item"] = bytesPerItem;
    state.counters["seconds"] =
        benchmark::Counter(static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_OutlineBuild)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
static const int BuildTime = AddFigure("BM_OutlineBuild/1000000/iterations:3", "seconds", 1, false);
static const int BuildMemory =
    AddFigure("BM_OutlineBuild/1000000/iterations:3", "bytes_per_item", 80, false);

void BM_OutlineLoad(benchmark::State& state) {
    TDocument& document = Document(static_cast<std::size_t>(state.range(0)));
    TCustomOutline outline;
    for (auto _ : state) {
        outline.LoadOutline(document.File);
    }
}
BENCHMARK(BM_OutlineLoad)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_OutlineReadFileBaseline(benchmark::State& state) {
    TDocument& document = Document(static_cast<std::size_t>(state.range(0)));
    std::vector<char> bytes(static_cast<std::size_t>(
        std::ifstream(document.File, std::ios::binary | std::ios::ate).tellg()));
    for (auto _ : state) {
        const int handle = ::open(document.File.c_str(), O_RDONLY);
        benchmark::DoNotOptimize(::read(handle, bytes.data(), bytes.size()));
        ::close(handle);
    }
}
BENCHMARK(BM_OutlineReadFileBaseline)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);
static const int LoadRatio =
    AddRatio("BM_OutlineLoad/1000000", "BM_OutlineReadFileBaseline/1000000", 3);

void BM_OutlineSave(benchmark::State& state) {
    TDocument& document = Document(static_cast<std::size_t>(state.range(0)));
    const std::string file = document.File + ".saved";
    for (auto _ : state) {
        document.Outline.SaveOutline(file);
    }
}
BENCHMARK(BM_OutlineSave)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_OutlineWriteFileBaseline(benchmark::State& state) {
    TDocument& document = Document(static_cast<std::size_t>(state.range(0)));
    std::ifstream in(document.File, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string file = document.File + ".raw";
    for (auto _ : state) {
        const int handle = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        benchmark::DoNotOptimize(::write(handle, bytes.data(), bytes.size()));
        ::close(handle);
    }
}
BENCHMARK(BM_OutlineWriteFileBaseline)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);
static const int SaveRatio =
    AddRatio("BM_OutlineSave/1000000", "BM_OutlineWriteFileBaseline/1000000", 3);

/// One edit and its undo; only the edit and the reads after it are timed.
struct TEdit {
    const char* Name;
    void (*Do)(TCustomOutline&, std::int32_t);
    void (*Undo)(TCustomOutline&, std::int32_t);
};

std::int32_t LastTop(TCustomOutline& outline) {
    TOutlineNode* root = outline.RootItem();
    return root->Child(root->ChildCount() - 1)->Index();
}

const TEdit Edits[] = {
    {"InsertBefore1", [](TCustomOutline& o, std::int32_t) { o.InsertBefore(1, " "); },
     [](TCustomOutline& o, std::int32_t) { o.DeleteItem(1); }},
    {"AddAtEnd", [](TCustomOutline& o, std::int32_t) { o.AddSibling(0, " "); },
     [](TCustomOutline& o, std::int32_t) { o.DeleteItem(o.TotalItems()); }},
    {"Delete", [](TCustomOutline& o, std::int32_t) { o.DeleteItem(o.TotalItems()); },
     [](TCustomOutline& o, std::int32_t) { o.AddSibling(0, " "); }},
    {"LevelRight", [](TCustomOutline& o, std::int32_t) { o.ItemAt(LastTop(o))->ShiftLevel(1); },
     [](TCustomOutline& o, std::int32_t) { o.ItemAt(o.TotalItems())->ShiftLevel(-1); }},
    {"LevelLeft", [](TCustomOutline& o, std::int32_t k) { o.ItemAt(k)->ShiftLevel(-1); },
     [](TCustomOutline& o, std::int32_t k) { o.ItemAt(k)->ShiftLevel(1); }},
    {"Expand", [](TCustomOutline& o, std::int32_t) { o.ItemAt(1)->SetExpanded(true); },
     [](TCustomOutline& o, std::int32_t) { o.ItemAt(1)->SetExpanded(false); }},
    {"Collapse", [](TCustomOutline& o, std::int32_t) { o.ItemAt(1)->SetExpanded(false); },
     [](TCustomOutline& o, std::int32_t) { o.ItemAt(1)->SetExpanded(true); }},
    {"Move",
     [](TCustomOutline& o, std::int32_t) {
         o.ItemAt(LastTop(o))->MoveItem(1, TAttachMode::amBefore);
     },
     [](TCustomOutline& o, std::int32_t) { o.ItemAt(1)->MoveItem(1, TAttachMode::amLastSibling); }},
};

void BM_OutlineEdit(benchmark::State& state) {
    const TEdit& edit = Edits[state.range(0)];
    TDocument& document = Document(static_cast<std::size_t>(state.range(1)));
    TCustomOutline& outline = document.Outline;
    outline.SetSelectedIndex(1);
    outline.ItemAt(1)->SetExpanded(edit.Do == Edits[6].Do);
    // A last child of the first top-level item from the middle on that has
    // children, for the left shift (it keeps its position, so the undo finds it).
    TOutlineNode* root = outline.RootItem();
    std::int32_t top = root->ChildCount() / 2;
    while (top + 1 < root->ChildCount() && !root->Child(top)->HasChildren()) {
        ++top;
    }
    outline.SetSelectedIndex(root->Child(top)->Index());
    TOutlineNode* middle = outline.ItemAt(outline.SelectedIndex());
    std::int32_t child = 0;
    if (middle->HasChildren()) {
        middle->SetExpanded(true);
        child = middle->Child(middle->ChildCount() - 1)->Index();
    }
    if (edit.Do == Edits[4].Do && child == 0) {
        state.SkipWithError("no child to shift");
        return;
    }
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        edit.Do(outline, child);
        benchmark::DoNotOptimize(outline.TotalItems());
        benchmark::DoNotOptimize(outline.SelectedIndex());
        benchmark::DoNotOptimize(outline.ItemOnRow(outline.Row()));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        times.push_back(seconds);
        edit.Undo(outline, child);
    }
    std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2),
                     times.end());
    state.counters["median_ms"] = times[times.size() / 2] * 1000;
    state.SetLabel(edit.Name);
}
void EditArgs(benchmark::internal::Benchmark* b) {
    for (std::int64_t edit = 0; edit < 8; ++edit) {
        for (const std::int64_t items : {10000, 100000, 1000000}) {
            b->Args({edit, items});
        }
    }
}
BENCHMARK(BM_OutlineEdit)->Apply(EditArgs)->UseManualTime()->Unit(benchmark::kMicrosecond);
static const int EditFigures = [] {
    for (int edit = 0; edit < 8; ++edit) {
        AddFigure("BM_OutlineEdit/" + std::to_string(edit) + "/1000000/manual_time", "median_ms",
                  16, false);
    }
    return 0;
}();

// ExpandAll of the huge document in one pass (nothing watches) against the
// same with a subclass that watches every step.
class TWatchingOutline : public TCustomOutline {
public:
    std::int64_t Steps = 0;
    void NotifyExpand(std::int32_t index) override { ++Steps; }
};

template <typename TOutlineType> void ExpandAllOnce(benchmark::State& state) {
    const auto levels = GenerateLevels(static_cast<std::size_t>(state.range(0)), Seed);
    for (auto _ : state) {
        state.PauseTiming();
        auto outline = std::make_unique<TOutlineType>();
        BuildOutline(*outline, levels, Seed);
        // 1: the selection on the last top-level item, below every row that opens.
        if (state.range(1) == 1) {
            TOutlineNode* root = outline->RootItem();
            outline->SetSelectedIndex(root->Child(root->ChildCount() - 1)->Index());
        }
        state.ResumeTiming();
        outline->ExpandAll();
        benchmark::DoNotOptimize(outline->RowCount());
        state.PauseTiming();
        outline.reset();
        state.ResumeTiming();
    }
}
void BM_OutlineExpandAllOnePass(benchmark::State& state) {
    ExpandAllOnce<TCustomOutline>(state);
}
void BM_OutlineExpandAllWatched(benchmark::State& state) {
    ExpandAllOnce<TWatchingOutline>(state);
}
void ExpandAllArgs(benchmark::internal::Benchmark* b) {
    b->Args({100000, 0})->Args({100000, 1})->Args({1000000, 0})->Args({1000000, 1});
}
BENCHMARK(BM_OutlineExpandAllOnePass)
    ->Apply(ExpandAllArgs)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutlineExpandAllWatched)
    ->Apply(ExpandAllArgs)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
static const int ExpandRatio = AddRatio("BM_OutlineExpandAllWatched/1000000/0/iterations:3",
                                        "BM_OutlineExpandAllOnePass/1000000/0/iterations:3", 2);
static const int ExpandBelowRatio =
    AddRatio("BM_OutlineExpandAllWatched/1000000/1/iterations:3",
             "BM_OutlineExpandAllOnePass/1000000/1/iterations:3", 2);

} // namespace
} // namespace virevi::bench
