#pragma once
// The open document behind the main window: the note pool, the record that
// ties each outline item to its note, and the three files on disk.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "document/base_path.h"
#include "document/item_record.h"
#include "files/string_list.h"
#include "runtime/allocation.h"

namespace virevi {

class TOutlineTree;
class TOutlineNode;
class TMemoLines;

/// The application-wide cursors the document asks for.
inline constexpr std::int32_t crDefault = 0;
inline constexpr std::int32_t crHourGlass = -11;

class TDocument {
public:
    TDocument(TOutlineTree& outline, TMemoLines& editor);
    ~TDocument();
    TDocument(const TDocument&) = delete;
    TDocument& operator=(const TDocument&) = delete;

    /// Every line of every note, appended to by commits, rebuilt by CompactPool.
    TStringList NotePool;
    /// The document differs from its files.
    bool DocModified = false;

    /// The window caption: the base path, or "NewFile" when untitled.
    const std::string& Caption() const { return Caption_; }
    /// Stores the caption and hands it to OnCaption.
    void SetCaption(const std::string& caption);

    std::function<void(const std::string& caption)> OnCaption;
    /// The main window's position label refresh.
    std::function<void()> OnShowPosition;
    /// The application-wide cursor: crHourGlass while saving or loading,
    /// crDefault again on every way out.
    std::function<void(std::int32_t cursor)> OnCursor;

    /// The record of `item`; none when it has none (a missing record is an empty note).
    static ItemRecord* RecordOf(const TOutlineNode* item);

    /// Gives item `index` a new empty record starting at the pool's end and
    /// returns the item; the pointer it replaces is not released.
    TOutlineNode* AttachNewRecord(std::int32_t index);
    /// Writes the editor's lines at the pool's end for item `index` and sets
    /// its caption to line 0; nothing at all when the editor is not modified.
    /// A commit that fails (EOutOfMemory) leaves the pool and the item as they were.
    void CommitNote(std::int32_t index);
    /// Puts the selected item's note into the editor; an empty note sets the
    /// caption " ". Leaves both modified flags alone; nothing when empty.
    void LoadNote();
    /// Rebuilds the pool with the notes back to back in outline order. A
    /// record outside the pool, or notes that together (sharing lines, as
    /// only a crafted .Bin makes them) pass 2,147,483,647 lines, raise
    /// EStringListError and change nothing.
    void CompactPool();
    /// Releases every record, then clears the outline.
    void FreeItemRecords();
    /// Releases the records of item `index` and of all its descendants,
    /// ahead of deleting it.
    void ReleaseItemRecords(std::int32_t index);
    /// Records handed out and not released.
    std::size_t RecordsInUse() const { return Records_.InUse(); }

    /// Commits and compacts, then replaces the three files of `base` all
    /// together; on any failure they are left exactly as they were and so
    /// are the caption and DocModified.
    void SaveDocument(const std::string& base);
    /// Reads and checks all three files of `base` first, then replaces the
    /// outline, pool, records, caption and note in one step, leaving the
    /// editor with the first note (empty without items) and not modified;
    /// on any failure the open document is left exactly as it was. Memory
    /// that runs out raises EOutOfMemory, as in SaveDocument and CompactPool.
    void LoadDocument(const std::string& base);

private:
    void Commit(std::int32_t index);
    void ShowSelectedNote();
    void Save(const std::string& base);
    void Load(const std::string& base);
    // CompactPool, handing back every item's record in outline order (each
    // item has one afterwards).
    TVector<ItemRecord*> CompactPoolInOrder();

    TOutlineTree& Outline_;
    TMemoLines& Editor_;
    TRecordStore Records_;
    // The note last shown whole, while neither the pool nor the editor's
    // text has changed since: showing it again need not rebuild the text.
    struct TShownNote {
        const TOutlineNode* Item = nullptr;
        ItemRecord Note;
        std::uint64_t PoolChanges = 0;
        std::uint64_t EditorRevision = 0;
    };
    TShownNote Shown_;
    std::string Caption_;
    bool Replacing_ = false; // a load is putting in its outline: no note to load yet
};

} // namespace virevi
