#pragma once

#include <windows.h>

#include <memory>

#include "app/win32/editable_list_box.h"
#include "platform/view_port.h"

namespace v270::win32 {

// The four standard controls that lie over the advanced page's picture: the repeat-count edit,
// the macro-name edit, the macro list and the step list. They exist as long as this object.
class AdvancedPageControls final : public platform::AdvancedPageControls {
  public:
    static constexpr int kMacroNameEditId = 10000;
    static constexpr int kMacroListId = 10001;
    static constexpr int kStepListId = 10002;
    static constexpr int kRepeatCountEditId = 10004;

    // Creates the four windows in their places, in `font`.
    AdvancedPageControls(HINSTANCE instance, HWND parent,
                         const platform::AdvancedControlPlaces& places, HFONT font);
    AdvancedPageControls(const AdvancedPageControls&) = delete;
    AdvancedPageControls& operator=(const AdvancedPageControls&) = delete;
    // Destroys them: repeat edit, name edit, macro list, step list.
    ~AdvancedPageControls() override;

    void showMacros(std::span<const std::u16string> names) override;
    void addMacroRow(std::u16string_view name) override;
    void removeMacroRow(int32_t row) override;
    void selectMacroRow(int32_t row) override;
    int32_t selectedMacroRow() const override;
    std::u16string macroRowText(int32_t row) const override;
    void focusMacroList() override;

    std::u16string macroName() const override;
    void setMacroName(std::u16string_view name) override;
    std::u16string repeatCountText() const override;
    void showRepeatCount(std::u16string_view text, bool enabled) override;

    void showSteps(std::span<const std::u16string> rows) override;
    void addStepRow(std::u16string_view text) override;
    void selectStepRow(int32_t row) override;
    int32_t selectedStepRow() const override;
    int32_t stepRowCount() const override;
    std::u16string stepRowText(int32_t row) const override;
    void focusStepList() override;
    void editSelectedStepRow() override;
    void focus(platform::AdvancedControl control) override;

  private:
    HWND repeatCountEdit_ = nullptr;
    HWND macroNameEdit_ = nullptr;
    HWND macroList_ = nullptr;
    HWND stepList_ = nullptr;
    std::unique_ptr<CEditableListBox> editableSteps_;
};

}  // namespace v270::win32
