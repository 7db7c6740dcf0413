#include "outline/outline_tree.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi {

namespace {

/// Stands in for an exception that is not one of ours when it goes to the error display.
class TUnknownError : public std::exception {
public:
    const char* what() const noexcept override { return "unknown error"; }
};

} // namespace

TOutlineTree::TOutlineTree() {
    // The root lives outside the store, so dropping every item keeps it.
    RootItem_ = new TOutlineNode(this);
    RootItem_->Expanded_ = true;
    SelectedNode_ = RootItem_;
    SyncRows();
}

TOutlineTree::~TOutlineTree() {
    // The items' memory goes with the store.
    delete RootItem_;
}

void TOutlineTree::SetView(TOutlineView* view) {
    View_ = view != nullptr ? view : &OwnRows_;
    KnownRowItem_ = nullptr;
    SyncRows();
}

// --- tree surgery ---------------------------------------------------------

void TOutlineTree::AddCounts(TOutlineNode* from, std::int32_t sizeDelta, std::int32_t shownDelta) {
    KnownRowItem_ = nullptr;
    bool shown = shownDelta != 0;
    for (TOutlineNode* node = from; node != nullptr; node = node->Parent_) {
        if (sizeDelta == 0 && !shown) {
            return;
        }
        node->Size_ += sizeDelta;
        if (shown) {
            if (node->Expanded_) {
                node->ShownCount_ += shownDelta;
            } else {
                // A collapsed item hides the change from everything above it.
                shown = false;
            }
        }
        if (sizeDelta == 0) {
            node->InvalidateFollowingRows();
        } else {
            node->InvalidateFollowing();
        }
    }
}

void TOutlineTree::InsertChild(TOutlineNode* parent, std::int32_t place, TOutlineNode* child) {
    using TChildList = TOutlineNode::TChildList;
    TChildList* list = parent->Children_;
    if (list == nullptr || list->Count == list->Capacity) {
        const std::int32_t count = list == nullptr ? 0 : list->Count;
        const std::int32_t capacity = count < 2 ? 2 : count + count / 2;
        auto* grown = new (Store_.Allocate(TChildList::BlockBytes(capacity))) TChildList;
        grown->Capacity = capacity;
        if (list != nullptr) {
            std::memcpy(grown->begin(), list->begin(), sizeof(TOutlineNode*) * count);
            grown->Count = count;
            grown->Valid = list->Valid;
            grown->RowValid = list->RowValid;
            Store_.Release(list, TChildList::BlockBytes(list->Capacity));
        }
        parent->Children_ = list = grown;
    }
    TOutlineNode** items = list->begin();
    std::memmove(items + place + 1, items + place,
                 sizeof(TOutlineNode*) * static_cast<std::size_t>(list->Count - place));
    items[place] = child;
    ++list->Count;
    list->Invalidate(place);
    child->Parent_ = parent;
    AddCounts(parent, child->Size_, 1 + child->ShownCount_);
    if (View_->TalliesWidths() && child->IsShown() && parent->NearestShownItem() == parent) {
        View_->TallyRows(child, 1, true);
    }
}

void TOutlineTree::RemoveChild(TOutlineNode* child) {
    TOutlineNode* parent = child->Parent_;
    if (View_->TalliesWidths() && child->IsShown() && parent->NearestShownItem() == parent) {
        View_->TallyRows(child, -1, true);
    }
    const std::int32_t place = child->PlaceInParent();
    TOutlineNode::TChildList& list = *parent->Children_;
    TOutlineNode** items = list.begin();
    std::memmove(items + place, items + place + 1,
                 sizeof(TOutlineNode*) * static_cast<std::size_t>(list.Count - place - 1));
    --list.Count;
    list.Invalidate(place);
    child->Parent_ = nullptr;
    if (list.Count == 0) {
        Store_.Release(&list, TOutlineNode::TChildList::BlockBytes(list.Capacity));
        parent->Children_ = nullptr;
    }
    AddCounts(parent, -child->Size_, -(1 + child->ShownCount_));
}

bool TOutlineTree::DeeperThan(const TOutlineNode* item, std::int32_t level) {
    std::int32_t depth = 0;
    for (const TOutlineNode* node = item->Parent_; node != nullptr; node = node->Parent_) {
        if (++depth > level) {
            return true;
        }
    }
    return false;
}

