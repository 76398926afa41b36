#pragma once

#include <windows.h>

#include <optional>

#include "platform/win32/gdi_fonts.h"
#include "platform/win32/gdi_objects.h"
#include "platform/win32/gdiplus_picture_decoder.h"
#include "ui/frame_painter.h"
#include "ui/frame_state.h"
#include "ui/picture_source.h"
#include "ui/window_shape.h"

namespace v270::win32 {}  // namespace v270::win32

namespace v270 {
struct Program;
}

namespace v270::win32 {

// The main window's look: its shape from the skin's mask, its fonts, and each frame composed in
// a back buffer from the state of the moment and shown in one copy.
class MainWindowPainter {
  public:
    explicit MainWindowPainter(const Program& program);

    void createFonts() { fonts_.emplace(); }
    const GdiFonts* fonts() const { return fonts_ ? &*fonts_ : nullptr; }

    // Builds the window shape and the advanced page's redraw region from "main_mask.jpg",
    // gives the shape to `window` and centres the shaped window on the screen.
    void shapeWindow(HWND window);
    const WindowShape& shape() const { return shape_; }
    // The advanced page's redraw region as a system region, made once with the shape.
    HRGN advancedRedrawRegion() const { return advancedRegion_.get(); }

    // The decoder the popups load their pictures with.
    platform::PictureDecoder& decoder() { return decoder_; }

    void paint(HDC target);

  private:
    const Program& program_;
    GdiplusPictureDecoder decoder_;
    PictureCache pictures_{decoder_};
    FramePainter painter_;
    std::optional<GdiFonts> fonts_;
    WindowShape shape_;
    UniqueRegion advancedRegion_;
    bool firstFrameShown_ = false;
};

}  // namespace v270::win32
