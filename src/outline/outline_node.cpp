#include "outline/outline_node.h"

#include <algorithm>
#include <cstring>

#include "outline/outline_store.h"
#include "outline/outline_tree.h"
#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi {

void TOutlineNode::ReleaseText(TOutlineStore& store, char* text) noexcept {
    if (text != nullptr) {
        // The block runs from the length byte to the caption's last byte.
        const std::string_view caption = CaptionIn(text);
        store.Release(text, static_cast<std::size_t>(caption.data() + caption.size() - text));
    }
}

void TOutlineNode::SetText(std::string_view value) {
    Tree()->SetCaption(this, value);
}

TOutlineTree* TOutlineNode::Tree() const {
    const TOutlineNode* node = this;
    while (node->Parent_ != nullptr) {
        node = node->Parent_;
    }
    // The root keeps its tree where items keep the caller's data.
    return static_cast<TOutlineTree*>(node->Data_);
}

void TOutlineNode::ValidateThrough(std::int32_t place) const {
    TChildList& list = *Children_;
    for (std::int32_t i = list.Valid; i <= place; ++i) {
        TOutlineNode* child = list[i];
        if (i == 0) {
            child->Offset_ = 1;
        } else {
            const TOutlineNode* previous = list[i - 1];
            child->Offset_ = previous->Offset_ + previous->Size_;
        }
    }
    for (std::int32_t i = list.RowValid; i <= place; ++i) {
        TOutlineNode* child = list[i];
        if (i == 0) {
            child->RowOffset_ = 1;
        } else {
            const TOutlineNode* previous = list[i - 1];
            child->RowOffset_ = previous->RowOffset_ + 1 + previous->ShownCount_;
        }
    }
    list.Valid = std::max(list.Valid, place + 1);
    list.RowValid = std::max(list.RowValid, place + 1);
}

std::int32_t TOutlineNode::CheckedPlace() const {
    // Offsets are strictly increasing where they are correct; a stale
    // offset of this item never leads to this item there.
    const TChildList& list = *Parent_->Children_;
    const auto begin = list.begin();
    const auto end = begin + list.Valid;
    const auto found =
        std::lower_bound(begin, end, Offset_, [](const TOutlineNode* child, std::int32_t value) {
            return child->Offset_ < value;
        });
    return found != end && *found == this ? static_cast<std::int32_t>(found - begin) : -1;
}

std::int32_t TOutlineNode::PlaceInParent() const {
    const std::int32_t checked = CheckedPlace();
    if (checked >= 0) {
        return checked;
    }
    // Not among the checked places, so it lies at or after the first stale one.
    const TChildList& list = *Parent_->Children_;
    for (std::int32_t i = list.Valid;; ++i) {
        Parent_->ValidateThrough(i);
        if (list[i] == this) {
            return i;
        }
    }
}

void TOutlineNode::InvalidateFollowing() const {
    if (Parent_ == nullptr) {
        return;
    }
    const std::int32_t place = CheckedPlace();
    if (place >= 0) {
        Parent_->Children_->Invalidate(place + 1);
    }
}

void TOutlineNode::InvalidateFollowingRows() const {
    if (Parent_ == nullptr) {
        return;
    }
    const std::int32_t place = CheckedPlace();
    if (place >= 0) {
        TChildList& list = *Parent_->Children_;
        list.RowValid = std::min(list.RowValid, place + 1);
    }
}

std::int32_t TOutlineNode::ChildPlaceForOffset(std::int32_t offset) const {
    const TChildList& list = *Children_;
    if (list.Valid > 0) {
        const TOutlineNode* last = list[list.Valid - 1];
        if (offset < last->Offset_ + last->Size_) {
            const auto begin = list.begin();
            const auto found = std::upper_bound(begin, begin + list.Valid, offset,
                                                [](std::int32_t value, const TOutlineNode* child) {
                                                    return value < child->Offset_;
                                                });
            return static_cast<std::int32_t>(found - begin) - 1;
        }
    }
    const std::int32_t count = list.Count;
    for (std::int32_t i = list.Valid; i < count; ++i) {
        ValidateThrough(i);
        const TOutlineNode* child = list[i];
        if (offset < child->Offset_ + child->Size_) {
            return i;
        }
    }
    return count - 1;
}

std::int32_t TOutlineNode::ChildPlaceForRow(std::int32_t rowOffset) const {
    const TChildList& list = *Children_;
    if (list.RowValid > 0) {
        const TOutlineNode* last = list[list.RowValid - 1];
        if (rowOffset <= last->RowOffset_ + last->ShownCount_) {
            const auto begin = list.begin();
            const auto found = std::upper_bound(begin, begin + list.RowValid, rowOffset,
                                                [](std::int32_t value, const TOutlineNode* child) {
                                                    return value < child->RowOffset_;
                                                });
            return static_cast<std::int32_t>(found - begin) - 1;
        }
    }
    const std::int32_t count = list.Count;
    for (std::int32_t i = list.RowValid; i < count; ++i) {
        ValidateThrough(i);
        const TOutlineNode* child = list[i];
        if (rowOffset <= child->RowOffset_ + child->ShownCount_) {
            return i;
        }
    }
    return count - 1;
}

