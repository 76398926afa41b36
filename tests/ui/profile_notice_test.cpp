#include "ui/profile_notice.h"

#include <gtest/gtest.h>

#include <vector>

#include "executor_fixture.h"
#include "support/recording_notice_window.h"

namespace v270 {
namespace {

TEST(ProfileNoticeText, BothLanguages) {
    const struct {
        std::u16string text;
        std::u16string_view expected;
    } cases[] = {
        {profileNoticeText(3, 1600, true), u"Profile 3 · 1600 DPI"},
        {profileNoticeText(5, 3200, false), u"配置 5 · 3200 DPI"},
        {ledNoticeText(1, 3, true), u"Profile 1 · LED off"},
        {ledNoticeText(2, 1, true), u"Profile 2 · LED fast blink"},
        {ledNoticeText(4, 0, false), u"配置 4 · 灯光 呼吸"},
        {ledNoticeText(4, 2, false), u"配置 4 · 灯光 常亮"},
        {ledNoticeText(2, 44, true), u"Profile 2 · LED 44"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, c.expected);
}

class FixedMouseState final : public MouseStateSource {
  public:
    MouseState mouseState() const override { return state; }
    MouseState state;
};

// The executor, telling a notice over fakes of the window and the mouse, what each button does.
class ButtonNoticeTest : public test::ExecutorFixture {
  protected:
    ButtonNoticeTest() {
        // The mouse has the applied codes; the window's edits of the levels are not sent yet.
        mouse.state.applied = true;
        mouse.state.appliedDpiSet = {1, 2, 3, 4};
        mouse.state.appliedLedMode = 2;
        profiles.edit([](ConfigProfile& p) {
            p.dpiLevel = 1;
            p.dpiSet = {0, 0, 0, 0};
        });
        profiles.setEnglishUi(1);
        notice.readSetting();
    }

    void press(int32_t code) {
        setFunction(0, code);
        handOver(0);
        telling.runPass();
    }

    FixedMouseState mouse;
    test::RecordingNoticeWindow notices;
    ProfileNotice notice{{profiles, mouse, files, notices}};
    ActionExecutor telling{
        {flags, profiles, macros, device, window, input, system, clock, &notice}};
};

TEST_F(ButtonNoticeTest, EachChangeOfAButtonShowsWhatIsInEffect) {
    const struct {
        int32_t code;
        bool english;
        uint8_t effectiveLedMode;
        std::u16string_view shown;  // empty: nothing
    } cases[] = {
        {2, true, 0, u"Profile 1 · 1600 DPI"},  // the DPI cycle button, by its step
        {2, false, 0, u"配置 1 · 1600 DPI (cn)"},
        {function_code::kLedToggle, true, 3, u"Profile 1 · LED off"},
        {function_code::kLedToggle, false, 0, u"配置 1 · 灯光 常亮 (cn)"},
        {function_code::kCopy, true, 0, u""},
        // Last, as it moves on to profile 2, whose level 0 has the mouse's first code.
        {function_code::kNextProfile, true, 0, u"Profile 2 · 1200 DPI"},
    };
    for (const auto& c : cases) {
        device.dpiSteps[0] = c.code == 2 ? 2 : 0;
        profiles.setEnglishUi(c.english ? 1 : 0);
        mouse.state.effectiveLedMode = c.effectiveLedMode;
        const size_t before = notices.shown().size();
        press(c.code);
        const std::vector<std::u16string> shown = notices.shown();
        ASSERT_EQ(shown.size(), before + (c.shown.empty() ? 0 : 1)) << c.code;
        if (!c.shown.empty()) {
            EXPECT_EQ(shown.back(), c.shown);
        }
    }
}

TEST_F(ButtonNoticeTest, OffShowsNothingAndStaysOffAfterARead) {
    notice.setEnabled(false);
    notice.readSetting();
    device.dpiSteps[0] = 2;
    press(2);
    device.dpiSteps[0] = 0;
    press(function_code::kLedToggle);
    notice.announceProfile();
    EXPECT_TRUE(notices.shown().empty());
    EXPECT_EQ(device.calls(), (std::vector<std::string>{"dpi 2", "led"}));

    notice.setEnabled(true);
    notice.announceProfile();
    EXPECT_EQ(notices.shown(), std::vector<std::u16string>{u"Profile 1 · 1600 DPI"});
}

}  // namespace
}  // namespace v270
