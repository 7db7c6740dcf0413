#include "outline/outline_reference.h"

#include <algorithm>

#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi::test {

namespace {

void PreOrder(TRefNode* node, std::vector<TRefNode*>& out, bool shownOnly) {
    for (auto& kid : node->Kids) {
        out.push_back(kid.get());
        if (!shownOnly || kid->Expanded) {
            PreOrder(kid.get(), out, shownOnly);
        }
    }
}

bool Contains(const TRefNode* ancestor, const TRefNode* node) {
    for (; node != nullptr; node = node->Parent) {
        if (node == ancestor) {
            return true;
        }
    }
    return false;
}

void Collapse(TRefNode* node) {
    for (auto& kid : node->Kids) {
        Collapse(kid.get());
    }
    node->Expanded = false;
}

} // namespace

TRefOutline::TRefOutline() : Root_(std::make_unique<TRefNode>()) {
    Root_->Expanded = true;
    Selected = Root_.get();
}

std::vector<TRefNode*> TRefOutline::Order() {
    std::vector<TRefNode*> out;
    PreOrder(Root_.get(), out, false);
    return out;
}

std::vector<TRefNode*> TRefOutline::Display() {
    std::vector<TRefNode*> out;
    PreOrder(Root_.get(), out, true);
    return out;
}

std::int32_t TRefOutline::Pos(const TRefNode* node) {
    const auto order = Order();
    const auto it = std::find(order.begin(), order.end(), node);
    return it == order.end() ? 0 : static_cast<std::int32_t>(it - order.begin()) + 1;
}

std::int32_t TRefOutline::Level(const TRefNode* node) {
    std::int32_t level = 0;
    for (node = node->Parent; node != nullptr; node = node->Parent) {
        ++level;
    }
    return level;
}

std::int32_t TRefOutline::ShownCount(const TRefNode* node) {
    if (!node->Expanded) {
        return 0;
    }
    std::int32_t count = 0;
    for (const auto& kid : node->Kids) {
        count += 1 + ShownCount(kid.get());
    }
    return count;
}

TRefNode* TRefOutline::Find(std::int32_t index) {
    if (index == 0) {
        return Root_.get();
    }
    const auto order = Order();
    if (index < 0 || index > static_cast<std::int32_t>(order.size())) {
        throw EOutlineError(msg::SOutlineIndexNotFound);
    }
    return order[static_cast<std::size_t>(index) - 1];
}

void TRefOutline::SetRowCount(std::int32_t count) {
    if (count == RowCount) {
        return;
    }
    RowCount = count <= 0 ? 1 : count;
    if (Row >= RowCount) {
        Row = RowCount - 1;
    }
}

void TRefOutline::SetRow(std::int32_t row) {
    if (row == Row) {
        return;
    }
    if (row < 0 || row >= RowCount) {
        throw EInvalidGridOperation(msg::SGridIndexOutOfRange);
    }
    Row = row;
    Click();
}

void TRefOutline::Click() {
    if (Total() > 0) {
        Selected = ItemOnCurrentRow();
        MoveRowTo(Selected);
    }
    Log.push_back("click " + std::to_string(Row));
}

TRefNode* TRefOutline::ItemOnCurrentRow() {
    const auto display = Display();
    return display[std::min<std::size_t>(static_cast<std::size_t>(Row), display.size() - 1)];
}

std::int32_t TRefOutline::RowOf(TRefNode* node) {
    const auto display = Display();
    const auto it = std::find(display.begin(), display.end(), node);
    if (it == display.end()) {
        return std::max<std::int32_t>(0, static_cast<std::int32_t>(display.size()) - 1);
    }
    return static_cast<std::int32_t>(it - display.begin());
}

void TRefOutline::MoveRowTo(TRefNode* node) {
    if (node != Root_.get()) {
        SetRow(RowOf(node));
    }
}

bool TRefOutline::SyncRows() {
    const std::int32_t old = RowCount;
    const std::int32_t oldRow = Row;
    SetRowCount(static_cast<std::int32_t>(Display().size()));
    if (Selected != Root_.get()) {
        const std::int32_t cutRow = Row;
        SetSelectedIndex(Pos(Selected));
        // A current row cut back by fewer rows is a row change like any
        // other: it clicks once, also when the selection stays on it.
        if (cutRow != oldRow && Row == cutRow) {
            Click();
        }
    }
    return RowCount != old;
}

