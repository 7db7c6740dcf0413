// Saving, opening and appending, each followed by what must hold: a save
// reads back as the document saved, an open shows the document as it was
// saved, and a refused open changes nothing.
#include "soak.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

#include "app/window_state.h"
#include "document/base_path.h"
#include "document/document.h"
#include "document/item_record.h"
#include "editor/qt/memo.h"
#include "files/string_list.h"
#include "outline/outline_node.h"
#include "outline/qt/outline.h"
#include "runtime/messages.h"
#include "soak_checks.h"

namespace virevi::test {
namespace {

std::vector<std::string> LinesOf(const TStringList& list) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        lines.emplace_back(list[i]);
    }
    return lines;
}

} // namespace

TDocumentImage ImageOf(TMain& main) {
    TDocumentImage image;
    TOutline& tree = *main.olTree;
    const std::int32_t selected = tree.SelectedIndex();
    for (std::int32_t i = 1; i <= tree.TotalItems(); ++i) {
        TOutlineNode* item = tree.ItemAt(i);
        std::string caption(item->Text());
        TStringList note;
        if (i == selected && main.moNote->Modified()) {
            HardLines(*main.moNote, note);
            caption = note.Count() > 0 ? std::string(note[0]) : std::string();
        } else if (const ItemRecord* record = TDocument::RecordOf(item)) {
            note.AddRange(main.Document().NotePool, record->Start, record->Count);
        }
        image.Items.push_back(std::to_string(item->Level()) + " " + StorableCaption(caption));
        image.Notes.push_back(LinesOf(note));
    }
    return image;
}

std::string Describe(const TDocumentImage& image) {
    std::ostringstream out;
    for (std::size_t i = 0; i < image.Items.size(); ++i) {
        out << "[" << image.Items[i] << "]" << testing::PrintToString(image.Notes[i]) << " ";
    }
    return out.str();
}

// New and Open: the save prompt, perhaps a save, then the new document.
void TSoak::FileCommand(TKind kind) {
    TDocument& document = Main_.Document();
    const bool modified = document.DocModified || Main_.moNote->Modified();
    const TDocumentImage before = ImageOf(Main_);
    const std::string caption = document.Caption();
    static const int answers[] = {mrYes, mrNo, mrCancel};
    Prompts_.SaveAnswer = answers[Below(3)];
    Prompts_.SavePath = OneIn(4) ? std::string() : Pick(Names_) + ".Trr";
    std::string openBase;
    if (kind == TKind::Open) {
        if (!Saved_.empty() && !OneIn(8)) {
            auto it = Saved_.begin();
            std::advance(it, Below(static_cast<int>(Saved_.size())));
            openBase = it->first;
        }
        Prompts_.OpenPath = openBase.empty() ? std::string() : openBase + ".Trr";
    }
    Current_ << " answer " << Prompts_.SaveAnswer << " save to \"" << Prompts_.SavePath
             << "\" open \"" << Prompts_.OpenPath << "\"" << (modified ? " modified" : "");
    if (kind == TKind::New) {
        Command(&TMain::mnNewClick, "mnNew", Qt::ControlModifier | Qt::Key_N);
    } else {
        Command(&TMain::mnOpenClick, "mnOpen", Qt::ControlModifier | Qt::Key_O);
    }
    QCoreApplication::processEvents();
    // Which way the command went, as the person's answers decide.
    bool goesOn = !modified || Prompts_.SaveAnswer == mrNo;
    if (modified && Prompts_.SaveAnswer == mrYes) {
        const std::string savedTo = caption != msg::UntitledCaption ? caption
                                    : Prompts_.SavePath.empty()     ? std::string()
                                                                    : BasePathOf(Prompts_.SavePath);
        if (!savedTo.empty()) {
            Saved_[savedTo] = before;
            ReadBack(savedTo, before);
            goesOn = true;
        }
    }
    if (kind == TKind::New) {
        if (goesOn) {
            Expect(Main_.olTree->TotalItems() == 1 && !document.DocModified &&
                       document.Caption() == msg::UntitledCaption,
                   "New left no fresh document");
            LabelShown_ = true;
        }
        return;
    }
    if (goesOn && !openBase.empty()) {
        ++OpensCompared_;
        const TDocumentImage opened = ImageOf(Main_);
        Expect(opened == Saved_[openBase],
               "opened " + Describe(opened) + "\nsaved  " + Describe(Saved_[openBase]));
        Expect(!document.DocModified && document.Caption() == openBase && !Main_.moNote->Modified(),
               "Open left the document modified or under another name");
    }
}

void TSoak::Save(TKind kind) {
    TDocument& document = Main_.Document();
    const TDocumentImage before = ImageOf(Main_);
    const std::string caption = document.Caption();
    Prompts_.SavePath = OneIn(6) ? std::string() : Pick(Names_) + ".Trr";
    Current_ << " to \"" << Prompts_.SavePath << "\"";
    if (kind == TKind::Save) {
        Command(&TMain::mnSaveClick, "mnSave", Qt::ControlModifier | Qt::Key_S);
    } else {
        Command(&TMain::mnSaveAsClick, "mnSaveAs");
    }
    QCoreApplication::processEvents();
    const bool asked = kind == TKind::SaveAs || caption == msg::UntitledCaption;
    if (asked && Prompts_.SavePath.empty()) {
        Expect(document.Caption() == caption, "a cancelled save renamed the document");
        return;
    }
    const std::string base = asked ? BasePathOf(Prompts_.SavePath) : caption;
    Expect(!document.DocModified && document.Caption() == base,
           "Save left the document modified or under another name");
    Saved_[base] = before;
    ReadBack(base, before);
    LabelShown_ = true;
}

