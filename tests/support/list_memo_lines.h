#pragma once
// An editor that keeps its hard lines in a vector: enough for commits and
// loads, and fast on notes of many lines, for benchmarks and fuzzing.
#include <string>
#include <string_view>
#include <vector>

#include "editor/memo_lines.h"
#include "files/string_list.h"

namespace virevi::test {

class TListMemoLines : public TMemoLines {
public:
    std::vector<std::string> Lines;
    std::size_t Count() const override { return Lines.size(); }
    std::string Line(std::size_t index) const override {
        return index < Lines.size() ? Lines[index] : std::string();
    }
    void AppendTo(TStringList& list) const override {
        for (const std::string& line : Lines) {
            list.Add(line);
        }
    }
    void Append(std::string_view line) override { Lines.emplace_back(line); }
    void AppendLines(const TStringList& lines) override {
        for (std::size_t i = 0; i < lines.Count(); ++i) {
            Lines.emplace_back(lines[i]);
        }
    }
    void Assign(const TStringList& lines) override {
        Lines.clear();
        AppendLines(lines);
    }
    void Clear() override { Lines.clear(); }
    // Lines is changed from outside: no two calls claim the same text.
    std::uint64_t Revision() const override { return ++Revisions_; }
    bool Modified() const override { return Dirty; }
    void SetModified(bool modified) override { Dirty = modified; }
    bool WordWrap() const override { return true; }
    void SetWordWrap(bool) override {}
    void ToStart() override {}
    std::size_t SelStart() const override { return 0; }
    void SetSelStart(std::size_t) override {}
    std::size_t SelLength() const override { return 0; }
    void SetSelLength(std::size_t) override {}
    void CutToClipboard() override {}
    void CopyToClipboard() override {}
    void PasteFromClipboard() override {}
    void SetFocus() override {}
    void SetVisible(bool) override {}
    bool Visible() const override { return true; }
    bool Dirty = false;

private:
    mutable std::uint64_t Revisions_ = 0;
};

} // namespace virevi::test
