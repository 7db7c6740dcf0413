#pragma once
// A fresh folder for one test's files, removed with everything in it when the
// test ends.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace virevi::test {

class TTempFolder {
public:
    TTempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "virevi-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        Path_ = pattern;
    }
    ~TTempFolder() {
        std::error_code ignored;
        // Read-only leftovers of a test must not keep the folder alive.
        std::filesystem::permissions(Path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(Path_, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return Path_; }
    /// The path of `name` inside the folder.
    std::string File(const std::string& name) const { return Path_ + "/" + name; }

private:
    std::string Path_;
};

/// The whole content of a file, or "<missing>" when it cannot be read.
inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "<missing>";
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// The names of the entries of `folder`, sorted.
inline std::vector<std::string> FileNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

/// Writes `bytes` as the whole content of a file.
inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

/// Runs `action` so that permission bits apply to it. Root passes every
/// permission check, so as root the action runs on a thread of its own whose
/// file-system identity is "nobody" (the file capabilities go with it); the
/// files it touches must be reachable by others.
template <typename TAction> void RunWithPermissionChecks(TAction action) {
    if (::geteuid() != 0) {
        action();
        return;
    }
    std::thread worker([&] {
        ::setfsuid(65534);
        action();
    });
    worker.join();
}

/// Makes a test folder reachable by other users (for RunWithPermissionChecks).
inline void OpenToOthers(const std::string& folder) {
    ::chmod(folder.c_str(), 0755);
}

} // namespace virevi::test
