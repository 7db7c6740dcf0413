// Writes src/runtime/shift_jis_table.inc from the C library's CP932 converter
// (glibc iconv), so that the codec's table is the platform's mapping and not
// one typed by hand.
//
//   gen_shift_jis_table OUTPUT
//
// The table holds the decode direction for every one- and two-byte sequence,
// and the few code points whose encoding is not the first byte sequence that
// decodes to them (CP932's duplicates, where iconv picks a later code, and
// characters iconv encodes one way only).
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iconv.h>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr bool IsLead(unsigned byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Converts `in` completely; returns false unless every byte was consumed.
bool Convert(iconv_t cd, const std::string& in, std::string& out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> inBuf(in.begin(), in.end());
    char outBuf[64];
    char* inPtr = inBuf.data();
    std::size_t inLeft = inBuf.size();
    char* outPtr = outBuf;
    std::size_t outLeft = sizeof outBuf;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        return false;
    }
    if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        return false;
    }
    if (inLeft != 0) {
        return false;
    }
    out.assign(outBuf, outPtr);
    return true;
}

// One code point from CP932 bytes, or -1.
long DecodeOne(iconv_t toUcs, const std::string& bytes) {
    std::string out;
    if (!Convert(toUcs, bytes, out) || out.size() != 4) {
        return -1;
    }
    std::uint32_t cp = 0;
    for (int i = 3; i >= 0; --i) {
        cp = (cp << 8) | static_cast<unsigned char>(out[static_cast<std::size_t>(i)]);
    }
    return static_cast<long>(cp);
}

// CP932 code of one code point (a byte, or lead * 256 + trail), or -1.
long EncodeOne(iconv_t toSjis, std::uint32_t cp) {
    std::string in(4, '\0');
    for (int i = 0; i < 4; ++i) {
        in[static_cast<std::size_t>(i)] = static_cast<char>((cp >> (8 * i)) & 0xFF);
    }
    std::string out;
    if (!Convert(toSjis, in, out) || out.empty() || out.size() > 2) {
        return -1;
    }
    long code = static_cast<unsigned char>(out[0]);
    if (out.size() == 2) {
        code = code * 256 + static_cast<unsigned char>(out[1]);
    }
    return code;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 2;
    }
    iconv_t toUcs = iconv_open("UTF-32LE", "CP932");
    iconv_t toSjis = iconv_open("CP932", "UTF-32LE");
    if (toUcs == reinterpret_cast<iconv_t>(-1) || toSjis == reinterpret_cast<iconv_t>(-1)) {
        std::fprintf(stderr, "no CP932 converter: %s\n", std::strerror(errno));
        return 1;
    }

    std::array<long, 256> single{};
    for (unsigned b = 0; b < 256; ++b) {
        single[b] = IsLead(b) ? -1 : DecodeOne(toUcs, std::string(1, static_cast<char>(b)));
    }
    // Rows of lead bytes in order; trail bytes 0x40-0xFF.
    std::vector<std::array<long, 192>> dbl;
    std::map<std::uint32_t, long> firstCode; // code point -> first sequence decoding to it
    for (unsigned b = 0; b < 256; ++b) {
        if (single[b] >= 0 && !firstCode.count(static_cast<std::uint32_t>(single[b]))) {
            firstCode[static_cast<std::uint32_t>(single[b])] = b;
        }
    }
    for (unsigned lead = 0; lead < 256; ++lead) {
        if (!IsLead(lead)) {
            continue;
        }
        std::array<long, 192> row{};
        for (unsigned trail = 0x40; trail < 0x100; ++trail) {
            std::string seq{static_cast<char>(lead), static_cast<char>(trail)};
            long cp = DecodeOne(toUcs, seq);
            // The codec carries stray bytes as U+F780 + byte; CP932 must not use that range.
            if (cp > 0xFFFF || (cp >= 0xF780 && cp <= 0xF7FF)) {
                std::fprintf(stderr, "%02X%02X decodes to U+%04lX\n", lead, trail, cp);
                return 1;
            }
            row[trail - 0x40] = cp;
            if (cp >= 0 && !firstCode.count(static_cast<std::uint32_t>(cp))) {
                firstCode[static_cast<std::uint32_t>(cp)] = static_cast<long>(lead * 256 + trail);
            }
        }
        dbl.push_back(row);
    }

    // Encode direction: where iconv's choice differs from the first decoding code.
    std::vector<std::pair<std::uint32_t, long>> overrides;
    for (std::uint32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        long code = EncodeOne(toSjis, cp);
        auto it = firstCode.find(cp);
        long first = it == firstCode.end() ? -1 : it->second;
        if (code == first) {
            continue;
        }
        if (code < 0) {
            std::fprintf(stderr, "U+%04X decodes but does not encode\n", cp);
            return 1;
        }
        overrides.emplace_back(cp, code);
    }

    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::fprintf(stderr, "%s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    std::fprintf(
        out, "// Generated by tools/gen_shift_jis_table from glibc iconv's CP932. Do not edit.\n"
             "// 0 marks a sequence that is not a character (byte 0 itself is U+0000).\n\n");
    std::fprintf(out, "static constexpr char16_t SingleByteTable[256] = {\n");
    for (unsigned b = 0; b < 256; ++b) {
        std::fprintf(out, "%s0x%04lX,%s", b % 8 == 0 ? "    " : " ", single[b] < 0 ? 0L : single[b],
                     b % 8 == 7 ? "\n" : "");
    }
    std::fprintf(out, "};\n\n");
    std::fprintf(out,
                 "// One row per lead byte (0x81-0x9F, then 0xE0-0xFC), trail bytes 0x40-0xFF.\n");
    std::fprintf(out, "static constexpr char16_t DoubleByteTable[%zu][192] = {\n", dbl.size());
    for (const auto& row : dbl) {
        std::fprintf(out, "    {\n");
        for (unsigned i = 0; i < 192; ++i) {
            std::fprintf(out, "%s0x%04lX,%s", i % 8 == 0 ? "        " : " ",
                         row[i] < 0 ? 0L : row[i], i % 8 == 7 ? "\n" : "");
        }
        std::fprintf(out, "    },\n");
    }
    std::fprintf(out, "};\n\n");
    std::fprintf(out, "// Code point, CP932 code (a byte, or lead * 256 + trail).\n");
    std::fprintf(out, "static constexpr std::uint32_t EncodeOverrides[%zu][2] = {\n",
                 overrides.size());
    for (const auto& [cp, code] : overrides) {
        std::fprintf(out, "    {0x%04X, 0x%04lX},\n", cp, code);
    }
    std::fprintf(out, "};\n");
    if (std::fclose(out) != 0) {
        std::fprintf(stderr, "%s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    std::fprintf(stderr, "%zu lead rows, %zu encode overrides\n", dbl.size(), overrides.size());
    iconv_close(toUcs);
    iconv_close(toSjis);
    return 0;
}
