// Opening and saving the huge document (1,000,000 items, 10,000,000 note
// lines) against the shell reading and copying its three files, and moving a
// long note between the editor and the pool.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "bench_support.h"
#include "document/document.h"
#include "editor/memo_lines.h"
#include "files/string_list.h"
#include "outline/custom_outline.h"
#include "support/list_memo_lines.h"

namespace {

using namespace virevi;

constexpr int HugeItems = 1'000'000;
constexpr int HugeLines = 10'000'000;
constexpr int NoteLines = 10'000;

void WriteWhole(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::size_t done = 0;
    while (done < bytes.size()) {
        done += static_cast<std::size_t>(::write(fd, bytes.data() + done, bytes.size() - done));
    }
    ::close(fd);
}

// The huge document's base path: a random tree up to 12 levels deep, ten
// note lines per item on average, note-like lines of 0 to 40 bytes.
const std::string& HugeBase() {
    static const std::string base = [] {
        std::mt19937 random(11);
        const std::string words[] = {"outline ", "\x83\x6D\x81\x5B\x83\x67 ", "note ",
                                     "\x8A\xBF\x8E\x9A ", "x"};
        std::string outline;
        std::string notes;
        std::vector<ItemRecord> records;
        notes.reserve(static_cast<std::size_t>(HugeLines) * 24);
        int depth = 0;
        std::int32_t line = 0;
        for (int i = 0; i < HugeItems; ++i) {
            const int step = static_cast<int>(random() % 3);
            depth = step == 0   ? std::min(depth + 1, 11)
                    : step == 1 ? depth
                                : random() % (depth + 1);
            if (i == 0) {
                depth = 0;
            }
            outline.append(static_cast<std::size_t>(depth), '\t');
            outline += "item " + std::to_string(i) + "\r\n";
            const std::int32_t count =
                i + 1 == HugeItems ? HugeLines - line : static_cast<std::int32_t>(random() % 21);
            const std::int32_t kept = std::min(count, HugeLines - line);
            records.push_back({line, kept});
            for (std::int32_t k = 0; k < kept; ++k) {
                const std::size_t length = random() % 40;
                std::string text;
                while (text.size() < length) {
                    text += words[random() % 5];
                }
                notes += text;
                notes += "\r\n";
            }
            line += kept;
        }
        const std::string path = bench::ScratchDir() + "/huge";
        WriteWhole(path + ".Trr", outline);
        WriteWhole(path + ".Txt", notes);
        WriteWhole(path + ".Bin", EncodeItemRecords(records));
        return path;
    }();
    return base;
}

std::string Quoted(const std::string& base, const char* extension) {
    return "'" + base + extension + "'";
}

std::int64_t HugeFilesSize() {
    return bench::DocumentFilesSize(HugeBase());
}

void BM_Baseline_CatDocument(benchmark::State& state) {
    const std::string& base = HugeBase();
    const std::string command = "cat " + Quoted(base, ".Trr") + " " + Quoted(base, ".Txt") + " " +
                                Quoted(base, ".Bin") + " > /dev/null";
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::system(command.c_str()));
    }
    // What the document may cost in memory once loaded.
    state.counters["bytes"] = 1.5 * static_cast<double>(HugeFilesSize()) + 100.0 * HugeItems;
}
BENCHMARK(BM_Baseline_CatDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

// What holding the document costs at the least: each file read with one call
// into memory of its own, as a loaded document must keep its lines.
void BM_Baseline_ReadDocumentIntoMemory(benchmark::State& state) {
    const std::string& base = HugeBase();
    for (auto _ : state) {
        bench::ReadDocumentIntoMemory(base);
    }
}
BENCHMARK(BM_Baseline_ReadDocumentIntoMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadDocument(benchmark::State& state) {
    const std::string& base = HugeBase();
    double memory = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            TCustomOutline outline;
            test::TListMemoLines editor;
            const std::size_t before = bench::HeapInUse();
            TDocument document(outline.Tree(), editor);
            state.ResumeTiming();
            document.LoadDocument(base);
            state.PauseTiming();
            memory = static_cast<double>(bench::HeapInUse() - before);
        }
        state.ResumeTiming();
    }
    state.counters["bytes"] = memory;
}
BENCHMARK(BM_LoadDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Baseline_CopyAndSync(benchmark::State& state) {
    const std::string& base = HugeBase();
    const std::string target = bench::ScratchDir() + "/copied";
    const std::string command = "cp " + Quoted(base, ".Trr") + " " + Quoted(target, ".Trr") +
                                " && cp " + Quoted(base, ".Txt") + " " + Quoted(target, ".Txt") +
                                " && cp " + Quoted(base, ".Bin") + " " + Quoted(target, ".Bin") +
                                " && sync";
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::system(command.c_str()));
    }
}
BENCHMARK(BM_Baseline_CopyAndSync)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveDocument(benchmark::State& state) {
    TCustomOutline outline;
    test::TListMemoLines editor;
    TDocument document(outline.Tree(), editor);
    document.LoadDocument(HugeBase());
    const std::string target = bench::ScratchDir() + "/saved";
    for (auto _ : state) {
        document.SaveDocument(target);
    }
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same with the first note edited before each save to one line more or
// less than before, so that every other note moves in the compacted pool.
void BM_SaveDocumentEdited(benchmark::State& state) {
    TCustomOutline outline;
    test::TListMemoLines editor;
    TDocument document(outline.Tree(), editor);
    document.LoadDocument(HugeBase());
    const std::string target = bench::ScratchDir() + "/edited";
    std::size_t lines = 1;
    for (auto _ : state) {
        lines = 3 - lines; // 2, 1, 2, …
        editor.Lines.assign(lines, "a line of the first note, edited");
        editor.Dirty = true;
        document.SaveDocument(target);
    }
}
BENCHMARK(BM_SaveDocumentEdited)->Unit(benchmark::kMillisecond)->Iterations(3);

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A 10,000-line note committed into and loaded from a document of a
// hundred thousand lines.
void NoteBench(benchmark::State& state, bool commit) {
    TCustomOutline outline;
    test::TListMemoLines editor;
    TDocument document(outline.Tree(), editor);
    document.AttachNewRecord(outline.AddSibling(0, " "));
    for (int i = 0; i < 100'000; ++i) {
        document.NotePool.Add("an earlier line of some other note");
    }
    std::vector<std::string> note;
    for (int k = 0; k < NoteLines; ++k) {
        note.push_back("line " + std::to_string(k) + " of a long note, with some words in it");
    }
    editor.Lines = note;
    editor.Dirty = true;
    document.CommitNote(1);
    std::vector<double> times;
    for (auto _ : state) {
        if (commit) {
            state.PauseTiming();
            editor.Lines = note;
            editor.Dirty = true;
            state.ResumeTiming();
        }
        const auto start = std::chrono::steady_clock::now();
        if (commit) {
            document.CommitNote(1);
        } else {
            document.LoadNote();
        }
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    state.counters["median_ms"] = Median(times);
}
void BM_CommitNote(benchmark::State& state) {
    NoteBench(state, true);
}
void BM_LoadNote(benchmark::State& state) {
    NoteBench(state, false);
}
BENCHMARK(BM_CommitNote)->Arg(NoteLines)->Unit(benchmark::kMillisecond)->Iterations(51);
BENCHMARK(BM_LoadNote)->Arg(NoteLines)->Unit(benchmark::kMillisecond)->Iterations(51);

static const int LoadRatio =
    bench::AddRatio("BM_LoadDocument/iterations:3", "BM_Baseline_CatDocument/iterations:3", 3.0);
static const int SaveRatio =
    bench::AddRatio("BM_SaveDocument/iterations:3", "BM_Baseline_CopyAndSync/iterations:3", 3.0);
static const int EditedSaveRatio = bench::AddRatio("BM_SaveDocumentEdited/iterations:3",
                                                   "BM_Baseline_CopyAndSync/iterations:3", 3.0);
static const int HeldLoadRatio = bench::AddRatio(
    "BM_LoadDocument/iterations:3", "BM_Baseline_ReadDocumentIntoMemory/iterations:3", 3.0);
static const int MemoryRatio = bench::AddRatio(
    "BM_LoadDocument/iterations:3", "BM_Baseline_CatDocument/iterations:3", 1.0, "bytes");
static const int CommitFigure =
    bench::AddFigure("BM_CommitNote/10000/iterations:51", "median_ms", 16.0, false);
static const int LoadFigure =
    bench::AddFigure("BM_LoadNote/10000/iterations:51", "median_ms", 16.0, false);

} // namespace
