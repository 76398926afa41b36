#include "app/win32/main_window_painter.h"

#include "app/program.h"
#include "app/win32/startup_timing.h"
#include "platform/win32/gdi_frame_canvas.h"
#include "platform/win32/gdi_region.h"
#include "ui/skin_pictures.h"

namespace v270::win32 {

MainWindowPainter::MainWindowPainter(const Program& program)
    : program_(program), painter_(program.tables, pictures_, program.paths.skinFolder) {}

void MainWindowPainter::setScale(DisplayScale scale) {
    if (fonts_ && scale == scale_)
        return;
    scale_ = scale;
    fonts_.emplace(scale.dpi);
    scaledPopupPictures_.setScale(scale);
}

namespace {

// What the first frame of the main page shows, with the mask first: the shape comes before it.
constexpr std::string_view kFirstFramePictures[] = {
    skin_picture::kMainPage.normal, skin_picture::kMainPage.over, skin_picture::kMainPage.down,
    skin_picture::kDpiKnob};

}  // namespace

void MainWindowPainter::prefetchFirstFrame() {
    std::vector<std::filesystem::path> files{program_.paths.skinFolder / skin_picture::kMask};
    for (const std::string_view name : kFirstFramePictures)
        files.push_back(program_.paths.skinFolder / name);
    prefetch_ = std::make_unique<PicturePrefetch>(std::make_unique<GdiplusPictureDecoder>(),
                                                  std::move(files), scale_);
}

void MainWindowPainter::takePrefetched() {
    if (!prefetch_)
        return;
    for (const std::string_view name : kFirstFramePictures) {
        const std::filesystem::path file = program_.paths.skinFolder / name;
        if (std::optional<PicturePrefetch::Prepared> picture = prefetch_->take(file)) {
            pictures_.seed(file, picture->original);
            if (picture->original)
                painter_.seedScaled(name, scale_, picture->original, picture->scaled);
        }
    }
    prefetch_.reset();
}

void MainWindowPainter::shapeWindow(HWND window, std::optional<POINT> at) {
    const std::filesystem::path maskFile = program_.paths.skinFolder / skin_picture::kMask;
    std::optional<PicturePrefetch::Prepared> prefetched;
    if (prefetch_)
        prefetched = prefetch_->take(maskFile);
    const auto mask = prefetched ? prefetched->original : decoder_.load(maskFile);
    maskSize_ = mask ? mask->size() : platform::PixelSize{};
    shape_ = buildWindowShape(mask.get(), program_.tables, scale_);
    UniqueRegion region = regionFromRects(shape_.windowRegion.rects());
    // The window owns the region once it has it.
    if (SetWindowRgn(window, region.get(), TRUE))
        region.release();
    advancedRegion_ = regionFromRects(shape_.advancedRedrawRegion.rects());

    if (shape_.size.width <= 0)
        return;
    if (at) {
        SetWindowPos(window, nullptr, at->x, at->y, shape_.size.width, shape_.size.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    RECT workArea;
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0)) {
        const int x = workArea.left + (workArea.right - workArea.left - shape_.size.width) / 2;
        const int y = workArea.top + (workArea.bottom - workArea.top - shape_.size.height) / 2;
        SetWindowPos(window, nullptr, x, y, shape_.size.width, shape_.size.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void MainWindowPainter::paint(HDC target) {
    if (!fonts_ || shape_.size.width <= 0)
        return;
    takePrefetched();
    GdiFrameCanvas canvas(shape_.size, *fonts_);
    if (!canvas)
        return;
    painter_.PaintFrame(program_.frame(), canvas);
    canvas.present(target);
    if (!firstFrameShown_) {
        firstFrameShown_ = true;
        reportFirstFrame();
    }
}

}  // namespace v270::win32
