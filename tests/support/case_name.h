#pragma once
// Readable names for the rows of a table of test cases.
#include <cctype>
#include <string>

namespace virevi::test {

/// A row's `Name` as a test name: every character that is not a letter or a
/// digit becomes "_" ("delete last child" becomes delete_last_child).
struct TCaseName {
    template <typename TInfo> std::string operator()(const TInfo& info) const {
        std::string name = info.param.Name;
        for (char& c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    }
};

} // namespace virevi::test
