#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/win32/window_messages.h"
#include "platform/picture.h"
#include "platform/win32/gdi_fonts.h"
#include "settings/macro_store.h"
#include "settings/profile_store.h"
#include "ui/display_scale.h"
#include "ui/function_menu.h"
#include "ui/hit_test.h"
#include "ui/picture_source.h"
#include "ui/skin_tables.h"
#include "ui/ui_text.h"

namespace v270::win32 {

// What the skinned popups of the main window draw with and act on. All of it outlives them.
struct PopupEnvironment {
    HINSTANCE instance = nullptr;
    std::filesystem::path skinFolder;
    // The masks as the skin has them, which give the popups' shapes in skin pixels.
    platform::PictureDecoder& decoder;
    // The pictures drawn, at the scale of the main window's monitor.
    PictureSource& pictures;
    DisplayScale scale;
    const GdiFonts& fonts;
    ProfileStore& profiles;
    MacroStore& macros;
    const SkinTables& tables;
    SubMenuChoices& subMenuChoices;
    HWND mainWindow = nullptr;
    // The button slot (1..6) whose function the function menu assigns.
    int32_t menuSlot = 0;

    platform::FontChoice font() const { return fontFor(profiles.englishUi() != 0); }
    std::shared_ptr<const platform::Picture> picture(std::string_view name) const {
        return pictures.picture(skinFolder / std::filesystem::path(name));
    }
    std::shared_ptr<const platform::Picture> mask(std::string_view name) const {
        return decoder.load(skinFolder / std::filesystem::path(name));
    }

    // A button got a new function: the main window shows its name at once.
    void functionChosen() const {
        InvalidateRect(mainWindow, nullptr, TRUE);
        UpdateWindow(mainWindow);
    }
    // Destroys the function menu and its sub-menu once the message being handled has returned,
    // so that no popup is destroyed inside its own handler.
    void requestMenuClose() const { PostMessageW(mainWindow, kCloseFunctionMenuMessage, 0, 0); }
};

// The client point of a mouse message.
inline Point pointOf(LPARAM lParam) {
    return {static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))};
}

// Shapes `window` to the rectangle (0, 0, width, height); nothing is left of it when either is 0.
inline void setRectangleRegion(HWND window, platform::PixelSize size) {
    HRGN region = CreateRectRgn(0, 0, size.width, size.height);
    // The window owns the region once it has it.
    if (region != nullptr && SetWindowRgn(window, region, TRUE) == 0)
        DeleteObject(region);
}

}  // namespace v270::win32
