#include "ui/frame_recording.h"

#include <algorithm>

namespace v270 {

namespace {

bool overlap(const platform::PixelRect& a, const platform::PixelRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool overlapsAny(const platform::PixelRect& area, const std::vector<platform::PixelRect>& areas) {
    return std::any_of(areas.begin(), areas.end(),
                       [&](const platform::PixelRect& other) { return overlap(area, other); });
}

}  // namespace

void FrameRecording::copy(const platform::Picture& picture, const platform::PixelRect& source,
                          int32_t destX, int32_t destY) {
    Step step;
    step.kind = Step::Kind::Copy;
    step.area = {destX, destY, destX + source.width(), destY + source.height()};
    step.picture = &picture;
    step.source = source;
    step.x = destX;
    step.y = destY;
    steps_.push_back(std::move(step));
}

platform::TextExtent FrameRecording::measureText(std::u16string_view text,
                                                 platform::FontChoice font) {
    return measure_->measureText(text, font);
}

void FrameRecording::drawText(std::u16string_view text, int32_t x, int32_t y,
                              platform::FontChoice font, platform::Rgb colour) {
    const platform::TextExtent extent = measure_->measureText(text, font);
    Step step;
    step.kind = Step::Kind::Text;
    step.area = {x - textMargin_, y - textMargin_, x + extent.width + textMargin_,
                 y + extent.height + textMargin_};
    step.x = x;
    step.y = y;
    step.text.assign(text);
    step.font = font;
    step.colour = colour;
    steps_.push_back(std::move(step));
}

void FrameRecording::fill(const platform::PixelRect& rect, platform::Rgb colour) {
    Step step;
    step.kind = Step::Kind::Fill;
    step.area = rect;
    step.colour = colour;
    steps_.push_back(std::move(step));
}

void FrameRecording::draw(const Step& step, platform::FrameCanvas& canvas) {
    switch (step.kind) {
        case Step::Kind::Copy:
            canvas.copy(*step.picture, step.source, step.x, step.y);
            break;
        case Step::Kind::Text:
            canvas.drawText(step.text, step.x, step.y, step.font, step.colour);
            break;
        case Step::Kind::Fill:
            canvas.fill(step.area, step.colour);
            break;
    }
}

void FrameRecording::drawAll(platform::FrameCanvas& canvas) const {
    for (const Step& step : steps_)
        draw(step, canvas);
}

bool FrameRecording::drawChanges(const FrameRecording& previous,
                                 platform::FrameCanvas& canvas) const {
    // The background: one copy of a picture to the origin, the same in both.
    if (steps_.empty() || previous.steps_.empty() || !(steps_[0] == previous.steps_[0]) ||
        steps_[0].kind != Step::Kind::Copy || steps_[0].x != 0 || steps_[0].y != 0) {
        return false;
    }
    const Step& background = steps_[0];
    const platform::PixelRect covered{
        0, 0, std::min(background.area.right, background.picture->size().width),
        std::min(background.area.bottom, background.picture->size().height)};

    // Each step is matched with an equal one of the previous frame; the matched ones keep
    // their order, so that where nothing else changed they left the same pixels.
    std::vector<bool> matchedBefore(previous.steps_.size(), false);
    std::vector<bool> matched(steps_.size(), false);
    size_t lastMatch = 0;
    for (size_t i = 1; i < steps_.size(); ++i) {
        for (size_t j = 1; j < previous.steps_.size(); ++j) {
            if (!matchedBefore[j] && steps_[i] == previous.steps_[j]) {
                if (j < lastMatch)
                    return false;
                matchedBefore[j] = matched[i] = true;
                lastMatch = j;
                break;
            }
        }
    }

    // The areas that change, grown by every step that draws into them until no step lies
    // partly inside: each is then drawn whole, over its background.
    std::vector<platform::PixelRect> changed;
    for (size_t j = 1; j < previous.steps_.size(); ++j) {
        if (!matchedBefore[j] && !previous.steps_[j].area.empty())
            changed.push_back(previous.steps_[j].area);
    }
    std::vector<bool> redraw(steps_.size(), false);
    const auto redrawStep = [&](size_t i) {
        redraw[i] = true;
        // A step drawn again in its own place puts back no more than it did before.
        if (std::find(changed.begin(), changed.end(), steps_[i].area) == changed.end())
            changed.push_back(steps_[i].area);
    };
    for (size_t i = 1; i < steps_.size(); ++i) {
        if (!matched[i] && !steps_[i].area.empty())
            redrawStep(i);
    }
    for (bool grown = true; grown;) {
        grown = false;
        for (size_t i = 1; i < steps_.size(); ++i) {
            if (!redraw[i] && !steps_[i].area.empty() && overlapsAny(steps_[i].area, changed)) {
                redrawStep(i);
                grown = true;
            }
        }
    }

    for (const platform::PixelRect& area : changed) {
        // Outside the background picture the canvas's own black shows.
        if (area.left < covered.left || area.top < covered.top || area.right > covered.right ||
            area.bottom > covered.bottom) {
            canvas.fill(area, platform::Rgb{});
        }
        canvas.copy(*background.picture, area, area.left, area.top);
    }
    for (size_t i = 1; i < steps_.size(); ++i) {
        if (redraw[i])
            draw(steps_[i], canvas);
    }
    return true;
}

}  // namespace v270
