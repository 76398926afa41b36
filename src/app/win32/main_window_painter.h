#pragma once

#include <windows.h>

#include <optional>

#include "platform/win32/gdi_fonts.h"
#include "platform/win32/gdi_frame_canvas.h"
#include "platform/win32/gdi_objects.h"
#include "platform/win32/gdiplus_picture_decoder.h"
#include "ui/display_scale.h"
#include "ui/frame_painter.h"
#include "ui/frame_state.h"
#include "ui/picture_prefetch.h"
#include "ui/picture_source.h"
#include "ui/scaled_pictures.h"
#include "ui/window_shape.h"

namespace v270 {
struct Program;
}

namespace v270::win32 {

// The main window's look: its shape from the skin's mask, its fonts, and each frame composed in
// a back buffer from the state of the moment, over the frame before, and shown in one copy (the
// first, which has no frame before it, straight onto the window); all at the scale of the
// window's monitor.
class MainWindowPainter {
  public:
    // Starts decoding the mask and the main page's pictures of `skinFolder` on another thread,
    // for a painter to take, and scaling them to `expected`, the scale the window will most
    // likely have: made first, the work runs while the window is being made.
    static std::unique_ptr<PicturePrefetch> prefetch(const std::filesystem::path& skinFolder,
                                                     DisplayScale expected);

    // Takes its first pictures from `prefetch`, when there is one.
    MainWindowPainter(const Program& program, std::unique_ptr<PicturePrefetch> prefetch);

    // The fonts, the popups' pictures and the pictures being prefetched, for a window at
    // `scale`.
    void setScale(DisplayScale scale);
    DisplayScale scale() const { return scale_; }
    const GdiFonts* fonts() const { return fonts_ ? &*fonts_ : nullptr; }

    // Builds the window shape and the advanced page's redraw region from "main_mask.jpg" at the
    // scale, and gives the shape to `window`. Without `at`, the shaped window is centred in the
    // work area; with it, its top-left corner goes there.
    void shapeWindow(HWND window, std::optional<POINT> at = std::nullopt);
    const WindowShape& shape() const { return shape_; }
    // The size of the window at another scale, from the mask's size; zero before the shape.
    platform::PixelSize sizeAt(DisplayScale scale) const { return scale.size(maskSize_); }
    // The advanced page's redraw region as a system region, made with the shape.
    HRGN advancedRedrawRegion() const { return advancedRegion_.get(); }

    // The decoder the popups load their masks with, and the pictures they draw, at the scale.
    platform::PictureDecoder& decoder() { return decoder_; }
    PictureSource& popupPictures() { return scaledPopupPictures_; }

    void paint(HDC target);

  private:
    // The prefetched pictures, into the caches the frames read: those of the first frame as
    // soon as it is painted, the rest once they are ready.
    void takePrefetched();

    const Program& program_;
    GdiplusPictureDecoder decoder_;
    PictureCache pictures_{decoder_};
    FramePainter painter_;
    PictureCache popupPictures_{decoder_};
    ScaledPictures scaledPopupPictures_{popupPictures_};
    DisplayScale scale_;
    std::optional<GdiFonts> fonts_;
    // The back buffer, kept from frame to frame so that a frame redraws only what changed; made
    // again for a new size or new fonts.
    std::optional<GdiFrameCanvas> canvas_;
    WindowShape shape_;
    platform::PixelSize maskSize_;
    UniqueRegion advancedRegion_;
    bool firstFrameShown_ = false;
    // The mask and the main page's pictures, decoded and scaled on another thread until the
    // frames have taken them.
    std::unique_ptr<PicturePrefetch> prefetch_;
};

}  // namespace v270::win32
