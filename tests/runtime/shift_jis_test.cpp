#include <gtest/gtest.h>

#include <iconv.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "runtime/shift_jis.h"

namespace virevi {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) {
        s.push_back(static_cast<char>(v));
    }
    return s;
}

std::string Hex(std::string_view bytes) {
    std::string out;
    char buf[4];
    for (unsigned char b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", b);
        out += buf;
    }
    return out;
}

std::string RoundTrip(std::string_view bytes) {
    return EncodeShiftJis(DecodeShiftJis(bytes));
}

// Rows that hold CP932's second codes of a character (NEC row 13, the NEC
// selection of IBM extensions, the IBM extensions); every other code is the
// only one of its character.
bool InDuplicateRow(unsigned char lead) {
    return lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA;
}

TEST(ShiftJisTest, EverySingleByteComesBack) {
    for (int b = 0; b < 256; ++b) {
        std::string one(1, static_cast<char>(b));
        EXPECT_EQ(RoundTrip(one), one) << Hex(one);
        EXPECT_EQ(DecodeShiftJis(one).size(), 1u) << Hex(one);
    }
}

TEST(ShiftJisTest, EveryTwoByteSequenceComesBackOrAsItsCanonicalCode) {
    int canonicalised = 0;
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            std::string two = Bytes({lead, trail});
            std::u16string text = DecodeShiftJis(two);
            std::string back = EncodeShiftJis(text);
            if (back == two) {
                continue;
            }
            ++canonicalised;
            // Only a second code of a character may change, and only into a
            // code of the same character.
            EXPECT_TRUE(InDuplicateRow(static_cast<unsigned char>(lead))) << Hex(two);
            EXPECT_EQ(text.size(), 1u) << Hex(two);
            EXPECT_EQ(DecodeShiftJis(back), text) << Hex(two);
            EXPECT_EQ(RoundTrip(back), back) << Hex(two);
        }
    }
    // The NEC/IBM duplicates: a few hundred codes, never zero.
    EXPECT_GT(canonicalised, 300);
    EXPECT_LT(canonicalised, 500);
}

// The checked-in table must be iconv's CP932, in both directions.
class ShiftJisIconvTest : public testing::Test {
protected:
    void SetUp() override {
        ToUtf16 = iconv_open("UTF-16LE", "CP932");
        ToCp932 = iconv_open("CP932", "UTF-16LE");
        ASSERT_NE(ToUtf16, reinterpret_cast<iconv_t>(-1));
        ASSERT_NE(ToCp932, reinterpret_cast<iconv_t>(-1));
    }
    void TearDown() override {
        iconv_close(ToUtf16);
        iconv_close(ToCp932);
    }
    // Converts all of `in`, or returns false.
    static bool Convert(iconv_t cd, std::string in, std::string& out) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char buf[16];
        char* inPtr = in.data();
        std::size_t inLeft = in.size();
        char* outPtr = buf;
        std::size_t outLeft = sizeof buf;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0) {
            return false;
        }
        out.assign(buf, outPtr);
        return true;
    }
    static std::u16string FromUtf16Le(const std::string& bytes) {
        std::u16string s;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            s.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              static_cast<unsigned char>(bytes[i + 1]) << 8));
        }
        return s;
    }
    iconv_t ToUtf16{};
    iconv_t ToCp932{};
};

TEST_F(ShiftJisIconvTest, DecodesEveryCharacterAsIconvDoes) {
    int characters = 0;
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = -1; trail < 256; ++trail) {
            std::string seq = trail < 0 ? Bytes({lead}) : Bytes({lead, trail});
            std::string utf16;
            if (!Convert(ToUtf16, seq, utf16) || utf16.size() != 2) {
                continue; // not one character to iconv
            }
            if (trail >= 0 && !IsLeadByte(static_cast<unsigned char>(lead))) {
                continue; // two single-byte characters
            }
            ++characters;
            EXPECT_EQ(DecodeShiftJis(seq), FromUtf16Le(utf16)) << Hex(seq);
        }
    }
    EXPECT_GT(characters, 7000);
}

