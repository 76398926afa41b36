#pragma once

#include <string>
#include <string_view>

#include "platform/view_port.h"

namespace v270 {

// The main window hidden to the tray: the tray icon, with the window title of the language as
// its tip, then the window minimised and hidden. The icon exists only while the window is hidden.
void hideToTray(platform::ViewPort& view, bool english);
// The same with another tip.
void hideToTrayWithTip(platform::ViewPort& view, std::u16string_view tip);

// The tray icon's tip while the program waits for the mouse.
std::u16string mouseAwayTip(bool english);

// The window back from the tray: shown, restored, and the icon removed.
void showFromTray(platform::ViewPort& view);

// Hides the main window to the tray with the tip of the moment: the window title, or while the
// program waits for the mouse, the tip that says the mouse is not connected.
class TrayHider {
  public:
    virtual ~TrayHider() = default;
    virtual void hideToTray() = 0;
};

}  // namespace v270
