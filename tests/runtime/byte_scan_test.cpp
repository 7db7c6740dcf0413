#include "runtime/byte_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace virevi {
namespace {

using TScan = const char* (*)(const char*, const char*, char, char, char);

// Both scans, the one this machine runs and the one every machine can, give
// the same first hit for a hit at every place across the block boundaries.
TEST(ByteScanTest, BothScansFindTheFirstOfTheBytesAtEveryPlace) {
    const TScan scans[] = {&FindAnyOf, &FindAnyOfPortable};
    for (TScan scan : scans) {
        for (std::size_t size = 0; size <= 40; ++size) {
            // Bytes next to the ones looked for, and high ones, which a word
            // scan must not take for them.
            std::string text(size, '\0');
            for (std::size_t i = 0; i < size; ++i) {
                text[i] = "\x0c\x0e\x80\xff\x01"[i % 5];
            }
            const char* begin = text.data();
            const char* end = begin + size;
            EXPECT_EQ(scan(begin, end, '\r', '\n', '\0'), end) << "none in " << size;
            for (std::size_t at = 0; at < size; ++at) {
                for (const char wanted : {'\r', '\n', '\0'}) {
                    std::string hit = text;
                    hit[at] = wanted;
                    if (at + 1 < size) {
                        hit[at + 1] = '\r'; // a later hit must not win
                    }
                    EXPECT_EQ(scan(hit.data(), hit.data() + size, '\r', '\n', '\0'),
                              hit.data() + at)
                        << "size " << size << ", at " << at << ", byte " << int(wanted);
                }
            }
        }
        // The end bounds the scan even where a hit lies just past it.
        const std::string text = "abcdefghijklmnopqrstuvwxyz\r";
        EXPECT_EQ(scan(text.data(), text.data() + 26, '\r', '\r', '\r'), text.data() + 26);
        EXPECT_EQ(scan(text.data(), text.data() + 27, '\x1a', '\r', '\r'), text.data() + 26);
    }
}

} // namespace
} // namespace virevi
