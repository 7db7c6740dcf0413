#include "soak_checks.h"

#include <QFile>
#include <QLabel>

#include <cstdint>
#include <set>
#include <sstream>
#include <vector>

#include "app/main_state.h"
#include "app/qt/main_window.h"
#include "document/document.h"
#include "document/item_record.h"
#include "editor/qt/memo.h"
#include "files/string_list.h"
#include "outline/outline_node.h"
#include "outline/qt/outline.h"
#include "runtime/messages.h"

namespace virevi::test {
namespace {

std::string Quoted(const TStringList& lines) {
    std::string quoted = "{";
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        quoted += (i == 0 ? "\"" : ", \"") + std::string(lines[i]) + "\"";
    }
    return quoted + "}";
}

class TCheck {
public:
    TCheck(TMain& main, bool labelShown)
        : Main_(main), Tree_(*main.olTree), LabelShown_(labelShown) {}

    std::string Run() {
        Items();
        if (Problems_.tellp() == 0) {
            // The rest reads items by position, which needs sound numbering.
            Rows();
            Selection();
            Records();
            Editor();
            Title();
        }
        return Problems_.str();
    }

private:
    std::ostream& Problem() { return Problems_; }

    // Walks the tree in outline order: positions 1 … TotalItems, levels and
    // parents as the walk finds them.
    void Items() {
        Position_ = 0;
        Walk(Tree_.RootItem(), 0);
        if (Position_ != Tree_.TotalItems()) {
            Problem() << "walk found " << Position_ << " items, TotalItems " << Tree_.TotalItems()
                      << "\n";
        }
        if (Tree_.TotalItems() == 0) {
            Problem() << "no item left\n";
        }
    }

    void Walk(TOutlineNode* node, std::int32_t level) {
        if (node->HasChildren() != (node->ChildCount() > 0)) {
            Problem() << "item " << Position_ << " HasChildren disagrees with ChildCount\n";
        }
        for (std::int32_t place = 0; place < node->ChildCount(); ++place) {
            TOutlineNode* child = node->Child(place);
            const std::int32_t position = ++Position_;
            if (child->Parent() != node) {
                Problem() << "item " << position << " names another parent\n";
            }
            if (child->Level() != level + 1) {
                Problem() << "item " << position << " level " << child->Level() << ", depth "
                          << level + 1 << "\n";
            }
            if (child->Index() != position) {
                Problem() << "item " << position << " says it is " << child->Index() << "\n";
            }
            if (position <= Tree_.TotalItems() && Tree_.ItemAt(position) != child) {
                Problem() << "ItemAt(" << position << ") is not the item walked to\n";
            }
            Walk(child, level + 1);
            if (child->LastIndexInSubtree() != Position_) {
                Problem() << "item " << position << " subtree ends at "
                          << child->LastIndexInSubtree() << ", walk at " << Position_ << "\n";
            }
        }
    }

    // The shown items are those whose ancestors are all expanded; they take
    // the rows 0, 1, 2 … in outline order.
    void Rows() {
        std::int32_t row = 0;
        ShownRows(Tree_.RootItem(), row);
        if (Tree_.RootItem()->ShownCount() != row || Tree_.RowCount() != row) {
            Problem() << "rows counted " << row << ", root ShownCount "
                      << Tree_.RootItem()->ShownCount() << ", RowCount " << Tree_.RowCount()
                      << "\n";
        }
        if (Tree_.TopRow() < 0 || Tree_.TopRow() > Tree_.LargestTopRow() ||
            (row > 0 && Tree_.TopRow() >= row)) {
            Problem() << "top row " << Tree_.TopRow() << " outside 0 … " << Tree_.LargestTopRow()
                      << " of " << row << " rows\n";
        }
    }

    // Returns the rows below `node` that its expanded subtree shows.
    void ShownRows(TOutlineNode* node, std::int32_t& row) {
        const std::int32_t first = row;
        for (std::int32_t place = 0; place < node->ChildCount(); ++place) {
            TOutlineNode* child = node->Child(place);
            if (Tree_.RowOf(child) != row || Tree_.ItemOnRow(row) != child) {
                Problem() << "item " << child->Index() << " expected on row " << row
                          << ", RowOf says " << Tree_.RowOf(child) << "\n";
            }
            ++row;
            Shown_.insert(child);
            if (child->Expanded()) {
                ShownRows(child, row);
            }
        }
        if (node->Expanded() && node->ShownCount() != row - first) {
            Problem() << "item " << node->Index() << " ShownCount " << node->ShownCount()
                      << ", rows under it " << row - first << "\n";
        }
    }

