// V270Cmd.exe: the driver's command line for scripts and shortcuts, without an elevation
// prompt. It takes the options of V270.exe and hands a running driver its profile request,
// which the driver's window lets through from programs without administrator rights and checks
// byte for byte. When no driver runs in this session it starts V270.exe with the same options,
// which asks for the rights the driver needs.
//
// Exit codes: 0 done; 1 the command line was refused; 2 the driver did not take the request;
// 3 the driver could not be started; with --start-with-windows, V270.exe's own. The options for
// scripts (--status, --export-profile, --import-profile) have their own (script_command.h) and
// tell on the standard streams.
#include <windows.h>

#include <shellapi.h>

#include <variant>

#include "app/command_line.h"
#include "app/running_copy.h"
#include "app/win32/message_boxes_win32.h"
#include "app/win32/running_instance.h"
#include "app/win32/script_front.h"
#include "platform/file_system.h"
#include "platform/win32/unique_handle.h"
#include "settings/program_paths.h"

namespace {

using namespace v270;
using namespace v270::win32;

constexpr std::u16string_view kProgramName = u"V270Cmd.exe";
constexpr int kRefused = 1;
constexpr int kNotTaken = 2;
constexpr int kNotStarted = 3;

std::wstring wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// Starts the driver beside this program; waits for its end only when it does a job and ends.
int startDriver(const std::filesystem::path& folder, const CommandLineOptions& options) {
    const std::wstring program = (folder / L"V270.exe").wstring();
    const std::wstring parameters = wide(commandLineOf(options));
    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof(start);
    start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    start.lpFile = program.c_str();
    start.lpParameters = parameters.c_str();
    start.lpDirectory = folder.c_str();
    start.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&start))
        return kNotStarted;
    const UniqueHandle process(start.hProcess);
    if (!options.startWithWindows || !process)
        return 0;
    WaitForSingleObject(process.get(), INFINITE);
    DWORD exitCode = kNotStarted;
    GetExitCodeProcess(process.get(), &exitCode);
    return static_cast<int>(exitCode);
}

int run() {
    const std::filesystem::path folder = exeFolderOf(platform::currentModulePath());
    const ProgramPaths paths = ProgramPaths::inFolder(folder);
    const std::vector<std::u16string> arguments = commandLineArguments();
    if (const auto script = parseScriptCommand(arguments)) {
        const bool english = englishInterface(paths);
        if (const auto* problem = std::get_if<CommandLineProblem>(&*script)) {
            writeStandardStream(STD_ERROR_HANDLE,
                                commandLineRefusal(*problem, english, kProgramName) + u"\n" +
                                    scriptCommandHelp(english));
            return kRefused;
        }
        return runScriptCommand(std::get<ScriptCommand>(*script), findRunningInstance(), english);
    }
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (const auto* problem = std::get_if<CommandLineProblem>(&parsed)) {
        Win32MessageBoxes(L"V270").show(
            commandLineRefusal(*problem, englishInterface(paths), kProgramName));
        return kRefused;
    }
    const CommandLineOptions options = std::get<CommandLineOptions>(parsed);
    if (options.help) {
        const bool english = englishInterface(paths);
        Win32MessageBoxes(L"V270").show(commandLineHelp(english, kProgramName) + u"\n" +
                                        scriptCommandHelp(english));
        return 0;
    }
    HWND running = options.startWithWindows ? nullptr : findRunningInstance();
    if (running == nullptr)
        return startDriver(folder, options);
    switch (secondStart(RunningCopy::ThisSession, options)) {
        case SecondStart::SendProfile:
            return sendProfileRequest(running, *options.profile) ? 0 : kNotTaken;
        case SecondStart::Restore:
            ShowWindow(running, SW_RESTORE);
            return 0;
        case SecondStart::LeaveAlone:
        case SecondStart::TellOtherUser:
            return 0;
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    hardenLibrarySearch();
    return run();
}
