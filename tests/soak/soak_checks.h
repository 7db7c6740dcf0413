#pragma once
// What must hold in the main window after every action of the soak: the
// outline's numbering, rows and selection; each item's record inside the note
// pool; the editor, the captions, the title and the modified mark.
#include <string>
#include <string_view>

namespace virevi {
class TMain;
class TMemo;
class TStringList;
} // namespace virevi

namespace virevi::test {

/// A caption as the outline file stores it: without leading blanks, CR and
/// 0x1A, so that " x" typed and "x" read back compare equal.
std::string StorableCaption(std::string_view caption);

/// The editor's lines as typed, whatever its width and word wrap.
void HardLines(TMemo& editor, TStringList& lines);

/// Every inconsistency found in `main`, one a line; empty when all hold.
/// `labelShown`: the last action showed the position, so the label must
/// read it.
std::string CheckWindow(TMain& main, bool labelShown);

} // namespace virevi::test
