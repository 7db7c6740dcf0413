#include "outline/custom_outline.h"

#include "runtime/scope_guard.h"

namespace virevi {

TCustomOutline::TCustomOutline() {
    for (int i = 0; i < OutlinePictureCount; ++i) {
        Pictures_[i] = LoadOutlinePicture(static_cast<TOutlinePicture>(i));
        HasPicture_[i] = true;
    }
    Tree_.SetView(&ViewSteps_);
    UpdateRowHeight();
}

TCustomOutline::~TCustomOutline() = default;

void TCustomOutline::TViewSteps::SetRowCount(std::int32_t count) {
    // The rows changing are no reason to measure the column again.
    Outline_.SettingHeight_ = true;
    const TScopeGuard done([this] { Outline_.SettingHeight_ = false; });
    Outline_.SetRowCount(count);
}

void TCustomOutline::TViewSteps::Loaded() {
    Outline_.PictureFlags_ = 0;
    Outline_.RetallyWidths();
    Outline_.UpdateColumnWidth();
}

void TCustomOutline::Click() {
    Tree_.SelectCurrentRow();
    TRowCursor::Click();
}

void TCustomOutline::NotifyExpand(std::int32_t index) {
    if (OnExpand) {
        OnExpand(*this, index);
    }
}

void TCustomOutline::NotifyCollapse(std::int32_t index) {
    if (OnCollapse) {
        OnCollapse(*this, index);
    }
}

bool TCustomOutline::WatchesExpandSteps() const {
    return OnExpand || OnClick;
}

void TCustomOutline::ShowError(const std::exception& error) {
    if (OnShowError) {
        OnShowError(error);
    }
}

} // namespace virevi