TEST_F(ShiftJisIconvTest, EncodesEveryBmpCharacterAsIconvDoesOrAsQuestionMark) {
    for (int cp = 1; cp < 0x10000; ++cp) {
        if ((cp >= 0xD800 && cp <= 0xDFFF) || (cp >= 0xF780 && cp <= 0xF7FF)) {
            continue; // surrogates, and the codec's own carriers of stray bytes
        }
        std::u16string one(1, static_cast<char16_t>(cp));
        std::string utf16 = Bytes({cp & 0xFF, cp >> 8});
        std::string expected;
        if (!Convert(ToCp932, utf16, expected)) {
            expected = "?";
        }
        ASSERT_EQ(EncodeShiftJis(one), expected) << "U+" << std::hex << cp;
    }
}

TEST(ShiftJisTest, KnownCharacters) {
    EXPECT_EQ(EncodeShiftJis(u"あ"), Bytes({0x82, 0xA0}));
    EXPECT_EQ(EncodeShiftJis(u"漢"), Bytes({0x8A, 0xBF}));
    const std::string msGothic =
        Bytes({0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53, 0x83, 0x56, 0x83, 0x62, 0x83, 0x4E});
    EXPECT_EQ(EncodeShiftJis(u"ＭＳ ゴシック"), msGothic);
    EXPECT_EQ(DecodeShiftJis(msGothic), u"ＭＳ ゴシック");
    // A trail byte may equal "\"; it still belongs to its character.
    EXPECT_EQ(DecodeShiftJis(Bytes({0x95, 0x5C, 0x5C})), u"表\\");
    EXPECT_EQ(DecodeShiftJis("a\r\n\t"), u"a\r\n\t");
}

TEST(ShiftJisTest, HalfwidthKatakanaAreSingleBytes) {
    EXPECT_EQ(DecodeShiftJis(Bytes({0xA1, 0xB1, 0xDF})), u"｡ｱﾟ");
    EXPECT_EQ(EncodeShiftJis(u"ｶﾞ"), Bytes({0xB6, 0xDE}));
}

TEST(ShiftJisTest, UserDefinedAreaMapsToPrivateUse) {
    EXPECT_EQ(DecodeShiftJis(Bytes({0xF0, 0x40})), std::u16string(1, u'\uE000'));
    EXPECT_EQ(DecodeShiftJis(Bytes({0xF9, 0xFC})), std::u16string(1, u'\uE757'));
    EXPECT_EQ(EncodeShiftJis(std::u16string(1, u'\uE000')), Bytes({0xF0, 0x40}));
}

TEST(ShiftJisTest, DuplicateCodesEncodeCanonically) {
    // NEC-selected IBM extension ED 40 and IBM extension FA 5C are both 纊.
    EXPECT_EQ(DecodeShiftJis(Bytes({0xED, 0x40})), DecodeShiftJis(Bytes({0xFA, 0x5C})));
    EXPECT_EQ(RoundTrip(Bytes({0xED, 0x40})), Bytes({0xFA, 0x5C}));
    // NEC row 13's ≒ (87 90) is the JIS row 1 character 81 E0.
    EXPECT_EQ(RoundTrip(Bytes({0x87, 0x90})), Bytes({0x81, 0xE0}));
}

struct TUnmappable {
    const char* Name;
    std::u16string Text;
    std::string Expected;
};

class ShiftJisUnmappableTest : public testing::TestWithParam<TUnmappable> {};

