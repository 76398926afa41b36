#include "ui/skin_loader.h"

#include <gtest/gtest.h>

#include "settings/text.h"
#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

using test::TempFolder;
using test::writeFile;

// A UTF-16LE file with a byte order mark, as the Chinese layout files are.
std::string utf16File(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

class SkinLoaderTest : public testing::Test {
  protected:
    SkinLoaderTest() {
        std::filesystem::create_directories(folder / "INI_EN");
        std::filesystem::create_directories(folder / "INI_CN");
        settings.setEnglishUi(1);
    }

    std::filesystem::path english(const char* name) const { return folder / "INI_EN" / name; }
    std::filesystem::path chinese(const char* name) const { return folder / "INI_CN" / name; }

    TempFolder folder;
    IniFiles files;
    test::RecordingMessageBoxes messages;
    ProfileStore settings{files, folder / "config.ini"};
    SkinTables tables;
    SkinLoader loader{files, messages, folder.path(), settings, tables};

    SkinRecord read(const std::filesystem::path& file, int32_t index) {
        return loader.ReadSkinRecord(file, u"BUTTONPOS", index).value_or(SkinRecord{});
    }
};

TEST_F(SkinLoaderTest, ReadSkinRecordSplitsAWellFormedValue) {
    writeFile(english("a.ini"),
              "[BUTTONPOS]\r\n12=min,560,8,20,20,,\r\n3=x,10,20,30,40,Apply,\r\n");
    const SkinRecord min = read(english("a.ini"), 12);
    EXPECT_EQ(min.fields[0], u"min");
    EXPECT_EQ(min.item(), (SkinItem{560, 8, 20, 20, u""}));

    const SkinItem apply = read(english("a.ini"), 3).item();
    EXPECT_EQ(apply, (SkinItem{10, 20, 30, 40, u"Apply"}));
    EXPECT_TRUE(apply.contains(39, 59));
    EXPECT_FALSE(apply.contains(40, 20));
    EXPECT_TRUE(apply.contains(10, 20));
    EXPECT_FALSE(apply.contains(9, 20));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(SkinLoaderTest, ReadSkinRecordReportsTooManyCommasAndSplitsAnyway) {
    writeFile(english("a.ini"),
              "[BUTTONPOS]\r\n1=a,1,2,3,4,lbl,x,y\r\n2= 7px,x, -3,,\r\n"
              "3=n,2147483647,-2147483648,99999999999,-40000,\r\n");
    const SkinRecord record = read(english("a.ini"), 1);
    EXPECT_EQ(messages.shown(), std::vector<std::u16string>{u"加载ini错误！"});
    EXPECT_EQ(record.item(), (SkinItem{1, 2, 3, 4, u"lbl"}));
    EXPECT_EQ(record.fields[6], u"x,y");

    // Numbers convert like the C runtime: leading digits, else 0. A short value leaves the
    // fields it does not reach empty.
    const SkinRecord loose = read(english("a.ini"), 2);
    EXPECT_EQ(loose.fields[0], u"7px");
    EXPECT_EQ(loose.item(), (SkinItem{0, -3, 0, 0, u""}));
    EXPECT_EQ(messages.shown().size(), 1u);
}

TEST_F(SkinLoaderTest, ReadSkinRecordOfAMissingFileReportsIt) {
    EXPECT_FALSE(loader.ReadSkinRecord(english("gone.ini"), u"BUTTONPOS", 0));
    EXPECT_EQ(messages.shown(), std::vector<std::u16string>{u"找不到配置文件"});
}

TEST_F(SkinLoaderTest, SplittingKeepsTheValueWithinItsBuffer) {
    EXPECT_EQ(splitSkinRecord(u"Middle Click").fields[0], u"Middle Click");
    EXPECT_EQ(splitSkinRecord(u"Middle,Click").fields[0], u"Middle");
    EXPECT_EQ(splitSkinRecord(u"Middle,Click").fields[1], u"Click");
    EXPECT_EQ(splitSkinRecord(u"").fields, SkinRecord{}.fields);
    EXPECT_EQ(splitSkinRecord(u",,,,,,").fields, SkinRecord{}.fields);

    // A value is cut at 259 characters, before it is split.
    const std::string longLabel(300, 'L');
    writeFile(english("a.ini"), "[BUTTONPOS]\r\n0=n,1,2,3,4," + longLabel + "\r\n");
    EXPECT_EQ(read(english("a.ini"), 0).fields[5].size(), 259u - 10u);
}

TEST_F(SkinLoaderTest, MainSkinFillsItsEntriesAndFunctionNames) {
    writeFile(english("skin_main_en.ini"),
              "[BUTTONPOS]\r\n0=title,5,6,100,20,V270,\r\n99=last,1,2,3,4,z,\r\n"
              "100=never,1,2,3,4,lbl,x,y\r\n"
              "[FUN_STRING]\r\n1=Left Click\r\n3=Middle Click\r\n4=Middle,Click\r\n"
              "54=Last\r\n55=never,1,2,3,4,5,6,7\r\n");
    EXPECT_TRUE(loader.LoadMainSkin());
    EXPECT_EQ(tables.mainItems[0], (SkinItem{5, 6, 100, 20, u"V270"}));
    EXPECT_EQ(tables.mainItems[99], (SkinItem{1, 2, 3, 4, u"z"}));
    EXPECT_EQ(tables.mainItems[50], SkinItem{}) << "a missing key reads as an empty entry";
    EXPECT_EQ(tables.functionNames[0], u"Left Click");
    EXPECT_EQ(tables.functionNames[1], u"");
    EXPECT_EQ(tables.functionNames[2], u"Middle Click");
    EXPECT_EQ(tables.functionNames[3], u"Middle");
    EXPECT_EQ(tables.functionNames[53], u"Last");
    EXPECT_TRUE(messages.shown().empty()) << "keys beyond the loader's range are never read";
}

TEST_F(SkinLoaderTest, AdvancedSkinPlacesTheChildControls) {
    writeFile(english("skin_advance_en.ini"),
              "[BUTTONPOS]\r\n45=cap,1,2,3,4,Steps,\r\n46=never,1,2,3,4,x,y,z,w\r\n"
              "[EDIT]\r\n3=repeat,10,20,30,40,,\r\n4=name,5,6,70,80,,\r\n"
              "[MACRODISPLAY]\r\n1=list,100,200,50,60,,\r\n");
    loader.LoadAdvancedSkin();
    EXPECT_EQ(tables.advancedItems[45].label, u"Steps");
    EXPECT_EQ(tables.repeatEditRect, (platform::PixelRect{10, 20, 40, 60}));
    EXPECT_EQ(tables.nameEditRect, (platform::PixelRect{5, 6, 75, 86}));
    EXPECT_EQ(tables.macroListRect, (platform::PixelRect{100, 200, 150, 260}));
    EXPECT_EQ(tables.stepListRect, (platform::PixelRect{0, 0, 0, 0}));
    EXPECT_TRUE(messages.shown().empty());
}

// A layout file with numbers beyond any screen made the area's right and bottom edges overflow
// (found by fuzz_skin_layout and the damaged-skin sweep): they are held to 16 bits, so that no edge
// and no position derived from one (a centred label, a clipped copy, the window shape's rows) can
// overflow.
TEST_F(SkinLoaderTest, CoordinatesBeyondAnyScreenAreHeld) {
    struct Case {
        std::u16string_view value;
        SkinItem item;
        platform::PixelRect area;
    };
    const Case cases[] = {
        {u"a,2147483647,572,2147483647,20,L,",
         {32767, 572, 32767, 20, u"L"},
         {32767, 572, 65534, 592}},
        {u"a,-2147483648,-99999,10,-2147483648,,",
         {-32768, -32768, 10, -32768, u""},
         {-32768, -32768, -32758, -65536}},
        {u"a,32767,-32767,1,1,,", {32767, -32767, 1, 1, u""}, {32767, -32767, 32768, -32766}},
    };
    for (const Case& c : cases) {
        const SkinItem item = splitSkinRecord(c.value).item();
        EXPECT_EQ(item, c.item) << utf16ToUtf8(c.value);
        EXPECT_EQ(item.area(), c.area) << utf16ToUtf8(c.value);
    }

    loader.readLayout(
        SkinLoader::LayoutFile::Advanced,
        IniDocument::parse(std::as_bytes(std::span(std::string_view(
            "[EDIT]\r\n3=repeat,2147483647,2147483647,2147483647,2147483647,,\r\n")))));
    EXPECT_EQ(tables.repeatEditRect, (platform::PixelRect{32767, 32767, 65534, 65534}));
}

TEST_F(SkinLoaderTest, ColourAndWarningSkinsReadTheirRanges) {
    writeFile(english("skin_color_en.ini"),
              "[BUTTONPOS]\r\n12=hint,1,2,3,4,Hint,\r\n13=never,1,2,3,4,x,y,z\r\n");
    writeFile(english("LBWarning_en.ini"), "[BUTTONPOS]\r\n2=msg,10,10,200,20,Sure?,\r\n");
    loader.LoadColourSkin();
    loader.LoadWarningSkin();
    EXPECT_EQ(tables.colourItems[12].label, u"Hint");
    EXPECT_EQ(tables.warningItems[2], (SkinItem{10, 10, 200, 20, u"Sure?"}));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(SkinLoaderTest, TheLanguagePicksTheFolderAndChineseFilesAreUtf16) {
    writeFile(english("LBWarning_en.ini"), "[BUTTONPOS]\r\n0=ok,1,1,10,10,OK,\r\n");
    writeFile(chinese("LBWarning.ini"), utf16File(u"[BUTTONPOS]\r\n0=ok,2,2,20,20,确定,\r\n"));
    settings.setEnglishUi(0);
    loader.LoadWarningSkin();
    EXPECT_EQ(tables.warningItems[0], (SkinItem{2, 2, 20, 20, u"确定"}));
    settings.setEnglishUi(2);  // any non-zero value is English
    loader.LoadWarningSkin();
    EXPECT_EQ(tables.warningItems[0], (SkinItem{1, 1, 10, 10, u"OK"}));
    EXPECT_EQ(loader.layoutPath(SkinLoader::LayoutFile::Main, false),
              folder / "INI_CN" / "skin_main.ini");
    EXPECT_EQ(loader.layoutPath(SkinLoader::LayoutFile::Colour, true),
              folder / "INI_EN" / "skin_color_en.ini");
    EXPECT_EQ(loader.layoutPath(SkinLoader::LayoutFile::Advanced, false),
              folder / "INI_CN" / "skin_advance.ini");
}

TEST_F(SkinLoaderTest, AMissingLayoutFileIsReportedOnceAndClearsItsTables) {
    writeFile(english("skin_color_en.ini"), "[BUTTONPOS]\r\n0=m,1,2,3,4,Breathe,\r\n");
    loader.LoadColourSkin();
    ASSERT_EQ(tables.colourItems[0].label, u"Breathe");
    std::filesystem::remove(english("skin_color_en.ini"));

    EXPECT_FALSE(loader.LoadColourSkin());
    EXPECT_EQ(messages.shown(), std::vector<std::u16string>{u"找不到配置文件"});
    EXPECT_EQ(tables.colourItems[0], SkinItem{});

    EXPECT_FALSE(loader.LoadMainSkin());
    EXPECT_EQ(messages.shown().size(), 2u) << "one message per missing file";
}

}  // namespace
}  // namespace v270
