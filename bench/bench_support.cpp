#include "bench_support.h"

#include <malloc.h>

#include <cstdlib>
#include <filesystem>

namespace virevi::bench {

std::vector<TRatio>& Ratios() {
    static std::vector<TRatio> ratios;
    return ratios;
}

std::vector<TFigure>& Figures() {
    static std::vector<TFigure> figures;
    return figures;
}

int AddRatio(std::string subject, std::string baseline, double target, std::string counter) {
    Ratios().push_back({std::move(subject), std::move(baseline), target, std::move(counter)});
    return 0;
}

int AddFigure(std::string subject, std::string counter, double target, bool atLeast) {
    Figures().push_back({std::move(subject), std::move(counter), target, atLeast});
    return 0;
}

std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

namespace {
struct TScratch {
    TScratch() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp ? tmp : "/tmp") + "/virevi-bench-XXXXXX";
        Path = mkdtemp(pattern.data()) ? pattern : std::string(".");
    }
    ~TScratch() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    std::string Path;
};
} // namespace

const std::string& ScratchDir() {
    static TScratch scratch;
    return scratch.Path;
}

} // namespace virevi::bench
