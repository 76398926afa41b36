#include "ui/frame_painter.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "recording_canvas.h"
#include "settings/text.h"
#include "ui/skin_indices.h"
#include "ui/ui_text.h"

namespace v270 {
namespace {

using platform::FontChoice;
using platform::PixelRect;
using test::RecordedCopy;
using test::RecordedText;

constexpr char kNormal[] = "main_normal.jpg";
constexpr char kOver[] = "main_over.jpg";
constexpr char kDown[] = "main_down.jpg";
constexpr char kAdvNormal[] = "advanced_normal.jpg";
constexpr char kAdvOver[] = "advanced_over.jpg";
constexpr char kAdvDown[] = "advanced_down.jpg";
constexpr char kColNormal[] = "color_normal_pink.jpg";
constexpr char kColOver[] = "color_over_red.jpg";
constexpr char kColDown[] = "color_down_purple.jpg";
constexpr char kKnob[] = "dpi_slider.jpg";
constexpr char kGray[] = "color_normal_gray.jpg";
constexpr char kBlue[] = "color_over_blue.jpg";

// Every entry of every table at a place of its own, 60 x 30, labelled with its table and index.
SkinTables distinctTables() {
    SkinTables tables;
    const auto place = [](auto& table, int32_t top, const char* prefix) {
        for (size_t i = 0; i < table.size(); ++i) {
            const auto index = static_cast<int32_t>(i);
            table[i] = SkinItem{(index % 10) * 80, top + (index / 10) * 40, 60, 30,
                                asciiToUtf16(prefix + std::to_string(i))};
        }
    };
    place(tables.mainItems, 0, "m");
    place(tables.advancedItems, 1000, "a");
    place(tables.colourItems, 2000, "c");
    for (size_t k = 0; k < tables.functionNames.size(); ++k) {
        tables.functionNames[k] = asciiToUtf16("F" + std::to_string(k + 1));
    }
    return tables;
}

FrameState mainPageState() {
    FrameState state;
    state.profile = builtInDefaultProfile(0);  // dpiSet 1, 2, 4, 0: cells 61, 67, 74, 75
    state.currentConfig = 2;
    state.english = true;
    return state;
}

class FramePainterTest : public testing::Test {
  protected:
    FramePainterTest() {
        for (const char* name : {kNormal, kOver, kDown, kAdvNormal, kAdvOver, kAdvDown, kColNormal,
                                 kColOver, kColDown, kKnob, kGray, kBlue}) {
            pictures.add(name);
        }
    }

    test::RecordingCanvas paint(const FrameState& state) {
        test::RecordingCanvas canvas;
        painter.PaintFrame(state, canvas);
        return canvas;
    }
    RecordedCopy shown(const char* picture, const SkinItem& item) const {
        return {picture, item.area(), item.x, item.y};
    }
    RecordedCopy mainFrom(const char* picture, int32_t i) const {
        return shown(picture, tables.mainItems[static_cast<size_t>(i)]);
    }
    RecordedCopy advancedFrom(const char* picture, int32_t j) const {
        return shown(picture, tables.advancedItems[static_cast<size_t>(j)]);
    }
    RecordedCopy colourFrom(const char* picture, int32_t j) const {
        return shown(picture, tables.colourItems[static_cast<size_t>(j)]);
    }
    RecordedCopy knobAt(int32_t cell) const {
        const SkinItem& item = tables.mainItems[static_cast<size_t>(cell)];
        return {kKnob, {0, 0, item.width, item.height}, item.x, item.y};
    }
    // The place of a centred label in the recording canvas's English font.
    static std::pair<int32_t, int32_t> centred(const SkinItem& item, size_t units) {
        return {item.x + (item.width - static_cast<int32_t>(7 * units)) / 2,
                item.y + (item.height - 15) / 2};
    }

