#include "document/document.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <utility>

#include "document/atomic_save.h"
#include "editor/memo_lines.h"
#include "files/file_stream.h"
#include "files/file_system.h"
#include "files/record_file.h"
#include "outline/outline_file.h"
#include "outline/outline_node.h"
#include "outline/outline_tree.h"
#include "runtime/allocation.h"
#include "runtime/errors.h"
#include "runtime/format.h"
#include "runtime/messages.h"
#include "runtime/scope_guard.h"

namespace virevi {

namespace {
constexpr std::uint32_t RecordBytes = ItemRecordBytes;
// Records go to and from the .Bin file this many at a time rather than one
// system call per item.
constexpr std::size_t RecordsPerTransfer = 65536;

// Visits `top` when asked, then every item below it in outline order.
template <typename TVisit> void ForEachItem(TOutlineNode* top, bool includeTop, TVisit visit) {
    if (includeTop) {
        visit(top);
    }
    VisitDescendants(top, [&visit](TOutlineNode* item, std::size_t) { visit(item); });
}

// Moves `count` records many at a time: `transfer(offset)` reads or writes
// one run at that byte offset with the file's record size set to the run.
template <typename TTransfer>
void TransferRecords(TRecordFile& file, std::size_t count, TTransfer transfer) {
    for (std::size_t done = 0; done < count;) {
        const std::size_t step = std::min(RecordsPerTransfer, count - done);
        file.RecordSize = static_cast<std::uint32_t>(step * RecordBytes);
        transfer(done * RecordBytes);
        CheckIOResult();
        done += step;
    }
    file.RecordSize = RecordBytes;
}

// Reads the first `count` records of a .Bin file. The file is opened for
// reading and writing, as it always has been, so a read-only one is refused.
// So is anything but a regular file: a FIFO would wait for ever for its
// records, and a device would give records that no save wrote.
std::string ReadItemRecords(const std::string& fileName, std::size_t count) {
    TRecordFile file;
    BindRecordFile(file, fileName);
    OpenRecordFile(file, RecordBytes);
    CheckIOResult();
    if (!sys::IsStoredFile(file.Handle)) {
        throw EInOutError(InOutErrorMessage(io::AccessDenied), io::AccessDenied);
    }
    std::string bytes(count * RecordBytes, '\0');
    TransferRecords(file, count, [&](std::size_t done) { ReadRecord(file, bytes.data() + done); });
    CloseRecordFile(file);
    CheckIOResult();
    return bytes;
}

// The records a .Bin holds as its size tells, none when it is not a regular
// file (its load fails then, when it is opened).
std::size_t RecordsIn(const std::string& fileName) {
    struct stat info {};
    if (::stat(fileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return 0;
    }
    return static_cast<std::size_t>(info.st_size) / RecordBytes;
}

void WriteItemRecords(const std::string& fileName, const std::string& bytes) {
    TRecordFile file;
    BindRecordFile(file, fileName);
    CreateRecordFile(file, RecordBytes);
    CheckIOResult();
    TransferRecords(file, bytes.size() / RecordBytes,
                    [&](std::size_t done) { WriteRecord(file, bytes.data() + done); });
    CloseRecordFile(file);
    CheckIOResult();
}

// The failure of a step of the atomic save, shown as the failure of writing
// the target in place would be: a text file that cannot be created or written.
TAtomicSave::TFailure TextFileFailure(const std::string& target) {
    return [target](TSaveStep step, int) {
        if (step == TSaveStep::Flush || step == TSaveStep::FolderFlush) {
            throw EWriteError(msg::SWriteError);
        }
        throw EFCreateError(FormatS(msg::SFCreateError, target));
    };
}

// ... and a record file, whose errors carry the system's code.
TAtomicSave::TFailure RecordFileFailure(const std::string& target) {
    return [target](TSaveStep, int error) {
        const std::int32_t code = IOCodeOfErrno(error, target);
        throw EInOutError(InOutErrorMessage(code), code);
    };
}

// The most lines a .Bin's 32-bit starts can address.
constexpr std::int64_t MostLines = INT32_MAX;

// The first pool index that `record` claims and a pool of `lines` lacks;
// none when it lies inside. A negative count is reported as itself.
std::optional<std::int64_t> FirstIndexOutside(const ItemRecord& record, std::int64_t lines) {
    if (record.Start < 0) {
        return record.Start;
    }
    if (record.Count < 0) {
        return record.Count;
    }
    if (static_cast<std::int64_t>(record.Start) + record.Count > lines) {
        return std::max<std::int64_t>(record.Start, lines);
    }
    return std::nullopt;
}
} // namespace

namespace {

// The hourglass until the end of the scope.
auto WaitCursor(const std::function<void(std::int32_t cursor)>& onCursor) {
    if (onCursor) {
        onCursor(crHourGlass);
    }
    return TScopeGuard([&onCursor] {
        if (onCursor) {
            onCursor(crDefault);
        }
    });
}

} // namespace

TDocument::TDocument(TOutlineTree& outline, TMemoLines& editor)
    : Outline_(outline), Editor_(editor), Caption_(msg::UntitledCaption) {}

TDocument::~TDocument() = default;

void TDocument::SetCaption(const std::string& caption) {
    Caption_ = caption;
    if (OnCaption) {
        OnCaption(Caption_);
    }
}

ItemRecord* TDocument::RecordOf(const TOutlineNode* item) {
    return static_cast<ItemRecord*>(item->Data());
}

TOutlineNode* TDocument::AttachNewRecord(std::int32_t index) {
    TOutlineNode* item = Outline_.ItemAt(index);
    item->SetData(Records_.New(static_cast<std::int32_t>(NotePool.Count()), 0));
    return item;
}

void TDocument::CommitNote(std::int32_t index) {
    WithOutOfMemoryError([&] { Commit(index); });
}

void TDocument::Commit(std::int32_t index) {
    if (!Editor_.Modified()) {
        return;
    }
    TOutlineNode* item = Outline_.ItemAt(index);
    ItemRecord* record = RecordOf(item);
    ItemRecord* added = nullptr;
    if (record == nullptr) {
        record = added = Records_.New(0, 0);
    }
    // Hard lines, as typed, whatever the editor's width.
    Editor_.SetWordWrap(false);
    const std::size_t start = NotePool.Count();
    try {
        Editor_.AppendTo(NotePool);
        if (NotePool.Count() > static_cast<std::size_t>(MostLines)) {
            throw EStringListError(FormatD(msg::SListIndexError, MostLines));
        }
        // The caption last: it is the one change that cannot be taken back.
        item->SetText(Editor_.Line(0));
    } catch (...) {
        // A commit that fails, even halfway through the editor's lines,
        // leaves the pool and the item as they were.
        NotePool.Truncate(start);
        Records_.Release(added);
        Editor_.SetWordWrap(true);
        throw;
    }
    if (added != nullptr) {
        item->SetData(added);
    }
    record->Start = static_cast<std::int32_t>(start);
    record->Count = static_cast<std::int32_t>(NotePool.Count() - start);
    Editor_.SetWordWrap(true);
    // Marked before the editor lets go, so whoever watches the editor's
    // flag sees the work as unsaved all along.
    DocModified = true;
    Editor_.SetModified(false);
}

void TDocument::LoadNote() {
    WithOutOfMemoryError([&] { ShowSelectedNote(); });
}

void TDocument::ShowSelectedNote() {
    if (Replacing_ || Outline_.TotalItems() == 0) {
        return;
    }
    TOutlineNode* item = Outline_.ItemAt(Outline_.SelectedIndex());
    const ItemRecord* record = RecordOf(item);
    const ItemRecord note = record != nullptr ? *record : ItemRecord{0, 0};
    if (item == Shown_.Item && note.Start == Shown_.Note.Start && note.Count == Shown_.Note.Count &&
        NotePool.Changes() == Shown_.PoolChanges && Editor_.Revision() == Shown_.EditorRevision &&
        !Editor_.Modified()) {
        // The editor holds this very note as it was shown: the same lines of
        // the same pool, untouched since. Only the caret and the view go back
        // to where a fresh show leaves them. ExpandAll, opening item by item
        // above the selection, shows it again at every step.
        if (note.Count == 0) {
            item->SetText(msg::EmptyNoteCaption);
        }
        if (Editor_.WordWrap()) {
            Editor_.ToStart();
        } else {
            Editor_.SetWordWrap(true);
        }
        return;
    }
    Shown_.Item = nullptr;
    TStringList lines;
    Editor_.SetWordWrap(false);
    Editor_.Clear();
    if (note.Count == 0) {
        item->SetText(msg::EmptyNoteCaption);
    }
    try {
        lines.AddRange(NotePool, note.Start, note.Count);
    } catch (...) {
        Editor_.SetWordWrap(true);
        throw;
    }
    Editor_.Assign(lines);
    Editor_.SetWordWrap(true);
    Shown_ = {item, note, NotePool.Changes(), Editor_.Revision()};
}

void TDocument::CompactPool() {
    WithOutOfMemoryError([&] { CompactPoolInOrder(); });
}

TVector<ItemRecord*> TDocument::CompactPoolInOrder() {
    // One walk of the outline; the rest works on its records in order.
    TVector<ItemRecord*> records;
    TVector<TOutlineNode*> withoutRecord;
    records.reserve(static_cast<std::size_t>(Outline_.TotalItems()));
    ForEachItem(Outline_.RootItem(), false, [&](TOutlineNode* item) {
        ItemRecord* record = RecordOf(item);
        if (record == nullptr) {
            withoutRecord.push_back(item);
        }
        records.push_back(record);
    });

    // Every note is checked before anything changes, so a bad record leaves
    // the document as it was. The first index outside is reported, as
    // appending the notes one after another would. Notes that share lines
    // (only a crafted .Bin gives them) are each written out in full, so
    // their total is checked first against what a .Bin can address.
    const auto available = static_cast<std::int64_t>(NotePool.Count());
    std::int64_t total = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ItemRecord* record = records[i];
        if (record == nullptr || record->Count <= 0) {
            continue;
        }
        if (record->Start < 0) {
            throw EStringListError(FormatD(msg::SListIndexError, record->Start));
        }
        if (static_cast<std::int64_t>(record->Start) + record->Count > available) {
            throw EStringListError(
                FormatD(msg::SListIndexError, std::max<std::int64_t>(record->Start, available)));
        }
        total += record->Count;
        if (total > MostLines) {
            throw EStringListError(FormatD(msg::SListIndexError, static_cast<std::int64_t>(i)));
        }
    }

