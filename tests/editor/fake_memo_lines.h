#pragma once
// An in-memory note editor for core tests: the same line rules as TMemo
// (one empty last line not counted, the append rule, offsets with a line
// break counting two), a clipboard of its own, and typing that sets the
// modified flag as a user's would.
//
// Word wrap is a no-op unless `WrapWidth` is set: then, with word wrap on, a
// hard line reads as pieces of at most WrapWidth bytes (never splitting a
// double-byte character), so a test can tell hard lines from displayed ones.
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "editor/memo_lines.h"
#include "files/string_list.h"
#include "runtime/shift_jis.h"

namespace virevi::test {

class TFakeMemoLines : public TMemoLines {
public:
    /// The whole text, hard line breaks as CR LF.
    const std::string& Text() const { return Text_; }
    /// Replaces the text as a program would: the modified flag stays, the caret goes to 0.
    void SetText(std::string text) {
        Text_ = std::move(text);
        ++Revision_;
        Caret_ = Anchor_ = 0;
    }
    /// Types `bytes` at the caret, replacing the selection, as the user would
    /// ("\r\n" for Enter); sets the modified flag.
    void Type(std::string_view bytes) {
        ReplaceSelection(bytes);
        Modified_ = true;
    }

    /// The clipboard's plain text; empty means it holds no text.
    std::string Clipboard;
    /// Displayed-line width in bytes with word wrap on; 0 reads hard lines.
    std::size_t WrapWidth = 0;
    /// How often the word wrap was switched to the other value.
    int WrapSwitches = 0;
    bool HasFocus = false;

    std::size_t Count() const override {
        std::vector<std::string> lines = AllLines();
        if (!lines.empty() && lines.back().empty()) {
            lines.pop_back();
        }
        return lines.size();
    }
    std::string Line(std::size_t index) const override {
        std::vector<std::string> lines = AllLines();
        return index < lines.size() ? lines[index] : std::string();
    }
    void AppendTo(TStringList& list) const override {
        const std::size_t n = Count();
        for (std::size_t i = 0; i < n; ++i) {
            list.Add(Line(i));
        }
    }

    void Append(std::string_view line) override {
        if (Text_.empty() || EndsWithBreak()) {
            Text_.append(line).append("\r\n");
        } else {
            Text_.append("\r\n").append(line);
        }
        ++Revision_;
        Caret_ = Anchor_ = Length();
    }
    void AppendLines(const TStringList& lines) override {
        if (lines.Count() > 0 && !Text_.empty() && !EndsWithBreak()) {
            Text_.append("\r\n");
        }
        for (std::size_t i = 0; i < lines.Count(); ++i) {
            Append(lines[i]);
        }
    }
    void Assign(const TStringList& lines) override {
        Clear();
        AppendLines(lines);
    }
    void Clear() override {
        Text_.clear();
        ++Revision_;
        Caret_ = Anchor_ = 0;
    }

    std::uint64_t Revision() const override { return Revision_; }
    bool Modified() const override { return Modified_; }
    void SetModified(bool modified) override { Modified_ = modified; }

    bool WordWrap() const override { return WordWrap_; }
    void SetWordWrap(bool wrap) override {
        if (wrap == WordWrap_) {
            return;
        }
        WordWrap_ = wrap;
        ++WrapSwitches;
        Caret_ = Anchor_ = 0;
    }

    void ToStart() override { Caret_ = Anchor_ = 0; }

    std::size_t SelStart() const override { return std::min(Caret_, Anchor_); }
    void SetSelStart(std::size_t start) override { Caret_ = Anchor_ = Clamp(start); }
    std::size_t SelLength() const override {
        return std::max(Caret_, Anchor_) - std::min(Caret_, Anchor_);
    }
    void SetSelLength(std::size_t length) override {
        const std::size_t start = SelStart();
        Anchor_ = start;
        Caret_ = Clamp(start + std::min(length, Length() - start));
    }

