// The skin's Windows paths under Wine: GDI+ decoding, the window region from the shipped mask,
// and frames of each page painted into a memory bitmap with GDI.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "platform/pixel_picture.h"
#include "platform/win32/gdi_fonts.h"
#include "platform/win32/gdi_frame_canvas.h"
#include "platform/win32/gdi_region.h"
#include "platform/win32/gdiplus_picture_decoder.h"
#include "settings/ini_files.h"
#include "settings/profile_store.h"
#include "support/recording_message_boxes.h"
#include "ui/frame_painter.h"
#include "ui/packed_picture.h"
#include "ui/picture_source.h"
#include "ui/skin_indices.h"
#include "ui/skin_loader.h"
#include "ui/skin_pictures.h"
#include "ui/skin_scaling.h"
#include "ui/window_shape.h"

namespace v270 {
namespace {

using platform::PixelPicture;
using platform::Rgb;

const std::filesystem::path kSkins = V270_SKIN_DIR;
const std::filesystem::path kPacked = V270_PACKED_PICTURE_DIR;

std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The pictures the program carries packed show what GDI+ shows of their files, to the pixel:
// the first frame looks the same whichever way its pictures came.
TEST(PackedPicturesWin32Test, EqualWhatGdiplusDecodes) {
    win32::GdiplusPictureDecoder decoder;
    for (const std::string_view name : skin_picture::kPackedPictures) {
        std::filesystem::path packedFile = kPacked / name;
        packedFile.replace_extension(".pix");
        const std::string packed = bytesOf(packedFile);
        const auto decoded = decoder.load(kSkins / name);
        ASSERT_TRUE(decoded) << name;
        const platform::PixelSize size = decoded->size();
        std::vector<uint32_t> pixels(static_cast<size_t>(size.width * size.height));
        ASSERT_TRUE(unpackPicture(std::as_bytes(std::span(packed.data(), packed.size())), pixels))
            << name;
        for (int32_t y = 0; y < size.height; ++y) {
            const auto row = decoded->row(y);
            ASSERT_TRUE(std::equal(row.begin(), row.end(), pixels.begin() + y * size.width))
                << name << " row " << y;
        }
    }
}

win32::UniqueRegion spanRegionOf(const platform::Picture& mask) {
    return win32::regionFromRects(maskRegion(mask).rects());
}

TEST(SkinRegionWin32Test, SpansEqualThePerPixelCombineOnSmallMasks) {
    std::vector<PixelPicture> masks;
    masks.emplace_back(platform::PixelSize{12, 9}, Rgb{0, 0, 0});
    std::mt19937 random(7);
    for (int percent : {10, 50, 90}) {
        PixelPicture mask({23, 17}, Rgb{0, 0, 0});
        for (int32_t y = 0; y < 17; ++y) {
            for (int32_t x = 0; x < 23; ++x) {
                if (static_cast<int>(random() % 100) < percent)
                    mask.set(x, y, Rgb{255, 255, 255});
            }
        }
        masks.push_back(mask);
    }
    PixelPicture edge({5, 3}, Rgb{0, 0, 0});
    edge.set(0, 0, Rgb{101, 101, 101});
    edge.set(1, 0, Rgb{100, 255, 255});
    masks.push_back(edge);
    for (const PixelPicture& mask : masks) {
        const win32::UniqueRegion spans = spanRegionOf(mask);
        const win32::UniqueRegion pixels = win32::regionPerPixel(mask, isCutOut);
        ASSERT_TRUE(spans && pixels);
        EXPECT_TRUE(EqualRgn(spans.get(), pixels.get()));
    }
    EXPECT_FALSE(PtInRegion(spanRegionOf(edge).get(), 0, 0));
    EXPECT_TRUE(PtInRegion(spanRegionOf(edge).get(), 1, 0));
}

TEST(SkinRegionWin32Test, AnAllWhiteMaskGivesAnEmptyRegion) {
    const PixelPicture white({16, 10}, Rgb{255, 255, 255});
    RECT box{};
    EXPECT_EQ(GetRgnBox(spanRegionOf(white).get(), &box), NULLREGION);
    EXPECT_EQ(GetRgnBox(win32::regionPerPixel(white, isCutOut).get(), &box), NULLREGION);
}

TEST(SkinRegionWin32Test, TheShippedMaskShapesTheWindow) {
    win32::GdiplusPictureDecoder decoder;
    const auto mask = decoder.load(kSkins / skin_picture::kMask);
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->size(), (platform::PixelSize{780, 560}));
    const SpanRegion shape = maskRegion(*mask);
    const win32::UniqueRegion region = win32::regionFromRects(shape.rects());
    ASSERT_TRUE(region);
    RECT box{};
    EXPECT_EQ(GetRgnBox(region.get(), &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 780);
    for (const auto& [x, y] : {std::pair{0, 0},
                               {779, 0},
                               {0, 559},
                               {779, 559},
                               {390, 280},
                               {100, 100},
                               {390, 555},
                               {100, 555}}) {
        EXPECT_EQ(PtInRegion(region.get(), x, y) != FALSE, shape.contains(x, y)) << x << "," << y;
    }

    // Its bands, as GetRegionData gives them back, are the spans' rectangles.
    const DWORD bytes = GetRegionData(region.get(), 0, nullptr);
    std::vector<std::byte> data(bytes);
    ASSERT_EQ(GetRegionData(region.get(), bytes, reinterpret_cast<RGNDATA*>(data.data())), bytes);
    EXPECT_EQ(reinterpret_cast<const RGNDATA*>(data.data())->rdh.nCount, shape.rects().size());
}

TEST(SkinRegionWin32Test, TheShippedMasksSpansEqualItsPerPixelRegion) {
    win32::GdiplusPictureDecoder decoder;
    const auto mask = decoder.load(kSkins / skin_picture::kMask);
    ASSERT_NE(mask, nullptr);
    const win32::UniqueRegion spans = spanRegionOf(*mask);
    const win32::UniqueRegion pixels = win32::regionPerPixel(*mask, isCutOut);
    EXPECT_TRUE(EqualRgn(spans.get(), pixels.get()));
}

TEST(SkinFontsWin32Test, FontsAreCreatedWithTheirCells) {
    const win32::GdiFonts fonts;
    ASSERT_NE(fonts.englishFont(), nullptr);
    ASSERT_NE(fonts.chineseFont(), nullptr);
    LOGFONTW english{};
    ASSERT_NE(GetObjectW(fonts.englishFont(), sizeof(english), &english), 0);
    EXPECT_EQ(english.lfHeight, 15);
    EXPECT_EQ(english.lfWidth, 7);
    EXPECT_EQ(english.lfOutPrecision, OUT_STRING_PRECIS);
    EXPECT_EQ(english.lfClipPrecision, CLIP_CHARACTER_PRECIS);
    EXPECT_EQ(english.lfPitchAndFamily, FIXED_PITCH | FF_ROMAN);
    EXPECT_EQ(std::wstring(english.lfFaceName), L"Consolas");
    LOGFONTW chinese{};
    ASSERT_NE(GetObjectW(fonts.chineseFont(), sizeof(chinese), &chinese), 0);
    EXPECT_EQ(chinese.lfHeight, 12);
    EXPECT_EQ(chinese.lfWidth, 6);
    EXPECT_EQ(chinese.lfPitchAndFamily, DEFAULT_PITCH | FF_SWISS);
    EXPECT_EQ(chinese.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(std::wstring(chinese.lfFaceName), L"\u5B8B\u4F53");

    win32::GdiFrameCanvas canvas({100, 40}, fonts);
    EXPECT_EQ(canvas.measureText(u"ABCDE", platform::FontChoice::English).height, 15);
    EXPECT_GT(canvas.measureText(u"ABCDE", platform::FontChoice::English).width, 0);
}

class SkinFrameWin32Test : public testing::Test {
  protected:
    SkinFrameWin32Test() {
        settings.setEnglishUi(1);
        loader.LoadMainSkin();
        loader.LoadColourSkin();
        loader.LoadAdvancedSkin();
        loader.LoadWarningSkin();
        state.profile = builtInDefaultProfile(0);
        state.banner = {false, 6, true};
    }

    IniFiles files;
    test::RecordingMessageBoxes messages;
    ProfileStore settings{files, "config.ini"};
    SkinTables tables;
    SkinLoader loader{files, messages, kSkins, settings, tables};
    win32::GdiplusPictureDecoder decoder;
    PictureCache pictures{decoder};
    FramePainter painter{tables, pictures, kSkins};
    win32::GdiFonts fonts;
    FrameState state;
};

TEST_F(SkinFrameWin32Test, PaintsEachPageIntoAMemoryBitmap) {
    ASSERT_TRUE(messages.shown().empty());
    const auto mask = decoder.load(kSkins / skin_picture::kMask);
    ASSERT_NE(mask, nullptr);
    const platform::PixelSize size = mask->size();

    // The window's frames go to a bitmap compatible with the screen, as to the window's DC.
    const HDC screen = GetDC(nullptr);
    win32::UniqueMemoryDc target(CreateCompatibleDC(screen));
    win32::UniqueBitmap bitmap(CreateCompatibleBitmap(screen, size.width, size.height));
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(target && bitmap);
    const win32::ScopedSelection selected(target.get(), bitmap.get());

    struct PageCase {
        Page page;
        int32_t mainHover;
        int32_t advancedHover;
        int32_t colourHover;
    };
    for (const PageCase& c :
         {PageCase{PAGE_MAIN, 26, NO_HIT, NO_HIT}, PageCase{PAGE_ADVANCED, NO_HIT, 2, NO_HIT},
          PageCase{PAGE_COLOUR, NO_HIT, NO_HIT, 1}}) {
        FrameState frame = state;
        frame.currentPage = c.page;
        frame.mainHover = c.mainHover;
        frame.advancedHover = c.advancedHover;
        frame.colourHover = c.colourHover;
        win32::GdiFrameCanvas canvas(size, fonts);
        ASSERT_TRUE(canvas);
        painter.PaintFrame(frame, canvas);

        const skin_picture::PagePictures names = skin_picture::pagePictures(c.page);
        const auto normal = decoder.load(kSkins / names.normal);
        const auto over = decoder.load(kSkins / names.over);
        ASSERT_TRUE(normal && over);
        // Away from every entry, the frame is the normal picture.
        EXPECT_EQ(canvas.pixel(4, 300), platform::unpackRgb(normal->row(300)[4]));
        // The hovered entry comes from the over picture, away from its label.
        const SkinItem& hovered = c.page == PAGE_MAIN       ? tables.mainItems[26]
                                  : c.page == PAGE_ADVANCED ? tables.advancedItems[2]
                                                            : tables.colourItems[1];
        const int32_t x = hovered.x + 2;
        const int32_t y = hovered.y + hovered.height / 2;
        EXPECT_EQ(canvas.pixel(x, y), platform::unpackRgb(over->row(y)[static_cast<size_t>(x)]));
        // The banner's text is written over the normal picture.
        const SkinItem& banner = tables.mainItems[main_item::kBanner];
        int changed = 0;
        for (int32_t by = banner.y; by < banner.y + banner.height; ++by) {
            for (int32_t bx = banner.x; bx < banner.x + banner.width; ++bx) {
                changed += canvas.pixel(bx, by) !=
                           platform::unpackRgb(normal->row(by)[static_cast<size_t>(bx)]);
            }
        }
        EXPECT_GT(changed, 50) << "page " << int{c.page};

        canvas.present(target.get());
        const COLORREF shown = GetPixel(target.get(), 4, 300);
        const Rgb expected = platform::unpackRgb(normal->row(300)[4]);
        EXPECT_EQ(GetRValue(shown), expected.red);
        EXPECT_EQ(GetGValue(shown), expected.green);
        EXPECT_EQ(GetBValue(shown), expected.blue);
    }
    EXPECT_EQ(pictures.decodeCount(), 3u * 3u + 2u)
        << "each page's three pictures, the knob and the blue preview, decoded once";
}

// A first frame drawn straight onto the window's context is the frame a back buffer shows: at
// 96 DPI, with the decoded pictures copied by GDI, and at 150 %, with resampled pictures copied
// from memory a band at a time.
TEST_F(SkinFrameWin32Test, AFrameDrawnStraightOntoTheWindowIsTheBackBuffersFrame) {
    const auto mask = decoder.load(kSkins / skin_picture::kMask);
    ASSERT_NE(mask, nullptr);
    const HDC screen = GetDC(nullptr);
    for (const DisplayScale scale : {DisplayScale{96}, DisplayScale{144}}) {
        const SkinTables scaled = scaledTables(tables, scale);
        FramePainter scaledPainter{scaled, pictures, kSkins};
        FrameState frame = state;
        frame.scale = scale;
        frame.mainHover = 26;
        const platform::PixelSize size = scale.size(mask->size());
        std::vector<uint32_t> shown[2];
        for (const bool straight : {false, true}) {
            win32::UniqueMemoryDc target(CreateCompatibleDC(screen));
            win32::UniqueBitmap bitmap(CreateCompatibleBitmap(screen, size.width, size.height));
            ASSERT_TRUE(target && bitmap);
            {
                const win32::ScopedSelection selected(target.get(), bitmap.get());
                if (straight) {
                    win32::GdiFrameCanvas canvas(target.get(), size, fonts);
                    scaledPainter.PaintFrame(frame, canvas);
                } else {
                    win32::GdiFrameCanvas canvas(size, fonts);
                    scaledPainter.PaintFrame(frame, canvas);
                    canvas.present(target.get());
                }
            }
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            info.bmiHeader.biWidth = size.width;
            info.bmiHeader.biHeight = -size.height;  // top-down rows
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            std::vector<uint32_t>& pixels = shown[straight ? 1 : 0];
            pixels.resize(static_cast<size_t>(size.width) * static_cast<size_t>(size.height));
            ASSERT_EQ(GetDIBits(target.get(), bitmap.get(), 0, static_cast<UINT>(size.height),
                                pixels.data(), &info, DIB_RGB_COLORS),
                      size.height);
        }
        EXPECT_TRUE(shown[0] == shown[1]) << scale.dpi << " DPI";
    }
    ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace v270
