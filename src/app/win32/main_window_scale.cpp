#include "app/win32/main_window.h"
#include "app/win32/main_window_painter.h"
#include "platform/win32/display_dpi.h"
#include "ui/display_scale.h"

namespace v270::win32 {

void VADU_VIredoVud::applyScale(int32_t dpi) {
    const DisplayScale scale = DisplayScale::fromDpi(dpi);
    program_->skin.setScale(scale);
    painter_->setScale(scale);
    contextMenu_.setScale(scale);
    trayMenu_.setScale(scale);
}

void VADU_VIredoVud::onDpiChanged(int32_t dpi, const RECT& suggested) {
    const DisplayScale before = painter_->scale();
    applyScale(dpi);
    if (painter_->scale() == before) {
        SetWindowPos(handle(), nullptr, suggested.left, suggested.top, 0, 0,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        return;
    }
    // The popups were placed and drawn at the old scale; they are opened again by the user.
    menuDialog_.reset();
    program_->mainPage.functionMenuClosed();
    painter_->shapeWindow(handle(), POINT{suggested.left, suggested.top});
    // The system measures menu items once per menu: they are loaded again at the new scale.
    loadMenus(program_->lifecycle.english());
    program_->advancedPage.relayout();
    if (program_->currentPage.load() == PAGE_ADVANCED) {
        invalidateAdvancedRegion();
    } else {
        invalidate();
    }
}

bool VADU_VIredoVud::onGetDpiScaledSize(int32_t dpi, SIZE& size) const {
    const platform::PixelSize scaled = painter_->sizeAt(DisplayScale::fromDpi(dpi));
    if (scaled.width <= 0)
        return false;
    size = SIZE{scaled.width, scaled.height};
    return true;
}

}  // namespace v270::win32
