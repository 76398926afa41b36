#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/pixel_types.h"

namespace v270::platform {

enum class WindowShow { Show, Restore, Minimize, Hide };

// The result of the warning dialog that cancels the opening of the function menu; any other
// result lets it open.
inline constexpr int32_t kWarningConfirmed = 1;
inline constexpr int32_t kWarningCancelled = 2;

// Where the advanced page's four standard controls lie, in client pixels.
struct AdvancedControlPlaces {
    PixelRect repeatCountEdit;
    PixelRect macroNameEdit;
    PixelRect macroList;
    PixelRect stepList;
};

// The standard controls over the advanced page's picture while the page is shown: the
// repeat-count edit, the macro-name edit, the macro list and the step list. Destroying the object
// destroys their windows, in that order.
class AdvancedPageControls {
  public:
    virtual ~AdvancedPageControls() = default;

    // Lists `names` in the macro list, selects row `selected` and shows its name in the name
    // edit; with no names the list is empty and the edit left as it is.
    virtual void showMacros(std::span<const std::u16string> names, int32_t selected) = 0;
};

// What the program's logic asks of its main window. Every call comes on the window's thread,
// except invalidate(), which any thread may make.
class ViewPort {
  public:
    virtual ~ViewPort() = default;

    // Invalidates the whole client area, erasing the background; it repaints when messages are
    // next dispatched.
    virtual void invalidate() = 0;
    // Invalidates the advanced page's redraw region (the window without the name edit and the
    // two lists), erasing the background.
    virtual void invalidateAdvancedRegion() = 0;
    // Paints what is invalid at once.
    virtual void updateNow() = 0;

    virtual void setTitle(std::u16string_view title) = 0;
    // The window shape and the advanced page's redraw region, from the skin's mask; the window
    // is centred on the screen in its new size.
    virtual void shapeWindow() = 0;
    // Releases the owner-drawn context and tray menus and loads those of the language.
    virtual void loadMenus(bool english) = 0;

    virtual void show(WindowShow how) = 0;
    virtual void addTrayIcon(std::u16string_view tip) = 0;
    virtual void removeTrayIcon() = 0;
    // Brings the window to the foreground and opens the tray menu at the cursor.
    virtual void showTrayMenu() = 0;
    virtual void showAboutBox() = 0;
    // Destroys the window; its message loop then ends.
    virtual void destroy() = 0;

    // Lets the system move the window as if its caption had been grabbed at `point`.
    virtual void startDrag(PixelPoint point) = 0;
    // Asks the window to minimise itself, as the system menu would.
    virtual void postMinimise(PixelPoint point) = 0;
    // The screen position of the window's top-left corner.
    virtual PixelPoint screenOrigin() = 0;

    // Shows the warning dialog modally with its top-left corner at `origin` (screen pixels) and
    // returns its result.
    virtual int32_t showWarning(PixelPoint origin) = 0;
    // Opens the function menu of button slot `slot` (1..6) at `origin` (screen pixels). When a
    // choice ends it, the window tells the main page.
    virtual void openFunctionMenu(PixelPoint origin, int32_t slot) = 0;
    // Destroys the open function menu and its sub-menu.
    virtual void closeFunctionMenu() = 0;

    // Creates the advanced page's controls in their places, in the interface font of the
    // language.
    virtual std::unique_ptr<AdvancedPageControls> createAdvancedPageControls(
        const AdvancedControlPlaces& places, bool english) = 0;
};

}  // namespace v270::platform
