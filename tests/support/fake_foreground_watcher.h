#pragma once

#include <string>

#include "platform/foreground_watcher.h"

namespace v270::test {

// The foreground as a test moves it: bringToFront() tells the listener, as the system would,
// only while watching. Starts and stops are counted.
class FakeForegroundWatcher final : public platform::ForegroundWatcher {
  public:
    bool start(Listener listener) override {
        if (refuseStart)
            return false;
        if (!listener_)
            ++starts;
        listener_ = std::move(listener);
        return true;
    }
    void stop() override {
        if (listener_)
            ++stops;
        listener_ = nullptr;
    }
    bool watching() const override { return static_cast<bool>(listener_); }

    void bringToFront(std::u16string executablePath, bool ownWindow = false) {
        if (listener_) {
            const Listener listener = listener_;
            listener({std::move(executablePath), ownWindow});
        }
    }

    bool refuseStart = false;
    int starts = 0;
    int stops = 0;

  private:
    Listener listener_;
};

}  // namespace v270::test
