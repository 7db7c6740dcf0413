#include "files/file_system.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <utility>

namespace virevi {

namespace {
TFaultHook& Hook() {
    static TFaultHook hook;
    return hook;
}

// True when the hook asks this operation to fail; errno is then set.
bool Injected(TFileOperation operation, const std::string& path) {
    if (!Hook()) {
        return false;
    }
    const int error = Hook()(operation, path);
    if (error == 0) {
        return false;
    }
    errno = error;
    return true;
}

const std::string NoPath;
} // namespace

void SetFaultHook(TFaultHook hook) {
    Hook() = std::move(hook);
}

namespace sys {

int Open(const std::string& path, int flags, mode_t mode) {
    if (Injected(TFileOperation::Open, path)) {
        return -1;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

ssize_t Read(int fd, void* buffer, std::size_t count) {
    if (Injected(TFileOperation::Read, NoPath)) {
        return -1;
    }
    ssize_t got;
    do {
        got = ::read(fd, buffer, count);
    } while (got < 0 && errno == EINTR);
    return got;
}

std::size_t WriteAll(int fd, const void* buffer, std::size_t count) {
    if (count != 0 && Injected(TFileOperation::Write, NoPath)) {
        return 0;
    }
    const char* bytes = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(fd, bytes + done, count - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return done;
        }
        if (put == 0) {
            errno = ENOSPC;
            return done;
        }
        done += static_cast<std::size_t>(put);
    }
    return done;
}

bool Flush(int fd) {
    if (Injected(TFileOperation::Flush, NoPath)) {
        return false;
    }
    return ::fsync(fd) == 0;
}

bool StartFlush(int fd, std::int64_t offset, std::int64_t count) {
    if (Injected(TFileOperation::Flush, NoPath)) {
        return false;
    }
    int result;
    do {
        result = ::sync_file_range(fd, offset, count, SYNC_FILE_RANGE_WRITE);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

bool Rename(const std::string& from, const std::string& to) {
    if (Injected(TFileOperation::Rename, to)) {
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool Close(int fd) {
    if (Injected(TFileOperation::Close, NoPath)) {
        ::close(fd); // the handle is released all the same
        return false;
    }
    // Linux releases the handle even when close reports an error; retrying
    // on EINTR could close an unrelated, reused handle.
    return ::close(fd) == 0 || errno == EINTR;
}

bool Remove(const std::string& path) {
    if (Injected(TFileOperation::Remove, path)) {
        return false;
    }
    return ::unlink(path.c_str()) == 0;
}

bool Link(const std::string& existing, const std::string& newName) {
    if (Injected(TFileOperation::Link, newName)) {
        return false;
    }
    return ::link(existing.c_str(), newName.c_str()) == 0;
}

bool IsStoredFile(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    struct statfs system {};
    if (::fstatfs(fd, &system) != 0) {
        return false;
    }
    // The file systems whose files the kernel makes up as they are read.
    constexpr unsigned long PseudoFileSystems[] = {PROC_SUPER_MAGIC,
                                                   SYSFS_MAGIC,
                                                   DEBUGFS_MAGIC,
                                                   TRACEFS_MAGIC,
                                                   SECURITYFS_MAGIC,
                                                   CGROUP_SUPER_MAGIC,
                                                   CGROUP2_SUPER_MAGIC,
                                                   BPF_FS_MAGIC,
                                                   PSTOREFS_MAGIC,
                                                   EFIVARFS_MAGIC,
                                                   SELINUX_MAGIC,
                                                   SMACK_MAGIC,
                                                   0x62656570 /* configfs */,
                                                   BINFMTFS_MAGIC,
                                                   RDTGROUP_SUPER_MAGIC,
                                                   OPENPROM_SUPER_MAGIC,
                                                   USBDEVICE_SUPER_MAGIC};
    const auto type = static_cast<unsigned long>(system.f_type);
    for (const unsigned long pseudo : PseudoFileSystems) {
        if (type == pseudo) {
            return false;
        }
    }
    return true;
}

bool FlushFolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    if (Injected(TFileOperation::Flush, folder)) {
        return false;
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool flushed = ::fsync(fd) == 0;
    ::close(fd);
    return flushed;
}

} // namespace sys
} // namespace virevi
