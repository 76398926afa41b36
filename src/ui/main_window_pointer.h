#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "platform/view_port.h"
#include "settings/profile_store.h"
#include "ui/frame_state.h"
#include "ui/hit_test.h"
#include "ui/main_page.h"
#include "ui/page.h"
#include "ui/page_controller.h"
#include "ui/settings_commands.h"
#include "ui/skin_tables.h"
#include "ui/tray.h"

namespace v270 {

struct PointerServices {
    ProfileStore& profiles;
    const SkinTables& tables;
    std::atomic<Page>& currentPage;
    platform::ViewPort& view;
    SettingsCommands& settings;
    MainPage& mainPage;
    PageController& advancedPage;
    PageController& colourPage;
    TrayHider& tray;  // the close and revert entries hide the window
};

// The main window under the pointer: the hit test of every move against the skin's tables, the
// hover indices that the frames show, the tabs, and the routing of presses to the page shown.
// Page entries and the tabs act when the button goes down, the entries common to every page
// (0..19) when it comes up over them, wherever it went down. Presses and releases follow the
// pointer to their own point first, so they act on what lies under them even when no move came
// before. Runs on the window's thread.
class MainWindowPointer {
  public:
    explicit MainWindowPointer(const PointerServices& services) : s_(services) {}

    void onMouseMove(Point point);
    void onLeftButtonDown(Point point);
    void onLeftButtonUp(Point point);
    // A press and release at `point`, as the keyboard's press of an entry makes them; the
    // hover indices then follow the pointer's own last place again.
    void click(Point point);

    int32_t mainHover() const { return hovers_.main; }
    int32_t advancedHover() const { return hovers_.advanced; }
    int32_t colourHover() const { return hovers_.colour; }
    bool buttonPressed() const { return buttonPressed_; }

    // The pointer's part of a frame: the hover indices and the pressed look.
    void fill(FrameState& frame) const;

  private:
    Page page() const { return s_.currentPage.load(); }
    PageController& controller(Page page);
    // Follows the pointer to `point`: the three hover indices, and a repaint when one changed.
    void track(Point point);
    // Repaints at once the part of the window that the page lets be painted over.
    void repaintNow();
    // The page whose tab is under the pointer, if any.
    std::optional<Page> tabUnderPointer() const;
    void switchPage(Page to);
    void startDrag(Point point);

    PointerServices s_;
    Hovers hovers_;
    Hovers previous_;
    Point lastPoint_{-1, -1};
    bool buttonPressed_ = false;
};

}  // namespace v270
