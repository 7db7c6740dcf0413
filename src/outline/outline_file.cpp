// The outline text file: one line per item, tabs for the depth, CR LF after each.
#include "outline/custom_outline.h"

#include <cstring>
#include <string>
#include <vector>

#include "files/file_stream.h"
#include "runtime/errors.h"
#include "runtime/messages.h"
#include "runtime/shift_jis.h"

namespace virevi {

void TCustomOutline::SaveOutline(const std::string& fileName) {
    // Refused before the file is created, so an existing one is not truncated.
    CheckStorableDepth();
    TFileStream stream(fileName, TFileMode::Create);
    SaveOutlineStream(stream);
}

void TCustomOutline::SaveOutlineStream(TFileStream& stream) {
    SaveOutlineTo([&stream](const char* bytes, std::size_t count) { stream.Write(bytes, count); });
}

void TCustomOutline::LoadOutline(const std::string& fileName) {
    TFileStream stream(fileName, TFileMode::ReadExclusive);
    LoadOutlineStream(stream);
}

void TCustomOutline::LoadOutlineStream(TFileStream& stream) {
    LoadOutlineFrom(
        [&stream](char* buffer, std::size_t count) { return stream.Read(buffer, count); });
}

namespace {

// Calls onItem(item, depth) for every item below `root` in outline order,
// depth 0 for top-level items, without recursion: a file can nest items
// thousands deep.
template <typename TOnItem> void VisitInOutlineOrder(const TOutlineNode* root, TOnItem&& onItem) {
    std::vector<std::pair<const TOutlineNode*, std::int32_t>> pending{{root, 0}};
    while (!pending.empty()) {
        auto& [node, next] = pending.back();
        if (next >= node->ChildCount()) {
            pending.pop_back();
            continue;
        }
        const TOutlineNode* child = node->Child(next++);
        onItem(child, pending.size() - 1);
        if (child->HasChildren()) {
            pending.emplace_back(child, 0);
        }
    }
}

constexpr std::size_t WindowSize = 4096;
// Indentation and caption of a line; with CR LF it fills the window exactly.
constexpr std::size_t LongestLine = WindowSize - 2;
constexpr char CR = 0x0D;
constexpr char LF = 0x0A;
constexpr char EndOfText = 0x1A;

bool IsBlank(char byte) {
    return byte == '\t' || byte == ' ';
}

/// Bytes of `text` that fit in `room`, never splitting a double-byte character.
std::size_t WholeCharacters(std::string_view text, std::size_t room) {
    std::size_t length = 0;
    while (length < text.size()) {
        const bool pair =
            IsLeadByte(static_cast<unsigned char>(text[length])) && length + 1 < text.size();
        const std::size_t next = length + (pair ? 2 : 1);
        if (next > room) {
            break;
        }
        length = next;
    }
    return length;
}

} // namespace

void TCustomOutline::LoadOutlineFrom(const std::function<std::size_t(char*, std::size_t)>& read) {
    std::vector<char> window(WindowSize);
    ClearItems();
    TOutlineNode* current = RootItem_;
    std::size_t previousDepth = 0;
    std::size_t dataEnd = WindowSize;
    try {
        for (;;) {
            // Carry the unfinished line over to the window start, then fill the rest.
            const std::size_t carried = WindowSize - dataEnd;
            std::memmove(window.data(), window.data() + dataEnd, carried);
            const std::size_t wanted = WindowSize - carried;
            const std::size_t got = read(window.data() + carried, wanted);
            if (got < wanted) {
                dataEnd = carried + got;
                window[dataEnd] = EndOfText;
            } else {
                // Only CRs at offsets 1 to 4094 can end the window's last whole
                // line: one in the last byte might belong to a CR LF cut in half.
                std::size_t cr = WindowSize - 2;
                while (cr > 0 && window[cr] != CR) {
                    --cr;
                }
                if (cr == 0) {
                    throw EOutlineError(msg::SOutlineLongLine);
                }
                dataEnd = cr + 1;
                if (window[dataEnd] == LF) {
                    ++dataEnd;
                }
            }

            std::size_t cursor = 0;
            while (cursor < dataEnd && window[cursor] != EndOfText) {
                std::size_t depth = 0;
                while (IsBlank(window[cursor])) {
                    ++depth;
                    ++cursor;
                }
                const std::size_t start = cursor;
                while (window[cursor] != CR && window[cursor] != EndOfText) {
                    ++cursor;
                }
                const std::string_view caption(window.data() + start, cursor - start);
                if (window[cursor] == CR) {
                    ++cursor;
                    if (window[cursor] == LF) {
                        ++cursor;
                    }
                }

                TOutlineNode* parent = current;
                if (depth > previousDepth || current == RootItem_) {
                    if (depth - previousDepth > 1) {
                        throw EOutlineError(msg::SOutlineFileLoad);
                    }
                } else {
                    for (std::size_t up = previousDepth - depth + 1; up > 0; --up) {
                        if (parent == RootItem_) {
                            throw EOutlineError(msg::SOutlineFileLoad);
                        }
                        parent = parent->Parent_;
                    }
                }
                // Appended as is: counts and rows are made once, after the last line.
                auto* item = new TOutlineNode(caption, nullptr);
                if (parent->Children_ == nullptr) {
                    parent->Children_ = new TOutlineNode::TChildList;
                }
                parent->Children_->Items.push_back(item);
                item->Parent_ = parent;
                current = item;
                previousDepth = depth;
            }
            // Stopped at 0x1A: the end of the data, wherever it stands.
            if (cursor < dataEnd || (dataEnd < WindowSize && window[dataEnd] == EndOfText)) {
                break;
            }
        }
    } catch (...) {
        RecountTree();
        AfterLoad();
        throw;
    }
    RecountTree();
    AfterLoad();
}

void TCustomOutline::CheckStorableDepth() const {
    // One parent chain at a time from each leaf would be quadratic; one walk
    // that tracks the depth finds the deepest item.
    VisitInOutlineOrder(RootItem_, [](const TOutlineNode*, std::size_t depth) {
        if (depth > LongestLine) {
            throw EOutlineError(msg::SOutlineMaxLevels);
        }
    });
}

void TCustomOutline::SaveOutlineTo(const std::function<void(const char*, std::size_t)>& write) {
    CheckStorableDepth();
    std::vector<char> buffer(WindowSize);
    std::string caption;
    bool afterEmptyLine = false;
    VisitInOutlineOrder(RootItem_, [&](const TOutlineNode* item, std::size_t indent) {
        // The storable form: the reader would take leading blanks for depth,
        // a CR for a line end and 0x1A for the end of the file.
        caption.clear();
        for (const char byte : item->Text()) {
            if (byte != CR && byte != EndOfText && (!caption.empty() || !IsBlank(byte))) {
                caption.push_back(byte);
            }
        }
        // A window that starts with an empty line cannot use its CR, so the
        // line after it must end two bytes earlier.
        const std::size_t longest = afterEmptyLine ? LongestLine - 2 : LongestLine;
        const std::size_t length = WholeCharacters(caption, longest - indent);
        std::memset(buffer.data(), '\t', indent);
        std::memcpy(buffer.data() + indent, caption.data(), length);
        buffer[indent + length] = CR;
        buffer[indent + length + 1] = LF;
        write(buffer.data(), indent + length + 2);
        afterEmptyLine = indent + length == 0;
    });
}

} // namespace virevi
