#include "dialogs/message_layout.h"

#include <algorithm>

#include "runtime/messages.h"
#include "runtime/mul_div.h"

namespace virevi {
namespace {

// Dialog units, in units of a quarter character width and an eighth of its height.
constexpr std::int32_t MarginUnits = 8;
constexpr std::int32_t SpacingUnits = 10;
constexpr std::int32_t MinButtonWidthUnits = 50;
constexpr std::int32_t ButtonHeightUnits = 14;
constexpr std::int32_t ButtonGapUnits = 4;

constexpr std::int32_t IconSize = 32;
// Room for the button's frame around its caption.
constexpr std::int32_t ButtonCaptionPadding = 8;
constexpr std::string_view Divider = "---------------------------\r\n";


} // namespace

const std::array<TMsgDlgButtonKind, MsgDlgBtnCount>& MsgDlgButtonKinds() {
    static const std::array<TMsgDlgButtonKind, MsgDlgBtnCount> kinds{{
        {"Yes", msg::ButtonYes, mrYes},
        {"No", msg::ButtonNo, mrNo},
        {"OK", msg::ButtonOK, mrOk},
        {"Cancel", msg::ButtonCancel, mrCancel},
        {"Abort", msg::ButtonAbort, mrAbort},
        {"Retry", msg::ButtonRetry, mrRetry},
        {"Ignore", msg::ButtonIgnore, mrIgnore},
        {"All", msg::ButtonAll, mrAll},
        {"NoToAll", msg::ButtonNoToAll, mrNoToAll},
        {"YesToAll", msg::ButtonYesToAll, mrYesToAll},
        {"Help", msg::ButtonHelp, mrNone},
    }};
    return kinds;
}

const char* MsgDlgCaption(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return msg::CaptionWarning;
    case TMsgDlgType::mtError:
        return msg::CaptionError;
    case TMsgDlgType::mtInformation:
        return msg::CaptionInformation;
    case TMsgDlgType::mtConfirmation:
        return msg::CaptionConfirmation;
    case TMsgDlgType::mtCustom:
        break;
    }
    return msg::ApplicationTitle;
}

std::string WithoutAccelerators(std::string_view caption) {
    std::string shown;
    shown.reserve(caption.size());
    for (char c : caption) {
        if (c != '&') {
            shown += c;
        }
    }
    return shown;
}

char AccessLetter(std::string_view caption) {
    const std::size_t amp = caption.find('&');
    if (amp == std::string_view::npos || amp + 1 == caption.size()) {
        return 0;
    }
    const char letter = caption[amp + 1];
    if (letter >= 'a' && letter <= 'z') {
        return static_cast<char>(letter - 'a' + 'A');
    }
    return letter >= 'A' && letter <= 'Z' ? letter : 0;
}

std::int32_t
TButtonWidthCache::Width(TMsgDlgBtn kind,
                         const std::function<std::int32_t(std::string_view caption)>& measure) {
    std::int32_t& width = Widths_[kind];
    if (width == 0) {
        width =
            measure(WithoutAccelerators(MsgDlgButtonKinds()[kind].Caption)) + ButtonCaptionPadding;
    }
    return width;
}

