// One main-page frame at the shipped size, with its pictures decoded at every frame (as the
// window did without a cache) and taken from the picture cache; the cached frame also at 200 %
// display scale, where the pictures are resampled once and kept; and one resampling of a page
// picture to 200 %. A cached frame is what the window paints on a hover change: drawn over the
// last frame where the two differ; the whole frames drawn afresh are measured beside it.
#include <benchmark/benchmark.h>

#include "platform/message_boxes.h"
#include "platform/native/cairo_frame_canvas.h"
#include "platform/native/jpeg_picture_decoder.h"
#include "settings/ini_files.h"
#include "settings/profile_store.h"
#include "ui/frame_painter.h"
#include "ui/picture_scaler.h"
#include "ui/picture_source.h"
#include "ui/skin_loader.h"
#include "ui/skin_scaling.h"

namespace {

using namespace v270;

const std::filesystem::path kSkins = std::filesystem::path(V270_SOURCE_DIR) / "skins";

class SilentMessages : public platform::MessageBoxes {
  public:
    void show(std::u16string_view) override {}
};

struct ShippedSkin {
    ShippedSkin() {
        settings.setEnglishUi(1);
        loader.LoadMainSkin();
        loader.LoadColourSkin();
        loader.LoadAdvancedSkin();
        state.profile = builtInDefaultProfile(0);
        state.macroNames = {u"Copy & Paste", u"Triple Click"};
        state.banner = {false, 6, true};
    }
    IniFiles files;
    SilentMessages messages;
    ProfileStore settings{files, std::filesystem::path(V270_SOURCE_DIR) / "data" / "config.ini"};
    SkinTables tables;
    SkinLoader loader{files, messages, kSkins, settings, tables};
    FrameState state;
};

enum class Drawn { Whole, Changes };

void paintFrames(benchmark::State& run, PictureSource& pictures, DisplayScale scale = {},
                 Drawn drawn = Drawn::Whole) {
    ShippedSkin skin;
    skin.state.scale = scale;
    const SkinTables tables = scaledTables(skin.tables, scale);
    FramePainter painter(tables, pictures, kSkins);
    platform::CairoFrameCanvas canvas(scale.size({780, 560}), scale.dpi);
    int32_t hover = 25;
    for (auto _ : run) {
        // A hover change is what repaints the window.
        skin.state.mainHover = hover;
        hover = hover == 30 ? 25 : hover + 1;
        if (drawn == Drawn::Changes)
            painter.PaintChanges(skin.state, canvas);
        else
            painter.PaintFrame(skin.state, canvas);
        benchmark::ClobberMemory();
    }
}

void BM_MainFrameUncached(benchmark::State& run) {
    platform::JpegPictureDecoder decoder;
    UncachedPictures pictures(decoder);
    paintFrames(run, pictures);
}

void BM_MainFrameCached(benchmark::State& run) {
    platform::JpegPictureDecoder decoder;
    PictureCache pictures(decoder);
    paintFrames(run, pictures, DisplayScale{}, Drawn::Changes);
}

void BM_MainFrameCachedAt200Percent(benchmark::State& run) {
    platform::JpegPictureDecoder decoder;
    PictureCache pictures(decoder);
    paintFrames(run, pictures, DisplayScale{192}, Drawn::Changes);
}

void BM_MainFrameWholeCached(benchmark::State& run) {
    platform::JpegPictureDecoder decoder;
    PictureCache pictures(decoder);
    paintFrames(run, pictures);
}

void BM_MainFrameWholeCachedAt200Percent(benchmark::State& run) {
    platform::JpegPictureDecoder decoder;
    PictureCache pictures(decoder);
    paintFrames(run, pictures, DisplayScale{192});
}

void BM_ResamplePageTo200Percent(benchmark::State& run) {
    platform::JpegPictureDecoder decoder;
    const auto picture = decoder.load(kSkins / "main_normal.jpg");
    for (auto _ : run)
        benchmark::DoNotOptimize(
            resamplePicture(*picture, DisplayScale{192}.size(picture->size())));
}

BENCHMARK(BM_MainFrameUncached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainFrameCached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainFrameCachedAt200Percent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainFrameWholeCached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainFrameWholeCachedAt200Percent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResamplePageTo200Percent)->Unit(benchmark::kMillisecond);

}  // namespace