void TOutlineTree::ReleaseSubtree(TOutlineNode* item) {
    KnownRowItem_ = nullptr;
    // An explicit stack: a file can nest items a million deep.
    std::vector<TOutlineNode*> pending{item};
    while (!pending.empty()) {
        TOutlineNode* node = pending.back();
        pending.pop_back();
        if (node == SelectedNode_) {
            SelectedNode_ = RootItem_;
        }
        if (node->Children_ != nullptr) {
            pending.insert(pending.end(), node->Children_->begin(), node->Children_->end());
            Store_.Release(node->Children_,
                           TOutlineNode::TChildList::BlockBytes(node->Children_->Capacity));
        }
        TOutlineNode::ReleaseText(Store_, node->Text_);
        node->~TOutlineNode();
        Store_.Release(node, sizeof(TOutlineNode));
    }
}

void TOutlineTree::DropItems(bool keepMemory) {
    KnownRowItem_ = nullptr;
    RootItem_->Children_ = nullptr;
    RootItem_->Size_ = 1;
    RootItem_->ShownCount_ = 0;
    SelectedNode_ = RootItem_;
    DepthBound_ = 0;
    View_->Cleared();
    if (keepMemory) {
        Store_.Recycle();
    } else {
        Store_.Clear();
    }
}

// --- positions, rows, selection ------------------------------------------

std::int32_t TOutlineTree::TotalItems() const {
    return RootItem_->Size_ - 1;
}

TOutlineNode* TOutlineTree::FindItem(std::int32_t index) {
    try {
        return RootItem_->ItemAtIndex(index);
    } catch (const OutlineError&) {
        throw EOutlineError(msg::SOutlineIndexNotFound);
    }
}

TOutlineNode* TOutlineTree::ItemAt(std::int32_t index) {
    if (index == 0) {
        throw EOutlineError(msg::SOutlineBadIndex);
    }
    return FindItem(index);
}

TOutlineNode* TOutlineTree::ItemOnRow(std::int32_t row) {
    return RootItem_->ShownItemAt(row + 1);
}

TOutlineNode* TOutlineTree::ItemOnCurrentRow() {
    // In the middle of a delete the view may still have rows the tree has lost.
    const std::int32_t last = RootItem_->ShownCount_ - 1;
    const std::int32_t row = View_->Row();
    return ItemOnRow(row > last ? last : row);
}

std::int32_t TOutlineTree::RowOf(const TOutlineNode* item) const {
    if (!item->IsShown()) {
        return RootItem_->ShownCount_ > 0 ? RootItem_->ShownCount_ - 1 : 0;
    }
    return item->RowInOutline();
}

void TOutlineTree::MoveRowTo(TOutlineNode* item) {
    if (item == RootItem_) {
        return;
    }
    if (item != KnownRowItem_) {
        if (!item->IsShown()) {
            View_->SetRow(RowOf(item));
            return;
        }
        KnownRow_ = item->RowInOutline();
        KnownRowItem_ = item;
    }
    View_->SetRow(KnownRow_);
}

bool TOutlineTree::SyncRows() {
    const std::int32_t oldCount = View_->RowCount();
    const std::int32_t oldRow = View_->Row();
    View_->SetRowCount(RootItem_->ShownCount_);
    if (SelectedNode_ != RootItem_) {
        const std::int32_t cutRow = View_->Row();
        SetSelectedIndex(SelectedNode_->Index());
        // Fewer rows pulled the current row up without a click. When the
        // selection lands on that very row, no move clicks either, and the
        // window would keep showing the note of an item no longer selected.
        if (cutRow != oldRow && View_->Row() == cutRow) {
            View_->Click();
        }
    }
    return View_->RowCount() != oldCount;
}

void TOutlineTree::SyncRowsAndRepaint() {
    if (SyncRows()) {
        View_->RepaintAll();
    }
}

std::int32_t TOutlineTree::SelectedIndex() {
    if (SelectedNode_ == RootItem_) {
        if (TotalItems() > 0) {
            SelectedNode_ = ItemOnCurrentRow();
        }
    } else if (!SelectedNode_->IsShown()) {
        SelectedNode_ = SelectedNode_->NearestShownItem();
    }
    return SelectedNode_->Index();
}

void TOutlineTree::SetSelectedIndex(std::int32_t value) {
    if (value == 0 && TotalItems() > 0) {
        value = 1;
    }
    if (value <= 0) {
        throw EOutlineError(msg::SOutlineSelection);
    }
    TOutlineNode* candidate = SelectedNode_->Index() == value ? SelectedNode_ : FindItem(value);
    if (!candidate->IsShown()) {
        candidate = candidate->NearestShownItem();
    }
    SelectedNode_ = candidate;
    MoveRowTo(candidate);
}

