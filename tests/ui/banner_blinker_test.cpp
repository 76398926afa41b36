#include "ui/banner_blinker.h"

#include <gtest/gtest.h>

#include "support/recording_view_port.h"
#include "support/scripted_clock.h"

namespace v270 {
namespace {

class BlinkTest : public testing::Test {
  protected:
    BlinkTest() {
        banner.driverWorking = 0;
        banner.startKeyVisible = 1;
    }
    void run(std::stop_token stop = {}) { blinker.BannerBlinkThread(stop); }

    BannerState banner;
    std::atomic<Page> page{PAGE_MAIN};
    test::RecordingViewPort window;
    test::ScriptedClock clock;
    BannerBlinker blinker{banner, page, window, clock};
};

TEST_F(BlinkTest, BlinksInBurstsOfSixUntilTheDriverStarts) {
    std::vector<uint8_t> phases;
    clock.onPause = [&](int pause, auto) {
        phases.push_back(banner.startKeyVisible);
        if (pause == 8)
            banner.driverWorking = 1;  // during the second burst
    };
    run();
    EXPECT_EQ(clock.pauses, 12) << "the second burst ends before the start is seen";
    EXPECT_EQ(clock.total, std::chrono::milliseconds(6000));
    EXPECT_EQ(phases, (std::vector<uint8_t>{0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1}));
    EXPECT_EQ(window.invalidations, 12);
    EXPECT_EQ(banner.startKeyVisible, 1);
}

TEST_F(BlinkTest, LeavingTheMainPageEndsItAfterTheBurstWithTheNumberShown) {
    clock.onPause = [&](int pause, auto) {
        if (pause == 2)
            page = PAGE_COLOUR;
    };
    run();
    EXPECT_EQ(clock.pauses, 6);
    EXPECT_EQ(banner.startKeyVisible, 1);
    EXPECT_EQ(banner.driverWorking, 0) << "still prompting";
}

TEST_F(BlinkTest, EndsAtOnceWhenTheDriverWorksOrAnotherPageShows) {
    banner.driverWorking = 1;
    run();
    EXPECT_EQ(clock.pauses, 0);

    banner.driverWorking = 0;
    page = PAGE_ADVANCED;
    run();
    EXPECT_EQ(clock.pauses, 0);
    EXPECT_EQ(window.invalidations, 0);
}

TEST_F(BlinkTest, TheProgramsEndStopsItMidBurst) {
    std::stop_source ending;
    clock.onPause = [&](int pause, auto) {
        if (pause == 3)
            ending.request_stop();
    };
    run(ending.get_token());
    EXPECT_EQ(clock.pauses, 3);
    EXPECT_EQ(banner.startKeyVisible, 1);
}

}  // namespace
}  // namespace v270
