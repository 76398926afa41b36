#include "settings/ini_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "support/faulty_file_system.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

TEST(IniFiles, AMissingFileReadsEmptyAndIsCreatedByAWrite) {
    TempFolder folder;
    IniFiles files;
    const auto file = folder / "config.ini";
    EXPECT_EQ(files.read(file, u"Init", u"CurConfig", 5), u"");
    EXPECT_TRUE(files.write(file, u"Init", u"CurConfig", u"2"));
    EXPECT_EQ(readFile(file), "[Init]\r\nCurConfig=2\r\n");
    EXPECT_EQ(files.read(file, u"Init", u"CurConfig", 5), u"2");
}

TEST(IniFiles, AGroupOfWritesIsOneReplaceAndLeavesNoTemporaryFile) {
    TempFolder folder;
    IniFiles files;
    const auto file = folder / "config.ini";
    writeFile(file, "[Init]\r\nCurConfig=1\r\n");
    EXPECT_TRUE(files.update(file, [](IniDocument& document) {
        document.write(u"Init", u"CurConfig", u"4");
        document.write(u"Init", u"VER_SEL", u"1");
    }));
    EXPECT_EQ(readFile(file), "[Init]\r\nCurConfig=4\r\nVER_SEL=1\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(IniFiles, AFileThatCannotBeWrittenStaysAsItWas) {
    TempFolder folder;
    IniFiles files;
    const auto file = folder / "missing-folder" / "config.ini";
    EXPECT_FALSE(files.write(file, u"Init", u"CurConfig", u"2"));
    EXPECT_FALSE(std::filesystem::exists(file));

    // A folder where the file should be cannot be read as a settings file, nor replaced.
    const auto notAFile = folder / "config.ini";
    std::filesystem::create_directory(notAFile);
    EXPECT_FALSE(files.write(notAFile, u"Init", u"CurConfig", u"2"));
    EXPECT_TRUE(std::filesystem::is_directory(notAFile));
}

// A scanner or a backup tool may hold the file for a moment: the replace is tried again.
TEST(IniFiles, AReplaceThatMeetsASharingViolationTwiceSucceeds) {
    TempFolder folder;
    test::FaultyFileSystem disk;
    IniFiles files(disk);
    const auto file = folder / "config.ini";
    disk.failReplaces(file, 2);
    EXPECT_TRUE(files.write(file, u"Init", u"CurConfig", u"2"));
    EXPECT_EQ(readFile(file), "[Init]\r\nCurConfig=2\r\n");
}

int processId() {
#ifdef _WIN32
    return _getpid();
#else
    return getpid();
#endif
}

// A save killed between creating its temporary file and renaming it leaves the temporary file
// (".config.ini.tmp-PID-N") beside the file, and a later process may get the same id.
TEST(IniFiles, TemporaryFilesOfKilledSavesNeitherBlockNorOutliveLaterSaves) {
    TempFolder folder;
    IniFiles files;
    const auto file = folder / "config.ini";
    struct Leftover {
        std::string name;
        bool old;
        bool kept;
    };
    std::vector<Leftover> leftovers = {
        {".config.ini.tmp-1-2", true, false},
        {".config.ini.tmp-1-3", false, true},   // maybe a save of another process, going on
        {".Macro_EN.dat.tmp-1-2", true, true},  // another file's: its own saves remove it
        {"config.ini.tmp-1-2", true, true},
    };
    // The names this process's next saves choose first, left by a process that had its id.
    for (int n = 0; n < 64; ++n) {
        leftovers.push_back(
            {".config.ini.tmp-" + std::to_string(processId()) + "-" + std::to_string(n), false,
             true});
    }
    const auto now = std::filesystem::file_time_type::clock::now();
    std::set<std::string> expected = {"config.ini"};
    for (const Leftover& leftover : leftovers) {
        writeFile(folder / leftover.name, "[Init]\r\nCurConfig=5\r\n");
        if (leftover.old)
            std::filesystem::last_write_time(folder / leftover.name, now - std::chrono::hours(1));
        if (leftover.kept)
            expected.insert(leftover.name);
    }

    EXPECT_TRUE(files.write(file, u"Init", u"CurConfig", u"2"));
    EXPECT_TRUE(files.write(file, u"Init", u"VER_SEL", u"1"));
    EXPECT_EQ(readFile(file), "[Init]\r\nCurConfig=2\r\nVER_SEL=1\r\n");
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, expected);
}

TEST(IniFiles, AnOversizedFileIsReadOnlyUpToTheCapAndNeverRewritten) {
    TempFolder folder;
    IniFiles files;
    const auto file = folder / "huge.ini";
    std::string content = "[A]\r\nk=1\r\n";
    content.append(static_cast<size_t>(IniFiles::kMaxFileBytes), 'x');
    content.append("\r\n[B]\r\nk=2\r\n");
    writeFile(file, content);
    EXPECT_EQ(files.read(file, u"A", u"k", 5), u"1");
    EXPECT_EQ(files.read(file, u"B", u"k", 5), u"") << "beyond the cap";
    EXPECT_FALSE(files.write(file, u"A", u"k", u"3"));
    EXPECT_EQ(std::filesystem::file_size(file), content.size());
}

TEST(IniFiles, GarbageOfHundredsOfMegabytesAndLongLinesHaveADefinedResult) {
    TempFolder folder;
    IniFiles files;
    const auto sparse = folder / "zeros.ini";
    writeFile(sparse, "[A]\r\nk=1\r\n");
    std::filesystem::resize_file(sparse, 300u << 20);  // NUL bytes, most of them never read
    EXPECT_EQ(files.read(sparse, u"A", u"k", 5), u"1");
    EXPECT_FALSE(files.write(sparse, u"A", u"k", u"2"));

    const auto longLine = folder / "long.ini";
    writeFile(longLine, "[A]\r\nk=" + std::string(3u << 20, '7') + "\r\nnext=2\r\n");
    EXPECT_EQ(files.read(longLine, u"A", u"k", 5), u"7777");
    EXPECT_EQ(files.read(longLine, u"A", u"next", 5), u"2");
    EXPECT_TRUE(files.write(longLine, u"A", u"next", u"3"));
    EXPECT_EQ(files.read(longLine, u"A", u"k", 4u << 20).size(), 3u << 20);
}

TEST(IniFilesThreads, GroupsFromTwoThreadsKeepEachOthersWrites) {
    TempFolder folder;
    IniFiles files;
    const auto file = folder / "config.ini";
    constexpr int kWrites = 40;
    auto writer = [&](std::u16string section) {
        for (int i = 0; i < kWrites; ++i) {
            files.update(file, [&](IniDocument& document) {
                document.write(section,
                               u"K" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                                   std::u16string(1, static_cast<char16_t>(u'0' + i / 26)),
                               u"1");
            });
        }
    };
    std::thread first(writer, u"Config1");
    std::thread second(writer, u"Config6");
    first.join();
    second.join();
    const IniDocument document = files.load(file);
    for (int i = 0; i < kWrites; ++i) {
        const std::u16string key = u"K" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                                   std::u16string(1, static_cast<char16_t>(u'0' + i / 26));
        EXPECT_EQ(document.read(u"Config1", key, 5), u"1");
        EXPECT_EQ(document.read(u"Config6", key, 5), u"1");
    }
}

}  // namespace
}  // namespace v270
