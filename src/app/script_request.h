#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace v270 {

// The requests of the command front for scripts, handed to the running driver as a profile
// request is (tagged kInstanceRequestTag), and its answers, which the driver hands back to the
// front's reply window. Each side checks every byte of what the other sends.
inline constexpr uint64_t kScriptReplyTag = 0x5632'3730'5245'504Cull;  // "V270REPL"

struct StatusRequest {
    bool operator==(const StatusRequest&) const = default;
};
struct ExportRequest {
    int32_t profile = 1;
    bool operator==(const ExportRequest&) const = default;
};
struct ImportRequest {
    int32_t profile = 1;
    bool force = false;  // replace what the profile holds
    std::vector<std::byte> file;
    bool operator==(const ImportRequest&) const = default;
};
using ScriptRequest = std::variant<StatusRequest, ExportRequest, ImportRequest>;

std::vector<uint8_t> encodeScriptRequest(const ScriptRequest& request);
// Nothing unless the block is exactly such a request: a profile 1..5, a flag 0 or 1, a file no
// larger than a profile file can be.
std::optional<ScriptRequest> decodeScriptRequest(uint64_t tag, std::span<const uint8_t> data);

// How the driver answered. The values are part of the exchange between the two programs.
enum class ScriptOutcome : uint8_t {
    Done = 0,
    NotAProfileFile = 1,
    NewerFormat = 2,
    OtherModel = 3,
    Damaged = 4,
    NoFreeMacroSlot = 5,
    ReplacesSettings = 6,  // the profile holds other settings and --force was not given
    ChangedMeanwhile = 7,
    NotSaved = 8,  // a settings file could not be read or written
};

// The outcome and, with Done, the status or the exported file; with a refusal, its detail (the
// damaged key, the model, the macros that do not fit) as UTF-8.
struct ScriptReply {
    ScriptOutcome outcome = ScriptOutcome::Done;
    std::vector<uint8_t> payload;
    bool operator==(const ScriptReply&) const = default;
};

std::vector<uint8_t> encodeScriptReply(const ScriptReply& reply);
std::optional<ScriptReply> decodeScriptReply(uint64_t tag, std::span<const uint8_t> data);

}  // namespace v270
