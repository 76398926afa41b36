// The window shape of the shipped mask: the rectangle with each bright pixel combined in with
// exclusive-or, one region combine per pixel, against one pass over the rows' dark runs.
#include <benchmark/benchmark.h>

#include "platform/native/jpeg_picture_decoder.h"
#include "ui/skin_pictures.h"
#include "ui/window_shape.h"

namespace {

using namespace v270;

std::shared_ptr<const platform::Picture> shippedMask() {
    platform::JpegPictureDecoder decoder;
    return decoder.load(std::filesystem::path(V270_SOURCE_DIR) / "skins" / skin_picture::kMask);
}

void BM_WindowShapePerPixel(benchmark::State& run) {
    const auto mask = shippedMask();
    for (auto _ : run)
        benchmark::DoNotOptimize(maskRegionPerPixel(*mask));
}

void BM_WindowShapeSpans(benchmark::State& run) {
    const auto mask = shippedMask();
    size_t rects = 0;
    for (auto _ : run) {
        const SpanRegion region = maskRegion(*mask);
        rects = region.rects().size();
        benchmark::DoNotOptimize(rects);
    }
    run.counters["rects"] = static_cast<double>(rects);
}

BENCHMARK(BM_WindowShapePerPixel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowShapeSpans)->Unit(benchmark::kMillisecond);

}  // namespace
