#include "app/script_request.h"

#include <algorithm>
#include <array>

#include "app/instance_request.h"
#include "settings/config_profile.h"
#include "settings/profile_file.h"

namespace v270 {

namespace {

constexpr std::array<uint8_t, 4> kRequestMagic = {'V', '2', '7', 'S'};
constexpr std::array<uint8_t, 4> kReplyMagic = {'V', '2', '7', 'R'};
constexpr uint8_t kFormat = 1;
constexpr size_t kHeaderSize = kRequestMagic.size() + 1;  // magic, format
constexpr uint8_t kLastOutcome = static_cast<uint8_t>(ScriptOutcome::NotSaved);
// A status or a refusal's detail is a few dozen bytes; a file is at most a profile file's size.
constexpr size_t kMaxPayload = kMaxProfileFileBytes;

enum class Kind : uint8_t { Status = 1, Export = 2, Import = 3 };

std::vector<uint8_t> header(const std::array<uint8_t, 4>& magic) {
    std::vector<uint8_t> bytes(magic.begin(), magic.end());
    bytes.push_back(kFormat);
    return bytes;
}

bool hasHeader(std::span<const uint8_t> data, const std::array<uint8_t, 4>& magic) {
    return data.size() >= kHeaderSize && std::equal(magic.begin(), magic.end(), data.begin()) &&
           data[magic.size()] == kFormat;
}

std::optional<int32_t> profileOf(uint8_t byte) {
    if (byte < 1 || byte > kProfileCount)
        return std::nullopt;
    return static_cast<int32_t>(byte);
}

}  // namespace

std::vector<uint8_t> encodeScriptRequest(const ScriptRequest& request) {
    std::vector<uint8_t> bytes = header(kRequestMagic);
    if (std::holds_alternative<StatusRequest>(request)) {
        bytes.push_back(static_cast<uint8_t>(Kind::Status));
    } else if (const auto* exported = std::get_if<ExportRequest>(&request)) {
        bytes.push_back(static_cast<uint8_t>(Kind::Export));
        bytes.push_back(static_cast<uint8_t>(exported->profile));
    } else {
        const auto& imported = std::get<ImportRequest>(request);
        bytes.push_back(static_cast<uint8_t>(Kind::Import));
        bytes.push_back(static_cast<uint8_t>(imported.profile));
        bytes.push_back(imported.force ? 1 : 0);
        for (const std::byte b : imported.file)
            bytes.push_back(static_cast<uint8_t>(b));
    }
    return bytes;
}

std::optional<ScriptRequest> decodeScriptRequest(uint64_t tag, std::span<const uint8_t> data) {
    if (tag != kInstanceRequestTag || !hasHeader(data, kRequestMagic) ||
        data.size() == kHeaderSize) {
        return std::nullopt;
    }
    const std::span<const uint8_t> rest = data.subspan(kHeaderSize + 1);
    switch (static_cast<Kind>(data[kHeaderSize])) {
        case Kind::Status:
            if (rest.empty())
                return StatusRequest{};
            return std::nullopt;
        case Kind::Export:
            if (rest.size() != 1)
                return std::nullopt;
            if (const auto profile = profileOf(rest[0]))
                return ExportRequest{*profile};
            return std::nullopt;
        case Kind::Import: {
            if (rest.size() < 2 || rest[1] > 1 || rest.size() - 2 > kMaxProfileFileBytes)
                return std::nullopt;
            const auto profile = profileOf(rest[0]);
            if (!profile)
                return std::nullopt;
            const auto file = std::as_bytes(rest.subspan(2));
            return ImportRequest{*profile, rest[1] == 1, {file.begin(), file.end()}};
        }
    }
    return std::nullopt;
}

std::vector<uint8_t> encodeScriptReply(const ScriptReply& reply) {
    std::vector<uint8_t> bytes = header(kReplyMagic);
    bytes.push_back(static_cast<uint8_t>(reply.outcome));
    bytes.insert(bytes.end(), reply.payload.begin(), reply.payload.end());
    return bytes;
}

std::optional<ScriptReply> decodeScriptReply(uint64_t tag, std::span<const uint8_t> data) {
    if (tag != kScriptReplyTag || !hasHeader(data, kReplyMagic) || data.size() == kHeaderSize ||
        data[kHeaderSize] > kLastOutcome || data.size() - kHeaderSize - 1 > kMaxPayload) {
        return std::nullopt;
    }
    const std::span<const uint8_t> payload = data.subspan(kHeaderSize + 1);
    return ScriptReply{static_cast<ScriptOutcome>(data[kHeaderSize]),
                       {payload.begin(), payload.end()}};
}

}  // namespace v270
