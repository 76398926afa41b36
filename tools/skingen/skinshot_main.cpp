// v270-skinshot: renders the three pages of the main window in both languages from a skin
// folder and the shipped settings, with the native frame renderer, into PNG files shaped like
// the window. The advanced page's child controls (lists and edits, Windows controls in the
// program) are stood in for by their texts, white on black as the program colours them.
#include <cstdio>
#include <string>

#include "platform/message_boxes.h"
#include "platform/native/cairo_frame_canvas.h"
#include "platform/native/jpeg_picture_decoder.h"
#include "platform/pixel_picture.h"
#include "settings/ini_files.h"
#include "settings/macro_store.h"
#include "settings/profile_store.h"
#include "settings/text.h"
#include "ui/frame_painter.h"
#include "ui/picture_source.h"
#include "ui/skin_loader.h"
#include "ui/skin_pictures.h"
#include "ui/window_shape.h"

namespace {

using namespace v270;

class PrintedMessages : public platform::MessageBoxes {
  public:
    void show(std::u16string_view text) override {
        std::fprintf(stderr, "message: %s\n", utf16ToUtf8(text).c_str());
        ++count;
    }
    int count = 0;
};

void standInControls(platform::CairoFrameCanvas& canvas, const SkinTables& tables,
                     const MacroTable& macros, bool english) {
    const platform::FontChoice font =
        english ? platform::FontChoice::English : platform::FontChoice::Chinese;
    const platform::Rgb white{255, 255, 255};
    const platform::PixelRect list = tables.macroListRect;
    for (int i = 0; i < macros.macroCount; ++i) {
        const auto& record = macros.macroSlots[static_cast<size_t>(i)];
        const int32_t y = list.top + 2 + 16 * i;
        if (i == macros.currentMacro) {
            // The selected item, in the list box's highlight colour.
            const platform::PixelPicture bar({list.width() - 4, 16}, platform::Rgb{0, 120, 215});
            canvas.copy(bar, {0, 0, list.width() - 4, 16}, list.left + 2, y);
        }
        canvas.drawText(record.nameText(), list.left + 4, y + 1, font, white);
    }
    if (macros.macroCount > 0) {
        const auto& current = macros.macroSlots[static_cast<size_t>(macros.currentMacro)];
        const platform::PixelRect name = tables.nameEditRect;
        const std::u16string text(current.nameText());
        const auto extent = canvas.measureText(text, font);
        canvas.drawText(text, name.left + (name.width() - extent.width) / 2,
                        name.top + (name.height() - extent.height) / 2, font, white);
        const platform::PixelRect repeat = tables.repeatEditRect;
        const std::u16string count = formatInt(current.repeatCount);
        const auto size = canvas.measureText(count, font);
        canvas.drawText(count, repeat.left + (repeat.width() - size.width) / 2,
                        repeat.top + (repeat.height() - size.height) / 2, font, white);
    }
}

}  // namespace

// fontconfig keeps its caches until the process ends; they are not leaks of this tool.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE_ROOT OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const std::filesystem::path out = argv[2];
    const std::filesystem::path skins = root / "skins";
    std::filesystem::create_directories(out);

    IniFiles files;
    PrintedMessages messages;
    ProfileStore settings(files, root / "data" / "config.ini");
    settings.readStartupSettings();
    MacroStore macroStore(files, messages);
    SkinTables tables;
    SkinLoader loader(files, messages, skins, settings, tables);

    platform::JpegPictureDecoder decoder;
    PictureCache pictures(decoder);
    FramePainter painter(tables, pictures, skins);
    const auto mask = decoder.load(skins / skin_picture::kMask);
    if (!mask) {
        std::fprintf(stderr, "no mask picture in %s\n", skins.c_str());
        return 1;
    }

    bool ok = true;
    for (const bool english : {true, false}) {
        settings.setEnglishUi(english ? 1 : 0);
        bool found = loader.LoadMainSkin();
        found = loader.LoadColourSkin() && found;
        found = loader.LoadAdvancedSkin() && found;
        found = loader.LoadWarningSkin() && found;
        ok &= found;
        macroStore.loadMacros(root / "data" / (english ? "Macro_EN.dat" : "Macro_CN.dat"));
        const WindowShape shape = buildWindowShape(mask.get(), tables);
        const MacroTable macros = macroStore.table();

        FrameState state;
        state.profile = settings.profile();
        state.currentConfig = settings.currentConfig();
        state.english = english;
        for (int i = 0; i < macros.macroCount; ++i) {
            state.macroNames.emplace_back(macros.macroSlots[static_cast<size_t>(i)].nameText());
        }
        state.currentMacroRepeats =
            macros.macroCount > 0 &&
            macros.macroSlots[static_cast<size_t>(macros.currentMacro)].repeatEnabled != 0;
        // The first apply found a host function on button 6 and asks for it to be clicked.
        state.banner = {false, 6, true};

        struct Shot {
            Page page;
            const char* name;
            int32_t mainHover;
            int32_t advancedHover;
            int32_t colourHover;
        };
        const Shot shots[] = {{PAGE_MAIN, "main", 26, NO_HIT, NO_HIT},
                              {PAGE_ADVANCED, "advanced", NO_HIT, 4, NO_HIT},
                              {PAGE_COLOUR, "colour", NO_HIT, NO_HIT, 1}};
        for (const Shot& shot : shots) {
            FrameState frame = state;
            frame.currentPage = shot.page;
            frame.mainHover = shot.mainHover;
            frame.advancedHover = shot.advancedHover;
            frame.colourHover = shot.colourHover;
            frame.ledPreview = {0, false};
            platform::CairoFrameCanvas canvas(shape.size);
            painter.PaintFrame(frame, canvas);
            if (shot.page == PAGE_ADVANCED)
                standInControls(canvas, tables, macros, english);
            canvas.cutOut([&](int32_t x, int32_t y) { return !shape.windowRegion.contains(x, y); });
            const std::filesystem::path file =
                out / (std::string(shot.name) + (english ? "_en.png" : "_cn.png"));
            ok &= canvas.writePng(file);
        }
    }
    if (messages.count > 0)
        ok = false;
    return ok ? 0 : 1;
}