    void Selection() {
        const std::int32_t selected = Tree_.SelectedIndex();
        if (selected < 1 || selected > Tree_.TotalItems()) {
            Problem() << "selection " << selected << " outside 1 … " << Tree_.TotalItems() << "\n";
            return;
        }
        TOutlineNode* item = Tree_.ItemAt(selected);
        if (Shown_.count(item) == 0) {
            Problem() << "selected item " << selected << " is not shown\n";
            return;
        }
        if (Tree_.Row() != Tree_.RowOf(item)) {
            Problem() << "current row " << Tree_.Row() << ", selected item's row "
                      << Tree_.RowOf(item) << "\n";
        }
    }

    void Records() {
        const TDocument& document = Main_.Document();
        const auto poolLines = static_cast<std::int64_t>(document.NotePool.Count());
        std::set<const ItemRecord*> seen;
        for (std::int32_t i = 1; i <= Tree_.TotalItems(); ++i) {
            TOutlineNode* item = Tree_.ItemAt(i);
            const ItemRecord* record = TDocument::RecordOf(item);
            if (record == nullptr) {
                Problem() << "item " << i << " has no record\n";
                continue;
            }
            if (!seen.insert(record).second) {
                Problem() << "item " << i << " shares its record\n";
            }
            if (record->Start < 0 || record->Count < 0 ||
                std::int64_t{record->Start} + record->Count > poolLines) {
                Problem() << "item " << i << " record " << record->Start << "+" << record->Count
                          << " outside the pool of " << poolLines << "\n";
                continue;
            }
            const std::string caption(item->Text());
            const std::string first =
                record->Count > 0 ? std::string(document.NotePool[record->Start]) : std::string();
            if (StorableCaption(caption) != StorableCaption(first)) {
                Problem() << "item " << i << " caption \"" << caption << "\", note begins \""
                          << first << "\"\n";
            }
        }
        if (document.RecordsInUse() != static_cast<std::size_t>(Tree_.TotalItems())) {
            Problem() << document.RecordsInUse() << " records in use for " << Tree_.TotalItems()
                      << " items\n";
        }
    }

    // An editor that holds no change shows the selected item's note.
    void Editor() {
        if (Main_.moNote->Modified()) {
            return;
        }
        const ItemRecord* record = TDocument::RecordOf(Tree_.ItemAt(Tree_.SelectedIndex()));
        if (record == nullptr) {
            return;
        }
        TStringList note;
        note.AddRange(Main_.Document().NotePool, record->Start, record->Count);
        TStringList shown;
        HardLines(*Main_.moNote, shown);
        bool same = note.Count() == shown.Count();
        for (std::size_t line = 0; same && line < note.Count(); ++line) {
            same = note[line] == shown[line];
        }
        if (!same) {
            Problem() << "unmodified editor holds " << Quoted(shown) << ", item "
                      << Tree_.SelectedIndex() << "'s note is " << Quoted(note) << "\n";
        }
    }

    void Title() {
        const TDocument& document = Main_.Document();
        const std::string title = QFile::encodeName(Main_.windowTitle()).toStdString();
        if (title != document.Caption()) {
            Problem() << "title \"" << title << "\", caption \"" << document.Caption() << "\"\n";
        }
        // Empty until a command first shows the position; from then on it
        // follows the selection and every unsaved change.
        const std::string label = Main_.lbIndex->text().toStdString();
        if (!LabelShown_ && label.empty()) {
            return;
        }
        const std::string expected = PositionText(Tree_.SelectedIndex(), Tree_.TotalItems(),
                                                  document.DocModified || Main_.moNote->Modified());
        if (label != expected) {
            Problem() << "label \"" << label << "\", position \"" << expected << "\"\n";
        }
    }

    TMain& Main_;
    TOutline& Tree_;
    bool LabelShown_;
    std::ostringstream Problems_;
    std::int32_t Position_ = 0;
    std::set<const TOutlineNode*> Shown_;
};

} // namespace

std::string StorableCaption(std::string_view caption) {
    std::string storable;
    for (const char byte : caption) {
        const bool blank = byte == ' ' || byte == '\t';
        if (byte != '\r' && byte != '\x1a' && (!storable.empty() || !blank)) {
            storable.push_back(byte);
        }
    }
    return storable;
}

void HardLines(TMemo& editor, TStringList& lines) {
    // With word wrap on, the editor's lines are the wrapped ones on screen.
    const bool wrap = editor.WordWrap();
    editor.SetWordWrap(false);
    editor.AppendTo(lines);
    editor.SetWordWrap(wrap);
}

std::string CheckWindow(TMain& main, bool labelShown) {
    return TCheck(main, labelShown).Run();
}

} // namespace virevi::test
