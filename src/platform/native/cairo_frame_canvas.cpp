#include "platform/native/cairo_frame_canvas.h"

#include <cairo.h>

#include <algorithm>
#include <string>

namespace v270::platform {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr double kProbeSize = 1000;

struct FontCell {
    const char* family;
    double cellHeight;  // the Windows font's height: its cell, from ascent to descent
    // The advance of one character when the face is stretched to it; 0 keeps the face's own
    // proportions at an em of cellHeight, as a CJK face whose em is its cell.
    double cellWidth;
};

// The Windows fonts: "Consolas" 15 x 7 and "宋体" 12 x 6 (6 for half-width, 12 for an ideograph)
// at 96 DPI, and their cells at other scales.
FontCell englishCell(int32_t dpi) {
    const TextExtent cell = fontCell(FontChoice::English, dpi);
    return {"DejaVu Sans Mono", static_cast<double>(cell.height), static_cast<double>(cell.width)};
}
FontCell chineseCell(int32_t dpi) {
    return {"WenQuanYi Micro Hei", static_cast<double>(fontCell(FontChoice::Chinese, dpi).height),
            0};
}

std::string toUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        const auto put = [&out](uint32_t byte) { out.push_back(static_cast<char>(byte)); };
        if (cp < 0x80) {
            put(cp);
        } else if (cp < 0x800) {
            put(0xC0 | (cp >> 6));
            put(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            put(0xE0 | (cp >> 12));
            put(0x80 | ((cp >> 6) & 0x3F));
            put(0x80 | (cp & 0x3F));
        } else {
            put(0xF0 | (cp >> 18));
            put(0x80 | ((cp >> 12) & 0x3F));
            put(0x80 | ((cp >> 6) & 0x3F));
            put(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace

// A face scaled once so that its cell has the Windows font's height and character width.
struct CairoFrameCanvas::Font {
    cairo_scaled_font_t* scaled = nullptr;
    int32_t height = 0;
    double ascent = 0;

    Font(cairo_t* cairo, const FontCell& cellFont)
        : height(static_cast<int32_t>(cellFont.cellHeight)) {
        cairo_font_face_t* face = cairo_toy_font_face_create(
            cellFont.family, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        // The face's proportions, measured large and without hinting, so that rounding to
        // whole pixels does not distort them.
        cairo_matrix_t probeSize;
        cairo_matrix_init_scale(&probeSize, kProbeSize, kProbeSize);
        cairo_matrix_t identity;
        cairo_matrix_init_identity(&identity);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_get_font_options(cairo, options);
        cairo_font_options_t* exact = cairo_font_options_copy(options);
        cairo_font_options_set_hint_metrics(exact, CAIRO_HINT_METRICS_OFF);
        cairo_scaled_font_t* probe = cairo_scaled_font_create(face, &probeSize, &identity, exact);
        cairo_font_options_destroy(exact);
        cairo_font_extents_t extents;
        cairo_scaled_font_extents(probe, &extents);
        cairo_text_extents_t sample;
        cairo_scaled_font_text_extents(probe, "M", &sample);
        cairo_scaled_font_destroy(probe);

        const double cell = (extents.ascent + extents.descent) / kProbeSize;
        const double advance = sample.x_advance / kProbeSize;
        double xSize = cellFont.cellHeight;
        double ySize = cellFont.cellHeight;
        if (cellFont.cellWidth > 0) {
            ySize = cellFont.cellHeight / cell;
            xSize = advance > 0 ? cellFont.cellWidth / advance : ySize;
        }
        cairo_matrix_t matrix;
        cairo_matrix_init_scale(&matrix, xSize, ySize);
        scaled = cairo_scaled_font_create(face, &matrix, &identity, options);
        // The baseline sits where the face's ascent puts it within the cell.
        ascent = cellFont.cellHeight * extents.ascent / kProbeSize / cell;
        cairo_font_options_destroy(options);
        cairo_font_face_destroy(face);
    }
    ~Font() { cairo_scaled_font_destroy(scaled); }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
};

CairoFrameCanvas::CairoFrameCanvas(PixelSize size, int32_t dpi) : size_(size) {
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(size.width, 0),
                                          std::max(size.height, 0));
    cairo_ = cairo_create(surface_);
    cairo_set_source_rgb(cairo_, 0, 0, 0);
    cairo_paint(cairo_);
    english_ = std::make_unique<Font>(cairo_, englishCell(dpi));
    chinese_ = std::make_unique<Font>(cairo_, chineseCell(dpi));
}

CairoFrameCanvas::~CairoFrameCanvas() {
    english_.reset();
    chinese_.reset();
    cairo_destroy(cairo_);
    cairo_surface_destroy(surface_);
}

uint32_t* CairoFrameCanvas::rowData(int32_t y) const {
    unsigned char* data = cairo_image_surface_get_data(surface_);
    const auto stride = static_cast<size_t>(cairo_image_surface_get_stride(surface_));
    return reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
}

void CairoFrameCanvas::copy(const Picture& picture, const PixelRect& source, int32_t destX,
                            int32_t destY) {
    const PixelSize from = picture.size();
    // Clip the source to the picture, then the destination to the canvas, moving both together.
    int32_t left = std::max(source.left, 0);
    int32_t top = std::max(source.top, 0);
    int32_t right = std::min(source.right, from.width);
    int32_t bottom = std::min(source.bottom, from.height);
    int32_t x = destX + (left - source.left);
    int32_t y = destY + (top - source.top);
    if (x < 0)
        left -= x, x = 0;
    if (y < 0)
        top -= y, y = 0;
    right = std::min(right, left + (size_.width - x));
    bottom = std::min(bottom, top + (size_.height - y));
    if (right <= left || bottom <= top)
        return;

    picture.prepare({left, top, right, bottom});
    cairo_surface_flush(surface_);
    const auto width = static_cast<size_t>(right - left);
    for (int32_t row = top; row < bottom; ++row) {
        const auto pixels = picture.rowPart(row, left, right);
        uint32_t* out = rowData(y + (row - top)) + x;
        for (size_t i = 0; i < width; ++i)
            out[i] = pixels[i] | kOpaque;
    }
    cairo_surface_mark_dirty(surface_);
}

const CairoFrameCanvas::Font& CairoFrameCanvas::fontOf(FontChoice font) const {
    return font == FontChoice::English ? *english_ : *chinese_;
}

TextExtent CairoFrameCanvas::measureText(std::u16string_view text, FontChoice font) {
    const Font& face = fontOf(font);
    cairo_text_extents_t extents;
    cairo_scaled_font_text_extents(face.scaled, toUtf8(text).c_str(), &extents);
    return {static_cast<int32_t>(extents.x_advance + 0.5), face.height};
}

void CairoFrameCanvas::drawText(std::u16string_view text, int32_t x, int32_t y, FontChoice font,
                                Rgb colour) {
    const Font& face = fontOf(font);
    cairo_set_scaled_font(cairo_, face.scaled);
    cairo_set_source_rgb(cairo_, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
    cairo_move_to(cairo_, x, y + face.ascent);
    cairo_show_text(cairo_, toUtf8(text).c_str());
}

void CairoFrameCanvas::fill(const PixelRect& rect, Rgb colour) {
    if (rect.empty())
        return;
    cairo_set_source_rgb(cairo_, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
    cairo_rectangle(cairo_, rect.left, rect.top, rect.width(), rect.height());
    cairo_fill(cairo_);
}

Rgb CairoFrameCanvas::pixel(int32_t x, int32_t y) const {
    cairo_surface_flush(surface_);
    return unpackRgb(rowData(y)[x]);
}

std::vector<uint32_t> CairoFrameCanvas::pixels() const {
    cairo_surface_flush(surface_);
    std::vector<uint32_t> all;
    all.reserve(static_cast<size_t>(size_.width) * static_cast<size_t>(std::max(size_.height, 0)));
    for (int32_t y = 0; y < size_.height; ++y) {
        const uint32_t* row = rowData(y);
        for (int32_t x = 0; x < size_.width; ++x)
            all.push_back(row[x] & 0x00FFFFFFu);
    }
    return all;
}

void CairoFrameCanvas::cutOut(const std::function<bool(int32_t x, int32_t y)>& cut) {
    cairo_surface_flush(surface_);
    for (int32_t y = 0; y < size_.height; ++y) {
        uint32_t* row = rowData(y);
        for (int32_t x = 0; x < size_.width; ++x) {
            if (cut(x, y))
                row[x] = 0;
        }
    }
    cairo_surface_mark_dirty(surface_);
}

bool CairoFrameCanvas::writePng(const std::filesystem::path& file) const {
    cairo_surface_flush(surface_);
    return cairo_surface_write_to_png(surface_, file.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace v270::platform
