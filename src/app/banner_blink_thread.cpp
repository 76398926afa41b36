#include "app/banner_blink_thread.h"

#include <chrono>

namespace v270 {

namespace {

constexpr int kFlipsPerBurst = 6;
constexpr std::chrono::milliseconds kFlipPeriod{500};

bool onMainPage(const std::atomic<Page>& currentPage) {
    return currentPage.load(std::memory_order_relaxed) == PAGE_MAIN;
}

}  // namespace

void BannerBlinkThread(BannerState& banner, const std::atomic<Page>& currentPage,
                       platform::MainWindowPort& window, platform::Clock& clock) {
    if (onMainPage(currentPage)) {
        while (banner.driverWorking.load() == 0) {
            for (int flip = 0; flip < kFlipsPerBurst; ++flip) {
                banner.startKeyVisible.fetch_xor(1);
                window.invalidate();
                clock.sleepFor(kFlipPeriod);
            }
            if (!onMainPage(currentPage))
                break;
        }
    }
    banner.startKeyVisible.store(1);
    banner.blinkRunning.store(0);
}

}  // namespace v270
