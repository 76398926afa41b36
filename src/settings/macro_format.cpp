#include "settings/macro_format.h"

#include <algorithm>
#include <array>

#include "settings/text.h"

namespace v270 {

namespace {

constexpr size_t kRepeatEnabledByte = 40;
constexpr size_t kRepeatCountLowByte = 41;
constexpr size_t kRepeatCountHighByte = 42;
constexpr size_t kStepCountByte = 43;
constexpr size_t kFirstStepByte = 44;
constexpr size_t kStepBytes = 4;

static_assert(kFirstStepByte + kStepBytes * kMacroStepSlots == kMacroRecordBytes);

uint8_t lowByte(uint32_t value) {
    return static_cast<uint8_t>(value & 0xFF);
}
uint8_t highByte(uint32_t value) {
    return static_cast<uint8_t>((value >> 8) & 0xFF);
}

std::array<uint8_t, kMacroRecordBytes> toBytes(const MacroRecord& record) {
    std::array<uint8_t, kMacroRecordBytes> bytes{};
    for (size_t u = 0; u < kMacroNameUnits; ++u) {
        bytes[2 * u] = lowByte(record.name[u]);
        bytes[2 * u + 1] = highByte(record.name[u]);
    }
    bytes[kRepeatEnabledByte] = record.repeatEnabled;
    bytes[kRepeatCountLowByte] = lowByte(record.repeatCount);
    bytes[kRepeatCountHighByte] = highByte(record.repeatCount);
    bytes[kStepCountByte] = record.stepCount;
    for (size_t s = 0; s < kMacroStepSlots; ++s) {
        const MacroStep& step = record.steps[s];
        const size_t at = kFirstStepByte + kStepBytes * s;
        bytes[at] = step.key;
        bytes[at + 1] = step.action;
        bytes[at + 2] = lowByte(step.delay);
        bytes[at + 3] = highByte(step.delay);
    }
    return bytes;
}

uint16_t word(uint8_t low, uint8_t high) {
    return static_cast<uint16_t>(low | high << 8);
}

}  // namespace

void formatByte3(std::u16string& text, uint8_t value) {
    text.push_back(static_cast<char16_t>(u'0' + value / 100));
    text.push_back(static_cast<char16_t>(u'0' + value / 10 % 10));
    text.push_back(static_cast<char16_t>(u'0' + value % 10));
}

std::u16string serializeMacro(const MacroRecord& record) {
    std::u16string text;
    text.reserve(kMacroRecordChars);
    for (uint8_t byte : toBytes(record))
        formatByte3(text, byte);
    return text;
}

MacroRecord parseMacro(std::u16string_view text) {
    std::array<uint8_t, kMacroRecordBytes> bytes{};
    for (size_t k = 0; k < kMacroRecordBytes && 3 * k < text.size(); ++k) {
        bytes[k] = lowByte(static_cast<uint32_t>(parseLeadingInt(text.substr(3 * k, 3))));
    }
    MacroRecord record;
    for (size_t u = 0; u < kMacroNameUnits; ++u) {
        record.name[u] = word(bytes[2 * u], bytes[2 * u + 1]);
    }
    record.name[kMacroNameUnits - 1] = u'\0';
    record.repeatEnabled = bytes[kRepeatEnabledByte];
    record.repeatCount = word(bytes[kRepeatCountLowByte], bytes[kRepeatCountHighByte]);
    record.stepCount = std::min<uint8_t>(bytes[kStepCountByte], kMaxMacroSteps);
    for (size_t s = 0; s < kMacroStepSlots; ++s) {
        const size_t at = kFirstStepByte + kStepBytes * s;
        record.steps[s] = MacroStep{bytes[at], bytes[at + 1], word(bytes[at + 2], bytes[at + 3])};
    }
    return record;
}

std::u16string_view MacroRecord::nameText() const {
    return untilNul(std::u16string_view(name.data(), name.size()));
}

void MacroRecord::setName(std::u16string_view text) {
    name.fill(u'\0');
    const size_t units = std::min<size_t>(untilNul(text).size(), kMacroNameUnits - 1);
    std::copy_n(text.begin(), units, name.begin());
}

}  // namespace v270
