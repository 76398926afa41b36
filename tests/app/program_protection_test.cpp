#include "app/program_protection.h"

#include <gtest/gtest.h>

#include <functional>

#include "settings/text.h"
#include "support/fake_file_security.h"

namespace v270 {
namespace {

using namespace platform;
using Fake = test::FakeFileSecurity;

constexpr char16_t kProgram[] = u"C:\\Program Files\\V270\\V270.exe";
constexpr char16_t kFolder[] = u"C:\\Program Files\\V270";
const std::u16string kBob = u"S-1-5-21-1-2-3-1001";

TEST(ProgramProtectionTest, ThePathAndTheFoldersAboveItUpToItsRoot) {
    using Chain = std::vector<std::u16string>;
    EXPECT_EQ(pathAndFoldersAbove(kProgram),
              (Chain{kProgram, kFolder, u"C:\\Program Files", u"C:\\"}));
    EXPECT_EQ(pathAndFoldersAbove(u"D:/Games//V270/"),
              (Chain{u"D:/Games//V270", u"D:/Games", u"D:/"}));
    EXPECT_EQ(
        pathAndFoldersAbove(u"\\\\pc\\share\\V270\\V270.exe"),
        (Chain{u"\\\\pc\\share\\V270\\V270.exe", u"\\\\pc\\share\\V270", u"\\\\pc\\share\\"}));
    EXPECT_EQ(pathAndFoldersAbove(u"\\\\?\\C:\\V270.exe"),
              (Chain{u"\\\\?\\C:\\V270.exe", u"\\\\?\\C:\\"}));
    EXPECT_EQ(pathAndFoldersAbove(u"\\\\?\\UNC\\pc\\s\\V270.exe"),
              (Chain{u"\\\\?\\UNC\\pc\\s\\V270.exe", u"\\\\?\\UNC\\pc\\s\\"}));
    EXPECT_EQ(pathAndFoldersAbove(u"C:\\"), (Chain{u"C:\\"}));
}

TEST(ProgramProtectionTest, OnlyAdministratorsSystemAndTrustedInstallerMayReplaceTheProgram) {
    using Change = std::function<void(Fake&)>;
    const auto entry = [](std::u16string_view path, AccessEntry added) {
        return Change([path, added](Fake& fake) {
            fake.objects[std::u16string(path)].entries->push_back(added);
        });
    };
    struct Case {
        const char* name;
        Change change;
        std::optional<ProgramExposure> expected;
    };
    const Case cases[] = {
        {"protected as Program Files is", [](Fake&) {}, std::nullopt},
        {"users may add folders to the drive's root", entry(u"C:\\", {u"S-1-5-11", kAppendRight}),
         std::nullopt},
        {"users may write the file", entry(kProgram, {u"S-1-5-32-545", kWriteRight}),
         ProgramExposure{kProgram, u"S-1-5-32-545"}},
        {"users may add files to the folder", entry(kFolder, {u"S-1-5-32-545", kWriteRight}),
         ProgramExposure{kFolder, u"S-1-5-32-545"}},
        {"a user may rename what the folder above holds",
         entry(u"C:\\Program Files", {kBob, kDeleteChildRight}),
         ProgramExposure{u"C:\\Program Files", kBob}},
        {"a user may rename the folder above", entry(u"C:\\", {kBob, kDeleteRight}),
         ProgramExposure{u"C:\\", kBob}},
        {"a user may only add to the folder above",
         entry(u"C:\\Program Files", {kBob, kWriteRight | kAppendRight}), std::nullopt},
        {"rights inherited by the file", entry(kProgram, {kBob, kTakeOwnershipRight}),
         ProgramExposure{kProgram, kBob}},
        {"rights only for what the folder will hold", entry(kFolder, {kBob, 0x3F, true, true}),
         std::nullopt},
        {"a denying entry does not outweigh one that allows",
         [&](Fake& fake) {
             entry(kFolder, {kBob, kChangePermissionsRight, false})(fake);
             entry(kFolder, {kBob, kChangePermissionsRight})(fake);
         },
         ProgramExposure{kFolder, kBob}},
        {"a user owns the folder", [](Fake& fake) { fake.objects[kFolder].owner = kBob; },
         ProgramExposure{kFolder, kBob}},
        {"no list at all", [](Fake& fake) { fake.objects[kFolder].entries.reset(); },
         ProgramExposure{kFolder, u"S-1-1-0"}},
        {"rights that cannot be read", [](Fake& fake) { fake.objects.erase(u"C:\\Program Files"); },
         ProgramExposure{u"C:\\Program Files", u""}},
        {"a link to a folder users may change",
         [&](Fake& fake) {
             fake.links[kProgram] = u"D:\\Games\\V270.exe";
             for (const auto& path : pathAndFoldersAbove(u"D:\\Games\\V270.exe"))
                 fake.objects[path] = Fake::protectedObject();
             entry(u"D:\\Games", {kBob, kWriteRight})(fake);
         },
         ProgramExposure{u"D:\\Games", kBob}},
    };
    for (const Case& c : cases) {
        Fake fake;
        for (const std::u16string& path : pathAndFoldersAbove(kProgram))
            fake.objects[path] = Fake::protectedObject();
        c.change(fake);
        EXPECT_EQ(findProgramExposure(fake, kProgram), c.expected) << c.name;
    }
}

TEST(ProgramProtectionTest, TheRefusalSaysWhyAndWhatToDoInBothLanguages) {
    const ProgramExposure exposed{u"C:\\V270", u"S-1-5-11"};
    const std::string english = utf16ToUtf8(startWithWindowsRefusal(exposed, u"Users", true));
    EXPECT_TRUE(english.starts_with(
        "Start with Windows was not turned on: \"C:\\V270\" can be changed by Users."));
    EXPECT_NE(english.find("administrator rights"), std::string::npos);
    EXPECT_NE(english.find("Install the driver with its setup program"), std::string::npos);
    EXPECT_EQ(utf16ToUtf8(startWithWindowsRefusal({u"C:\\V270", u""}, u"", true))
                  .find("who may change \"C:\\V270\" could not be read."),
              38u);
    const std::string chinese = utf16ToUtf8(startWithWindowsRefusal(exposed, u"Users", false));
    EXPECT_TRUE(chinese.starts_with("未开启开机启动：Users 可以修改“C:\\V270”。"));
    EXPECT_NE(chinese.find("请用安装程序安装驱动"), std::string::npos);
}

}  // namespace
}  // namespace v270
