// The outline's view: the row height, the column width and the row painter.
#include <algorithm>
#include <cstring>
#include <vector>

#include "outline/custom_outline.h"

namespace virevi {

// --- properties -------------------------------------------------------------

void TCustomOutline::SetOutlineStyle(TOutlineStyle value) {
    if (value == OutlineStyle_) {
        return;
    }
    OutlineStyle_ = value;
    UpdateColumnWidth();
    RepaintAll();
}

void TCustomOutline::SetOptions(TOutlineOptions value) {
    if (value == Options_) {
        return;
    }
    Options_ = value;
    RepaintAll();
}

void TCustomOutline::SetStyle(TOutlineType value) {
    if (value == Style_) {
        return;
    }
    Style_ = value;
    if (value == TOutlineType::otStandard) {
        UpdateRowHeight();
    }
}

void TCustomOutline::SetItemHeight(std::int32_t value) {
    ItemHeight_ = value;
    if (Style_ == TOutlineType::otStandard) {
        UpdateRowHeight();
        return;
    }
    SetDefaultRowHeight(value);
    FontPixelSize_ = MulDiv(value, 100, 120);
    RetallyWidths();
    RepaintAll();
}

const TBitmap* TCustomOutline::Picture(TOutlinePicture which) const {
    const auto i = static_cast<int>(which);
    return HasPicture_[i] ? &Pictures_[i] : nullptr;
}

void TCustomOutline::SetPicture(TOutlinePicture which, const TBitmap* bitmap) {
    const auto i = static_cast<int>(which);
    PictureFlags_ |= static_cast<std::uint8_t>(1u << i);
    HasPicture_[i] = bitmap != nullptr;
    Pictures_[i] = bitmap != nullptr ? *bitmap : TBitmap{};
    RepaintAll();
}

void TCustomOutline::UpdateRowHeight() {
    if (Style_ == TOutlineType::otOwnerDraw) {
        return;
    }
    const TFont& font = Font();
    // The outline's font is a screen font: its height in points is taken at
    // the screen's resolution, the same one it goes back to pixels at.
    const std::int32_t ppi = ScreenPixelsPerInch();
    // Height 0 is the face's default size, which the grid takes as 8 points.
    const std::int32_t points = font.Height == 0 ? 8 : MulDiv(std::abs(font.Height), 72, ppi);
    FontPixelSize_ = MulDiv(points, ppi, 72);
    const std::int32_t height = MulDiv(FontPixelSize_, 120, 100);
    SetDefaultRowHeight(height);
    ItemHeight_ = height;
    RetallyWidths();
}

void TCustomOutline::FontChanged() {
    TCustomGrid::FontChanged();
    UpdateRowHeight();
    RetallyWidths();
    UpdateColumnWidth();
}

// --- the column width ---------------------------------------------------------

std::int32_t TCustomOutline::StyleWidthOffset() const {
    // Every style's width is w + H × level plus this.
    const std::int32_t h = DefaultRowHeight();
    const std::int32_t v = (h - FontPixelSize_) / 2;
    const std::int32_t r = (Options_ & ooDrawTreeRoot) != 0 ? 1 : 0;
    switch (OutlineStyle_) {
    case TOutlineStyle::osText:
        return -h + 1;
    case TOutlineStyle::osPlusMinusText:
    case TOutlineStyle::osPictureText:
        return 1;
    case TOutlineStyle::osPlusMinusPictureText:
        return h + 1;
    case TOutlineStyle::osTreeText:
        return h * (r - 1) - v + 1;
    case TOutlineStyle::osTreePictureText:
        return h * r - v + 1;
    }
    return 1;
}

std::int32_t TCustomOutline::WidthKey(std::string_view text, std::int32_t level) {
    TCanvas* canvas = MeasureCanvas();
    const std::int32_t w = canvas == nullptr || text.empty() ? 0 : canvas->TextWidth(text);
    const std::int64_t key =
        static_cast<std::int64_t>(w) + std::int64_t{DefaultRowHeight()} * level;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(key, 0, INT32_MAX / 2));
}

