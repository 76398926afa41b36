#pragma once

#include <atomic>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/view_port.h"
#include "settings/text.h"
#include "support/event_log.h"

namespace v270::test {

// The main window as the logic sees it: every request logged, in order, to `log` when one is
// given, and repaints counted. The warning dialog answers with `warningResult`.
class RecordingViewPort final : public platform::ViewPort {
  public:
    explicit RecordingViewPort(EventLog* log = nullptr) : log_(log) {}

    void invalidate() override {
        ++invalidations;
        add("invalidate");
    }
    void invalidateAdvancedRegion() override { add("invalidate advanced region"); }
    void updateNow() override { add("update"); }
    void setTitle(std::u16string_view title) override { add("title " + utf16ToUtf8(title)); }
    void shapeWindow() override { add("shape"); }
    void loadMenus(bool english) override { add(english ? "menus en" : "menus cn"); }
    void show(platform::WindowShow how) override {
        static constexpr const char* kNames[] = {"show", "restore", "minimize", "hide"};
        add(kNames[static_cast<int>(how)]);
    }
    void addTrayIcon(std::u16string_view tip) override { add("tray add " + utf16ToUtf8(tip)); }
    void removeTrayIcon() override { add("tray remove"); }
    void showTrayMenu() override { add("tray menu"); }
    void showAboutBox() override { add("about box"); }
    void destroy() override {
        ++destructions;
        add("destroy");
    }
    void startDrag(platform::PixelPoint p) override { add("drag " + text(p)); }
    void postMinimise(platform::PixelPoint p) override { add("minimise " + text(p)); }
    platform::PixelPoint screenOrigin() override { return origin; }
    int32_t showWarning(platform::PixelPoint p) override {
        add("warning " + text(p));
        return warningResult;
    }
    void openFunctionMenu(platform::PixelPoint p, int32_t slot) override {
        add("open menu " + text(p));
        menuSlot = slot;
    }
    void closeFunctionMenu() override { add("close menu"); }
    std::unique_ptr<platform::AdvancedPageControls> createAdvancedPageControls(
        const platform::AdvancedControlPlaces&, bool) override {
        add("create controls");
        return std::make_unique<Controls>(*this);
    }

    platform::PixelPoint origin{100, 50};
    int32_t warningResult = platform::kWarningConfirmed;
    int32_t menuSlot = 0;
    std::atomic<int> invalidations{0};
    std::atomic<int> destructions{0};
    // What the advanced page's controls last listed.
    std::vector<std::u16string> shownMacros;
    int32_t selectedMacro = -1;

  private:
    class Controls final : public platform::AdvancedPageControls {
      public:
        explicit Controls(RecordingViewPort& view) : view_(view) {}
        ~Controls() override { view_.add("destroy controls"); }
        void showMacros(std::span<const std::u16string> names, int32_t selected) override {
            view_.add("refresh macro list");
            view_.shownMacros.assign(names.begin(), names.end());
            view_.selectedMacro = selected;
        }

      private:
        RecordingViewPort& view_;
    };

    void add(std::string event) {
        if (log_ != nullptr)
            log_->add(std::move(event));
    }
    static std::string text(platform::PixelPoint p) {
        return std::to_string(p.x) + "," + std::to_string(p.y);
    }

    EventLog* const log_;
};

}  // namespace v270::test