std::int32_t TOutlineNode::Index() const {
    std::int32_t position = 0;
    for (const TOutlineNode* node = this; node->Parent_ != nullptr; node = node->Parent_) {
        node->PlaceInParent();
        position += node->Offset_;
    }
    return position;
}

std::int32_t TOutlineNode::RowInOutline() const {
    std::int32_t row = -1;
    for (const TOutlineNode* node = this; node->Parent_ != nullptr; node = node->Parent_) {
        const std::int32_t place = node->PlaceInParent();
        if (place >= node->Parent_->Children_->RowValid) {
            node->Parent_->ValidateThrough(place);
        }
        row += node->RowOffset_;
    }
    return row;
}

std::int32_t TOutlineNode::Level() const {
    std::int32_t level = 0;
    for (const TOutlineNode* node = Parent_; node != nullptr; node = node->Parent_) {
        ++level;
    }
    return level;
}

void TOutlineNode::SetExpanded(bool value) {
    if (value == Expanded_ || Parent_ == nullptr) {
        return;
    }
    TOutlineTree* tree = Tree();
    if (value) {
        tree->Expand(this);
    } else {
        tree->Collapse(this);
    }
}

void TOutlineNode::ExpandAll() {
    Tree()->ExpandSubtree(this);
}

bool TOutlineNode::IsShown() const {
    return Parent_ != nullptr && Parent_->Expanded_;
}

TOutlineNode* TOutlineNode::NearestShownItem() {
    TOutlineNode* node = this;
    while (node->Parent_ != nullptr && !node->Parent_->Expanded_) {
        node = node->Parent_;
    }
    return node;
}

std::int32_t TOutlineNode::LastIndexInSubtree() const {
    return Index() + Size_ - 1;
}

std::int32_t TOutlineNode::NextSiblingIndex(std::int32_t childIndex) const {
    if (Children_ == nullptr) {
        return -1;
    }
    const std::int32_t base = Index();
    const std::int32_t offset = childIndex - base;
    if (offset < 1 || offset >= Size_) {
        return -1;
    }
    const std::int32_t place = ChildPlaceForOffset(offset);
    if (Child(place)->Offset_ != offset || place + 1 == ChildCount()) {
        return -1;
    }
    ValidateThrough(place + 1);
    return base + Child(place + 1)->Offset_;
}

void TOutlineNode::SetLevel(std::int32_t newLevel) {
    const std::int32_t level = Level();
    if (newLevel == level) {
        return;
    }
    if (newLevel < 1) {
        throw EOutlineError(msg::SOutlineBadLevel);
    }
    if (newLevel > level) {
        for (std::int32_t step = level; step < newLevel; ++step) {
            const std::int32_t place = PlaceInParent();
            if (place == 0) {
                throw EOutlineError(msg::SOutlineBadLevel);
            }
            MoveItem(Parent_->Child(place - 1)->Index(), TAttachMode::amLastChild);
        }
        return;
    }
    const TOutlineNode* ancestor = this;
    for (std::int32_t step = newLevel; step < level; ++step) {
        ancestor = ancestor->Parent_;
    }
    const std::int32_t next = ancestor->Parent_->NextSiblingIndex(ancestor->Index());
    if (next == -1) {
        MoveItem(ancestor->Parent_->Index(), TAttachMode::amLastChild);
    } else {
        MoveItem(next, TAttachMode::amBefore);
    }
}

void TOutlineNode::ShiftLevel(std::int8_t delta) {
    SetLevel(Level() + delta);
}

void TOutlineNode::MoveItem(std::int32_t destination, TAttachMode mode) {
    Tree()->Relocate(this, destination, mode);
}

TOutlineNode* TOutlineNode::ShownItemAt(std::int32_t n) {
    if (n == 0) {
        return this;
    }
    if (n < 0 || n > ShownCount_) {
        throw EOutlineError(msg::SOutlineIndexNotFound);
    }
    TOutlineNode* node = this;
    std::int32_t rowOffset = n;
    for (;;) {
        TOutlineNode* child = node->Child(node->ChildPlaceForRow(rowOffset));
        if (child->RowOffset_ == rowOffset) {
            return child;
        }
        rowOffset -= child->RowOffset_;
        node = child;
    }
}

TOutlineNode* TOutlineNode::ItemAtIndex(std::int32_t n) {
    const std::int32_t base = Index();
    if (n == base) {
        return this;
    }
    TOutlineNode* node = this;
    std::int32_t offset = n - base;
    for (;;) {
        if (offset < 1 || offset >= node->Size_) {
            throw OutlineError();
        }
        TOutlineNode* child = node->Child(node->ChildPlaceForOffset(offset));
        if (child->Offset_ == offset) {
            return child;
        }
        offset -= child->Offset_;
        node = child;
    }
}

static_assert(sizeof(TOutlineNode) == 48, "an item costs six words");

} // namespace virevi
