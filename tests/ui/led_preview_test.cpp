#include "ui/led_preview.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "support/recording_view_port.h"
#include "support/scripted_clock.h"
#include "support/temp_folder.h"
#include "ui/colour_page.h"

namespace v270 {
namespace {

using std::chrono::milliseconds;

class AppliedMouse final : public MouseStateSource {
  public:
    MouseState mouseState() const override {
        const std::lock_guard lock(mutex_);
        return state_;
    }
    void applyLedMode(uint8_t mode) {
        const std::lock_guard lock(mutex_);
        state_.applied = true;
        state_.appliedLedMode = mode;
    }

  private:
    mutable std::mutex mutex_;
    MouseState state_;
};

// One step of the preview: what it shows while the thread waits, and for how long.
struct Step {
    bool off;
    int32_t colour;
    int64_t milliseconds;
    bool operator==(const Step&) const = default;
};

void PrintTo(const Step& s, std::ostream* os) {
    *os << (s.off ? "off " : "lit ") << s.colour << " for " << s.milliseconds << " ms";
}

// What the preview reads: the profile, the mouse, the page shown; and the window it repaints.
struct PreviewInputs {
    test::TempFolder folder;
    IniFiles files;
    ProfileStore profiles{files, folder / "config.ini"};
    AppliedMouse mouse;
    std::atomic<Page> page{PAGE_COLOUR};
    test::RecordingViewPort window;
};

class LedPreviewTest : public testing::Test, protected PreviewInputs {
  protected:
    // Runs the job on this thread for `steps` pauses, then leaves the page; `during` may change
    // the world at a pause.
    std::vector<Step> run(int steps, const std::function<void(int)>& during = {}) {
        std::vector<Step> seen;
        clock.onPause = [&](int pause, std::chrono::microseconds length) {
            const LedPreviewView shown = preview.preview();
            seen.push_back({shown.previewOff, shown.previewColour,
                            std::chrono::duration_cast<milliseconds>(length).count()});
            if (during)
                during(pause);
            if (pause == steps)
                page = PAGE_MAIN;
        };
        preview.LedPreviewThread({});
        return seen;
    }
    void setLevel(int32_t level) {
        profiles.edit([&](ConfigProfile& p) { p.dpiLevel = level; });
    }

    test::ScriptedClock clock;
    LedPreview preview{page, profiles, mouse, window, clock};
};

TEST_F(LedPreviewTest, EachAppliedModePlaysItsSequenceWhateverTheEditedMode) {
    struct Case {
        uint8_t applied;
        int32_t level;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        {0,
         0,
         {{true, 1, 1200},
          {false, 1, 1200},
          {true, 2, 1200},
          {false, 2, 1200},
          {true, 3, 1200},
          {false, 3, 1200},
          {true, 0, 1200},
          {false, 0, 1200}}},
        {1, 2, {{true, 3, 800}, {false, 3, 800}, {true, 0, 800}, {false, 0, 800}}},
        {2, 3, {{false, 3, 1200}, {false, 3, 1200}, {false, 3, 1200}}},
        {3, 1, {{true, 1, 1200}, {true, 1, 1200}, {true, 1, 1200}}},
    };
    for (const Case& c : cases) {
        mouse.applyLedMode(c.applied);
        profiles.edit([&](ConfigProfile& p) {
            p.dpiLevel = c.level;
            p.ledStatus = static_cast<uint8_t>((c.applied + 1) % 4);  // edited, not applied
        });
        page = PAGE_COLOUR;
        clock.pauses = 0;
        EXPECT_EQ(run(static_cast<int>(c.steps.size())), c.steps) << "mode " << int{c.applied};
    }
    EXPECT_GT(window.invalidations.load(), 0);
}

TEST_F(LedPreviewTest, ALevelChangeShowsItsColourAtOnceAndHoldsItTwoSecondsAndAStep) {
    mouse.applyLedMode(0);
    const std::vector<Step> steps = run(5, [&](int pause) {
        if (pause == 2)
            setLevel(2);
    });
    EXPECT_EQ(steps, (std::vector<Step>{{true, 1, 1200},
                                        {false, 1, 1200},
                                        {false, 2, 2000},
                                        {false, 2, 1200},
                                        {true, 3, 1200}}));
}

TEST_F(LedPreviewTest, EndsAtTheFirstStepAfterThePageWasLeftOrAtOnceWhenTheProgramEnds) {
    page = PAGE_ADVANCED;
    EXPECT_TRUE(run(1).empty()) << "not on the colour page: nothing shown";

    page = PAGE_COLOUR;
    std::stop_source ending;
    clock.onPause = [&](int, auto) { ending.request_stop(); };
    preview.LedPreviewThread(ending.get_token());
    EXPECT_EQ(clock.pauses, 1);
}

// A clock whose waits block until the test lets one go, noting the threads that waited.
class GateClock final : public platform::Clock {
  public:
    TimePoint now() const override { return {}; }
    void sleepFor(std::chrono::microseconds) override {}
    void sleepUntil(TimePoint) override {}
    bool waitFor(std::chrono::microseconds, std::stop_token stop) override {
        std::unique_lock lock(mutex_);
        threads_.insert(std::this_thread::get_id());
        ++waits_;
        changed_.notify_all();
        changed_.wait(lock, stop, [&] { return opened_ > 0; });
        if (opened_ > 0)
            --opened_;
        return !stop.stop_requested();
    }

    void awaitWaits(int count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return waits_ >= count; });
    }
    void open() {
        const std::lock_guard lock(mutex_);
        ++opened_;
        changed_.notify_all();
    }
    size_t threads() const {
        const std::lock_guard lock(mutex_);
        return threads_.size();
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    std::set<std::thread::id> threads_;
    int waits_ = 0;
    int opened_ = 0;
};

TEST(LedPreviewThreadTest, LeavingAndReEnteringTheColourPageKeepsTheOneThread) {
    PreviewInputs in;
    std::atomic<Page>& page = in.page;
    GateClock clock;
    auto owned = std::make_unique<LedPreview>(page, in.profiles, in.mouse, in.window, clock);
    LedPreview& preview = *owned;
    ColourPage colourPage{in.profiles, in.mouse, std::move(owned)};

    colourPage.enter();
    clock.awaitWaits(1);
    page = PAGE_MAIN;  // left, and within the step
    page = PAGE_COLOUR;
    colourPage.enter();
    EXPECT_TRUE(preview.previewThreadRunning());
    clock.open();
    clock.awaitWaits(2);
    EXPECT_EQ(clock.threads(), 1u);

    page = PAGE_MAIN;
    clock.open();
    while (preview.previewThreadRunning())
        std::this_thread::yield();
    EXPECT_EQ(clock.threads(), 1u);

    // The next visit starts it again; the program's end stops it mid-step.
    page = PAGE_COLOUR;
    colourPage.enter();
    clock.awaitWaits(3);
    preview.stop();
    EXPECT_FALSE(preview.previewThreadRunning());
}

}  // namespace
}  // namespace v270
