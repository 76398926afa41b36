#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// Text in this system is UTF-16, as on Windows; these helpers convert at the edges.
namespace v270 {

// Converts UTF-8 to UTF-16. Each byte of an invalid sequence becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);

// Converts UTF-16 to UTF-8. A lone surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// ASCII text as UTF-16, for literals and numbers.
std::u16string asciiToUtf16(std::string_view text);

std::filesystem::path pathFromUtf16(std::u16string_view text);
std::u16string pathToUtf16(const std::filesystem::path& path);

// The C runtime's wide-string-to-integer conversion: leading white space skipped, an optional
// sign, then decimal digits up to the first other character; no digits gives 0. A number beyond
// the 32-bit range saturates at its limit.
int32_t parseLeadingInt(std::u16string_view text);

// "%d" of a signed 32-bit value.
std::u16string formatInt(int64_t value);

// The text up to its first NUL, as a C string would end there.
std::u16string_view untilNul(std::u16string_view text);

}  // namespace v270
