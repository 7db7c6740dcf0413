#pragma once
// An ordered list of byte strings, kept as one byte buffer and the offsets
// of its lines, so that ten million lines cost little more than their bytes.
// An operation that raises leaves the list exactly as it was, whichever of
// its allocations failed (AddRange keeps, as documented, what lay before the
// first index outside its source).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "files/byte_buffer.h"
#include "files/line_starts.h"
#include "runtime/allocation.h"

namespace virevi {

/// Lines First … First + Count - 1 of a list.
struct TLineRun {
    std::size_t First = 0;
    std::size_t Count = 0;
};

class TStringList {
public:
    /// Number of lines.
    std::size_t Count() const { return Starts_.size() - 1; }
    bool Empty() const { return Count() == 0; }

    /// Line `index`; raises EStringListError with the index when outside the list.
    std::string_view Strings(std::int64_t index) const;
    /// Line `index` without a check; `index` < Count().
    std::string_view operator[](std::size_t index) const {
        const std::uint64_t start = Starts_[index];
        return std::string_view(Bytes_.data() + start, Starts_[index + 1] - start);
    }

    /// Appends one line (any bytes, CR and LF included: only the file form splits).
    void Add(std::string_view line);
    /// Appends lines `first` … `first + count - 1` of `source`; raises
    /// EStringListError for the first index outside `source`, keeping the lines before it.
    void AddRange(const TStringList& source, std::int64_t first, std::int64_t count);
    /// Removes every line.
    void Clear();
    /// Keeps the first `count` lines; nothing when there are no more.
    void Truncate(std::size_t count) noexcept;
    /// Keeps the first `keep` lines and puts after them the list's own lines
    /// of each run in turn, dropping all others; runs may repeat or overlap.
    /// Lines are moved within the list's memory wherever that is safe, and
    /// only the runs that would be overwritten before their turn are copied
    /// aside first. Raises EStringListError for `keep` or a run reaching
    /// past the end, and then changes nothing.
    void Rearrange(std::size_t keep, const std::vector<TLineRun>& runs);
    /// Reserves room for `lines` more lines of `bytes` bytes in all.
    void Reserve(std::size_t lines, std::size_t bytes);
    /// Bytes held for the lines and their starts, room included.
    std::size_t Reserved() const { return Bytes_.capacity() + Starts_.Reserved(); }
    /// Exchanges the contents (not the notification handlers) of two lists.
    void Swap(TStringList& other) noexcept;

    /// Replaces the list with the lines of the file; raises EFOpenError
    /// when the file cannot be opened or is not a stored file, and
    /// EOutOfMemory when its lines do not fit in memory, the list unchanged.
    void LoadLines(const std::string& fileName);
    /// As LoadLines, for a text file of today: one in UTF-8 or UTF-16 (as
    /// DetectTextEncoding tells) is converted to Shift-JIS before it is
    /// split, any other is taken byte for byte. Returns the characters that
    /// became "?" (ConvertToShiftJis).
    std::size_t LoadTextLines(const std::string& fileName);
    /// Creates or truncates the file and writes the text form; raises
    /// EFCreateError or EWriteError.
    void SaveLines(const std::string& fileName) const;
    /// Every line followed by CR LF; empty for an empty list.
    std::string LinesToText() const;
    /// Replaces the list with the lines of `text`: CR LF, LF and CR each end
    /// a line, a final line end adds no empty line, a NUL ends the text.
    /// Raises EOutOfMemory, the list unchanged, when they do not fit.
    void TextToLines(std::string_view text);

    /// A number that changes with every change of the lines, and stays while
    /// they do not.
    std::uint64_t Changes() const { return Changes_; }

    /// Updates nest; the outermost begin and end notify.
    void BeginUpdate();
    void EndUpdate();
    std::function<void()> OnChanging;
    std::function<void()> OnChange;

private:
    void LoadLinesFrom(const std::string& fileName);
    std::size_t LoadTextFrom(const std::string& fileName);
    void SplitText(std::string_view text);
    void Changing();
    void Changed();
    // Takes `bytes` and `starts` as the list's lines.
    void TakeLines(TByteBuffer&& bytes, TLineStarts&& starts);

    TByteBuffer Bytes_;
    TLineStarts Starts_; // Count() + 1 entries; line i is [Starts_[i], Starts_[i+1])
    int UpdateCount_ = 0;
    std::uint64_t Changes_ = 0;
};

} // namespace virevi
