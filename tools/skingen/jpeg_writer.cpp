#include "jpeg_writer.h"

#include <cstddef>
#include <cstdio>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace v270::skingen {

bool writeJpeg(cairo_surface_t* surface, const std::filesystem::path& file, int quality) {
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);

    const std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(file.c_str(), "wb"), std::fclose);
    if (!out)
        return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);  // a failure here ends the tool with libjpeg's message
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out.get());
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        const auto* pixels =
            reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[x];
            row[static_cast<size_t>(3 * x)] = static_cast<unsigned char>(p >> 16);
            row[static_cast<size_t>(3 * x + 1)] = static_cast<unsigned char>(p >> 8);
            row[static_cast<size_t>(3 * x + 2)] = static_cast<unsigned char>(p);
        }
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::ferror(out.get()) == 0;
}

}  // namespace v270::skingen
