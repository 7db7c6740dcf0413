// Saves that fail at any point, and random documents through save and load.
#include "document/document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "document_fixture.h"
#include "files/file_system.h"
#include "runtime/errors.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

using test::Lines;
using test::ReadFileBytes;
using test::TTempFolder;

bool Counted(TFileOperation operation) {
    return operation == TFileOperation::Open || operation == TFileOperation::Write ||
           operation == TFileOperation::Flush || operation == TFileOperation::Rename ||
           operation == TFileOperation::Link;
}

class SaveFailureTest : public test::DocumentFixture, public testing::WithParamInterface<bool> {
protected:
    void TearDown() override { SetFaultHook({}); }

    void Build(const std::string& variant) {
        Document.FreeItemRecords();
        Document.NotePool.Clear();
        InitDocument();
        AddChild(1);
        AddItem();
        Write(1, "first " + variant);
        Write(2, "second\r\n" + variant);
        Write(3, "third " + variant + "\r\n\r\nend");
    }
    std::vector<std::string> Files() {
        return {ReadFileBytes(Base + ".Trr"), ReadFileBytes(Base + ".Txt"),
                ReadFileBytes(Base + ".Bin")};
    }

    TTempFolder Folder;
    std::string Base = Folder.File("doc");
};

// Every open, write, flush, link and rename of a save, each failing in turn,
// leaves the old files as they were and nothing beside them.
TEST_P(SaveFailureTest, FailureAtEveryStepLeavesOldFilesUntouched) {
    const bool overExisting = GetParam();
    if (overExisting) {
        Build("old");
        Document.SaveDocument(Base);
    }
    const std::vector<std::string> oldFiles = Files();
    const std::vector<std::string> oldNames = test::FileNamesIn(Folder.Path());

    // A clean save of the same kind, counted, into a folder of its own.
    int steps = 0;
    {
        TTempFolder other;
        const std::string otherBase = other.File("doc");
        if (overExisting) {
            Document.SaveDocument(otherBase);
        }
        Build("new");
        SetFaultHook([&](TFileOperation operation, const std::string&) {
            steps += Counted(operation) ? 1 : 0;
            return 0;
        });
        Document.SaveDocument(otherBase);
        SetFaultHook({});
    }
    ASSERT_GT(steps, 10);

    for (int failing = 1; failing <= steps; ++failing) {
        Build("new");
        Document.SetCaption(msg::UntitledCaption);
        int seen = 0;
        SetFaultHook([&](TFileOperation operation, const std::string&) {
            return Counted(operation) && ++seen == failing ? ENOSPC : 0;
        });
        std::string message;
        try {
            Document.SaveDocument(Base);
        } catch (const Exception& error) {
            message = error.Message();
        }
        SetFaultHook({});
        EXPECT_FALSE(message.empty()) << "step " << failing << " failed silently";
        EXPECT_EQ(message.find(".virevi-"), std::string::npos)
            << "step " << failing << " named a temporary file: " << message;
        EXPECT_EQ(Files(), oldFiles) << "step " << failing;
        EXPECT_EQ(test::FileNamesIn(Folder.Path()), oldNames) << "step " << failing;
        EXPECT_EQ(Document.Caption(), msg::UntitledCaption) << "step " << failing;
        EXPECT_TRUE(Document.DocModified) << "step " << failing;
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, SaveFailureTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "over_existing_files" : "to_new_files";
                         });

TEST(SaveFailureMessageTest, UnwritableOutlineIsReportedUnderItsOwnName) {
    TTempFolder folder;
    TCustomOutline outline;
    test::TFakeMemoLines editor;
    TDocument document(outline.Tree(), editor);
    document.AttachNewRecord(outline.AddSibling(0, " "));
    const std::string base = folder.File("doc");
    std::filesystem::create_directory(base + ".Trr");
    try {
        document.SaveDocument(base);
        FAIL() << "saved over a folder";
    } catch (const EFCreateError& error) {
        EXPECT_EQ(error.Message(), "ファイル " + base + ".Trr を作成できません");
    }
    EXPECT_EQ(test::FileNamesIn(folder.Path()), (Lines{"doc.Trr"}));
}

