#include "app/instance_request.h"

#include <algorithm>
#include <array>

#include "settings/config_profile.h"

namespace v270 {

namespace {

constexpr std::array<uint8_t, 4> kMagic = {'V', '2', '7', 'P'};
constexpr uint8_t kFormat = 1;
constexpr size_t kRequestSize = kMagic.size() + 2;

}  // namespace

std::vector<uint8_t> encodeProfileRequest(int32_t profile) {
    std::vector<uint8_t> data(kMagic.begin(), kMagic.end());
    data.push_back(kFormat);
    data.push_back(static_cast<uint8_t>(profile));
    return data;
}

std::optional<int32_t> decodeProfileRequest(uint64_t tag, std::span<const uint8_t> data) {
    if (tag != kInstanceRequestTag || data.size() != kRequestSize ||
        !std::equal(kMagic.begin(), kMagic.end(), data.begin()) || data[4] != kFormat) {
        return std::nullopt;
    }
    const int32_t profile = data[5];
    if (profile < 1 || profile > kProfileCount)
        return std::nullopt;
    return profile;
}

}  // namespace v270
