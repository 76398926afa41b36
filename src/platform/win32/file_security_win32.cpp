#include "platform/win32/file_security_win32.h"

#include <windows.h>
// windows.h first.
#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace v270::win32 {

namespace {

std::wstring wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::u16string utf16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};

std::u16string sidText(PSID sid) {
    LPWSTR text = nullptr;
    if (sid == nullptr || !ConvertSidToStringSidW(sid, &text))
        return {};
    const std::unique_ptr<wchar_t, LocalFreer> owned(text);
    return utf16(text);
}

// An entry's rights as the decision names them, generic rights spelt out for files first.
uint32_t fileRights(ACCESS_MASK mask) {
    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                            FILE_ALL_ACCESS};
    MapGenericMask(&mask, &mapping);
    struct Bit {
        ACCESS_MASK system;
        uint32_t right;
    };
    static constexpr Bit kBits[] = {
        {FILE_WRITE_DATA, platform::kWriteRight},
        {FILE_APPEND_DATA, platform::kAppendRight},
        {DELETE, platform::kDeleteRight},
        {FILE_DELETE_CHILD, platform::kDeleteChildRight},
        {WRITE_DAC, platform::kChangePermissionsRight},
        {WRITE_OWNER, platform::kTakeOwnershipRight},
    };
    uint32_t rights = 0;
    for (const Bit& bit : kBits) {
        if ((mask & bit.system) != 0)
            rights |= bit.right;
    }
    return rights;
}

// The entries that grant or deny rights to an account; entries of other kinds name no account
// a file's list would hold.
std::vector<platform::AccessEntry> entriesOf(PACL list) {
    std::vector<platform::AccessEntry> entries;
    for (DWORD index = 0; index < list->AceCount; ++index) {
        void* ace = nullptr;
        if (!GetAce(list, index, &ace))
            continue;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        const bool allows = header->AceType == ACCESS_ALLOWED_ACE_TYPE ||
                            header->AceType == ACCESS_ALLOWED_CALLBACK_ACE_TYPE;
        const bool denies = header->AceType == ACCESS_DENIED_ACE_TYPE ||
                            header->AceType == ACCESS_DENIED_CALLBACK_ACE_TYPE;
        if (!allows && !denies)
            continue;
        // The allowing and denying kinds share one layout: header, mask, then the account.
        const auto* entry = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        entries.push_back({sidText(const_cast<DWORD*>(&entry->SidStart)), fileRights(entry->Mask),
                           allows, (header->AceFlags & INHERIT_ONLY_ACE) != 0});
    }
    return entries;
}

}  // namespace

std::optional<platform::ObjectSecurity> Win32FileSecurity::read(std::u16string_view path) {
    // The object the name stands for, not what a link on it leads to: whoever may change the
    // link may change where the path goes.
    const UniqueHandle object(
        CreateFileW(wide(path).c_str(), READ_CONTROL,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!object)
        return std::nullopt;
    PSID owner = nullptr;
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object.get(), SE_FILE_OBJECT,
                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                        &list, nullptr, &descriptor) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const std::unique_ptr<void, LocalFreer> owned(descriptor);
    platform::ObjectSecurity security{sidText(owner), std::nullopt};
    if (security.owner.empty())
        return std::nullopt;
    if (list != nullptr)
        security.entries = entriesOf(list);
    return security;
}

std::u16string Win32FileSecurity::resolved(std::u16string_view path) {
    const UniqueHandle object(CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; object && attempt < 2; ++attempt) {
        const DWORD length = GetFinalPathNameByHandleW(
            object.get(), buffer.data(), static_cast<DWORD>(buffer.size()), VOLUME_NAME_DOS);
        if (length == 0)
            break;
        if (length < buffer.size()) {
            std::wstring_view text(buffer.data(), length);
            // "\\?\C:\..." as "C:\...", "\\?\UNC\server\..." as "\\server\...".
            if (text.starts_with(L"\\\\?\\UNC\\"))
                return u"\\\\" + utf16(text.substr(8));
            if (text.starts_with(L"\\\\?\\"))
                text.remove_prefix(4);
            return utf16(text);
        }
        buffer.resize(length + 1);
    }
    return std::u16string(path);
}

std::u16string Win32FileSecurity::accountName(std::u16string_view account) {
    PSID sid = nullptr;
    if (!ConvertStringSidToSidW(wide(account).c_str(), &sid))
        return std::u16string(account);
    const std::unique_ptr<void, LocalFreer> owned(sid);
    wchar_t name[256] = {};
    wchar_t domain[256] = {};
    DWORD nameLength = 256;
    DWORD domainLength = 256;
    SID_NAME_USE use;
    if (!LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use))
        return std::u16string(account);
    return domain[0] != L'\0' ? utf16(domain) + u"\\" + utf16(name) : utf16(name);
}

}  // namespace v270::win32