// Random note lines: empty, blank-led, long, 0x1A and bytes that are not
// Shift-JIS; never CR, LF or NUL, which no editor line holds.
std::string RandomLine(std::mt19937& random) {
    switch (random() % 6) {
    case 0:
        return "";
    case 1:
        return std::string(1 + random() % 3, random() % 2 ? ' ' : '\t') + "blank-led";
    case 2:
        return std::string(3000 + random() % 3000, 'L') + "\x82\xa0";
    default: {
        std::string line;
        const std::size_t length = random() % 20;
        for (std::size_t i = 0; i < length; ++i) {
            char byte = static_cast<char>(1 + random() % 255);
            if (byte == '\r' || byte == '\n') {
                byte = '\x1a';
            }
            line.push_back(byte);
        }
        return line;
    }
    }
}

TEST(DocumentRoundTripTest, RandomDocumentsComeBackWithSameStructureAndNotes) {
    TTempFolder folder;
    std::mt19937 random(20240611);
    for (int round = 0; round < 1000; ++round) {
        TCustomOutline outline;
        test::TFakeMemoLines editor;
        TDocument document(outline.Tree(), editor);
        const int items = 1 + static_cast<int>(random() % 12);
        std::vector<std::vector<std::string>> notes;
        for (int i = 0; i < items; ++i) {
            std::int32_t index;
            if (i == 0 || random() % 3 == 0) {
                index = outline.AddSibling(0, " ");
            } else {
                index = outline.AppendChild(1 + static_cast<std::int32_t>(random() % i), " ");
            }
            document.AttachNewRecord(index);
        }
        // Notes are written in outline order, once the tree stands, some twice.
        notes.resize(static_cast<std::size_t>(items));
        for (int pass = 0; pass < 2; ++pass) {
            for (std::int32_t i = 1; i <= items; ++i) {
                if (pass == 1 && random() % 2 == 0) {
                    continue;
                }
                std::vector<std::string>& note = notes[static_cast<std::size_t>(i - 1)];
                note.clear();
                std::string text;
                for (std::size_t k = random() % 5; k > 0; --k) {
                    note.push_back(RandomLine(random));
                    text += note.back() + "\r\n";
                }
                editor.SetText("");
                editor.Type(text);
                document.CommitNote(i);
            }
        }
        const std::string base = folder.File("round");
        document.SaveDocument(base);

        // What the outline alone makes of these captions through its file.
        std::string outlineText;
        outline.SaveOutlineTo(
            [&](const char* bytes, std::size_t count) { outlineText.append(bytes, count); });
        TCustomOutline stored;
        std::size_t offset = 0;
        stored.LoadOutlineFrom([&](char* buffer, std::size_t count) {
            const std::size_t step = std::min(count, outlineText.size() - offset);
            std::copy_n(outlineText.data() + offset, step, buffer);
            offset += step;
            return step;
        });

        TCustomOutline loadedOutline;
        test::TFakeMemoLines loadedEditor;
        TDocument loaded(loadedOutline.Tree(), loadedEditor);
        loaded.LoadDocument(base);
        ASSERT_EQ(loadedOutline.TotalItems(), items) << "round " << round;
        for (std::int32_t i = 1; i <= items; ++i) {
            TOutlineNode* item = loadedOutline.ItemAt(i);
            ASSERT_EQ(item->Level(), outline.ItemAt(i)->Level()) << "round " << round;
            const ItemRecord record = *TDocument::RecordOf(item);
            std::vector<std::string> note;
            for (std::int32_t k = 0; k < record.Count; ++k) {
                note.emplace_back(loaded.NotePool.Strings(record.Start + k));
            }
            ASSERT_EQ(note, notes[static_cast<std::size_t>(i - 1)])
                << "round " << round << " item " << i;
            const std::string expected =
                i == 1 && note.empty() ? " " : std::string(stored.ItemAt(i)->Text());
            ASSERT_EQ(item->Text(), expected) << "round " << round << " item " << i;
        }
    }
}

} // namespace
} // namespace virevi
