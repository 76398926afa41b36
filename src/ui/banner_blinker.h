#pragma once

#include <atomic>
#include <stop_token>

#include "device/handover_flags.h"
#include "platform/clock.h"
#include "platform/view_port.h"
#include "platform/worker_thread.h"
#include "ui/page.h"
#include "ui/page_animation.h"

namespace v270 {

// Blinks the start key's number in the status banner while the driver waits for its start
// signal and the main page is shown: bursts of six flips, 500 ms apart, so that a burst ends in
// the phase it began with. The driver's start and a change of page are noticed between bursts;
// then the number is left shown and the thread ends. It owns its thread.
class BannerBlinker final : public PageAnimation {
  public:
    BannerBlinker(BannerState& banner, const std::atomic<Page>& currentPage,
                  platform::ViewPort& view, platform::Clock& clock);

    void ensureRunning() override { thread_.ensureRunning(); }
    void stop() { thread_.stop(); }
    bool running() const { return thread_.running(); }

    // The thread's job.
    void BannerBlinkThread(std::stop_token stop);

  private:
    BannerState& banner_;
    const std::atomic<Page>& currentPage_;
    platform::ViewPort& view_;
    platform::Clock& clock_;
    platform::WorkerThread thread_;  // last: it ends before the rest goes
};

}  // namespace v270
