#include "ui/warning_dialog.h"

#include <gtest/gtest.h>

#include "recording_canvas.h"
#include "ui/ui_text.h"

namespace v270 {
namespace {

using platform::FontChoice;
using test::RecordedCopy;
using Buttons = std::array<int32_t, kButtonCount>;

TEST(WarningNeededTest, OnlyWhenNoOtherSlotHoldsTheLeftClick) {
    const Buttons defaults{1, 2, 3, 5, 4, 6};
    EXPECT_TRUE(warningNeeded(defaults, 1));
    for (int slot = 2; slot <= kButtonCount; ++slot)
        EXPECT_FALSE(warningNeeded(defaults, slot));

    const Buttons twoLeftClicks{1, 2, 1, 5, 4, 6};
    for (int slot = 1; slot <= kButtonCount; ++slot)
        EXPECT_FALSE(warningNeeded(twoLeftClicks, slot));

    const Buttons noLeftClick{2, 2, 3, 5, 4, 6};
    for (int slot = 1; slot <= kButtonCount; ++slot)
        EXPECT_TRUE(warningNeeded(noLeftClick, slot));
}

std::array<SkinItem, kWarningItemCount> warningItems() {
    return {SkinItem{86, 100, 96, 30, u"CONTINUE"}, SkinItem{198, 100, 96, 30, u"CANCEL"},
            SkinItem{20, 46, 340, 36, u"Go on?"}};
}

TEST(WarningPointerTest, TheButtonUnderThePointerIsTheResultOfARelease) {
    WarningPointer pointer(warningItems());
    EXPECT_FALSE(pointer.moveTo({10, 10}));
    EXPECT_EQ(pointer.release(), std::nullopt) << "outside both buttons the dialog stays";
    EXPECT_TRUE(pointer.moveTo({86, 100}));
    EXPECT_EQ(pointer.hovered(), 1);
    EXPECT_FALSE(pointer.moveTo({181, 129}));
    EXPECT_EQ(pointer.release(), 1);
    EXPECT_TRUE(pointer.moveTo({200, 110}));
    EXPECT_EQ(pointer.release(), 2);
    EXPECT_TRUE(pointer.moveTo({30, 50})) << "the message is no button";
    EXPECT_EQ(pointer.hovered(), NO_HIT);
}

TEST(WarningPaintTest, TheHoveredButtonComesFromTheOverPictureAndEveryLabelIsRed) {
    test::FakePictures source{{380, 150}};
    source.add("warning_normal.jpg");
    source.add("warning_over.jpg");
    const WarningPictures pictures{source.picture("warning_normal.jpg"),
                                   source.picture("warning_over.jpg")};
    test::RecordingCanvas canvas;
    paintWarning(canvas, warningItems(), pictures, 2, FontChoice::English);
    EXPECT_EQ(canvas.copies,
              (std::vector<RecordedCopy>{{"warning_normal.jpg", {0, 0, 380, 150}, 0, 0},
                                         {"warning_over.jpg", {198, 100, 294, 130}, 198, 100}}));
    ASSERT_EQ(canvas.texts.size(), 3u);
    EXPECT_EQ(canvas.texts[0].text, u"CONTINUE");
    EXPECT_EQ(canvas.texts[0].x, 86 + (96 - 56) / 2);
    EXPECT_EQ(canvas.texts[0].y, 100 + (30 - 15) / 2);
    for (const auto& text : canvas.texts)
        EXPECT_EQ(text.colour, text_colour::kRed);

    test::RecordingCanvas idle;
    paintWarning(idle, warningItems(), pictures, NO_HIT, FontChoice::Chinese);
    EXPECT_EQ(idle.copies.size(), 1u);
}

}  // namespace
}  // namespace v270
