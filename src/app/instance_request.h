#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace v270 {

// A second start of the program hands its request to the running one as a tagged block of
// bytes. Any process can send such a block, so the receiver trusts nothing of it: the tag, the
// length and every byte are checked again.
inline constexpr uint64_t kInstanceRequestTag = 0x5632'3730'5245'5155ull;  // "V270REQU"

// "V27P", format 1, the profile number.
std::vector<uint8_t> encodeProfileRequest(int32_t profile);

// The profile (1..5) a block asks for; nothing when the block is not exactly such a request.
std::optional<int32_t> decodeProfileRequest(uint64_t tag, std::span<const uint8_t> data);

}  // namespace v270
