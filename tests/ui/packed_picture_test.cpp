#include "ui/packed_picture.h"

#include <gtest/gtest.h>

#include "platform/pixel_picture.h"

namespace v270 {
namespace {

std::vector<std::byte> bytesOf(std::string_view text) {
    const auto* first = reinterpret_cast<const std::byte*>(text.data());
    return {first, first + text.size()};
}

// Every kind of code: long runs, small and larger changes, colours met before, jumps, and
// changes that wrap past 0 and 255.
platform::PixelPicture variedPicture() {
    constexpr platform::PixelSize kSize{97, 13};
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < kSize.height; ++y) {
        for (int32_t x = 0; x < kSize.width; ++x) {
            uint32_t pixel = 0x102030;
            if (y % 4 == 1)
                pixel = static_cast<uint32_t>(x * 0x010101 + y);  // small steps
            else if (y % 4 == 2)
                pixel = static_cast<uint32_t>((x * 37 % 256) << 16 | (x * 11 % 256) << 8 | x);
            else if (y % 4 == 3)
                pixel = x % 3 == 0 ? 0xFFFFFF : (x % 3 == 1 ? 0x000001 : 0x7F80FE);
            pixels.push_back(pixel);
        }
    }
    return platform::PixelPicture(kSize, std::move(pixels));
}

std::vector<uint32_t> unpacked(const std::vector<std::byte>& packed, size_t count) {
    std::vector<uint32_t> pixels(count);
    return unpackPicture(packed, pixels) ? pixels : std::vector<uint32_t>{};
}

TEST(PackedPicture, UnpacksToThePixelsItPackedForItsOwnSourceOnly) {
    const platform::PixelPicture picture = variedPicture();
    const std::vector<std::byte> source = bytesOf("the bytes of a JPEG file");
    const std::vector<std::byte> packed = packPicture(picture, source);

    EXPECT_EQ(packedPictureSize(packed, source), picture.size());
    for (const std::string_view other :
         {"the bytes of a JPEG filE", "the bytes of a JPEG file!", ""})
        EXPECT_EQ(packedPictureSize(packed, bytesOf(other)), std::nullopt) << other;

    const std::vector<uint32_t> pixels = unpacked(packed, 97 * 13);
    ASSERT_EQ(pixels.size(), 97u * 13u);
    for (int32_t y = 0; y < 13; ++y) {
        const auto row = picture.row(y);
        EXPECT_TRUE(std::equal(row.begin(), row.end(), pixels.begin() + y * 97)) << "row " << y;
    }
}

// Packed bytes are not trusted: each damage gives a refusal, never a read out of bounds (the
// sanitizers watch).
TEST(PackedPicture, RefusesDamagedBytes) {
    const std::vector<std::byte> source = bytesOf("source");
    const std::vector<std::byte> packed = packPicture(variedPicture(), source);
    const auto damaged = [&](auto change) {
        std::vector<std::byte> bytes = packed;
        change(bytes);
        return bytes;
    };
    const std::vector<std::pair<const char*, std::vector<std::byte>>> cases = {
        {"cut short", damaged([](auto& b) { b.resize(b.size() - 1); })},
        {"cut in the header", damaged([](auto& b) { b.resize(20); })},
        {"a byte more", damaged([](auto& b) { b.push_back(std::byte{0}); })},
        {"another magic", damaged([](auto& b) { b[7] = std::byte{'2'}; })},
        {"zero width", damaged([](auto& b) { b[8] = b[9] = b[10] = b[11] = std::byte{0}; })},
        {"huge height", damaged([](auto& b) { b[15] = std::byte{0x7F}; })},
        {"an unknown code", damaged([](auto& b) { b[32] = std::byte{0xFF}; })},
        {"more pixels than its size", damaged([](auto& b) {
             b.resize(32);
             b.insert(b.end(), 21, std::byte{0x3F});  // 21 runs of 64
         })},
    };
    for (const auto& [what, bytes] : cases)
        EXPECT_TRUE(unpacked(bytes, 97 * 13).empty()) << what;
    // The right bytes into the wrong number of pixels.
    EXPECT_TRUE(unpacked(packed, 97 * 13 - 1).empty());
}

}  // namespace
}  // namespace v270
