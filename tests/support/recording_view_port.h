#pragma once

#include <atomic>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/view_port.h"
#include "settings/text.h"
#include "support/event_log.h"

namespace v270::test {

// The advanced page's controls as plain state: the rows of both lists, their selections, the
// two edits. Only what the page does to them is logged.
struct ControlsState {
    std::vector<std::u16string> macroRows;
    int32_t selectedMacro = -1;
    std::u16string macroName;
    std::u16string repeatCount;
    bool repeatEnabled = true;
    std::vector<std::u16string> stepRows;
    int32_t selectedStep = -1;
    std::string focus;  // "macros" or "steps"
    int editsOpened = 0;
};

// The main window as the logic sees it: every request logged, in order, to `log` when one is
// given, and repaints counted. The warning dialog answers with `warningResult`; the keyboard
// capture is refused when `refuseCapture` is set.
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
    void completeStart() override { add("start completed"); }
    void show(platform::WindowShow how) override {
        static constexpr const char* kNames[] = {"show", "restore", "minimize", "hide"};
        add(kNames[static_cast<int>(how)]);
    }
    void addTrayIcon(std::u16string_view tip) override { add("tray add " + utf16ToUtf8(tip)); }
    void removeTrayIcon() override { add("tray remove"); }
    void setTrayTip(std::u16string_view tip) override { add("tray tip " + utf16ToUtf8(tip)); }
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
        controls = ControlsState{};
        return std::make_unique<Controls>(*this);
    }
    void showStepMenu(platform::PixelPoint p) override { add("step menu " + text(p)); }
    void focusWindow() override { add("focus window"); }
    std::unique_ptr<platform::KeyboardCapture> captureKeyboard() override {
        if (refuseCapture)
            return nullptr;
        add("capture keyboard");
        ++captures;
        return std::make_unique<Capture>(*this);
    }

    platform::PixelPoint origin{100, 50};
    int32_t warningResult = platform::kWarningConfirmed;
    int32_t menuSlot = 0;
    bool refuseCapture = false;
    std::atomic<int> invalidations{0};
    std::atomic<int> destructions{0};
    // Keyboard captures made, and those still in place.
    int captures = 0;
    int capturesHeld = 0;
    // The keys the system has typed into the capture in place, not yet taken.
    std::vector<platform::CapturedKey> capturedKeys;
    ControlsState controls;

  private:
    class Controls final : public platform::AdvancedPageControls {
      public:
        explicit Controls(RecordingViewPort& view) : view_(view), state_(view.controls) {}
        ~Controls() override { view_.add("destroy controls"); }

        void showMacros(std::span<const std::u16string> names) override {
            view_.add("refresh macro list");
            state_.macroRows.assign(names.begin(), names.end());
            state_.selectedMacro = -1;
        }
        void addMacroRow(std::u16string_view name) override { state_.macroRows.emplace_back(name); }
        void removeMacroRow(int32_t row) override {
            if (valid(state_.macroRows, row))
                state_.macroRows.erase(state_.macroRows.begin() + row);
            state_.selectedMacro = -1;
        }
        void selectMacroRow(int32_t row) override {
            state_.selectedMacro = valid(state_.macroRows, row) ? row : -1;
        }
        int32_t selectedMacroRow() const override { return state_.selectedMacro; }
        std::u16string macroRowText(int32_t row) const override {
            return valid(state_.macroRows, row) ? state_.macroRows[static_cast<size_t>(row)] : u"";
        }
        void focusMacroList() override { state_.focus = "macros"; }
        std::u16string macroName() const override { return state_.macroName; }
        void setMacroName(std::u16string_view name) override { state_.macroName = name; }
        std::u16string repeatCountText() const override { return state_.repeatCount; }
        void showRepeatCount(std::u16string_view text, bool enabled) override {
            state_.repeatCount = text;
            state_.repeatEnabled = enabled;
        }
        void showSteps(std::span<const std::u16string> rows) override {
            state_.stepRows.assign(rows.begin(), rows.end());
            state_.selectedStep = -1;
        }
        void addStepRow(std::u16string_view text) override { state_.stepRows.emplace_back(text); }
        void selectStepRow(int32_t row) override {
            state_.selectedStep = valid(state_.stepRows, row) ? row : -1;
        }
        int32_t selectedStepRow() const override { return state_.selectedStep; }
        int32_t stepRowCount() const override {
            return static_cast<int32_t>(state_.stepRows.size());
        }
        std::u16string stepRowText(int32_t row) const override {
            return valid(state_.stepRows, row) ? state_.stepRows[static_cast<size_t>(row)] : u"";
        }
        void focusStepList() override { state_.focus = "steps"; }
        void editSelectedStepRow() override {
            ++state_.editsOpened;
            view_.add("edit step row");
        }
        void focus(platform::AdvancedControl control) override {
            static constexpr const char* kNames[] = {"repeat", "name", "macros", "steps"};
            state_.focus = kNames[static_cast<int>(control)];
        }

      private:
        static bool valid(const std::vector<std::u16string>& rows, int32_t row) {
            return row >= 0 && static_cast<size_t>(row) < rows.size();
        }
        RecordingViewPort& view_;
        ControlsState& state_;
    };

    class Capture final : public platform::KeyboardCapture {
      public:
        explicit Capture(RecordingViewPort& view) : view_(view) { ++view_.capturesHeld; }
        ~Capture() override {
            --view_.capturesHeld;
            view_.add("release keyboard");
        }
        std::vector<platform::CapturedKey> takeKeys() override {
            return std::exchange(view_.capturedKeys, {});
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
