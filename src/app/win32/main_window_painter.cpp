#include "app/win32/main_window_painter.h"

#include "app/win32/program_state.h"
#include "app/win32/startup_timing.h"
#include "platform/win32/gdi_frame_canvas.h"
#include "platform/win32/gdi_region.h"

namespace v270::win32 {

MainWindowPainter::MainWindowPainter(ProgramState& state)
    : state_(state), painter_(state.tables, pictures_, state.paths.skinFolder) {}

void MainWindowPainter::shapeWindow(HWND window) {
    const auto mask = decoder_.load(state_.paths.skinFolder / "main_mask.jpg");
    shape_ = buildWindowShape(mask.get(), state_.tables);
    UniqueRegion region = regionFromRects(shape_.windowRegion.rects());
    // The window owns the region once it has it.
    if (SetWindowRgn(window, region.get(), TRUE))
        region.release();
    advancedRegion_ = regionFromRects(shape_.advancedRedrawRegion.rects());

    RECT workArea;
    if (shape_.size.width > 0 && SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0)) {
        const int x = workArea.left + (workArea.right - workArea.left - shape_.size.width) / 2;
        const int y = workArea.top + (workArea.bottom - workArea.top - shape_.size.height) / 2;
        SetWindowPos(window, nullptr, x, y, shape_.size.width, shape_.size.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

FrameState MainWindowPainter::snapshot() const {
    FrameState frame;
    frame.currentPage = state_.currentPage.load();
    frame.profile = state_.profiles.profile();
    frame.currentConfig = state_.profiles.currentConfig();
    frame.english = state_.profiles.englishUi() != 0;
    frame.banner = BannerView::of(state_.banner);
    state_.pointer.fill(frame);
    const MacroTable macros = state_.macros.table();
    for (int i = 0; i < macros.macroCount; ++i) {
        frame.macroNames.emplace_back(macros.macroSlots[static_cast<size_t>(i)].nameText());
    }
    if (macros.currentMacro >= 0 && macros.currentMacro < macros.macroCount) {
        frame.currentMacroRepeats =
            macros.macroSlots[static_cast<size_t>(macros.currentMacro)].repeatEnabled != 0;
    }
    return frame;
}

void MainWindowPainter::paint(HDC target) {
    if (!fonts_ || shape_.size.width <= 0)
        return;
    GdiFrameCanvas canvas(shape_.size, *fonts_);
    if (!canvas)
        return;
    painter_.PaintFrame(snapshot(), canvas);
    canvas.present(target);
    if (!firstFrameShown_) {
        firstFrameShown_ = true;
        reportFirstFrame();
    }
}

}  // namespace v270::win32
