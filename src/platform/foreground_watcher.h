#pragma once

#include <functional>
#include <string>

namespace v270::platform {

// A window that came to the front of the desktop.
struct ForegroundChange {
    // The full path of the executable of the window's process; empty when the system would not
    // tell it.
    std::u16string executablePath;
    // The window is one of this program's own: its main window, a dialog or a message box.
    bool ownWindow = false;

    bool operator==(const ForegroundChange&) const = default;
};

// Tells of the foreground window when it starts watching and of every change while it watches,
// on the thread of the main window, as the change happens; nothing runs while nothing changes.
class ForegroundWatcher {
  public:
    using Listener = std::function<void(const ForegroundChange&)>;

    virtual ~ForegroundWatcher() = default;

    // Starts telling `listener`, first of the window in front now, if any; false when the system
    // refused. Starting again while watching only replaces the listener.
    virtual bool start(Listener listener) = 0;
    // Stops; the listener is not called again. Nothing happens when not watching.
    virtual void stop() = 0;
    virtual bool watching() const = 0;
};

}  // namespace v270::platform
