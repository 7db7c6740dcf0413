#pragma once
// A document over a real outline and the in-memory editor, with helpers to
// type notes and read back what the document holds.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "editor/fake_memo_lines.h"
#include "outline/custom_outline.h"
#include "outline/outline_node.h"
#include "runtime/messages.h"

namespace virevi::test {

// Everything a user could tell about an open document.
struct TDocumentState {
    std::vector<std::string> Captions;
    std::vector<std::int32_t> Levels;
    std::vector<std::pair<std::int32_t, std::int32_t>> Records;
    std::vector<std::string> Pool;
    std::string Caption;
    bool DocModified;
    std::string EditorText;
    std::int32_t Selected;
    std::size_t RecordsInUse;
    bool operator==(const TDocumentState&) const = default;
};

/// Everything a user could tell about a document open with `outline` and `editor`.
inline TDocumentState StateOf(TCustomOutline& outline, TDocument& document,
                              TFakeMemoLines& editor) {
    TDocumentState state;
    for (std::int32_t i = 1; i <= outline.TotalItems(); ++i) {
        TOutlineNode* item = outline.ItemAt(i);
        state.Captions.emplace_back(item->Text());
        state.Levels.push_back(item->Level());
        const ItemRecord* record = TDocument::RecordOf(item);
        state.Records.emplace_back(record ? record->Start : -99, record ? record->Count : -99);
    }
    for (std::size_t i = 0; i < document.NotePool.Count(); ++i) {
        state.Pool.emplace_back(document.NotePool[i]);
    }
    state.Caption = document.Caption();
    state.DocModified = document.DocModified;
    state.EditorText = editor.Text();
    state.Selected = outline.SelectedIndex();
    state.RecordsInUse = document.RecordsInUse();
    return state;
}

class DocumentFixture : public testing::Test {
protected:
    DocumentFixture() {
        Document.OnCaption = [this](const std::string& caption) { Captions.push_back(caption); };
        Document.OnShowPosition = [this] { ++Positions; };
        Document.OnCursor = [this](std::int32_t cursor) { Cursors.push_back(cursor); };
    }

    /// The untitled one-item document the main window starts with.
    void InitDocument() { Document.AttachNewRecord(Outline.AddSibling(0, msg::NewItemCaption)); }

    /// Adds a last top-level item with a new empty record; returns its position.
    std::int32_t AddItem() {
        const std::int32_t index = Outline.AddSibling(0, msg::NewItemCaption);
        Document.AttachNewRecord(index);
        return index;
    }
    std::int32_t AddChild(std::int32_t parent) {
        const std::int32_t index = Outline.AppendChild(parent, msg::NewItemCaption);
        Document.AttachNewRecord(index);
        return index;
    }

    /// Replaces the editor's text as the user would, then commits it into `index`.
    void Write(std::int32_t index, std::string text) {
        Editor.SetText("");
        Editor.Type(text);
        Document.CommitNote(index);
    }

    ItemRecord Record(std::int32_t index) { return *TDocument::RecordOf(Outline.ItemAt(index)); }
    std::string Caption(std::int32_t index) { return std::string(Outline.ItemAt(index)->Text()); }

    /// The note of item `index` as the pool holds it.
    std::vector<std::string> Note(std::int32_t index) {
        const ItemRecord record = Record(index);
        std::vector<std::string> lines;
        for (std::int32_t k = 0; k < record.Count; ++k) {
            lines.emplace_back(Document.NotePool.Strings(record.Start + k));
        }
        return lines;
    }
    std::vector<std::string> Pool() {
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < Document.NotePool.Count(); ++i) {
            lines.emplace_back(Document.NotePool[i]);
        }
        return lines;
    }

    /// Everything a user could tell about the open document.
    TDocumentState State() { return StateOf(Outline, Document, Editor); }

    TCustomOutline Outline;
    TFakeMemoLines Editor;
    TDocument Document{Outline.Tree(), Editor};
    std::vector<std::string> Captions;
    std::vector<std::int32_t> Cursors;
    int Positions = 0;
};

using Lines = std::vector<std::string>;

} // namespace virevi::test
