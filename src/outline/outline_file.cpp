// The outline text file: one line per item, tabs for the depth, CR LF after each.
#include "outline/outline_tree.h"

#include <string.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "files/file_stream.h"
#include "outline/outline_file.h"
#include "runtime/byte_scan.h"
#include "runtime/errors.h"
#include "runtime/messages.h"
#include "runtime/shift_jis.h"

namespace virevi {

void TOutlineTree::SaveOutline(const std::string& fileName) {
    // Refused before the file is created, so an existing one is not truncated.
    CheckStorableDepth();
    TFileStream stream(fileName, TFileMode::Create);
    SaveOutlineStream(stream);
    stream.Close();
}

void TOutlineTree::SaveOutlineStream(TFileStream& stream) {
    SaveOutlineTo([&stream](const char* bytes, std::size_t count) { stream.Write(bytes, count); });
}

void TOutlineTree::LoadOutline(const std::string& fileName) {
    TFileStream stream(fileName, TFileMode::ReadExclusive);
    LoadOutlineStream(stream);
}

void TOutlineTree::LoadOutlineStream(TFileStream& stream) {
    LoadOutlineFrom(
        [&stream](char* buffer, std::size_t count) { return stream.Read(buffer, count); });
}

namespace {

constexpr std::size_t WindowSize = 4096;
// Indentation and caption of a line; with CR LF it fills the window exactly.
constexpr std::size_t LongestLine = WindowSize - 2;
constexpr char CR = 0x0D;
constexpr char LF = 0x0A;
constexpr char EndOfText = 0x1A;

bool IsBlank(char byte) {
    return byte == '\t' || byte == ' ';
}

/// Whether `text` holds a CR or a 0x1A byte.
bool HoldsCROrEndOfText(std::string_view text) {
    const char* end = text.data() + text.size();
    return FindAnyOf(text.data(), end, CR, EndOfText, CR) != end;
}

/// Bytes of `text` that fit in `room`, never splitting a double-byte character.
std::size_t WholeCharacters(std::string_view text, std::size_t room) {
    std::size_t length = 0;
    while (length < text.size()) {
        const std::size_t next = length + CharLengthAt(text, length);
        if (next > room) {
            break;
        }
        length = next;
    }
    return length;
}

} // namespace

namespace {

/// The first CR or 0x1A in [cursor, end); a line of the window always
/// ends with one before `end`.
const char* FindLineEnd(const char* cursor, const char* end) {
    return FindAnyOf(cursor, end, CR, EndOfText, CR);
}

/// Hands the file to the parser window by window. A window is what the
/// 4096-byte reading buffer would hold: it starts where the last whole line
/// of the one before ended. Reading in large blocks keeps the windows and
/// their limits while making one read per megabyte instead of per window.
class TWindowSource {
public:
    explicit TWindowSource(const std::function<std::size_t(char*, std::size_t)>& read)
        : Read_(read), Buffer_(BlockSize + 1) {}

    /// The next window's start and its size; fewer than WindowSize bytes
    /// only at the end of the data, which is then followed by 0x1A.
    std::pair<char*, std::size_t> Next(std::size_t consumed) {
        Begin_ += consumed;
        if (!AtEnd_ && Loaded_ - Begin_ < WindowSize) {
            std::memmove(Buffer_.data(), Buffer_.data() + Begin_, Loaded_ - Begin_);
            Loaded_ -= Begin_;
            Begin_ = 0;
            while (Loaded_ < BlockSize) {
                const std::size_t wanted = BlockSize - Loaded_;
                const std::size_t got = Read_(Buffer_.data() + Loaded_, wanted);
                Loaded_ += got;
                if (got < wanted) {
                    AtEnd_ = true;
                    Buffer_[Loaded_] = EndOfText;
                    break;
                }
            }
        }
        const std::size_t size = Loaded_ - Begin_;
        return {Buffer_.data() + Begin_, AtEnd_ ? std::min(size, WindowSize) : WindowSize};
    }

private:
    static constexpr std::size_t BlockSize = std::size_t{1} << 20;