TEST_P(ShiftJisUnmappableTest, BecomesQuestionMark) {
    EXPECT_EQ(EncodeShiftJis(GetParam().Text), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShiftJisUnmappableTest,
    testing::Values(TUnmappable{"emoji_pair_is_one_mark", u"a\U0001F600b", "a?b"},
                    TUnmappable{"lone_high_surrogate", std::u16string{u'a', 0xD83D, u'b'}, "a?b"},
                    TUnmappable{"lone_low_surrogate", std::u16string{0xDE00}, "?"},
                    TUnmappable{"high_surrogate_at_end", std::u16string{0xD83D}, "?"},
                    TUnmappable{"two_high_surrogates", std::u16string{0xD83D, 0xD83D}, "??"},
                    TUnmappable{"euro_sign", u"€", "?"}, TUnmappable{"hangul", u"가나", "??"},
                    TUnmappable{"latin_accent", u"café", "caf?"},
                    TUnmappable{"line_separator", u"a\u2028b", "a?b"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ShiftJisTest, StrayBytesAreCarriedAsPrivateUse) {
    EXPECT_EQ(DecodeShiftJis(Bytes({0x80})), std::u16string(1, u'\uF780'));
    EXPECT_EQ(DecodeShiftJis(Bytes({0xA0, 0xFD, 0xFF})), (std::u16string{0xF7A0, 0xF7FD, 0xF7FF}));
    // A lead byte at the end, or before a byte it makes no character with.
    EXPECT_EQ(DecodeShiftJis(Bytes({0x41, 0x82})), (std::u16string{u'A', 0xF782}));
    EXPECT_EQ(DecodeShiftJis(Bytes({0x82, 0x20})), (std::u16string{0xF782, u' '}));
    EXPECT_EQ(DecodeShiftJis(Bytes({0x85, 0x40})), (std::u16string{0xF785, u'@'}));
}

TEST(ShiftJisTest, PrivateUseCarrierTypedInNeverJoinsTheNextCharacter) {
    // Stray 82 then "`" (60) would be the bytes of "Ａ" (82 60).
    EXPECT_EQ(EncodeShiftJis(std::u16string{0xF782, u'`'}), "?`");
    // Two stray 81s would read back as "＝" (81 81).
    EXPECT_EQ(EncodeShiftJis(std::u16string{0xF781, 0xF781}), Bytes({'?', 0x81}));
    // Stray 85 before "あ" (82 A0): 85 82 is no character, so both stay; stray
    // 82 would make "ｂ" (82 82) of them.
    EXPECT_EQ(EncodeShiftJis(std::u16string{0xF785, u'あ'}), Bytes({0x85, 0x82, 0xA0}));
    EXPECT_EQ(EncodeShiftJis(std::u16string{0xF782, u'あ'}), Bytes({'?', 0x82, 0xA0}));
    // A carrier of a byte that is a character of its own would read back as that character.
    EXPECT_EQ(EncodeShiftJis(std::u16string{0xF7B1}), "?");
}

TEST(ShiftJisTest, StrayLeadBeforeASecondCodeKeepsBothApart) {
    // EE ED is no character, but EE FA is: re-encoding ED 40 as its canonical
    // FA 5C would swallow the stray EE, so the second code is kept.
    const std::string bytes = Bytes({0xEE, 0xED, 0x40});
    EXPECT_EQ(RoundTrip(bytes), bytes);
}

// Byte strings drawn mostly from the bytes where Shift-JIS is tricky.
std::string RandomBytes(std::mt19937& rng, bool avoidDuplicateRows) {
    static const std::vector<int> interesting = {
        0x00, 0x0A, 0x0D, 0x1A, 0x20, 0x3F, 0x40, 0x5C, 0x7E, 0x7F, 0x80, 0x81, 0x82, 0x87, 0x9F,
        0xA0, 0xA1, 0xDF, 0xE0, 0xEA, 0xED, 0xEE, 0xEF, 0xF0, 0xF9, 0xFA, 0xFC, 0xFD, 0xFF};
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> any(0, 255);
    std::uniform_int_distribution<std::size_t> pick(0, interesting.size() - 1);
    std::string s;
    for (int n = length(rng); static_cast<int>(s.size()) < n;) {
        int b = rng() % 2 ? any(rng) : interesting[pick(rng)];
        if (avoidDuplicateRows && InDuplicateRow(static_cast<unsigned char>(b))) {
            continue;
        }
        s.push_back(static_cast<char>(b));
    }
    return s;
}

TEST(ShiftJisTest, RandomByteStringsComeBackExactly) {
    std::mt19937 rng(1234);
    for (int i = 0; i < 50000; ++i) {
        std::string bytes = RandomBytes(rng, true);
        ASSERT_EQ(RoundTrip(bytes), bytes) << Hex(bytes);
    }
}

TEST(ShiftJisTest, RandomByteStringsWithDuplicatesDecodeTheSameAfterwards) {
    std::mt19937 rng(5678);
    for (int i = 0; i < 50000; ++i) {
        std::string bytes = RandomBytes(rng, false);
        std::u16string text = DecodeShiftJis(bytes);
        std::string back = EncodeShiftJis(text);
        ASSERT_EQ(back.size(), bytes.size()) << Hex(bytes);
        ASSERT_EQ(DecodeShiftJis(back), text) << Hex(bytes);
        ASSERT_EQ(RoundTrip(back), back) << Hex(bytes);
    }
}

TEST(ShiftJisTest, RandomTextOfShiftJisCharactersComesBack) {
    // Every character some byte sequence decodes to, strays aside.
    std::set<char16_t> chars;
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0x40; trail < 256; ++trail) {
            std::u16string t = DecodeShiftJis(Bytes({lead, trail}));
            for (char16_t c : t) {
                if (c < 0xF780 || c > 0xF7FF) {
                    chars.insert(c);
                }
            }
        }
    }
    const std::vector<char16_t> alphabet(chars.begin(), chars.end());
    std::mt19937 rng(42);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int i = 0; i < 20000; ++i) {
        std::u16string text;
        for (int n = static_cast<int>(rng() % 30); n > 0; --n) {
            text.push_back(alphabet[pick(rng)]);
        }
        ASSERT_EQ(DecodeShiftJis(EncodeShiftJis(text)), text);
    }
}

