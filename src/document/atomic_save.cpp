#include "document/atomic_save.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <random>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_system.h"

namespace virevi {

namespace {
std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name in the folder of `target` that no file has yet. The name is short
// and hidden, so a target with a long name still gets one.
std::string CandidateBeside(const std::string& target) {
    static std::mt19937_64 random{std::random_device{}()};
    static const char Digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = FolderOf(target) + "/.virevi-";
    for (int i = 0; i < 10; ++i) {
        name += Digits[random() % 36];
    }
    return name;
}

constexpr int MaxNameTries = 100;

[[noreturn]] void Fail(const TAtomicSave::TFailure& failure, TSaveStep step, int error) {
    failure(step, error);
    throw std::runtime_error("save failure handler returned"); // a handler must raise
}
} // namespace

std::string ResolveLinks(const std::string& path) {
    std::string current = path;
    // The system's own limit on links in a path, so a loop ends here too.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
        if (length < 0) {
            return current;
        }
        link.resize(static_cast<std::size_t>(length));
        current = !link.empty() && link[0] == '/' ? link : FolderOf(current) + "/" + link;
    }
    return current;
}

TAtomicSave::~TAtomicSave() {
    if (!Committed_) {
        RemoveLeftovers();
    }
}

std::string TAtomicSave::Add(const std::string& target, TFailure failure) {
    TEntry entry;
    entry.Target = ResolveLinks(target);
    entry.Failure = std::move(failure);
    struct stat info {};
    if (::stat(entry.Target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) {
            Fail(entry.Failure, TSaveStep::Reserve, S_ISDIR(info.st_mode) ? EISDIR : EACCES);
        }
        // A file the user may not write stays as it is, as it would if it
        // were written in place.
        const int probe = ::open(entry.Target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (probe < 0) {
            Fail(entry.Failure, TSaveStep::Reserve, errno);
        }
        // The old file's cached pages are let go (it stays on the disk as it
        // is), so the new file takes their memory rather than as much again:
        // a save of a huge document needs the room of one copy, not two. A
        // hint, and nothing to fail on.
        (void)::posix_fadvise(probe, 0, 0, POSIX_FADV_DONTNEED);
        ::close(probe);
        entry.Existed = true;
        entry.Mode = info.st_mode & 07777;
        entry.Owner = info.st_uid;
        entry.Group = info.st_gid;
    }
    for (int attempt = 0;; ++attempt) {
        const std::string candidate = CandidateBeside(entry.Target);
        const int fd = sys::Open(candidate, O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            entry.Temporary = candidate;
            const bool closed = sys::Close(fd);
            const int error = errno;
            // Kept before failing, so that the file just made is removed.
            Entries_.push_back(std::move(entry));
            if (!closed) {
                Fail(Entries_.back().Failure, TSaveStep::Reserve, error);
            }
            return Entries_.back().Temporary;
        }
        if (errno != EEXIST || attempt == MaxNameTries) {
            Fail(entry.Failure, TSaveStep::Reserve, errno);
        }
    }
}

void TAtomicSave::Finish(std::size_t index) {
    TEntry& entry = Entries_[index];
    const int fd = sys::Open(entry.Temporary, O_RDONLY);
    if (fd < 0) {
        Fail(entry.Failure, TSaveStep::Flush, errno);
    }
    if (entry.Existed) {
        // The owner first: changing it may clear the set-id bits that the
        // mode then puts back. Only a privileged user can give a file away.
        if (::fchown(fd, entry.Owner, entry.Group) != 0) {
            (void)::fchown(fd, static_cast<uid_t>(-1), entry.Group);
        }
        (void)::fchmod(fd, entry.Mode);
    }
    if (!sys::StartFlush(fd, 0, 0)) {
        const int error = errno;
        sys::Close(fd);
        Fail(entry.Failure, TSaveStep::Flush, error);
    }
    if (entry.Handle >= 0) {
        sys::Close(entry.Handle);
    }
    entry.Handle = fd;
}

void TAtomicSave::Commit() {
    for (std::size_t i = 0; i < Entries_.size(); ++i) {
        if (Entries_[i].Handle < 0) {
            Finish(i);
        }
    }
    // The flushes started by Finish have been running side by side; nothing
    // is renamed until every one is through.
    for (TEntry& entry : Entries_) {
        if (!sys::Flush(entry.Handle)) {
            Fail(entry.Failure, TSaveStep::Flush, errno);
        }
        // A file system may report a lost write only at the close.
        const bool closed = sys::Close(entry.Handle);
        const int error = errno;
        entry.Handle = -1;
        if (!closed) {
            Fail(entry.Failure, TSaveStep::Flush, error);
        }
    }
    // A second name for each old file, so that a rename that fails halfway
    // through the set can put the earlier ones back.
    for (TEntry& entry : Entries_) {
        if (!entry.Existed) {
            continue;
        }
        for (int attempt = 0;; ++attempt) {
            const std::string candidate = CandidateBeside(entry.Target);
            if (sys::Link(entry.Target, candidate)) {
                entry.Backup = candidate;
                break;
            }
            if (errno != EEXIST || attempt == MaxNameTries) {
                Fail(entry.Failure, TSaveStep::Backup, errno);
            }
        }
    }
    for (TEntry& entry : Entries_) {
        if (!sys::Rename(entry.Temporary, entry.Target)) {
            const int error = errno;
            RollBack();
            Fail(entry.Failure, TSaveStep::Rename, error);
        }
        entry.Renamed = true;
    }
    std::vector<std::string> folders;
    for (TEntry& entry : Entries_) {
        const std::string folder = FolderOf(entry.Target);
        bool seen = false;
        for (const std::string& done : folders) {
            seen = seen || done == folder;
        }
        if (seen) {
            continue;
        }
        folders.push_back(folder);
        if (!sys::FlushFolderOf(entry.Target)) {
            const int error = errno;
            RollBack();
            Fail(entry.Failure, TSaveStep::FolderFlush, error);
        }
    }
    Committed_ = true;
    for (TEntry& entry : Entries_) {
        if (!entry.Backup.empty()) {
            sys::Remove(entry.Backup);
        }
    }
}

void TAtomicSave::RollBack() {
    for (TEntry& entry : Entries_) {
        if (!entry.Renamed) {
            continue;
        }
        if (entry.Existed) {
            // The old file stays under its second name when it cannot be put
            // back: left behind is better than lost.
            sys::Rename(entry.Backup, entry.Target);
            entry.Backup.clear();
        } else {
            sys::Remove(entry.Target);
        }
        entry.Renamed = false;
        entry.Temporary.clear(); // already gone under the target's name
    }
    if (!Entries_.empty()) {
        sys::FlushFolderOf(Entries_.front().Target);
    }
}

void TAtomicSave::RemoveLeftovers() {
    for (TEntry& entry : Entries_) {
        if (entry.Handle >= 0) {
            sys::Close(entry.Handle);
            entry.Handle = -1;
        }
        if (!entry.Temporary.empty()) {
            sys::Remove(entry.Temporary);
        }
        if (!entry.Backup.empty()) {
            sys::Remove(entry.Backup);
        }
    }
}

} // namespace virevi