std::int32_t TCustomOutline::DisplayWidth(const TOutlineNode* item) {
    const std::int64_t width =
        std::int64_t{WidthKey(item->Text(), item->Level())} + StyleWidthOffset();
    return static_cast<std::int32_t>(std::max<std::int64_t>(0, width));
}

void TCustomOutline::TallyRows(const TOutlineNode* item, std::int32_t sign, bool withItem) {
    TCanvas* canvas = MeasureCanvas();
    if (canvas == nullptr) {
        return;
    }
    // WidthKey without a virtual look-up per row: expanding a large item
    // measures every row that appears.
    const std::int64_t height = DefaultRowHeight();
    const auto count = [&](const TOutlineNode* node, std::int32_t level) {
        const std::int64_t key = CaptionWidth(node, *canvas) + height * level;
        const auto clamped =
            static_cast<std::int32_t>(std::clamp<std::int64_t>(key, 0, INT32_MAX / 2));
        sign > 0 ? Widths_.Add(clamped) : Widths_.Remove(clamped);
    };
    const std::int32_t level = item->Level();
    if (withItem) {
        count(item, level);
    }
    if (!item->Expanded() || !item->HasChildren()) {
        return;
    }
    // Only expanded items show their children; an explicit stack, for depth.
    std::vector<std::pair<const TOutlineNode*, std::int32_t>> path{{item, 0}};
    while (!path.empty()) {
        auto& [node, next] = path.back();
        if (next >= node->ChildCount()) {
            path.pop_back();
            continue;
        }
        const TOutlineNode* child = node->Child(next++);
        count(child, level + static_cast<std::int32_t>(path.size()));
        if (child->Expanded() && child->HasChildren()) {
            path.emplace_back(child, 0);
        }
    }
}

void TCustomOutline::CaptionChanging(const TOutlineNode* item, std::string_view text) {
    const std::int32_t level = item->Level();
    TCanvas* canvas = MeasureCanvas();
    const std::int64_t height = DefaultRowHeight();
    const std::int64_t old = CaptionWidth(item, *canvas) + height * level;
    Widths_.Remove(static_cast<std::int32_t>(std::clamp<std::int64_t>(old, 0, INT32_MAX / 2)));
    Widths_.Add(WidthKey(text, level));
}

std::int32_t TCustomOutline::CaptionWidth(const TOutlineNode* item, TCanvas& canvas) {
    // Rows come and go in their thousands when an item opens or closes; each
    // caption is measured once per font.
    const std::uint8_t generation = Tree_.WidthGeneration();
    std::uint16_t width = 0;
    if (item->CachedWidth(generation, width)) {
        return width;
    }
    if (item->Text().empty()) {
        return 0;
    }
    const std::int32_t measured = canvas.TextWidth(item->Text());
    if (measured >= 0 && measured < 65536) {
        item->CacheWidth(generation, static_cast<std::uint16_t>(measured));
    }
    return measured;
}

void TCustomOutline::RetallyWidths() {
    Widths_.Clear();
    if (!(Font() == WidthFont_)) {
        WidthFont_ = Font();
        Tree_.ForgetCaptionWidths();
    }
    Tallying_ = MeasureCanvas() != nullptr;
    if (Tallying_) {
        TallyRows(Tree_.RootItem(), 1, false);
    }
}

void TCustomOutline::UpdateColumnWidth() {
    const bool horizontal =
        ScrollBars() == TScrollStyle::ssHorizontal || ScrollBars() == TScrollStyle::ssBoth;
    if (!horizontal || !Tallying_ || (Style_ == TOutlineType::otOwnerDraw && OnDrawItem)) {
        return;
    }
    // The root (level 0, no caption) counts too: it is the narrowest column.
    const std::int64_t width = std::int64_t{std::max(Widths_.Max(), 0)} + StyleWidthOffset();
    const auto column = static_cast<std::int32_t>(std::max<std::int64_t>(0, width));
    if (column != ColWidth()) {
        SettingWidth_ = true;
        SetColWidth(column);
        SettingWidth_ = false;
    }
}

