#include "ui/window_shape.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/pixel_picture.h"

namespace v270 {
namespace {

using platform::PixelPicture;
using platform::PixelRect;
using platform::Rgb;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

// Pixel by pixel: whether the region holds exactly the dark pixels of the mask.
void expectDarkPixelsOnly(const SpanRegion& region, const PixelPicture& mask) {
    const auto size = mask.size();
    for (int32_t y = -1; y <= size.height; ++y) {
        for (int32_t x = -1; x <= size.width; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < size.width && y < size.height;
            const bool dark = inside && !isCutOut(platform::packRgb(mask.at(x, y)));
            EXPECT_EQ(region.contains(x, y), dark) << x << "," << y;
        }
    }
}

PixelPicture randomMask(platform::PixelSize size, unsigned seed, int brightPercent) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> percent(0, 99);
    PixelPicture mask(size, kBlack);
    for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x) {
            if (percent(random) < brightPercent)
                mask.set(x, y, kWhite);
        }
    }
    return mask;
}

TEST(WindowShapeTest, SpansEqualThePerPixelExclusiveOr) {
    std::vector<PixelPicture> masks;
    masks.emplace_back(platform::PixelSize{9, 7}, kWhite);
    masks.emplace_back(platform::PixelSize{9, 7}, kBlack);
    PixelPicture checker({8, 8}, kBlack);
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
            if ((x + y) % 2 == 0)
                checker.set(x, y, kWhite);
        }
    }
    masks.push_back(checker);
    for (unsigned seed = 1; seed <= 6; ++seed) {
        masks.push_back(randomMask({17, 13}, seed, static_cast<int>(seed) * 15));
    }
    for (const PixelPicture& mask : masks) {
        const SpanRegion spans = maskRegion(mask);
        EXPECT_EQ(spans, maskRegionPerPixel(mask));
        expectDarkPixelsOnly(spans, mask);
    }
}

TEST(WindowShapeTest, AnAllWhiteMaskGivesAnEmptyShape) {
    const PixelPicture white({40, 30}, kWhite);
    SkinTables tables;
    const WindowShape shape = buildWindowShape(&white, tables);
    EXPECT_EQ(shape.size, (platform::PixelSize{40, 30}));
    EXPECT_TRUE(shape.windowRegion.empty());
    EXPECT_TRUE(shape.windowRegion.rects().empty());
    EXPECT_TRUE(maskRegionPerPixel(white).empty());
}

TEST(WindowShapeTest, OnlyPixelsBrightInEveryChannelAreCutOut) {
    PixelPicture mask({4, 1}, kBlack);
    mask.set(0, 0, {101, 101, 101});
    mask.set(1, 0, {100, 255, 255});
    mask.set(2, 0, {255, 255, 100});
    const SpanRegion region = maskRegion(mask);
    EXPECT_FALSE(region.contains(0, 0));
    EXPECT_TRUE(region.contains(1, 0));
    EXPECT_TRUE(region.contains(2, 0));
    EXPECT_TRUE(region.contains(3, 0));
}

TEST(WindowShapeTest, AdvancedRedrawRegionLeavesOutTheControls) {
    PixelPicture mask({100, 80}, kBlack);
    for (int32_t x = 0; x < 100; ++x)
        mask.set(x, 0, kWhite);
    SkinTables tables;
    tables.nameEditRect = {10, 10, 30, 20};
    tables.stepListRect = {50, 10, 90, 70};
    tables.macroListRect = {10, 30, 40, 70};
    const WindowShape shape = buildWindowShape(&mask, tables);
    EXPECT_TRUE(shape.windowRegion.contains(15, 15));
    EXPECT_FALSE(shape.advancedRedrawRegion.contains(15, 15));
    EXPECT_FALSE(shape.advancedRedrawRegion.contains(60, 50));
    EXPECT_FALSE(shape.advancedRedrawRegion.contains(39, 69));
    EXPECT_TRUE(shape.advancedRedrawRegion.contains(45, 50));
    EXPECT_FALSE(shape.advancedRedrawRegion.contains(5, 0)) << "cut out of the window";

    // Exclusive-or: a control that leaves the window adds the part outside it.
    tables.stepListRect = {90, 70, 120, 90};
    const WindowShape wider = buildWindowShape(&mask, tables);
    EXPECT_TRUE(wider.advancedRedrawRegion.contains(110, 85));
    EXPECT_FALSE(wider.advancedRedrawRegion.contains(95, 75));
}

TEST(WindowShapeTest, AMissingMaskGivesNoWindow) {
    SkinTables tables;
    const WindowShape shape = buildWindowShape(nullptr, tables);
    EXPECT_EQ(shape.size, (platform::PixelSize{0, 0}));
    EXPECT_TRUE(shape.windowRegion.empty());
    EXPECT_TRUE(shape.advancedRedrawRegion.empty());
}

TEST(SpanRegionTest, CombinesAndBandsRectangles) {
    const SpanRegion a = SpanRegion::fromRect({0, 0, 10, 10});
    const SpanRegion b = SpanRegion::fromRect({5, 5, 15, 15});
    const SpanRegion x = a.combineXor(b);
    EXPECT_TRUE(x.contains(2, 2));
    EXPECT_FALSE(x.contains(7, 7));
    EXPECT_TRUE(x.contains(12, 12));
    EXPECT_EQ(x.bounds(), (PixelRect{0, 0, 15, 15}));
    const std::vector<PixelRect> bands = {
        {0, 0, 10, 5}, {0, 5, 5, 10}, {10, 5, 15, 10}, {5, 10, 15, 15}};
    EXPECT_EQ(x.rects(), bands);
    EXPECT_TRUE(x.combineXor(b).combineXor(a).empty()) << "xor twice gives nothing";
    EXPECT_EQ(x.combineXor(b), a);

    // Touching runs join: no edge is left where two runs meet.
    const SpanRegion left = SpanRegion::fromRect({0, 0, 5, 1});
    EXPECT_EQ(left.combineXor(SpanRegion::fromRect({5, 0, 9, 1})),
              SpanRegion::fromRect({0, 0, 9, 1}));
    EXPECT_TRUE(SpanRegion::fromRect({3, 3, 3, 9}).empty());
}

}  // namespace
}  // namespace v270
