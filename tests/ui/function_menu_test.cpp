#include "ui/function_menu.h"

#include <gtest/gtest.h>

#include "recording_canvas.h"
#include "settings/text.h"
#include "support/temp_folder.h"
#include "ui/ui_text.h"

namespace v270 {
namespace {

using platform::FontChoice;
using platform::PixelRect;
using test::RecordedCopy;

std::array<std::u16string, kFunctionNameCount> numberedNames() {
    std::array<std::u16string, kFunctionNameCount> names;
    for (size_t k = 0; k < names.size(); ++k)
        names[k] = asciiToUtf16("F" + std::to_string(k + 1));
    return names;
}

TEST(FunctionMenuTest, RowsAreBandsOfTheMaskAndTheLineBelowThemIsNoRow) {
    const MenuGeometry menu = mainMenuGeometry({168, 261});
    EXPECT_EQ(menu, (MenuGeometry{168, 26, 10}));
    EXPECT_EQ(menu.windowSize(), (platform::PixelSize{168, 261}));
    EXPECT_EQ(menu.rowAt({0, 0}), 1);
    EXPECT_EQ(menu.rowAt({167, 25}), 1);
    EXPECT_EQ(menu.rowAt({0, 26}), 2);
    EXPECT_EQ(menu.rowAt({10, 259}), 10);
    EXPECT_EQ(menu.rowAt({10, 260}), NO_HIT) << "the bottom pixel line";
    EXPECT_EQ(menu.rowAt({168, 5}), NO_HIT);
    EXPECT_EQ(menu.band(3), (PixelRect{0, 52, 168, 78}));

    const MenuGeometry sub = subMenuGeometry({176, 313}, 6);
    EXPECT_EQ(sub, (MenuGeometry{176, 26, 6}));
    EXPECT_EQ(sub.windowSize(), (platform::PixelSize{176, 157}));
    EXPECT_EQ(sub.rowAt({5, 155}), 6);
    EXPECT_EQ(sub.rowAt({5, 156}), NO_HIT);
    EXPECT_EQ(subMenuGeometry({176, 313}, 0).windowSize(), (platform::PixelSize{176, 0}))
        << "no macros: no entries and no height";
}

TEST(FunctionMenuTest, EachGroupHandsOutItsCodes) {
    EXPECT_EQ(subMenuEntryCount(7, 3), 9);
    EXPECT_EQ(subMenuEntryCount(8, 3), 6);
    EXPECT_EQ(subMenuEntryCount(9, 3), 3);
    EXPECT_EQ(subMenuEntryCount(10, 3), 10);
    EXPECT_EQ(subMenuEntryCount(6, 3), 0);

    EXPECT_EQ(subMenuCode(10, 4, 0), 34);
    EXPECT_EQ(subMenuCode(9, 3, 3), 43) << "the third macro";
    EXPECT_EQ(subMenuCode(7, 1, 0), 11);
    EXPECT_EQ(subMenuCode(7, 9, 0), 19);
    EXPECT_EQ(subMenuCode(8, 6, 0), 26);
    EXPECT_EQ(subMenuCode(9, 12, 12), 52);
    EXPECT_EQ(subMenuCode(9, 4, 3), std::nullopt) << "no fourth macro";
    EXPECT_EQ(subMenuCode(8, 7, 0), std::nullopt);
    EXPECT_EQ(subMenuCode(10, 0, 0), std::nullopt);
    EXPECT_EQ(subMenuCode(5, 1, 0), std::nullopt);
}

TEST(FunctionMenuTest, SubMenusOpenBesideTheirRow) {
    EXPECT_EQ(subMenuTop(7, 500, 26, 4), 474);
    EXPECT_EQ(subMenuTop(8, 500, 26, 4), 552);
    EXPECT_EQ(subMenuTop(9, 500, 26, 4), 500 + 5 * 26);
    EXPECT_EQ(subMenuTop(9, 500, 26, 12), 500 - 3 * 26);
    EXPECT_EQ(subMenuTop(10, 500, 26, 4), 500);
}

TEST(FunctionMenuTest, LabelsAreTheFunctionNamesOfTheCodesOrTheMacroNames) {
    const auto names = numberedNames();
    const std::vector<std::u16string> main = mainMenuLabels(names);
    ASSERT_EQ(main.size(), 10u);
    EXPECT_EQ(main.front(), u"F1");
    EXPECT_EQ(main.back(), u"F10");

    const std::vector<std::u16string> macros = {u"alpha", u"beta"};
    EXPECT_EQ(subMenuLabels(9, names, macros), macros);
    const auto group7 = subMenuLabels(7, names, macros);
    ASSERT_EQ(group7.size(), 9u);
    EXPECT_EQ(group7.front(), u"F11");
    EXPECT_EQ(group7.back(), u"F19");
    EXPECT_EQ(subMenuLabels(8, names, macros).back(), u"F26");
    EXPECT_EQ(subMenuLabels(10, names, macros)[3], u"F34");
    EXPECT_TRUE(subMenuLabels(4, names, macros).empty());
}

TEST(FunctionMenuTest, ThePointerReportsOnlyChangesOfRow) {
    MenuPointer menu(mainMenuGeometry({168, 261}));
    EXPECT_TRUE(menu.moveTo({5, 6 * 26 + 3}));
    EXPECT_EQ(menu.hovered(), 7);
    EXPECT_FALSE(menu.moveTo({50, 6 * 26 + 20}));
    EXPECT_TRUE(menu.moveTo({5, 2 * 26}));
    EXPECT_EQ(menu.hovered(), 3);
    menu.press();
    EXPECT_TRUE(menu.pressed());
    EXPECT_EQ(menu.release(), 3);
    EXPECT_FALSE(menu.pressed());
    EXPECT_TRUE(menu.moveTo({5, 260}));
    EXPECT_EQ(menu.release(), NO_HIT);
}

TEST(FunctionMenuTest, SubMenuChoicesRememberTheLastCodeAndTheBottomLineAssignsNothing) {
    SubMenuChoices choices;
    EXPECT_EQ(choices.choose(6, 1, 0), std::nullopt) << "no earlier choice to repeat";
    EXPECT_EQ(choices.choose(10, NO_HIT, 0), std::nullopt);
    EXPECT_EQ(choices.choose(10, 4, 0), 34);
    EXPECT_EQ(choices.lastSubMenuCode(), 34);
    EXPECT_EQ(choices.choose(NO_HIT, 2, 0), 34);
    EXPECT_EQ(choices.choose(9, 3, 2), std::nullopt);
    EXPECT_EQ(choices.lastSubMenuCode(), 34);
    EXPECT_EQ(choices.choose(9, 2, 2), 42);
}

class AssignTest : public testing::Test {
  protected:
    AssignTest() {
        profiles.edit([](ConfigProfile& p) { p.buttonFunction = {1, 2, 3, 5, 4, 6}; });
    }
    std::array<int32_t, kButtonCount> buttons() const { return profiles.profile().buttonFunction; }

