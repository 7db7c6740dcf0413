#pragma once
// What the main window's commands ask of the person at the keyboard: the save
// prompt, the names of files to open and save, and the beep of a refusal.
// The window asks through the real dialogs; tests script the answers.
#include <string>
#include <string_view>

namespace virevi {

class TMainPrompts {
public:
    virtual ~TMainPrompts() = default;

    /// The save prompt; mrYes, mrNo or mrCancel (also for the close box).
    virtual int AskSave() = 0;
    /// The open-file dialog `dlOpen` with `filter` ("description|pattern");
    /// false when cancelled. `fileName` gets the path's bytes.
    virtual bool ChooseOpenFile(std::string_view filter, std::string& fileName) = 0;
    /// The save-file dialog `dlSave`, likewise.
    virtual bool ChooseSaveFile(std::string_view filter, std::string& fileName) = 0;
    /// The signal of a refusal; nothing is shown.
    virtual void Beep() = 0;
};

} // namespace virevi
