#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/frame_canvas.h"
#include "platform/picture.h"
#include "ui/frame_recording.h"
#include "ui/frame_state.h"
#include "ui/picture_source.h"
#include "ui/scaled_pictures.h"
#include "ui/skin_pictures.h"
#include "ui/skin_tables.h"

namespace v270 {

// Composes the frames of the main window: the page's normal picture, with parts of its over and
// down pictures copied on top where an entry is hovered, pressed or selected, then the labels.
// The window (the shell) keeps the rest of its paint handler: the popup close request, the
// minimised icon and showing the finished back buffer.
class FramePainter {
  public:
    FramePainter(const SkinTables& tables, PictureSource& pictures,
                 std::filesystem::path skinFolder);

    // Draws the whole frame of `state` on `canvas`, which starts as the window's size. The
    // tables are at the state's scale, and so are the pictures and the canvas's fonts. Copies
    // from a missing picture draw nothing, so a frame without its normal picture keeps the
    // canvas's own background there.
    void PaintFrame(const FrameState& state, platform::FrameCanvas& canvas);
    // As PaintFrame(), on a canvas that still shows the frame this painter drew on it last:
    // only the parts that differ are drawn again.
    void PaintChanges(const FrameState& state, platform::FrameCanvas& canvas);

    // A picture of the skin folder decoded and scaled at `scale` elsewhere, which frames at that
    // scale then use as their own resampling of `original`.
    void seedScaled(std::string_view name, DisplayScale scale,
                    std::shared_ptr<const platform::Picture> original,
                    std::shared_ptr<const platform::Picture> scaled) {
        pictures_.setScale(scale);
        pictures_.seed(skinFolder_ / std::filesystem::path(name), std::move(original),
                       std::move(scaled));
    }

    // The number of text items that each page labels.
    static int32_t labelCount(Page page);

  private:
    enum class Layer { Over, Down };
    struct Frame {
        const FrameState& state;
        platform::FrameCanvas& canvas;
        skin_picture::PagePictures names;
        std::shared_ptr<const platform::Picture> normal;
        // The over and down pictures, looked up when the frame first shows a part of them.
        std::optional<std::shared_ptr<const platform::Picture>> over;
        std::optional<std::shared_ptr<const platform::Picture>> down;
    };

    void PaintPageLayer(Frame& frame, std::span<const SkinItem> table, int32_t hover);
    void PaintCommonLayer(Frame& frame, int32_t tab);
    void PaintLabels(Frame& frame, int32_t count);
    // The keyboard focus: a frame around the focused entry, inside its area.
    void PaintFocusMark(Frame& frame);

    void paintMainPage(Frame& frame);
    void paintAdvancedPage(Frame& frame);
    void paintColourPage(Frame& frame);

    // The page's over or down picture; null when it is missing.
    const platform::Picture* layer(Frame& frame, Layer which);
    // Copies the area of entry `index` from the over or down picture to its own place.
    void show(Frame& frame, std::span<const SkinItem> table, int32_t index, Layer which);
    static void copyArea(Frame& frame, const platform::Picture* picture,
                         const platform::PixelRect& area);
    void drawLabel(Frame& frame, const SkinItem& item, std::u16string_view text,
                   platform::Rgb colour, bool centred);

    std::shared_ptr<const platform::Picture> load(std::string_view name);
    // Composes the frame of `state` into a recording, measuring text on `canvas`.
    FrameRecording record(const FrameState& state, platform::FrameCanvas& canvas);

    const SkinTables& tables_;
    ScaledPictures pictures_;
    std::filesystem::path skinFolder_;
    std::optional<bool> lastEnglish_;
    // The last frame drawn, and the pictures it copies from, kept alive with it.
    std::optional<FrameRecording> last_;
    std::vector<std::shared_ptr<const platform::Picture>> lastPictures_;
    std::vector<std::shared_ptr<const platform::Picture>> framePictures_;
};

}  // namespace v270
