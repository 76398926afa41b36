#include "actions/key_names.h"

#include <gtest/gtest.h>

#include <string>

namespace v270 {
namespace {

const std::u16string kEnglishNoName = u"Not Available";
const std::u16string kChineseNoName = u"不可录制";

bool named(int key) {
    return keyName(static_cast<uint8_t>(key), true) != kEnglishNoName;
}

TEST(KeyNameTest, LettersAndDigitsAreThemselves) {
    EXPECT_EQ(keyName(0x41, true), u"A");
    EXPECT_EQ(keyName(0x5A, false), u"Z");
    EXPECT_EQ(keyName(0x30, true), u"0");
    EXPECT_EQ(keyName(0x35, false), u"5");
    EXPECT_EQ(keyName(0x39, true), u"9");
    EXPECT_EQ(keyName(0x61, true), u"NUMPAD1") << "the letter rule covers 65 to 90 only";
}

TEST(KeyNameTest, NamesAtTheEdgesOfEachRange) {
    const std::pair<int, std::u16string> expected[] = {
        {0x08, u"BACK"},     {0x09, u"TAB"},       {0x0C, u"CLEAR"},      {0x0D, u"RETURN"},
        {0x10, u"SHIFT"},    {0x12, u"MENU"},      {0x15, u"KANA"},       {0x17, u"JUNJA"},
        {0x19, u"HANJA"},    {0x1B, u"ESCAPE"},    {0x20, u"SPACE"},      {0x2C, u"SNAPSHOT"},
        {0x2F, u"HELP"},     {0x5B, u"LWIN"},      {0x5D, u"APPS"},       {0x5F, u"SLEEP"},
        {0x60, u"NUMPAD0"},  {0x69, u"NUMPAD9"},   {0x6A, u"MULTIPLY"},   {0x6C, u"SEPARATOR"},
        {0x6F, u"DIVIDE"},   {0x70, u"F1"},        {0x87, u"F24"},        {0x90, u"NUMLOCK"},
        {0x91, u"SCROLL"},   {0xA0, u"LSHIFT"},    {0xA4, u"LMENU"},      {0xA5, u"RMENU"},
        {0xBA, u";:"},       {0xBB, u"+"},         {0xBF, u"/?"},         {0xC0, u"`~"},
        {0xDB, u"[{"},       {0xDC, u"\\|"},       {0xDD, u"]}"},         {0xDE, u" ' "},
        {0xF0, u"Left_Key"}, {0xF1, u"Right_Key"}, {0xF2, u"Middle_Key"},
    };
    for (const auto& [key, name] : expected) {
        EXPECT_EQ(keyName(static_cast<uint8_t>(key), true), name) << "key 0x" << std::hex << key;
    }
    EXPECT_EQ(keyName(0xDE, true).size(), 3u);
    EXPECT_EQ(keyName(0xDC, true).size(), 2u);
}

TEST(KeyNameTest, KeysWithoutANameSayItInTheLanguage) {
    for (const int key : {0x00, 0x07, 0x0A, 0x0B, 0x0E, 0x0F, 0x16, 0x1A, 0x3A, 0x40, 0x5E, 0x88,
                          0x8F, 0x92, 0x9F, 0xA6, 0xB9, 0xC1, 0xDA, 0xDF, 0xEF, 0xF3, 0xFF}) {
        EXPECT_EQ(keyName(static_cast<uint8_t>(key), true), kEnglishNoName) << key;
        EXPECT_EQ(keyName(static_cast<uint8_t>(key), false), kChineseNoName) << key;
    }
}

TEST(KeyNameTest, OneHundredNamedKeysBesidesLettersAndDigitsAlikeInBothLanguages) {
    int namedKeys = 0;
    for (int key = 0; key <= 0xFF; ++key) {
        const bool letterOrDigit = (key >= 0x30 && key <= 0x39) || (key >= 0x41 && key <= 0x5A);
        if (!named(key)) {
            EXPECT_EQ(keyName(static_cast<uint8_t>(key), false), kChineseNoName);
            continue;
        }
        EXPECT_EQ(keyName(static_cast<uint8_t>(key), false),
                  keyName(static_cast<uint8_t>(key), true));
        if (!letterOrDigit)
            ++namedKeys;
    }
    EXPECT_EQ(namedKeys, 100);
}

}  // namespace
}  // namespace v270
