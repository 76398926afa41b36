#pragma once

#include <cstdint>

#include "ui/frame_state.h"
#include "ui/hit_test.h"
#include "ui/page.h"

namespace v270 {

// The entries under the pointer in each of the three tables, as the window follows it.
struct Hovers {
    int32_t main = NO_HIT;
    int32_t advanced = NO_HIT;
    int32_t colour = NO_HIT;
};

// What a press on a page came to.
enum class PressOutcome {
    Done,
    // The press lay on nothing the page acts on: the window is dragged from there.
    DragWindow,
    // A modal dialog took the release: the press has ended.
    PressEnded,
};

// One page of the main window: its own entries' presses, the page's part of each frame, its child
// controls and its worker thread. The window's pointer routes to the page shown; the tabs and the
// entries common to every page stay with the pointer. Runs on the window's thread.
class PageController {
  public:
    virtual ~PageController() = default;

    // The window has just switched to this page, or away from it.
    virtual void enter() {}
    virtual void leave() {}

    // A press on this page that no tab took.
    virtual PressOutcome press(Point point, const Hovers& hovers) = 0;

    // The page's inputs of a frame.
    virtual void fill(FrameState&) const {}
};

}  // namespace v270
