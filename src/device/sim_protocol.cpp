#include "device/sim_protocol.h"

#include <algorithm>
#include <utility>

#include "settings/text.h"

namespace v270::sim {

namespace {

constexpr size_t kLengthFieldBytes = 4;

uint32_t readLittleEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

PayloadWriter& PayloadWriter::u8(uint8_t value) {
    payload_.push_back(value);
    return *this;
}

PayloadWriter& PayloadWriter::u16(uint16_t value) {
    payload_.push_back(static_cast<uint8_t>(value & 0xFFu));
    payload_.push_back(static_cast<uint8_t>(value >> 8));
    return *this;
}

PayloadWriter& PayloadWriter::u32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        payload_.push_back(static_cast<uint8_t>((value >> shift) & 0xFFu));
    }
    return *this;
}

PayloadWriter& PayloadWriter::bytes(std::span<const uint8_t> value) {
    payload_.insert(payload_.end(), value.begin(), value.end());
    return *this;
}

PayloadWriter& PayloadWriter::string(std::u16string_view value) {
    std::string utf8 = utf16ToUtf8(value);
    if (utf8.size() > 0xFFFF)
        utf8.resize(0xFFFF);
    u16(static_cast<uint16_t>(utf8.size()));
    payload_.insert(payload_.end(), utf8.begin(), utf8.end());
    return *this;
}

std::optional<uint8_t> PayloadReader::u8() {
    if (rest_.empty())
        return std::nullopt;
    const uint8_t value = rest_[0];
    rest_ = rest_.subspan(1);
    return value;
}

std::optional<uint16_t> PayloadReader::u16() {
    if (rest_.size() < 2)
        return std::nullopt;
    const auto value = static_cast<uint16_t>(rest_[0] | rest_[1] << 8);
    rest_ = rest_.subspan(2);
    return value;
}

std::optional<uint32_t> PayloadReader::u32() {
    if (rest_.size() < 4)
        return std::nullopt;
    const uint32_t value = readLittleEndian32(rest_.data());
    rest_ = rest_.subspan(4);
    return value;
}

std::optional<std::u16string> PayloadReader::string() {
    const std::optional<uint16_t> length = u16();
    if (!length || rest_.size() < *length)
        return std::nullopt;
    const std::string_view utf8(reinterpret_cast<const char*>(rest_.data()), *length);
    rest_ = rest_.subspan(*length);
    return utf8ToUtf16(utf8);
}

std::span<const uint8_t> PayloadReader::rest() {
    return std::exchange(rest_, {});
}

std::vector<uint8_t> encodeFrame(const Frame& frame) {
    const auto length = static_cast<uint32_t>(1 + frame.payload.size());
    PayloadWriter writer;
    writer.u32(length).u8(static_cast<uint8_t>(frame.type)).bytes(frame.payload);
    return writer.take();
}

void FrameAssembler::append(std::span<const uint8_t> bytes) {
    // Drop what earlier frames used before the buffer grows again.
    if (consumed_ > 0) {
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(consumed_));
        consumed_ = 0;
    }
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
}

std::optional<Frame> FrameAssembler::next() {
    if (broken_)
        return std::nullopt;
    const size_t available = pending_.size() - consumed_;
    if (available < kLengthFieldBytes)
        return std::nullopt;
    const uint8_t* start = pending_.data() + consumed_;
    const uint32_t length = readLittleEndian32(start);
    if (length == 0 || length > kMaxFrameLength) {
        broken_ = true;
        return std::nullopt;
    }
    if (available < kLengthFieldBytes + length)
        return std::nullopt;
    Frame frame;
    frame.type = static_cast<FrameType>(start[kLengthFieldBytes]);
    frame.payload.assign(start + kLengthFieldBytes + 1, start + kLengthFieldBytes + length);
    consumed_ += kLengthFieldBytes + length;
    return frame;
}

std::vector<uint8_t> encodeInterfaceList(const std::vector<InterfaceRecord>& interfaces) {
    PayloadWriter writer;
    const size_t count = std::min<size_t>(interfaces.size(), 0xFF);
    writer.u8(static_cast<uint8_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const InterfaceRecord& entry = interfaces[i];
        writer.string(entry.path)
            .u16(entry.attributes.vendorId)
            .u16(entry.attributes.productId)
            .u16(entry.attributes.versionNumber)
            .u16(entry.caps.usagePage)
            .u16(entry.caps.usage)
            .u16(entry.caps.inputReportByteLength)
            .u16(entry.caps.outputReportByteLength)
            .u16(entry.caps.featureReportByteLength);
    }
    return writer.take();
}

std::optional<std::vector<InterfaceRecord>> decodeInterfaceList(std::span<const uint8_t> payload) {
    PayloadReader reader(payload);
    const std::optional<uint8_t> count = reader.u8();
    if (!count)
        return std::nullopt;
    std::vector<InterfaceRecord> interfaces;
    for (int i = 0; i < *count; ++i) {
        InterfaceRecord entry;
        const auto path = reader.string();
        std::optional<uint16_t> fields[8];
        for (auto& field : fields)
            field = reader.u16();
        if (!path || !fields[7])
            return std::nullopt;
        entry.path = *path;
        entry.attributes = {*fields[0], *fields[1], *fields[2]};
        entry.caps.usagePage = *fields[3];
        entry.caps.usage = *fields[4];
        entry.caps.inputReportByteLength = *fields[5];
        entry.caps.outputReportByteLength = *fields[6];
        entry.caps.featureReportByteLength = *fields[7];
        interfaces.push_back(std::move(entry));
    }
    if (!reader.atEnd())
        return std::nullopt;
    return interfaces;
}

}  // namespace v270::sim
