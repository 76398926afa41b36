// The skin and settings files that ship beside the program, as the committed files hold them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/native/cairo_frame_canvas.h"
#include "platform/native/jpeg_picture_decoder.h"
#include "settings/ini_files.h"
#include "settings/macro_store.h"
#include "settings/profile_store.h"
#include "settings/text.h"
#include "support/recording_message_boxes.h"
#include "ui/frame_painter.h"
#include "ui/packed_picture.h"
#include "ui/skin_indices.h"
#include "ui/skin_loader.h"
#include "ui/skin_pictures.h"
#include "ui/skin_scaling.h"
#include "ui/window_shape.h"

namespace v270 {
namespace {

const std::filesystem::path kSource = V270_SOURCE_DIR;
const std::filesystem::path kSkins = kSource / "skins";
const std::filesystem::path kData = kSource / "data";

std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The skin as the program loads it, in one language.
struct LoadedSkin {
    explicit LoadedSkin(bool english) {
        settings.setEnglishUi(english ? 1 : 0);
        found = loader.LoadMainSkin() && loader.LoadColourSkin() && loader.LoadAdvancedSkin() &&
                loader.LoadWarningSkin();
    }
    IniFiles files;
    test::RecordingMessageBoxes messages;
    bool found = false;
    ProfileStore settings{files, kData / "config.ini"};
    SkinTables tables;
    SkinLoader loader{files, messages, kSkins, settings, tables};
};

bool overlap(const platform::PixelRect& a, const platform::PixelRect& b) {
    return !a.empty() && !b.empty() && a.left < b.right && b.left < a.right && a.top < b.bottom &&
           b.top < a.bottom;
}

bool inside(const SpanRegion& region, const platform::PixelRect& rect) {
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        for (int32_t x = rect.left; x < rect.right; ++x) {
            if (!region.contains(x, y))
                return false;
        }
    }
    return true;
}

class ShippedSkinTest : public testing::TestWithParam<bool> {
  protected:
    static void SetUpTestSuite() {
        platform::JpegPictureDecoder decoder;
        mask_ = decoder.load(kSkins / skin_picture::kMask);
    }
    static void TearDownTestSuite() { mask_.reset(); }

