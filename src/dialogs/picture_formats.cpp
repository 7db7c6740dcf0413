#include "dialogs/picture_formats.h"

#include <algorithm>
#include <cstring>

#include "dialogs/jpeg_image.h"
#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi {
namespace {

bool SameAsciiCaseless(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

} // namespace

std::vector<TPictureFormat>& TPictureFormats::List() {
    // The program's own kinds are there from the first look on, whoever looks
    // first, and go when the program ends.
    static std::vector<TPictureFormat> list = JpegFormats();
    return list;
}

void TPictureFormats::Register(TPictureFormat format) {
    auto& list = List();
    std::erase_if(list, [&](const TPictureFormat& known) {
        return SameAsciiCaseless(known.Extension, format.Extension);
    });
    list.push_back(std::move(format));
}

void TPictureFormats::Unregister(const std::string& tag) {
    std::erase_if(List(), [&](const TPictureFormat& known) { return known.Tag == tag; });
}

const TPictureFormat* TPictureFormats::FindByExtension(const std::string& extension) {
    for (const TPictureFormat& known : List()) {
        if (SameAsciiCaseless(known.Extension, extension)) {
            return &known;
        }
    }
    return nullptr;
}

const TPictureFormat* TPictureFormats::FindByTag(std::span<const std::uint8_t> stored) {
    for (const TPictureFormat& known : List()) {
        if (!known.Tag.empty() && stored.size() >= known.Tag.size() &&
            std::memcmp(stored.data(), known.Tag.data(), known.Tag.size()) == 0) {
            return &known;
        }
    }
    return nullptr;
}

std::unique_ptr<TGraphic> ReadStoredPicture(std::span<const std::uint8_t> stored) {
    const TPictureFormat* format = TPictureFormats::FindByTag(stored);
    if (format == nullptr) {
        throw EInvalidGraphic(msg::SUnknownPictureFormat);
    }
    std::unique_ptr<TGraphic> graphic = format->Create();
    graphic->ReadData(stored.subspan(format->Tag.size()));
    return graphic;
}

std::vector<std::uint8_t> WriteStoredPicture(const std::string& tag, const TGraphic& graphic) {
    std::vector<std::uint8_t> stored(tag.begin(), tag.end());
    const std::vector<std::uint8_t> data = graphic.WriteData();
    stored.insert(stored.end(), data.begin(), data.end());
    return stored;
}

} // namespace virevi
