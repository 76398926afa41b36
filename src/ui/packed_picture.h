#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/picture.h"
#include "platform/pixel_types.h"

namespace v270 {

// A skin picture decoded ahead of time, for a start that shows its first frame without a JPEG
// decoder: the pixels in a compact form that one pass unpacks, tied to the exact bytes of the
// file they were decoded from. A file changed since (another skin) no longer matches, and the
// program decodes the file itself. Nothing in packed bytes is trusted: every length and count
// is checked, and anything out of place makes the packed picture unusable, never a crash.
//
// The form: "V270PIX1", the width and the height (32 bits), the source file's length and hash
// (64 bits), all little-endian, then the pixels row by row as a stream of codes, each against
// the pixel before (black before the first):
//   00nnnnnn           the pixel before, n + 1 times
//   01rrggbb           each channel changed by -2..1 (stored + 2)
//   10gggggg rrrrbbbb  green changed by -32..31 (stored + 32); red and blue by the change of
//                      green plus -8..7 (stored + 8)
//   11iiiiii           (i < 62) the pixel kept at slot i of the recent pixels, a table of 62
//                      slots each pixel is put into at (r * 3 + g * 5 + b * 7) % 62
//   11111110 r g b     the pixel itself
// Every pixel unpacked, whatever its code, goes into the table.
namespace packed_picture {
// The largest side a packed picture may claim; skin pictures are far smaller.
inline constexpr int32_t kMaxSide = 16384;
}  // namespace packed_picture

// A hash of a file's bytes, to tell whether a packed picture was made from it.
uint64_t sourceHash(std::span<const std::byte> source);

// `picture` packed, tied to `source`, the bytes of the file it was decoded from.
std::vector<std::byte> packPicture(const platform::Picture& picture,
                                   std::span<const std::byte> source);

// The size of the packed picture when it was made from exactly `source`; nullopt when it was
// not, or is no packed picture.
std::optional<platform::PixelSize> packedPictureSize(std::span<const std::byte> packed,
                                                     std::span<const std::byte> source);

// Unpacks into `pixels` (0x00RRGGBB, row by row, as many as the size says); false when the
// stream is damaged or `pixels` has another count, leaving `pixels` undefined.
bool unpackPicture(std::span<const std::byte> packed, std::span<uint32_t> pixels);

}  // namespace v270
