#include "platform/native/jpeg_picture_decoder.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <bit>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include <jpeglib.h>

#include "platform/pixel_picture.h"

namespace v270::platform {

namespace {

// Larger pictures than this are not skin pictures; refusing them keeps a damaged header from
// asking for gigabytes.
constexpr JDIMENSION kMaxSide = 16384;

struct ErrorExit {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// libjpeg reports a fatal error by calling this, which must not return: it jumps back to the
// decoder, which gives up on the file.
[[noreturn]] void onFatalError(j_common_ptr info) {
    auto* error = reinterpret_cast<ErrorExit*>(info->err);
    std::longjmp(error->jump, 1);
}

void ignoreMessage(j_common_ptr) {}

std::vector<unsigned char> readWhole(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream)
        return {};
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(stream),
                                      std::istreambuf_iterator<char>());
}

// Decodes into `pixels` as 32-bit words B, G, R, X in memory: 0xXXRRGGBB read as little-endian
// words. Only trivially destructible objects live in this frame, so a jump from libjpeg back
// into it leaves nothing undestroyed; `pixels` is sized before the first row is decoded.
bool decode(const std::vector<unsigned char>& bytes, std::vector<uint32_t>& pixels,
            PixelSize& size) {
    jpeg_decompress_struct info{};
    ErrorExit error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = onFatalError;
    error.manager.output_message = ignoreMessage;
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || info.image_width > kMaxSide ||
        info.image_height > kMaxSide) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    size = {static_cast<int32_t>(info.output_width), static_cast<int32_t>(info.output_height)};
    pixels.resize(static_cast<size_t>(info.output_width) * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(
            pixels.data() + static_cast<size_t>(info.output_scanline) * info.output_width);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

std::shared_ptr<const Picture> JpegPictureDecoder::load(const std::filesystem::path& file) {
    static_assert(std::endian::native == std::endian::little,
                  "pixels are decoded as B, G, R, X bytes read as little-endian words");
    const std::vector<unsigned char> bytes = readWhole(file);
    if (bytes.empty())
        return nullptr;
    std::vector<uint32_t> pixels;
    PixelSize size;
    if (!decode(bytes, pixels, size))
        return nullptr;
    for (uint32_t& pixel : pixels)
        pixel &= 0x00FFFFFFu;
    return std::make_shared<PixelPicture>(size, std::move(pixels));
}

}  // namespace v270::platform
