#pragma once

#include <atomic>

#include "device/handover_flags.h"
#include "platform/clock.h"
#include "platform/main_window_port.h"
#include "ui/page.h"

namespace v270 {

// Blinks the start key's number in the status banner while the driver waits for its start
// signal and the main page is shown: bursts of six flips, 500 ms apart, so that a burst ends in
// the phase it began with. The driver's start and a change of page are noticed between bursts;
// then the number is left shown and blinkRunning cleared.
void BannerBlinkThread(BannerState& banner, const std::atomic<Page>& currentPage,
                       platform::MainWindowPort& window, platform::Clock& clock);

}  // namespace v270
