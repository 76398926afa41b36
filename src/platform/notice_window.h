#pragma once

#include <string_view>

#include "platform/frame_canvas.h"

namespace v270::platform {

// A short line of text over every other window, near the tray: shown for about a second, then
// fading out. It never takes the focus or the pointer, so a game in front keeps both.
class NoticeWindow {
  public:
    virtual ~NoticeWindow() = default;

    // Shows `text` in the interface font `font`. Any thread may call it; the window's own thread
    // does the showing. A newer text replaces the one showing and starts its second again.
    virtual void show(std::u16string_view text, FontChoice font) = 0;
};

}  // namespace v270::platform
