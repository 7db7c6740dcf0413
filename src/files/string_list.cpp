#include "files/string_list.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "files/file_stream.h"
#include "files/line_starts.h"
#include "runtime/allocation.h"
#include "runtime/byte_scan.h"
#include "runtime/errors.h"
#include "runtime/format.h"
#include "runtime/messages.h"
#include "runtime/scope_guard.h"
#include "runtime/text_encoding.h"

namespace virevi {

namespace {
// Holds an update of the list until the end of the scope.
auto Updating(TStringList& list) {
    list.BeginUpdate();
    return TScopeGuard([&list] { list.EndUpdate(); });
}

// The first NUL, LF or CR at or after `p`, or `end`.
inline const char* LineEnd(const char* p, const char* end) {
    return FindAnyOf(p, end, '\0', '\n', '\r');
}

// A close upper guess of the number of lines, so the offsets are allocated once.
std::size_t EstimateLines(std::string_view text) {
    const std::size_t lf = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    if (lf != 0) {
        return lf + 1;
    }
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')) + 1;
}
} // namespace

std::string_view TStringList::Strings(std::int64_t index) const {
    if (index < 0 || static_cast<std::uint64_t>(index) >= Count()) {
        throw EStringListError(FormatD(msg::SListIndexError, index));
    }
    return (*this)[static_cast<std::size_t>(index)];
}

void TStringList::Add(std::string_view line) {
    // The line's start is given room before its bytes go in: bytes appended
    // without a line to hold them would be taken into the next line added.
    if (Starts_.size() == Starts_.capacity()) {
        Starts_.reserve(Starts_.size() * 2);
    }
    Changing();
    const std::size_t oldBytes = Bytes_.size();
    Bytes_.append(line);
    try {
        Starts_.push_back(Bytes_.size());
    } catch (...) {
        Bytes_.SetSize(oldBytes);
        throw;
    }
    Changed();
}

void TStringList::Truncate(std::size_t count) noexcept {
    if (count >= Count()) {
        return;
    }
    Changing();
    Starts_.Truncate(count + 1);
    Bytes_.SetSize(Starts_.back());
    Changed();
}

void TStringList::AddRange(const TStringList& source, std::int64_t first, std::int64_t count) {
    if (count <= 0) {
        return;
    }
    if (first < 0) {
        throw EStringListError(FormatD(msg::SListIndexError, first));
    }
    const std::int64_t available = static_cast<std::int64_t>(source.Count());
    const std::int64_t end = first + count;
    const std::int64_t validEnd = end <= available ? end : available;
    // The lines before the first bad index go in, as appending one at a time would.
    if (validEnd > first) {
        const std::size_t old = Starts_.size();
        const std::size_t oldBytes = Bytes_.size();
        const auto lines = static_cast<std::size_t>(validEnd - first);
        Starts_.reserve(old + lines);
        Changing();
        const std::uint64_t from = source.Starts_[static_cast<std::size_t>(first)];
        const std::uint64_t to = source.Starts_[static_cast<std::size_t>(validEnd)];
        Bytes_.append(source.Bytes_.data() + from, to - from);
        const std::uint64_t shift =
            oldBytes - from; // wraps as unsigned: adding it moves each offset
        try {
            for (std::size_t i = 1; i <= lines; ++i) {
                Starts_.push_back(source.Starts_[static_cast<std::size_t>(first) + i] + shift);
            }
        } catch (...) {
            Starts_.Truncate(old);
            Bytes_.SetSize(oldBytes);
            throw;
        }
        Changed();
    }
    if (end > available) {
        throw EStringListError(
            FormatD(msg::SListIndexError, first > available ? first : available));
    }
}

void TStringList::Clear() {
    if (Count() == 0 && Bytes_.empty()) {
        return;
    }
    Changing();
    Bytes_.clear();
    Starts_.Reset();
    Changed();
}

void TStringList::Rearrange(std::size_t keep, const std::vector<TLineRun>& runs) {
    const std::size_t lines = Count();
    if (keep > lines) {
        throw EStringListError(FormatD(msg::SListIndexError, static_cast<std::int64_t>(lines)));
    }
    for (const TLineRun& run : runs) {
        if (run.Count != 0 && (run.First >= lines || run.Count > lines - run.First)) {
            throw EStringListError(FormatD(msg::SListIndexError,
                                           static_cast<std::int64_t>(std::max(run.First, lines))));
        }
    }
    // Where each run's bytes are now, and how many; the offsets are read
    // before any line moves.
    const std::size_t n = runs.size();
    TVector<std::uint64_t> fromByte(n);
    TVector<std::uint64_t> bytes(n);
    const std::uint64_t keepBytes = Starts_[keep];
    std::size_t newLines = keep;
    std::uint64_t newBytes = keepBytes;
    for (std::size_t j = 0; j < n; ++j) {
        if (runs[j].Count != 0) {
            fromByte[j] = Starts_[runs[j].First];
            bytes[j] = Starts_[runs[j].First + runs[j].Count] - fromByte[j];
            newLines += runs[j].Count;
            newBytes += bytes[j];
        }
    }
    // The runs moved within the list's memory form a chain whose lines lie
    // in the same order as the runs and apart from each other, as their new
    // places do. Then moving the runs that go towards the front first to
    // last, and those that go towards the back last to first, never
    // overwrites lines still to be moved. The chain is taken from the last
    // run back; any run that does not fit it is copied aside first, which
    // for a note pool with one note rewritten at its end is that note alone.
    TVector<char> aside(n, 0);
    std::uint64_t asideBytes = 0;
    std::size_t bound = lines;
    for (std::size_t j = n; j-- > 0;) {
        if (runs[j].Count == 0) {
            continue;
        }
        if (runs[j].First + runs[j].Count <= bound) {
            bound = runs[j].First;
        } else {
            aside[j] = 1;
            asideBytes += bytes[j];
        }
    }
    TByteBuffer copied;
    copied.reserve(asideBytes);
    for (std::size_t j = 0; j < n; ++j) {
        if (aside[j] != 0) {
            copied.append(Bytes_.data() + fromByte[j], bytes[j]);
        }
    }
    // The new starts are worked out from the old ones, which stay as they
    // are while the bytes move.
    // An eighth to spare: the pool grows again with the next commit, which
    // would otherwise copy every line start of a large document at once.
    TLineStarts starts;
    starts.reserve(newLines + 1 + newLines / 8);
    for (std::size_t i = 1; i <= keep; ++i) {
        starts.push_back(Starts_[i]);
    }
    std::uint64_t toByte = keepBytes;
    for (std::size_t j = 0; j < n; ++j) {
        const TLineRun& run = runs[j];
        for (std::size_t i = 1; i <= run.Count; ++i) {
            starts.push_back(Starts_[run.First + i] - fromByte[j] + toByte);
        }
        toByte += bytes[j];
    }
    // All the memory is taken before the first byte moves, so a failure
    // leaves the list's lines exactly as they were.
    Bytes_.reserve(newBytes);

    Changing();
    char* const text = Bytes_.data();
    toByte = keepBytes;
    for (std::size_t j = 0; j < n; ++j) {
        if (runs[j].Count == 0) {
            continue;
        }
        if (aside[j] == 0 && toByte < fromByte[j]) {
            std::memmove(text + toByte, text + fromByte[j], bytes[j]);
        }
        toByte += bytes[j];
    }
    for (std::size_t j = n; j-- > 0;) {
        if (runs[j].Count == 0) {
            continue;
        }
        toByte -= bytes[j];
        if (aside[j] == 0 && toByte > fromByte[j]) {
            std::memmove(text + toByte, text + fromByte[j], bytes[j]);
        }
    }
    std::uint64_t copiedByte = 0;
    for (std::size_t j = 0; j < n; ++j) {
        if (aside[j] != 0) {
            std::memcpy(text + toByte, copied.data() + copiedByte, bytes[j]);
            copiedByte += bytes[j];
        }
        toByte += bytes[j];
    }
    Bytes_.SetSize(newBytes);
    Starts_.swap(starts);
    Changed();
}

void TStringList::Reserve(std::size_t lines, std::size_t bytes) {
    Starts_.reserve(Starts_.size() + lines);
    Bytes_.reserve(Bytes_.size() + bytes);
}

void TStringList::Swap(TStringList& other) noexcept {
    Bytes_.swap(other.Bytes_);
    Starts_.swap(other.Starts_);
    ++Changes_;
    ++other.Changes_;
}

namespace {

// Splits text into lines where it lies: each block of text put after the
// lines split so far is closed up over its line ends as it is scanned,
// while it is still in the cache. CR LF, LF and CR each end a line, a
// final line end adds no empty line, a NUL ends the text.
class TLineSplitter {
public:
    // Bytes the copy below may read and write past a line.
    static constexpr std::size_t Slack = 16;

