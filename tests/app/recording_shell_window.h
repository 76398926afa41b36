#pragma once

#include <string>

#include "app/shell_window.h"
#include "device/event_log.h"
#include "settings/text.h"

namespace v270::test {

// Logs every request of the lifecycle to the window, in order.
class RecordingShellWindow final : public ShellWindow {
  public:
    explicit RecordingShellWindow(EventLog& log) : log_(log) {}

    void invalidate() override { log_.add("invalidate"); }
    void startBannerBlinkThread() override { log_.add("blink"); }
    void startWorkerThreads() override { log_.add("threads"); }
    void addAboutItemToSystemMenu() override { log_.add("about item"); }
    void setBigIcon() override { log_.add("icon"); }
    void setTitle(std::u16string_view title) override { log_.add("title " + utf16ToUtf8(title)); }
    void createAdvancedControls() override { log_.add("controls"); }
    void createFonts() override { log_.add("fonts"); }
    void shapeWindow() override { log_.add("shape"); }
    void resetMacroEditing() override { log_.add("macro editing"); }
    void loadMenus(bool english) override { log_.add(english ? "menus en" : "menus cn"); }
    void addTrayIcon(std::u16string_view tip) override { log_.add("tray add " + utf16ToUtf8(tip)); }
    void removeTrayIcon() override { log_.add("tray remove"); }
    void show(WindowShow how) override {
        static constexpr const char* kNames[] = {"show", "restore", "minimize", "hide"};
        log_.add(kNames[static_cast<int>(how)]);
    }
    void showTrayMenu() override { log_.add("tray menu"); }
    void showAboutBox() override { log_.add("about box"); }
    void destroy() override { log_.add("destroy"); }

  private:
    EventLog& log_;
};

}  // namespace v270::test
