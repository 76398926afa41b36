#include "platform/win32/system_actions_win32.h"

#include <windows.h>
// windows.h first.
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/shell_launch.h"
#include "platform/win32/com_objects.h"
#include "platform/win32/unique_handle.h"

namespace v270::win32 {

namespace {

constexpr wchar_t kComputerFolder[] = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

std::u16string utf16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

std::u16string hexCode(HRESULT code) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(code));
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

// Whether the process `id` runs with administrator rights; nothing when its token cannot be read.
std::optional<bool> processElevated(DWORD id) {
    const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    HANDLE token = nullptr;
    if (!process || !OpenProcessToken(process.get(), TOKEN_QUERY, &token))
        return std::nullopt;
    const UniqueHandle ownedToken(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size))
        return std::nullopt;
    return elevation.TokenIsElevated != 0;
}

// Asks the shell's desktop, served by the process `shellProcess`, to start `file`: the program
// then runs in the shell's name, with its rights. Only the shell's own process may serve the
// request: one served in this process would start with this process's rights.
HRESULT startThroughDesktop(DWORD shellProcess, const std::wstring& file) {
    ComPtr<IShellWindows> windows;
    HRESULT result = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                      IID_IShellWindows, reinterpret_cast<void**>(windows.put()));
    if (FAILED(result))
        return result;
    VARIANT anywhere;
    VariantInit(&anywhere);
    long desktopWindow = 0;
    ComPtr<IDispatch> desktop;
    result = windows->FindWindowSW(&anywhere, &anywhere, SWC_DESKTOP, &desktopWindow,
                                   SWFO_NEEDDISPATCH, desktop.put());
    if (result != S_OK || !desktop)
        return FAILED(result) ? result : E_FAIL;
    DWORD server = 0;
    GetWindowThreadProcessId(reinterpret_cast<HWND>(static_cast<LONG_PTR>(desktopWindow)), &server);
    if (server != shellProcess)
        return E_ACCESSDENIED;

    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IDispatch> application;
    ComPtr<IShellDispatch2> shell;
    result =
        desktop->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(services.put()));
    if (SUCCEEDED(result))
        result = services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                        reinterpret_cast<void**>(browser.put()));
    if (SUCCEEDED(result))
        result = browser->QueryActiveShellView(view.put());
    if (SUCCEEDED(result))
        result = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch,
                                     reinterpret_cast<void**>(background.put()));
    if (SUCCEEDED(result))
        result = background->QueryInterface(IID_IShellFolderViewDual,
                                            reinterpret_cast<void**>(folderView.put()));
    if (SUCCEEDED(result))
        result = folderView->get_Application(application.put());
    if (SUCCEEDED(result))
        result =
            application->QueryInterface(IID_IShellDispatch2, reinterpret_cast<void**>(shell.put()));
    if (FAILED(result))
        return result;
    const UniqueBstr name(utf16(file));
    VARIANT show;
    VariantInit(&show);
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    return shell->ShellExecute(name.get(), anywhere, anywhere, anywhere, show);
}

class ShellActions final : public platform::SystemActions {
  public:
    explicit ShellActions(ActionLog log) : log_(std::move(log)) {}

    void openComputerFolder() override { start(kComputerFolder); }

    void startProgram(const std::filesystem::path& program) override {
        // The path is never searched for, and the shell takes it whole, spaces and all.
        if (program.is_absolute())
            start(program.wstring());
    }

    void lockWorkStation() override { LockWorkStation(); }

    std::filesystem::path systemFolder() const override {
        std::vector<wchar_t> buffer(MAX_PATH);
        for (;;) {
            const UINT length =
                GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
            if (length == 0)
                return {};
            if (length < buffer.size())
                return std::wstring(buffer.data(), length);
            buffer.resize(length + 1);  // the length needed, terminator included
        }
    }

  private:
    // Never with this process's own token: through an unelevated shell, or not at all.
    void start(const std::wstring& file) {
        DWORD shellProcess = 0;
        if (HWND shellWindow = GetShellWindow())
            GetWindowThreadProcessId(shellWindow, &shellProcess);
        platform::DesktopShell shell;
        shell.found = shellProcess != 0;
        shell.ownProcess = shellProcess == GetCurrentProcessId();
        if (shell.found)
            shell.elevated = processElevated(shellProcess);
        if (const std::optional<std::u16string_view> refusal =
                platform::shellLaunchRefusal(shell)) {
            log_(u"V270: \"" + utf16(file) + u"\" not started: " + std::u16string(*refusal));
            return;
        }
        const ComApartment apartment;
        const HRESULT result =
            apartment.usable() ? startThroughDesktop(shellProcess, file) : apartment.result();
        if (FAILED(result)) {
            log_(u"V270: \"" + utf16(file) + u"\" not started: the desktop shell refused (" +
                 hexCode(result) + u")");
        }
    }

    const ActionLog log_;
};

}  // namespace

std::unique_ptr<platform::SystemActions> createShellActions(ActionLog log) {
    return std::make_unique<ShellActions>(std::move(log));
}

}  // namespace v270::win32

namespace v270::platform {

std::unique_ptr<SystemActions> createSystemActions() {
    // The developer's log is the debugger's output.
    return win32::createShellActions([](std::u16string_view line) {
        const std::wstring text = std::wstring(line.begin(), line.end()) + L"\n";
        OutputDebugStringW(text.c_str());
    });
}

}  // namespace v270::platform
