// Where the notice shows on a monitor, at its scale.
#include "platform/notice_placement.h"

#include <gtest/gtest.h>

namespace v270::platform {
namespace {

TEST(NoticePlacement, BottomRightOfTheMonitorsWorkAreaAtItsScale) {
    struct Case {
        const char* what;
        PixelRect work;
        PixelSize text;
        int32_t dpi;
        PixelRect expected;
    };
    const Case cases[] = {
        {"primary at 96 DPI", {0, 0, 1024, 738}, {100, 20}, 96, {880, 690, 1012, 726}},
        {"a monitor right of it at 192 DPI",
         {1024, 0, 4864, 2120},
         {200, 40},
         192,
         {4576, 2024, 4840, 2096}},
        {"a monitor left of the primary, 144 DPI",
         {-1920, 0, 0, 1040},
         {150, 30},
         144,
         {-216, 968, -18, 1022}},
        {"a line wider than the work area starts at its left",
         {100, 0, 400, 300},
         {500, 20},
         96,
         {100, 252, 632, 288}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(noticePlacement(c.work, c.text, c.dpi), c.expected) << c.what;
}

}  // namespace
}  // namespace v270::platform
