#include "app/program_protection.h"

#include <algorithm>
#include <array>

namespace v270 {

namespace {

using namespace platform;

constexpr std::array<std::u16string_view, 3> kTrustedAccounts = {
    u"S-1-5-32-544",                                                    // Administrators
    u"S-1-5-18",                                                        // SYSTEM
    u"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",  // TrustedInstaller
};
constexpr std::u16string_view kEveryone = u"S-1-1-0";

// What lets someone replace the program, by the object's place on its path.
constexpr uint32_t kFileRisks =
    kWriteRight | kAppendRight | kDeleteRight | kChangePermissionsRight | kTakeOwnershipRight;
constexpr uint32_t kFolderRisks = kFileRisks | kDeleteChildRight;
constexpr uint32_t kRisksAbove =
    kDeleteRight | kDeleteChildRight | kChangePermissionsRight | kTakeOwnershipRight;

uint32_t risksAt(size_t level) {
    return level == 0 ? kFileRisks : level == 1 ? kFolderRisks : kRisksAbove;
}

bool trusted(std::u16string_view account) {
    return std::find(kTrustedAccounts.begin(), kTrustedAccounts.end(), account) !=
           kTrustedAccounts.end();
}

bool isSeparator(char16_t unit) {
    return unit == u'\\' || unit == u'/';
}

// Where the `count` components from `from` on end, their last separator included.
size_t afterComponents(std::u16string_view path, size_t from, int count) {
    size_t at = from;
    for (int i = 0; i < count && at < path.size(); ++i) {
        while (at < path.size() && !isSeparator(path[at]))
            ++at;
        if (at < path.size())
            ++at;
    }
    return std::min(at, path.size());
}

// The length of the root of `path`: "C:\", "\\server\share\", "\\?\C:\", "\\?\UNC\s\share\";
// 0 for a relative path.
size_t rootLength(std::u16string_view path) {
    size_t start = 0;
    if (path.starts_with(u"\\\\?\\") || path.starts_with(u"\\\\.\\")) {
        start = 4;
        if (path.substr(start).starts_with(u"UNC\\"))
            return afterComponents(path, start + 4, 2);
    } else if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        return afterComponents(path, 2, 2);
    }
    if (path.size() >= start + 2 && path[start + 1] == u':')
        return std::min(path.size(), start + 3);
    return start;
}

// Someone else who may do one of `risks` to the object, or own it.
std::optional<std::u16string> exposedTo(const ObjectSecurity& security, uint32_t risks) {
    if (!trusted(security.owner))
        return security.owner;
    if (!security.entries)
        return std::u16string(kEveryone);
    for (const AccessEntry& entry : *security.entries) {
        if (entry.allows && !entry.inheritOnly && (entry.rights & risks) != 0 &&
            !trusted(entry.account)) {
            return entry.account;
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::u16string> pathAndFoldersAbove(std::u16string_view path) {
    const size_t root = rootLength(path);
    std::vector<std::u16string> chain;
    std::u16string_view rest = path;
    for (;;) {
        while (rest.size() > root && isSeparator(rest.back()))
            rest.remove_suffix(1);
        if (rest.size() <= root)
            break;
        chain.emplace_back(rest);
        const size_t cut = rest.find_last_of(u"\\/");
        if (cut == std::u16string_view::npos)
            break;
        rest = rest.substr(0, cut);
    }
    if (root > 0)
        chain.emplace_back(path.substr(0, root));
    return chain;
}

std::optional<ProgramExposure> findProgramExposure(FileSecurity& security,
                                                   std::u16string_view program) {
    std::vector<std::u16string> paths{std::u16string(program)};
    if (std::u16string target = security.resolved(program); target != program)
        paths.push_back(std::move(target));
    for (const std::u16string& path : paths) {
        const std::vector<std::u16string> chain = pathAndFoldersAbove(path);
        for (size_t level = 0; level < chain.size(); ++level) {
            const std::optional<ObjectSecurity> object = security.read(chain[level]);
            if (!object)
                return ProgramExposure{chain[level], {}};
            if (std::optional<std::u16string> account = exposedTo(*object, risksAt(level)))
                return ProgramExposure{chain[level], std::move(*account)};
        }
    }
    return std::nullopt;
}

std::u16string startWithWindowsRefusal(const ProgramExposure& exposure,
                                       std::u16string_view accountName, bool english) {
    const std::u16string object(exposure.object);
    const std::u16string account(accountName);
    if (english) {
        return u"Start with Windows was not turned on: " +
               (exposure.account.empty()
                    ? u"who may change \"" + object + u"\" could not be read."
                    : u"\"" + object + u"\" can be changed by " + account + u".") +
               u"\n\nThe driver starts at logon with administrator rights, so whoever can "
               u"change its file or a folder it lies in could put another program in its place "
               u"and have it run with those rights.\n\nInstall the driver with its setup "
               u"program, or move its folder into one that only administrators can change "
               u"(such as C:\\Program Files), then turn Start with Windows on again.";
    }
    return u"未开启开机启动：" +
           (exposure.account.empty() ? u"无法读取“" + object + u"”的修改权限。"
                                     : account + u" 可以修改“" + object + u"”。") +
           u"\n\n驱动在登录时以管理员权限启动，能修改其文件或所在文件夹的人都可以换上别的程序，"
           u"让它以这些权限运行。\n\n请用安装程序安装驱动，或将其文件夹移到只有管理员才能修改的"
           u"位置（例如 C:\\Program Files），然后重新开启开机启动。";
}

}  // namespace v270