TMessageLayout
LayoutMessageDialog(const TMessageMeasures& measures, TMsgDlgType type, TMsgDlgButtons buttons,
                    TButtonWidthCache& cache,
                    const std::function<std::int32_t(std::string_view)>& captionWidth) {
    TMessageLayout layout;
    layout.CharWidth =
        measures.AlphabetWidth / static_cast<std::int32_t>(DialogUnitAlphabet.size());
    const std::int32_t charHeight = measures.CharHeight;
    const auto horz = [&](std::int32_t units) { return MulDiv(units, layout.CharWidth, 4); };
    const auto vert = [&](std::int32_t units) { return MulDiv(units, charHeight, 8); };
    layout.HorzMargin = horz(MarginUnits);
    layout.VertMargin = vert(MarginUnits);
    layout.HorzSpacing = horz(SpacingUnits);
    layout.VertSpacing = vert(SpacingUnits);
    layout.ButtonWidth = horz(MinButtonWidthUnits);
    layout.ButtonHeight = vert(ButtonHeightUnits);
    layout.ButtonGap = horz(ButtonGapUnits);

    std::int32_t count = 0;
    for (int kind = 0; kind < MsgDlgBtnCount; ++kind) {
        if (HasButton(buttons, static_cast<TMsgDlgBtn>(kind))) {
            ++count;
            layout.ButtonWidth = std::max(layout.ButtonWidth,
                                          cache.Width(static_cast<TMsgDlgBtn>(kind), captionWidth));
        }
    }

    layout.HasIcon = MsgDlgHasIcon(type);
    layout.IconTextWidth = measures.TextWidth;
    layout.IconTextHeight = measures.TextHeight;
    if (layout.HasIcon) {
        layout.IconTextWidth += layout.HorzSpacing + IconSize;
        layout.IconTextHeight = std::max(layout.IconTextHeight, IconSize);
    }
    layout.ButtonRowWidth =
        count == 0 ? 0 : count * layout.ButtonWidth + (count - 1) * layout.ButtonGap;
    layout.ClientWidth =
        std::max(layout.IconTextWidth, layout.ButtonRowWidth) + 2 * layout.HorzMargin;
    layout.ClientHeight =
        layout.IconTextHeight + layout.ButtonHeight + layout.VertSpacing + 2 * layout.VertMargin;

    if (layout.HasIcon) {
        layout.Icon = {layout.HorzMargin, layout.VertMargin, layout.HorzMargin + IconSize,
                       layout.VertMargin + IconSize};
    }
    const std::int32_t labelLeft = layout.IconTextWidth - measures.TextWidth + layout.HorzMargin;
    layout.Message = {labelLeft, layout.VertMargin, labelLeft + measures.TextWidth,
                      layout.VertMargin + measures.TextHeight};

    std::int32_t x = (layout.ClientWidth - layout.ButtonRowWidth) / 2;
    const std::int32_t y = layout.IconTextHeight + layout.VertMargin + layout.VertSpacing;
    for (int kind = 0; kind < MsgDlgBtnCount; ++kind) {
        if (!HasButton(buttons, static_cast<TMsgDlgBtn>(kind))) {
            continue;
        }
        layout.Buttons.push_back({static_cast<TMsgDlgBtn>(kind),
                                  {x, y, x + layout.ButtonWidth, y + layout.ButtonHeight}});
        x += layout.ButtonWidth + layout.ButtonGap;
    }
    return layout;
}

TMsgDlgBtn DefaultButton(TMsgDlgButtons buttons) {
    if (HasButton(buttons, mbOK)) {
        return mbOK;
    }
    return HasButton(buttons, mbYes) ? mbYes : mbRetry;
}

TMsgDlgBtn CancelButton(TMsgDlgButtons buttons) {
    if (HasButton(buttons, mbCancel)) {
        return mbCancel;
    }
    return HasButton(buttons, mbNo) ? mbNo : mbOK;
}

std::string MessageClipboardText(std::string_view caption, std::string_view message,
                                 TMsgDlgButtons buttons) {
    std::string text;
    text.append(Divider).append(caption).append("\r\n");
    text.append(Divider).append(message).append("\r\n");
    text.append(Divider);
    for (int kind = 0; kind < MsgDlgBtnCount; ++kind) {
        if (HasButton(buttons, static_cast<TMsgDlgBtn>(kind))) {
            text.append(WithoutAccelerators(MsgDlgButtonKinds()[kind].Caption)).append("   ");
        }
    }
    text.append("\r\n").append(Divider);
    return text;
}

std::string ErrorDisplayText(std::string message) {
    // Every byte of a multi-byte UTF-8 character lies above ".", as its first
    // byte does, so the last byte decides as the last character's first would.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        message += '.';
    }
    return message;
}

} // namespace virevi
