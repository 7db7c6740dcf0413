#include "dialogs/jpeg_image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jerror.h>
#include <string>
#include <vector>

#include "dialogs/about_photo.h"
#include "dialogs/picture_formats.h"
#include "runtime/errors.h"

namespace virevi::test {
namespace {

std::vector<std::uint8_t> StoredPhoto() {
    const auto stored = AboutPhotoStored();
    return {stored.begin(), stored.end()};
}

std::vector<std::uint8_t> PhotoJpeg() {
    const auto stored = StoredPhoto();
    return {stored.begin() + 14, stored.end()};
}

std::uint32_t LittleEndian32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

// Offsets of the first marker with `code` after the SOI, and its segment.
std::size_t MarkerAt(const std::vector<std::uint8_t>& jpeg, std::uint8_t code) {
    for (std::size_t at = 2; at + 4 <= jpeg.size();) {
        if (jpeg[at] != 0xFF) {
            break;
        }
        if (jpeg[at + 1] == code) {
            return at;
        }
        at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
    }
    ADD_FAILURE() << "no marker " << int(code);
    return 0;
}

TEST(AboutPhotoTest, StoredFormIsTagCountAndTheWholeFile) {
    const auto stored = StoredPhoto();
    ASSERT_GT(stored.size(), 14u);
    EXPECT_EQ(std::string(stored.begin(), stored.begin() + 10), "TJPEGImage");
    EXPECT_EQ(LittleEndian32(stored, 10), stored.size() - 14);
    EXPECT_EQ(stored[14], 0xFF);
    EXPECT_EQ(stored[15], 0xD8); // SOI
    EXPECT_EQ(stored[stored.size() - 2], 0xFF);
    EXPECT_EQ(stored.back(), 0xD9); // EOI
}

TEST(AboutPhotoTest, FileIsJfif101At144DpiProgressiveWithThreeComponents) {
    const auto jpeg = PhotoJpeg();
    const std::size_t app0 = MarkerAt(jpeg, 0xE0);
    EXPECT_EQ(std::string(jpeg.begin() + app0 + 4, jpeg.begin() + app0 + 9),
              std::string("JFIF\0", 5));
    EXPECT_EQ(jpeg[app0 + 9], 1);  // major
    EXPECT_EQ(jpeg[app0 + 10], 1); // minor
    EXPECT_EQ(jpeg[app0 + 11], 1); // dots per inch
    EXPECT_EQ(jpeg[app0 + 12] << 8 | jpeg[app0 + 13], 144);
    EXPECT_EQ(jpeg[app0 + 14] << 8 | jpeg[app0 + 15], 144);
    const std::size_t sof = MarkerAt(jpeg, 0xC2); // progressive, Huffman
    EXPECT_EQ(jpeg[sof + 5] << 8 | jpeg[sof + 6], 192);
    EXPECT_EQ(jpeg[sof + 7] << 8 | jpeg[sof + 8], 256);
    EXPECT_EQ(jpeg[sof + 9], 3);
}

TEST(AboutPhotoTest, DecodesTo256By192In24BitColour) {
    TJPEGImage image(PhotoJpeg());
    const TRgbImage& bitmap = image.Bitmap();
    EXPECT_EQ(bitmap.Width, 256);
    EXPECT_EQ(bitmap.Height, 192);
    EXPECT_EQ(TRgbImage::BitsPerPixel, 24);
    ASSERT_EQ(bitmap.Pixels.size(), 256u * 192u * 3u);
    // Sky above, sunflowers below: the picture is not one flat colour.
    auto at = [&](int x, int y, int c) { return bitmap.Pixels[(y * 256 + x) * 3 + c]; };
    EXPECT_GT(at(128, 2, 2), at(128, 2, 0)) << "blue above";
    EXPECT_GT(at(128, 120, 0), at(128, 120, 2) + 60) << "yellow below";
    EXPECT_EQ(&image.Bitmap(), &bitmap) << "cached";
}

TEST(PictureFormatsTest, JpegKindIsFoundByItsExtensionsAndTag) {
    for (const char* extension : {"jpeg", "jpg", "JPG"}) {
        const TPictureFormat* format = TPictureFormats::FindByExtension(extension);
        ASSERT_NE(format, nullptr) << extension;
        EXPECT_EQ(format->Description, "JPEG イメージファイル");
        EXPECT_EQ(format->Tag, "TJPEGImage");
    }
    EXPECT_EQ(TPictureFormats::FindByExtension("jpe"), nullptr);
    const auto graphic = ReadStoredPicture(AboutPhotoStored());
    EXPECT_EQ(graphic->Bitmap().Width, 256);
    EXPECT_EQ(WriteStoredPicture(JpegTag, *graphic), StoredPhoto()) << "written back unchanged";
}

TEST(PictureFormatsTest, UnregisteredKindIsNotFound) {
    UnregisterJpegImage();
    EXPECT_EQ(TPictureFormats::FindByExtension("jpg"), nullptr);
    EXPECT_THROW(ReadStoredPicture(AboutPhotoStored()), EInvalidGraphic);
    RegisterJpegImage();
    EXPECT_NE(ReadStoredPicture(AboutPhotoStored()), nullptr);
}

TEST(JpegImageTest, CountPastTheEndIsAReadError) {
    auto stored = StoredPhoto();
    for (std::size_t keep : {std::size_t{10}, std::size_t{13}, stored.size() - 1}) {
        std::vector<std::uint8_t> cut(stored.begin(), stored.begin() + keep);
        EXPECT_THROW(ReadStoredPicture(cut), EReadError) << keep << " bytes";
    }
}

struct TCorruption {
    const char* Name;
    void (*Damage)(std::vector<std::uint8_t>&);
    int Code;
};

const TCorruption Corruptions[] = {
    {"empty", [](std::vector<std::uint8_t>& j) { j.clear(); }, JERR_INPUT_EMPTY},
    {"not_a_JPEG", [](std::vector<std::uint8_t>& j) { j[1] = 0xD9; }, JERR_NO_SOI},
    {"twelve_bit_samples", [](std::vector<std::uint8_t>& j) { j[MarkerAt(j, 0xC2) + 4] = 12; },
     JERR_BAD_PRECISION},
    {"zero_height",
     [](std::vector<std::uint8_t>& j) {
         j[MarkerAt(j, 0xC2) + 5] = 0;
         j[MarkerAt(j, 0xC2) + 6] = 0;
     },
     JERR_EMPTY_IMAGE},
    {"frame_header_too_short", [](std::vector<std::uint8_t>& j) { j[MarkerAt(j, 0xC2) + 3] = 9; },
     JERR_BAD_LENGTH},
};

class JpegCorruptionTest : public testing::TestWithParam<TCorruption> {};

TEST_P(JpegCorruptionTest, FatalErrorRaisesEJpegWithLibraryCode) {
    auto jpeg = PhotoJpeg();
    GetParam().Damage(jpeg);
    TJPEGImage image(jpeg);
    try {
        image.Bitmap();
        FAIL() << "decoded";
    } catch (const EJPEG& error) {
        EXPECT_EQ(error.ErrorCode, GetParam().Code);
        EXPECT_EQ(error.Message(), "JPEG エラー #" + std::to_string(GetParam().Code));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, JpegCorruptionTest, testing::ValuesIn(Corruptions),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(JpegImageTest, DataCutShortStillDecodesAndFailedDecodeIsRetried) {
    auto jpeg = PhotoJpeg();
    jpeg.resize(jpeg.size() / 2); // a warning only: libjpeg fills the rest
    EXPECT_EQ(DecodeJpeg(jpeg).Height, 192);

    TJPEGImage image;
    EXPECT_THROW(image.Bitmap(), EJPEG);
    image.ReadData(TJPEGImage(PhotoJpeg()).WriteData());
    EXPECT_EQ(image.Bitmap().Width, 256);
}

TEST(JpegImageTest, ProgressiveFileWithEndlessScansIsRefused) {
    // The last scan again and again: libjpeg only warns about the repeats.
    auto jpeg = PhotoJpeg();
    std::size_t last = jpeg.size() - 2;
    while (!(jpeg[last] == 0xFF && jpeg[last + 1] == 0xDA)) {
        --last;
    }
    const std::vector<std::uint8_t> scan(jpeg.begin() + last, jpeg.end() - 2);
    for (int copies = 0; copies < MaxJpegScans; ++copies) {
        jpeg.insert(jpeg.end() - 2, scan.begin(), scan.end());
    }
    try {
        DecodeJpeg(jpeg);
        FAIL() << "decoded";
    } catch (const EJPEG& error) {
        EXPECT_EQ(error.ErrorCode, JERR_IMAGE_TOO_BIG);
    }
}

TEST(JpegImageTest, PictureOverThePixelLimitIsRefusedBeforeDecoding) {
    const auto jpeg = PhotoJpeg();
    EXPECT_EQ(DecodeJpeg(jpeg, 256 * 192).Width, 256);
    try {
        DecodeJpeg(jpeg, 256 * 192 - 1);
        FAIL() << "decoded";
    } catch (const EJPEG& error) {
        EXPECT_EQ(error.ErrorCode, JERR_IMAGE_TOO_BIG);
    }
}

} // namespace
} // namespace virevi::test
