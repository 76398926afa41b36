#include "actions/key_names.h"

#include <cstddef>
#include <string_view>

namespace v270 {

namespace {

// Every named key besides the letters and digits: one hundred in all.
constexpr std::u16string_view kNames0x08[] = {u"BACK", u"TAB"};
constexpr std::u16string_view kNames0x0C[] = {u"CLEAR", u"RETURN"};
constexpr std::u16string_view kNames0x10[] = {u"SHIFT", u"CONTROL", u"MENU",
                                              u"PAUSE", u"CAPITAL", u"KANA"};
constexpr std::u16string_view kNames0x17[] = {u"JUNJA", u"FINAL", u"HANJA"};
constexpr std::u16string_view kNames0x1B[] = {
    u"ESCAPE", u"CONVERT", u"NONCONVERT", u"ACCEPT",   u"MODECHANGE", u"SPACE",  u"PRIOR",
    u"NEXT",   u"END",     u"HOME",       u"LEFT",     u"UP",         u"RIGHT",  u"DOWN",
    u"SELECT", u"PRINT",   u"EXECUTE",    u"SNAPSHOT", u"INSERT",     u"DELETE", u"HELP"};
constexpr std::u16string_view kNames0x5B[] = {u"LWIN", u"RWIN", u"APPS"};
constexpr std::u16string_view kNames0x5F[] = {u"SLEEP"};
constexpr std::u16string_view kNames0x60[] = {u"NUMPAD0",   u"NUMPAD1",  u"NUMPAD2",  u"NUMPAD3",
                                              u"NUMPAD4",   u"NUMPAD5",  u"NUMPAD6",  u"NUMPAD7",
                                              u"NUMPAD8",   u"NUMPAD9",  u"MULTIPLY", u"ADD",
                                              u"SEPARATOR", u"SUBTRACT", u"DECIMAL",  u"DIVIDE"};
constexpr std::u16string_view kNames0x70[] = {
    u"F1",  u"F2",  u"F3",  u"F4",  u"F5",  u"F6",  u"F7",  u"F8",  u"F9",  u"F10", u"F11", u"F12",
    u"F13", u"F14", u"F15", u"F16", u"F17", u"F18", u"F19", u"F20", u"F21", u"F22", u"F23", u"F24"};
constexpr std::u16string_view kNames0x90[] = {u"NUMLOCK", u"SCROLL"};
constexpr std::u16string_view kNames0xA0[] = {u"LSHIFT",   u"RSHIFT", u"LCONTROL",
                                              u"RCONTROL", u"LMENU",  u"RMENU"};
constexpr std::u16string_view kNames0xBA[] = {u";:", u"+", u",", u"-", u".", u"/?", u"`~"};
constexpr std::u16string_view kNames0xDB[] = {u"[{", u"\\|", u"]}", u" ' "};
constexpr std::u16string_view kNames0xF0[] = {u"Left_Key", u"Right_Key", u"Middle_Key"};

// The names of the keys first, first + 1, ...
struct NameBlock {
    uint8_t first;
    const std::u16string_view* names;
    size_t count;
};

template <size_t N>
constexpr NameBlock block(uint8_t first, const std::u16string_view (&names)[N]) {
    return {first, names, N};
}

constexpr NameBlock kBlocks[] = {
    block(0x08, kNames0x08), block(0x0C, kNames0x0C), block(0x10, kNames0x10),
    block(0x17, kNames0x17), block(0x1B, kNames0x1B), block(0x5B, kNames0x5B),
    block(0x5F, kNames0x5F), block(0x60, kNames0x60), block(0x70, kNames0x70),
    block(0x90, kNames0x90), block(0xA0, kNames0xA0), block(0xBA, kNames0xBA),
    block(0xDB, kNames0xDB), block(0xF0, kNames0xF0),
};

constexpr uint8_t kFirstLetter = 'A';
constexpr uint8_t kLastLetter = 'Z';
constexpr uint8_t kFirstDigit = '0';
constexpr uint8_t kLastDigit = '9';

}  // namespace

std::u16string keyName(uint8_t key, bool englishUi) {
    if ((key >= kFirstLetter && key <= kLastLetter) || (key >= kFirstDigit && key <= kLastDigit)) {
        return std::u16string(1, static_cast<char16_t>(key));
    }
    for (const NameBlock& names : kBlocks) {
        if (key >= names.first && key - names.first < static_cast<int>(names.count)) {
            return std::u16string(names.names[key - names.first]);
        }
    }
    return englishUi ? u"Not Available" : u"不可录制";
}

}  // namespace v270
