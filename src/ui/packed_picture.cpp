#include "ui/packed_picture.h"

#include <array>
#include <cstring>
#include <string_view>

namespace v270 {

namespace {

constexpr std::string_view kMagic = "V270PIX1";
constexpr size_t kHeaderBytes = 32;
constexpr size_t kSlots = 62;
constexpr uint8_t kRun = 0x00;
constexpr uint8_t kSmallChange = 0x40;
constexpr uint8_t kGreenChange = 0x80;
constexpr uint8_t kSlot = 0xC0;
constexpr uint8_t kWhole = 0xFE;
constexpr int kLongestRun = 64;

struct Channels {
    int red;
    int green;
    int blue;
};

Channels channelsOf(uint32_t pixel) {
    return {static_cast<int>(pixel >> 16 & 0xFF), static_cast<int>(pixel >> 8 & 0xFF),
            static_cast<int>(pixel & 0xFF)};
}

uint32_t pixelOf(int red, int green, int blue) {
    return static_cast<uint32_t>(red & 0xFF) << 16 | static_cast<uint32_t>(green & 0xFF) << 8 |
           static_cast<uint32_t>(blue & 0xFF);
}

size_t slotOf(uint32_t pixel) {
    const Channels c = channelsOf(pixel);
    return static_cast<size_t>(c.red * 3 + c.green * 5 + c.blue * 7) % kSlots;
}

// The change of one channel, wrapped as the bytes wrap.
int change(int to, int from) {
    return static_cast<int8_t>(static_cast<uint8_t>(to - from));
}

uint64_t readNumber(std::span<const std::byte> bytes, size_t at, size_t count) {
    uint64_t value = 0;
    for (size_t i = 0; i < count; ++i)
        value |= static_cast<uint64_t>(bytes[at + i]) << (8 * i);
    return value;
}

void writeNumber(std::vector<std::byte>& bytes, uint64_t value, size_t count) {
    for (size_t i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::byte>(value >> (8 * i) & 0xFF));
}

// The size a packed picture claims, when its header is whole and in range.
std::optional<platform::PixelSize> claimedSize(std::span<const std::byte> packed) {
    if (packed.size() < kHeaderBytes ||
        std::memcmp(packed.data(), kMagic.data(), kMagic.size()) != 0)
        return std::nullopt;
    const uint64_t width = readNumber(packed, 8, 4);
    const uint64_t height = readNumber(packed, 12, 4);
    if (width == 0 || height == 0 || width > packed_picture::kMaxSide ||
        height > packed_picture::kMaxSide)
        return std::nullopt;
    return platform::PixelSize{static_cast<int32_t>(width), static_cast<int32_t>(height)};
}

}  // namespace

uint64_t sourceHash(std::span<const std::byte> source) {
    // FNV-1a: a changed byte anywhere changes it; no secret is kept from anyone here.
    uint64_t hash = 0xCBF29CE484222325u;
    for (const std::byte b : source) {
        hash ^= static_cast<uint64_t>(b);
        hash *= 0x100000001B3u;
    }
    return hash;
}

std::vector<std::byte> packPicture(const platform::Picture& picture,
                                   std::span<const std::byte> source) {
    const platform::PixelSize size = picture.size();
    std::vector<std::byte> out;
    for (const char c : kMagic)
        out.push_back(static_cast<std::byte>(c));
    writeNumber(out, static_cast<uint64_t>(size.width), 4);
    writeNumber(out, static_cast<uint64_t>(size.height), 4);
    writeNumber(out, source.size(), 8);
    writeNumber(out, sourceHash(source), 8);

    const auto put = [&](int value) { out.push_back(static_cast<std::byte>(value)); };
    std::array<uint32_t, kSlots> recent{};
    uint32_t before = 0;
    int run = 0;
    const auto endRun = [&] {
        if (run > 0)
            put(kRun | (run - 1));
        run = 0;
    };
    for (int32_t y = 0; y < size.height; ++y) {
        for (const uint32_t pixel : picture.row(y)) {
            const uint32_t colour = pixel & 0x00FFFFFFu;
            if (colour == before) {
                if (++run == kLongestRun)
                    endRun();
                continue;
            }
            endRun();
            const size_t slot = slotOf(colour);
            const Channels now = channelsOf(colour);
            const Channels was = channelsOf(before);
            const int red = change(now.red, was.red);
            const int green = change(now.green, was.green);
            const int blue = change(now.blue, was.blue);
            if (recent[slot] == colour) {
                put(kSlot | static_cast<int>(slot));
            } else if (red >= -2 && red <= 1 && green >= -2 && green <= 1 && blue >= -2 &&
                       blue <= 1) {
                put(kSmallChange | (red + 2) << 4 | (green + 2) << 2 | (blue + 2));
            } else if (green >= -32 && green <= 31 && red - green >= -8 && red - green <= 7 &&
                       blue - green >= -8 && blue - green <= 7) {
                put(kGreenChange | (green + 32));
                put((red - green + 8) << 4 | (blue - green + 8));
            } else {
                put(kWhole);
                put(now.red);
                put(now.green);
                put(now.blue);
            }
            recent[slot] = colour;
            before = colour;
        }
    }
    endRun();
    return out;
}

std::optional<platform::PixelSize> packedPictureSize(std::span<const std::byte> packed,
                                                     std::span<const std::byte> source) {
    const std::optional<platform::PixelSize> size = claimedSize(packed);
    if (!size || readNumber(packed, 16, 8) != source.size() ||
        readNumber(packed, 24, 8) != sourceHash(source))
        return std::nullopt;
    return size;
}

bool unpackPicture(std::span<const std::byte> packed, std::span<uint32_t> pixels) {
    const std::optional<platform::PixelSize> size = claimedSize(packed);
    if (!size ||
        pixels.size() != static_cast<size_t>(size->width) * static_cast<size_t>(size->height))
        return false;
    std::array<uint32_t, kSlots> recent{};
    uint32_t before = 0;
    size_t at = kHeaderBytes;
    size_t filled = 0;
    while (filled < pixels.size()) {
        if (at >= packed.size())
            return false;
        const auto code = static_cast<uint8_t>(packed[at++]);
        if (code == kWhole) {
            if (packed.size() - at < 3)
                return false;
            before = pixelOf(static_cast<int>(packed[at]), static_cast<int>(packed[at + 1]),
                             static_cast<int>(packed[at + 2]));
            at += 3;
        } else if ((code & 0xC0) == kRun) {
            const size_t count = static_cast<size_t>(code & 0x3F) + 1;
            if (pixels.size() - filled < count)
                return false;
            std::fill_n(pixels.begin() + static_cast<std::ptrdiff_t>(filled), count, before);
            filled += count;
            continue;
        } else if ((code & 0xC0) == kSmallChange) {
            const Channels was = channelsOf(before);
            before = pixelOf(was.red + (code >> 4 & 3) - 2, was.green + (code >> 2 & 3) - 2,
                             was.blue + (code & 3) - 2);
        } else if ((code & 0xC0) == kGreenChange) {
            if (at >= packed.size())
                return false;
            const auto second = static_cast<int>(packed[at++]);
            const int green = (code & 0x3F) - 32;
            const Channels was = channelsOf(before);
            before = pixelOf(was.red + green + (second >> 4) - 8, was.green + green,
                             was.blue + green + (second & 0xF) - 8);
        } else {
            const size_t slot = code & 0x3F;
            if (slot >= kSlots)
                return false;
            before = recent[slot];
        }
        recent[slotOf(before)] = before;
        pixels[filled++] = before;
    }
    // Bytes beyond the last pixel: not a stream this program wrote.
    return at == packed.size();
}

}  // namespace v270
