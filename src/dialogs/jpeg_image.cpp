#include "dialogs/jpeg_image.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include "runtime/errors.h"
#include "runtime/format.h"
#include "runtime/messages.h"

namespace virevi {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return.
// It leaves through longjmp back to DecodeFrames: a C++ exception must never
// unwind through libjpeg's C frames.
struct TJpegErrorManager {
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
};

struct TDecodeJob {
    jpeg_decompress_struct Info;
    TJpegErrorManager Error;
    jpeg_progress_mgr Progress;
    std::span<const std::uint8_t> Input;
    std::size_t MaxPixels = 0;
    TRgbImage* Out = nullptr;
};

[[noreturn]] void JumpOut(j_common_ptr info) {
    std::longjmp(reinterpret_cast<TJpegErrorManager*>(info->err)->Jump, 1);
}

void IgnoreMessage(j_common_ptr, int) {}
void IgnoreOutput(j_common_ptr) {}

[[noreturn]] void TooBig(j_common_ptr info) {
    info->err->msg_code = JERR_IMAGE_TOO_BIG;
    JumpOut(info);
}

void CountScans(j_common_ptr info) {
    if (!info->is_decompressor) {
        return;
    }
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > MaxJpegScans) {
        TooBig(info);
    }
}

// The frame libjpeg longjmps back into. Nothing here has a destructor to skip,
// and everything that changes after setjmp lives in `job`, not in registers.
bool DecodeFrames(TDecodeJob& job) {
    j_decompress_ptr info = &job.Info;
    info->err = jpeg_std_error(&job.Error.Pub);
    job.Error.Pub.error_exit = JumpOut;
    job.Error.Pub.emit_message = IgnoreMessage;
    job.Error.Pub.output_message = IgnoreOutput;
    if (setjmp(job.Error.Jump) != 0) {
        jpeg_destroy_decompress(info);
        return false;
    }
    jpeg_create_decompress(info);
    job.Progress.progress_monitor = CountScans;
    info->progress = &job.Progress;
    info->mem->max_memory_to_use = static_cast<long>(job.MaxPixels) * 16;
    jpeg_mem_src(info, job.Input.data(), static_cast<unsigned long>(job.Input.size()));
    jpeg_read_header(info, TRUE);

    info->scale_num = 1;
    info->scale_denom = 1;
    info->out_color_space = JCS_RGB;
    info->quantize_colors = FALSE;
    info->dct_method = JDCT_FLOAT;
    info->do_block_smoothing = TRUE;
    info->buffered_image = FALSE;
    jpeg_calc_output_dimensions(info);
    if (static_cast<std::uint64_t>(info->output_width) * info->output_height > job.MaxPixels) {
        TooBig(reinterpret_cast<j_common_ptr>(info));
    }
    const std::size_t stride = std::size_t{info->output_width} * 3;
    try {
        job.Out->Pixels.assign(stride * info->output_height, 0);
    } catch (...) {
        jpeg_destroy_decompress(info);
        throw;
    }

    jpeg_start_decompress(info);
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = job.Out->Pixels.data() + stride * info->output_scanline;
        jpeg_read_scanlines(info, &row, 1);
    }
    job.Out->Width = static_cast<std::int32_t>(info->output_width);
    job.Out->Height = static_cast<std::int32_t>(info->output_height);
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    return true;
}

} // namespace

TRgbImage DecodeJpeg(std::span<const std::uint8_t> jpeg, std::size_t maxPixels) {
    TRgbImage image;
    TDecodeJob job{};
    job.Input = jpeg;
    job.MaxPixels = maxPixels;
    job.Out = &image;
    if (!DecodeFrames(job)) {
        const int code = job.Error.Pub.msg_code;
        throw EJPEG(FormatD(msg::SJpegError, code), code);
    }
    return image;
}

void TJPEGImage::ReadData(std::span<const std::uint8_t> data) {
    if (data.size() < 4) {
        throw EReadError(msg::SReadError);
    }
    const std::uint32_t count =
        data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
    if (count > data.size() - 4) {
        throw EReadError(msg::SReadError);
    }
    Data_.assign(data.begin() + 4, data.begin() + 4 + count);
    Bitmap_.reset();
}

std::vector<std::uint8_t> TJPEGImage::WriteData() const {
    const auto count = static_cast<std::uint32_t>(Data_.size());
    std::vector<std::uint8_t> data(4 + Data_.size());
    for (int i = 0; i < 4; ++i) {
        data[i] = static_cast<std::uint8_t>(count >> (8 * i));
    }
    std::copy(Data_.begin(), Data_.end(), data.begin() + 4);
    return data;
}

const TRgbImage& TJPEGImage::Bitmap() {
    if (!Bitmap_) {
        Bitmap_ = DecodeJpeg(Data_);
    }
    return *Bitmap_;
}

std::vector<TPictureFormat> JpegFormats() {
    std::vector<TPictureFormat> formats;
    for (const char* extension : {"jpeg", "jpg"}) {
        formats.push_back({extension, msg::JpegDescription, JpegTag,
                           [] { return std::make_unique<TJPEGImage>(); }});
    }
    return formats;
}

void RegisterJpegImage() {
    for (TPictureFormat& format : JpegFormats()) {
        TPictureFormats::Register(std::move(format));
    }
}

void UnregisterJpegImage() {
    TPictureFormats::Unregister(JpegTag);
}

} // namespace virevi
