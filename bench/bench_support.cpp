#include "bench_support.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

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

std::int64_t FileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_size : 0;
}

std::int64_t DocumentFilesSize(const std::string& base) {
    return FileSize(base + ".Trr") + FileSize(base + ".Txt") + FileSize(base + ".Bin");
}

void ReadDocumentIntoMemory(const std::string& base) {
    for (const char* extension : {".Trr", ".Txt", ".Bin"}) {
        const std::string file = base + extension;
        const auto size = static_cast<std::size_t>(FileSize(file));
        const auto bytes = std::make_unique_for_overwrite<char[]>(size);
        const int handle = ::open(file.c_str(), O_RDONLY);
        const ssize_t read = ::read(handle, bytes.get(), size);
        static_cast<void>(read); // the time is the figure, not the bytes
        ::close(handle);
    }
}

} // namespace virevi::bench