void TCustomOutline::Resized() {
    TCustomGrid::Resized();
    if (SettingWidth_ || SettingHeight_) {
        return;
    }
    const bool vertical =
        ScrollBars() == TScrollStyle::ssNone || ScrollBars() == TScrollStyle::ssVertical;
    if (vertical || (Style_ == TOutlineType::otOwnerDraw && OnDrawItem)) {
        SettingWidth_ = true;
        SetColWidth(ClientWidth());
        SettingWidth_ = false;
        return;
    }
    UpdateColumnWidth();
}

// --- the row painter ------------------------------------------------------------

void TCustomOutline::DrawPictures(TCanvas& canvas, const TRect& rect, std::int32_t x,
                                  const TBitmap* first, const TBitmap* second) {
    const std::int32_t h = DefaultRowHeight();
    const std::int32_t f = FontPixelSize_;
    const std::int32_t c = (h - f) / 2;
    const std::int32_t top = rect.Top + c;
    const std::int32_t bottom = top + f;
    for (const TBitmap* picture : {first, second}) {
        const std::int32_t left = x + c - 1;
        x += h;
        if (picture == nullptr || picture->Width <= 0 || picture->Height <= 0) {
            continue;
        }
        TRect box{left, top, left + f, bottom};
        const TColor transparent = TransparentColorOf(*picture);
        // The picture's transparent pixels show the control's own colour,
        // also on the highlighted row.
        if ((Options_ & ooStretchBitmaps) != 0) {
            canvas.FillRect(box, Color());
            canvas.StretchBitmap(*picture, box, transparent);
            continue;
        }
        box.Bottom = std::min(box.Bottom, box.Top + picture->Height);
        box.Right = std::min(box.Right, box.Left + picture->Width);
        if ((f - box.Height()) / 2 > 0) {
            const std::int32_t height = box.Height();
            box.Top = rect.Top + (h - height) / 2;
            box.Bottom = box.Top + height;
        }
        if (box.Empty()) {
            continue;
        }
        canvas.FillRect(box, Color());
        canvas.DrawBitmap(*picture, {0, 0, box.Width(), box.Height()}, {box.Left, box.Top},
                          transparent);
    }
}

void TCustomOutline::DrawTreeLines(TCanvas& canvas, const TRect& rect, const TOutlineNode* item,
                                   std::int32_t level) {
    const std::int32_t h = DefaultRowHeight();
    const std::int32_t half = h / 2;
    const bool root = (Options_ & ooDrawTreeRoot) != 0;
    const std::int32_t r = root ? 1 : 0;
    const auto isLast = [](const TOutlineNode* node) {
        const TOutlineNode* parent = node->Parent();
        return parent->Child(parent->ChildCount() - 1) == node;
    };
    std::int32_t k = level - 3 + r;
    const TOutlineNode* top = Tree_.RootItem();
    for (const TOutlineNode* ancestor = item->Parent();
         ancestor != top && (root || ancestor->Parent() != top);
         ancestor = ancestor->Parent(), --k) {
        if (!isLast(ancestor)) {
            const std::int32_t x = rect.Left + k * h + half;
            canvas.Line({x, rect.Top}, {x, rect.Bottom}, clBlack);
        }
    }
    if (root || level > 1) {
        const std::int32_t x = rect.Left + h * (level - 2 + r) + half;
        canvas.Line({x, rect.Top}, {x, isLast(item) ? rect.Top + half : rect.Bottom}, clBlack);
        canvas.Line({x, rect.Top + half}, {x + FontPixelSize_ / 2, rect.Top + half}, clBlack);
    }
}

