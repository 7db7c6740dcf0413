#include "files/file_stream.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_system.h"
#include "runtime/errors.h"
#include "runtime/format.h"
#include "runtime/messages.h"

namespace virevi {

namespace {
bool Lock(int fd, int operation) {
    int result;
    do {
        result = ::flock(fd, operation | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// Empties a regular file; devices and pipes have nothing to truncate.
bool Truncate(int fd, bool& regular) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return false;
    }
    regular = S_ISREG(info.st_mode);
    return !regular || ::ftruncate(fd, 0) == 0;
}
} // namespace

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) : FileName_(fileName) {
    if (mode == TFileMode::Create) {
        // Take the lock before truncating, so a file that another opener
        // holds is refused with its content intact.
        Handle_ = sys::Open(fileName, O_RDWR | O_CREAT);
        if (Handle_ >= 0 && (!Lock(Handle_, LOCK_EX) || !Truncate(Handle_, Regular_))) {
            ::close(Handle_);
            Handle_ = -1;
        }
        if (Handle_ < 0) {
            throw EFCreateError(FormatS(msg::SFCreateError, fileName));
        }
        return;
    }
    // Without O_NONBLOCK a FIFO would wait in open for a writer; only a
    // stored file has a size to read up to, so anything else (a FIFO, a
    // device, a file of /proc) is refused before a byte of it is read. The
    // flag changes nothing for the regular files that are kept.
    Handle_ = sys::Open(fileName, O_RDONLY | O_NONBLOCK);
    const bool ok = Handle_ >= 0 && sys::IsStoredFile(Handle_) &&
                    Lock(Handle_, mode == TFileMode::ReadExclusive ? LOCK_EX : LOCK_SH);
    if (!ok) {
        if (Handle_ >= 0) {
            ::close(Handle_);
        }
        Handle_ = -1;
        throw EFOpenError(FormatS(msg::SFOpenError, fileName));
    }
}

TFileStream::~TFileStream() {
    if (Handle_ >= 0) {
        sys::Close(Handle_);
    }
}

std::int64_t TFileStream::Size() const {
    struct stat info {};
    if (::fstat(Handle_, &info) != 0) {
        return 0;
    }
    return info.st_size;
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    if (count == 0) {
        return 0;
    }
    if (::lseek(Handle_, Position_, SEEK_SET) < 0) {
        throw EReadError(msg::SReadError);
    }
    const ssize_t got = sys::Read(Handle_, buffer, count);
    if (got < 0) {
        throw EReadError(msg::SReadError);
    }
    if (got == 0) {
        return 0;
    }
    Position_ += got;
    return static_cast<std::size_t>(got);
}

void TFileStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) {
        return;
    }
    if (::lseek(Handle_, Position_, SEEK_SET) < 0) {
        throw EWriteError(msg::SWriteError);
    }
    const std::size_t put = sys::WriteAll(Handle_, buffer, count);
    Position_ += static_cast<std::int64_t>(put);
    if (put != count) {
        throw EWriteError(msg::SWriteError);
    }
    if (Regular_ && Position_ - Started_ >= WriteBehind) {
        if (!sys::StartFlush(Handle_, Started_, Position_ - Started_)) {
            throw EWriteError(msg::SWriteError);
        }
        Started_ = Position_;
    }
}

void TFileStream::Close() {
    if (Handle_ < 0) {
        return;
    }
    const int handle = Handle_;
    Handle_ = -1;
    if (!sys::Close(handle)) {
        throw EWriteError(msg::SWriteError);
    }
}

void TFileStream::Flush() {
    if (!sys::Flush(Handle_)) {
        throw EWriteError(msg::SWriteError);
    }
}

} // namespace virevi