    void CutToClipboard() override {
        if (SelLength() == 0) {
            return;
        }
        CopyToClipboard();
        ReplaceSelection("");
        Modified_ = true;
    }
    void CopyToClipboard() override {
        if (SelLength() == 0) {
            return;
        }
        Clipboard = Text_.substr(BytePos(SelStart()),
                                 BytePos(SelStart() + SelLength()) - BytePos(SelStart()));
    }
    void PasteFromClipboard() override {
        if (!Clipboard.empty()) {
            Type(Clipboard);
        }
    }

    void SetFocus() override { HasFocus = true; }
    void SetVisible(bool visible) override { Visible_ = visible; }
    bool Visible() const override { return Visible_; }

private:
    bool EndsWithBreak() const {
        return Text_.size() >= 2 && Text_.compare(Text_.size() - 2, 2, "\r\n") == 0;
    }

    // Bytes of the character at byte `pos` of `text`: 2 for what the decoder
    // reads as one double-byte character, else 1 (CR and LF are one each, so a
    // line break counts two).
    static std::size_t CharBytes(std::string_view text, std::size_t pos) {
        const auto b = static_cast<unsigned char>(text[pos]);
        if (IsLeadByte(b) && pos + 1 < text.size() &&
            DecodeShiftJis(text.substr(pos, 2)).size() == 1) {
            return 2;
        }
        return 1;
    }
    static std::size_t Length(std::string_view text) {
        std::size_t n = 0;
        for (std::size_t pos = 0; pos < text.size(); pos += CharBytes(text, pos)) {
            ++n;
        }
        return n;
    }
    std::size_t Length() const { return Length(Text_); }
    std::size_t BytePos(std::size_t offset) const {
        std::size_t pos = 0;
        for (; offset > 0 && pos < Text_.size(); --offset) {
            pos += CharBytes(Text_, pos);
        }
        return pos;
    }
    // Offsets end at the text; one inside a CR LF moves before it.
    std::size_t Clamp(std::size_t offset) const {
        offset = std::min(offset, Length());
        const std::size_t pos = BytePos(offset);
        if (pos > 0 && pos < Text_.size() && Text_[pos - 1] == '\r' && Text_[pos] == '\n') {
            return offset - 1;
        }
        return offset;
    }
    void ReplaceSelection(std::string_view bytes) {
        const std::size_t from = BytePos(SelStart());
        const std::size_t to = BytePos(SelStart() + SelLength());
        Text_.replace(from, to - from, bytes);
        ++Revision_;
        Caret_ = Anchor_ = Length(std::string_view(Text_).substr(0, from + bytes.size()));
    }

    std::vector<std::string> HardLines() const {
        std::vector<std::string> lines;
        std::size_t begin = 0;
        for (;;) {
            const std::size_t end = Text_.find("\r\n", begin);
            if (end == std::string::npos) {
                lines.push_back(Text_.substr(begin));
                return lines;
            }
            lines.push_back(Text_.substr(begin, end - begin));
            begin = end + 2;
        }
    }
    std::vector<std::string> AllLines() const {
        if (Text_.empty()) {
            return {};
        }
        std::vector<std::string> hard = HardLines();
        if (!WordWrap_ || WrapWidth == 0) {
            return hard;
        }
        std::vector<std::string> shown;
        for (const std::string& line : hard) {
            std::size_t begin = 0;
            do {
                std::size_t end = begin;
                while (end < line.size()) {
                    const auto b = static_cast<unsigned char>(line[end]);
                    const std::size_t step = IsLeadByte(b) && end + 1 < line.size() ? 2 : 1;
                    if (end + step - begin > WrapWidth && end > begin) {
                        break;
                    }
                    end += step;
                }
                shown.push_back(line.substr(begin, end - begin));
                begin = end;
            } while (begin < line.size());
        }
        return shown;
    }

    std::string Text_;
    std::uint64_t Revision_ = 0;
    std::size_t Caret_ = 0;
    std::size_t Anchor_ = 0;
    bool Modified_ = false;
    bool WordWrap_ = true;
    bool Visible_ = true;
};

} // namespace virevi::test
