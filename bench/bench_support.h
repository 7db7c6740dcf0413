#pragma once
// Shared pieces of the benchmarks: ratio registration, heap measuring,
// scratch files.
#include <cstddef>
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

} // namespace virevi::bench