    SkinTables tables = distinctTables();
    test::FakePictures pictures;
    FramePainter painter{tables, pictures, "skins"};
};

TEST_F(FramePainterTest, IdleMainPageShowsOnlyTheSelectedStates) {
    const test::RecordingCanvas canvas = paint(mainPageState());
    const std::vector<RecordedCopy> expected = {
        {kNormal, {0, 0, 800, 600}, 0, 0},
        mainFrom(kDown, 80),  // DPI level 0 is current
        knobAt(61),
        mainFrom(kDown, 46),
        knobAt(67),
        mainFrom(kDown, 47),
        knobAt(74),
        mainFrom(kDown, 48),
        knobAt(75),
        mainFrom(kDown, 49),
        mainFrom(kDown, 41),  // wheelStatus 0
        mainFrom(kDown, 5),   // profile 2
        mainFrom(kDown, 9),   // the main tab
        mainFrom(kDown, 18),  // English
    };
    EXPECT_EQ(canvas.copies, expected);
}

TEST_F(FramePainterTest, MainPageFollowsTheProfile) {
    FrameState state = mainPageState();
    state.profile.dpiLevel = 2;
    state.profile.dpiSetEnabled = {1, 0, 1, 0};
    state.profile.dpiSet = {0, 4, 0, 4};  // cells 60, 69, 70, 79
    state.profile.wheelStatus = 1;
    state.english = false;
    const test::RecordingCanvas canvas = paint(state);
    const std::vector<RecordedCopy> expected = {
        {kNormal, {0, 0, 800, 600}, 0, 0},
        mainFrom(kDown, 82),
        knobAt(60),
        mainFrom(kDown, 46),
        knobAt(69),
        knobAt(70),
        mainFrom(kDown, 48),
        knobAt(79),
        mainFrom(kDown, 42),
        mainFrom(kDown, 5),
        mainFrom(kDown, 9),
        mainFrom(kDown, 17),  // Chinese
    };
    EXPECT_EQ(canvas.copies, expected);
}

TEST_F(FramePainterTest, HoverAndPressTakeTheOverOrDownPicture) {
    FrameState state = mainPageState();
    state.mainHover = 41;
    EXPECT_EQ(paint(state).copies.at(1), mainFrom(kOver, 41));
    state.buttonPressed = true;
    EXPECT_EQ(paint(state).copies.at(1), mainFrom(kDown, 41));
}

TEST_F(FramePainterTest, CommonEntriesFollowTheirFirstRule) {
    FrameState state = mainPageState();
    // The current profile stays down under the pointer; a hovered tab shows over, not down.
    state.mainHover = 5;
    std::vector<RecordedCopy> common = paint(state).copiesFrom(kOver);
    EXPECT_EQ(common, std::vector<RecordedCopy>{mainFrom(kOver, 5)}) << "page layer hover only";

    state.mainHover = 9;
    test::RecordingCanvas canvas = paint(state);
    EXPECT_EQ(canvas.copies.back(), mainFrom(kDown, 18));
    EXPECT_EQ(canvas.copies[canvas.copies.size() - 2], mainFrom(kOver, 9));

    state.mainHover = 12;
    state.buttonPressed = true;
    canvas = paint(state);
    EXPECT_NE(std::ranges::find(canvas.copies, mainFrom(kDown, 12)), canvas.copies.end());
}

TEST_F(FramePainterTest, HoveredMouseButtonWinsOverTheBlinkingStartKey) {
    FrameState state = mainPageState();
    state.banner = {false, 3, true};
    std::vector<RecordedCopy> over = paint(state).copiesFrom(kOver);
    EXPECT_EQ(over, std::vector<RecordedCopy>{mainFrom(kOver, 92)}) << "start key 3, shown";

    state.banner.startKeyVisible = false;
    EXPECT_TRUE(paint(state).copiesFrom(kOver).empty());
    EXPECT_EQ(paint(state).copies.at(11), mainFrom(kDown, 92)) << "start key 3, blank phase";

    state.banner = {false, 5, false};
    state.mainHover = 27;  // mouse button 3's label
    const test::RecordingCanvas canvas = paint(state);
    EXPECT_EQ(canvas.copiesFrom(kOver),
              (std::vector<RecordedCopy>{mainFrom(kOver, 27), mainFrom(kOver, 92)}));
    EXPECT_EQ(std::ranges::find(canvas.copies, mainFrom(kDown, 94)), canvas.copies.end());

    state.banner.driverWorking = true;
    state.mainHover = NO_HIT;
    EXPECT_TRUE(paint(state).copiesFrom(kOver).empty());
}

TEST_F(FramePainterTest, MainPageLabels) {
    FrameState state = mainPageState();
    state.profile.buttonFunction = {1, 43, 0, 53, 47, 40};
    state.profile.dpiSetEnabled = {1, 0, 1, 0};
    state.macroNames = {u"zero", u"one", u"two"};
    state.mainHover = 30;
    const test::RecordingCanvas canvas = paint(state);

    const auto button = [&](int i) { return tables.mainItems[static_cast<size_t>(i)]; };
    // Function names sit 5 pixels in from the entry's left edge, vertically centred.
    const RecordedText* first = canvas.textAt(button(25).x + 5, button(25).y + (30 - 15) / 2);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->text, u"F1");
    EXPECT_EQ(first->colour, text_colour::kWhite);
    ASSERT_NE(canvas.findText(u"two"), nullptr) << "code 43 is macro 2";
    EXPECT_EQ(canvas.findText(u"two")->x, button(26).x + 5);
    // Code 0, code 53 and a macro that does not exist show no name; nothing reads past a table.
    for (int i : {27, 28, 29}) {
        EXPECT_EQ(canvas.textAt(button(i).x + 5, button(i).y + 7), nullptr) << i;
    }
    ASSERT_NE(canvas.findText(u"F40"), nullptr);
    EXPECT_EQ(canvas.findText(u"F40")->colour, text_colour::kGreen) << "hovered";

