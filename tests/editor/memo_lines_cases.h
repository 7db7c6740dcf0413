#pragma once
// Line rules every note editor must follow, run against the in-memory editor
// (core_tests) and against TMemo (ui_tests), so that core tests built on the
// fake hold for the real editor too.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/memo_lines.h"
#include "files/string_list.h"

namespace virevi::test {

/// What a rule needs besides the editor: typing as the user does ("\r\n" is
/// Enter) and the clipboard's plain text as Shift-JIS with CR LF breaks.
class TMemoHarness {
public:
    virtual ~TMemoHarness() = default;
    virtual TMemoLines& Memo() = 0;
    virtual void Type(std::string_view bytes) = 0;
    virtual std::string Clipboard() = 0;
    virtual void SetClipboard(std::string_view bytes) = 0;
};

struct TMemoLinesCase {
    const char* Name;
    std::function<void(TMemoHarness&)> Run;
};

inline TStringList MakeList(std::initializer_list<std::string_view> lines) {
    TStringList list;
    for (std::string_view line : lines) {
        list.Add(line);
    }
    return list;
}

inline std::vector<std::string> ReadLines(const TMemoLines& memo) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < memo.Count(); ++i) {
        lines.push_back(memo.Line(i));
    }
    return lines;
}

using Lines = std::vector<std::string>;

// Characters in the text, line breaks counting two.
inline std::size_t TextLength(TMemoLines& memo) {
    memo.SetSelStart(0);
    memo.SetSelLength(1u << 30);
    const std::size_t n = memo.SelLength();
    memo.SetSelStart(0);
    return n;
}

