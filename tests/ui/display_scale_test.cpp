#include "ui/display_scale.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/pixel_picture.h"
#include "recording_canvas.h"
#include "ui/area_scaled_picture.h"
#include "ui/frame_painter.h"
#include "ui/function_menu.h"
#include "ui/owner_drawn_menu.h"
#include "ui/picture_scaler.h"
#include "ui/scaled_pictures.h"
#include "ui/skin_indices.h"
#include "ui/skin_scaling.h"
#include "ui/window_shape.h"

namespace v270 {
namespace {

using platform::PixelPicture;
using platform::PixelRect;
using platform::PixelSize;
using platform::Rgb;

constexpr DisplayScale k120{120};
constexpr DisplayScale k144{144};
constexpr DisplayScale k192{192};

TEST(DisplayScaleTest, LengthsRoundHalvesUpAndStayAsTheyAreAt96Dpi) {
    struct Case {
        DisplayScale scale;
        int32_t skin;
        int32_t screen;
    };
    for (const Case& c :
         {Case{{96}, 7, 7}, Case{{96}, -32768, -32768}, Case{k144, 1, 2}, Case{k144, 2, 3},
          Case{k144, 15, 23}, Case{k144, -1, -1}, Case{k144, -3, -4}, Case{k192, 780, 1560},
          Case{k120, 4, 5}, Case{k120, 6, 8}, Case{{72}, 2, 2}, Case{{960}, 32767, 327670}}) {
        EXPECT_EQ(c.scale.px(c.skin), c.screen) << c.scale.dpi << " " << c.skin;
    }
    EXPECT_EQ(DisplayScale::fromDpi(0), DisplayScale{});
    EXPECT_EQ(DisplayScale::fromDpi(5000), DisplayScale{});
    EXPECT_EQ(DisplayScale::fromDpi(144), k144);
}

TEST(DisplayScaleTest, ScaledTablesKeepTouchingEntriesTouchingAndTheirTexts) {
    SkinTables tables;
    tables.mainItems[4] = {3, 5, 7, 9, u"PROFILE 1"};
    tables.mainItems[5] = {10, 5, 7, 9, u"PROFILE 2"};  // touches entry 4 on the right
    tables.stepListRect = {1, 1, 4, 4};
    tables.functionNames[0] = u"Left Click";
    EXPECT_EQ(scaledTables(tables, {}).mainItems, tables.mainItems);

    const SkinTables scaled = scaledTables(tables, k144);
    const SkinItem& first = scaled.mainItems[4];
    const SkinItem& second = scaled.mainItems[5];
    EXPECT_EQ(first.area(), (PixelRect{5, 8, 15, 21}));
    EXPECT_EQ(first.area().right, second.area().left);
    EXPECT_EQ(second.label, u"PROFILE 2");
    EXPECT_EQ(scaled.stepListRect, (PixelRect{2, 2, 6, 6}));
    EXPECT_EQ(scaled.functionNames[0], u"Left Click");
    // A point hits a scaled entry where its skin point hits the original.
    EXPECT_TRUE(first.contains(14, 20));
    EXPECT_FALSE(first.contains(15, 20));
}

TEST(DisplayScaleTest, TheWindowShapeCoversEachMaskPixelsScaledArea) {
    PixelPicture mask({3, 2}, Rgb{});
    mask.set(1, 0, {255, 255, 255});  // cut out
    const WindowShape shape = buildWindowShape(&mask, SkinTables{}, k144);
    EXPECT_EQ(shape.size, (PixelSize{5, 3}));
    // Mask pixel (1, 0) covers screen columns 2..2 and row 0..1 at 1.5 times.
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            const bool cut = x == 2 && y < 2;
            EXPECT_EQ(shape.windowRegion.contains(x, y), !cut) << x << "," << y;
        }
    }
    // Shrunk, the one-pixel gap closes: the row is whole again.
    PixelPicture wide({4, 1}, Rgb{});
    wide.set(1, 0, {255, 255, 255});
    EXPECT_EQ(maskRegion(wide, DisplayScale{48}), SpanRegion::fromRect({0, 0, 2, 1}));
}