    test::TempFolder folder;
    IniFiles files;
    ProfileStore profiles{files, folder / "config.ini"};
};

TEST_F(AssignTest, TheLeftClickMovesOnWhenItsOnlySlotIsGivenAnotherFunction) {
    assignButtonFunction(profiles, 1, 3);
    EXPECT_EQ(buttons(), (std::array<int32_t, kButtonCount>{3, 1, 3, 5, 4, 6}));
    assignButtonFunction(profiles, 4, 43);
    EXPECT_EQ(buttons(), (std::array<int32_t, kButtonCount>{3, 1, 3, 43, 4, 6}));
}

TEST_F(AssignTest, SlotSixKeepsTheLeftClickWhenItHeldTheOnlyOne) {
    profiles.edit([](ConfigProfile& p) { p.buttonFunction = {2, 2, 3, 5, 4, 1}; });
    assignButtonFunction(profiles, 6, 2);
    EXPECT_EQ(buttons(), (std::array<int32_t, kButtonCount>{2, 2, 3, 5, 4, 1}));
    assignButtonFunction(profiles, 7, 2);
    EXPECT_EQ(buttons()[5], 1) << "a slot outside 1..6 changes nothing";
}

class MenuPaintTest : public testing::Test {
  protected:
    MenuPaintTest() {
        for (const char* name : {"menu_normal.jpg", "menu_over.jpg", "menu_down.jpg"}) {
            source.add(name);
        }
        pictures = {source.picture("menu_normal.jpg"), source.picture("menu_over.jpg"),
                    source.picture("menu_down.jpg")};
    }

