// v270-skingen: makes the shipped skin from its description: the layout files of both
// languages, every picture of the skins folder and the settings files that ship beside the
// program. Run it with the source tree's root; it overwrites skins/ and data/ there.
#include <cairo.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "jpeg_writer.h"
#include "skin_art.h"
#include "skin_description.h"
#include "skin_files.h"
#include "ui/skin_pictures.h"

namespace {

using namespace v270;
using namespace v270::skingen;

constexpr int kPictureQuality = 92;
constexpr int kMaskQuality = 95;

bool writeBytes(const std::filesystem::path& file, const std::vector<std::byte>& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool render(const std::filesystem::path& file, int32_t width, int32_t height,
            const std::function<void(cairo_t*)>& draw, int quality = kPictureQuality) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    draw(cr);
    cairo_destroy(cr);
    const bool written = writeJpeg(surface, file, quality);
    cairo_surface_destroy(surface);
    if (!written)
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
    return written;
}

bool renderPictures(const SkinDescription& skin, const std::filesystem::path& skins) {
    bool ok = true;
    const auto page = [&](Page which) {
        const skin_picture::PagePictures names = skin_picture::pagePictures(which);
        const std::pair<std::string_view, State> states[] = {
            {names.normal, State::Normal}, {names.over, State::Over}, {names.down, State::Down}};
        for (const auto& picture : states) {
            const State state = picture.second;
            ok &= render(skins / picture.first, kWindowWidth, kWindowHeight,
                         [&](cairo_t* cr) { drawPage(cr, skin, which, state); });
        }
    };
    page(PAGE_MAIN);
    page(PAGE_ADVANCED);
    page(PAGE_COLOUR);

    ok &= render(skins / skin_picture::kPreviewOff, kWindowWidth, kWindowHeight, [&](cairo_t* cr) {
        drawPage(cr, skin, PAGE_COLOUR, State::Normal, PreviewLight{true, {}});
    });
    ok &= render(skins / skin_picture::kPreviewBlue, kWindowWidth, kWindowHeight, [&](cairo_t* cr) {
        drawPage(cr, skin, PAGE_COLOUR, State::Normal, PreviewLight{false, kLevelColours[0]});
    });
    const platform::PixelSize window{kWindowWidth, kWindowHeight};
    ok &= render(
        skins / skin_picture::kMask, kWindowWidth, kWindowHeight,
        [&](cairo_t* cr) { drawMask(cr, skin.outline, window); }, kMaskQuality);

    const Entry* cell = skin.find(Table::Main, 60);
    ok &= cell != nullptr &&
          render(skins / skin_picture::kDpiKnob, cell->area.width(), cell->area.height(),
                 [&](cairo_t* cr) { drawKnob(cr, cell->area.width(), cell->area.height()); });

    const auto menu = [&](const MenuGeometry& geometry, bool subMenu, std::string_view mask,
                          std::string_view normal, std::string_view over, std::string_view down) {
        const int32_t w = geometry.rowWidth;
        const int32_t h = geometry.height();
        ok &= render(
            skins / mask, w, h,
            [&](cairo_t* cr) {
                cairo_set_source_rgb(cr, 0, 0, 0);
                cairo_paint(cr);
            },
            kMaskQuality);
        ok &= render(skins / normal, w, h,
                     [&](cairo_t* cr) { drawMenu(cr, geometry, subMenu, State::Normal); });
        ok &= render(skins / over, w, h,
                     [&](cairo_t* cr) { drawMenu(cr, geometry, subMenu, State::Over); });
        ok &= render(skins / down, w, h,
                     [&](cairo_t* cr) { drawMenu(cr, geometry, subMenu, State::Down); });
    };
    menu(skin.menu, false, skin_picture::kMenuMask, skin_picture::kMenuNormal,
         skin_picture::kMenuOver, skin_picture::kMenuDown);
    menu(skin.subMenu, true, skin_picture::kSubMenuMask, skin_picture::kSubMenuNormal,
         skin_picture::kSubMenuOver, skin_picture::kSubMenuDown);

    const platform::PixelSize warning = skin.warningSize;
    ok &= render(
        skins / skin_picture::kWarningMask, warning.width, warning.height,
        [&](cairo_t* cr) { drawMask(cr, skin.warningOutline, warning); }, kMaskQuality);
    ok &= render(skins / skin_picture::kWarningNormal, warning.width, warning.height,
                 [&](cairo_t* cr) { drawWarning(cr, skin, State::Normal); });
    ok &= render(skins / skin_picture::kWarningOver, warning.width, warning.height,
                 [&](cairo_t* cr) { drawWarning(cr, skin, State::Over); });
    return ok;
}

}  // namespace

// fontconfig keeps its caches until the process ends; they are not leaks of this tool.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SOURCE_ROOT\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const SkinDescription& skin = shippedSkin();
    bool ok = true;
    for (const auto& files : {layoutFiles(skin), dataFiles()}) {
        for (const GeneratedFile& file : files)
            ok &= writeBytes(root / file.path, file.bytes);
    }
    ok &= renderPictures(skin, root / "skins");
    return ok ? 0 : 1;
}
