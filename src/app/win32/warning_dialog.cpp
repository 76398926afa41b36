#include "app/win32/warning_dialog.h"

#include "app/win32/resource_ids.h"
#include "platform/view_port.h"
#include "platform/win32/gdi_frame_canvas.h"
#include "platform/win32/gdi_region.h"
#include "ui/skin_pictures.h"
#include "ui/window_shape.h"

namespace v270::win32 {

int32_t WarningDlg::show(HWND owner) {
    return static_cast<int32_t>(runModal(env_.instance, IDD_WARNING, owner));
}

INT_PTR WarningDlg::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            onInit();
            return TRUE;
        case WM_PAINT:
            onPaint();
            return TRUE;
        case WM_ERASEBKGND:
            setResult(TRUE);
            return TRUE;
        case WM_MOUSEMOVE:
            if (pointer_.moveTo(pointOf(lParam)))
                InvalidateRect(handle(), nullptr, FALSE);
            return FALSE;
        case WM_LBUTTONUP:
            // The dialog may have opened under a still pointer: the release's own point counts.
            if (pointer_.moveTo(pointOf(lParam)))
                InvalidateRect(handle(), nullptr, FALSE);
            if (const std::optional<int32_t> result = pointer_.release())
                EndDialog(handle(), *result);
            return FALSE;
        case WM_COMMAND:
            // The keyboard's answers: Enter confirms, Escape cancels.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(handle(), LOWORD(wParam) == IDOK ? platform::kWarningConfirmed
                                                           : platform::kWarningCancelled);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

void WarningDlg::onInit() {
    // The skin draws the whole window, so it has no frame: its region and its pictures then
    // share the window's top-left corner.
    const LONG_PTR style = GetWindowLongPtrW(handle(), GWL_STYLE);
    SetWindowLongPtrW(handle(), GWL_STYLE,
                      style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME | WS_BORDER |
                                                     WS_DLGFRAME | DS_MODALFRAME));
    const LONG_PTR extended = GetWindowLongPtrW(handle(), GWL_EXSTYLE);
    SetWindowLongPtrW(handle(), GWL_EXSTYLE,
                      extended & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE |
                                                        WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));

    const auto mask = env_.mask(skin_picture::kWarningMask);
    size_ = mask ? env_.scale.size(mask->size()) : platform::PixelSize{};
    UniqueRegion region = mask ? regionFromRects(maskRegion(*mask, env_.scale).rects())
                               : UniqueRegion(CreateRectRgn(0, 0, 0, 0));
    if (region && SetWindowRgn(handle(), region.get(), TRUE))
        region.release();
    SetWindowPos(handle(), nullptr, origin_.x, origin_.y, size_.width, size_.height,
                 SWP_NOZORDER | SWP_FRAMECHANGED);
}

void WarningDlg::onPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle(), &paint);
    GdiFrameCanvas canvas(size_, env_.fonts);
    if (canvas) {
        const WarningPictures pictures{env_.picture(skin_picture::kWarningNormal),
                                       env_.picture(skin_picture::kWarningOver)};
        paintWarning(canvas, env_.tables.warningItems, pictures, pointer_.hovered(), env_.font());
        canvas.present(dc);
    }
    EndPaint(handle(), &paint);
}

}  // namespace v270::win32
