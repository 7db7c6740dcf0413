#include "app/main_state.h"

#include <limits>

#include "editor/memo_lines.h"
#include "runtime/errors.h"
#include "runtime/messages.h"
#include "runtime/shift_jis.h"

namespace virevi {
namespace {

// The byte position of character `column` of `text`, at most its end.
std::size_t BytePos(std::string_view text, std::size_t column) {
    std::size_t pos = 0;
    for (; column > 0 && pos < text.size(); --column) {
        pos += CharLengthAt(text, pos);
    }
    return pos;
}

// Adds `pieces`, the lines of a text, as the editor reads them: one empty
// last line (the end of a final line break, or the empty text) does not count.
void AddLines(TStringList& list, const std::vector<std::string_view>& pieces) {
    std::size_t n = pieces.size();
    if (n > 0 && pieces[n - 1].empty()) {
        --n;
    }
    for (std::size_t i = 0; i < n; ++i) {
        list.Add(pieces[i]);
    }
}

} // namespace

std::string PositionText(std::int32_t index, std::int32_t total, bool modified) {
    std::string text = std::to_string(index) + " / " + std::to_string(total);
    if (modified) {
        text += '*';
    }
    return text;
}

TNoteSplit SplitNoteAt(const TStringList& lines, bool endsWithBreak, std::size_t caret) {
    // Every line of the text, the empty one after a final break included;
    // the empty text is one empty line.
    std::vector<std::string_view> hard;
    hard.reserve(lines.Count() + 1);
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        hard.push_back(lines[i]);
    }
    if (endsWithBreak || hard.empty()) {
        hard.emplace_back();
    }

    std::size_t line = 0;
    std::size_t column = 0; // in bytes
    std::size_t remaining = caret;
    for (;; ++line) {
        const std::size_t chars = CharCount(hard[line]);
        if (remaining <= chars) {
            column = BytePos(hard[line], remaining);
            break;
        }
        remaining -= chars;
        if (line + 1 == hard.size() || remaining < 2) {
            column = hard[line].size();
            break;
        }
        remaining -= 2;
    }

    TNoteSplit split;
    std::vector<std::string_view> before(hard.begin(), hard.begin() + static_cast<long>(line));
    before.push_back(hard[line].substr(0, column));
    AddLines(split.Before, before);
    std::vector<std::string_view> after{hard[line].substr(column)};
    after.insert(after.end(), hard.begin() + static_cast<long>(line) + 1, hard.end());
    AddLines(split.After, after);
    return split;
}

TNoteSplit SplitNoteAtCaret(TMemoLines& editor) {
    const std::size_t caret = editor.SelStart();
    editor.SetSelStart(std::numeric_limits<std::size_t>::max());
    const std::size_t length = editor.SelStart();
    const bool wrap = editor.WordWrap();
    editor.SetWordWrap(false);
    TStringList lines;
    editor.AppendTo(lines);
    editor.SetWordWrap(wrap);
    editor.SetSelStart(0);

    // The line breaks the lines account for; a longer text has one more at its end.
    std::size_t joined = 0;
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        joined += CharCount(lines[i]) + (i > 0 ? 2 : 0);
    }
    return SplitNoteAt(lines, length > joined, caret);
}

void CheckAddedLines(const TStringList& lines) {
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        if (lines[i].size() > MostAddedLineBytes) {
            throw EStringListError(msg::SOutlineLongLine);
        }
    }
}

std::vector<std::string> NameFiltersOf(std::string_view filter) {
    std::vector<std::string> result;
    while (!filter.empty()) {
        const std::size_t bar = filter.find('|');
        const std::string_view description = filter.substr(0, bar);
        std::string_view patterns;
        if (bar == std::string_view::npos) {
            filter = {};
        } else {
            filter.remove_prefix(bar + 1);
            const std::size_t next = filter.find('|');
            patterns = filter.substr(0, next);
            filter = next == std::string_view::npos ? std::string_view() : filter.substr(next + 1);
        }
        std::string qtPatterns;
        while (!patterns.empty()) {
            const std::size_t semicolon = patterns.find(';');
            std::string_view pattern = patterns.substr(0, semicolon);
            patterns = semicolon == std::string_view::npos ? std::string_view()
                                                           : patterns.substr(semicolon + 1);
            if (pattern.empty()) {
                continue;
            }
            if (pattern == "*.*") {
                pattern = "*";
            }
            if (!qtPatterns.empty()) {
                qtPatterns += ' ';
            }
            qtPatterns += pattern;
        }
        const std::string bracketed = "(" + qtPatterns + ")";
        if (description.ends_with(bracketed)) {
            result.emplace_back(description);
        } else {
            result.push_back(std::string(description) + " " + bracketed);
        }
    }
    return result;
}

} // namespace virevi
