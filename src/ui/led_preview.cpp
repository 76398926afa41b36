#include "ui/led_preview.h"

namespace v270 {

namespace {

constexpr int32_t kColourCount = 4;
constexpr uint8_t kSteadyMode = 2;
constexpr uint8_t kUnlitMode = 3;
constexpr uint8_t kFastMode = 1;

}  // namespace

LedPreview::LedPreview(const std::atomic<Page>& currentPage, const ProfileStore& profiles,
                       const MouseStateSource& mouse, platform::ViewPort& view,
                       platform::Clock& clock)
    : currentPage_(currentPage),
      profiles_(profiles),
      mouse_(mouse),
      view_(view),
      clock_(clock),
      thread_("v270 LED preview", platform::ThreadPriority::Normal,
              [this](std::stop_token stop) { LedPreviewThread(stop); }) {}

bool LedPreview::onColourPage() const {
    return currentPage_.load(std::memory_order_relaxed) == PAGE_COLOUR;
}

LedPreview::Inputs LedPreview::inputs() const {
    const ConfigProfile profile = profiles_.profile();
    return {profile.dpiLevel, mouse_.mouseState().ledMode(profile)};
}

void LedPreview::LedPreviewThread(std::stop_token stop) {
    Inputs now = inputs();
    int32_t colour = now.level;
    int32_t lastLevel = now.level;
    previewColour_.store(now.level);
    while (onColourPage()) {
        if (now.mode == kUnlitMode) {
            previewOff_.store(true);
            previewColour_.store(now.level);
        } else if (now.mode == kSteadyMode) {
            previewOff_.store(false);
            previewColour_.store(now.level);
        } else if (now.level != lastLevel) {
            // The new level's colour, lit at once and held.
            previewColour_.store(now.level);
            previewOff_.store(false);
            lastLevel = now.level;
            view_.invalidate();
            if (!clock_.waitFor(kLevelHold, stop))
                return;
        } else if (previewOff_.load()) {
            previewOff_.store(false);
        } else {
            previewOff_.store(true);
            previewColour_.store((colour + 1) % kColourCount);
        }
        view_.invalidate();
        if (!clock_.waitFor(now.mode == kFastMode ? kFastStep : kStep, stop))
            return;
        colour = previewColour_.load();
        now = inputs();
    }
}

}  // namespace v270