    TLineSplitter(TByteBuffer& bytes, TLineStarts& starts) : Bytes_(bytes), Starts_(starts) {}

    /// Splits the `count` bytes that follow the lines split so far; false
    /// once a NUL has ended the text. The buffer holds Slack bytes of room
    /// past them.
    bool Split(std::size_t count) {
        char* const base = Bytes_.data();
        const char* p = base + Kept_;
        const char* const end = p + count;
        char* out = base + Kept_;
        if (AfterCR_ && p < end && *p == '\n') {
            ++p;
        }
        AfterCR_ = false;
        while (p < end) {
            const char* stop = LineEnd(p, end);
            const auto length = static_cast<std::size_t>(stop - p);
            MoveCloser(out, p, length);
            out += length;
            LineOpen_ = LineOpen_ || length > 0;
            if (stop == end) {
                break;
            }
            if (*stop == '\0') {
                Kept_ = static_cast<std::size_t>(out - base);
                return false;
            }
            Starts_.push_back(static_cast<std::uint64_t>(out - base));
            LineOpen_ = false;
            p = stop + 1;
            if (*stop == '\r') {
                if (p == end) {
                    AfterCR_ = true;
                } else if (*p == '\n') {
                    ++p;
                }
            }
        }
        Kept_ = static_cast<std::size_t>(out - base);
        return true;
    }