    // Every other item up to 53 is its centred label; the DPI captions are red or grey.
    for (int i = 0; i < 54; ++i) {
        if (i == 1 || (i >= 25 && i <= 30))
            continue;
        const std::u16string label = asciiToUtf16("m" + std::to_string(i));
        const RecordedText* text = canvas.findText(label);
        ASSERT_NE(text, nullptr) << i;
        const auto [x, y] = centred(button(i), label.size());
        EXPECT_EQ(std::pair(text->x, text->y), std::pair(x, y)) << i;
        EXPECT_EQ(text->font, FontChoice::English);
        const platform::Rgb colour = i == 50 || i == 52   ? text_colour::kRed
                                     : i == 51 || i == 53 ? text_colour::kGrey
                                                          : text_colour::kWhite;
        EXPECT_EQ(text->colour, colour) << i;
    }
    EXPECT_EQ(canvas.findText(u"m54"), nullptr) << "54 items on the main page";
}

TEST_F(FramePainterTest, BannerIsTheYellowLabelOfEntryOne) {
    FrameState state = mainPageState();
    state.banner = {false, 3, true};
    test::RecordingCanvas canvas = paint(state);
    const std::u16string prompt = u"Configuration done,click key [3] to start driver";
    const RecordedText* banner = canvas.findText(prompt);
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->colour, text_colour::kYellow);
    EXPECT_EQ(std::pair(banner->x, banner->y), centred(tables.mainItems[1], prompt.size()));
    EXPECT_EQ(canvas.findText(u"m1"), nullptr);

    state.english = false;
    state.banner.startKeyVisible = false;
    canvas = paint(state);
    banner = canvas.findText(u"配置完成，请点击鼠标第[ ]键运行驱动");
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->font, FontChoice::Chinese);
}

