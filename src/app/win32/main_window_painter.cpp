#include "app/win32/main_window_painter.h"

#include "app/program.h"
#include "app/win32/packed_picture_decoder.h"
#include "app/win32/startup_timing.h"
#include "platform/win32/gdi_frame_canvas.h"
#include "platform/win32/gdi_region.h"
#include "ui/skin_pictures.h"

namespace v270::win32 {

namespace {

// What the first frame of the main page shows: its page picture, the parts of the down picture
// that mark what is selected, the DPI knobs.
constexpr std::string_view kFirstFramePictures[] = {
    skin_picture::kMainPage.normal, skin_picture::kMainPage.down, skin_picture::kDpiKnob};
// What the main page shows once the pointer is over it, or the start key blinks: decoded only,
// since frames show parts of it.
constexpr std::string_view kLaterPictures[] = {skin_picture::kMainPage.over};

}  // namespace

std::unique_ptr<PicturePrefetch> MainWindowPainter::prefetch(
    const std::filesystem::path& skinFolder, DisplayScale expected) {
    // The page picture first, so that its scaling, the longest part, starts at once; then the
    // mask, which the window's shape needs before any frame, used at its own size. The down
    // picture is only decoded ahead: frames show parts of it, scaled as they are first shown.
    std::vector<PicturePrefetch::File> files{{skinFolder / skin_picture::kMainPage.normal, true},
                                             {skinFolder / skin_picture::kMask, false},
                                             {skinFolder / skin_picture::kMainPage.down, false},
                                             {skinFolder / skin_picture::kDpiKnob, true}};
    for (const std::string_view name : kLaterPictures)
        files.push_back({skinFolder / name, false, true});
    // Those of the first frame come unpacked from the resources, as long as the skin is the
    // shipped one.
    auto prefetch = std::make_unique<PicturePrefetch>(
        std::make_unique<PackedPictureDecoder>(GetModuleHandleW(nullptr),
                                               std::make_unique<GdiplusPictureDecoder>()),
        std::move(files));
    // The window's own scale, once it has one, takes over for what is not scaled by then.
    prefetch->scaleTo(expected);
    return prefetch;
}

MainWindowPainter::MainWindowPainter(const Program& program,
                                     std::unique_ptr<PicturePrefetch> prefetch)
    : program_(program),
      painter_(program.tables, pictures_, program.paths.skinFolder),
      prefetch_(std::move(prefetch)) {}

void MainWindowPainter::setScale(DisplayScale scale) {
    if (fonts_ && scale == scale_)
        return;
    scale_ = scale;
    canvas_.reset();  // it writes with the fonts
    fonts_.emplace(scale.dpi);
    scaledPopupPictures_.setScale(scale);
    if (prefetch_)
        prefetch_->scaleTo(scale);
}

void MainWindowPainter::takePrefetched() {
    if (!prefetch_)
        return;
    const auto seed = [&](std::string_view name, std::optional<PicturePrefetch::Prepared> picture) {
        if (!picture)
            return;
        pictures_.seed(program_.paths.skinFolder / name, picture->original);
        // One scaled for a scale the window has left again, or not scaled whole, is resampled
        // by the frames.
        if (picture->original && picture->scale == scale_)
            painter_.seedScaled(name, scale_, picture->original, picture->scaled);
    };
    // Taken together, so that this thread scales one while the prefetch scales another.
    std::vector<std::filesystem::path> files;
    for (const std::string_view name : kFirstFramePictures)
        files.push_back(program_.paths.skinFolder / name);
    std::vector<std::optional<PicturePrefetch::Prepared>> first = prefetch_->take(files);
    for (size_t i = 0; i < first.size(); ++i)
        seed(kFirstFramePictures[i], std::move(first[i]));
    for (const std::string_view name : kLaterPictures)
        seed(name, prefetch_->takeIfReady(program_.paths.skinFolder / name));
    if (prefetch_->empty())
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
    canvas_.reset();
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
    if (!firstFrameShown_) {
        // Straight onto the window: the frames after it keep a back buffer.
        GdiFrameCanvas window(target, shape_.size, *fonts_);
        painter_.PaintFrame(program_.frame(), window);
        firstFrameShown_ = true;
        reportFirstFrame();
        if (prefetch_)
            prefetch_->scaleLater();
        return;
    }
    if (!canvas_) {
        canvas_.emplace(shape_.size, *fonts_);
        if (!*canvas_) {
            canvas_.reset();
            return;
        }
        painter_.PaintFrame(program_.frame(), *canvas_);
    } else {
        painter_.PaintChanges(program_.frame(), *canvas_);
    }
    canvas_->present(target);
}

}  // namespace v270::win32
