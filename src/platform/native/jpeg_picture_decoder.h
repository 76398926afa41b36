#pragma once

#include <filesystem>
#include <memory>

#include "platform/picture.h"

namespace v270::platform {

// Decodes JPEG files with libjpeg-turbo into pictures held in memory.
class JpegPictureDecoder : public PictureDecoder {
  public:
    std::shared_ptr<const Picture> load(const std::filesystem::path& file) override;
};

}  // namespace v270::platform
