#pragma once

#include <cstdint>

#include "ui/hit_test.h"

namespace v270 {

// The result of the warning dialog that cancels the opening of the function menu; any other
// result lets it open.
inline constexpr int32_t kWarningConfirmed = 1;
inline constexpr int32_t kWarningCancelled = 2;

// What pointer interaction asks of the main window. The Windows program implements it with its
// window and popups; tests record the calls. Every call comes on the window's thread.
class PointerWindow {
  public:
    virtual ~PointerWindow() = default;

    // Invalidates the whole window, erasing the background; it repaints when messages are next
    // dispatched.
    virtual void invalidate() = 0;
    // Invalidates the advanced page's redraw region (the window without the name edit and the two
    // lists), erasing the background.
    virtual void invalidateAdvancedRegion() = 0;
    // Paints what is invalid at once.
    virtual void updateNow() = 0;

    // Lets the system move the window as if its caption had been grabbed at `point`.
    virtual void startDrag(Point point) = 0;
    // Asks the window to minimise itself, as the system menu would.
    virtual void postMinimise(Point point) = 0;
    virtual void hideToTray() = 0;

    // The advanced page's four child windows: created in their rectangles when the page is
    // entered, destroyed (repeat edit, name edit, macro list, step list) when it is left.
    virtual void createAdvancedPageWindows() = 0;
    virtual void destroyAdvancedPageWindows() = 0;
    // Lists the macros in the macro list and selects the current one.
    virtual void refreshMacroList() = 0;
    // A press on one of the advanced page's macro entries 0..7 (import, export, add, delete,
    // record, repeat count, repeat switch, macro mode); the macro editor performs it.
    virtual void advancedMacroEntry(int32_t entry) = 0;

    // Worker threads of the pages, started by a page switch that has set their running flag.
    virtual void startBannerBlinkThread() = 0;
    virtual void startLedPreviewThread() = 0;

    // The screen position of the window's top-left corner.
    virtual Point screenOrigin() = 0;
    // Shows the warning dialog modally with its top-left corner at `origin` (screen pixels) and
    // returns its result.
    virtual int32_t showWarning(Point origin) = 0;
    // Opens the function menu for the button `menuButton` names, at `origin` (screen pixels).
    virtual void openFunctionMenu(Point origin) = 0;
    // Destroys the open function menu and its sub-menu.
    virtual void closeFunctionMenu() = 0;
};

// The main page's settings actions: the apply entry and the common entries 14 to 18.
class SettingsCommands {
  public:
    virtual ~SettingsCommands() = default;

    virtual void apply() = 0;
    virtual void importProfile() = 0;
    virtual void exportProfile() = 0;
    virtual void reset() = 0;
    // 1 switches the interface to English, 0 to Chinese.
    virtual void switchLanguage(int32_t language) = 0;
};

}  // namespace v270
