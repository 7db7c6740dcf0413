#pragma once
// What a user can see of the open document: the outline, every note, the
// editor, the title, the position label, the selection and the modified mark.
// A command that fails must leave all of it as it was.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "app/qt/main_window.h"
#include "document/document.h"
#include "document/item_record.h"
#include "editor/qt/memo.h"
#include "files/string_list.h"
#include "outline/outline_node.h"
#include "outline/qt/outline.h"

namespace virevi::test {

struct TWindowState {
    std::string Shape; ///< each item's level as dashes, then its caption
    std::vector<std::string> Notes;
    std::vector<std::string> Editor;
    std::string Title;
    std::string Label;
    std::int32_t Selected = 0;
    bool Modified = false;
    bool operator==(const TWindowState&) const = default;
};

inline void PrintTo(const TWindowState& s, std::ostream* os) {
    *os << "shape \"" << s.Shape << "\" notes " << testing::PrintToString(s.Notes) << " editor "
        << testing::PrintToString(s.Editor) << " title \"" << s.Title << "\" label \"" << s.Label
        << "\" selected " << s.Selected << (s.Modified ? " modified" : "");
}

inline TWindowState WindowState(TMain& main) {
    TWindowState state;
    for (std::int32_t i = 1; i <= main.olTree->TotalItems(); ++i) {
        TOutlineNode* item = main.olTree->ItemAt(i);
        state.Shape += std::string(item->Level() - 1, '-');
        state.Shape += item->Text();
        state.Shape += ' ';
        const ItemRecord* record = TDocument::RecordOf(item);
        TStringList note;
        note.AddRange(main.Document().NotePool, record->Start, record->Count);
        for (std::size_t line = 0; line < note.Count(); ++line) {
            state.Notes.emplace_back(note[line]);
        }
        state.Notes.emplace_back("|");
    }
    TStringList editor;
    main.moNote->AppendTo(editor);
    for (std::size_t line = 0; line < editor.Count(); ++line) {
        state.Editor.emplace_back(editor[line]);
    }
    state.Title = QFile::encodeName(main.windowTitle()).toStdString();
    state.Label = main.lbIndex->text().toStdString();
    state.Selected = main.olTree->SelectedIndex();
    state.Modified = main.Document().DocModified;
    return state;
}

} // namespace virevi::test
