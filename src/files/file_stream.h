#pragma once
// A file opened by name, read and written at a current position.
#include <cstddef>
#include <cstdint>
#include <string>

namespace virevi {

enum class TFileMode {
    Create,        ///< read and write; created, or truncated to 0 bytes; no sharing
    ReadDenyWrite, ///< read; others may read but not write
    ReadExclusive, ///< read; no sharing
};

/// A file stream; the file closes when the stream is destroyed. Sharing is
/// kept with advisory locks, which only other cooperating programs honour.
class TFileStream {
public:
    /// Raises EFCreateError (Create) or EFOpenError (the read modes), each
    /// with `fileName` exactly as given in the message. The read modes
    /// refuse what is not a regular file after following links (a FIFO, a
    /// device, a /proc file), without waiting for a FIFO's writer.
    TFileStream(const std::string& fileName, TFileMode mode);
    ~TFileStream();
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    /// Bytes from 0 to the end of the file; 0 when the size cannot be read.
    std::int64_t Size() const;
    std::int64_t Position() const { return Position_; }
    void Seek(std::int64_t position) { Position_ = position; }

    /// Up to `count` bytes at the position, one system call; returns the
    /// bytes delivered, 0 at the end. Raises EReadError when the system
    /// reports an error: taken for the end, it would cut a document short
    /// without a word, and a save would then write the shortened one back.
    std::size_t Read(void* buffer, std::size_t count);

    /// Writes `count` bytes at the position; raises EWriteError when
    /// `count` is not 0 and fewer bytes were stored. Each time another
    /// WriteBehind bytes of a regular file are written, their writing to the
    /// disk is started (without waiting), so that a Flush after a long file
    /// waits for little; a failure to start it raises EWriteError too.
    void Write(const void* buffer, std::size_t count);
    static constexpr std::int64_t WriteBehind = 8 << 20;

    /// Flushes the written bytes to the disk; raises EWriteError on failure.
    void Flush();
    /// Closes the file, raising EWriteError when the system reports an error
    /// (some file systems report a lost write only here). A writer calls it
    /// at the end; the destructor closes silently.
    void Close();

    const std::string& FileName() const { return FileName_; }

private:
    std::string FileName_;
    int Handle_ = -1;
    std::int64_t Position_ = 0;
    bool Regular_ = false;
    std::int64_t Started_ = 0; // the disk writing has been started up to here
};

} // namespace virevi
