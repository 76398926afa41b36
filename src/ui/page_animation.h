#pragma once

namespace v270 {

// The worker thread that animates a page (the banner's blinking start key, the colour page's
// LED preview). It is started when the page wants it and ends by itself once the page no longer
// shows what it animates.
class PageAnimation {
  public:
    virtual ~PageAnimation() = default;

    // Starts the animation unless it runs.
    virtual void ensureRunning() = 0;
};

}  // namespace v270
