#pragma once
// Building and describing small outlines, or their bare trees, in tests.
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "outline/custom_outline.h"

namespace virevi::test {

/// Adds items given as "level caption" words, e.g. "1P 2A 2X 2B 1Q".
template <typename TItems> void Build(TItems& outline, const std::string& shape) {
    std::istringstream words(shape);
    std::string word;
    std::vector<std::int32_t> lastAtLevel{0};
    while (words >> word) {
        const auto level = static_cast<std::size_t>(word[0] - '0');
        lastAtLevel.resize(level);
        const std::int32_t index = outline.AppendChild(lastAtLevel[level - 1], word.substr(1));
        lastAtLevel.push_back(index);
    }
}

/// The tree as "level caption" words in outline order, the inverse of Build.
template <typename TItems> std::string Shape(TItems& outline) {
    std::string shape;
    for (std::int32_t i = 1; i <= outline.TotalItems(); ++i) {
        TOutlineNode* node = outline.ItemAt(i);
        shape +=
            (shape.empty() ? "" : " ") + std::to_string(node->Level()) + std::string(node->Text());
    }
    return shape;
}

/// Captions of the shown rows, space-separated.
template <typename TItems> std::string Rows(TItems& outline) {
    std::string rows;
    for (std::int32_t r = 0; r < outline.RootItem()->ShownCount(); ++r) {
        rows += (rows.empty() ? "" : " ") + std::string(outline.ItemOnRow(r)->Text());
    }
    return rows;
}

} // namespace virevi::test