    const std::function<std::size_t(char*, std::size_t)>& Read_;
    std::vector<char> Buffer_;
    std::size_t Begin_ = 0;
    std::size_t Loaded_ = 0;
    bool AtEnd_ = false;
};

} // namespace

void TOutlineTree::LoadOutlineFrom(const std::function<std::size_t(char*, std::size_t)>& read) {
    DropItems(true);
    SyncRows();
    try {
        BuildFromOutlineText(read);
    } catch (...) {
        AfterLoad();
        throw;
    }
    AfterLoad();
}

void TOutlineTree::BuildFromOutlineText(
    const std::function<std::size_t(char*, std::size_t)>& read) {
    using TChildList = TOutlineNode::TChildList;
    // The open items: the root, then each item down to the last one read.
    // Their children wait in one stack, the deepest item's on top, until the
    // item is finished; then they get a list of exactly their number. Every
    // position is known when an item is made, and every size when it ends.
    struct TOpen {
        TOutlineNode* Node;
        std::int32_t Index;
        std::size_t FirstChild; // in `children`
    };
    std::vector<TOpen> open{{RootItem_, 0, 0}};
    std::vector<TOutlineNode*> children;
    std::int32_t nextIndex = 1;

    const auto finish = [&](std::size_t keep) {
        while (open.size() > keep) {
            const TOpen& done = open.back();
            done.Node->Size_ = nextIndex - done.Index;
            const auto count = static_cast<std::int32_t>(children.size() - done.FirstChild);
            if (count > 0) {
                auto* list = new (Store_.Allocate(TChildList::BlockBytes(count)))
                    TChildList{count, count, count};
                std::memcpy(list->begin(), children.data() + done.FirstChild,
                            sizeof(TOutlineNode*) * static_cast<std::size_t>(count));
                done.Node->Children_ = list;
                if (done.Node == RootItem_) {
                    RootItem_->ShownCount_ = count; // every item is collapsed
                }
            }
            children.resize(done.FirstChild);
            open.pop_back();
        }
    };

    try {
        TWindowSource source(read);
        std::size_t previousDepth = 0;
        std::size_t consumed = 0;
        for (;;) {
            const auto [window, size] = source.Next(consumed);
            std::size_t dataEnd = size;
            if (size == WindowSize) {
                // Only CRs at offsets 1 to 4094 can end the window's last whole
                // line: one in the last byte might belong to a CR LF cut in half.
                const void* cr = memrchr(window + 1, CR, WindowSize - 2);
                if (cr == nullptr) {
                    throw EOutlineError(msg::SOutlineLongLine);
                }
                dataEnd = static_cast<const char*>(cr) - window + 1;
                if (window[dataEnd] == LF) {
                    ++dataEnd;
                }
            }

            const char* cursor = window;
            const char* const end = window + dataEnd;
            while (cursor < end && *cursor != EndOfText) {
                const char* start = cursor;
                while (IsBlank(*cursor)) {
                    ++cursor;
                }
                const auto depth = static_cast<std::size_t>(cursor - start);
                start = cursor;
                // Every line before the data's end ends with a CR, and the
                // last one at the latest with the 0x1A just past it.
                cursor = FindLineEnd(cursor, end + 1);
                const std::string_view caption(start, static_cast<std::size_t>(cursor - start));
                if (*cursor == CR) {
                    ++cursor;
                    if (*cursor == LF) {
                        ++cursor;
                    }
                }

                // The parent, as the line's depth places it against the line before.
                std::size_t parent = open.size() - 1;
                if (depth > previousDepth || parent == 0) {
                    if (depth - previousDepth > 1) {
                        throw EOutlineError(msg::SOutlineFileLoad);
                    }
                } else {
                    const std::size_t up = previousDepth - depth + 1;
                    if (up > parent) {
                        throw EOutlineError(msg::SOutlineFileLoad);
                    }
                    parent -= up;
                }
                finish(parent + 1);
                if (nextIndex == INT32_MAX) {
                    throw EOutlineError(msg::SOutlineFileLoad);
                }
                TOutlineNode* item = NewItem(caption, nullptr);
                const TOpen& above = open.back();
                item->Parent_ = above.Node;
                item->Offset_ = nextIndex - above.Index;
                item->RowOffset_ =
                    static_cast<std::int32_t>(children.size() - above.FirstChild) + 1;
                children.push_back(item);
                open.push_back({item, nextIndex++, children.size()});
                DepthBound_ = std::max(DepthBound_, static_cast<std::int64_t>(open.size() - 1));
                previousDepth = depth;
            }
            // Stopped at 0x1A: the end of the data, wherever it stands.
            if (cursor < end || size < WindowSize || window[dataEnd] == EndOfText) {
                break;
            }
            consumed = dataEnd;
        }
    } catch (...) {
        // Loaded as far as read; when even that fails, nothing is left.
        try {
            finish(0);
        } catch (...) {
            DropItems(false);
        }
        throw;
    }
    finish(0);
}

std::size_t TOutlineItemLimit::operator()(char* buffer, std::size_t count) {
    if (Ended_) {
        return 0;
    }
    const std::size_t got = Read_(buffer, count);
    for (std::size_t i = 0; i < got; ++i) {
        if (buffer[i] == EndOfText) {
            Ended_ = true;
            return i + 1;
        }
        if (buffer[i] == CR) {
            if (Left_ == 0) {
                Ended_ = true;
                return i + 1;
            }
            --Left_;
        }
    }
    return got;
}

void TOutlineTree::CheckStorableDepth() const {
    if (static_cast<std::size_t>(DepthBound_) <= LongestLine + 1) {
        return;
    }
    // One parent chain at a time from each leaf would be quadratic; one walk
    // that tracks the depth finds the deepest item.
    std::size_t deepest = 0;
    VisitDescendants(RootItem_, [&deepest](const TOutlineNode*, std::size_t depth) {
        if (depth > LongestLine) {
            throw EOutlineError(msg::SOutlineMaxLevels);
        }
        deepest = std::max(deepest, depth);
    });
    DepthBound_ = static_cast<std::int64_t>(deepest + 1);
}

void TOutlineTree::SaveOutlineTo(const std::function<void(const char*, std::size_t)>& write) {
    CheckStorableDepth();
    // Lines go out in blocks of about a megabyte, not one call per item.
    constexpr std::size_t BlockSize = std::size_t{1} << 20;
    std::vector<char> block(BlockSize + WindowSize);
    std::size_t used = 0;
    std::string caption;
    bool afterEmptyLine = false;
    VisitDescendants(RootItem_, [&](const TOutlineNode* item, std::size_t indent) {
        std::string_view text = item->Text();
        // A window that starts with an empty line cannot use its CR, so the
        // line after it must end two bytes earlier.
        const std::size_t longest = (afterEmptyLine ? LongestLine - 2 : LongestLine) - indent;
        const bool asItIs = text.size() <= longest && (text.empty() || !IsBlank(text[0])) &&
                            !HoldsCROrEndOfText(text);
        if (!asItIs) {
            // The storable form: the reader would take leading blanks for
            // depth, a CR for a line end and 0x1A for the end of the file.
            caption.clear();
            for (const char byte : text) {
                if (byte != CR && byte != EndOfText && (!caption.empty() || !IsBlank(byte))) {
                    caption.push_back(byte);
                }
            }
            text = std::string_view(caption).substr(0, WholeCharacters(caption, longest));
        }
        if (used + indent + text.size() + 2 > block.size()) {
            write(block.data(), used);
            used = 0;
        }
        char* line = block.data() + used;
        std::memset(line, '\t', indent);
        if (!text.empty()) {
            std::memcpy(line + indent, text.data(), text.size());
        }
        line[indent + text.size()] = CR;
        line[indent + text.size() + 1] = LF;
        used += indent + text.size() + 2;
        afterEmptyLine = indent + text.size() == 0;
        if (used >= BlockSize) {
            write(block.data(), used);
            used = 0;
        }
    });
    if (used > 0) {
        write(block.data(), used);
    }
}

} // namespace virevi
