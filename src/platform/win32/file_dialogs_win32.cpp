#include "platform/win32/file_dialogs_win32.h"

#include <commdlg.h>

#include <string>
#include <vector>

namespace v270::win32 {

namespace {

// Room for a long path; the dialogs never return more than the buffer holds.
constexpr size_t kPathBuffer = 32768;

std::wstring wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// "Name|pattern||" as the dialogs want it: each part ended by a NUL, the list by a second one.
std::wstring systemFilter(std::u16string_view filter) {
    std::wstring result = wide(filter);
    for (wchar_t& unit : result) {
        if (unit == L'|')
            unit = L'\0';
    }
    result.push_back(L'\0');
    return result;
}

template <typename Run>
std::optional<std::filesystem::path> runDialog(HWND owner,
                                               const platform::FileDialogRequest& request,
                                               DWORD flags, Run run) {
    const std::wstring filter = systemFilter(request.filter);
    const std::wstring extension = wide(std::u16string_view(request.defaultExtension));
    const std::wstring folder = request.initialFolder.wstring();
    std::vector<wchar_t> file(kPathBuffer, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    // The program works with full paths only, so the current folder is left as it was.
    dialog.Flags = flags | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
    if (!run(&dialog))
        return std::nullopt;
    return std::filesystem::path(file.data());
}

}  // namespace

std::optional<std::filesystem::path> Win32FileDialogs::openFile(
    const platform::FileDialogRequest& request) {
    const DWORD flags = request.readOnly ? OFN_READONLY : 0;
    return runDialog(owner_.load(), request, flags,
                     [](OPENFILENAMEW* dialog) { return GetOpenFileNameW(dialog) != FALSE; });
}

std::optional<std::filesystem::path> Win32FileDialogs::saveFile(
    const platform::FileDialogRequest& request) {
    const DWORD flags = request.overwritePrompt ? OFN_OVERWRITEPROMPT : 0;
    return runDialog(owner_.load(), request, flags,
                     [](OPENFILENAMEW* dialog) { return GetSaveFileNameW(dialog) != FALSE; });
}

}  // namespace v270::win32
