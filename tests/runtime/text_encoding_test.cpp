#include "runtime/text_encoding.h"
#include "support/case_name.h"

#include <gtest/gtest.h>

#include <string>

namespace virevi {
namespace {

using namespace std::string_literals;

struct TEncodingCase {
    const char* Name;
    std::string Text;
    TTextEncoding Encoding;
    std::string ShiftJis; // what the conversion leaves
    std::size_t Replaced;
};

class TextEncodingTest : public testing::TestWithParam<TEncodingCase> {};

TEST_P(TextEncodingTest, DetectsAndConvertsInPlace) {
    const TEncodingCase& c = GetParam();
    EXPECT_EQ(DetectTextEncoding(c.Text), c.Encoding);
    std::string buffer = c.Text;
    const TConvertedText converted = ConvertToShiftJis(buffer.data(), buffer.size(), c.Encoding);
    ASSERT_LE(converted.Size, c.Text.size());
    EXPECT_EQ(buffer.substr(0, converted.Size), c.ShiftJis);
    EXPECT_EQ(converted.Replaced, c.Replaced);
}

constexpr auto Bytes = TTextEncoding::ShiftJis;
constexpr auto Utf8 = TTextEncoding::Utf8;
constexpr auto LE = TTextEncoding::Utf16LE;
constexpr auto BE = TTextEncoding::Utf16BE;
const std::string Nihon8 = "\xE6\x97\xA5\xE6\x9C\xAC"; // 日本 in UTF-8
const std::string NihonSjis = "\x93\xFA\x96\x7B";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, TextEncodingTest, testing::Values(
    TEncodingCase{"empty",                       "",                                Bytes, "",                               0},
    TEncodingCase{"plain ASCII",                 "ab\r\ncd\n",                      Bytes, "ab\r\ncd\n",                     0},
    TEncodingCase{"Shift-JIS",                   NihonSjis + "\r\n",                Bytes, NihonSjis + "\r\n",               0},
    TEncodingCase{"UTF-8 without a mark",        "x" + Nihon8 + "\n",               Utf8,  "x" + NihonSjis + "\n",           0},
    TEncodingCase{"UTF-8 after a long ASCII run", "abcdefghijklmnop" + Nihon8,      Utf8,  "abcdefghijklmnop" + NihonSjis,   0},
    TEncodingCase{"UTF-8 mark alone",            "\xEF\xBB\xBF",                    Utf8,  "",                               0},
    TEncodingCase{"UTF-8 mark before ASCII",     "\xEF\xBB\xBF" "ab\r\n",           Utf8,  "ab\r\n",                         0},
    TEncodingCase{"UTF-8 mark, malformed bytes", "\xEF\xBB\xBF" "a\xFF\xC3" "b",    Utf8,  "a??b",                           2},
    TEncodingCase{"UTF-8 kana, katakana, dash",  "\xE3\x81\x82\xEF\xBD\xB1\xE3\x80\x9C", Utf8, "\x82\xA0\xB1\x81\x60",        0},
    TEncodingCase{"UTF-8 accent has no code",    "caf\xC3\xA9",                     Utf8,  "caf?",                           1},
    TEncodingCase{"UTF-8 emoji is one ?",        "a\xF0\x9F\x98\x80" "b",           Utf8,  "a?b",                            1},
    TEncodingCase{"UTF-8 private use is no byte", "\xEF\x9E\x80",                   Utf8,  "?",                              1},
    TEncodingCase{"UTF-8 NUL passes",            Nihon8 + "\0x"s,                   Utf8,  NihonSjis + "\0x"s,               0},
    TEncodingCase{"malformed UTF-8 stays bytes", Nihon8 + "\xFF",                   Bytes, Nihon8 + "\xFF",                  0},
    TEncodingCase{"overlong form stays bytes",   "\xC0\xAF",                        Bytes, "\xC0\xAF",                       0},
    TEncodingCase{"UTF-8 surrogate stays bytes", "\xED\xA0\x80",                    Bytes, "\xED\xA0\x80",                   0},
    TEncodingCase{"cut UTF-8 stays bytes",       Nihon8.substr(0, 4),               Bytes, Nihon8.substr(0, 4),              0},
    TEncodingCase{"UTF-16LE",                    "\xFF\xFE" "a\0\r\0\n\0\xE5\x65\x2C\x67"s, LE, "a\r\n" + NihonSjis,          0},
    TEncodingCase{"UTF-16BE",                    "\xFE\xFF\0a\x65\xE5"s,            BE,    "a\x93\xFA",                      0},
    TEncodingCase{"UTF-16 unit holding byte 0A", "\xFF\xFE\x0A\x30"s,               LE,    "\x81\x73",                       0},
    TEncodingCase{"UTF-16 NUL passes",           "\xFF\xFE" "A\0\0\0B\0"s,          LE,    "A\0B"s,                          0},
    TEncodingCase{"UTF-16 pair is one ?",        "\xFF\xFE\x3D\xD8\x00\xDE" "A\0"s, LE,    "?A",                             1},
    TEncodingCase{"UTF-16 lone surrogate",       "\xFF\xFE\x00\xD8" "A\0"s,         LE,    "?A",                             1},
    TEncodingCase{"UTF-16 odd last byte",        "\xFF\xFE" "A\0B"s,                LE,    "A?",                             1}),
    test::TCaseName());
// clang-format on

} // namespace
} // namespace virevi
