#pragma once

#include <string>

#include "device/event_log.h"
#include "ui/pointer_window.h"

namespace v270::test {

// Logs every request of pointer interaction to the window and to the settings actions, in
// order. The warning dialog answers with `warningResult`.
class RecordingPointerWindow final : public PointerWindow, public SettingsCommands {
  public:
    explicit RecordingPointerWindow(EventLog& log) : log_(log) {}

    void invalidate() override { log_.add("invalidate"); }
    void invalidateAdvancedRegion() override { log_.add("invalidate advanced region"); }
    void updateNow() override { log_.add("update"); }
    void startDrag(Point p) override { log_.add("drag " + text(p)); }
    void postMinimise(Point p) override { log_.add("minimise " + text(p)); }
    void hideToTray() override { log_.add("hide to tray"); }
    void createAdvancedPageWindows() override { log_.add("create controls"); }
    void destroyAdvancedPageWindows() override { log_.add("destroy controls"); }
    void refreshMacroList() override { log_.add("refresh macro list"); }
    void advancedMacroEntry(int32_t entry) override {
        log_.add("macro entry " + std::to_string(entry));
    }
    void startBannerBlinkThread() override { log_.add("blink thread"); }
    void startLedPreviewThread() override { log_.add("preview thread"); }
    Point screenOrigin() override { return origin; }
    int32_t showWarning(Point p) override {
        log_.add("warning " + text(p));
        return warningResult;
    }
    void openFunctionMenu(Point p) override { log_.add("open menu " + text(p)); }
    void closeFunctionMenu() override { log_.add("close menu"); }

    void apply() override { log_.add("apply"); }
    void importProfile() override { log_.add("import"); }
    void exportProfile() override { log_.add("export"); }
    void reset() override { log_.add("reset"); }
    void switchLanguage(int32_t language) override {
        log_.add("language " + std::to_string(language));
    }

    Point origin{100, 50};
    int32_t warningResult = kWarningConfirmed;

  private:
    static std::string text(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

    EventLog& log_;
};

}  // namespace v270::test
