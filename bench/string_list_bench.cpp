// Line lists against the raw file operations they are built on: one read of
// the whole file, one write of the same bytes.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <random>
#include <string>

#include "bench_support.h"
#include "files/string_list.h"

namespace {

constexpr int LineCount = 10'000'000;

// About 300 MB: note-like lines of 0 to 60 bytes, Shift-JIS text among them.
const std::string& TextFile() {
    static const std::string path = [] {
        std::mt19937 random(7);
        std::string text;
        text.reserve(static_cast<std::size_t>(LineCount) * 31);
        const std::string words[] = {"outline ", "\x83\x6D\x81\x5B\x83\x67 ", "note ",
                                     "\x8A\xBF\x8E\x9A ", "x"};
        for (int i = 0; i < LineCount; ++i) {
            const int length = static_cast<int>(random() % 60);
            std::string line;
            while (static_cast<int>(line.size()) < length) {
                line += words[random() % 5];
            }
            text += line;
            text += "\r\n";
        }
        const std::string file = virevi::bench::ScratchDir() + "/lines.Txt";
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::size_t done = 0;
        while (done < text.size()) {
            done += static_cast<std::size_t>(::write(fd, text.data() + done, text.size() - done));
        }
        ::close(fd);
        return file;
    }();
    return path;
}

std::string ReadWhole(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    const off_t size = ::lseek(fd, 0, SEEK_END);
    ::lseek(fd, 0, SEEK_SET);
    std::string buffer(static_cast<std::size_t>(size), '\0');
    std::size_t done = 0;
    while (done < buffer.size()) {
        done += static_cast<std::size_t>(::read(fd, buffer.data() + done, buffer.size() - done));
    }
    ::close(fd);
    return buffer;
}

void BM_Baseline_ReadWholeFile(benchmark::State& state) {
    const std::string& path = TextFile();
    for (auto _ : state) {
        std::string buffer = ReadWhole(path);
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(BM_Baseline_ReadWholeFile)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadLines(benchmark::State& state) {
    const std::string& path = TextFile();
    const std::size_t fileSize = ReadWhole(path).size();
    std::size_t memory = 0;
    std::size_t lines = 0;
    for (auto _ : state) {
        virevi::TStringList list;
        const std::size_t before = virevi::bench::HeapInUse();
        list.LoadLines(path);
        memory = virevi::bench::HeapInUse() - before;
        lines = list.Count();
        benchmark::DoNotOptimize(list.Count());
    }
    state.counters["memory_to_budget"] =
        static_cast<double>(memory) /
        (1.2 * static_cast<double>(fileSize) + 8.0 * static_cast<double>(lines));
}
BENCHMARK(BM_LoadLines)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same lines in UTF-8, as a text file of today comes to Add text.
const std::string& Utf8File() {
    static const std::string path = [] {
        std::string text = ReadWhole(TextFile());
        std::string utf8;
        utf8.reserve(text.size() + text.size() / 4);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text.compare(i, 6, "\x83\x6D\x81\x5B\x83\x67") == 0) {
                utf8 += "\xE3\x83\x8E\xE3\x83\xBC\xE3\x83\x88"; // ノート
                i += 5;
            } else if (text.compare(i, 4, "\x8A\xBF\x8E\x9A") == 0) {
                utf8 += "\xE6\xBC\xA2\xE5\xAD\x97"; // 漢字
                i += 3;
            } else {
                utf8 += text[i];
            }
        }
        const std::string file = virevi::bench::ScratchDir() + "/lines-utf8.txt";
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::size_t done = 0;
        while (done < utf8.size()) {
            done += static_cast<std::size_t>(::write(fd, utf8.data() + done, utf8.size() - done));
        }
        ::close(fd);
        return file;
    }();
    return path;
}

// Add text's reader: on a Shift-JIS file it decides and splits; on a UTF-8
// one it converts too. Both against LoadLines of the same file.
void BM_LoadTextLines(benchmark::State& state, bool utf8) {
    const std::string& path = utf8 ? Utf8File() : TextFile();
    std::size_t lines = 0;
    for (auto _ : state) {
        virevi::TStringList list;
        list.LoadTextLines(path);
        lines = list.Count();
        benchmark::DoNotOptimize(list.Count());
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK_CAPTURE(BM_LoadTextLines, ShiftJis, false)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_LoadTextLines, Utf8, true)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Baseline_LoadLinesUtf8(benchmark::State& state) {
    const std::string& path = Utf8File();
    for (auto _ : state) {
        virevi::TStringList list;
        list.LoadLines(path);
        benchmark::DoNotOptimize(list.Count());
    }
}
BENCHMARK(BM_Baseline_LoadLinesUtf8)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Baseline_WriteWholeFile(benchmark::State& state) {
    const std::string bytes = ReadWhole(TextFile());
    const std::string out = virevi::bench::ScratchDir() + "/raw.Txt";
    for (auto _ : state) {
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::size_t done = 0;
        while (done < bytes.size()) {
            done += static_cast<std::size_t>(::write(fd, bytes.data() + done, bytes.size() - done));
        }
        ::close(fd);
    }
}
BENCHMARK(BM_Baseline_WriteWholeFile)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SaveLines(benchmark::State& state) {
    virevi::TStringList list;
    list.LoadLines(TextFile());
    const std::string out = virevi::bench::ScratchDir() + "/saved.Txt";
    for (auto _ : state) {
        list.SaveLines(out);
    }
}
BENCHMARK(BM_SaveLines)->Unit(benchmark::kMillisecond)->Iterations(5);

[[maybe_unused]] const int Registered =
    virevi::bench::AddRatio("BM_LoadLines/iterations:5", "BM_Baseline_ReadWholeFile/iterations:5",
                            2.0) +
    virevi::bench::AddRatio("BM_SaveLines/iterations:5", "BM_Baseline_WriteWholeFile/iterations:5",
                            2.0) +
    virevi::bench::AddFigure("BM_LoadLines/iterations:5", "memory_to_budget", 1.0, false) +
    virevi::bench::AddRatio("BM_LoadTextLines/ShiftJis/iterations:5", "BM_LoadLines/iterations:5",
                            1.5) +
    // Converting looks at every character twice, to decide and to convert;
    // splitting alone runs at the speed of memory.
    virevi::bench::AddRatio("BM_LoadTextLines/Utf8/iterations:5",
                            "BM_Baseline_LoadLinesUtf8/iterations:5", 5.0);

} // namespace
