// Splitting any bytes into lines: never crashes, and the lines it yields come
// back unchanged through the text form.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/string_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    virevi::TStringList list;
    list.TextToLines(text);
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        const std::string_view line = list[i];
        if (line.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos) {
            std::abort();
        }
        bytes += line.size();
    }
    if (bytes > size) {
        std::abort();
    }
    virevi::TStringList again;
    again.TextToLines(list.LinesToText());
    if (again.Count() != list.Count()) {
        std::abort();
    }
    for (std::size_t i = 0; i < list.Count(); ++i) {
        if (again[i] != list[i]) {
            std::abort();
        }
    }
    return 0;
}
