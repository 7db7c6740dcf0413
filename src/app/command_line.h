#pragma once
// What the program is asked on its command line: nothing, or one document to
// start with. Qt has taken its own platform options out before this looks.
#include <string>
#include <vector>

namespace virevi {

struct TCommandLine {
    /// The arguments make no sense to the program: it prints the usage text
    /// and ends with status UsageStatus, showing no window.
    bool Usage = false;
    /// The document file, or the base path, to open at start-up; empty for none.
    std::string FileName;
};

/// The exit status after the usage text, as for any wrong use of a command.
inline constexpr int UsageStatus = 2;

/// Reads the arguments after the program's name. One argument is a document
/// to open; "--" makes the argument after it a name even when it begins with
/// "-". More than one name, or an argument that begins with "-" before any
/// "--" ("-" alone included), asks for the usage text.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

} // namespace virevi
