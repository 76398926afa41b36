#pragma once

#include <windows.h>

#include <memory>

#include "platform/picture.h"

namespace v270::win32 {

// Decodes the skin pictures the program carries packed in its resources from those, when the
// file is still the one they were packed from, and every other file with `fallback`: a start
// shows its first frame without starting a JPEG decoder, and another skin's pictures are its
// own. The file is read either way, to compare.
class PackedPictureDecoder final : public platform::PictureDecoder {
  public:
    PackedPictureDecoder(HMODULE module, std::unique_ptr<platform::PictureDecoder> fallback)
        : module_(module), fallback_(std::move(fallback)) {}

    std::shared_ptr<const platform::Picture> load(const std::filesystem::path& file) override;

  private:
    std::shared_ptr<const platform::Picture> unpack(const std::filesystem::path& file);

    HMODULE module_;
    std::unique_ptr<platform::PictureDecoder> fallback_;
};

}  // namespace v270::win32
