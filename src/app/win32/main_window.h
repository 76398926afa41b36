#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <optional>

#include "app/settings_actions.h"
#include "app/shell_window.h"
#include "app/win32/advanced_page_controls.h"
#include "app/win32/dialog.h"
#include "app/win32/function_menu_dialogs.h"
#include "app/win32/popup_environment.h"
#include "app/win32/program_state.h"
#include "app/win32/tray_icon.h"
#include "app/win32/zev_menu.h"
#include "platform/win32/gdi_objects.h"
#include "settings/program_paths.h"
#include "ui/pointer_window.h"

namespace v270::win32 {

class MainWindowPainter;

// The main window: a caption-less dialog shaped by the skin's mask, drawn entirely from the
// skin's pictures. It owns the program's state and runs the worker threads.
class VADU_VIredoVud final : public Dialog,
                             public ShellWindow,
                             public PointerWindow,
                             public SettingsWindow,
                             private FunctionMenuHost {
  public:
    VADU_VIredoVud(HINSTANCE instance, const ProgramPaths& paths);
    ~VADU_VIredoVud() override;

    // Creates the window from its template and runs its messages until it is destroyed.
    void runModal();

    // ShellWindow, and the worker threads' MainWindowPort.
    void invalidate() override;
    void startBannerBlinkThread() override;
    void startWorkerThreads() override;
    void addAboutItemToSystemMenu() override;
    void setBigIcon() override;
    void setTitle(std::u16string_view title) override;
    void createAdvancedControls() override;
    void createFonts() override;
    void shapeWindow() override;
    void resetMacroEditing() override;
    void loadMenus(bool english) override;
    void addTrayIcon(std::u16string_view tip) override;
    void removeTrayIcon() override;
    void show(WindowShow how) override;
    void showTrayMenu() override;
    void showAboutBox() override;
    void destroy() override;

    // PointerWindow, besides those above.
    void invalidateAdvancedRegion() override;
    void updateNow() override;
    void startDrag(Point point) override;
    void postMinimise(Point point) override;
    void hideToTray() override;
    void createAdvancedPageWindows() override;
    void destroyAdvancedPageWindows() override;
    void refreshMacroList() override;
    void advancedMacroEntry(int32_t entry) override;
    void startLedPreviewThread() override;
    Point screenOrigin() override;
    int32_t showWarning(Point origin) override;
    void openFunctionMenu(Point origin) override;
    void closeFunctionMenu() override;

  private:
    // FunctionMenuHost.
    int menuSlot() const override;
    void functionChosen() override;
    void requestMenuClose() override;

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool preTranslateMessage(const MSG& message);
    bool onCommand(WORD command);
    void onPaint();
    INT_PTR onControlColour(HDC dc);
    PopupEnvironment popupEnvironment();
    HFONT languageFont() const;

    HINSTANCE instance_;
    HICON icon_ = nullptr;
    // The handle as the worker threads see it; null before creation and after destruction.
    std::atomic<HWND> window_{nullptr};
    TrayIcon trayIcon_;
    CZevMenu contextMenu_;
    CZevMenu trayMenu_;
    std::unique_ptr<ProgramState> state_;
    std::unique_ptr<MainWindowPainter> painter_;
    AdvancedPageControls controls_;
    std::unique_ptr<CMenuDlg> menuDialog_;
    UniqueBrush controlBrush_{CreateSolidBrush(RGB(0, 0, 0))};
};

}  // namespace v270::win32
