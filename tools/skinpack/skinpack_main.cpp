// v270-skinpack: packs the skin pictures that the program carries in its resources, from the
// skins folder as it is: each picture decoded here by GDI+, as the program decodes it, and tied
// to the bytes of its file. Run it with the source tree's root; it overwrites the packed
// pictures in src/app/win32/res/pictures.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/win32/gdiplus_picture_decoder.h"
#include "ui/packed_picture.h"
#include "ui/skin_pictures.h"

namespace {

std::vector<std::byte> readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    const auto* first = reinterpret_cast<const std::byte*>(bytes.data());
    return {first, first + bytes.size()};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: v270-skinpack SOURCE_ROOT\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    v270::win32::GdiplusPictureDecoder decoder;
    bool ok = true;
    for (const std::string_view name : v270::skin_picture::kPackedPictures) {
        const std::filesystem::path source = root / "skins" / name;
        const auto picture = decoder.load(source);
        std::filesystem::path target = root / v270::skin_picture::kPackedFolder / name;
        target.replace_extension(".pix");
        if (!picture) {
            std::fprintf(stderr, "cannot decode %s\n", source.string().c_str());
            ok = false;
            continue;
        }
        const std::vector<std::byte> packed = v270::packPicture(*picture, readBytes(source));
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(packed.data()),
                  static_cast<std::streamsize>(packed.size()));
        ok &= static_cast<bool>(out);
    }
    return ok ? 0 : 1;
}
