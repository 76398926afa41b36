#include "control_device.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace v270::virtualmouse {

namespace {

// The room a taken report may need: the longest report the driver passes on.
constexpr DWORD kTakeBufferSize = sizeof(V270FeatureHeader) + V270_VMOUSE_MAX_REPORT_LENGTH;

}  // namespace

std::optional<ControlDevice> ControlDevice::open() {
    win32::UniqueHandle handle(CreateFileW(V270_VMOUSE_USER_PATH, GENERIC_READ | GENERIC_WRITE, 0,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!handle)
        return std::nullopt;
    return ControlDevice(std::move(handle));
}

std::optional<DWORD> ControlDevice::request(DWORD code, const void* in, DWORD inSize, void* out,
                                            DWORD outSize) const {
    const win32::UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped{};
    overlapped.hEvent = done.get();
    DWORD returned = 0;
    if (!DeviceIoControl(handle_.get(), code, const_cast<void*>(in), inSize, out, outSize, nullptr,
                         &overlapped) &&
        GetLastError() != ERROR_IO_PENDING)
        return std::nullopt;
    if (!GetOverlappedResult(handle_.get(), &overlapped, &returned, TRUE))
        return std::nullopt;
    return returned;
}

bool ControlDevice::pushInput(std::span<const uint8_t> report, uint32_t mouse) const {
    const V270InputHeader header{mouse};
    std::vector<uint8_t> request(sizeof header + report.size());
    std::memcpy(request.data(), &header, sizeof header);
    std::copy(report.begin(), report.end(), request.begin() + sizeof header);
    return this
        ->request(IOCTL_V270_PUSH_INPUT, request.data(), static_cast<DWORD>(request.size()),
                  nullptr, 0)
        .has_value();
}

std::optional<SentFeatureReport> ControlDevice::takeFeature(std::stop_token stop) const {
    const win32::UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const win32::UniqueHandle stopped(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HANDLE stopEvent = stopped.get();
    const std::stop_callback<std::function<void()>> onStop(stop,
                                                           [stopEvent] { SetEvent(stopEvent); });
    std::vector<uint8_t> buffer(kTakeBufferSize);
    OVERLAPPED overlapped{};
    overlapped.hEvent = done.get();
    DWORD returned = 0;
    if (!DeviceIoControl(handle_.get(), IOCTL_V270_TAKE_FEATURE, nullptr, 0, buffer.data(),
                         kTakeBufferSize, nullptr, &overlapped)) {
        if (GetLastError() != ERROR_IO_PENDING)
            return std::nullopt;
        const HANDLE handles[] = {done.get(), stopEvent};
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0)
            CancelIoEx(handle_.get(), &overlapped);
    }
    // After a cancel the take may still have got a report just before it: that one is returned
    // too, since its sender waits for an answer.
    if (!GetOverlappedResult(handle_.get(), &overlapped, &returned, TRUE) ||
        returned < sizeof(V270FeatureHeader))
        return std::nullopt;
    V270FeatureHeader header{};
    std::memcpy(&header, buffer.data(), sizeof header);
    const auto* bytes = buffer.data() + sizeof header;
    return SentFeatureReport{header.id, header.mouse,
                             std::vector<uint8_t>(bytes, bytes + header.length)};
}

bool ControlDevice::answerFeature(uint32_t id, bool accepted) const {
    const V270FeatureAnswer answer{id, accepted ? 1ul : 0ul};
    return request(IOCTL_V270_ANSWER_FEATURE, &answer, sizeof answer, nullptr, 0).has_value();
}

bool ControlDevice::setLengths(uint16_t input, uint16_t feature) const {
    const V270Lengths lengths{input, feature};
    return request(IOCTL_V270_SET_LENGTHS, &lengths, sizeof lengths, nullptr, 0).has_value();
}

std::optional<V270Counters> ControlDevice::counters() const {
    V270Counters counters{};
    if (request(IOCTL_V270_COUNTERS, nullptr, 0, &counters, sizeof counters) != sizeof counters)
        return std::nullopt;
    return counters;
}

}  // namespace v270::virtualmouse
