#include "files/record_file.h"

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
thread_local std::int32_t PendingCode = 0;

void SetCode(std::int32_t code) {
    PendingCode = code;
}

bool FolderExists(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return true;
    }
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void OpenWith(TRecordFile& file, std::uint32_t recordSize, int flags) {
    if (file.Mode != TRecordFileMode::Closed) {
        CloseRecordFile(file);
    }
    file.Mode = TRecordFileMode::Open;
    file.RecordSize = recordSize;
    // A FIFO or a device may wait in open (for a writer, for a line); the
    // flag is dropped again once open, so reads and writes wait as usual.
    const int fd = sys::Open(file.Name, flags | O_NONBLOCK);
    if (fd < 0) {
        file.Mode = TRecordFileMode::Closed;
        SetCode(IOCodeOfErrno(errno, file.Name));
        return;
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status != -1) {
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        file.Mode = TRecordFileMode::Closed;
        SetCode(io::AccessDenied);
        return;
    }
    // Others may read and write beside us; only an exclusive holder (a
    // writer of a text or outline file) keeps us out.
    int locked;
    do {
        locked = ::flock(fd, LOCK_SH | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        ::close(fd);
        file.Mode = TRecordFileMode::Closed;
        SetCode(IOCodeOfErrno(error, file.Name));
        return;
    }
    if ((flags & O_CREAT) != 0 && S_ISREG(info.st_mode) && ::ftruncate(fd, 0) != 0) {
        const int error = errno;
        ::close(fd);
        file.Mode = TRecordFileMode::Closed;
        SetCode(IOCodeOfErrno(error, file.Name));
        return;
    }
    file.Handle = fd;
}
} // namespace

TRecordFile::~TRecordFile() {
    if (Mode == TRecordFileMode::Open && Handle >= 0) {
        ::close(Handle);
    }
}

std::int32_t IOCodeOfErrno(int error, const std::string& path) {
    switch (error) {
    case ENOENT:
        return FolderExists(path) ? io::FileNotFound : io::PathNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return io::PathNotFound;
    case EMFILE:
    case ENFILE:
        return io::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return io::AccessDenied;
    case EWOULDBLOCK:
        return io::SharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return io::DiskFull;
    default:
        return io::OtherBase + error;
    }
}

void BindRecordFile(TRecordFile& file, const std::string& name) {
    if (file.Mode == TRecordFileMode::Open && file.Handle >= 0) {
        ::close(file.Handle); // rebinding an open variable must not leak its handle
    }
    file.Name = name;
    file.Mode = TRecordFileMode::Closed;
    file.RecordSize = 0;
    file.Handle = -1;
}

void OpenRecordFile(TRecordFile& file, std::uint32_t recordSize) {
    OpenWith(file, recordSize, O_RDWR);
}

void CreateRecordFile(TRecordFile& file, std::uint32_t recordSize) {
    OpenWith(file, recordSize, O_RDWR | O_CREAT);
}

void ReadRecord(TRecordFile& file, void* buffer) {
    if (file.Mode != TRecordFileMode::Open) {
        SetCode(io::FileNotOpen);
        return;
    }
    const ssize_t got = sys::Read(file.Handle, buffer, file.RecordSize);
    if (got < 0) {
        SetCode(IOCodeOfErrno(errno, file.Name));
        return;
    }
    if (static_cast<std::size_t>(got) < file.RecordSize) {
        SetCode(io::EndOfFile);
    }
}

void WriteRecord(TRecordFile& file, const void* buffer) {
    if (file.Mode != TRecordFileMode::Open) {
        SetCode(io::AccessDenied);
        return;
    }
    errno = 0;
    const std::size_t put = sys::WriteAll(file.Handle, buffer, file.RecordSize);
    if (put == file.RecordSize) {
        return;
    }
    // A write that stored nothing failed with the system's own reason; one
    // that stored part of the record ran out of room.
    if (put == 0 && errno != 0 && errno != ENOSPC && errno != EDQUOT) {
        SetCode(IOCodeOfErrno(errno, file.Name));
        return;
    }
    SetCode(io::DiskFull);
}

void CloseRecordFile(TRecordFile& file) {
    if (file.Mode != TRecordFileMode::Open) {
        SetCode(io::FileNotOpen);
        return;
    }
    file.Mode = TRecordFileMode::Closed;
    const int handle = file.Handle;
    file.Handle = -1;
    if (!sys::Close(handle)) {
        SetCode(IOCodeOfErrno(errno, file.Name));
    }
}

std::int32_t IOResult() {
    return PendingCode;
}

std::string InOutErrorMessage(std::int32_t code) {
    switch (code) {
    case io::FileNotFound:
        return msg::SFileNotFound;
    case io::PathNotFound:
        return msg::SInvalidFilename;
    case io::TooManyOpenFiles:
        return msg::STooManyOpenFiles;
    case io::AccessDenied:
        return msg::SAccessDenied;
    case io::EndOfFile:
        return msg::SEndOfFile;
    case io::DiskFull:
        return msg::SDiskFull;
    case io::InvalidInput:
        return msg::SInvalidInput;
    default:
        return FormatD(msg::SInOutError, code);
    }
}

void CheckIOResult() {
    const std::int32_t code = PendingCode;
    if (code == 0) {
        return;
    }
    PendingCode = 0;
    throw EInOutError(InOutErrorMessage(code), code);
}

} // namespace virevi
