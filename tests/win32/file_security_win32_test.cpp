// Owners and access lists read from the file system of the Wine prefix.
#include <windows.h>
// windows.h first.
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "app/program_protection.h"
#include "platform/win32/file_security_win32.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

std::u16string pathText(const std::filesystem::path& path) {
    const std::wstring text = path.wstring();
    return std::u16string(text.begin(), text.end());
}

std::u16string currentUser() {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    BYTE buffer[256] = {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, buffer, sizeof(buffer), &size);
    CloseHandle(token);
    LPWSTR text = nullptr;
    ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text);
    const std::u16string sid(text, text + wcslen(text));
    LocalFree(text);
    return sid;
}

// The list the installer gives its folder.
bool protect(const std::filesystem::path& folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", SDDL_REVISION_1,
            &descriptor, nullptr)) {
        return false;
    }
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL list = nullptr;
    PSID owner = nullptr;
    GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted);
    GetSecurityDescriptorOwner(descriptor, &owner, &defaulted);
    std::wstring path = folder.wstring();
    const DWORD result =
        SetNamedSecurityInfoW(path.data(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                  PROTECTED_DACL_SECURITY_INFORMATION,
                              owner, nullptr, list, nullptr);
    LocalFree(descriptor);
    return result == ERROR_SUCCESS;
}

TEST(FileSecurityWin32Test, WhatTheFileSystemKeepsDecidesWhetherStartWithWindowsIsAllowed) {
    test::TempFolder temp;
    const std::filesystem::path program = temp / "V270.exe";
    test::writeFile(program, "MZ");
    win32::Win32FileSecurity security;

    ASSERT_TRUE(security.read(pathText(program)));
    EXPECT_FALSE(security.read(pathText(temp / "missing.exe")));
    EXPECT_EQ(security.accountName(u"S-1-5-32-544"), u"BUILTIN\\Administrators");
    EXPECT_EQ(security.accountName(u"S-1-5-21-9-9-9-9999"), u"S-1-5-21-9-9-9-9999");

    // A folder the signed-in user made is theirs, and they may replace what it holds.
    const std::optional<ProgramExposure> exposure =
        findProgramExposure(security, pathText(program));
    ASSERT_TRUE(exposure);
    EXPECT_EQ(exposure->account, currentUser());

    // Protected as the installer protects its folder: where the list is kept, the folder no
    // longer exposes the program.
    ASSERT_TRUE(protect(temp.path()));
    const std::optional<platform::ObjectSecurity> folder = security.read(pathText(temp.path()));
    ASSERT_TRUE(folder);
    if (folder->owner == u"S-1-5-32-544") {
        const std::optional<ProgramExposure> after =
            findProgramExposure(security, pathText(program));
        EXPECT_TRUE(!after || after->object != pathText(temp.path()));
    } else {
        EXPECT_EQ(folder->owner, currentUser());
        std::printf("The file system keeps no access list: the folder is still its user's.\n");
    }
}

}  // namespace
}  // namespace v270