TEST_F(FramePainterTest, AdvancedPageLayers) {
    FrameState state = mainPageState();
    state.currentPage = PAGE_ADVANCED;
    state.profile.dpiSpeed = 4;
    state.profile.wheelSpeed = 9;
    state.profile.macroMode2 = 1;
    state.currentMacroRepeats = true;
    state.recording = true;
    state.advancedHover = 31;
    state.mainHover = 11;
    tables.advancedItems[30].width = 201;
    state.profile.fireTime = 150;
    const test::RecordingCanvas canvas = paint(state);
    const SkinItem& bar = tables.advancedItems[30];
    const std::vector<RecordedCopy> expected = {
        {kAdvNormal, {0, 0, 800, 600}, 0, 0},
        advancedFrom(kAdvOver, 31),
        advancedFrom(kAdvDown, 4),
        advancedFrom(kAdvDown, 12),
        advancedFrom(kAdvDown, 27),
        {kAdvDown, {bar.x, bar.y, bar.x + 100, bar.y + 30}, bar.x, bar.y},
        advancedFrom(kAdvDown, 7),
        advancedFrom(kAdvDown, 6),
        mainFrom(kAdvDown, 5),
        mainFrom(kAdvDown, 10),  // the advanced tab
        mainFrom(kAdvOver, 11),
        mainFrom(kAdvDown, 18),
    };
    EXPECT_EQ(canvas.copies, expected);
}

TEST_F(FramePainterTest, FireBarSpansItsShareOfTheEntry) {
    FrameState state = mainPageState();
    state.currentPage = PAGE_ADVANCED;
    tables.advancedItems[30].width = 201;
    const SkinItem& bar = tables.advancedItems[30];
    const auto barCopies = [&](int32_t fireTime) {
        state.profile.fireTime = fireTime;
        std::vector<RecordedCopy> found;
        for (const RecordedCopy& c : paint(state).copiesFrom(kAdvDown)) {
            if (c.destX == bar.x && c.destY == bar.y)
                found.push_back(c);
        }
        return found;
    };
    EXPECT_TRUE(barCopies(0).empty()) << "no bar at 0";
    EXPECT_EQ(barCopies(150),
              std::vector<RecordedCopy>(
                  {{kAdvDown, {bar.x, bar.y, bar.x + 100, bar.y + 30}, bar.x, bar.y}}));
    EXPECT_EQ(barCopies(300), std::vector<RecordedCopy>({advancedFrom(kAdvDown, 30)}));
}

TEST_F(FramePainterTest, AdvancedPageLabels) {
    FrameState state = mainPageState();
    state.currentPage = PAGE_ADVANCED;
    state.profile.fireTime = 150;
    state.pressCount = 12;
    state.releaseCount = 11;
    state.advancedHover = 5;
    test::RecordingCanvas canvas = paint(state);

    for (int i = 20; i < 54; ++i) {
        EXPECT_EQ(canvas.findText(asciiToUtf16("m" + std::to_string(i))), nullptr) << i;
    }
    ASSERT_NE(canvas.findText(u"m0"), nullptr) << "the common labels stay";
    ASSERT_NE(canvas.findText(u"Record"), nullptr);
    EXPECT_EQ(std::pair(canvas.findText(u"Record")->x, canvas.findText(u"Record")->y),
              centred(tables.advancedItems[4], 6));
    ASSERT_NE(canvas.findText(u"[↓]12"), nullptr);
    ASSERT_NE(canvas.findText(u"[↑]11"), nullptr);
    ASSERT_NE(canvas.findText(u"150ms"), nullptr);
    EXPECT_EQ(canvas.findText(u"a4"), nullptr);
    EXPECT_EQ(canvas.findText(u"a33"), nullptr);
    ASSERT_NE(canvas.findText(u"a45"), nullptr) << "all 46 entries are labelled";
    EXPECT_EQ(canvas.findText(u"a5")->colour, text_colour::kRed) << "hovered";
    EXPECT_EQ(canvas.findText(u"a6")->colour, text_colour::kWhite);

    state.recording = true;
    state.english = false;
    canvas = paint(state);
    ASSERT_NE(canvas.findText(u"停止"), nullptr);
    EXPECT_EQ(canvas.findText(u"停止")->font, FontChoice::Chinese);
    state.recording = false;
    EXPECT_NE(paint(state).findText(u"录制"), nullptr);
    state.english = true;
    state.recording = true;
    EXPECT_NE(paint(state).findText(u"Stop"), nullptr);
}