void TCustomOutline::DrawCell(TCanvas& canvas, std::int32_t row, const TRect& rect,
                              TGridDrawState state) {
    // A row past the shown items (the view may briefly have more rows than
    // the tree) is drawn empty rather than read from beyond the tree.
    if (TotalItems() == 0 || row < 0 || row >= Tree_.RootItem()->ShownCount()) {
        canvas.FillRect(rect, Color());
        return;
    }
    const bool current = row == Row();
    if (Style_ == TOutlineType::otOwnerDraw && OnDrawItem) {
        TGridDrawState ownState = 0;
        if (current) {
            ownState = Focused() ? gdSelected | gdFocused : gdSelected;
        }
        OnDrawItem(*this, row, rect, ownState);
        if (current && Focused() && (Options_ & ooDrawFocusRect) != 0) {
            canvas.DrawFocusRect(rect);
        }
        return;
    }
    const TOutlineNode* item = ItemOnRow(row);
    TFont font = Font();
    canvas.SetFont(font);
    canvas.FillRect(rect, Color());
    TColor brush = Color();
    if (current) {
        brush = clHighlight;
        font.Color = clHighlightText;
        canvas.SetFont(font);
    }

    const std::int32_t h = DefaultRowHeight();
    const std::int32_t level = item->Level();
    const std::int32_t r = (Options_ & ooDrawTreeRoot) != 0 ? 1 : 0;
    const std::int32_t v = (rect.Height() - FontPixelSize_) / 2;
    const std::string_view text = item->Text();
    const std::int32_t w = CaptionWidth(item, canvas);
    const bool children = item->HasChildren();
    const TBitmap* plusMinus =
        children ? Picture(item->Expanded() ? TOutlinePicture::Minus : TOutlinePicture::Plus)
                 : nullptr;
    const TBitmap* folder = Picture(!children          ? TOutlinePicture::Leaf
                                    : item->Expanded() ? TOutlinePicture::Open
                                                       : TOutlinePicture::Closed);

    std::int32_t boxLeft = 0;
    std::int32_t textLeft = 0;
    std::int32_t extra = 0;
    const TBitmap* first = nullptr;
    const TBitmap* second = nullptr;
    std::int32_t slot = -1;
    switch (OutlineStyle_) {
    case TOutlineStyle::osText:
        boxLeft = textLeft = h * (level - 1);
        break;
    case TOutlineStyle::osPlusMinusText:
        slot = h * (level - 1);
        first = plusMinus;
        boxLeft = textLeft = h * level;
        break;
    case TOutlineStyle::osPictureText:
        slot = h * (level - 1);
        first = folder;
        boxLeft = textLeft = h * level;
        break;
    case TOutlineStyle::osPlusMinusPictureText:
        slot = h * (level - 1);
        first = plusMinus;
        second = folder;
        boxLeft = textLeft = h * (level + 1);
        break;
    case TOutlineStyle::osTreeText:
        boxLeft = h * (level - 1 + r) - v;
        textLeft = h * (level - 1 + r);
        break;
    case TOutlineStyle::osTreePictureText:
        slot = h * (level - 1 + r);
        first = folder;
        boxLeft = textLeft = h * (level + r) - v;
        extra = v;
        break;
    }
    if (OutlineStyle_ == TOutlineStyle::osTreeText ||
        OutlineStyle_ == TOutlineStyle::osTreePictureText) {
        DrawTreeLines(canvas, rect, item, level);
    }
    const TRect box{rect.Left + boxLeft, rect.Top, rect.Left + textLeft + extra + w + 1,
                    rect.Bottom};
    if (!text.empty()) {
        if (current) {
            canvas.FillRect(box, brush);
        }
        const TRect textRect{rect.Left + textLeft, rect.Top, box.Right, rect.Bottom};
        const std::int32_t y = rect.Top + (rect.Height() - canvas.TextHeight(text)) / 2;
        canvas.TextRect(textRect, textRect.Left, y, text, brush);
    }
    if (slot >= 0 || first != nullptr || second != nullptr) {
        DrawPictures(canvas, rect, rect.Left + slot, first,
                     OutlineStyle_ == TOutlineStyle::osPlusMinusPictureText ? second : nullptr);
    }
    if (current && !text.empty() && Focused() && (Options_ & ooDrawFocusRect) != 0) {
        canvas.DrawFocusRect(box);
    }
}

} // namespace virevi
