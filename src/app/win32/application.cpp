#include "app/win32/application.h"

#include <commctrl.h>

#include <string>
#include <variant>

#include "app/command_line.h"
#include "app/running_copy.h"
#include "app/start_with_windows.h"
#include "app/win32/main_window.h"
#include "app/win32/message_boxes_win32.h"
#include "app/win32/running_instance.h"
#include "platform/file_system.h"
#include "platform/win32/file_security_win32.h"
#include "platform/win32/logon_task_win32.h"
#include "platform/win32/unique_handle.h"
#include "settings/program_paths.h"
#include "settings/text.h"

namespace v270::win32 {

namespace {

// The names a running driver holds: one for its session, one for the whole machine, so that
// two users signed in at the same time do not both drive the mouse. Only administrators and
// services may make a machine-wide name, so nobody else can take it first.
constexpr wchar_t kSessionName[] = L"DAVO_RUravuVez";
constexpr wchar_t kMachineName[] = L"Global\\DAVO_RUravuVez";

// What --start-with-windows ends with; the installer reads it.
constexpr int kTurnedOn = 0;
constexpr int kCommandLineRefused = 1;
constexpr int kNotProtected = 2;
constexpr int kSchedulerRefused = 3;

// Holds `name`, held from now until the process ends; `taken` tells whether it was there
// before, also when it belongs to an account this one may not open.
UniqueHandle holdName(const wchar_t* name, bool& taken) {
    UniqueHandle mutex(CreateMutexW(nullptr, FALSE, name));
    const DWORD error = GetLastError();
    taken = error == ERROR_ALREADY_EXISTS || (!mutex && error == ERROR_ACCESS_DENIED);
    return mutex;
}

// The installer's way of turning Start with Windows on: nothing shown, the outcome in the
// exit code.
int turnOnStartWithWindows(const ProgramPaths& paths) {
    Win32LogonTask task(logonTaskNameForCurrentUser());
    Win32FileSecurity security;
    Win32MessageBoxes messages(L"V270");
    StartWithWindows start(task, security, messages, pathToUtf16(platform::currentModulePath()));
    std::u16string why;
    switch (start.turnOn(englishInterface(paths), why)) {
        case StartWithWindowsResult::On:
            return kTurnedOn;
        case StartWithWindowsResult::NotProtected:
            return kNotProtected;
        case StartWithWindowsResult::SchedulerRefused:
            return kSchedulerRefused;
    }
    return kSchedulerRefused;
}

}  // namespace

DAVO_RUravuVez::DAVO_RUravuVez(HINSTANCE instance)
    : instance_(instance), exeFolder_(exeFolderOf(platform::currentModulePath())) {}

int DAVO_RUravuVez::InitInstance() {
    const ProgramPaths paths = ProgramPaths::inFolder(exeFolder_);
    // A command line that is refused, or asks for help, is answered here and nothing else is
    // done: no running copy is told anything, no window is made.
    const ParsedCommandLine parsed = parseCommandLine(commandLineArguments());
    if (const auto* problem = std::get_if<CommandLineProblem>(&parsed)) {
        Win32MessageBoxes(L"V270").show(commandLineRefusal(*problem, englishInterface(paths)));
        return kCommandLineRefused;
    }
    const CommandLineOptions options = std::get<CommandLineOptions>(parsed);
    if (options.help) {
        Win32MessageBoxes(L"V270").show(commandLineHelp(englishInterface(paths)));
        return 0;
    }
    if (options.startWithWindows)
        return turnOnStartWithWindows(paths);

    // Held, not owned, until the process ends: their existence is what a second copy sees. The
    // session's first, so that a copy starting beside this one always finds it; the machine's
    // goes first at the end, for the same reason.
    bool sessionTaken = false;
    bool machineTaken = false;
    const UniqueHandle sessionName = holdName(kSessionName, sessionTaken);
    UniqueHandle machineName;
    if (!sessionTaken)
        machineName = holdName(kMachineName, machineTaken);
    const RunningCopy running = runningCopy(sessionTaken, machineTaken);
    if (running != RunningCopy::None) {
        // When the other copy of this session is still starting or already ending there is no
        // window, and this copy ends all the same.
        HWND window = findRunningInstance();
        switch (secondStart(running, options)) {
            case SecondStart::TellOtherUser:
                Win32MessageBoxes(L"V270").show(otherUserMessage(englishInterface(paths)));
                break;
            case SecondStart::SendProfile:
                // The running copy switches; its window stays as it is.
                if (window != nullptr)
                    sendProfileRequest(window, *options.profile);
                break;
            case SecondStart::Restore:
                if (window != nullptr)
                    ShowWindow(window, SW_RESTORE);
                break;
            case SecondStart::LeaveAlone:
                break;
        }
        return 0;
    }

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    VADU_VIredoVud mainWindow(instance_, paths, options);
    mainWindow.runModal();
    return 0;
}

}  // namespace v270::win32
