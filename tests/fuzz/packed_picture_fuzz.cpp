// Any bytes as a packed skin picture: reading its size and unpacking it never reads or writes
// out of bounds, and a stream that unpacks leaves every pixel a colour (no bits above 0xFFFFFF).
// The same bytes as pixels go through pack and unpack unchanged, and the packed form names only
// the source it was made from.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "platform/pixel_picture.h"
#include "ui/packed_picture.h"

namespace {

// Pictures claiming more than this many pixels are not unpacked here: a skin picture is far
// smaller, and the claim's own check is what such a header exercises.
constexpr size_t kMostPixels = size_t{1} << 20;

uint32_t littleEndian32(std::span<const std::byte> bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
    return value;
}

// Unpacks into as many pixels as the header claims (the width and height after the 8-byte
// mark), when that is a sane number.
void unpackAsClaimed(std::span<const std::byte> packed) {
    if (packed.size() < 16)
        return;
    const uint64_t count = uint64_t{littleEndian32(packed, 8)} * littleEndian32(packed, 12);
    if (count == 0 || count > kMostPixels)
        return;
    std::vector<uint32_t> pixels(static_cast<size_t>(count));
    if (v270::unpackPicture(packed, pixels)) {
        for (const uint32_t pixel : pixels)
            FUZZ_CHECK(pixel <= 0xFFFFFFu);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace v270;
    const auto bytes = std::as_bytes(std::span(data, size));
    unpackAsClaimed(bytes);

    // The bytes as pixels, three to a pixel, in rows of up to 16.
    const size_t count = size / 3;
    if (count == 0)
        return 0;
    const auto width = static_cast<int32_t>(count < 16 ? count : 16);
    const auto height = static_cast<int32_t>(count / static_cast<size_t>(width));
    std::vector<uint32_t> pixels;
    for (size_t i = 0; i < static_cast<size_t>(width * height); ++i)
        pixels.push_back(uint32_t{data[3 * i]} << 16 | uint32_t{data[3 * i + 1]} << 8 |
                         data[3 * i + 2]);
    const platform::PixelPicture picture({width, height}, pixels);
    const std::vector<std::byte> packed = packPicture(picture, bytes);
    FUZZ_CHECK(packedPictureSize(packed, bytes) == picture.size());
    FUZZ_CHECK(!packedPictureSize(packed, bytes.first(size - 1)));
    std::vector<uint32_t> back(pixels.size());
    FUZZ_CHECK(unpackPicture(packed, back));
    FUZZ_CHECK(back == pixels);
    return 0;
}