// The files just saved, opened in a window of their own.
void TSoak::ReadBack(const std::string& base, const TDocumentImage& saved) {
    ++SavesCompared_;
    try {
        Reader_.Document().LoadDocument(base);
    } catch (const std::exception& error) {
        Expect(false, "reading back " + base + " failed: " + error.what());
        return;
    }
    const TDocumentImage read = ImageOf(Reader_);
    Expect(read == saved, "read back " + Describe(read) + "\nsaved     " + Describe(saved));
}

void TSoak::AddText() {
    static const std::vector<std::string> texts = {
        "plain line\r\n",
        "one\r\ntwo\r\nthree\r\n",
        "no line end",
        "lf only\nsecond\n",
        // 表 and ソ end in the byte of a backslash; ｶﾅ is half-width kana.
        "\x95\x5c\x8e\xa6\r\n\x83\x5c\x83\x74\x83\x67\r\n\xb6\xc5\r\n",
        "\x93\xfa\x96\x7b\x8c\xea\r\n",
        "\r\n\r\n",
        "\tindented\r\n  spaced\r\n",
        // Bytes a text file may hold that the document files give meaning to.
        std::string("end\x1aof text\r\nnul\0inside\r\n", 25),
        "lone\rcarriage return\r\n",
        // A lead byte without its second byte, at a line end and at the end.
        "\x82\r\nlast\x93",
    };
    const std::string& text = Pick(texts);
    WriteFileBytes(Folder_.File("add.txt"), text);
    Prompts_.OpenPath = OneIn(10) ? std::string() : Folder_.File("add.txt");
    Current_ << " " << testing::PrintToString(text)
             << (Prompts_.OpenPath.empty() ? " cancelled" : "");
    Command(&TMain::mnAddClick, "mnAdd", Qt::ControlModifier | Qt::Key_A);
    QCoreApplication::processEvents();
    if (Prompts_.OpenPath.empty()) {
        return;
    }
    Expect(Main_.Document().DocModified && !Main_.moNote->Modified(),
           "Add text left its lines uncommitted");
    LabelShown_ = true;
}

// A document whose index points past its notes: refused, and nothing changes.
void TSoak::OpenBroken() {
    const std::string base = Folder_.File("broken");
    WriteFileBytes(base + ".Trr", "a\r\n\tb\r\n");
    WriteFileBytes(base + ".Txt", "a\r\n");
    WriteFileBytes(base + ".Bin", EncodeItemRecords({{0, 1}, {5, 9}}));
    // The outline taking the focus commits the note first; an outline
    // that has it already takes nothing.
    Main_.moNote->setFocus();
    Main_.olTree->setFocus();
    const TWindowState before = WindowState(Main_);
    const std::size_t boxes = Boxes_.size();
    Prompts_.SaveAnswer = mrNo;
    Prompts_.OpenPath = base + ".Trr";
    Refusable_ = true;
    Guarded([this] { Main_.mnOpenClick(); });
    QCoreApplication::processEvents();
    Expect(Boxes_.size() == boxes + 1, "the broken document was not refused");
    ++Refusals_;
    // Open shows the position before it asks, which the state includes.
    TWindowState after = WindowState(Main_);
    after.Label = before.Label;
    Expect(after == before,
           "the refused open changed the window: " + testing::PrintToString(after) + "\nwas " +
               testing::PrintToString(before));
}

// A document written here rather than by the program, up to a few hundred
// items deep and wide: it opens as written.
void TSoak::OpenGenerated() {
    static const std::vector<std::string> words = {"item", "\x93\xfa\x96\x7b", "\x95\x5c", "a b",
                                                   "x\ty"};
    const int count = 1 + Below(300);
    std::string outline;
    std::string notes;
    std::vector<ItemRecord> records;
    TDocumentImage written;
    int level = 1;
    std::int32_t noteLines = 0;
    for (int i = 0; i < count; ++i) {
        level = i == 0 ? 1 : 1 + Below(std::min(level + 1, 12));
        const std::string caption = Pick(words) + std::to_string(i);
        std::vector<std::string> lines = {caption};
        for (int extra = Below(4); extra > 0; --extra) {
            lines.push_back(OneIn(3) ? std::string() : Pick(words));
        }
        records.push_back({noteLines, static_cast<std::int32_t>(lines.size())});
        noteLines += static_cast<std::int32_t>(lines.size());
        outline += std::string(static_cast<std::size_t>(level - 1), '\t') + caption + "\r\n";
        for (const std::string& line : lines) {
            notes += line + "\r\n";
        }
        written.Items.push_back(std::to_string(level) + " " + caption);
        written.Notes.push_back(lines);
    }
    const std::string base = Folder_.File("generated");
    WriteFileBytes(base + ".Trr", outline);
    WriteFileBytes(base + ".Txt", notes);
    WriteFileBytes(base + ".Bin", EncodeItemRecords(records));
    Current_ << " of " << count << " items";
    Prompts_.SaveAnswer = mrNo;
    Prompts_.OpenPath = base + ".Trr";
    Command(&TMain::mnOpenClick, "mnOpen", Qt::ControlModifier | Qt::Key_O);
    QCoreApplication::processEvents();
    ++OpensCompared_;
    const TDocumentImage opened = ImageOf(Main_);
    Expect(opened == written, "opened " + Describe(opened) + "\nwritten " + Describe(written));
    Expect(Main_.Document().Caption() == base && !Main_.Document().DocModified,
           "the generated document opened modified or under another name");
    Saved_[base] = written;
}

} // namespace virevi::test