    LoadedSkin skin{GetParam()};
    static std::shared_ptr<const platform::Picture> mask_;
};
std::shared_ptr<const platform::Picture> ShippedSkinTest::mask_;

// The program's resources carry these pictures packed; packed from other bytes (stale), they
// would never be used, and a start would decode JPEG again. (Their pixels are GDI+'s, which the
// Windows build's skin test compares.)
TEST(ShippedPackedPictures, BelongToTheShippedFilesAndUnpack) {
    platform::JpegPictureDecoder decoder;
    for (const std::string_view name : skin_picture::kPackedPictures) {
        std::filesystem::path packedFile = kSource / skin_picture::kPackedFolder / name;
        packedFile.replace_extension(".pix");
        const std::string packed = bytesOf(packedFile);
        const std::string source = bytesOf(kSkins / name);
        const auto bytes = [](const std::string& text) {
            return std::as_bytes(std::span(text.data(), text.size()));
        };
        const std::optional<platform::PixelSize> size =
            packedPictureSize(bytes(packed), bytes(source));
        const auto picture = decoder.load(kSkins / name);
        ASSERT_TRUE(size && picture) << name;
        EXPECT_EQ(*size, picture->size()) << name;
        std::vector<uint32_t> pixels(static_cast<size_t>(size->width * size->height));
        EXPECT_TRUE(unpackPicture(bytes(packed), pixels)) << name;
    }
}

TEST_P(ShippedSkinTest, EveryLayoutFileLoadsWithoutAMessage) {
    EXPECT_TRUE(skin.messages.shown().empty());
    EXPECT_TRUE(skin.found);
    // And every value is a well-formed seven-field record.
    for (const auto file : {SkinLoader::LayoutFile::Main, SkinLoader::LayoutFile::Colour,
                            SkinLoader::LayoutFile::Advanced, SkinLoader::LayoutFile::Warning}) {
        const auto path = skin.loader.layoutPath(file, GetParam());
        const IniDocument document = skin.files.load(path);
        for (int32_t key = 0; key < 100; ++key) {
            const std::u16string value = document.read(u"BUTTONPOS", formatInt(key), 260);
            if (!value.empty()) {
                EXPECT_EQ(commaCount(value), 6u) << path << " " << key;
            }
        }
    }
}

TEST_P(ShippedSkinTest, FilesAreInTheEncodingTheirLanguageNeeds) {
    for (const auto file : {SkinLoader::LayoutFile::Main, SkinLoader::LayoutFile::Colour,
                            SkinLoader::LayoutFile::Advanced, SkinLoader::LayoutFile::Warning}) {
        const std::string bytes = bytesOf(skin.loader.layoutPath(file, GetParam()));
        ASSERT_FALSE(bytes.empty());
        if (GetParam()) {
            // The Windows profile functions read a file without a byte order mark as ANSI.
            EXPECT_TRUE(std::ranges::all_of(bytes, [](char c) { return (c & 0x80) == 0; }));
        } else {
            EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
        }
    }
}

TEST_P(ShippedSkinTest, EveryFunctionCodeHasAName) {
    for (size_t k = 0; k < kFunctionNameCount; ++k) {
        EXPECT_FALSE(skin.tables.functionNames[k].empty()) << "code " << k + 1;
    }
}

TEST_P(ShippedSkinTest, EveryEntryLiesInsideTheWindowShape) {
    ASSERT_NE(mask_, nullptr);
    const WindowShape shape = buildWindowShape(mask_.get(), skin.tables);
    const auto check = [&](std::span<const SkinItem> table, const char* name) {
        for (size_t i = 0; i < table.size(); ++i) {
            EXPECT_TRUE(inside(shape.windowRegion, table[i].area())) << name << " " << i;
        }
    };
    check(skin.tables.mainItems, "main");
    check(skin.tables.advancedItems, "advanced");
    check(skin.tables.colourItems, "colour");
    for (const auto& rect : {skin.tables.repeatEditRect, skin.tables.nameEditRect,
                             skin.tables.macroListRect, skin.tables.stepListRect}) {
        EXPECT_FALSE(rect.empty());
        EXPECT_TRUE(inside(shape.windowRegion, rect));
    }
    // The advanced page's repaints leave out the name edit and both lists.
    for (const auto& rect :
         {skin.tables.nameEditRect, skin.tables.macroListRect, skin.tables.stepListRect}) {
        for (int32_t y = rect.top; y < rect.bottom; ++y) {
            for (int32_t x = rect.left; x < rect.right; ++x) {
                ASSERT_FALSE(shape.advancedRedrawRegion.contains(x, y)) << x << "," << y;
            }
        }
    }
}

TEST_P(ShippedSkinTest, EntriesHitTestedTogetherDoNotOverlap) {
    const auto& t = skin.tables;
    const auto pairwise = [](std::span<const SkinItem> a, int32_t lastA,
                             std::span<const SkinItem> b, int32_t lastB, bool same,
                             const char* what) {
        for (int32_t i = 0; i <= lastA; ++i) {
            for (int32_t j = same ? i + 1 : 0; j <= lastB; ++j) {
                EXPECT_FALSE(
                    overlap(a[static_cast<size_t>(i)].area(), b[static_cast<size_t>(j)].area()))
                    << what << " " << i << " and " << j;
            }
        }
    };
    pairwise(t.mainItems, main_item::kLastHitOnMainPage, t.mainItems, main_item::kLastHitOnMainPage,
             true, "main");
    pairwise(t.advancedItems, advanced_item::kLastHit, t.advancedItems, advanced_item::kLastHit,
             true, "advanced");
    pairwise(t.colourItems, colour_item::kLastHit, t.colourItems, colour_item::kLastHit, true,
             "colour");
    pairwise(t.warningItems, 1, t.warningItems, 1, true, "warning");
    // The common entries are hit-tested on the other pages too, beside the page's own.
    pairwise(t.mainItems, main_item::kLastCommon, t.advancedItems, advanced_item::kLastHit, false,
             "common and advanced");
    pairwise(t.mainItems, main_item::kLastCommon, t.colourItems, colour_item::kLastHit, false,
             "common and colour");
    // The mouse buttons are copied from the over and down pictures on their own.
    const std::span<const SkinItem> mouse =
        std::span<const SkinItem>(t.mainItems).subspan(main_item::kFirstMouseButton);
    pairwise(mouse, 5, mouse, 5, true, "mouse buttons");
    for (const auto& control :
         {t.repeatEditRect, t.nameEditRect, t.macroListRect, t.stepListRect}) {
        for (int32_t j = 0; j <= advanced_item::kLastHit; ++j) {
            EXPECT_FALSE(overlap(control, t.advancedItems[static_cast<size_t>(j)].area())) << j;
        }
    }
}

TEST_P(ShippedSkinTest, EveryRoleHasItsEntry) {
    const auto& t = skin.tables;
    for (int32_t i = 0; i <= main_item::kLastMouseButton; ++i) {
        EXPECT_FALSE(t.mainItems[static_cast<size_t>(i)].area().empty()) << "main " << i;
    }
    for (const auto& item : t.advancedItems)
        EXPECT_FALSE(item.area().empty());
    for (const auto& item : t.colourItems)
        EXPECT_FALSE(item.area().empty());
    for (const auto& item : t.warningItems)
        EXPECT_FALSE(item.area().empty());
    EXPECT_FALSE(t.warningItems[warning_item::kMessage].label.empty());
    // The knob picture covers every DPI value cell it is copied into.
    platform::JpegPictureDecoder decoder;
    const auto knob = decoder.load(kSkins / skin_picture::kDpiKnob);
    ASSERT_NE(knob, nullptr);
    for (int32_t cell = main_item::kFirstDpiCell; cell <= main_item::kLastDpiCell; ++cell) {
        const SkinItem& item = t.mainItems[static_cast<size_t>(cell)];
        EXPECT_LE(item.width, knob->size().width);
        EXPECT_LE(item.height, knob->size().height);
    }
}

// A frame drawn over the last one, where the two differ, shows what a whole frame shows: through
// hover, press, profile, banner, focus and page changes at 96 DPI, and on the main page at 200 %
// in English (the other pages' resampling would cost seconds under the sanitizers).
TEST_P(ShippedSkinTest, FramesDrawnOverTheLastShowWhatWholeFramesShow) {
    using Change = void (*)(FrameState&);
    constexpr Change kChanges[] = {
        [](FrameState&) {},
        [](FrameState& s) { s.mainHover = main_item::kFirstMouseButton; },
        [](FrameState& s) { s.mainHover = main_item::kFirstButtonLabel + 2; },
        [](FrameState& s) { s.buttonPressed = true; },
        [](FrameState& s) { s.buttonPressed = false, s.mainHover = main_item::kFirstProfile + 3; },
        [](FrameState& s) { s.currentConfig = 4, s.profile.dpiLevel = 2; },
        [](FrameState& s) {
            s.mainHover = NO_HIT, s.banner = {false, 6, true};
        },
        [](FrameState& s) { s.banner.startKeyVisible = false; },
        [](FrameState& s) {
            s.focusMark = platform::PixelRect{100, 100, 160, 130};
        },
        [](FrameState& s) { s.focusMark.reset(), s.profile.dpiSetEnabled[1] = 0; },
        [](FrameState& s) { s.currentPage = PAGE_COLOUR, s.colourHover = 3; },
        [](FrameState& s) { s.currentPage = PAGE_ADVANCED, s.recording = true; },
        [](FrameState& s) { s.currentPage = PAGE_MAIN; },
    };
    platform::JpegPictureDecoder decoder;
    constexpr size_t kMainPageChanges = 10;
    for (const DisplayScale scale : {DisplayScale{96}, DisplayScale{192}}) {
        if (!scale.identity() && !GetParam())
            continue;
        const SkinTables tables = scaledTables(skin.tables, scale);
        PictureCache pictures(decoder);
        FramePainter changes(tables, pictures, kSkins);
        FramePainter whole(tables, pictures, kSkins);
        const platform::PixelSize size = scale.size(mask_->size());
        platform::CairoFrameCanvas kept(size, scale.dpi);
        FrameState state;
        state.scale = scale;
        state.english = GetParam();
        state.profile = skin.settings.profile();
        const size_t steps = scale.identity() ? std::size(kChanges) : kMainPageChanges;
        for (size_t step = 0; step < steps; ++step) {
            kChanges[step](state);
            changes.PaintChanges(state, kept);
            platform::CairoFrameCanvas fresh(size, scale.dpi);
            whole.PaintFrame(state, fresh);
            EXPECT_TRUE(kept.pixels() == fresh.pixels()) << scale.dpi << " DPI, step " << step;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, ShippedSkinTest, testing::Values(true, false),
                         [](const auto& test) { return test.param ? "English" : "Chinese"; });

TEST(ShippedPicturesTest, PagePicturesHaveTheMasksSize) {
    platform::JpegPictureDecoder decoder;
    const auto mask = decoder.load(kSkins / skin_picture::kMask);
    ASSERT_NE(mask, nullptr);
    EXPECT_LE(mask->size().width, 800);
    EXPECT_LE(mask->size().height, 640);
    std::vector<std::string_view> names = {skin_picture::kPreviewOff, skin_picture::kPreviewBlue};
    for (const Page page : {PAGE_MAIN, PAGE_ADVANCED, PAGE_COLOUR}) {
        const auto set = skin_picture::pagePictures(page);
        names.insert(names.end(), {set.normal, set.over, set.down});
    }
    for (const std::string_view name : names) {
        const auto picture = decoder.load(kSkins / name);
        ASSERT_NE(picture, nullptr) << name;
        EXPECT_EQ(picture->size(), mask->size()) << name;
    }
    // The mask cuts its corners and keeps its middle.
    const SpanRegion shape = maskRegion(*mask);
    EXPECT_FALSE(shape.contains(0, 0));
    EXPECT_FALSE(shape.contains(mask->size().width - 1, mask->size().height - 1));
    EXPECT_TRUE(shape.contains(mask->size().width / 2, mask->size().height / 2));
}

TEST(ShippedPicturesTest, PopupPicturesFitTheirWindows) {
    platform::JpegPictureDecoder decoder;
    const auto check = [&](std::string_view mask, std::initializer_list<std::string_view> others,
                           int32_t rows) {
        const auto shape = decoder.load(kSkins / mask);
        ASSERT_NE(shape, nullptr) << mask;
        const int32_t rowHeight = shape->size().height / rows;
        EXPECT_GE(rowHeight, 15) << "a row holds a line of text";
        EXPECT_EQ(shape->size().height, rows * rowHeight + 1) << "the window's extra line";
        for (const std::string_view name : others) {
            const auto picture = decoder.load(kSkins / name);
            ASSERT_NE(picture, nullptr) << name;
            EXPECT_EQ(picture->size(), shape->size()) << name;
        }
    };
    check(skin_picture::kMenuMask,
          {skin_picture::kMenuNormal, skin_picture::kMenuOver, skin_picture::kMenuDown}, 10);
    check(skin_picture::kSubMenuMask,
          {skin_picture::kSubMenuNormal, skin_picture::kSubMenuOver, skin_picture::kSubMenuDown},
          12);

    const auto warning = decoder.load(kSkins / skin_picture::kWarningMask);
    ASSERT_NE(warning, nullptr);
    for (const std::string_view name : {skin_picture::kWarningNormal, skin_picture::kWarningOver}) {
        const auto picture = decoder.load(kSkins / name);
        ASSERT_NE(picture, nullptr) << name;
        EXPECT_EQ(picture->size(), warning->size()) << name;
    }
    const SpanRegion shape = maskRegion(*warning);
    for (const bool english : {true, false}) {
        LoadedSkin skin(english);
        for (const SkinItem& item : skin.tables.warningItems) {
            EXPECT_TRUE(inside(shape, item.area())) << english;
        }
    }
}

TEST(ShippedSettingsTest, ConfigHoldsTheStartAndEveryProfile) {
    IniFiles files;
    const IniDocument config = files.load(kData / "config.ini");
    EXPECT_EQ(config.read(u"Init", u"CurConfig", 5), u"1");
    EXPECT_EQ(config.read(u"Init", u"VER_SEL", 5), u"1");
    for (const char16_t* section :
         {u"Config1", u"Config2", u"Config3", u"Config4", u"Config5", u"CfgReset2", u"CfgReset3",
          u"CfgReset4", u"CfgReset5", u"CfgReset_EN5"}) {
        for (const char16_t* key : {u"K1", u"K6", u"DPI_LEVEL", u"DPI_SET_EN4", u"FIRE_TIME"}) {
            EXPECT_FALSE(config.read(section, key, 10).empty())
                << utf16ToUtf8(section) << " " << utf16ToUtf8(key);
        }
    }
    ProfileStore store(files, kData / "config.ini");
    store.readStartupSettings();
    EXPECT_EQ(store.currentConfig(), 1);
    EXPECT_EQ(store.englishUi(), 1);
    EXPECT_EQ(store.profile(), builtInDefaultProfile(0));
}

TEST(ShippedSettingsTest, MacroFilesLoadWithoutAMessage) {
    IniFiles files;
    test::RecordingMessageBoxes messages;
    for (const char* language : {"INI_EN", "INI_CN"}) {
        MacroStore defaults(files, messages);
        defaults.loadMacros(kSkins / language / "defMacro.dat");
        MacroStore beside(files, messages);
        beside.loadMacros(kData /
                          (std::string(language) == "INI_EN" ? "Macro_EN.dat" : "Macro_CN.dat"));
        const MacroTable table = defaults.table();
        EXPECT_GE(table.macroCount, 3);
        for (int i = 0; i < table.macroCount; ++i) {
            const MacroRecord& record = table.macroSlots[static_cast<size_t>(i)];
            EXPECT_FALSE(record.nameText().empty());
            EXPECT_GT(record.stepCount, 0);
            EXPECT_GE(record.repeatCount, 1);
        }
        EXPECT_EQ(beside.table().macroSlots, table.macroSlots) << "a first start has the defaults";
    }
    EXPECT_TRUE(messages.shown().empty());
}

}  // namespace
}  // namespace v270
