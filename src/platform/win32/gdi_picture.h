#pragma once

#include <windows.h>

#include <memory>
#include <span>

#include "platform/picture.h"
#include "platform/win32/gdi_objects.h"

namespace v270::win32 {

class GdiplusSession;

// A decoded picture in a DIB section with a memory context of its own, ready for BitBlt.
class GdiPicture : public platform::Picture {
  public:
    GdiPicture(DibSurface surface, std::shared_ptr<GdiplusSession> session)
        : surface_(std::move(surface)), session_(std::move(session)) {}

    platform::PixelSize size() const override { return {surface_.width(), surface_.height()}; }
    std::span<const uint32_t> row(int32_t y) const override {
        return {surface_.row(y), static_cast<size_t>(surface_.width())};
    }
    HDC dc() const { return surface_.dc(); }

  private:
    DibSurface surface_;
    std::shared_ptr<GdiplusSession> session_;  // keeps GDI+ up while a picture lives
};

}  // namespace v270::win32
