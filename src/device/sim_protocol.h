#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/hid.h"

// The wire protocol between the simulated mouse and the program's simulated HID transport:
// length-prefixed binary frames on one TCP connection, integers little-endian. See
// docs/mouse-simulator.md.
namespace v270::sim {

inline constexpr uint16_t kProtocolVersion = 1;

enum class FrameType : uint8_t {
    // Client to simulator. Each request gets exactly one reply, in order, except Close.
    Hello = 0x01,       // u16 version
    Enumerate = 0x02,   // nothing
    Open = 0x03,        // u8 access (1 read, 2 write), string path
    SetFeature = 0x04,  // u32 handle, report bytes
    Close = 0x05,       // u32 handle; no reply
    // Simulator to client: replies.
    HelloReply = 0x81,     // u16 version
    InterfaceList = 0x82,  // u8 count, then each interface
    Opened = 0x83,         // u32 handle, 0 when the open failed
    FeatureResult = 0x84,  // u8 1 accepted, 0 refused
    // Simulator to client, at any time between replies.
    InputReport = 0x90,   // u32 handle, report bytes
    DeviceNotice = 0x91,  // u8 event (1 arrival, 2 removal), string path
    HandleClosed = 0x92,  // u32 handle: reads and sends on it fail from now on
};

enum class OpenAccess : uint8_t { Read = 1, Write = 2 };
enum class NoticeEvent : uint8_t { Arrival = 1, Removal = 2 };

// The frame length counts the type byte and the payload. Reports are at most 65535 bytes.
inline constexpr size_t kMaxFrameLength = 1 + 4 + 65535;

struct Frame {
    FrameType type{};
    std::vector<uint8_t> payload;
};

// What a device says of itself.
struct Attributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;

    bool operator==(const Attributes&) const = default;
};

// What the HID parser says of a collection. Report lengths include the report ID byte.
struct Capabilities {
    uint16_t usage = 0;
    uint16_t usagePage = 0;
    uint16_t inputReportByteLength = 0;
    uint16_t outputReportByteLength = 0;
    uint16_t featureReportByteLength = 0;

    bool operator==(const Capabilities&) const = default;
};

// One interface as the simulator presents it.
struct InterfaceRecord {
    std::u16string path;
    Attributes attributes;
    Capabilities caps;

    // The interface as a HID system lists it to the program.
    platform::HidInterface listing() const {
        // The simulator's mouse is one device: every collection names the same.
        return {
            path,       attributes.vendorId,        attributes.productId,         caps.usagePage,
            caps.usage, caps.inputReportByteLength, caps.featureReportByteLength, {}};
    }

    bool operator==(const InterfaceRecord&) const = default;
};

// Appends the fields of a payload.
class PayloadWriter {
  public:
    PayloadWriter& u8(uint8_t value);
    PayloadWriter& u16(uint16_t value);
    PayloadWriter& u32(uint32_t value);
    PayloadWriter& bytes(std::span<const uint8_t> value);
    // u16 byte count, then UTF-8.
    PayloadWriter& string(std::u16string_view value);
    std::vector<uint8_t> take() { return std::move(payload_); }

  private:
    std::vector<uint8_t> payload_;
};

// Reads the fields of a payload; every read fails once the payload runs short.
class PayloadReader {
  public:
    explicit PayloadReader(std::span<const uint8_t> payload) : rest_(payload) {}
    std::optional<uint8_t> u8();
    std::optional<uint16_t> u16();
    std::optional<uint32_t> u32();
    std::optional<std::u16string> string();
    // Everything not read yet.
    std::span<const uint8_t> rest();
    bool atEnd() const { return rest_.empty(); }

  private:
    std::span<const uint8_t> rest_;
};

// The bytes of one frame on the wire.
std::vector<uint8_t> encodeFrame(const Frame& frame);

// Cuts the received byte stream into frames.
class FrameAssembler {
  public:
    void append(std::span<const uint8_t> bytes);
    // The next whole frame, if one has come.
    std::optional<Frame> next();
    // The stream announced a frame of length 0 or beyond kMaxFrameLength: it cannot be
    // followed any further.
    bool broken() const { return broken_; }

  private:
    std::vector<uint8_t> pending_;
    size_t consumed_ = 0;
    bool broken_ = false;
};

std::vector<uint8_t> encodeInterfaceList(const std::vector<InterfaceRecord>& interfaces);
std::optional<std::vector<InterfaceRecord>> decodeInterfaceList(std::span<const uint8_t> payload);

}  // namespace v270::sim