void TOutlineTree::SelectCurrentRow() {
    if (TotalItems() > 0) {
        // The item of a known row needs no search down the lists.
        TOutlineNode* item = KnownRowItem_ != nullptr && KnownRow_ == View_->Row()
                                 ? const_cast<TOutlineNode*>(KnownRowItem_)
                                 : ItemOnCurrentRow();
        SelectedNode_ = item;
        MoveRowTo(item);
    }
}

// --- adding and deleting --------------------------------------------------

std::int32_t TOutlineTree::Attach(std::int32_t index, std::string_view text, void* data,
                                  TAttachKind kind) {
    TOutlineNode* item = NewItem(text, data);
    try {
        TOutlineNode* target = FindItem(index);
        if (kind == TAttachKind::Sibling) {
            if (target->Parent_ == nullptr) {
                throw EOutlineError(msg::SOutlineBadIndex);
            }
            target = target->Parent_;
            kind = TAttachKind::Child;
        }
        TOutlineNode* parent = target;
        std::int32_t place = 0;
        if (kind == TAttachKind::Child) {
            if (DeeperThan(target, 255)) {
                throw EOutlineError(msg::SOutlineMaxLevels);
            }
            place = target->ChildCount();
        } else {
            parent = target->Parent_;
            if (parent == nullptr) {
                throw EOutlineError(msg::SOutlineBadIndex);
            }
            place = target->PlaceInParent();
        }
        InsertChild(parent, place, item);
        DepthBound_ = std::max<std::int64_t>(DepthBound_, item->Level());
        WidthChangedUnder(parent);
        const std::int32_t result = item->Index();
        SyncRowsAndRepaint();
        return result;
    } catch (...) {
        if (item->Parent_ != nullptr) {
            RemoveChild(item);
        }
        ReleaseSubtree(item);
        try {
            throw;
        } catch (const std::exception& error) {
            View_->ShowError(error);
        } catch (...) {
            View_->ShowError(TUnknownError());
        }
        return 0;
    }
}

std::int32_t TOutlineTree::Add(std::int32_t index, std::string_view text, void* data,
                               TAttachKind kind) {
    if (index < 0) {
        throw EOutlineError(msg::SOutlineBadIndex);
    }
    // Position 0 is the root: every add there makes a last top-level item.
    const std::int32_t result = Attach(index, text, data, index == 0 ? TAttachKind::Child : kind);
    // The look-up can still fail after a failed attach; that error is the caller's.
    if (index != 0) {
        FindItem(index);
    }
    return result;
}

std::int32_t TOutlineTree::AppendChild(std::int32_t index, std::string_view text, void* data) {
    return Add(index, text, data, TAttachKind::Child);
}

std::int32_t TOutlineTree::AddSibling(std::int32_t index, std::string_view text, void* data) {
    return Add(index, text, data, TAttachKind::Sibling);
}

std::int32_t TOutlineTree::InsertBefore(std::int32_t index, std::string_view text, void* data) {
    return Add(index, text, data, TAttachKind::Before);
}

void TOutlineTree::DeleteItem(std::int32_t index) {
    if (index <= 0) {
        throw EOutlineError(msg::SOutlineBadIndex);
    }
    DestroyItem(FindItem(index));
}

void TOutlineTree::DestroyItem(TOutlineNode* item) {
    TOutlineNode* parent = item->Parent_;
    const bool wasLast = item->PlaceInParent() == parent->ChildCount() - 1;
    // Out of the tree before it is released, so no look-up can reach it.
    RemoveChild(item);
    ReleaseSubtree(item);
    if (!parent->HasChildren() && parent != RootItem_) {
        parent->SetExpanded(false);
    }
    WidthChangedUnder(parent == RootItem_ ? parent : parent->Parent_);
    if (!parent->HasChildren()) {
        MoveRowTo(parent);
    } else if (wasLast) {
        MoveRowTo(parent->Child(parent->ChildCount() - 1));
    }
    if (SelectedNode_ == RootItem_) {
        SelectedIndex();
    }
    SyncRowsAndRepaint();
}

void TOutlineTree::ClearItems() {
    DropItems(false);
    SyncRows();
}

