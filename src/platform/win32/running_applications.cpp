#include "platform/win32/running_applications.h"

#include <algorithm>
#include <cwctype>

#include "platform/win32/foreground_watcher_win32.h"

namespace v270::win32 {

namespace {

std::wstring fileNameOf(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring upper(std::wstring text) {
    for (wchar_t& unit : text)
        unit = static_cast<wchar_t>(std::towupper(unit));
    return text;
}

// What the taskbar would show: visible, unowned, not a tool window, with a caption.
bool isApplicationWindow(HWND window) {
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER) != nullptr)
        return false;
    if ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0)
        return false;
    return GetWindowTextLengthW(window) > 0;
}

BOOL CALLBACK collect(HWND window, LPARAM list) {
    auto& applications = *reinterpret_cast<std::vector<RunningApplication>*>(list);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() || !isApplicationWindow(window))
        return TRUE;
    const std::u16string found = executablePathOf(process);
    if (found.empty())
        return TRUE;
    std::wstring path(found.begin(), found.end());
    const std::wstring key = upper(path);
    if (std::ranges::any_of(applications,
                            [&](const auto& known) { return upper(known.path) == key; }))
        return TRUE;
    std::wstring title(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    title.resize(
        static_cast<size_t>(GetWindowTextW(window, title.data(), static_cast<int>(title.size()))));
    applications.push_back({std::move(path), std::move(title)});
    return TRUE;
}

}  // namespace

std::vector<RunningApplication> runningApplications() {
    std::vector<RunningApplication> applications;
    EnumWindows(&collect, reinterpret_cast<LPARAM>(&applications));
    std::ranges::sort(applications, {}, [](const RunningApplication& application) {
        return upper(fileNameOf(application.path));
    });
    return applications;
}

}  // namespace v270::win32
