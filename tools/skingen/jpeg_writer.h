#pragma once

#include <cairo.h>

#include <filesystem>

namespace v270::skingen {

// Writes an image surface as a baseline JPEG with full-resolution colour, so that the thin
// lines and edges of the skin keep their colours.
bool writeJpeg(cairo_surface_t* surface, const std::filesystem::path& file, int quality);

}  // namespace v270::skingen