void TOutlineTree::TakeItems(TOutlineTree& source) {
    if (&source == this) {
        return;
    }
    DropItems(false);
    source.KnownRowItem_ = nullptr;
    Store_.Swap(source.Store_);
    // The captions may carry widths the other outline measured: a generation
    // after both outlines' own leaves none of them current.
    WidthGeneration_ = std::max(WidthGeneration_, source.WidthGeneration_);
    ForgetCaptionWidths();
    std::swap(RootItem_->Children_, source.RootItem_->Children_);
    std::swap(RootItem_->Size_, source.RootItem_->Size_);
    std::swap(DepthBound_, source.DepthBound_);
    const std::int32_t shown = RootItem_->ShownCount_;
    RootItem_->ShownCount_ = source.RootItem_->ShownCount_;
    source.RootItem_->ShownCount_ = shown;
    if (RootItem_->Children_ != nullptr) {
        for (TOutlineNode* child : *RootItem_->Children_) {
            child->Parent_ = RootItem_;
        }
    }
    source.DropItems(false);
    source.SyncRows();
    AfterLoad();
    // Every row now shows another item, even where the row count, the
    // current row and the column width all came out as they were.
    View_->RepaintAll();
}

// --- moving ---------------------------------------------------------------

void TOutlineTree::Relocate(TOutlineNode* source, std::int32_t destination, TAttachMode mode) {
    if (mode != TAttachMode::amLastChild && destination <= 0) {
        throw EOutlineError(msg::SOutlineBadIndex);
    }
    const std::int32_t from = source->Index();
    if (destination == from) {
        return;
    }
    TOutlineNode* target = FindItem(destination);
    if (target == source || (from < destination && destination < from + source->Size_)) {
        return;
    }
    if (DeeperThan(target, 255)) {
        throw EOutlineError(msg::SOutlineMaxLevels);
    }
    TOutlineNode* oldParent = source->Parent_;
    const std::int32_t oldLevel = source->Level();
    RemoveChild(source);
    TOutlineNode* newParent = target;
    std::int32_t place = 0;
    switch (mode) {
    case TAttachMode::amLastSibling:
        newParent = target->Parent_;
        place = newParent->ChildCount();
        break;
    case TAttachMode::amLastChild:
        place = target->ChildCount();
        break;
    case TAttachMode::amBefore:
        newParent = target->Parent_;
        place = target->PlaceInParent();
        break;
    }
    InsertChild(newParent, place, source);
    // The subtree's deepest item moved by as much as the subtree did.
    DepthBound_ += std::max(0, source->Level() - oldLevel);
    WidthChangedUnder(newParent);
    if (!oldParent->HasChildren() && oldParent != RootItem_) {
        oldParent->SetExpanded(false);
    }
    WidthChangedUnder(oldParent == RootItem_ ? oldParent : oldParent->Parent_);
    if (!target->Expanded_) {
        source->SetExpanded(false);
    }
    SyncRows();
    View_->RepaintAll();
}

// --- expanding and collapsing ---------------------------------------------

void TOutlineTree::WidthChangedUnder(const TOutlineNode* parent) {
    if (parent != nullptr && parent->Expanded_) {
        View_->UpdateColumnWidth();
    }
}

void TOutlineTree::Expand(TOutlineNode* item) {
    for (const TOutlineNode* node = item->Parent_; node != nullptr; node = node->Parent_) {
        if (!node->Expanded_) {
            throw EOutlineError(msg::SOutlineExpandParent);
        }
    }
    View_->NotifyExpand(item->Index());
    if (item->Expanded_) {
        return; // the handler expanded it itself
    }
    // A known row is a shown item's, so it lies outside the closed item:
    // after it, it moves down by the rows that open; before it, it stays.
    const TOutlineNode* known = KnownRowItem_;
    const std::int32_t knownRow = KnownRow_;
    const bool below = known != nullptr && known->Index() > item->Index();
    item->Expanded_ = true;
    if (View_->TalliesWidths()) {
        View_->TallyRows(item, 1, false);
    }
    const std::int32_t added = item->ChildCount();
    item->ShownCount_ += added;
    item->InvalidateFollowingRows();
    AddCounts(item->Parent_, 0, added);
    if (known != nullptr) {
        KnownRowItem_ = known;
        KnownRow_ = knownRow + (below ? added : 0);
    }
    WidthChangedUnder(item->Parent_);
    SyncRowsAndRepaint();
}

