#pragma once

namespace v270::platform {

// What worker threads may ask of the main window. Both calls are safe from any thread.
class MainWindowPort {
  public:
    virtual ~MainWindowPort() = default;

    // Invalidates the whole client area, erasing the background, so that it repaints.
    virtual void invalidate() = 0;

    // Starts a BannerBlinkThread at normal priority (the caller has set blinkRunning).
    virtual void startBannerBlinkThread() = 0;
};

}  // namespace v270::platform
