#pragma once
// The main window's commands as the menu and the tool bar offer them: captions,
// short-cut keys, button places and hints, and the command each one runs.
#include <cstdint>
#include <span>
#include <string>

namespace virevi {

enum class TCommand : std::uint8_t {
    None, // a separator, or a button that does nothing
    New,
    Open,
    Save,
    SaveAs,
    Print,
    AddText,
    Exit,
    InsNode,
    AddNode,
    Del,
    Cut,
    Copy,
    Paste,
    Split,
    PrevNode,
    NextNode,
    LevelDown,
    LevelUp,
    About,
    Find,
    FindNext,
};

/// Virtual key codes: a letter key is its capital letter.
inline constexpr std::uint16_t vkPrior = 0x21;
inline constexpr std::uint16_t vkNext = 0x22;
inline constexpr std::uint16_t vkDelete = 0x2E;
inline constexpr std::uint16_t vkF3 = 0x72;

struct TShortCut {
    std::uint16_t Key = 0; ///< 0: none
    bool Ctrl = false;
    friend bool operator==(const TShortCut&, const TShortCut&) = default;
};

/// The text a menu item shows after a tab: "Ctrl+" for the control key, then
/// the letter, "Del", "PgUp", "PgDn" or "F3"; empty for no short-cut.
std::string ShortCutText(TShortCut shortCut);

struct TMenuItemInfo {
    const char* Name;
    const char* Caption; ///< "-" draws a separator line
    TShortCut ShortCut;
    TCommand Command;
    bool IsSeparator() const { return Caption[0] == '-' && Caption[1] == '\0'; }
};

struct TMenuInfo {
    const char* Name;
    const char* Caption;
    std::span<const TMenuItemInfo> Items;
};

struct TToolButtonInfo {
    const char* Name; ///< also the name of its picture
    std::int32_t Left;
    std::int32_t Width;
    const char* Hint;
    TCommand Command;
};

/// The menus of `dlMainMenu`, left to right.
std::span<const TMenuInfo> MainMenu();
/// The tool bar's buttons, left to right; all sit at top 3 and are 25 high.
std::span<const TToolButtonInfo> ToolButtons();

inline constexpr std::int32_t ToolButtonTop = 3;
inline constexpr std::int32_t ToolButtonHeight = 25;

} // namespace virevi
