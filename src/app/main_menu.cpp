#include "app/main_menu.h"

#include "runtime/messages.h"

namespace virevi {

namespace {

constexpr const char* Separator = "-";

constexpr TShortCut Ctrl(char letter) {
    return {static_cast<std::uint16_t>(letter), true};
}

constexpr TMenuItemInfo FileItems[] = {
    {"mnNew", msg::MenuNew, Ctrl('N'), TCommand::New},
    {"mnOpen", msg::MenuOpen, Ctrl('O'), TCommand::Open},
    {"mnSave", msg::MenuSave, Ctrl('S'), TCommand::Save},
    {"mnSaveAs", msg::MenuSaveAs, {}, TCommand::SaveAs},
    {"N1", Separator, {}, TCommand::None},
    {"mnuPrint", msg::MenuPrint, {}, TCommand::Print},
    {"mnKei1", Separator, {}, TCommand::None},
    {"mnAdd", msg::MenuAddText, Ctrl('A'), TCommand::AddText},
    {"mnKei2", Separator, {}, TCommand::None},
    {"mnExit", msg::MenuExit, {}, TCommand::Exit},
};

constexpr TMenuItemInfo EditItems[] = {
    {"mnInsNode", msg::MenuInsNode, {}, TCommand::InsNode},
    {"mnAddNode", msg::MenuAddNode, {}, TCommand::AddNode},
    {"mnDel", msg::MenuDelete, {vkDelete, true}, TCommand::Del},
    {"mnKey3", Separator, {}, TCommand::None},
    {"mnCut", msg::MenuCut, Ctrl('X'), TCommand::Cut},
    {"mnCopy", msg::MenuCopy, Ctrl('C'), TCommand::Copy},
    {"mnPaste", msg::MenuPaste, Ctrl('V'), TCommand::Paste},
    {"mnKey4", Separator, {}, TCommand::None},
    {"mnSplit", msg::MenuSplit, {}, TCommand::Split},
    {"mnKey6", Separator, {}, TCommand::None},
    {"mnFind", msg::MenuFind, Ctrl('F'), TCommand::Find},
    {"mnFindNext", msg::MenuFindNext, {vkF3, false}, TCommand::FindNext},
};

constexpr TMenuItemInfo ShowItems[] = {
    {"mnPrevNote", msg::MenuPrevNote, {vkPrior, false}, TCommand::PrevNode},
    {"mnNextNote", msg::MenuNextNote, {vkNext, false}, TCommand::NextNode},
    {"mnKey5", Separator, {}, TCommand::None},
    {"mnLevelDown", msg::MenuLevelDown, {}, TCommand::LevelDown},
    {"mnLevelUp", msg::MenuLevelUp, {}, TCommand::LevelUp},
};

constexpr TMenuItemInfo HelpItems[] = {
    {"About1", msg::MenuAbout, {}, TCommand::About},
};

constexpr TMenuInfo Menus[] = {
    {"mmFile", msg::MenuFile, FileItems},
    {"mmEdit", msg::MenuEdit, EditItems},
    {"mmShow", msg::MenuShow, ShowItems},
    {"mmHelp", msg::MenuHelp, HelpItems},
};

constexpr TToolButtonInfo Buttons[] = {
    {"spNew", 8, 25, msg::HintNew, TCommand::New},
    {"spOpen", 32, 25, msg::HintOpen, TCommand::Open},
    {"spSave", 56, 25, msg::HintSave, TCommand::Save},
    {"spInsNode", 96, 25, msg::HintInsNode, TCommand::InsNode},
    {"spAddNode", 120, 27, msg::HintAddNode, TCommand::AddNode},
    {"spCut", 160, 24, msg::HintCut, TCommand::Cut},
    {"spCopy", 184, 25, msg::HintCopy, TCommand::Copy},
    {"spPaste", 208, 25, msg::HintPaste, TCommand::Paste},
    {"spSplit", 248, 25, msg::HintSplit, TCommand::Split},
    {"spLevelUp", 288, 25, msg::HintLevelUp, TCommand::LevelUp},
    {"spLevelDown", 312, 25, msg::HintLevelDown, TCommand::LevelDown},
    {"spPrevNode", 336, 27, msg::HintPrevNode, TCommand::PrevNode},
    {"spNextNode", 360, 25, msg::HintNextNode, TCommand::NextNode},
    {"spHelp", 560, 24, msg::HintHelp, TCommand::None},
    {"spExit", 584, 25, msg::HintExit, TCommand::Exit},
};

} // namespace

std::string ShortCutText(TShortCut shortCut) {
    std::string name;
    switch (shortCut.Key) {
    case 0:
        return {};
    case vkDelete:
        name = msg::KeyNameDelete;
        break;
    case vkPrior:
        name = msg::KeyNamePageUp;
        break;
    case vkNext:
        name = msg::KeyNamePageDown;
        break;
    case vkF3:
        name = msg::KeyNameF3;
        break;
    default:
        name = std::string(1, static_cast<char>(shortCut.Key));
        break;
    }
    return shortCut.Ctrl ? msg::ShortCutPrefix + name : name;
}

std::span<const TMenuInfo> MainMenu() {
    return Menus;
}

std::span<const TToolButtonInfo> ToolButtons() {
    return Buttons;
}

} // namespace virevi