    /// Ends the last line when it has bytes; the buffer keeps the lines only.
    void Finish() {
        if (LineOpen_) {
            Starts_.push_back(Kept_);
            LineOpen_ = false;
        }
        Bytes_.SetSize(Kept_);
    }

    /// Bytes of the lines split so far, the unfinished one included.
    std::size_t Kept() const { return Kept_; }

private:
    // The text only ever moves towards the front. Once it has moved by a
    // block's width, whole blocks can be copied: what they write past the
    // line is text already moved.
    static void MoveCloser(char* to, const char* from, std::size_t length) {
        if (to == from) {
            return;
        }
#if defined(__SSE2__)
        if (from - to >= static_cast<std::ptrdiff_t>(Slack)) {
            for (std::size_t i = 0; i < length; i += 16) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
            }
            return;
        }
#endif
        std::memmove(to, from, length);
    }

    TByteBuffer& Bytes_;
    TLineStarts& Starts_;
    std::size_t Kept_ = 0;
    bool LineOpen_ = false; // bytes of a line whose end is still to come
    bool AfterCR_ = false;  // the last block ended with a CR: an LF may follow
};

} // namespace

void TStringList::LoadLines(const std::string& fileName) {
    WithOutOfMemoryError([&] { LoadLinesFrom(fileName); });
}