TEST(ShiftJisTest, EmptyInput) {
    EXPECT_EQ(DecodeShiftJis(""), u"");
    EXPECT_EQ(EncodeShiftJis(u""), "");
}

TEST(CharLengthAtTest, TwoOnlyForWhatTheDecoderReadsAsOneCharacter) {
    const struct {
        const char* Name;
        std::string Text;
        std::size_t Pos;
        std::size_t Length;
    } cases[] = {
        {"ascii", "ab", 0, 1},
        {"kana", "\x82\xA0", 0, 2},
        {"trail like a backslash", "\x95\x5C", 0, 2},
        {"lead before a space", "\x82 ", 0, 1},
        {"lead at the end", "a\x82", 1, 1},
        {"half-width katakana", "\xB1\x82\xA0", 0, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CharLengthAt(c.Text, c.Pos), c.Length) << c.Name;
    }
    EXPECT_EQ(CharCount("\x95\x5C"
                        "a\x82"),
              3u);
    EXPECT_EQ(CharCount("\x82"
                        "A"),
              2u); // a stray byte and a letter
    EXPECT_EQ(CharCount(""), 0u);
}

struct TCharPrevCase {
    const char* Name;
    std::string Text;
    std::size_t Pos;
    std::size_t Expected;
};

class CharPrevTest : public testing::TestWithParam<TCharPrevCase> {};

TEST_P(CharPrevTest, StepsBackOneCharacter) {
    EXPECT_EQ(CharPrev(GetParam().Text, GetParam().Pos), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CharPrevTest,
    testing::Values(TCharPrevCase{"at_start", "abc", 0, 0}, TCharPrevCase{"empty_text", "", 0, 0},
                    TCharPrevCase{"single_bytes", "abc", 3, 2},
                    TCharPrevCase{"double_byte_as_one", "\x82\xA0", 2, 0},
                    TCharPrevCase{"after_ascii", "a\x82\xA0", 3, 1},
                    TCharPrevCase{"before_double_byte", "a\x82\xA0", 1, 0},
                    TCharPrevCase{"trail_byte_like_backslash", "\x95\x5C\x5C", 2, 0},
                    TCharPrevCase{"backslash_after_trail", "\x95\x5C\x5C", 3, 2},
                    TCharPrevCase{"lead_missing_its_second_byte", "a\x82", 2, 1},
                    TCharPrevCase{"lead_before_non_trail", "\x82 ", 1, 0},
                    TCharPrevCase{"parity_of_a_lead_run", "\x81\x81\x81", 3, 2},
                    TCharPrevCase{"parity_of_a_lead_run_even", "\x81\x81\x81\x81", 4, 2},
                    TCharPrevCase{"long_run_after_ascii", "x\x82\xA0\x82\xA0\x82\xA0", 7, 5},
                    TCharPrevCase{"inside_a_character_goes_to_its_start", "\x82\xA0\x82\xA0", 3, 2},
                    TCharPrevCase{"katakana_after_double_byte", "\x82\xA0\xB1", 3, 2},
                    TCharPrevCase{"position_past_the_end", "ab", 9, 1}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace virevi
