#include "outline/outline_pictures.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>

namespace virevi {
namespace {

#include "resources/closed.xpm"
#include "resources/leaf.xpm"
#include "resources/minus.xpm"
#include "resources/open.xpm"
#include "resources/plus.xpm"

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace

TBitmap BitmapFromXpm(const char* const* xpm, int lines) {
    int width = 0;
    int height = 0;
    int colours = 0;
    int perPixel = 0;
    if (lines < 1 ||
        std::sscanf(xpm[0], "%d %d %d %d", &width, &height, &colours, &perPixel) != 4 ||
        perPixel != 1 || width <= 0 || height <= 0 || colours <= 0 ||
        lines < 1 + colours + height) {
        return {};
    }
    std::map<char, TColor> palette;
    for (int i = 1; i <= colours; ++i) {
        const char* line = xpm[i];
        const char* hash = std::strchr(line, '#');
        if (hash == nullptr || std::strlen(hash) < 7) {
            return {};
        }
        int value[6];
        for (int d = 0; d < 6; ++d) {
            value[d] = HexDigit(hash[1 + d]);
            if (value[d] < 0) {
                return {};
            }
        }
        palette[line[0]] = Rgb(static_cast<std::uint8_t>(value[0] * 16 + value[1]),
                               static_cast<std::uint8_t>(value[2] * 16 + value[3]),
                               static_cast<std::uint8_t>(value[4] * 16 + value[5]));
    }
    TBitmap bitmap{width, height, {}};
    bitmap.Pixels.reserve(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const char* row = xpm[1 + colours + y];
        if (std::strlen(row) < static_cast<std::size_t>(width)) {
            return {};
        }
        for (int x = 0; x < width; ++x) {
            const auto found = palette.find(row[x]);
            if (found == palette.end()) {
                return {};
            }
            bitmap.Pixels.push_back(found->second);
        }
    }
    return bitmap;
}

TBitmap LoadOutlinePicture(TOutlinePicture which) {
    switch (which) {
    case TOutlinePicture::Plus:
        return BitmapFromXpm(plus_xpm, static_cast<int>(std::size(plus_xpm)));
    case TOutlinePicture::Minus:
        return BitmapFromXpm(minus_xpm, static_cast<int>(std::size(minus_xpm)));
    case TOutlinePicture::Open:
        return BitmapFromXpm(open_xpm, static_cast<int>(std::size(open_xpm)));
    case TOutlinePicture::Closed:
        return BitmapFromXpm(closed_xpm, static_cast<int>(std::size(closed_xpm)));
    case TOutlinePicture::Leaf:
        return BitmapFromXpm(leaf_xpm, static_cast<int>(std::size(leaf_xpm)));
    }
    return {};
}

TColor TransparentColorOf(const TBitmap& bitmap) {
    if (bitmap.Width <= 0 || bitmap.Height <= 0) {
        return clBlack;
    }
    return bitmap.Pixel(0, bitmap.Height - 1);
}

} // namespace virevi
