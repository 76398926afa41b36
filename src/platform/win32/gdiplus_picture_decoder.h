#pragma once

#include <filesystem>
#include <memory>

#include "platform/picture.h"

namespace v270::win32 {

class GdiplusSession;

// Decodes the skin's JPEG files with GDI+ into DIB sections that GDI copies from directly. GDI+
// starts with the first picture and shuts down when the last picture decoded is released.
class GdiplusPictureDecoder : public platform::PictureDecoder {
  public:
    std::shared_ptr<const platform::Picture> load(const std::filesystem::path& file) override;

  private:
    std::weak_ptr<GdiplusSession> session_;
};

}  // namespace v270::win32
