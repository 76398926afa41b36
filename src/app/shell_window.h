#pragma once

#include <string_view>

#include "platform/main_window_port.h"

namespace v270 {

enum class WindowShow { Show, Restore, Minimize, Hide };

// What the main window's lifecycle asks of the window itself. The Windows program implements it
// with its window classes; tests record the calls.
class ShellWindow : public platform::MainWindowPort {
  public:
    // The input reader and the action executor at the highest normal priority, then a banner
    // blink thread at normal priority.
    virtual void startWorkerThreads() = 0;
    virtual void addAboutItemToSystemMenu() = 0;
    virtual void setBigIcon() = 0;
    virtual void setTitle(std::u16string_view title) = 0;
    // The advanced page's four control objects; their windows come with the page.
    virtual void createAdvancedControls() = 0;
    virtual void createFonts() = 0;
    // The window shape and the advanced page's redraw region, from the skin's mask.
    virtual void shapeWindow() = 0;
    // After the macros are loaded: no function menu is open, and the step list's selected row
    // follows the current macro.
    virtual void resetMacroEditing() = 0;
    // The owner-drawn context and tray menus of the language.
    virtual void loadMenus(bool english) = 0;

    virtual void addTrayIcon(std::u16string_view tip) = 0;
    virtual void removeTrayIcon() = 0;
    virtual void show(WindowShow how) = 0;
    // Brings the window to the foreground and opens the tray menu at the cursor.
    virtual void showTrayMenu() = 0;
    virtual void showAboutBox() = 0;
    virtual void destroy() = 0;
};

}  // namespace v270
