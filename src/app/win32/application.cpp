#include "app/win32/application.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <variant>
#include <vector>

#include "app/command_line.h"
#include "app/instance_request.h"
#include "app/win32/main_window.h"
#include "app/win32/message_boxes_win32.h"
#include "platform/file_system.h"
#include "platform/win32/copy_data.h"
#include "platform/win32/unique_handle.h"
#include "settings/ini_files.h"
#include "settings/profile_store.h"
#include "settings/program_paths.h"
#include "ui/window_titles.h"

namespace v270::win32 {

namespace {

constexpr wchar_t kInstanceMutex[] = L"DAVO_RUravuVez";
// A running copy that does not take the request within this time is left alone.
constexpr UINT kRequestTimeoutMs = 5000;

HWND findRunningInstance() {
    for (const bool english : {true, false}) {
        const std::u16string_view title = windowTitle(english);
        const std::wstring wide(title.begin(), title.end());
        if (HWND window = FindWindowW(nullptr, wide.c_str()))
            return window;
    }
    return nullptr;
}

// The words after the program's name, split as the C runtime would split them.
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

// The interface language, as the program reads it from config.ini at its start.
bool englishInterface(const ProgramPaths& paths) {
    IniFiles files;
    const ProfileStore profiles(files, paths.configFilePath);
    return profiles.readLanguage(paths.configFilePath) != 0;
}

void sendProfileRequest(HWND running, int32_t profile) {
    std::vector<uint8_t> request = encodeProfileRequest(profile);
    sendCopyData(running, static_cast<ULONG_PTR>(kInstanceRequestTag), request, kRequestTimeoutMs);
}

}  // namespace

DAVO_RUravuVez::DAVO_RUravuVez(HINSTANCE instance)
    : instance_(instance), exeFolder_(exeFolderOf(platform::currentModulePath())) {}

void DAVO_RUravuVez::InitInstance() {
    const ProgramPaths paths = ProgramPaths::inFolder(exeFolder_);
    // A command line that is refused, or asks for help, is answered here and nothing else is
    // done: no running copy is told anything, no window is made.
    const ParsedCommandLine parsed = parseCommandLine(commandLineArguments());
    if (const auto* problem = std::get_if<CommandLineProblem>(&parsed)) {
        Win32MessageBoxes(L"V270").show(commandLineRefusal(*problem, englishInterface(paths)));
        return;
    }
    const CommandLineOptions options = std::get<CommandLineOptions>(parsed);
    if (options.help) {
        Win32MessageBoxes(L"V270").show(commandLineHelp(englishInterface(paths)));
        return;
    }

    // Held, not owned, until the process ends: its existence is what a second copy sees.
    UniqueHandle instanceMutex(CreateMutexW(nullptr, FALSE, kInstanceMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // When the other copy is still starting or already ending there is no window, and this
        // copy ends all the same.
        HWND running = findRunningInstance();
        if (running == nullptr)
            return;
        if (options.profile) {
            // The running copy switches; its window stays as it is.
            sendProfileRequest(running, *options.profile);
        } else if (!options.tray) {
            // The window may be hidden to the tray; restoring shows it again.
            ShowWindow(running, SW_RESTORE);
        }
        return;
    }

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    VADU_VIredoVud mainWindow(instance_, paths, options);
    mainWindow.runModal();
}

}  // namespace v270::win32
