#pragma once
// A deliberately plain outline for differential tests: it recomputes outline
// order, positions, shown rows and counts from scratch on every question and
// follows the documented steps one by one, with its own row cursor.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace virevi::test {

struct TRefNode {
    std::intptr_t Id = 0;
    TRefNode* Parent = nullptr;
    std::vector<std::unique_ptr<TRefNode>> Kids;
    bool Expanded = false;
};

enum class TRefAttach { Sibling, Child, Before };

class TRefOutline {
public:
    TRefOutline();

    std::vector<std::string> Log; // "click", "expand N", "collapse N", "error <message>"

    TRefNode* Root() { return Root_.get(); }
    std::vector<TRefNode*> Order();
    std::vector<TRefNode*> Display();
    std::int32_t Pos(const TRefNode* node);
    std::int32_t Level(const TRefNode* node);
    std::int32_t ShownCount(const TRefNode* node);
    std::int32_t Total() { return static_cast<std::int32_t>(Order().size()); }
    TRefNode* Find(std::int32_t index);

    std::int32_t RowCount = 1;
    std::int32_t Row = 0;
    TRefNode* Selected = nullptr;

    void SetRow(std::int32_t row);
    std::int32_t SelectedIndex();
    void SetSelectedIndex(std::int32_t value);
    std::int32_t Add(std::int32_t index, std::intptr_t id, TRefAttach kind);
    void Delete(std::int32_t index);
    void Clear();
    void Move(TRefNode* source, std::int32_t destination, int mode);
    void SetLevel(TRefNode* node, std::int32_t level);
    void SetExpanded(TRefNode* node, bool value);
    void ExpandAll(TRefNode* node);

private:
    static bool IsShown(const TRefNode* node) {
        return node->Parent != nullptr && node->Parent->Expanded;
    }
    void SetRowCount(std::int32_t count);
    void Click();
    TRefNode* ItemOnCurrentRow();
    std::int32_t RowOf(TRefNode* node);
    void MoveRowTo(TRefNode* node);
    bool SyncRows();
    std::int32_t Attach(std::int32_t index, std::intptr_t id, TRefAttach kind);
    std::unique_ptr<TRefNode> Detach(TRefNode* parent, std::size_t place);
    void AfterDetach(TRefNode* parent);

    std::unique_ptr<TRefNode> Root_;
};

} // namespace virevi::test
