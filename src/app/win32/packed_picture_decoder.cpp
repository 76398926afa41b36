#include "app/win32/packed_picture_decoder.h"

#include <algorithm>
#include <span>
#include <vector>

#include "app/win32/resource_ids.h"
#include "platform/file_system.h"
#include "platform/win32/gdi_picture.h"
#include "ui/packed_picture.h"
#include "ui/skin_pictures.h"

namespace v270::win32 {

namespace {

// No skin picture comes near this; a larger file is left to the fallback.
constexpr size_t kMaxSourceBytes = 16u << 20;

// The packed copy of the picture named `name` among the program's resources; empty when there
// is none.
std::span<const std::byte> packedResource(HMODULE module, const std::filesystem::path& name) {
    const auto& packed = skin_picture::kPackedPictures;
    const auto found = std::find_if(packed.begin(), packed.end(), [&](std::string_view picture) {
        return name == std::filesystem::path(picture);
    });
    if (found == packed.end())
        return {};
    const auto id = static_cast<WORD>(IDR_PACKED_PICTURE_FIRST + (found - packed.begin()));
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return {};
    // Resources stay mapped with the module, which outlives the program's objects.
    return {static_cast<const std::byte*>(bytes), SizeofResource(module, resource)};
}

}  // namespace

std::shared_ptr<const platform::Picture> PackedPictureDecoder::load(
    const std::filesystem::path& file) {
    if (std::shared_ptr<const platform::Picture> picture = unpack(file))
        return picture;
    return fallback_->load(file);
}

std::shared_ptr<const platform::Picture> PackedPictureDecoder::unpack(
    const std::filesystem::path& file) {
    const std::span<const std::byte> packed = packedResource(module_, file.filename());
    if (packed.empty())
        return nullptr;
    std::vector<std::byte> source;
    if (platform::readFileStart(file, kMaxSourceBytes + 1, source).outcome !=
            platform::FileResult::Outcome::Done ||
        source.size() > kMaxSourceBytes)
        return nullptr;
    const std::optional<platform::PixelSize> size = packedPictureSize(packed, source);
    if (!size)
        return nullptr;
    DibSurface surface(size->width, size->height);
    if (!surface ||
        !unpackPicture(packed, std::span(surface.row(0), static_cast<size_t>(size->width) *
                                                             static_cast<size_t>(size->height))))
        return nullptr;
    return std::make_shared<GdiPicture>(std::move(surface), nullptr);
}

}  // namespace v270::win32
