#pragma once
// Files of fixed-size records read or written one at a time, in order. The
// operations raise nothing: each leaves a code in the pending I/O result of
// the calling thread, and the caller runs CheckIOResult after every one.
#include <cstdint>
#include <string>

namespace virevi {

enum class TRecordFileMode { Closed, Open };

struct TRecordFile {
    std::string Name; // any length: the name is never copied into a fixed field
    TRecordFileMode Mode = TRecordFileMode::Closed;
    std::uint32_t RecordSize = 0;
    int Handle = -1;

    TRecordFile() = default;
    TRecordFile(const TRecordFile&) = delete;
    TRecordFile& operator=(const TRecordFile&) = delete;
    /// A variable that goes out of scope while open releases its handle
    /// (without touching the pending code).
    ~TRecordFile();
};

/// The I/O result codes that the operations leave.
namespace io {
inline constexpr std::int32_t FileNotFound = 2;
inline constexpr std::int32_t PathNotFound = 3;
inline constexpr std::int32_t TooManyOpenFiles = 4;
inline constexpr std::int32_t AccessDenied = 5;
inline constexpr std::int32_t SharingViolation = 32;
inline constexpr std::int32_t EndOfFile = 100;
inline constexpr std::int32_t DiskFull = 101;
inline constexpr std::int32_t FileNotOpen = 103;
inline constexpr std::int32_t InvalidInput = 106;
/// Platform errors without a code of their own are shown as this plus errno,
/// a range that no message of the table claims.
inline constexpr std::int32_t OtherBase = 1000;
} // namespace io

/// Clears every field and stores the name; touches no file, sets no code.
void BindRecordFile(TRecordFile& file, const std::string& name);
/// Opens the existing file for reading and writing (a read-only file is refused with 5).
void OpenRecordFile(TRecordFile& file, std::uint32_t recordSize);
/// Creates the file, or truncates an existing one, for reading and writing.
void CreateRecordFile(TRecordFile& file, std::uint32_t recordSize);
/// Reads the next record; 100 when fewer bytes than a record were left
/// (those bytes are in the buffer), 103 when the file is not open.
void ReadRecord(TRecordFile& file, void* buffer);
/// Appends one record; 101 when fewer bytes were stored, 5 when not open.
void WriteRecord(TRecordFile& file, const void* buffer);
/// Closes the file; 103 when it is not open.
void CloseRecordFile(TRecordFile& file);

/// The pending code of this thread (0 for none).
std::int32_t IOResult();
/// Raises EInOutError for a pending code, clearing it first.
void CheckIOResult();
/// The message of EInOutError for `code`.
std::string InOutErrorMessage(std::int32_t code);
/// The I/O result code for a platform errno of an open of `path`.
std::int32_t IOCodeOfErrno(int error, const std::string& path);

} // namespace virevi
