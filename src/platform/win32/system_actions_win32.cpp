#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/system_actions.h"

namespace v270::platform {

namespace {

constexpr wchar_t kComputerFolder[] = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

// The command line that WinExec runs: the path in quotes, so that no part of a path with
// spaces can be taken for a program of its own. Empty when the path cannot be said in the ANSI
// code page that WinExec takes: a best-fit substitute could name a different file.
std::string quotedAnsiCommandLine(const std::filesystem::path& program) {
    const std::wstring quoted = L"\"" + program.wstring() + L"\"";
    // A UTF-8 code page says every path exactly, and refuses the substitution report.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length =
        WideCharToMultiByte(CP_ACP, flags, quoted.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::vector<char> text(static_cast<size_t>(length));
    BOOL substituted = FALSE;
    if (WideCharToMultiByte(CP_ACP, flags, quoted.c_str(), -1, text.data(), length, nullptr,
                            utf8 ? nullptr : &substituted) != length ||
        substituted) {
        return {};
    }
    return std::string(text.data());
}

class Win32SystemActions : public SystemActions {
  public:
    void openComputerFolder() override {
        ShellExecuteW(nullptr, nullptr, kComputerFolder, nullptr, nullptr, SW_SHOWNORMAL);
    }

    void startProgram(const std::filesystem::path& program) override {
        if (!program.is_absolute())
            return;
        const std::string commandLine = quotedAnsiCommandLine(program);
        if (!commandLine.empty())
            WinExec(commandLine.c_str(), SW_SHOW);
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
};

}  // namespace

std::unique_ptr<SystemActions> createSystemActions() {
    return std::make_unique<Win32SystemActions>();
}

}  // namespace v270::platform
