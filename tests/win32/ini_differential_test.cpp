// The settings-file component against the Windows profile functions: for a corpus of files and
// of writes, generated and hand-written, every read returns what GetPrivateProfileStringW
// returns, and after the same writes every key reads back as it does from the file that
// WritePrivateProfileStringW wrote.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "settings/ini_files.h"
#include "settings/text.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

using test::TempFolder;

std::wstring wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::u16string windowsRead(const std::filesystem::path& file, std::u16string_view section,
                           std::u16string_view key, size_t bufferChars) {
    std::vector<wchar_t> buffer(bufferChars + 1, L'#');
    const DWORD length =
        GetPrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), L"", buffer.data(),
                                 static_cast<DWORD>(bufferChars), file.c_str());
    return std::u16string(buffer.begin(), buffer.begin() + length);
}

std::string utf16le(std::u16string_view text) {
    std::string out = "\xFF\xFE";
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

// The names every file of the corpus is read with: sections and keys in several spellings.
const std::vector<std::u16string> kSections = {u"Init",   u"init", u"CONFIG1", u"Config1",
                                               u"Macros", u"A",    u"b",       u"Missing"};
const std::vector<std::u16string> kKeys = {u"K1", u"k1", u"CurConfig", u"curconfig", u"macroNum",
                                           u"0",  u"x",  u"Y",         u"none"};
const std::vector<size_t> kBuffers = {1, 2, 3, 4, 5, 9, 260};

class Corpus {
  public:
    explicit Corpus(unsigned seed) : random_(seed) {}

    // A file of sections, keys, comments, blank lines and lines that hold no key.
    std::u16string file() {
        std::u16string text;
        const int lines = pick(0, 30);
        for (int i = 0; i < lines; ++i) {
            switch (pick(0, 9)) {
                case 0:
                case 1:
                    text += spaces() + u"[" + oneOf(kSections) + u"]" + spaces();
                    break;
                case 2:
                    text += u"; " + oneOf(kKeys) + u"=comment";
                    break;
                case 3:
                    text += spaces();
                    break;
                case 4:
                    text += u"no key here";
                    break;
                default:
                    text +=
                        spaces() + oneOf(kKeys) + spaces() + u"=" + spaces() + value() + spaces();
                    break;
            }
            text += oneOf(std::vector<std::u16string>{u"\r\n", u"\n", u"\r\n"});
        }
        return text;
    }

    std::u16string value() {
        static const std::vector<std::u16string> values = {
            u"",         u"1",      u"12345", u"-7", u"a b",  u"\"quoted\"",
            u"'single'", u"\"open", u"x=y",   u"3 ", u"\"\"", u"long value with words",
            u"0042",     u"[x]"};
        return oneOf(values);
    }

    template <typename T>
    const T& oneOf(const std::vector<T>& items) {
        return items[static_cast<size_t>(pick(0, static_cast<int>(items.size()) - 1))];
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  private:
    std::u16string spaces() { return std::u16string(static_cast<size_t>(pick(0, 2)), u' '); }

    std::mt19937 random_;
};

// Wine returns n - 2 units, not n - 1, when a quoted value's inner text is exactly n - 1 units
// long: it cuts the copy first and then drops the last unit as the closing quote. The component
// returns the n - 1 units that the buffer holds.
bool isWineQuoteCut(std::u16string_view ours, std::u16string_view wine,
                    std::u16string_view oursWhole, size_t bufferChars) {
    return bufferChars >= 2 && oursWhole.size() == bufferChars - 1 && ours == oursWhole &&
           wine == oursWhole.substr(0, bufferChars - 2);
}

void expectSameReads(const std::filesystem::path& ours, const std::filesystem::path& theirs,
                     const std::u16string& context) {
    const IniFiles files;
    const IniDocument document = files.load(ours);
    for (const auto& section : kSections) {
        for (const auto& key : kKeys) {
            const std::u16string whole = document.read(section, key, 4096);
            for (size_t buffer : kBuffers) {
                const std::u16string expected = windowsRead(theirs, section, key, buffer);
                const std::u16string actual = document.read(section, key, buffer);
                if (isWineQuoteCut(actual, expected, whole, buffer))
                    continue;
                EXPECT_EQ(utf16ToUtf8(actual), utf16ToUtf8(expected))
                    << "[" << utf16ToUtf8(section) << "] " << utf16ToUtf8(key) << " buffer "
                    << buffer << "\n"
                    << utf16ToUtf8(context);
            }
        }
    }
}

TEST(IniDifferential, HandWrittenFilesReadAsWindowsReadsThem) {
    TempFolder folder;
    const std::vector<std::string> files = {
        "[Init]\r\nCurConfig=3\r\nVER_SEL=1\r\n",
        "  [Init]  \r\n  CurConfig  =  4  \r\n",
        "[init]\nCURCONFIG=5\n[INIT]\ncurconfig=6\n",
        "[A]\nx=1\nX=2\nx\n[b]\nY=\"q\"\ny='r'\n",
        "[A]\r\n;x=3\r\nx = \"a b\" \r\n\r\n\r\n[b]\r\nY\r\nY=7\r\n",
        "x=0\r\n[A]\r\nx=1\r\n",
        "[A]\rx=1\r[b]\rY=2\r",
        "[A]\n\tx\t=\t9\t\n",
        "[A] trailing text\nx=5\n[b\nY=6\n",
        "[Macros]\nmacroNum=12\n0=" + std::string(3192, '1') + "\n",
        "\xEF\xBB\xBF[A]\r\nx=bom\r\n",
        utf16le(u"[A]\r\nx=左键单击\r\n[b]\r\nY=\"中文\"\r\n"),
        "[A]\nx=\x1A"
        "1\x1A\n",
        "",
        "no sections at all\nx=1\n",
        "[ A ]\nx=1\n[b ]\nY=2\n",
        "[A]\nx=\"abc\"\nY='12345678'\n",
        "[A]\nx=1\n[A]\nY=2\n",
        utf16le(u"[A]\nx = a\u00A0\n[b]\nY=\u3000b\u3000\n[\u3000A]\nx=2\n"),
    };
    for (size_t i = 0; i < files.size(); ++i) {
        const auto file = folder / ("hand" + std::to_string(i) + ".ini");
        test::writeFile(file, files[i]);
        expectSameReads(file, file, utf8ToUtf16(files[i]));
    }
}

TEST(IniDifferential, GeneratedFilesReadAsWindowsReadsThem) {
    TempFolder folder;
    Corpus corpus(20261209);
    for (int i = 0; i < 80; ++i) {
        const std::u16string text = corpus.file();
        const auto file = folder / ("gen" + std::to_string(i) + ".ini");
        test::writeFile(file, i % 3 == 0 ? utf16le(text) : utf16ToUtf8(text));
        expectSameReads(file, file, text);
    }
}

TEST(IniDifferential, WritesReadBackAsAfterTheWindowsWriter) {
    TempFolder folder;
    Corpus corpus(7);
    IniFiles files;
    for (int i = 0; i < 40; ++i) {
        const std::u16string text = corpus.file();
        const auto ours = folder / ("ours" + std::to_string(i) + ".ini");
        const auto theirs = folder / ("theirs" + std::to_string(i) + ".ini");
        if (i % 5 != 4) {  // some start from no file at all
            test::writeFile(ours, utf16ToUtf8(text));
            test::writeFile(theirs, utf16ToUtf8(text));
        }
        std::u16string log = text + u"\n-- writes:\n";
        const int writes = corpus.pick(1, 12);
        for (int w = 0; w < writes; ++w) {
            const std::u16string section = corpus.oneOf(kSections);
            const std::u16string key = corpus.oneOf(kKeys);
            const std::u16string value = corpus.value();
            log += u"[" + section + u"] " + key + u"=" + value + u"\n";
            ASSERT_TRUE(files.write(ours, section, key, value));
            ASSERT_TRUE(WritePrivateProfileStringW(wide(section).c_str(), wide(key).c_str(),
                                                   wide(value).c_str(), theirs.c_str()));
        }
        expectSameReads(ours, theirs, log);
        // And Windows reads the component's file as the component does.
        expectSameReads(ours, ours, log);
    }
}

}  // namespace
}  // namespace v270
