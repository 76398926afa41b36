#include <gtest/gtest.h>

#include "platform/native/cairo_frame_canvas.h"
#include "platform/native/jpeg_picture_decoder.h"
#include "platform/pixel_picture.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

using platform::Rgb;

TEST(JpegPictureDecoderTest, DecodesTheShippedMaskAndRefusesWhatIsNoJpeg) {
    platform::JpegPictureDecoder decoder;
    const auto mask = decoder.load(std::filesystem::path(V270_SOURCE_DIR) / "skins/main_mask.jpg");
    ASSERT_NE(mask, nullptr);
    EXPECT_GT(mask->size().width, 0);
    EXPECT_EQ(mask->row(0).size(), static_cast<size_t>(mask->size().width));
    EXPECT_EQ(mask->row(0)[0] & 0xFF000000u, 0u) << "pixels are 0x00RRGGBB";
    EXPECT_GT(platform::unpackRgb(mask->row(0)[0]).red, 200) << "the cut-out corner is white";

    test::TempFolder folder;
    EXPECT_EQ(decoder.load(folder / "missing.jpg"), nullptr);
    test::writeFile(folder / "text.jpg", "not a picture at all");
    EXPECT_EQ(decoder.load(folder / "text.jpg"), nullptr);
    test::writeFile(folder / "empty.jpg", "");
    EXPECT_EQ(decoder.load(folder / "empty.jpg"), nullptr);
    // A JPEG cut short after its start of image marker.
    test::writeFile(folder / "short.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10));
    EXPECT_EQ(decoder.load(folder / "short.jpg"), nullptr);
}

TEST(CairoFrameCanvasTest, CopiesArePlacedAndClipped) {
    platform::CairoFrameCanvas canvas({10, 8});
    EXPECT_EQ(canvas.pixel(0, 0), (Rgb{0, 0, 0})) << "a new frame is black";
    platform::PixelPicture picture({4, 4}, Rgb{10, 20, 30});
    picture.set(3, 3, Rgb{200, 100, 50});
    canvas.copy(picture, {2, 2, 4, 4}, 5, 5);
    EXPECT_EQ(canvas.pixel(5, 5), (Rgb{10, 20, 30}));
    EXPECT_EQ(canvas.pixel(6, 6), (Rgb{200, 100, 50}));
    EXPECT_EQ(canvas.pixel(7, 7), (Rgb{0, 0, 0}));
    EXPECT_EQ(canvas.pixel(4, 5), (Rgb{0, 0, 0}));

    // Parts outside the picture or the canvas are left out, on every side.
    canvas.copy(picture, {-3, -3, 10, 10}, 4, 2);  // picture (0, 0) lands on (7, 5)
    EXPECT_EQ(canvas.pixel(9, 7), (Rgb{10, 20, 30}));
    EXPECT_EQ(canvas.pixel(9, 4), (Rgb{0, 0, 0}));
    EXPECT_EQ(canvas.pixel(6, 6), (Rgb{200, 100, 50})) << "left of the copy, unchanged";
    canvas.copy(picture, {0, 0, 4, 4}, -2, -3);
    EXPECT_EQ(canvas.pixel(1, 0), (Rgb{200, 100, 50}));
    EXPECT_EQ(canvas.pixel(2, 0), (Rgb{0, 0, 0}));
    canvas.copy(picture, {0, 0, 4, 4}, 100, 100);
    canvas.copy(picture, {3, 3, 1, 1}, 0, 0);
}

TEST(CairoFrameCanvasTest, TextHasTheFontsCellsAndIsDrawn) {
    platform::CairoFrameCanvas canvas({200, 40});
    const auto english = canvas.measureText(u"ABCDE", platform::FontChoice::English);
    EXPECT_EQ(english.height, 15);
    EXPECT_NEAR(english.width, 35, 1) << "7 pixels a character";
    const auto chinese = canvas.measureText(u"配置", platform::FontChoice::Chinese);
    EXPECT_EQ(chinese.height, 12);
    EXPECT_NEAR(chinese.width, 24, 1) << "12 pixels an ideograph";
    EXPECT_EQ(canvas.measureText(u"", platform::FontChoice::English).width, 0);

    canvas.drawText(u"WWWW", 2, 2, platform::FontChoice::English, Rgb{255, 255, 0});
    int lit = 0;
    for (int32_t y = 2; y < 17; ++y) {
        for (int32_t x = 2; x < 30; ++x)
            lit += canvas.pixel(x, y).red > 128 ? 1 : 0;
    }
    EXPECT_GT(lit, 20);
    EXPECT_EQ(canvas.pixel(100, 30), (Rgb{0, 0, 0}));

    test::TempFolder folder;
    canvas.cutOut([](int32_t x, int32_t) { return x > 100; });
    EXPECT_TRUE(canvas.writePng(folder / "frame.png"));
    EXPECT_GT(std::filesystem::file_size(folder / "frame.png"), 0u);
}

}  // namespace
}  // namespace v270

// fontconfig keeps its caches until the process ends; they are not leaks of these tests.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