    test::FakePictures source{{168, 261}};
    MenuPictures pictures;
    test::RecordingCanvas canvas;
    const MenuGeometry geometry = mainMenuGeometry({168, 261});
    const std::vector<std::u16string> labels = mainMenuLabels(numberedNames());
};

TEST_F(MenuPaintTest, TheHoveredRowComesFromTheOverPictureAndIsLabelledInRed) {
    paintMenu(canvas, geometry, pictures, 3, false, labels, FontChoice::English);
    ASSERT_EQ(canvas.copies.size(), 2u);
    EXPECT_EQ(canvas.copies[0], (RecordedCopy{"menu_normal.jpg", {0, 0, 168, 261}, 0, 0}));
    EXPECT_EQ(canvas.copies[1], (RecordedCopy{"menu_over.jpg", {0, 52, 168, 78}, 0, 52}));
    ASSERT_EQ(canvas.texts.size(), 10u);
    // "F3" is 14 x 15 pixels: centred in its 168 x 26 band.
    const test::RecordedText& third = canvas.texts[2];
    EXPECT_EQ(third.text, u"F3");
    EXPECT_EQ(third.x, (168 - 14) / 2);
    EXPECT_EQ(third.y, 52 + (26 - 15) / 2);
    EXPECT_EQ(third.colour, text_colour::kRed);
    EXPECT_EQ(canvas.texts[3].colour, text_colour::kWhite);
}

TEST_F(MenuPaintTest, APressedRowComesFromTheDownPictureAndNoRowCopiesNothing) {
    paintMenu(canvas, geometry, pictures, 10, true, labels, FontChoice::Chinese);
    EXPECT_EQ(canvas.copiesFrom("menu_down.jpg"),
              (std::vector<RecordedCopy>{{"menu_down.jpg", {0, 234, 168, 260}, 0, 234}}));
    EXPECT_EQ(canvas.texts.back().font, FontChoice::Chinese);

    test::RecordingCanvas idle;
    paintMenu(idle, geometry, pictures, NO_HIT, true, labels, FontChoice::English);
    EXPECT_EQ(idle.copies.size(), 1u);
    for (const auto& text : idle.texts)
        EXPECT_EQ(text.colour, text_colour::kWhite);
}

TEST_F(MenuPaintTest, ANameWiderThanItsRowIsShortenedToFit) {
    // 19 Chinese characters measure 228 pixels: more than a 168-pixel row holds.
    const std::u16string longName(19, u'宏');
    const std::vector<std::u16string> macros = {longName, u"short"};
    const MenuGeometry sub{168, 26, 2};
    paintMenu(canvas, sub, pictures, NO_HIT, false, macros, FontChoice::Chinese);
    ASSERT_EQ(canvas.texts.size(), 2u);
    const test::RecordedText& cut = canvas.texts[0];
    EXPECT_EQ(cut.text, std::u16string(12, u'宏') + u"...");
    EXPECT_GE(cut.x, 0);
    EXPECT_LE(canvas.measureText(cut.text, FontChoice::Chinese).width, 168);
    EXPECT_EQ(canvas.texts[1].text, u"short");

    EXPECT_EQ(fittedText(canvas, u"abcdef", FontChoice::English, 2), u"...")
        << "not even one character fits";
}

}  // namespace
}  // namespace v270
