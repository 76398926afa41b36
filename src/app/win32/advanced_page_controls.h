#pragma once

#include <windows.h>

#include "settings/macro_store.h"
#include "ui/skin_tables.h"

namespace v270::win32 {

// The four standard controls that lie over the advanced page's picture: the repeat-count edit,
// the macro-name edit, the macro list and the step list. The object lives as long as the main
// window; the controls' windows exist only while the page is shown.
class AdvancedPageControls {
  public:
    static constexpr int kMacroNameEditId = 10000;
    static constexpr int kMacroListId = 10001;
    static constexpr int kStepListId = 10002;
    static constexpr int kRepeatCountEditId = 10004;

    AdvancedPageControls() = default;
    AdvancedPageControls(const AdvancedPageControls&) = delete;
    AdvancedPageControls& operator=(const AdvancedPageControls&) = delete;
    ~AdvancedPageControls() { destroy(); }

    // Creates the four windows in the skin's rectangles, in the interface font.
    void create(HINSTANCE instance, HWND parent, const SkinTables& tables, HFONT font);
    // Destroys them: repeat edit, name edit, macro list, step list.
    void destroy();
    bool shown() const { return macroList_ != nullptr; }

    // Lists the macros' names and selects the current macro (the last one when it lies
    // beyond), whose name the name edit then shows.
    void refreshMacroList(MacroStore& macros);

  private:
    HWND repeatCountEdit_ = nullptr;
    HWND macroNameEdit_ = nullptr;
    HWND macroList_ = nullptr;
    HWND stepList_ = nullptr;
};

}  // namespace v270::win32