void TStringList::LoadLinesFrom(const std::string& fileName) {
    TFileStream stream(fileName, TFileMode::ReadDenyWrite);
    const auto update = Updating(*this);
    const auto size =
        static_cast<std::size_t>(std::max<std::int64_t>(stream.Size() - stream.Position(), 0));
    // The file is read a block at a time straight into the list's memory and
    // split there while the block is in the cache: one copy of the text,
    // never zeroed first.
    constexpr std::size_t BlockSize = std::size_t{1} << 20;
    TByteBuffer bytes;
    bytes.reserve(size + TLineSplitter::Slack);
    TLineStarts starts;
    TLineSplitter splitter(bytes, starts);
    std::size_t remaining = size;
    bool firstBlock = true;
    while (remaining > 0) {
        const std::size_t wanted = std::min(remaining, BlockSize);
        // Only what the read delivered is text; a file that shrank after its
        // size was taken leaves no stale bytes behind.
        const std::size_t got = stream.Read(bytes.data() + splitter.Kept(), wanted);
        if (got == 0) {
            break;
        }
        remaining -= got;
        if (!splitter.Split(got)) {
            break;
        }
        if (firstBlock && remaining > 0) {
            // The first block tells how long lines run; room for all of them once.
            const double perByte = static_cast<double>(starts.size()) / static_cast<double>(got);
            starts.reserve(static_cast<std::size_t>(perByte * static_cast<double>(size) * 1.1) +
                           1024);
        }
        firstBlock = false;
    }
    splitter.Finish();
    TakeLines(std::move(bytes), std::move(starts));
}

std::size_t TStringList::LoadTextLines(const std::string& fileName) {
    std::size_t replaced = 0;
    WithOutOfMemoryError([&] { replaced = LoadTextFrom(fileName); });
    return replaced;
}

std::size_t TStringList::LoadTextFrom(const std::string& fileName) {
    TFileStream stream(fileName, TFileMode::ReadDenyWrite);
    const auto update = Updating(*this);
    const auto size =
        static_cast<std::size_t>(std::max<std::int64_t>(stream.Size() - stream.Position(), 0));
    // Whether the text is UTF-8 may show only at its end, so it is read whole
    // before anything is split; then converted and split where it lies, the
    // Shift-JIS form never being longer. No more memory than LoadLines takes.
    constexpr std::size_t BlockSize = std::size_t{1} << 20;
    TByteBuffer bytes;
    bytes.reserve(size + TLineSplitter::Slack);
    const char* const text = bytes.data();
    // The text ends at its first NUL (a zero unit in UTF-16), as in
    // LoadLines, and nothing after it is read: a file of a gigabyte of
    // zeros costs one block.
    std::size_t got = 0;
    std::size_t scanned = 0;
    bool utf16 = false;
    bool decided = false;
    bool ended = false;
    while (got < size && !ended) {
        const std::size_t read = stream.Read(bytes.data() + got, std::min(size - got, BlockSize));
        got += read;
        if (read == 0 || got == size || got >= 2) {
            if (!decided) {
                // Two bytes tell UTF-16 by its mark.
                const TTextEncoding mark =
                    DetectTextEncoding(std::string_view(text, std::min<std::size_t>(got, 2)));
                utf16 = mark == TTextEncoding::Utf16LE || mark == TTextEncoding::Utf16BE;
                scanned = utf16 ? 2 : 0;
                decided = true;
            }
            if (utf16) {
                for (; scanned + 1 < got; scanned += 2) {
                    if (text[scanned] == '\0' && text[scanned + 1] == '\0') {
                        ended = true;
                        break;
                    }
                }
            } else if (const void* nul = std::memchr(text + scanned, '\0', got - scanned)) {
                scanned = static_cast<std::size_t>(static_cast<const char*>(nul) - text);
                ended = true;
            } else {
                scanned = got;
            }
        }
        if (read == 0) {
            break;
        }
    }
    if (ended) {
        got = scanned;
    }
    const TTextEncoding encoding = DetectTextEncoding(std::string_view(text, got));
    const TConvertedText converted = ConvertToShiftJis(bytes.data(), got, encoding);
    TLineStarts starts;
    starts.reserve(EstimateLines(std::string_view(text, converted.Size)) + 1);
    TLineSplitter splitter(bytes, starts);
    splitter.Split(converted.Size);
    splitter.Finish();
    TakeLines(std::move(bytes), std::move(starts));
    return converted.Replaced;
}