void TOutlineTree::Collapse(TOutlineNode* item) {
    const std::int32_t removed = item->ShownCount_;
    if (View_->TalliesWidths() && item->Expanded_ && item->NearestShownItem() == item) {
        View_->TallyRows(item, -1, false);
    }
    // Only expanded items can hold expanded descendants, so the walk stays
    // within what was shown.
    std::vector<TOutlineNode*> pending{item};
    while (!pending.empty()) {
        TOutlineNode* node = pending.back();
        pending.pop_back();
        if (node->Children_ != nullptr) {
            node->Children_->Invalidate(0);
            for (TOutlineNode* child : *node->Children_) {
                if (child->Expanded_) {
                    pending.push_back(child);
                }
            }
        }
        node->ShownCount_ = 0;
        node->Expanded_ = false;
    }
    item->InvalidateFollowingRows();
    AddCounts(item->Parent_, 0, -removed);
    SyncRowsAndRepaint();
    View_->NotifyCollapse(item->Index());
    WidthChangedUnder(item->Parent_);
    SyncRowsAndRepaint();
}

void TOutlineTree::ExpandSubtree(TOutlineNode* item) {
    if (!item->HasChildren()) {
        return;
    }
    if (View_->WatchesExpandSteps()) {
        // One item at a time, in outline order, so every handler sees the
        // state it would see after expanding by hand.
        item->SetExpanded(true);
        std::vector<std::pair<TOutlineNode*, std::int32_t>> pending{{item, 0}};
        while (!pending.empty()) {
            auto& [node, next] = pending.back();
            if (next >= node->ChildCount()) {
                pending.pop_back();
                continue;
            }
            TOutlineNode* child = node->Child(next++);
            if (child->HasChildren()) {
                child->SetExpanded(true);
                pending.emplace_back(child, 0);
            }
        }
        return;
    }
    if (!item->Expanded_) {
        for (const TOutlineNode* node = item->Parent_; node != nullptr; node = node->Parent_) {
            if (!node->Expanded_) {
                throw EOutlineError(msg::SOutlineExpandParent);
            }
        }
    }
    // Nobody watches the single steps: expand the subtree in one pass and
    // count the rows bottom-up, instead of once per item all the way up.
    const std::int32_t before = item->ShownCount_;
    if (View_->TalliesWidths() && item->Expanded_) {
        View_->TallyRows(item, -1, false);
    }
    std::vector<TOutlineNode*> parents{item};
    for (std::size_t i = 0; i < parents.size(); ++i) {
        for (TOutlineNode* child : *parents[i]->Children_) {
            if (child->Children_ != nullptr) {
                parents.push_back(child);
            }
        }
    }
    for (auto it = parents.rbegin(); it != parents.rend(); ++it) {
        TOutlineNode* node = *it;
        node->Expanded_ = true;
        node->Children_->Invalidate(0);
        std::int32_t shown = 0;
        for (const TOutlineNode* child : *node->Children_) {
            shown += 1 + child->ShownCount_;
        }
        node->ShownCount_ = shown;
    }
    if (View_->TalliesWidths()) {
        View_->TallyRows(item, 1, false);
    }
    item->InvalidateFollowingRows();
    AddCounts(item->Parent_, 0, item->ShownCount_ - before);
    WidthChangedUnder(item->Parent_);
    SyncRowsAndRepaint();
}

void TOutlineTree::ExpandAll() {
    RootItem_->ExpandAll();
}

void TOutlineTree::ToggleExpanded(TOutlineNode* item) {
    item->SetExpanded(!item->Expanded());
}

void TOutlineTree::AfterLoad() {
    KnownRowItem_ = nullptr;
    View_->SetRow(0);
    SelectedNode_ = RootItem_;
    SyncRowsAndRepaint();
    if (TotalItems() > 0) {
        SelectedNode_ = RootItem_->Child(0);
    }
    View_->Loaded();
}

void TOutlineTree::SetCaption(TOutlineNode* item, std::string_view text) {
    const bool shown = item->IsShown();
    if (shown && View_->TalliesWidths()) {
        View_->CaptionChanging(item, text);
    }
    char* old = item->Text_;
    item->Text_ = TOutlineNode::NewText(Store_, text);
    TOutlineNode::ReleaseText(Store_, old);
    if (shown) {
        View_->RepaintRow(RowOf(item));
        View_->UpdateColumnWidth();
    }
}

void TOutlineTree::ForgetCaptionWidths() {
    if (++WidthGeneration_ != 0) {
        return;
    }
    // The generations went round: no old mark may pass for the new one.
    WidthGeneration_ = 1;
    VisitDescendants(RootItem_, [](TOutlineNode* node, std::int32_t) {
        if (node->Text_ != nullptr) {
            TOutlineNode::WidthCacheIn(node->Text_)[0] = 0;
        }
    });
}

} // namespace virevi
