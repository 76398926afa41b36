#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "app/command_line.h"
#include "app/program.h"
#include "app/start_with_windows.h"
#include "app/win32/accessible_window.h"
#include "app/win32/deferred_notice_window.h"
#include "app/win32/function_menu_dialogs.h"
#include "app/win32/message_boxes_win32.h"
#include "app/win32/tray_icon.h"
#include "app/win32/zev_menu.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/hid.h"
#include "platform/synthetic_input.h"
#include "platform/system_actions.h"
#include "platform/view_port.h"
#include "platform/win32/com_objects.h"
#include "platform/win32/dialog.h"
#include "platform/win32/file_dialogs_win32.h"
#include "platform/win32/file_security_win32.h"
#include "platform/win32/foreground_watcher_win32.h"
#include "platform/win32/gdi_objects.h"
#include "platform/win32/hid_win32.h"
#include "platform/win32/logon_task_win32.h"
#include "platform/win32/one_shot_timer_win32.h"
#include "platform/win32/system_settings_win32.h"
#include "settings/program_paths.h"
#include "ui/app_profiles_editor.h"
#include "ui/picture_prefetch.h"

namespace v270::win32 {

class MainWindowPainter;

// The main window: a caption-less dialog shaped by the skin's mask, drawn entirely from the
// skin's pictures. It is the program's view port and message plumbing: it turns its messages
// into the events of the program's logic, and it owns the platform services and the program,
// whose worker threads end, joined, before anything they use is destroyed.
class VADU_VIredoVud final : public Dialog,
                             public platform::ViewPort,
                             public AppProfilesDialog,
                             public AccessibleEntrySource {
  public:
    // `options`: a profile to start with, and whether to start hidden in the tray.
    VADU_VIredoVud(HINSTANCE instance, const ProgramPaths& paths,
                   const CommandLineOptions& options = {});
    ~VADU_VIredoVud() override;

    // Creates the window from its template and runs its messages until it is destroyed.
    void runModal();

    // platform::ViewPort.
    void invalidate() override;
    void invalidateAdvancedRegion() override;
    void updateNow() override;
    void setTitle(std::u16string_view title) override;
    void shapeWindow() override;
    void loadMenus(bool english) override;
    void completeStart() override;
    void show(platform::WindowShow how) override;
    void addTrayIcon(std::u16string_view tip) override;
    void removeTrayIcon() override;
    void setTrayTip(std::u16string_view tip) override;
    void showTrayMenu() override;
    void showAboutBox() override;
    void destroy() override;
    void startDrag(Point point) override;
    void postMinimise(Point point) override;
    Point screenOrigin() override;
    int32_t showWarning(Point origin) override;
    void openFunctionMenu(Point origin, int32_t slot) override;
    void closeFunctionMenu() override;
    std::unique_ptr<platform::AdvancedPageControls> createAdvancedPageControls(
        const platform::AdvancedControlPlaces& places, bool english) override;
    void showStepMenu(Point at) override;
    void focusWindow() override;
    std::unique_ptr<platform::KeyboardCapture> captureKeyboard() override;

    // AppProfilesDialog.
    std::optional<AppProfileSettings> editAppProfiles(const AppProfileSettings& settings,
                                                      bool english,
                                                      int32_t currentProfile) override;

    // AccessibleEntrySource (main_window_accessibility.cpp).
    std::vector<EntryDescription> accessibleEntries() override;
    bool englishInterface() override;
    void focusAccessibleEntry(const FocusEntry& entry) override;
    void pressAccessibleEntry(const FocusEntry& entry) override;

  private:
    void startAccessibility();
    void stopAccessibility();
    LRESULT onGetObject(WPARAM flags, LPARAM objectId);
    void onAccessiblePress(WPARAM kind, LPARAM index);

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onInitDialog() override;
    bool preTranslateMessage(const MSG& message);
    // The keys that move and use the keyboard focus (main_window_keys.cpp); true when taken.
    bool onNavigationKey(const MSG& message);
    bool onCommand(WORD command, WORD notification) override;
    bool onStepCommand(WORD command);
    INT_PTR onTrayCallback(UINT iconId, UINT mouseMessage);
    bool onSystemCommand(WPARAM command);
    INT_PTR onCopyData(HWND from, const COPYDATASTRUCT* data);
    void onPaint();
    INT_PTR onControlColour(HDC dc);
    PopupEnvironment popupEnvironment(int32_t slot);
    // The scale of the window's monitor (main_window_scale.cpp): the skin's tables, fonts,
    // pictures and menus follow it; a change reshapes the window where the system puts it.
    void applyScale(int32_t dpi);
    void onDpiChanged(int32_t dpi, const RECT& suggested);
    bool onGetDpiScaledSize(int32_t dpi, SIZE& size) const;
    HFONT languageFont(bool english) const;
    // Adds the wanted tray icon again; while the shell refuses it, a timer tries again.
    void restoreTrayIcon();

    HINSTANCE instance_;
    // The first frame's pictures, decoded on another thread from here on; the painter takes them.
    std::unique_ptr<PicturePrefetch> prefetch_;
    // COM on the window's thread, for the screen readers' object, from the end of the start.
    std::optional<ComApartment> com_;
    AccessibleWindow* accessible_ = nullptr;
    const CommandLineOptions startOptions_;
    // While a start into the tray creates the window, it is never shown: the dialog would show
    // it after its initialisation, which already hid it to the tray.
    bool keepHidden_ = false;
    HICON icon_ = nullptr;
    // The handle as the worker threads see it; null before creation and after destruction.
    std::atomic<HWND> window_{nullptr};
    TrayIcon trayIcon_;
    // Sent to every top-level window when the shell (re)creates the taskbar.
    const UINT taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
    UniqueBrush controlBrush_{CreateSolidBrush(RGB(0, 0, 0))};

    // The platform services the program reaches the system through.
    Win32MessageBoxes messages_{L"V270"};
    Win32FileDialogs dialogs_;
    Win32SystemSettings systemSettings_;
    const std::unique_ptr<platform::Clock> clock_;
    const std::unique_ptr<platform::SyntheticInput> input_;
    const std::unique_ptr<platform::SystemActions> systemActions_;
    const std::unique_ptr<Win32HidSystem> hid_;
    Win32ForegroundWatcher foregroundWatcher_;
    Win32OneShotTimer settleTimer_;
    Win32LogonTask logonTask_{logonTaskNameForCurrentUser()};
    Win32FileSecurity fileSecurity_;
    DeferredNoticeWindow notice_;
    platform::SystemFileSystem fileSystem_;

    // The program. Its threads use only what is declared above it, and what is declared below
    // uses the program: it goes after the latter and before the former.
    std::unique_ptr<Program> program_;
    std::unique_ptr<MainWindowPainter> painter_;
    CZevMenu contextMenu_;
    CZevMenu trayMenu_;
    std::unique_ptr<CMenuDlg> menuDialog_;
    std::unique_ptr<StartWithWindows> startWithWindows_;
};

}  // namespace v270::win32
