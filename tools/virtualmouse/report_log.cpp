#include "report_log.h"

#include <windows.h>

#include <cstdio>
#include <utility>

#include "json_writer.h"

namespace v270::virtualmouse {

namespace {

// The first bytes of a report as upper-case hex pairs: enough to tell reports apart.
constexpr size_t kBytesShown = 8;

std::string hex(std::span<const uint8_t> report) {
    std::string text;
    for (size_t i = 0; i < report.size() && i < kBytesShown; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, i == 0 ? "%02X" : " %02X", report[i]);
        text += pair;
    }
    return text;
}

}  // namespace

int64_t microsecondsNow() {
    LARGE_INTEGER count{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    const int64_t seconds = count.QuadPart / frequency.QuadPart;
    const int64_t rest = count.QuadPart % frequency.QuadPart;
    return seconds * 1'000'000 + rest * 1'000'000 / frequency.QuadPart;
}

void ReportLog::add(std::deque<Entry>& entries, std::span<const uint8_t> report, bool accepted,
                    int64_t time) {
    Entry entry{time, hex(report), accepted};
    const std::lock_guard lock(mutex_);
    if (entries.size() == kMaxEntries) {
        entries.pop_front();
        ++dropped_;
    }
    entries.push_back(std::move(entry));
}

void ReportLog::input(std::span<const uint8_t> report) {
    add(inputs_, report, true, microsecondsNow());
}

void ReportLog::feature(std::span<const uint8_t> report, bool accepted, int64_t time) {
    add(features_, report, accepted, time);
}

std::string ReportLog::take() {
    std::deque<Entry> inputs;
    std::deque<Entry> features;
    uint64_t dropped = 0;
    {
        const std::lock_guard lock(mutex_);
        inputs.swap(inputs_);
        features.swap(features_);
        dropped = std::exchange(dropped_, 0);
    }
    mousesim::JsonWriter json;
    json.beginObject().key("input").beginArray();
    for (const Entry& entry : inputs)
        json.beginArray().value(entry.time).value(entry.bytes).endArray();
    json.endArray().key("feature").beginArray();
    for (const Entry& entry : features)
        json.beginArray().value(entry.time).value(entry.bytes).value(entry.accepted).endArray();
    json.endArray().key("dropped").value(static_cast<int64_t>(dropped)).endObject();
    return json.take();
}

}  // namespace v270::virtualmouse
