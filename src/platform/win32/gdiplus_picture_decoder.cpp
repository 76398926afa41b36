#include "platform/win32/gdiplus_picture_decoder.h"

#include <objidl.h>
#include <windows.h>

#ifdef _MSC_VER
// GDI+'s headers use min and max, which NOMINMAX keeps out of windows.h.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#endif
#include <gdiplus.h>

#include "platform/win32/gdi_picture.h"

namespace v270::win32 {

// GDI+ between GdiplusStartup and GdiplusShutdown.
class GdiplusSession {
  public:
    GdiplusSession() {
        const Gdiplus::GdiplusStartupInput input;
        started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession() {
        if (started_)
            Gdiplus::GdiplusShutdown(token_);
    }
    bool started() const { return started_; }

  private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

std::shared_ptr<const platform::Picture> GdiplusPictureDecoder::load(
    const std::filesystem::path& file) {
    std::shared_ptr<GdiplusSession> session = session_.lock();
    if (!session) {
        session = std::make_shared<GdiplusSession>();
        session_ = session;
    }
    if (!session->started())
        return nullptr;

    // The GDI+ bitmap holds the file open; it is gone before this returns.
    Gdiplus::Bitmap bitmap(file.c_str(), FALSE);
    if (bitmap.GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    const auto width = static_cast<int>(bitmap.GetWidth());
    const auto height = static_cast<int>(bitmap.GetHeight());
    DibSurface surface(width, height);
    if (!surface)
        return nullptr;

    // GDI+ writes the pixels straight into the DIB section.
    Gdiplus::Rect area(0, 0, width, height);
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(width);
    data.Height = static_cast<UINT>(height);
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppRGB;
    data.Scan0 = surface.row(0);
    if (bitmap.LockBits(&area, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppRGB, &data) != Gdiplus::Ok) {
        return nullptr;
    }
    bitmap.UnlockBits(&data);
    for (int y = 0; y < height; ++y) {
        uint32_t* row = surface.row(y);
        for (int x = 0; x < width; ++x)
            row[x] &= 0x00FFFFFFu;
    }
    return std::make_shared<GdiPicture>(std::move(surface), std::move(session));
}

}  // namespace v270::win32
