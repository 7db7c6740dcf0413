#pragma once
// A long run of random user actions through the whole main window, checked
// after each one. The actions live in soak.cpp (the loop and the commands),
// soak_files.cpp (saving, opening, appending) and soak_input.cpp (mouse,
// keys, typing).
#include <QKeyCombination>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/qt/main_prompts.h"
#include "app/qt/main_window.h"
#include "dialogs/message_layout.h"
#include "dialogs/qt/error_display.h"
#include "support/temp_folder.h"

class QString;
class QWidget;

namespace virevi::test {

// The person at the keyboard: each answer is set by the action about to run.
class TSoakPrompts : public TMainPrompts {
public:
    std::string OpenPath; ///< empty: the dialog is cancelled
    std::string SavePath;
    int SaveAnswer = mrNo;
    int Beeps = 0;
    int SaveAsked = 0;

    int AskSave() override {
        ++SaveAsked;
        return SaveAnswer;
    }
    bool ChooseOpenFile(std::string_view, std::string& fileName) override {
        fileName = OpenPath;
        return !OpenPath.empty();
    }
    bool ChooseSaveFile(std::string_view, std::string& fileName) override {
        fileName = SavePath;
        return !SavePath.empty();
    }
    void Beep() override { ++Beeps; }
};

enum class TKind : std::uint8_t {
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
    New,
    Open,
    Save,
    SaveAs,
    AddText,
    OpenBroken,
    OpenGenerated,
    ClickRow,
    DoubleClickRow,
    ClickBelowRows,
    OutlineKey,
    WheelOutline,
    WheelEditor,
    TypeAscii,
    TypeJapanese,
    TypeByInputMethod,
    EditorKey,
    ClearNote,
    ClipboardFromOutside,
    FocusOutline,
    FocusEditor,
    ClickEditor,
    ExpandByApi,
    CollapseByApi,
    Resize,
    Count,
};

// The document as a save now would write it: the editor's change counts as
// committed into the selected item. Captions in their stored form.
struct TDocumentImage {
    std::vector<std::string> Items; ///< level, a space, the caption
    std::vector<std::vector<std::string>> Notes;
    bool operator==(const TDocumentImage&) const = default;
};

TDocumentImage ImageOf(TMain& main);
std::string Describe(const TDocumentImage& image);

class TSoak {
public:
    TSoak(std::uint64_t actions, std::uint64_t seed);
    ~TSoak();
    TSoak(const TSoak&) = delete;
    TSoak& operator=(const TSoak&) = delete;

    /// Runs the actions; the first inconsistency fails the test and ends the run.
    void Run();

private:
    // --- the loop (soak.cpp) ----------------------------------------------
    bool Step();
    TKind Choose();
    int Below(int bound) { return static_cast<int>(Random_() % static_cast<unsigned>(bound)); }
    bool OneIn(int n) { return Below(n) == 0; }
    template <typename T> const T& Pick(const std::vector<T>& from) {
        return from[static_cast<std::size_t>(Below(static_cast<int>(from.size())))];
    }
    void Expect(bool holds, const std::string& what);
    void Guarded(const std::function<void()>& command);
    void Command(void (TMainCommands::*handler)(), const char* menuItem, QKeyCombination key = {});
    QWidget* FocusWidget();
    void FocusOn(QWidget* widget);
    void Act(TKind kind);

    // --- files (soak_files.cpp) -------------------------------------------
    void FileCommand(TKind kind);
    void Save(TKind kind);
    void ReadBack(const std::string& base, const TDocumentImage& saved);
    void AddText();
    void OpenBroken();
    void OpenGenerated();

    // --- mouse, keys and typing (soak_input.cpp) --------------------------
    void ClickRow(bool twice);
    void OutlineKey();
    void Wheel(QWidget* target);
    void TypeAscii();
    void TypeText(const QString& text);
    void TypeJapanese();
    void TypeByInputMethod();
    void EditorKey();
    void ExpandByApi(bool expand);

    TMain Main_;
    TMain Reader_;
    TSoakPrompts Prompts_;
    TTempFolder Folder_;
    std::vector<std::string> Names_;
    std::map<std::string, TDocumentImage> Saved_;
    std::uint64_t Actions_;
    std::uint64_t Seed_;
    std::mt19937_64 Random_;
    std::uint64_t Number_ = 0;
    std::vector<TErrorBox> Boxes_;
    TErrorBoxDisplay Replaced_;
    std::deque<std::string> History_;
    std::ostringstream Current_;
    std::ostringstream Problems_;
    bool LabelShown_ = false;
    bool Refusable_ = false;
    std::array<std::uint64_t, static_cast<std::size_t>(TKind::Count)> Counts_{};
    std::uint64_t SavesCompared_ = 0;
    std::uint64_t OpensCompared_ = 0;
    std::uint64_t Refusals_ = 0;
    std::int32_t MostItems_ = 0;
};

} // namespace virevi::test
