#include "settings/ini_document.h"

#include <gtest/gtest.h>

#include <string>

namespace v270 {
namespace {

using namespace std::string_literals;

IniDocument parseText(std::string_view text) {
    return IniDocument::parse(std::as_bytes(std::span(text.data(), text.size())));
}

std::string serialized(const IniDocument& document) {
    const auto bytes = document.serialize();
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::string utf16le(std::u16string_view text, bool bom = true) {
    std::string out = bom ? std::string("\xFF\xFE") : std::string();
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

constexpr size_t kBig = 260;

TEST(IniDocumentReading, NamesCompareWithoutCaseAndWhiteSpace) {
    const auto doc = parseText("  [ Init ]  \r\n  CurConfig   =   3   \r\n\tVER_SEL\t=\t1\t\r\n");
    EXPECT_EQ(doc.read(u"init", u"curconfig", kBig), u"3");
    EXPECT_EQ(doc.read(u"INIT", u"VER_SEL", kBig), u"1");
    EXPECT_EQ(doc.read(u" Init ", u" CurConfig ", kBig), u"3");
}

TEST(IniDocumentReading, OnlyAsciiWhiteSpaceAndCtrlZAreTrimmed) {
    const auto doc = parseText("[A]\nk=\x1A 1\x1A\nn=\xC2\xA0x\xC2\xA0\n");
    EXPECT_EQ(doc.read(u"A", u"k", kBig), u"1");
    EXPECT_EQ(doc.read(u"A", u"n", kBig), u"\u00A0x\u00A0");
}

TEST(IniDocumentReading, MissingSectionKeyOrValueReadsEmpty) {
    const auto doc = parseText("[A]\nkey=\nother=1\n");
    EXPECT_EQ(doc.read(u"B", u"key", kBig), u"");
    EXPECT_EQ(doc.read(u"A", u"missing", kBig), u"");
    EXPECT_EQ(doc.read(u"A", u"key", kBig), u"");
    EXPECT_EQ(parseText("").read(u"A", u"key", kBig), u"");
}

TEST(IniDocumentReading, FirstOfDuplicateKeysAndSectionsWins) {
    const auto doc = parseText("[A]\nk=1\nK=2\n[B]\nk=3\n[a]\nk=4\nonly=5\n");
    EXPECT_EQ(doc.read(u"A", u"k", kBig), u"1");
    EXPECT_EQ(doc.read(u"B", u"k", kBig), u"3");
    EXPECT_EQ(doc.read(u"A", u"only", kBig), u"") << "a later section of the same name is hidden";
}

TEST(IniDocumentReading, MatchingQuotesAreRemoved) {
    const auto doc = parseText("[A]\nd=\"x y\"\ns='z'\nmixed=\"w'\nlone=\"\nempty=\"\"\n");
    EXPECT_EQ(doc.read(u"A", u"d", kBig), u"x y");
    EXPECT_EQ(doc.read(u"A", u"s", kBig), u"z");
    EXPECT_EQ(doc.read(u"A", u"mixed", kBig), u"\"w'");
    EXPECT_EQ(doc.read(u"A", u"lone", kBig), u"\"");
    EXPECT_EQ(doc.read(u"A", u"empty", kBig), u"");
}

TEST(IniDocumentReading, ALineWithoutEqualsSignIsAKeyWithNoValue) {
    auto doc = parseText("[A]\n; K1=comment\n[broken\nK2=2\nK1\nK1=5\n");
    EXPECT_EQ(doc.read(u"A", u"K1", kBig), u"") << "it hides the later K1";
    EXPECT_EQ(doc.read(u"A", u"; K1", kBig), u"comment") << "a comment line is a key of its own";
    EXPECT_EQ(doc.read(u"A", u"K2", kBig), u"2") << "an unclosed header is no section";
    doc.write(u"A", u"k1", u"7");
    EXPECT_EQ(serialized(doc), "[A]\r\n; K1=comment\r\n[broken\r\nK2=2\r\nK1=7\r\nK1=5\r\n");
}

TEST(IniDocumentReading, BufferOfNHoldsNMinusOneUnits) {
    const auto doc = parseText("[A]\nk=12345\nq=\"abc\"\n");
    EXPECT_EQ(doc.read(u"A", u"k", 5), u"1234");
    EXPECT_EQ(doc.read(u"A", u"k", 1), u"");
    EXPECT_EQ(doc.read(u"A", u"k", 0), u"");
    EXPECT_EQ(doc.read(u"A", u"q", 3), u"ab");
}

TEST(IniDocumentReading, KeysBeforeAnySectionBelongToNone) {
    const auto doc = parseText("k=1\n[A]\nk=2\n");
    EXPECT_EQ(doc.read(u"A", u"k", kBig), u"2");
}

TEST(IniDocumentEncodings, Utf16WithByteOrderMark) {
    const auto le = parseText(utf16le(u"[FUN_STRING]\r\n1=左键单击\r\n"));
    EXPECT_EQ(le.encoding(), IniDocument::Encoding::Utf16LeWithBom);
    EXPECT_EQ(le.read(u"FUN_STRING", u"1", kBig), u"左键单击");

    const std::string be =
        "\xFE\xFF\x00[\x00"
        "A\x00]\x00\n\x00k\x00=\x4E\x2D"s;
    const auto bigEndian = parseText(be);
    EXPECT_EQ(bigEndian.encoding(), IniDocument::Encoding::Utf16BeWithBom);
    EXPECT_EQ(bigEndian.read(u"A", u"k", kBig), u"中");
}

TEST(IniDocumentEncodings, Utf8WithAndWithoutByteOrderMark) {
    const auto bom = parseText("\xEF\xBB\xBF[A]\nk=\xE4\xB8\xAD\n");
    EXPECT_EQ(bom.encoding(), IniDocument::Encoding::Utf8WithBom);
    EXPECT_EQ(bom.read(u"A", u"k", kBig), u"中");
    const auto plain = parseText("[A]\nk=\xE4\xB8\xAD\n");
    EXPECT_EQ(plain.encoding(), IniDocument::Encoding::Utf8);
    EXPECT_EQ(plain.read(u"A", u"k", kBig), u"中");
}

TEST(IniDocumentEncodings, BrokenTextHasADefinedResult) {
    EXPECT_EQ(parseText("[A]\nk=a\xFF\xC3z\n").read(u"A", u"k", kBig), u"a\xFFFD\xFFFDz");
    EXPECT_EQ(parseText(std::string("[A]\nk=ab\0cd\n", 12)).read(u"A", u"k", kBig), u"ab");
    // An odd byte at the end of a UTF-16 file is dropped.
    const std::string odd = utf16le(u"[A]\nk=1") + "\x41";
    EXPECT_EQ(parseText(odd).read(u"A", u"k", kBig), u"1");
}

TEST(IniDocumentWriting, ReplacesAValueWhereItStandsAndKeepsEveryOtherLine) {
    auto doc = parseText("; settings\n\n[Init]\n  CurConfig = 1 \n\n[Config1]\nK1=1\n");
    EXPECT_TRUE(doc.write(u"init", u"CURCONFIG", u"3"));
    EXPECT_EQ(serialized(doc),
              "; settings\r\n\r\n[Init]\r\n  CurConfig = 3\r\n\r\n[Config1]\r\nK1=1\r\n");
}

TEST(IniDocumentWriting, AppendsAMissingKeyAfterTheLastKeyOfItsSection) {
    auto doc = parseText("[A]\nk=1\n; note\n\n[B]\nx=2\n");
    doc.write(u"A", u"new", u"7");
    EXPECT_EQ(serialized(doc), "[A]\r\nk=1\r\nnew=7\r\n; note\r\n\r\n[B]\r\nx=2\r\n");

    auto empty = parseText("[A]\n\n[B]\n");
    empty.write(u"A", u"k", u"1");
    EXPECT_EQ(serialized(empty), "[A]\r\nk=1\r\n\r\n[B]\r\n");
}

TEST(IniDocumentWriting, AppendsAMissingSectionAtTheEnd) {
    auto doc = parseText("[A]\nk=1");
    doc.write(u"Config1", u"K1", u"1");
    doc.write(u"Config1", u"K2", u"2");
    EXPECT_EQ(serialized(doc), "[A]\r\nk=1\r\n\r\n[Config1]\r\nK1=1\r\nK2=2\r\n");

    IniDocument fresh;
    fresh.write(u"Macros", u"macroNum", u"0");
    EXPECT_EQ(serialized(fresh), "[Macros]\r\nmacroNum=0\r\n");
}

TEST(IniDocumentWriting, AnUnchangedValueLeavesTheDocumentUnmodified) {
    auto doc = parseText("[A]\nk=1\n");
    doc.write(u"A", u"k", u"1");
    EXPECT_FALSE(doc.modified());
    doc.write(u"A", u"k", u"2");
    EXPECT_TRUE(doc.modified());
}

TEST(IniDocumentWriting, NoWriteCanAddLinesOfItsOwn) {
    auto doc = parseText("[A]\nk=1\n");
    EXPECT_TRUE(doc.write(u"A", u"k", u"  5\r\n[Evil]\r\nx=1"));
    EXPECT_EQ(serialized(doc), "[A]\r\nk=5\r\n");
    EXPECT_FALSE(doc.write(u"A", u"a=b", u"1"));
    EXPECT_FALSE(doc.write(u"A]\n[B", u"k", u"1"));
    EXPECT_FALSE(doc.write(u"A", u"", u"1"));
    EXPECT_FALSE(doc.write(u"", u"k", u"1"));
    EXPECT_EQ(serialized(doc), "[A]\r\nk=5\r\n");
}

TEST(IniDocumentWriting, KeepsTheFileEncodingAndUntouchedBytes) {
    const std::string original = utf16le(u"[A]\r\nname=左键\r\nk=1\r\n");
    auto doc = parseText(original);
    doc.write(u"A", u"k", u"2");
    EXPECT_EQ(serialized(doc), utf16le(u"[A]\r\nname=左键\r\nk=2\r\n"));

    auto broken = parseText("[A]\nbad=\xFF\xFE\nk=1\n");
    broken.write(u"A", u"k", u"2");
    EXPECT_EQ(serialized(broken), "[A]\r\nbad=\xFF\xFE\r\nk=2\r\n");
}

}  // namespace
}  // namespace v270
