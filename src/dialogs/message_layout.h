#pragma once
// What the message dialog decides before any window exists: its types and
// button kinds, where everything goes for given font measures, which buttons
// answer Enter and Escape, the text Ctrl+C copies, and the text the error
// display shows for a message.
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/canvas.h"

namespace virevi {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

/// The button kinds in the order they are laid out, left to right.
enum TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
inline constexpr int MsgDlgBtnCount = mbHelp + 1;

/// A set of button kinds: bit `1u << kind` for each kind in it.
using TMsgDlgButtons = std::uint16_t;

constexpr TMsgDlgButtons MsgDlgButtons(std::initializer_list<TMsgDlgBtn> kinds) {
    TMsgDlgButtons set = 0;
    for (TMsgDlgBtn kind : kinds) {
        set = static_cast<TMsgDlgButtons>(set | (1u << kind));
    }
    return set;
}

constexpr bool HasButton(TMsgDlgButtons set, TMsgDlgBtn kind) {
    return (set >> kind) & 1u;
}

/// The result codes of every modal window of the program.
inline constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                     mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

/// What a button of a kind is: its control name, its caption ("&" before the
/// access letter) and the result it closes the dialog with (0: it does not close it).
struct TMsgDlgButtonKind {
    const char* Name;
    const char* Caption;
    int Result;
};

/// The kinds' buttons, indexed by TMsgDlgBtn.
const std::array<TMsgDlgButtonKind, MsgDlgBtnCount>& MsgDlgButtonKinds();

/// The window caption of a type; the custom type is captioned with the application title.
const char* MsgDlgCaption(TMsgDlgType type);

/// False only for the custom type, which shows no icon.
constexpr bool MsgDlgHasIcon(TMsgDlgType type) {
    return type != TMsgDlgType::mtCustom;
}

/// The caption as it is shown: every "&" removed.
std::string WithoutAccelerators(std::string_view caption);

/// The letter after the first "&" of a caption, in upper case; 0 when it has
/// none or it is not an ASCII letter.
char AccessLetter(std::string_view caption);

/// Measured caption widths of the button kinds, 0 until a kind is first
/// needed. Never cleared: a kind keeps its first width whatever font follows.
class TButtonWidthCache {
public:
    /// The kind's cached width, measuring its caption (without "&") the first
    /// time and keeping that width + 8.
    std::int32_t Width(TMsgDlgBtn kind,
                       const std::function<std::int32_t(std::string_view caption)>& measure);

private:
    std::array<std::int32_t, MsgDlgBtnCount> Widths_{};
};

/// The string whose width, divided by its 52 letters, is the average character width.
inline constexpr std::string_view DialogUnitAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

/// The font measures the layout starts from, in pixels.
struct TMessageMeasures {
    std::int32_t AlphabetWidth = 0; ///< width of DialogUnitAlphabet on one line
    std::int32_t CharHeight = 0;    ///< that string's height
    std::int32_t TextWidth = 0;     ///< the message, word-wrapped at half the screen width
    std::int32_t TextHeight = 0;
};

struct TMessageButtonPlace {
    TMsgDlgBtn Kind;
    TRect Bounds;
    friend bool operator==(const TMessageButtonPlace&, const TMessageButtonPlace&) = default;
};

/// Where the parts of a message dialog go, in pixels of its client area.
struct TMessageLayout {
    std::int32_t CharWidth = 0;
    std::int32_t HorzMargin = 0;
    std::int32_t VertMargin = 0;
    std::int32_t HorzSpacing = 0;
    std::int32_t VertSpacing = 0;
    std::int32_t ButtonWidth = 0;
    std::int32_t ButtonHeight = 0;
    std::int32_t ButtonGap = 0;
    std::int32_t IconTextWidth = 0;
    std::int32_t IconTextHeight = 0;
    std::int32_t ButtonRowWidth = 0;
    std::int32_t ClientWidth = 0;
    std::int32_t ClientHeight = 0;
    bool HasIcon = false;
    TRect Icon;                               ///< empty without an icon
    TRect Message;                            ///< the label, as large as the measured text
    std::vector<TMessageButtonPlace> Buttons; ///< in the fixed order of the kinds
};

/// Lays out a dialog of `type` with the buttons of `buttons`. The button
/// width is the 50-unit minimum or the widest cached caption of the set,
/// measuring (through `cache`) the kinds not measured before. Dialog units
/// round to the nearest pixel, halves away from zero.
TMessageLayout
LayoutMessageDialog(const TMessageMeasures& measures, TMsgDlgType type, TMsgDlgButtons buttons,
                    TButtonWidthCache& cache,
                    const std::function<std::int32_t(std::string_view)>& captionWidth);

/// The button Enter clicks when no button has the focus: OK, else yes, else
/// retry. The kind may be missing from the set; then no button is the default.
TMsgDlgBtn DefaultButton(TMsgDlgButtons buttons);

/// The button Escape clicks: cancel, else no, else OK (possibly not in the set).
TMsgDlgBtn CancelButton(TMsgDlgButtons buttons);

/// What Ctrl+C puts on the clipboard: the caption, the message and the
/// buttons' captions (each followed by three spaces, "&" removed) between
/// 27-dash dividers, every line ending in CR LF.
std::string MessageClipboardText(std::string_view caption, std::string_view message,
                                 TMsgDlgButtons buttons);

/// The error display's text for an exception's message: "." appended when
/// the last character sorts after "." by its first byte; an empty message
/// stays empty. The message is UTF-8; a file name in it may be any bytes.
std::string ErrorDisplayText(std::string message);

} // namespace virevi
