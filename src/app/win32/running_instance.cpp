#include "app/win32/running_instance.h"

#include <shellapi.h>

#include "app/instance_request.h"
#include "platform/win32/copy_data.h"
#include "settings/ini_files.h"
#include "settings/profile_store.h"
#include "ui/window_titles.h"

namespace v270::win32 {

namespace {

// A running copy that does not take the request within this time is left alone.
constexpr UINT kRequestTimeoutMs = 5000;

}  // namespace

void hardenLibrarySearch() {
    SetDllDirectoryW(L"");
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories != nullptr) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

std::vector<std::u16string> commandLineArguments() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::u16string> arguments;
    for (int i = 1; words != nullptr && i < count; ++i) {
        const std::wstring_view word(words[i]);
        arguments.emplace_back(word.begin(), word.end());
    }
    LocalFree(words);
    return arguments;
}

HWND findRunningInstance() {
    for (const bool english : {true, false}) {
        const std::u16string_view title = windowTitle(english);
        const std::wstring wide(title.begin(), title.end());
        if (HWND window = FindWindowW(nullptr, wide.c_str()))
            return window;
    }
    return nullptr;
}

bool englishInterface(const ProgramPaths& paths) {
    IniFiles files;
    const ProfileStore profiles(files, paths.configFilePath);
    return profiles.readLanguage(paths.configFilePath) != 0;
}

bool sendProfileRequest(HWND running, int32_t profile) {
    std::vector<uint8_t> request = encodeProfileRequest(profile);
    return sendCopyData(running, static_cast<ULONG_PTR>(kInstanceRequestTag), request,
                        kRequestTimeoutMs);
}

std::u16string commandLineOf(const CommandLineOptions& options) {
    std::u16string line;
    const auto add = [&line](std::u16string_view word) {
        line += line.empty() ? u"" : u" ";
        line += word;
    };
    if (options.profile)
        add(u"--profile=" + std::u16string(1, static_cast<char16_t>(u'0' + *options.profile)));
    if (options.tray)
        add(u"--tray");
    if (options.startWithWindows)
        add(u"--start-with-windows");
    return line;
}

}  // namespace v270::win32
