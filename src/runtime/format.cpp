#include "runtime/format.h"

namespace virevi {

namespace {
std::string ReplaceFirst(std::string_view pattern, std::string_view marker, std::string_view text) {
    const auto at = pattern.find(marker);
    if (at == std::string_view::npos) {
        return std::string(pattern);
    }
    std::string result;
    result.reserve(pattern.size() + text.size());
    result.append(pattern.substr(0, at));
    result.append(text);
    result.append(pattern.substr(at + marker.size()));
    return result;
}
} // namespace

std::string FormatS(std::string_view pattern, std::string_view text) {
    return ReplaceFirst(pattern, "%s", text);
}

std::string FormatD(std::string_view pattern, std::int64_t value) {
    return ReplaceFirst(pattern, "%d", std::to_string(value));
}

} // namespace virevi