TEST(DisplayScaleTest, ResamplingKeepsFlatAreasFlatAndEdgesInPlace) {
    PixelPicture halves({8, 4}, Rgb{10, 20, 30});
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 4; x < 8; ++x)
            halves.set(x, y, {250, 240, 230});
    }
    const PixelPicture flat({5, 3}, Rgb{10, 20, 30});
    for (const PixelSize size : {PixelSize{16, 8}, PixelSize{12, 6}, PixelSize{4, 2}}) {
        const auto scaled = resamplePicture(halves, size);
        ASSERT_EQ(scaled->size(), size);
        const int32_t edge = size.width / 2;
        for (int32_t y = 0; y < size.height; ++y) {
            // The edge stays between the same two pixels: each side keeps its colour's half.
            EXPECT_LT(scaled->at(edge - 1, y).red, 130);
            EXPECT_GT(scaled->at(edge, y).red, 130);
        }
        const auto same = resamplePicture(flat, size);
        for (int32_t y = 0; y < size.height; ++y) {
            for (int32_t x = 0; x < size.width; ++x)
                EXPECT_EQ(same->at(x, y), (Rgb{10, 20, 30}));
        }
    }
    EXPECT_EQ(resamplePicture(PixelPicture({0, 0}, Rgb{}), {3, 3})->size(), (PixelSize{3, 3}));
}

TEST(DisplayScaleTest, PartsResampledOnTheirOwnEqualTheWholeResampled) {
    auto noisy = std::make_shared<PixelPicture>(PixelSize{37, 23}, Rgb{});
    for (int32_t y = 0; y < 23; ++y) {
        for (int32_t x = 0; x < 37; ++x)
            noisy->set(x, y, {uint8_t(x * 53 + y * 7), uint8_t(x * y * 11), uint8_t(y * 97 ^ x)});
    }
    for (const PixelSize size : {PixelSize{74, 46}, PixelSize{55, 34}, PixelSize{20, 12}}) {
        const auto whole = resamplePicture(*noisy, size);
        const AreaScaledPicture parts(noisy, size);
        // Overlapping areas, one reaching past the edges, then reads of parts of rows that no
        // prepared area holds, then every row.
        for (const PixelRect area : {PixelRect{5, 3, 17, 9}, PixelRect{-4, -4, 3, 3},
                                     PixelRect{10, 5, 90, 11}, PixelRect{0, 0, 0, 5}})
            parts.prepare(area);
        for (const auto& [y, left, right] : {std::tuple{7, 6, 16}, std::tuple{11, 1, 19}})
            EXPECT_TRUE(
                std::ranges::equal(parts.rowPart(y, left, right), whole->rowPart(y, left, right)));
        for (int32_t y = 0; y < size.height; ++y)
            ASSERT_TRUE(std::ranges::equal(parts.row(y), whole->row(y))) << size.width << " " << y;
    }
}

TEST(DisplayScaleTest, PicturesAreResampledOncePerScaleAndPassThroughAt96Dpi) {
    test::FakePictures source({10, 6});
    source.add("main_normal.jpg");
    ScaledPictures pictures(source);
    const auto original = source.picture("main_normal.jpg");
    EXPECT_EQ(pictures.picture("main_normal.jpg"), original);

    pictures.setScale(k192);
    const auto scaled = pictures.picture("main_normal.jpg");
    ASSERT_NE(scaled, nullptr);
    EXPECT_EQ(scaled->size(), (PixelSize{20, 12}));
    EXPECT_EQ(pictures.picture("main_normal.jpg"), scaled);
    EXPECT_EQ(pictures.resampleCount(), 1u);

    source.add("main_normal.jpg");  // the file changed: its source hands out a new picture
    EXPECT_NE(pictures.picture("main_normal.jpg"), scaled);
    pictures.setScale(k144);
    EXPECT_EQ(pictures.picture("main_normal.jpg")->size(), (PixelSize{15, 9}));
    EXPECT_EQ(pictures.resampleCount(), 3u);
    source.remove("main_normal.jpg");
    EXPECT_EQ(pictures.picture("main_normal.jpg"), nullptr);
}

TEST(DisplayScaleTest, FramesMenusAndPopupsScaleTheirOwnLengths) {
    // A button's function name starts 5 skin pixels into its entry.
    SkinTables tables;
    tables.mainItems[main_item::kFirstButtonLabel] = {100, 40, 200, 30, {}};
    tables.functionNames[0] = u"Left Click";
    test::FakePictures pictures;
    const SkinTables scaled = scaledTables(tables, k192);
    FramePainter painter(scaled, pictures, "skins");
    FrameState state;
    state.scale = k192;
    state.profile.buttonFunction = {1, 1, 1, 1, 1, 1};
    test::RecordingCanvas canvas;
    painter.PaintFrame(state, canvas);
    const test::RecordedText* name = canvas.findText(u"Left Click");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->x, 210);

    EXPECT_EQ(measureMenuItem({u"Delete", 1}, k144), (PixelSize{72, 30}));
    EXPECT_EQ(measureMenuItem({u"", kSeparatorId}, k192), (PixelSize{0, 2}));
    EXPECT_EQ(mainMenuGeometry({168, 261}).scaled(k144), (MenuGeometry{252, 39, kMainMenuRows}));
}

}  // namespace
}  // namespace v270
