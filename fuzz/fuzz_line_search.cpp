// Any pattern against any lines: the matcher finds exactly the first place a
// plain walk over the characters finds, as the codec splits them (stray and
// invalid bytes included), and reads nothing outside the text.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/line_search.h"
#include "files/string_list.h"
#include "runtime/shift_jis.h"

namespace {

using virevi::TLinePlace;

// The bytes of the character at `pos`: what the codec decodes as one.
std::size_t CharBytes(std::string_view text, std::size_t pos) {
    if (virevi::IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() &&
        virevi::DecodeShiftJis(text.substr(pos, 2)).size() == 1) {
        return 2;
    }
    return 1;
}

std::vector<std::string_view> Chars(std::string_view text) {
    std::vector<std::string_view> chars;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = CharBytes(text, pos);
        chars.push_back(text.substr(pos, length));
        pos += length;
    }
    return chars;
}

bool SameChar(std::string_view a, std::string_view b, bool matchCase) {
    if (a == b) {
        return true;
    }
    const auto x = static_cast<unsigned char>(a[0]);
    const auto y = static_cast<unsigned char>(b[0]);
    return !matchCase && a.size() == 1 && b.size() == 1 && x < 0x80 && y < 0x80 &&
           std::isalpha(x) && std::tolower(x) == std::tolower(y);
}

// Where the pattern stands in `line`: one flag a byte, set at each match.
std::vector<bool> MatchesIn(std::string_view line, std::string_view pattern, bool matchCase) {
    std::vector<bool> found(line.size() + 1, false);
    if (pattern.empty()) {
        return found;
    }
    const std::vector<std::string_view> wanted = Chars(pattern);
    const std::vector<std::string_view> chars = Chars(line);
    std::size_t pos = 0;
    for (std::size_t i = 0; i < chars.size(); pos += chars[i++].size()) {
        if (chars.size() - i < wanted.size()) {
            break;
        }
        std::size_t k = 0;
        while (k < wanted.size() && SameChar(chars[i + k], wanted[k], matchCase)) {
            ++k;
        }
        found[pos] = k == wanted.size();
    }
    return found;
}

} // namespace

// Input: a flags byte (bit 0: match case), a pattern length byte, the pattern,
// a byte giving the column to start from, then lines separated by LF.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const bool matchCase = (data[0] & 1) != 0;
    const std::size_t patternSize = std::min<std::size_t>(data[1] % 8, size - 3);
    const std::string pattern(reinterpret_cast<const char*>(data + 2), patternSize);
    const std::size_t from = data[2 + patternSize];
    std::string_view rest(reinterpret_cast<const char*>(data + 3 + patternSize),
                          size - 3 - patternSize);
    virevi::TStringList lines;
    std::vector<std::string_view> split;
    for (;;) {
        const std::size_t end = rest.find('\n');
        lines.Add(rest.substr(0, end));
        split.push_back(rest.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(end + 1);
    }

    const virevi::TSearchPattern search(pattern, matchCase);
    std::optional<TLinePlace> expected;
    for (std::size_t i = 0; i < split.size(); ++i) {
        const std::vector<bool> found = MatchesIn(split[i], pattern, matchCase);
        for (std::size_t at = i == 0 ? from : 0; !expected && at < found.size(); ++at) {
            if (found[at]) {
                expected = TLinePlace{i, at};
                break;
            }
        }

        // The line alone in a buffer of its own size, so that a read past it is seen.
        const auto own = std::make_unique<char[]>(split[i].size());
        std::copy(split[i].begin(), split[i].end(), own.get());
        const std::string_view exact(own.get(), split[i].size());
        std::size_t boundary = 0;
        for (std::size_t at = 0; at <= exact.size(); ++at) {
            if (search.MatchesAt(exact, at, boundary) != found[at]) {
                std::abort();
            }
        }
    }
    if (virevi::FindInLines(lines, 0, lines.Count(), from, search) != expected) {
        std::abort();
    }
    return 0;
}