TEST_F(FramePainterTest, ColourPageShowsTheModeAndThePreviewSource) {
    FrameState state = mainPageState();
    state.currentPage = PAGE_COLOUR;
    state.profile.ledStatus = 1;
    const auto previewCopy = [&](LedPreviewView preview) {
        state.ledPreview = preview;
        const test::RecordingCanvas canvas = paint(state);
        EXPECT_EQ(canvas.copies.at(1), colourFrom(kColDown, 1)) << "LED mode 1 is selected";
        std::vector<RecordedCopy> found;
        for (const RecordedCopy& c : canvas.copies) {
            if (c.source == tables.colourItems[11].area())
                found.push_back(c);
        }
        return found;
    };
    EXPECT_EQ(previewCopy({0, true}), std::vector<RecordedCopy>{colourFrom(kGray, 11)});
    EXPECT_EQ(previewCopy({3, true}), std::vector<RecordedCopy>{colourFrom(kGray, 11)});
    EXPECT_EQ(previewCopy({0, false}), std::vector<RecordedCopy>{colourFrom(kBlue, 11)});
    EXPECT_TRUE(previewCopy({1, false}).empty()) << "colour 1 is the normal picture";
    EXPECT_EQ(previewCopy({2, false}), std::vector<RecordedCopy>{colourFrom(kColOver, 11)});
    EXPECT_EQ(previewCopy({3, false}), std::vector<RecordedCopy>{colourFrom(kColDown, 11)});
}

TEST_F(FramePainterTest, ColourPageLabels) {
    FrameState state = mainPageState();
    state.currentPage = PAGE_COLOUR;
    state.profile.dpiLevel = 3;
    state.mouse.applied = true;
    state.mouse.appliedDpiSet = {1, 2, 3, 0};
    state.profile.dpiSet = {1, 2, 3, 4};  // edited, not applied: the applied value shows
    state.colourHover = 2;
    const test::RecordingCanvas canvas = paint(state);
    ASSERT_NE(canvas.findText(u"3200"), nullptr);
    EXPECT_EQ(std::pair(canvas.findText(u"3200")->x, canvas.findText(u"3200")->y),
              centred(tables.colourItems[9], 4));
    EXPECT_EQ(canvas.findText(u"c9"), nullptr);
    EXPECT_EQ(canvas.findText(u"c2")->colour, text_colour::kWhite) << "no hover colour here";
    EXPECT_NE(canvas.findText(u"c12"), nullptr);
    EXPECT_EQ(canvas.findText(u"m20"), nullptr);
    EXPECT_EQ(canvas.copiesFrom(kColOver).front(), colourFrom(kColOver, 2));
    EXPECT_NE(std::ranges::find(canvas.copies, mainFrom(kColDown, 11)), canvas.copies.end())
        << "the colour tab";
}

TEST_F(FramePainterTest, MissingPicturesDrawNothingFromThem) {
    pictures.remove(kNormal);
    pictures.remove(kDown);
    pictures.remove(kKnob);
    FrameState state = mainPageState();
    state.mainHover = 41;
    const test::RecordingCanvas canvas = paint(state);
    EXPECT_EQ(canvas.copies, std::vector<RecordedCopy>{mainFrom(kOver, 41)});
    EXPECT_NE(canvas.findText(u"m0"), nullptr) << "labels are still written";
}

TEST_F(FramePainterTest, PicturesComeFromTheSkinFolderAndALanguageSwitchDropsThem) {
    FrameState state = mainPageState();
    paint(state);
    EXPECT_EQ(pictures.requested().front(), std::filesystem::path("skins") / kNormal);
    paint(state);
    EXPECT_EQ(pictures.forgotten(), 0);
    state.english = false;
    paint(state);
    EXPECT_EQ(pictures.forgotten(), 1);
    paint(state);
    EXPECT_EQ(pictures.forgotten(), 1);
}

}  // namespace
}  // namespace v270