    // Items without a record get an empty one, taken before the pool
    // changes and attached once it has, so a failure leaves them without.
    ItemRecord* fresh = Records_.NewBlock(withoutRecord.size());
    try {
        for (std::size_t i = 0, k = 0; i < records.size(); ++i) {
            if (records[i] == nullptr) {
                records[i] = &fresh[k++];
            }
        }

        // The notes that already lie back to back from the start stay where
        // they are: after a load or an earlier save that is most of the
        // pool, often all of it. The others are moved up behind them within
        // the pool.
        std::size_t kept = 0;
        std::size_t keptLines = 0;
        for (; kept < records.size(); ++kept) {
            const ItemRecord& record = *records[kept];
            if (record.Count <= 0) {
                continue;
            }
            if (static_cast<std::size_t>(record.Start) != keptLines) {
                break;
            }
            keptLines += static_cast<std::size_t>(record.Count);
        }
        std::vector<TLineRun> runs;
        runs.reserve(records.size() - kept);
        for (std::size_t i = kept; i < records.size(); ++i) {
            const ItemRecord& record = *records[i];
            if (record.Count > 0) {
                runs.push_back(TLineRun{static_cast<std::size_t>(record.Start),
                                        static_cast<std::size_t>(record.Count)});
            }
        }
        NotePool.Rearrange(keptLines, runs);
    } catch (...) {
        for (std::size_t k = 0; k < withoutRecord.size(); ++k) {
            Records_.Release(&fresh[k]);
        }
        throw;
    }

