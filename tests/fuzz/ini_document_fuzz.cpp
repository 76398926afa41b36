// The settings-file reader and writer on any bytes, then writes of any names and values chosen
// by the input. Checked: a value reads back as written (spaces around it, a line break and a
// pair of quotes dropped, cut to the buffer); a write changes no other value; what is
// serialised parses to the same values, and serialising that again gives the same bytes; a
// refused write changes nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "ini_names.h"
#include "settings/ini_document.h"
#include "settings/text.h"

namespace v270::fuzz {
namespace {

constexpr size_t kLargeBuffer = 1u << 20;
// Bounds on the work of one input, so that a run makes thousands of them a second.
constexpr size_t kMaxPairs = 32;
constexpr int kMaxWrites = 4;

// What a read returns after `value` was written: leading spaces go, then the written line ends
// at a line break or NUL, spaces before that end are not part of it either, a pair of quotes
// goes, and the buffer cuts it.
std::u16string expectedRead(std::u16string_view value, size_t bufferChars) {
    while (!value.empty() && isIniSpace(value.front()))
        value.remove_prefix(1);
    value = value.substr(0, value.find_first_of(std::u16string_view(u"\r\n\0", 3)));
    value = trimmed(value);
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    if (bufferChars == 0)
        return {};
    return std::u16string(value.substr(0, bufferChars - 1));
}

using Pair = NamePair;

// Names of the shipped files, and every name the document seems to hold.
std::vector<Pair> candidatePairs(std::string_view text) {
    std::vector<Pair> pairs = namesIn(text, kMaxPairs - 9);
    for (const char16_t* section : {u"Init", u"Config7", u"Macros"}) {
        for (const char16_t* key : {u"CurConfig", u"K1", u"0"})
            pairs.emplace_back(section, key);
    }
    return pairs;
}

struct Snapshot {
    std::vector<std::u16string> values;
};

Snapshot readAll(const IniDocument& document, const std::vector<Pair>& pairs) {
    Snapshot snapshot;
    for (const auto& [section, key] : pairs) {
        std::u16string value = document.read(section, key, kLargeBuffer);
        // A value never holds what ends a line or a C string.
        FUZZ_CHECK(value.find_first_of(std::u16string_view(u"\r\n\0", 3)) == value.npos);
        snapshot.values.push_back(std::move(value));
    }
    return snapshot;
}

std::u16string pickName(FuzzedDataProvider& input, const std::vector<std::u16string>& common) {
    if (input.ConsumeBool())
        return common[input.ConsumeIntegralInRange<size_t>(0, common.size() - 1)];
    return utf8ToUtf16(input.ConsumeRandomLengthString(24));
}

void checkSerialisedForm(const IniDocument& document, const std::vector<Pair>& pairs,
                         const Snapshot& expected) {
    const std::vector<std::byte> bytes = document.serialize();
    const IniDocument reread = IniDocument::parse(bytes);
    FUZZ_CHECK(reread.encoding() == document.encoding());
    FUZZ_CHECK(equalBytes(reread.serialize(), bytes));
    FUZZ_CHECK(readAll(reread, pairs).values == expected.values);
}

}  // namespace
}  // namespace v270::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace v270;
    using namespace v270::fuzz;
    FuzzedDataProvider input(data, size);
    const std::string text = input.ConsumeRandomLengthString();

    IniDocument document = IniDocument::parse(bytesOf(text));
    FUZZ_CHECK(!document.modified());
    std::vector<Pair> pairs = candidatePairs(text);
    Snapshot before = readAll(document, pairs);
    checkSerialisedForm(document, pairs, before);

    const std::vector<std::u16string> sections = {u"Config1", u"Config7", u"Macros", u"New"};
    const std::vector<std::u16string> keys = {u"K1", u"DPI_SET1", u"macroNum", u"0", u"new"};
    for (int writes = 0; writes < kMaxWrites && input.remaining_bytes() > 0; ++writes) {
        std::u16string section = pickName(input, sections);
        std::u16string key = pickName(input, keys);
        const std::u16string value = utf8ToUtf16(input.ConsumeRandomLengthString(64));
        const size_t buffer = input.ConsumeIntegralInRange<size_t>(0, 80);

        const std::vector<std::byte> unchanged = document.serialize();
        if (!document.write(section, key, value)) {
            FUZZ_CHECK(equalBytes(document.serialize(), unchanged));
            continue;
        }
        FUZZ_CHECK(document.modified() || equalBytes(document.serialize(), unchanged));
        const std::u16string full = document.read(section, key, kLargeBuffer);
        FUZZ_CHECK(full == expectedRead(value, kLargeBuffer));
        FUZZ_CHECK(document.read(section, key, buffer) == expectedRead(value, buffer));

        // Every other value stays as it was.
        const Snapshot after = readAll(document, pairs);
        const Pair written{normalised(section), normalised(key)};
        for (size_t i = 0; i < pairs.size(); ++i) {
            const Pair other{normalised(pairs[i].first), normalised(pairs[i].second)};
            if (other != written)
                FUZZ_CHECK(after.values[i] == before.values[i]);
        }
        pairs.emplace_back(std::move(section), std::move(key));
        before = after;
        before.values.push_back(full);
    }
    checkSerialisedForm(document, pairs, before);
    return 0;
}