std::int32_t TRefOutline::SelectedIndex() {
    if (Selected == Root_.get()) {
        if (Total() > 0) {
            Selected = ItemOnCurrentRow();
        }
    } else if (!IsShown(Selected)) {
        while (Selected->Parent != nullptr && !Selected->Parent->Expanded) {
            Selected = Selected->Parent;
        }
    }
    return Pos(Selected);
}

void TRefOutline::SetSelectedIndex(std::int32_t value) {
    if (value == 0 && Total() > 0) {
        value = 1;
    }
    if (value <= 0) {
        throw EOutlineError(msg::SOutlineSelection);
    }
    TRefNode* candidate = Find(value);
    while (candidate->Parent != nullptr && !candidate->Parent->Expanded) {
        candidate = candidate->Parent;
    }
    Selected = candidate;
    MoveRowTo(candidate);
}

std::int32_t TRefOutline::Attach(std::int32_t index, std::intptr_t id, TRefAttach kind) {
    auto item = std::make_unique<TRefNode>();
    item->Id = id;
    TRefNode* raw = item.get();
    TRefNode* parent = nullptr;
    try {
        TRefNode* target = Find(index);
        if (kind == TRefAttach::Sibling) {
            if (target->Parent == nullptr) {
                throw EOutlineError(msg::SOutlineBadIndex);
            }
            target = target->Parent;
            kind = TRefAttach::Child;
        }
        if (kind == TRefAttach::Child) {
            if (Level(target) > 255) {
                throw EOutlineError(msg::SOutlineMaxLevels);
            }
            parent = target;
            parent->Kids.push_back(std::move(item));
        } else {
            parent = target->Parent;
            auto& kids = parent->Kids;
            const auto at = std::find_if(kids.begin(), kids.end(),
                                         [&](const auto& kid) { return kid.get() == target; });
            kids.insert(at, std::move(item));
        }
        raw->Parent = parent;
        const std::int32_t result = Pos(raw);
        SyncRows();
        return result;
    } catch (const Exception& error) {
        if (raw->Parent != nullptr) {
            auto& kids = raw->Parent->Kids;
            kids.erase(std::find_if(kids.begin(), kids.end(),
                                    [&](const auto& kid) { return kid.get() == raw; }));
        }
        if (Selected == raw) {
            Selected = Root_.get();
        }
        Log.push_back("error " + error.Message());
        return 0;
    }
}

std::int32_t TRefOutline::Add(std::int32_t index, std::intptr_t id, TRefAttach kind) {
    if (index < 0) {
        throw EOutlineError(msg::SOutlineBadIndex);
    }
    if (index == 0) {
        kind = TRefAttach::Child;
    }
    const std::int32_t result = Attach(index, id, kind);
    Find(index);
    return result;
}

std::unique_ptr<TRefNode> TRefOutline::Detach(TRefNode* parent, std::size_t place) {
    auto taken = std::move(parent->Kids[place]);
    parent->Kids.erase(parent->Kids.begin() + static_cast<std::ptrdiff_t>(place));
    taken->Parent = nullptr;
    return taken;
}

void TRefOutline::AfterDetach(TRefNode* parent) {
    if (parent->Kids.empty() && parent != Root_.get()) {
        SetExpanded(parent, false);
    }
}

void TRefOutline::Delete(std::int32_t index) {
    if (index <= 0) {
        throw EOutlineError(msg::SOutlineBadIndex);
    }
    TRefNode* item = Find(index);
    TRefNode* parent = item->Parent;
    if (Contains(item, Selected)) {
        Selected = Root_.get();
    }
    auto& kids = parent->Kids;
    const auto place = static_cast<std::size_t>(
        std::find_if(kids.begin(), kids.end(), [&](const auto& kid) { return kid.get() == item; }) -
        kids.begin());
    const bool wasLast = place + 1 == kids.size();
    Detach(parent, place);
    AfterDetach(parent);
    if (parent->Kids.empty()) {
        MoveRowTo(parent);
    } else if (wasLast) {
        MoveRowTo(parent->Kids.back().get());
    }
    if (Selected == Root_.get()) {
        SelectedIndex();
    }
    SyncRows();
}

