// The commands without a window: the core's command table over a real
// outline, the in-memory editor and scripted answers, with the window's own
// steps recorded.
#include "app/main_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_menu.h"
#include "app/prompts.h"
#include "dialogs/message_layout.h"
#include "document/document.h"
#include "editor/fake_memo_lines.h"
#include "outline/custom_outline.h"
#include "outline/outline_node.h"

namespace virevi {
namespace {

class TRecordingWindow : public TMainCommands, public TMainPrompts {
public:
    TRecordingWindow() { FormCreate(); }
    ~TRecordingWindow() override { FormDestroy(); }

    TDocument& Document() override { return Doc; }

    std::vector<std::string> Steps;
    std::string Label;
    TCustomOutline Outline;
    test::TFakeMemoLines Memo;
    TDocument Doc{Outline.Tree(), Memo};

protected:
    TOutlineTree& Tree() override { return Outline.Tree(); }
    TMemoLines& Editor() override { return Memo; }
    TMainPrompts& Prompts() override { return *this; }
    void SetPositionText(const std::string& text) override { Label = text; }
    bool PositionShown() const override { return !Label.empty(); }
    bool EditorPainting() const override { return true; }
    void SetEditorPainting(bool) override {}
    void CloseWindow() override { Steps.push_back("close"); }
    void PrintEditor() override { Steps.push_back("print"); }
    void ShowAboutBox() override { Steps.push_back("about"); }
    void OpenFindDialog(const std::string&, bool) override { Steps.push_back("find"); }
    void ShowNotFound(const std::string& text) override { Steps.push_back("not found " + text); }
    void MatchShown() override {}

    int AskSave() override { return Steps.push_back("save?"), mrCancel; }
    bool ChooseOpenFile(std::string_view, std::string&) override {
        return Steps.push_back("open"), false;
    }
    bool ChooseSaveFile(std::string_view, std::string&) override {
        return Steps.push_back("save as"), false;
    }
    void Beep() override { Steps.push_back("beep"); }
};

// Each command of the menu reaches its handler through the one table, with
// no window around it.
TEST(MainCommandsTest, EveryCommandRunsItsHandlerWithoutAWindow) {
    TRecordingWindow window;
    const auto shape = [&window] {
        std::string shape;
        for (std::int32_t i = 1; i <= window.Outline.TotalItems(); ++i) {
            TOutlineNode* item = window.Outline.ItemAt(i);
            shape += std::to_string(item->Level());
        }
        return shape;
    };
    const struct {
        TCommand Command;
        const char* Shape;
        const char* Step; // what the window or the user was asked, if anything
    } cases[] = {
        {TCommand::AddNode, "11", ""},        {TCommand::AddNode, "111", ""},
        {TCommand::LevelDown, "112", ""},     {TCommand::LevelUp, "112", "beep"},
        {TCommand::PrevNode, "112", ""},      {TCommand::InsNode, "1112", ""},
        {TCommand::Del, "112", ""},           {TCommand::NextNode, "112", ""},
        {TCommand::Print, "112", "print"},    {TCommand::About, "112", "about"},
        {TCommand::Find, "112", "find"},      {TCommand::Open, "112", "save?"},
        {TCommand::SaveAs, "112", "save as"}, {TCommand::AddText, "112", "open"},
        {TCommand::Exit, "112", "close"},     {TCommand::None, "112", ""},
    };
    for (const auto& c : cases) {
        window.Steps.clear();
        window.Run(c.Command);
        EXPECT_EQ(shape(), c.Shape) << static_cast<int>(c.Command);
        EXPECT_EQ(window.Steps, (c.Step[0] == '\0' ? std::vector<std::string>{}
                                                   : std::vector<std::string>{c.Step}))
            << static_cast<int>(c.Command);
    }
    EXPECT_EQ(window.Label, "2 / 3*");
}

} // namespace
} // namespace virevi
