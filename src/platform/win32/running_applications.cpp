#include "platform/win32/running_applications.h"

#include <algorithm>
#include <cwctype>

#include "platform/win32/unique_handle.h"

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

BOOL CALLBACK collect(HWND window, LPARAM found) {
    auto& applications = *reinterpret_cast<std::vector<RunningApplication>*>(found);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() || !isApplicationWindow(window))
        return TRUE;
    std::optional<std::wstring> path = executablePathOfWindow(window);
    if (!path)
        return TRUE;
    const std::wstring key = upper(*path);
    if (std::ranges::any_of(applications,
                            [&](const auto& known) { return upper(known.path) == key; }))
        return TRUE;
    std::wstring title(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    title.resize(
        static_cast<size_t>(GetWindowTextW(window, title.data(), static_cast<int>(title.size()))));
    applications.push_back({std::move(*path), std::move(title)});
    return TRUE;
}

}  // namespace

std::optional<std::wstring> executablePathOfWindow(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == 0)
        return std::nullopt;
    const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return std::nullopt;
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = static_cast<DWORD>(path.size());
        if (QueryFullProcessImageNameW(process.get(), 0, path.data(), &length) != FALSE) {
            path.resize(length);
            return path;
        }
        // Long paths: grow up to the longest path Windows has.
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768)
            return std::nullopt;
        path.resize(path.size() * 2);
    }
}

std::vector<RunningApplication> runningApplications() {
    std::vector<RunningApplication> applications;
    EnumWindows(&collect, reinterpret_cast<LPARAM>(&applications));
    std::ranges::sort(applications, {}, [](const RunningApplication& application) {
        return upper(fileNameOf(application.path));
    });
    return applications;
}

}  // namespace v270::win32