void TStringList::TakeLines(TByteBuffer&& bytes, TLineStarts&& starts) {
    // Room left over by a guess is given back; a list of empty lines keeps
    // no room for the bytes of the line ends it was read from. When memory
    // is too short even to shrink, the lines are kept with their room.
    try {
        if (starts.capacity() > starts.size() + starts.size() / 8) {
            starts.ShrinkToFit();
        }
        bytes.ShrinkToFit();
    } catch (const std::bad_alloc&) {
    }
    Clear();
    Changing();
    Bytes_ = std::move(bytes);
    Starts_.swap(starts);
    Changed();
}

void TStringList::SaveLines(const std::string& fileName) const {
    TFileStream stream(fileName, TFileMode::Create);
    // The text form goes out through one reused buffer rather than a copy of
    // the whole list: the same bytes, without touching memory twice its size.
    constexpr std::size_t ChunkSize = 1 << 20;
    const auto chunk = std::make_unique_for_overwrite<char[]>(ChunkSize);
    char* const first = chunk.get();
    char* const last = first + ChunkSize;
    char* out = first;
    const char* const bytes = Bytes_.data();
    std::uint64_t start = Starts_[0];
    for (std::size_t i = 0, count = Count(); i < count; ++i) {
        const std::uint64_t next = Starts_[i + 1];
        const std::size_t length = next - start;
        if (length + 2 > static_cast<std::size_t>(last - out)) {
            stream.Write(first, static_cast<std::size_t>(out - first));
            out = first;
            if (length + 2 > ChunkSize) {
                stream.Write(bytes + start, length);
                stream.Write("\r\n", 2);
                start = next;
                continue;
            }
        }
        std::memcpy(out, bytes + start, length);
        out += length;
        *out++ = '\r';
        *out++ = '\n';
        start = next;
    }
    stream.Write(first, static_cast<std::size_t>(out - first));
    stream.Close();
}

std::string TStringList::LinesToText() const {
    std::string text;
    text.resize(Bytes_.size() + 2 * Count());
    char* out = text.data();
    for (std::size_t i = 0; i < Count(); ++i) {
        const std::size_t length = Starts_[i + 1] - Starts_[i];
        std::memcpy(out, Bytes_.data() + Starts_[i], length);
        out += length;
        *out++ = '\r';
        *out++ = '\n';
    }
    return text;
}

void TStringList::TextToLines(std::string_view text) {
    WithOutOfMemoryError([&] { SplitText(text); });
}

void TStringList::SplitText(std::string_view text) {
    const auto update = Updating(*this);
    TByteBuffer bytes;
    bytes.reserve(text.size() + TLineSplitter::Slack);
    bytes.append(text);
    TLineStarts starts;
    starts.reserve(EstimateLines(text) + 1);
    TLineSplitter splitter(bytes, starts);
    splitter.Split(text.size());
    splitter.Finish();
    TakeLines(std::move(bytes), std::move(starts));
}

void TStringList::BeginUpdate() {
    if (UpdateCount_++ == 0 && OnChanging) {
        OnChanging();
    }
}

void TStringList::EndUpdate() {
    if (--UpdateCount_ == 0 && OnChange) {
        OnChange();
    }
}

void TStringList::Changing() {
    ++Changes_;
    if (UpdateCount_ == 0 && OnChanging) {
        OnChanging();
    }
}

void TStringList::Changed() {
    if (UpdateCount_ == 0 && OnChange) {
        OnChange();
    }
}

} // namespace virevi
