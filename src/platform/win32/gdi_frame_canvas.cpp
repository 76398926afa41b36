#include "platform/win32/gdi_frame_canvas.h"

#include <algorithm>
#include <vector>

#include "platform/win32/gdi_picture.h"

namespace v270::win32 {

namespace {

const wchar_t* wide(std::u16string_view text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text is the wide text of Win32");
    return reinterpret_cast<const wchar_t*>(text.data());
}

// Rows a copy onto the window moves at a time: few enough to stay in the cache.
constexpr int32_t kBandRows = 64;

}  // namespace

GdiFrameCanvas::GdiFrameCanvas(platform::PixelSize size, const GdiFonts& fonts)
    : buffer_(size.width, size.height), size_(size), fonts_(fonts) {
    if (buffer_)
        SetBkMode(buffer_.dc(), TRANSPARENT);
}

GdiFrameCanvas::GdiFrameCanvas(HDC target, platform::PixelSize size, const GdiFonts& fonts)
    : target_(target), size_(size), fonts_(fonts) {
    if (target_ != nullptr)
        SetBkMode(target_, TRANSPARENT);
}

void GdiFrameCanvas::copy(const platform::Picture& picture, const platform::PixelRect& source,
                          int32_t destX, int32_t destY) {
    if (dc() == nullptr)
        return;
    // Only the part of `source` inside the picture is copied; GDI clips the destination.
    const platform::PixelSize size = picture.size();
    const int32_t left = std::max(source.left, 0);
    const int32_t top = std::max(source.top, 0);
    const int32_t right = std::min(source.right, size.width);
    const int32_t bottom = std::min(source.bottom, size.height);
    if (right <= left || bottom <= top)
        return;
    const int32_t x = destX + (left - source.left);
    const int32_t y = destY + (top - source.top);

    if (const auto* gdi = dynamic_cast<const GdiPicture*>(&picture)) {
        BitBlt(dc(), x, y, right - left, bottom - top, gdi->dc(), left, top, SRCCOPY);
        return;
    }
    // A picture held elsewhere in memory (a resampled one): its rows go into the back buffer
    // directly, or onto the window a band at a time, clipped once.
    const int32_t skipLeft = std::max(0, -x);
    const int32_t skipTop = std::max(0, -y);
    const int32_t width = std::min(right - left - skipLeft, size_.width - (x + skipLeft));
    const int32_t height = std::min(bottom - top - skipTop, size_.height - (y + skipTop));
    if (width <= 0 || height <= 0)
        return;
    const int32_t fromX = left + skipLeft;
    const int32_t fromY = top + skipTop;
    picture.prepare({fromX, fromY, fromX + width, fromY + height});
    if (target_ != nullptr) {
        copyThroughBand(picture, {fromX, fromY, fromX + width, fromY + height}, x + skipLeft,
                        y + skipTop);
        return;
    }
    GdiFlush();
    for (int32_t row = 0; row < height; ++row) {
        const auto pixels = picture.rowPart(fromY + row, fromX, fromX + width);
        std::copy_n(pixels.begin(), width, buffer_.row(y + skipTop + row) + (x + skipLeft));
    }
}

void GdiFrameCanvas::copyThroughBand(const platform::Picture& picture,
                                     const platform::PixelRect& source, int32_t destX,
                                     int32_t destY) {
    if (!band_)
        band_ = DibSurface(size_.width, kBandRows);
    if (!band_)
        return;
    for (int32_t first = 0; first < source.height(); first += kBandRows) {
        const int32_t rows = std::min(kBandRows, source.height() - first);
        GdiFlush();
        for (int32_t row = 0; row < rows; ++row) {
            const auto pixels =
                picture.rowPart(source.top + first + row, source.left, source.right);
            std::copy(pixels.begin(), pixels.end(), band_.row(row));
        }
        BitBlt(target_, destX, destY + first, source.width(), rows, band_.dc(), 0, 0, SRCCOPY);
    }
}

platform::TextExtent GdiFrameCanvas::measureText(std::u16string_view text,
                                                 platform::FontChoice font) {
    if (dc() == nullptr)
        return {};
    const ScopedSelection selected(dc(), fonts_.font(font));
    SIZE extent{};
    GetTextExtentPoint32W(dc(), wide(text), static_cast<int>(text.size()), &extent);
    return {extent.cx, extent.cy};
}

void GdiFrameCanvas::drawText(std::u16string_view text, int32_t x, int32_t y,
                              platform::FontChoice font, platform::Rgb colour) {
    if (dc() == nullptr)
        return;
    const ScopedSelection selected(dc(), fonts_.font(font));
    SetTextColor(dc(), RGB(colour.red, colour.green, colour.blue));
    TextOutW(dc(), x, y, wide(text), static_cast<int>(text.size()));
}

void GdiFrameCanvas::fill(const platform::PixelRect& rect, platform::Rgb colour) {
    if (dc() == nullptr || rect.empty())
        return;
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    const COLORREF previous = SetBkColor(dc(), RGB(colour.red, colour.green, colour.blue));
    ExtTextOutW(dc(), 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    SetBkColor(dc(), previous);
}

void GdiFrameCanvas::present(HDC target) const {
    if (!buffer_)
        return;
    BitBlt(target, 0, 0, buffer_.width(), buffer_.height(), buffer_.dc(), 0, 0, SRCCOPY);
}

platform::Rgb GdiFrameCanvas::pixel(int32_t x, int32_t y) const {
    if (!buffer_)
        return {};
    GdiFlush();
    return platform::unpackRgb(buffer_.row(y)[x]);
}

}  // namespace v270::win32
