// Any bytes as an outline file: reading must not crash, and what was read must
// come back unchanged from a save followed by a second read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "outline/outline_tree.h"
#include "runtime/errors.h"

namespace {

std::string SaveToBytes(virevi::TOutlineTree& outline) {
    std::string bytes;
    outline.SaveOutlineTo([&](const char* data, std::size_t count) { bytes.append(data, count); });
    return bytes;
}

void LoadFromBytes(virevi::TOutlineTree& outline, const std::string& bytes) {
    std::size_t at = 0;
    outline.LoadOutlineFrom([&](char* buffer, std::size_t count) {
        const std::size_t n = std::min(count, bytes.size() - at);
        std::memcpy(buffer, bytes.data() + at, n);
        at += n;
        return n;
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    virevi::TOutlineTree outline;
    try {
        LoadFromBytes(outline, std::string(reinterpret_cast<const char*>(data), size));
    } catch (const virevi::EOutlineError&) {
        // The lines before the fault stay loaded; they must round-trip too.
    }
    std::string first;
    try {
        first = SaveToBytes(outline);
    } catch (const virevi::EOutlineError&) {
        return 0; // deeper than a line can hold
    }
    virevi::TOutlineTree again;
    LoadFromBytes(again, first);
    if (again.TotalItems() != outline.TotalItems() || SaveToBytes(again) != first) {
        std::abort();
    }
    return 0;
}
