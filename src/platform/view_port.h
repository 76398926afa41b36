#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/keyboard_capture.h"
#include "platform/pixel_types.h"

namespace v270::platform {

enum class WindowShow { Show, Restore, Minimize, Hide };

// The result of the warning dialog that cancels the opening of the function menu; any other
// result lets it open.
inline constexpr int32_t kWarningConfirmed = 1;
inline constexpr int32_t kWarningCancelled = 2;

// The advanced page's four standard controls.
enum class AdvancedControl { RepeatCountEdit, MacroNameEdit, MacroList, StepList };

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

    // The macro list. Rows are numbered from 0; "selected" is -1 when no row is.
    virtual void showMacros(std::span<const std::u16string> names) = 0;
    virtual void addMacroRow(std::u16string_view name) = 0;
    virtual void removeMacroRow(int32_t row) = 0;
    virtual void selectMacroRow(int32_t row) = 0;
    virtual int32_t selectedMacroRow() const = 0;
    virtual std::u16string macroRowText(int32_t row) const = 0;
    virtual void focusMacroList() = 0;

    // The name edit and the repeat-count edit.
    virtual std::u16string macroName() const = 0;
    virtual void setMacroName(std::u16string_view name) = 0;
    virtual std::u16string repeatCountText() const = 0;
    virtual void showRepeatCount(std::u16string_view text, bool enabled) = 0;

    // The step list, which edits a row in place.
    virtual void showSteps(std::span<const std::u16string> rows) = 0;
    virtual void addStepRow(std::u16string_view text) = 0;
    virtual void selectStepRow(int32_t row) = 0;
    virtual int32_t selectedStepRow() const = 0;
    virtual int32_t stepRowCount() const = 0;
    virtual std::u16string stepRowText(int32_t row) const = 0;
    virtual void focusStepList() = 0;
    // Opens the in-place editor on the selected row, as Ctrl+A in the list does.
    virtual void editSelectedStepRow() = 0;

    // Gives the keyboard focus to one of the controls.
    virtual void focus(AdvancedControl control) = 0;
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
    // Makes what the window needs only after its first frame: its helper windows and the
    // screen readers' object. Called once in the start, where the first frame shows.
    virtual void completeStart() = 0;

    virtual void show(WindowShow how) = 0;
    virtual void addTrayIcon(std::u16string_view tip) = 0;
    virtual void removeTrayIcon() = 0;
    // Gives the tray icon a new tip, when it is shown.
    virtual void setTrayTip(std::u16string_view tip) = 0;
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
    // Opens the step list's context menu of the language at `at` (screen pixels); a command
    // chosen in it comes back to the advanced page.
    virtual void showStepMenu(PixelPoint at) = 0;

    // Gives the keyboard focus to the window itself, away from its controls.
    virtual void focusWindow() = 0;

    // Takes every keystroke of the system for the window, for as long as the object lives: the
    // keys come back to the advanced page. Null when the system refuses.
    virtual std::unique_ptr<KeyboardCapture> captureKeyboard() = 0;
};

}  // namespace v270::platform
