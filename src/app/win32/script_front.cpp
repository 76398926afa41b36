#include "app/win32/script_front.h"

#include <optional>
#include <vector>

#include "app/driver_status.h"
#include "app/instance_request.h"
#include "platform/file_system.h"
#include "platform/win32/copy_data.h"
#include "settings/profile_file.h"
#include "settings/text.h"
#include "ui/profile_file_text.h"

namespace v270::win32 {

namespace {

using namespace script_exit;

// An import may send the profile to the mouse before the driver answers.
constexpr UINT kScriptTimeoutMs = 15000;

// A message-only window that keeps the first well-formed answer handed to it.
class ReplyWindow {
  public:
    ReplyWindow() {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &ReplyWindow::procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kScriptReplyWindowClass;
        RegisterClassExW(&windowClass);
        window_ = CreateWindowExW(0, kScriptReplyWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, windowClass.hInstance, nullptr);
        if (window_ != nullptr) {
            SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            // The driver runs with administrator rights; its answer comes from above.
            ChangeWindowMessageFilterEx(window_, WM_COPYDATA, MSGFLT_ALLOW, nullptr);
        }
    }
    ~ReplyWindow() {
        if (window_ != nullptr)
            DestroyWindow(window_);
    }
    ReplyWindow(const ReplyWindow&) = delete;
    ReplyWindow& operator=(const ReplyWindow&) = delete;

    HWND handle() const { return window_; }
    const std::optional<ScriptReply>& reply() const { return reply_; }

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ReplyWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message != WM_COPYDATA || self == nullptr)
            return DefWindowProcW(window, message, wParam, lParam);
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (self->reply_ || data == nullptr || (data->lpData == nullptr && data->cbData != 0))
            return FALSE;
        self->reply_ = decodeScriptReply(
            data->dwData, std::span(static_cast<const uint8_t*>(data->lpData), data->cbData));
        return self->reply_ ? TRUE : FALSE;
    }

    HWND window_ = nullptr;
    std::optional<ScriptReply> reply_;
};

HANDLE streamHandle(DWORD stream) {
    HANDLE handle = GetStdHandle(stream);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
        return handle;
    // A program of the window subsystem started in a console has no streams: it writes to that
    // console.
    AttachConsole(ATTACH_PARENT_PROCESS);
    handle = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
    if (handle != INVALID_HANDLE_VALUE)
        SetStdHandle(stream, handle);
    return handle;
}

std::optional<std::vector<std::byte>> readImportFile(const std::u16string& file,
                                                     std::u16string& reason) {
    std::vector<std::byte> bytes;
    const platform::FileResult read =
        platform::readFileStart(pathFromUtf16(file), kMaxProfileFileBytes + 1, bytes);
    if (!read.ok()) {
        reason = read.reason;
        return std::nullopt;
    }
    return bytes;
}

int fail(int code, std::u16string_view text) {
    writeStandardStream(STD_ERROR_HANDLE, text);
    return code;
}

}  // namespace

void writeStandardStream(DWORD stream, std::u16string_view text) {
    HANDLE handle = streamHandle(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return;
    const std::u16string line = std::u16string(text) + u"\r\n";
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide(line.begin(), line.end());
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    // A pipe or a file: UTF-8, as scripts read it.
    const std::string utf8 = utf16ToUtf8(line);
    WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

int runScriptCommand(const ScriptCommand& command, HWND running, bool english) {
    if (running == nullptr)
        return fail(std::holds_alternative<StatusCommand>(command) ? kRefused : kNoDriver,
                    noDriverText(english));
    ScriptRequest request = StatusRequest{};
    if (const auto* exported = std::get_if<ExportCommand>(&command)) {
        request = ExportRequest{exported->profile};
    } else if (const auto* imported = std::get_if<ImportCommand>(&command)) {
        std::u16string reason;
        std::optional<std::vector<std::byte>> file = readImportFile(imported->file, reason);
        if (!file)
            return fail(kFileProblem, fileProblemText(imported->file, reason, true, english));
        if (file->size() > kMaxProfileFileBytes) {
            return fail(kDriverRefused,
                        profileFileProblemText({ProfileFileFault::NotAProfileFile, {}}, english));
        }
        request = ImportRequest{imported->profile, imported->force, std::move(*file)};
    }

    const ReplyWindow replies;
    std::vector<uint8_t> bytes = encodeScriptRequest(request);
    const bool taken = replies.handle() != nullptr &&
                       sendCopyData(running, static_cast<ULONG_PTR>(kInstanceRequestTag), bytes,
                                    kScriptTimeoutMs, replies.handle());
    if (!taken || !replies.reply())
        return fail(kNotTaken, notTakenText(english));
    const ScriptReply& reply = *replies.reply();

    if (std::holds_alternative<StatusCommand>(command)) {
        const std::optional<DriverStatus> status = decodeDriverStatus(reply.payload);
        if (reply.outcome != ScriptOutcome::Done || !status)
            return fail(kNotTaken, notTakenText(english));
        writeStandardStream(STD_OUTPUT_HANDLE, asciiToUtf16(statusJson(*status)));
        return kDone;
    }
    if (reply.outcome != ScriptOutcome::Done)
        return fail(kDriverRefused, scriptOutcomeText(command, reply, english));
    if (const auto* exported = std::get_if<ExportCommand>(&command)) {
        const auto file = std::as_bytes(std::span(reply.payload));
        if (!std::holds_alternative<ProfileFile>(readProfileFile(file)))
            return fail(kNotTaken, notTakenText(english));
        // Written with the rights of whoever runs the script, never the driver's.
        const platform::FileResult written =
            platform::replaceFileAtomically(pathFromUtf16(exported->file), file);
        if (!written.ok()) {
            return fail(kFileProblem,
                        fileProblemText(exported->file, written.reason, false, english));
        }
    }
    writeStandardStream(STD_OUTPUT_HANDLE, scriptOutcomeText(command, reply, english));
    return kDone;
}

}  // namespace v270::win32
