// Opening any three files: the document either becomes what they hold or
// stays exactly as it was; it never crashes.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "document/document.h"
#include "editor/memo_lines.h"
#include "files/string_list.h"
#include "outline/custom_outline.h"
#include "outline/outline_node.h"
#include "runtime/errors.h"
#include "support/list_memo_lines.h"

namespace {

using namespace virevi;

// The outline, records, pool and caption as one string.
std::string Snapshot(TCustomOutline& outline, TDocument& document,
                     const test::TListMemoLines& editor) {
    std::string state = document.Caption() + '|' + (document.DocModified ? "M" : "-");
    for (std::int32_t i = 1; i <= outline.TotalItems(); ++i) {
        TOutlineNode* item = outline.ItemAt(i);
        const ItemRecord* record = TDocument::RecordOf(item);
        state += '|' + std::to_string(item->Level()) + ':' + std::string(item->Text()) + ':' +
                 (record ? std::to_string(record->Start) + ',' + std::to_string(record->Count)
                         : std::string("none"));
    }
    for (std::size_t i = 0; i < document.NotePool.Count(); ++i) {
        state += '|' + std::string(document.NotePool[i]);
    }
    for (const std::string& line : editor.Lines) {
        state += "|e" + line;
    }
    return state;
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

const std::string& Base() {
    static const std::string base = [] {
        std::string folder =
            (std::filesystem::temp_directory_path() / "fuzz-load-document-XXXXXX").string();
        if (::mkdtemp(folder.data()) == nullptr) {
            std::abort();
        }
        return folder + "/doc";
    }();
    return base;
}

} // namespace

// The input is the three files one after another, separated by the two bytes
// "\xff\x00"; a missing part is a missing file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view separator("\xff\x00", 2);
    const char* extensions[] = {".Trr", ".Txt", ".Bin"};
    std::size_t from = 0;
    for (int part = 0; part < 3; ++part) {
        const std::string path = Base() + extensions[part];
        ::unlink(path.c_str());
        if (from > input.size()) {
            continue;
        }
        std::size_t to = input.find(separator, from);
        if (to == std::string_view::npos) {
            to = input.size();
        }
        WriteFile(path, input.substr(from, to - from));
        from = to + separator.size();
    }

    TCustomOutline outline;
    test::TListMemoLines editor;
    TDocument document(outline.Tree(), editor);
    document.AttachNewRecord(outline.AddSibling(0, "previous"));
    editor.Lines = {"previous", "note"};
    editor.Dirty = true;
    document.CommitNote(1);
    const std::string before = Snapshot(outline, document, editor);
    try {
        document.LoadDocument(Base());
    } catch (const Exception&) {
        if (Snapshot(outline, document, editor) != before) {
            std::abort();
        }
        return 0;
    }
    // Loaded: every item has a record inside the pool.
    for (std::int32_t i = 1; i <= outline.TotalItems(); ++i) {
        const ItemRecord* record = TDocument::RecordOf(outline.ItemAt(i));
        if (record == nullptr || record->Start < 0 || record->Count < 0 ||
            static_cast<std::size_t>(record->Start) + static_cast<std::size_t>(record->Count) >
                document.NotePool.Count()) {
            std::abort();
        }
    }
    // The editor holds the first note, unmodified: nothing of the previous one.
    if (document.Caption() != Base() || document.DocModified || editor.Dirty) {
        std::abort();
    }
    document.CompactPool();
    return 0;
}