inline std::vector<TMemoLinesCase> MemoLinesCases() {
    return {
        {"empty_editor_has_no_lines",
         [](TMemoHarness& h) {
             EXPECT_EQ(h.Memo().Count(), 0u);
             EXPECT_EQ(h.Memo().Line(0), "");
             EXPECT_EQ(TextLength(h.Memo()), 0u);
         }},
        {"empty_list_leaves_the_text_empty",
         [](TMemoHarness& h) {
             h.Memo().Assign(MakeList({"old"}));
             h.Memo().Assign(TStringList());
             EXPECT_EQ(h.Memo().Count(), 0u);
             EXPECT_EQ(TextLength(h.Memo()), 0u);
         }},
        {"assigned_lines_read_back_with_breaks_counting_two",
         [](TMemoHarness& h) {
             h.Memo().Assign(MakeList({"x", "", "y"}));
             EXPECT_EQ(ReadLines(h.Memo()), (Lines{"x", "", "y"}));
             EXPECT_EQ(TextLength(h.Memo()), 8u); // x CR LF CR LF y CR LF
         }},
        {"one_empty_last_line_is_not_counted",
         [](TMemoHarness& h) {
             h.Memo().Assign(MakeList({"a", ""})); // a CR LF CR LF
             EXPECT_EQ(ReadLines(h.Memo()), (Lines{"a", ""}));
         }},
        {"empty_line_alone_counts_one",
         [](TMemoHarness& h) {
             h.Memo().Assign(MakeList({""})); // CR LF
             EXPECT_EQ(h.Memo().Count(), 1u);
             EXPECT_EQ(h.Memo().Line(0), "");
         }},
        {"typing_x_and_enter_gives_one_line",
         [](TMemoHarness& h) {
             h.Type("x\r\n");
             EXPECT_EQ(ReadLines(h.Memo()), (Lines{"x"}));
             EXPECT_TRUE(h.Memo().Modified());
         }},
        {"append_after_a_letter_loses_the_empty_line",
         [](TMemoHarness& h) {
             h.Type("a");
             h.Memo().Append("b");
             h.Memo().Append("");
             h.Memo().Append("c");
             EXPECT_EQ(ReadLines(h.Memo()), (Lines{"a", "b", "c"}));
         }},
        {"append_after_a_line_break_keeps_the_empty_line",
         [](TMemoHarness& h) {
             h.Type("a\r\n");
             h.Memo().AppendLines(MakeList({"b", "", "c"}));
             EXPECT_EQ(ReadLines(h.Memo()), (Lines{"a", "b", "", "c"}));
         }},
        {"bulk_append_after_a_letter_keeps_every_line",
         [](TMemoHarness& h) {
             h.Type("a");
             h.Memo().AppendLines(MakeList({"b", "", "c", ""}));
             EXPECT_EQ(ReadLines(h.Memo()), (Lines{"a", "b", "", "c", ""}));
             h.Memo().AppendLines(MakeList({}));
             EXPECT_EQ(ReadLines(h.Memo()), (Lines{"a", "b", "", "c", ""}));
         }},
        {"appended_lines_leave_the_caret_after_them",
         [](TMemoHarness& h) {
             h.Memo().Append("ab");
             h.Memo().Append("c");
             EXPECT_EQ(h.Memo().SelStart(), 7u); // ab CR LF c CR LF
             EXPECT_EQ(h.Memo().SelLength(), 0u);
         }},
        {"line_past_the_end_is_empty",
         [](TMemoHarness& h) {
             h.Memo().Assign(MakeList({"a"}));
             EXPECT_EQ(h.Memo().Line(1), "");
             EXPECT_EQ(h.Memo().Line(1000), "");
         }},
        {"clear_empties_the_text",
         [](TMemoHarness& h) {
             h.Memo().Assign(MakeList({"a", "b"}));
             h.Memo().Clear();
             EXPECT_EQ(h.Memo().Count(), 0u);
             EXPECT_EQ(TextLength(h.Memo()), 0u);
         }},
        {"programmatic_changes_keep_the_modified_flag",
         [](TMemoHarness& h) {
             h.Memo().SetModified(false);
             h.Memo().Assign(MakeList({"a"}));
             h.Memo().Append("b");
             h.Memo().AppendLines(MakeList({"c"}));
             EXPECT_FALSE(h.Memo().Modified());
             h.Memo().SetModified(true);
             h.Memo().Clear();
             EXPECT_TRUE(h.Memo().Modified());
         }},
        {"append_to_adds_the_counted_lines",
         [](TMemoHarness& h) {
             h.Memo().Assign(MakeList({"a", "", "b"}));
             TStringList list = MakeList({"z"});
             h.Memo().AppendTo(list);
             ASSERT_EQ(list.Count(), 4u);
             EXPECT_EQ(list[0], "z");
             EXPECT_EQ(list[1], "a");
             EXPECT_EQ(list[2], "");
             EXPECT_EQ(list[3], "b");
         }},
        {"long_hard_line_reads_whole",
         [](TMemoHarness& h) {
             h.Memo().SetWordWrap(false);
             const std::string line(5000, 'w');
             h.Memo().Assign(MakeList({line, "next"}));
             EXPECT_EQ(ReadLines(h.Memo()), (Lines{line, "next"}));
         }},
        {"double_byte_text_reads_back_and_counts_characters",
         [](TMemoHarness& h) {
             const std::string kanji = "\x8A\xBF\x8E\x9A\x82\xA0"; // 漢字あ
             h.Memo().Assign(MakeList({kanji}));
             EXPECT_EQ(h.Memo().Line(0), kanji);
             h.Memo().SetSelStart(0);
             h.Memo().SetSelLength(2);
             h.Memo().CopyToClipboard();
             EXPECT_EQ(h.Clipboard(), "\x8A\xBF\x8E\x9A");
         }},
        {"select_first_characters_and_cut",
         [](TMemoHarness& h) {
             h.Memo().Assign(MakeList({"ab", "cd"}));
             h.Memo().SetModified(false);
             h.Memo().SetSelStart(0);
             h.Memo().SetSelLength(4);
             EXPECT_EQ(h.Memo().SelLength(), 4u);
             h.Memo().CutToClipboard();
             EXPECT_EQ(h.Clipboard(), "ab\r\n");
             EXPECT_EQ(ReadLines(h.Memo()), (Lines{"cd"}));
             EXPECT_TRUE(h.Memo().Modified());
         }},
        {"cut_and_copy_with_nothing_selected_leave_the_clipboard",
         [](TMemoHarness& h) {
             h.SetClipboard("old");
             h.Memo().Assign(MakeList({"abc"}));
             h.Memo().SetModified(false);
             h.Memo().SetSelStart(1);
             h.Memo().CutToClipboard();
             h.Memo().CopyToClipboard();
             EXPECT_EQ(h.Clipboard(), "old");
             EXPECT_EQ(ReadLines(h.Memo()), (Lines{"abc"}));
             EXPECT_FALSE(h.Memo().Modified());
         }},
        {"paste_with_nothing_selected_inserts_at_the_caret",
         [](TMemoHarness& h) {
             h.SetClipboard("XY");
             h.Memo().Assign(MakeList({"abc"}));
             h.Memo().SetModified(false);
             h.Memo().SetSelStart(1);
             h.Memo().PasteFromClipboard();
             EXPECT_EQ(ReadLines(h.Memo()), (Lines{"aXYbc"}));
             EXPECT_EQ(h.Memo().SelStart(), 3u);
             EXPECT_TRUE(h.Memo().Modified());
         }},
        {"paste_replaces_the_selection_and_may_break_lines",
         [](TMemoHarness& h) {
             h.SetClipboard("1\r\n2");
             h.Memo().Assign(MakeList({"abc"}));
             h.Memo().SetSelStart(1);
             h.Memo().SetSelLength(1);
             h.Memo().PasteFromClipboard();
             EXPECT_EQ(ReadLines(h.Memo()), (Lines{"a1", "2c"}));
         }},
        {"selection_start_stops_at_the_end_and_before_a_break",
         [](TMemoHarness& h) {
             h.Memo().Assign(MakeList({"ab"}));
             h.Memo().SetSelStart(1000);
             EXPECT_EQ(h.Memo().SelStart(), 4u);
             h.Memo().SetSelStart(3); // between CR and LF
             EXPECT_EQ(h.Memo().SelStart(), 2u);
             h.Memo().SetSelStart(1);
             h.Memo().SetSelLength(1000);
             EXPECT_EQ(h.Memo().SelLength(), 3u);
         }},
        {"word_wrap_switch_keeps_text_and_flag_and_puts_the_caret_at_0",
         [](TMemoHarness& h) {
             h.Memo().Assign(MakeList({"abc", "def"}));
             for (bool modified : {true, false}) {
                 h.Memo().SetModified(modified);
                 h.Memo().SetSelStart(5);
                 h.Memo().SetSelLength(2);
                 h.Memo().SetWordWrap(!h.Memo().WordWrap());
                 EXPECT_EQ(h.Memo().Modified(), modified);
                 EXPECT_EQ(h.Memo().SelStart(), 0u);
                 EXPECT_EQ(h.Memo().SelLength(), 0u);
                 EXPECT_EQ(ReadLines(h.Memo()), (Lines{"abc", "def"}));
             }
         }},
        {"word_wrap_set_to_its_value_changes_nothing",
         [](TMemoHarness& h) {
             h.Memo().Assign(MakeList({"abc"}));
             h.Memo().SetSelStart(2);
             h.Memo().SetWordWrap(h.Memo().WordWrap());
             EXPECT_EQ(h.Memo().SelStart(), 2u);
         }},
        {"hiding_keeps_the_text",
         [](TMemoHarness& h) {
             h.Memo().Assign(MakeList({"a", "b"}));
             h.Memo().SetModified(true);
             h.Memo().SetVisible(false);
             EXPECT_FALSE(h.Memo().Visible());
             EXPECT_EQ(ReadLines(h.Memo()), (Lines{"a", "b"}));
             h.Memo().SetVisible(true);
             EXPECT_TRUE(h.Memo().Visible());
             EXPECT_TRUE(h.Memo().Modified());
             EXPECT_EQ(ReadLines(h.Memo()), (Lines{"a", "b"}));
         }},
        {"stray_bytes_come_back_unchanged",
         [](TMemoHarness& h) {
             const std::string odd = "\x80\x82 \xFF\x1A";
             h.Memo().Assign(MakeList({odd}));
             EXPECT_EQ(h.Memo().Line(0), odd);
         }},
    };
}

} // namespace virevi::test
