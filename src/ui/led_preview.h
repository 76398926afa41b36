#pragma once

#include <atomic>
#include <cstdint>
#include <stop_token>

#include "device/mouse_state.h"
#include "platform/clock.h"
#include "platform/view_port.h"
#include "platform/worker_thread.h"
#include "settings/profile_store.h"
#include "ui/frame_state.h"
#include "ui/page.h"
#include "ui/page_animation.h"

namespace v270 {

// The colour page's animation of the mouse's light, and what it shows now.
class LedPreviewAnimation : public PageAnimation {
  public:
    virtual LedPreviewView preview() const = 0;
};

// Plays the applied LED mode in the colour page's preview area while that page is shown: modes 0
// and 1 alternate lit and unlit every 1200 or 800 ms, taking the next colour each time the light
// goes out; mode 2 is lit steadily in the colour of the current DPI level, mode 3 unlit. In modes
// 0 and 1 a change of the DPI level shows the new level's colour at once and holds it 2000 ms
// more. The thread notices a change of page at its next step and ends; it only asks for repaints.
class LedPreview final : public LedPreviewAnimation {
  public:
    static constexpr std::chrono::milliseconds kStep{1200};
    static constexpr std::chrono::milliseconds kFastStep{800};  // mode 1
    static constexpr std::chrono::milliseconds kLevelHold{2000};

    LedPreview(const std::atomic<Page>& currentPage, const ProfileStore& profiles,
               const MouseStateSource& mouse, platform::ViewPort& view, platform::Clock& clock);

    void ensureRunning() override { thread_.ensureRunning(); }
    LedPreviewView preview() const override {
        return {previewColour_.load(std::memory_order_relaxed),
                previewOff_.load(std::memory_order_relaxed)};
    }
    bool previewThreadRunning() const { return thread_.running(); }
    void stop() { thread_.stop(); }

    // The thread's job.
    void LedPreviewThread(std::stop_token stop);

  private:
    bool onColourPage() const;
    // What the preview follows: the current DPI level and the applied LED mode.
    struct Inputs {
        int32_t level = 0;
        uint8_t mode = 0;
    };
    Inputs inputs() const;

    const std::atomic<Page>& currentPage_;
    const ProfileStore& profiles_;
    const MouseStateSource& mouse_;
    platform::ViewPort& view_;
    platform::Clock& clock_;
    // Written by the thread, read when a frame is painted; a frame one step old is harmless.
    std::atomic<int32_t> previewColour_{0};
    std::atomic<bool> previewOff_{false};
    platform::WorkerThread thread_;  // last: it ends before the rest goes
};

}  // namespace v270
