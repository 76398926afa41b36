#pragma once

#include <optional>
#include <string>

#include "platform/foreground_watcher.h"

namespace v270::test {

// The foreground as a test moves it: bringToFront() tells the listener, as the system would,
// only while watching, and a start tells of the window in front then. Starts are counted.
class FakeForegroundWatcher final : public platform::ForegroundWatcher {
  public:
    bool start(Listener listener) override {
        const bool first = !listener_;
        listener_ = std::move(listener);
        if (first) {
            ++starts;
            if (front_)
                tell(*front_);
        }
        return true;
    }
    void stop() override { listener_ = nullptr; }
    bool watching() const override { return static_cast<bool>(listener_); }

    void bringToFront(std::u16string executablePath, bool ownWindow = false) {
        front_ = platform::ForegroundChange{std::move(executablePath), ownWindow};
        tell(*front_);
    }

    int starts = 0;

  private:
    void tell(const platform::ForegroundChange& change) {
        if (listener_) {
            const Listener listener = listener_;
            listener(change);
        }
    }

    Listener listener_;
    std::optional<platform::ForegroundChange> front_;
};

}  // namespace v270::test
