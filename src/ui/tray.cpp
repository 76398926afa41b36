#include "ui/tray.h"

#include "ui/window_titles.h"

namespace v270 {

void hideToTray(platform::ViewPort& view, bool english) {
    view.addTrayIcon(windowTitle(english));
    view.show(platform::WindowShow::Minimize);
    view.show(platform::WindowShow::Hide);
}

void showFromTray(platform::ViewPort& view) {
    view.show(platform::WindowShow::Show);
    view.show(platform::WindowShow::Restore);
    view.removeTrayIcon();
}

}  // namespace v270
