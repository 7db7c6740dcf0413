// The outline's answers to the mouse and the keyboard, after the grid's own.
#include "outline/custom_outline.h"

namespace virevi {

void TCustomOutline::SelectItem(const TOutlineNode* item) {
    SetSelectedIndex(item->Index());
}

void TCustomOutline::DblClick() {
    TCustomGrid::DblClick();
    if (Tree_.SelectedNode() != Tree_.RootItem()) {
        ToggleExpanded(Tree_.SelectedNode());
    }
}

void TCustomOutline::MouseDown(TMouseButton button, TShiftState shift, std::int32_t x,
                               std::int32_t y) {
    TCustomGrid::MouseDown(button, shift, x, y);
    // The row may have moved without a click: the selection follows it quietly.
    Tree_.ClearSelection();
    Tree_.SelectedIndex();
}

void TCustomOutline::KeyDown(std::uint16_t& key, TShiftState shift) {
    TCustomGrid::KeyDown(key, shift);
    if (TotalItems() == 0) {
        return;
    }
    const bool ctrl = (shift & ssCtrl) != 0;
    TOutlineNode* root = Tree_.RootItem();
    TOutlineNode* item = Tree_.ItemOnCurrentRow();
    TOutlineNode* parent = item->Parent();
    switch (key) {
    case VK_RETURN:
        ToggleExpanded(item);
        return;
    case VK_END: {
        TOutlineNode* last = root->Child(root->ChildCount() - 1);
        while (last->Expanded() && last->HasChildren()) {
            last = last->Child(last->ChildCount() - 1);
        }
        SelectItem(last);
        return;
    }
    case VK_HOME:
        SelectItem(root->Child(0));
        return;
    case VK_LEFT:
        if (parent == root) {
            Beep();
            return;
        }
        SelectItem(parent);
        return;
    case VK_RIGHT:
        if (item->HasChildren() && item->Expanded()) {
            SelectItem(item->Child(0));
            return;
        }
        Beep();
        return;
    case VK_UP:
    case VK_DOWN: {
        if (!ctrl) {
            break;
        }
        const std::int32_t place = item->PlaceInParent();
        const std::int32_t sibling = key == VK_UP ? place - 1 : place + 1;
        if (sibling < 0 || sibling >= parent->ChildCount()) {
            Beep();
            return;
        }
        SelectItem(parent->Child(sibling));
        return;
    }
    case VK_MULTIPLY:
        if (ctrl) {
            ExpandAll();
            return;
        }
        break;
    default:
        break;
    }
    SelectItem(item);
}

void TCustomOutline::KeyPress(char& key) {
    TCustomGrid::KeyPress(key);
    TOutlineNode* selected = Tree_.SelectedNode();
    if (selected == Tree_.RootItem()) {
        return;
    }
    switch (key) {
    case '+':
        selected->SetExpanded(true);
        break;
    case '-':
        selected->SetExpanded(false);
        break;
    case '*':
        selected->ExpandAll();
        break;
    default:
        break;
    }
}

} // namespace virevi
