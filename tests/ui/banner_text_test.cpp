#include "ui/banner_text.h"

#include <gtest/gtest.h>

#include "ui/dpi_values.h"
#include "ui/function_names.h"

namespace v270 {
namespace {

TEST(BannerTextTest, WorkingAndPromptInBothLanguages) {
    EXPECT_EQ(bannerText({true, 3, true}, true), u"OK,driver is working...");
    EXPECT_EQ(bannerText({true, 3, false}, false), u"驱动运行中...");
    EXPECT_EQ(bannerText({false, 3, true}, true),
              u"Configuration done,click key [3] to start driver");
    EXPECT_EQ(bannerText({false, 3, false}, true),
              u"Configuration done,click key [ ] to start driver");
    EXPECT_EQ(bannerText({false, 6, true}, false), u"配置完成，请点击鼠标第[6]键运行驱动");
    EXPECT_EQ(bannerText({false, 6, false}, false), u"配置完成，请点击鼠标第[ ]键运行驱动");
    // A mouse that is away comes before the prompt.
    EXPECT_EQ(bannerText({false, 6, true, true}, true),
              u"The mouse is not connected, waiting for it...");
    EXPECT_EQ(bannerText({true, 0, true, true}, false), u"鼠标未连接，等待插入...");
}

TEST(BannerTextTest, ViewReadsTheSharedFlags) {
    BannerState state;
    state.driverWorking = 0;
    state.startKeyNumber = 4;
    state.startKeyVisible = 0;
    EXPECT_EQ(BannerView::of(state), (BannerView{false, 4, false}));
}

TEST(FunctionNamesTest, CodesNameFunctionsOrMacrosAndNothingElse) {
    std::array<std::u16string, kFunctionNameCount> names;
    for (size_t k = 0; k < names.size(); ++k)
        names[k] = u"F" + std::u16string(1, static_cast<char16_t>(u'a' + k % 26));
    const std::vector<std::u16string> macros = {u"m0", u"m1", u"m2"};
    EXPECT_EQ(functionNameOf(1, names, macros), names[0]);
    EXPECT_EQ(functionNameOf(40, names, macros), names[39]);
    EXPECT_EQ(functionNameOf(41, names, macros), u"m0");
    EXPECT_EQ(functionNameOf(43, names, macros), u"m2");
    EXPECT_EQ(functionNameOf(44, names, macros), u"") << "macro 3 does not exist";
    EXPECT_EQ(functionNameOf(52, names, macros), u"");
    for (int32_t code : {0, -1, -2147483647 - 1, 53, 54, 2147483647}) {
        EXPECT_EQ(functionNameOf(code, names, macros), u"") << code;
    }
}

TEST(DpiValuesTest, ValueIndexTable) {
    EXPECT_EQ(dpiValueOf(0), 3200);
    EXPECT_EQ(dpiValueOf(1), 1200);
    EXPECT_EQ(dpiValueOf(4), 2400);
    EXPECT_EQ(dpiValueOf(5), 1200);
    EXPECT_EQ(dpiValueOf(-1), 1200);
}

}  // namespace
}  // namespace v270