    for (std::size_t k = 0; k < withoutRecord.size(); ++k) {
        withoutRecord[k]->SetData(&fresh[k]);
    }
    std::int32_t start = 0;
    for (ItemRecord* record : records) {
        record->Start = start;
        if (record->Count > 0) {
            start += record->Count;
        }
    }
    return records;
}

void TDocument::FreeItemRecords() {
    Records_.Clear();
    Outline_.ClearItems();
}

void TDocument::ReleaseItemRecords(std::int32_t index) {
    ForEachItem(Outline_.ItemAt(index), true, [&](TOutlineNode* item) {
        Records_.Release(RecordOf(item));
        item->SetData(nullptr);
    });
}

void TDocument::SaveDocument(const std::string& base) {
    const auto cursor = WaitCursor(OnCursor);
    WithOutOfMemoryError([&] { Save(base); });
}

void TDocument::Save(const std::string& base) {
    const std::size_t caret = Editor_.SelStart();
    if (Outline_.TotalItems() > 0) {
        CommitNote(Outline_.SelectedIndex());
    }
    // Committing switches word wrap off and on, which moves the caret.
    Editor_.SetSelStart(caret);
    std::vector<ItemRecord> records;
    {
        const TVector<ItemRecord*> inOrder = CompactPoolInOrder();
        records.reserve(inOrder.size());
        for (const ItemRecord* record : inOrder) {
            records.push_back(*record);
        }
    }
    const std::string index = EncodeItemRecords(records);

    const std::string outlineFile = base + msg::OutlineExtension;
    const std::string notesFile = base + msg::NotesExtension;
    const std::string indexFile = base + msg::IndexExtension;
    TAtomicSave save;
    const std::string outlineTemp = save.Add(outlineFile, TextFileFailure(outlineFile));
    const std::string notesTemp = save.Add(notesFile, TextFileFailure(notesFile));
    const std::string indexTemp = save.Add(indexFile, RecordFileFailure(indexFile));
    // The writers name the file they were given; the user chose the target.
    try {
        Outline_.SaveOutline(outlineTemp);
    } catch (const EFCreateError&) {
        throw EFCreateError(FormatS(msg::SFCreateError, outlineFile));
    }
    save.Finish(0);
    try {
        NotePool.SaveLines(notesTemp);
    } catch (const EFCreateError&) {
        throw EFCreateError(FormatS(msg::SFCreateError, notesFile));
    }
    save.Finish(1);
    WriteItemRecords(indexTemp, index);
    save.Finish(2);
    save.Commit();

    SetCaption(base);
    DocModified = false;
    if (OnShowPosition) {
        OnShowPosition();
    }
}

void TDocument::LoadDocument(const std::string& base) {
    const auto cursor = WaitCursor(OnCursor);
    WithOutOfMemoryError([&] { Load(base); });
}

void TDocument::Load(const std::string& base) {
    // Read into a tree of its own, so the open one stays as it is until
    // every file has been read and checked.
    TOutlineTree loaded;
    {
        TFileStream outline(base + msg::OutlineExtension, TFileMode::ReadExclusive);
        // An item without a record fails the load, so reading stops one
        // item past the .Bin's records: the outline's memory stays bounded
        // by the .Bin's size, however many lines the .Trr holds.
        loaded.LoadOutlineFrom(TOutlineItemLimit(
            [&outline](char* buffer, std::size_t count) { return outline.Read(buffer, count); },
            RecordsIn(base + msg::IndexExtension)));
    }
    const std::int32_t itemCount = loaded.TotalItems();
    TStringList pool;
    pool.LoadLines(base + msg::NotesExtension);
    const std::string index =
        ReadItemRecords(base + msg::IndexExtension, static_cast<std::size_t>(itemCount));
    const auto lines = static_cast<std::int64_t>(pool.Count());
    TRecordStore store;
    ItemRecord* records = store.NewBlock(static_cast<std::size_t>(itemCount));
    std::int64_t claimed = 0;
    for (std::int32_t i = 0; i < itemCount; ++i) {
        records[i] = DecodeItemRecord(index, static_cast<std::size_t>(i));
        if (const auto outside = FirstIndexOutside(records[i], lines)) {
            throw EStringListError(FormatD(msg::SListIndexError, *outside));
        }
        // Records may share lines; the next save writes every note on its
        // own, so they must all fit in the lines a .Bin can address.
        claimed += records[i].Count;
        if (claimed > MostLines) {
            throw EStringListError(FormatD(msg::SListIndexError, i));
        }
    }

    std::size_t i = 0;
    ForEachItem(loaded.RootItem(), false,
                [&](TOutlineNode* item) { item->SetData(&records[i++]); });

    // The first note goes into the editor as it is taken over; what it needs
    // is made ready here, so that nothing past the point of no return can
    // run out of memory.
    TStringList firstNote;
    if (itemCount > 0) {
        firstNote.AddRange(pool, records[0].Start, records[0].Count);
        if (records[0].Count == 0) {
            loaded.ItemAt(1)->SetText(msg::EmptyNoteCaption);
        }
    }
    std::string caption = base;

    // Everything is read and checked: from here on nothing fails.
    Replacing_ = true;
    {
        const TScopeGuard done([this] { Replacing_ = false; });
        Outline_.TakeItems(loaded);
    }
    Records_.Swap(store);
    NotePool.Swap(pool);
    Caption_.swap(caption);
    if (OnCaption) {
        OnCaption(Caption_);
    }
    DocModified = false;
    // The editor shows the loaded document's first note, or nothing, and
    // has no edits of the document that was open before.
    Editor_.SetWordWrap(false);
    Editor_.Clear();
    Editor_.Assign(firstNote);
    Editor_.SetWordWrap(true);
    Editor_.SetModified(false);
    if (OnShowPosition) {
        OnShowPosition();
    }
}

} // namespace virevi
