#pragma once
// Replacing a set of files all together or not at all: each new file is
// written beside its target under a temporary name, flushed, and only when
// every one is complete are they renamed over their targets. The flushes of
// all the files overlap: each is started as soon as its file is written and
// waited for only before the renames.
#include <cstddef>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace virevi {

/// The step of a save that failed, handed to the target's failure handler.
enum class TSaveStep { Reserve, Flush, Backup, Rename, FolderFlush };

class TAtomicSave {
public:
    /// Raises the error that a failure of `step` on this target is shown
    /// with; `error` is the system's errno. Must throw.
    using TFailure = std::function<void(TSaveStep step, int error)>;

    TAtomicSave() = default;
    /// Removes whatever temporary file or backup a save that did not commit left.
    ~TAtomicSave();
    TAtomicSave(const TAtomicSave&) = delete;
    TAtomicSave& operator=(const TAtomicSave&) = delete;

    /// Reserves a new, empty temporary file beside `target` and returns its
    /// path. A symbolic link is followed, so the file it names is replaced and
    /// the link stays. An existing target that cannot be written, or is not a
    /// regular file, is refused through `failure` before anything is created.
    std::string Add(const std::string& target, TFailure failure);
    /// Gives temporary file `index`, now written, the permissions (and, where
    /// allowed, the owner) of the file it will replace and starts its flush to
    /// the disk, which Commit waits for.
    void Finish(std::size_t index);
    /// Waits until every temporary file is on the disk (finishing any not yet
    /// finished), then renames each over its target and flushes the folders.
    /// On a failure every target is put back as it was before raising.
    void Commit();

private:
    struct TEntry {
        std::string Target; // the file replaced: the end of any symbolic links
        std::string Temporary;
        std::string Backup; // a second name of the old file while committing
        TFailure Failure;
        bool Existed = false;
        mode_t Mode = 0;
        uid_t Owner = 0;
        gid_t Group = 0;
        bool Renamed = false;
        int Handle = -1; // open from Finish until its flush is waited for
    };

    // Puts the targets renamed so far back as they were.
    void RollBack();
    void RemoveLeftovers();

    std::vector<TEntry> Entries_;
    bool Committed_ = false;
};

/// The file a path finally names after following symbolic links (up to a
/// limit); a dangling link gives the missing file it points at.
std::string ResolveLinks(const std::string& path);

} // namespace virevi
