#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/frame_canvas.h"

namespace v270 {

// The drawing of one frame as a list of steps, each with the area it can change, so that a
// frame drawn over the previous one redraws only where the two differ. Text is measured on the
// canvas the frame goes to. The pictures copied from must outlive the recording.
class FrameRecording final : public platform::FrameCanvas {
  public:
    // `measure` answers measureText(); `textMargin` pixels around a line's cell hold whatever
    // its glyphs draw beyond it.
    FrameRecording(platform::FrameCanvas& measure, int32_t textMargin)
        : measure_(&measure), textMargin_(textMargin) {}

    void copy(const platform::Picture& picture, const platform::PixelRect& source, int32_t destX,
              int32_t destY) override;
    platform::TextExtent measureText(std::u16string_view text, platform::FontChoice font) override;
    void drawText(std::u16string_view text, int32_t x, int32_t y, platform::FontChoice font,
                  platform::Rgb colour) override;
    void fill(const platform::PixelRect& rect, platform::Rgb colour) override;

    // Draws every step on `canvas`.
    void drawAll(platform::FrameCanvas& canvas) const;
    // Draws on `canvas`, which shows `previous`, what makes it show this frame: where steps
    // differ, the first step's copy (the page's picture, the background of both) is put back
    // and the steps there are drawn again, in their order. Returns false, drawing nothing,
    // when the two do not start with the same background or keep their common steps in
    // another order.
    bool drawChanges(const FrameRecording& previous, platform::FrameCanvas& canvas) const;

  private:
    struct Step {
        enum class Kind : uint8_t { Copy, Text, Fill };
        Kind kind = Kind::Copy;
        platform::PixelRect area;  // every pixel the step may change
        const platform::Picture* picture = nullptr;
        platform::PixelRect source;
        int32_t x = 0;
        int32_t y = 0;
        std::u16string text;
        platform::FontChoice font = platform::FontChoice::English;
        platform::Rgb colour;

        bool operator==(const Step&) const = default;
    };

    static void draw(const Step& step, platform::FrameCanvas& canvas);

    platform::FrameCanvas* measure_;
    int32_t textMargin_;
    std::vector<Step> steps_;
};

}  // namespace v270
