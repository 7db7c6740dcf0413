#pragma once
// The few system calls that touch document files, in one place, so that a
// test can make any one of them fail and check that nothing is lost.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>

namespace virevi {

enum class TFileOperation { Open, Read, Write, Flush, Rename, Close, Remove, Link };

/// Called before each operation with its path (empty where only a handle is
/// known); returning a non-zero errno makes the operation fail with it.
using TFaultHook = std::function<int(TFileOperation operation, const std::string& path)>;

/// Installs (or, with an empty hook, removes) the fault hook. Tests only.
void SetFaultHook(TFaultHook hook);

namespace sys {
/// open(2); -1 with errno set on failure.
int Open(const std::string& path, int flags, mode_t mode = 0666);
/// read(2) once; -1 with errno set on failure.
ssize_t Read(int fd, void* buffer, std::size_t count);
/// Writes all bytes, continuing after partial writes; returns the bytes
/// stored, which is fewer than `count` only on failure (errno set).
std::size_t WriteAll(int fd, const void* buffer, std::size_t count);
/// fsync(2); false with errno set on failure.
bool Flush(int fd);
/// Starts writing `count` bytes of a regular file from `offset` (all up to
/// its end for 0) to the disk and returns without waiting for them, so that
/// a later Flush has little left to wait for; false with errno set on
/// failure. Reported to the fault hook as a Flush.
bool StartFlush(int fd, std::int64_t offset, std::int64_t count);
/// rename(2); false with errno set on failure.
bool Rename(const std::string& from, const std::string& to);
/// close(2); false with errno set on failure.
bool Close(int fd);
/// unlink(2); false with errno set on failure.
bool Remove(const std::string& path);
/// link(2): a second name for an existing file; false with errno set on failure.
bool Link(const std::string& existing, const std::string& newName);
/// Whether the open `fd` is a file whose size tells how many bytes it holds:
/// a regular file, and not one of the kernel's pseudo-files (/proc, /sys and
/// their kind), which report 0 bytes and still deliver text.
bool IsStoredFile(int fd);
/// Flushes the folder that holds `path`, so a rename in it is on the disk.
bool FlushFolderOf(const std::string& path);
} // namespace sys

} // namespace virevi