void TRefOutline::Clear() {
    Root_ = std::make_unique<TRefNode>();
    Root_->Expanded = true;
    Selected = Root_.get();
    SyncRows();
}

void TRefOutline::Move(TRefNode* source, std::int32_t destination, int mode) {
    if (mode != 1 && destination <= 0) {
        throw EOutlineError(msg::SOutlineBadIndex);
    }
    const std::int32_t from = Pos(source);
    if (destination == from) {
        return;
    }
    TRefNode* target = Find(destination);
    if (Contains(source, target)) {
        return;
    }
    if (Level(target) > 255) {
        throw EOutlineError(msg::SOutlineMaxLevels);
    }
    // Attach at the new place first, then remove the old entry, as the
    // documented order has it.
    TRefNode* oldParent = source->Parent;
    auto& oldKids = oldParent->Kids;
    std::size_t oldPlace = static_cast<std::size_t>(
        std::find_if(oldKids.begin(), oldKids.end(),
                     [&](const auto& kid) { return kid.get() == source; }) -
        oldKids.begin());
    TRefNode* newParent = mode == 1 ? target : target->Parent;
    auto& newKids = newParent->Kids;
    std::size_t newPlace = newKids.size();
    if (mode == 2) {
        newPlace = static_cast<std::size_t>(
            std::find_if(newKids.begin(), newKids.end(),
                         [&](const auto& kid) { return kid.get() == target; }) -
            newKids.begin());
    }
    newKids.insert(newKids.begin() + static_cast<std::ptrdiff_t>(newPlace), nullptr);
    if (newParent == oldParent && newPlace <= oldPlace) {
        ++oldPlace;
    }
    newKids[newPlace] = std::move(oldParent->Kids[oldPlace]);
    oldParent->Kids.erase(oldParent->Kids.begin() + static_cast<std::ptrdiff_t>(oldPlace));
    source->Parent = newParent;
    AfterDetach(oldParent);
    if (!target->Expanded) {
        SetExpanded(source, false);
    }
    SyncRows();
}

void TRefOutline::SetLevel(TRefNode* node, std::int32_t level) {
    const std::int32_t current = Level(node);
    if (level == current) {
        return;
    }
    if (level < 1) {
        throw EOutlineError(msg::SOutlineBadLevel);
    }
    if (level > current) {
        for (std::int32_t step = current; step < level; ++step) {
            auto& kids = node->Parent->Kids;
            const auto at = std::find_if(kids.begin(), kids.end(),
                                         [&](const auto& kid) { return kid.get() == node; });
            if (at == kids.begin()) {
                throw EOutlineError(msg::SOutlineBadLevel);
            }
            Move(node, Pos((at - 1)->get()), 1);
        }
        return;
    }
    TRefNode* ancestor = node;
    for (std::int32_t step = level; step < current; ++step) {
        ancestor = ancestor->Parent;
    }
    auto& kids = ancestor->Parent->Kids;
    const auto at = std::find_if(kids.begin(), kids.end(),
                                 [&](const auto& kid) { return kid.get() == ancestor; });
    if (at + 1 == kids.end()) {
        Move(node, Pos(ancestor->Parent), 1);
    } else {
        Move(node, Pos((at + 1)->get()), 2);
    }
}

void TRefOutline::SetExpanded(TRefNode* node, bool value) {
    if (value == node->Expanded || node->Parent == nullptr) {
        return;
    }
    if (value) {
        for (TRefNode* up = node->Parent; up != nullptr; up = up->Parent) {
            if (!up->Expanded) {
                throw EOutlineError(msg::SOutlineExpandParent);
            }
        }
        Log.push_back("expand " + std::to_string(Pos(node)));
        node->Expanded = true;
        SyncRows();
        return;
    }
    Collapse(node);
    SyncRows();
    Log.push_back("collapse " + std::to_string(Pos(node)));
    SyncRows();
}

void TRefOutline::ExpandAll(TRefNode* node) {
    if (node->Kids.empty()) {
        return;
    }
    SetExpanded(node, true);
    for (std::size_t i = 0; i < node->Kids.size(); ++i) {
        ExpandAll(node->Kids[i].get());
    }
}

} // namespace virevi::test
