#include "ui/tray.h"

#include "ui/window_titles.h"

namespace v270 {

void hideToTray(platform::ViewPort& view, bool english) {
    hideToTrayWithTip(view, windowTitle(english));
}

void hideToTrayWithTip(platform::ViewPort& view, std::u16string_view tip) {
    view.addTrayIcon(tip);
    view.show(platform::WindowShow::Minimize);
    view.show(platform::WindowShow::Hide);
}

std::u16string mouseAwayTip(bool english) {
    std::u16string tip(windowTitle(english));
    tip += english ? u" - the mouse is not connected" : u" - 鼠标未连接";
    return tip;
}

void showFromTray(platform::ViewPort& view) {
    view.show(platform::WindowShow::Show);
    view.show(platform::WindowShow::Restore);
    view.removeTrayIcon();
}

}  // namespace v270
