#include "ui/banner_blinker.h"

#include <chrono>

namespace v270 {

namespace {

constexpr int kFlipsPerBurst = 6;
constexpr std::chrono::milliseconds kFlipPeriod{500};

bool onMainPage(const std::atomic<Page>& currentPage) {
    return currentPage.load(std::memory_order_relaxed) == PAGE_MAIN;
}

}  // namespace

BannerBlinker::BannerBlinker(BannerState& banner, const std::atomic<Page>& currentPage,
                             platform::ViewPort& view, platform::Clock& clock)
    : banner_(banner),
      currentPage_(currentPage),
      view_(view),
      clock_(clock),
      thread_("v270 blinker", platform::ThreadPriority::Normal,
              [this](std::stop_token stop) { BannerBlinkThread(stop); }) {}

void BannerBlinker::BannerBlinkThread(std::stop_token stop) {
    if (onMainPage(currentPage_)) {
        while (banner_.driverWorking.load() == 0) {
            for (int flip = 0; flip < kFlipsPerBurst; ++flip) {
                banner_.startKeyVisible.fetch_xor(1);
                view_.invalidate();
                if (!clock_.waitFor(kFlipPeriod, stop))
                    break;
            }
            if (stop.stop_requested() || !onMainPage(currentPage_))
                break;
        }
    }
    banner_.startKeyVisible.store(1);
}

}  // namespace v270
