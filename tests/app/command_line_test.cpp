#include "app/command_line.h"
#include "support/case_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace virevi {
namespace {

struct TCommandLineCase {
    const char* Name;
    std::vector<std::string> Arguments;
    bool Usage;
    std::string FileName;
};

class CommandLineTest : public testing::TestWithParam<TCommandLineCase> {};

TEST_P(CommandLineTest, NamesOneDocumentOrAsksForTheUsage) {
    const TCommandLine line = ParseCommandLine(GetParam().Arguments);
    EXPECT_EQ(line.Usage, GetParam().Usage);
    EXPECT_EQ(line.FileName, GetParam().FileName);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Arguments, CommandLineTest, testing::Values(
    TCommandLineCase{"nothing",                 {},                          false, ""},
    TCommandLineCase{"document",                {"plan.Trr"},                false, "plan.Trr"},
    TCommandLineCase{"base path with spaces",   {"my notes/plan"},           false, "my notes/plan"},
    TCommandLineCase{"name after dashes",       {"--", "-plan.Trr"},         false, "-plan.Trr"},
    TCommandLineCase{"dashes alone",            {"--"},                      false, ""},
    TCommandLineCase{"two names",               {"a.Trr", "b.Trr"},          true,  ""},
    TCommandLineCase{"two names after dashes",  {"--", "a.Trr", "b.Trr"},    true,  ""},
    TCommandLineCase{"unknown option",          {"--help"},                  true,  ""},
    TCommandLineCase{"option after the name",   {"a.Trr", "-x"},             true,  ""},
    TCommandLineCase{"one dash",                {"-"},                       true,  ""},
    TCommandLineCase{"Latin-1 bytes kept",      {"\xE9t\xE9.Trr"},           false, "\xE9t\xE9.Trr"}),
    test::TCaseName());
// clang-format on

} // namespace
} // namespace virevi
