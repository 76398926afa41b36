#include "ui/owner_drawn_menu.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace v270 {
namespace {

using platform::PixelRect;
using platform::Rgb;

struct Fill {
    PixelRect rect;
    Rgb colour;
    bool operator==(const Fill&) const = default;
};
struct Frame {
    PixelRect rect;
    bool operator==(const Frame&) const = default;
};
struct Line {
    int32_t left = 0;
    int32_t right = 0;
    int32_t y = 0;
    Rgb colour;
    bool operator==(const Line&) const = default;
};
struct Text {
    std::u16string text;
    PixelRect rect;
    bool operator==(const Text&) const = default;
};
using Call = std::variant<Fill, Frame, Line, Text>;

class RecordingMenuCanvas final : public MenuItemCanvas {
  public:
    void fill(const PixelRect& rect, Rgb colour) override {
        calls.emplace_back(Fill{rect, colour});
    }
    void frameWithCurrentPen(const PixelRect& rect) override { calls.emplace_back(Frame{rect}); }
    void horizontalLine(int32_t left, int32_t right, int32_t y, Rgb colour) override {
        calls.emplace_back(Line{left, right, y, colour});
    }
    void drawText(std::u16string_view text, const PixelRect& rect) override {
        calls.emplace_back(Text{std::u16string(text), rect});
    }
    std::vector<Call> calls;
};

TEST(OwnerDrawnMenuTest, ItemsMeasureEightPixelsPerUnitAndTwentyHigh) {
    EXPECT_EQ(measureMenuItem({u"Abcde", 32801}), (platform::PixelSize{40, 20}));
    EXPECT_EQ(measureMenuItem({u"显示窗口   ", 32837}), (platform::PixelSize{88, 20}))
        << "ideographs are two units, trailing spaces one";
    EXPECT_EQ(measureMenuItem({u"左键", kSubMenuId}).width, 32);
    EXPECT_EQ(measureMenuItem({u"\U00020000", 32781}).width, 16) << "a surrogate pair is one";
    EXPECT_EQ(measureMenuItem({u"Left Button", kSubMenuId}), (platform::PixelSize{88, 20}));
    EXPECT_EQ(measureMenuItem({u"", kSeparatorId}).height, 1);
}

TEST(OwnerDrawnMenuTest, TheGradientOfATwentyPixelItemRunsGreenFromZeroTo238) {
    const std::vector<Rgb> rows =
        gradientRows(menu_colour::kHighlightTop, menu_colour::kHighlightBottom, 18);
    ASSERT_EQ(rows.size(), 18u);
    for (size_t r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r], (Rgb{0, static_cast<uint8_t>(14 * r), 255})) << "row " << r;
    }
    EXPECT_EQ(rows.back().green, 238);
    EXPECT_TRUE(gradientRows({0, 0, 0}, {255, 255, 255}, 0).empty());
    EXPECT_TRUE(gradientRows({0, 0, 0}, {255, 255, 255}, -3).empty());
}

TEST(OwnerDrawnMenuTest, StepsTruncateTowardZero) {
    // (0 - 255) / 2 = -127.5 gives -127, not -128; (10 - 0) / 2 gives 5 in both directions.
    EXPECT_EQ(gradientRows({255, 0, 0}, {0, 10, 0}, 2),
              (std::vector<Rgb>{{255, 0, 0}, {128, 5, 0}}));
    EXPECT_EQ(gradientRows({0, 0, 5}, {0, 0, 0}, 2), (std::vector<Rgb>{{0, 0, 5}, {0, 0, 3}}));
}

TEST(OwnerDrawnMenuTest, ASelectedItemHasAFrameAndEighteenGradientRows) {
    RecordingMenuCanvas canvas;
    const PixelRect rect{0, 40, 120, 60};
    drawMenuItem(canvas, {u"Exit Driver", 32800}, rect, true);
    ASSERT_EQ(canvas.calls.size(), 1u + 18u + 1u);
    EXPECT_EQ(canvas.calls.front(), Call(Frame{rect}));
    for (int32_t r = 0; r < 18; ++r) {
        EXPECT_EQ(canvas.calls[static_cast<size_t>(1 + r)],
                  Call(Line{1, 119, 41 + r, Rgb{0, static_cast<uint8_t>(14 * r), 255}}));
    }
    EXPECT_EQ(canvas.calls.back(), Call(Text{u"Exit Driver", {10, 40, 120, 60}}));
}

TEST(OwnerDrawnMenuTest, AnItemNotSelectedIsTealToItsEdges) {
    RecordingMenuCanvas canvas;
    drawMenuItem(canvas, {u"Show Window", 32801}, {4, 0, 100, 20}, false);
    EXPECT_EQ(canvas.calls, (std::vector<Call>{Fill{{4, 0, 100, 20}, Rgb{0, 120, 153}},
                                               Text{u"Show Window", {14, 0, 100, 20}}}));
}

TEST(OwnerDrawnMenuTest, ACheckedItemHasAWhiteTickInItsMarginUnderItsText) {
    for (const bool selected : {false, true}) {
        RecordingMenuCanvas canvas;
        drawMenuItem(canvas, {u"Start with Windows", 32850}, {0, 20, 150, 40}, selected, true);
        std::vector<Fill> tick;
        for (const Call& call : canvas.calls) {
            if (const Fill* fill = std::get_if<Fill>(&call);
                fill != nullptr && fill->colour == menu_colour::kText) {
                tick.push_back(*fill);
            }
        }
        // Columns 1..8, each two pixels high, down to row 31 and up to row 26: clear of the
        // text, which starts at column 10.
        ASSERT_EQ(tick.size(), 8u);
        EXPECT_EQ(tick.front(), (Fill{{1, 29, 2, 31}, menu_colour::kText}));
        EXPECT_EQ(tick[2], (Fill{{3, 31, 4, 33}, menu_colour::kText}));
        EXPECT_EQ(tick.back(), (Fill{{8, 26, 9, 28}, menu_colour::kText}));
        EXPECT_EQ(canvas.calls.back(), Call(Text{u"Start with Windows", {10, 20, 150, 40}}));
    }
}

TEST(OwnerDrawnMenuTest, ASeparatorIsAFrameIndentedBy25PixelsWithoutText) {
    RecordingMenuCanvas canvas;
    drawMenuItem(canvas, {u"", kSeparatorId}, {0, 10, 100, 14}, true);
    const Rgb red{255, 0, 0};
    const Rgb blue{0, 0, 255};
    EXPECT_EQ(canvas.calls,
              (std::vector<Call>{Fill{{25, 10, 99, 11}, red}, Fill{{25, 10, 26, 13}, red},
                                 Fill{{99, 10, 100, 14}, blue}, Fill{{25, 13, 100, 14}, blue}}));
}

}  // namespace
}  // namespace v270
