#pragma once
// Shared pieces of the benchmarks: ratio registration, heap measuring,
// scratch files.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace virevi::bench {

/// A figure printed as subject / baseline after the run. With `counter`
/// empty the two real times are compared, else the two counters' values.
struct TRatio {
    std::string Subject;
    std::string Baseline;
    double Target;
    std::string Counter;
};

/// A figure printed as a counter's value against an absolute target
/// (for rates such as MB/s, where `AtLeast` is true).
struct TFigure {
    std::string Subject;
    std::string Counter;
    double Target;
    bool AtLeast;
};

std::vector<TRatio>& Ratios();
std::vector<TFigure>& Figures();

/// Registers a ratio at static-initialisation time; returns a dummy for `static const`.
int AddRatio(std::string subject, std::string baseline, double target, std::string counter = {});
int AddFigure(std::string subject, std::string counter, double target, bool atLeast);

/// Bytes currently allocated from the heap (malloc's own count).
std::size_t HeapInUse();

/// A folder for scratch files of this run, removed at exit.
const std::string& ScratchDir();

/// A file's size in bytes; 0 when it cannot be read.
std::int64_t FileSize(const std::string& path);
/// The size of a document's three files together.
std::int64_t DocumentFilesSize(const std::string& base);
/// What holding a document costs at the least: each of its three files read
/// with one call into memory of its own, as a loaded document keeps its lines.
void ReadDocumentIntoMemory(const std::string& base);

} // namespace virevi::bench
