#pragma once

#include <windows.h>

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

    void showMacros(std::span<const std::u16string> names, int32_t selected) override;

  private:
    HWND repeatCountEdit_ = nullptr;
    HWND macroNameEdit_ = nullptr;
    HWND macroList_ = nullptr;
    HWND stepList_ = nullptr;
};

}  // namespace v270::win32
