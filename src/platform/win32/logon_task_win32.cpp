#include "platform/win32/logon_task_win32.h"

#include <windows.h>
// windows.h first.
#include <taskschd.h>

#include <vector>

#include "platform/win32/com_objects.h"

namespace v270::win32 {

namespace {

constexpr HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

std::u16string utf16(const wchar_t* text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

// "DOMAIN\name" of the user this process runs as, as a task's principal names a user; the plain
// name when the account cannot be looked up.
std::u16string currentUserId() {
    HANDLE token = nullptr;
    std::u16string id;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<BYTE> buffer(size);
        wchar_t name[256] = {};
        wchar_t domain[256] = {};
        DWORD nameLength = 256;
        DWORD domainLength = 256;
        SID_NAME_USE use;
        if (size != 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
            LookupAccountSidW(nullptr, reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, name,
                              &nameLength, domain, &domainLength, &use)) {
            id = utf16(domain) + u"\\" + utf16(name);
        }
        CloseHandle(token);
    }
    if (id.empty()) {
        wchar_t name[256] = {};
        DWORD length = 256;
        if (GetUserNameW(name, &length))
            id = utf16(name);
    }
    return id;
}

// The scheduler's root folder, connected to on this computer as the current user.
class Scheduler {
  public:
    Scheduler() {
        if (!apartment_.usable()) {
            result_ = apartment_.result();
            return;
        }
        ComPtr<ITaskService> service;
        result_ = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskService, reinterpret_cast<void**>(service.put()));
        const ScopedVariant none;
        if (SUCCEEDED(result_))
            result_ = service->Connect(none.get(), none.get(), none.get(), none.get());
        const UniqueBstr rootPath(u"\\");
        if (SUCCEEDED(result_))
            result_ = service->GetFolder(rootPath.get(), root_.put());
    }

    bool ready() const { return SUCCEEDED(result_) && root_; }
    // Why it is not ready: a failure, never a success code.
    HRESULT failure() const { return FAILED(result_) ? result_ : E_FAIL; }
    ITaskFolder* root() const { return root_.get(); }

  private:
    ComApartment apartment_;
    HRESULT result_ = E_FAIL;
    ComPtr<ITaskFolder> root_;
};

platform::LogonTaskResult resultOf(HRESULT result) {
    return {SUCCEEDED(result), static_cast<uint32_t>(result)};
}

}  // namespace

bool Win32LogonTask::registered() {
    const Scheduler scheduler;
    if (!scheduler.ready())
        return false;
    const UniqueBstr name(name_);
    ComPtr<IRegisteredTask> task;
    return SUCCEEDED(scheduler.root()->GetTask(name.get(), task.put())) && task;
}

platform::LogonTaskResult Win32LogonTask::add(std::u16string_view program,
                                              std::u16string_view arguments) {
    const Scheduler scheduler;
    if (!scheduler.ready())
        return resultOf(scheduler.failure());
    platform::LogonTaskDefinition definition;
    definition.userId = currentUserId();
    definition.command = std::u16string(program);
    definition.arguments = std::u16string(arguments);
    definition.atLogon = true;
    definition.highestPrivileges = true;
    definition.priority = platform::kNormalTaskPriority;
    const UniqueBstr name(name_);
    const UniqueBstr xml(platform::logonTaskXml(definition));
    const ScopedVariant none;
    ComPtr<IRegisteredTask> task;
    // The task runs as the user who is logged on, with that user's token: no password stored.
    return resultOf(scheduler.root()->RegisterTask(
        name.get(), xml.get(), TASK_CREATE_OR_UPDATE, none.get(), none.get(),
        TASK_LOGON_INTERACTIVE_TOKEN, none.get(), task.put()));
}

platform::LogonTaskResult Win32LogonTask::remove() {
    const Scheduler scheduler;
    if (!scheduler.ready())
        return resultOf(scheduler.failure());
    const UniqueBstr name(name_);
    const HRESULT result = scheduler.root()->DeleteTask(name.get(), 0);
    return resultOf(result == kNotFound ? S_OK : result);
}

std::u16string Win32LogonTask::registeredXml() {
    const Scheduler scheduler;
    if (!scheduler.ready())
        return {};
    const UniqueBstr name(name_);
    ComPtr<IRegisteredTask> task;
    UniqueBstr xml;
    if (FAILED(scheduler.root()->GetTask(name.get(), task.put())) || !task ||
        FAILED(task->get_Xml(xml.put()))) {
        return {};
    }
    return std::u16string(xml.view());
}

std::optional<platform::LogonTaskDefinition> Win32LogonTask::readBack() {
    const std::u16string xml = registeredXml();
    if (xml.empty())
        return std::nullopt;
    return platform::readLogonTaskXml(xml);
}

std::u16string logonTaskNameForCurrentUser() {
    wchar_t name[256] = {};
    DWORD length = 256;
    std::u16string task = u"V270 Start With Windows";
    // A user name holds none of the characters a task name may not have.
    if (GetUserNameW(name, &length))
        task += u" (" + utf16(name) + u")";
    return task;
}

}  // namespace v270::win32
