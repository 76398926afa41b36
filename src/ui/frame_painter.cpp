#include "ui/frame_painter.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "settings/text.h"
#include "ui/dpi_values.h"
#include "ui/function_names.h"
#include "ui/skin_indices.h"
#include "ui/skin_pictures.h"
#include "ui/ui_text.h"

namespace v270 {

namespace {

constexpr int32_t kMainLabelCount = 54;
constexpr int32_t kAdvancedLabelCount = 66;
constexpr int32_t kColourLabelCount = 33;
// On the advanced and colour pages text items from 20 on are the page's own entries.
constexpr int32_t kFirstPageLabel = 20;
// The function name of a mouse button starts this far right of its entry's left edge.
constexpr int32_t kButtonLabelIndent = 5;
// The keyboard focus mark's line, in skin pixels.
constexpr int32_t kFocusMarkLine = 1;

const SkinItem* entryAt(std::span<const SkinItem> table, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= table.size())
        return nullptr;
    return &table[static_cast<size_t>(index)];
}

int32_t tabOf(Page page) {
    switch (page) {
        case PAGE_ADVANCED:
            return main_item::kAdvancedTab;
        case PAGE_COLOUR:
            return main_item::kColourTab;
        case PAGE_MAIN:
            break;
    }
    return main_item::kMainTab;
}

}  // namespace

FramePainter::FramePainter(const SkinTables& tables, PictureSource& pictures,
                           std::filesystem::path skinFolder)
    : tables_(tables), pictures_(pictures), skinFolder_(std::move(skinFolder)) {}

int32_t FramePainter::labelCount(Page page) {
    switch (page) {
        case PAGE_ADVANCED:
            return kAdvancedLabelCount;
        case PAGE_COLOUR:
            return kColourLabelCount;
        case PAGE_MAIN:
            break;
    }
    return kMainLabelCount;
}

std::shared_ptr<const platform::Picture> FramePainter::load(std::string_view name) {
    std::shared_ptr<const platform::Picture> picture =
        pictures_.picture(skinFolder_ / std::filesystem::path(name));
    if (picture)
        framePictures_.push_back(picture);
    return picture;
}

void FramePainter::PaintFrame(const FrameState& state, platform::FrameCanvas& canvas) {
    FrameRecording recording = record(state, canvas);
    recording.drawAll(canvas);
    last_ = std::move(recording);
    lastPictures_ = std::move(framePictures_);
}

void FramePainter::PaintChanges(const FrameState& state, platform::FrameCanvas& canvas) {
    FrameRecording recording = record(state, canvas);
    if (!last_ || !recording.drawChanges(*last_, canvas)) {
        // What the last frame left outside the new one's pictures goes.
        canvas.fill(
            {0, 0, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()},
            platform::Rgb{});
        recording.drawAll(canvas);
    }
    last_ = std::move(recording);
    lastPictures_ = std::move(framePictures_);
}

FrameRecording FramePainter::record(const FrameState& state, platform::FrameCanvas& canvas) {
    // Pictures kept from the other language's frames are not reused.
    if (lastEnglish_ && *lastEnglish_ != state.english)
        pictures_.forgetAll();
    lastEnglish_ = state.english;
    pictures_.setScale(state.scale);
    framePictures_.clear();

    // A glyph's antialiased edge may reach a pixel or two beyond its cell.
    FrameRecording recording(canvas, std::max(2, state.scale.px(2)));
    const skin_picture::PagePictures names = skin_picture::pagePictures(state.currentPage);
    Frame frame{state, recording, names, load(names.normal), std::nullopt, std::nullopt};
    if (frame.normal) {
        const platform::PixelSize size = frame.normal->size();
        frame.canvas.copy(*frame.normal, {0, 0, size.width, size.height}, 0, 0);
    }

    switch (state.currentPage) {
        case PAGE_ADVANCED:
            PaintPageLayer(frame, tables_.advancedItems, state.advancedHover);
            break;
        case PAGE_COLOUR:
            PaintPageLayer(frame, tables_.colourItems, state.colourHover);
            break;
        case PAGE_MAIN:
            PaintPageLayer(frame, tables_.mainItems, state.mainHover);
            break;
    }
    PaintCommonLayer(frame, tabOf(state.currentPage));
    PaintLabels(frame, labelCount(state.currentPage));
    PaintFocusMark(frame);
    return recording;
}

void FramePainter::PaintFocusMark(Frame& frame) {
    if (!frame.state.focusMark)
        return;
    const platform::PixelRect& r = *frame.state.focusMark;
    const int32_t line = std::max(1, frame.state.scale.px(kFocusMarkLine));
    for (const platform::PixelRect& edge :
         {platform::PixelRect{r.left, r.top, r.right, r.top + line},
          platform::PixelRect{r.left, r.bottom - line, r.right, r.bottom},
          platform::PixelRect{r.left, r.top, r.left + line, r.bottom},
          platform::PixelRect{r.right - line, r.top, r.right, r.bottom}}) {
        frame.canvas.fill(edge, text_colour::kYellow);
    }
}

void FramePainter::copyArea(Frame& frame, const platform::Picture* picture,
                            const platform::PixelRect& area) {
    if (picture == nullptr || area.empty())
        return;
    frame.canvas.copy(*picture, area, area.left, area.top);
}

const platform::Picture* FramePainter::layer(Frame& frame, Layer which) {
    std::optional<std::shared_ptr<const platform::Picture>>& picture =
        which == Layer::Down ? frame.down : frame.over;
    if (!picture)
        picture = load(which == Layer::Down ? frame.names.down : frame.names.over);
    return picture->get();
}

void FramePainter::show(Frame& frame, std::span<const SkinItem> table, int32_t index, Layer which) {
    const SkinItem* item = entryAt(table, index);
    if (item == nullptr || item->area().empty())
        return;
    copyArea(frame, layer(frame, which), item->area());
}

void FramePainter::PaintPageLayer(Frame& frame, std::span<const SkinItem> table, int32_t hover) {
    if (hover != NO_HIT)
        show(frame, table, hover, frame.state.buttonPressed ? Layer::Down : Layer::Over);
    switch (frame.state.currentPage) {
        case PAGE_ADVANCED:
            paintAdvancedPage(frame);
            break;
        case PAGE_COLOUR:
            paintColourPage(frame);
            break;
        case PAGE_MAIN:
            paintMainPage(frame);
            break;
    }
}

void FramePainter::paintMainPage(Frame& frame) {
    using namespace main_item;
    const FrameState& state = frame.state;
    const ConfigProfile& profile = state.profile;
    const std::span<const SkinItem> items = tables_.mainItems;

    show(frame, items, kFirstDpiIndicator + profile.dpiLevel, Layer::Down);

    const auto knob = load(skin_picture::kDpiKnob);
    for (int level = 0; level < kDpiLevelCount; ++level) {
        const auto slot = static_cast<size_t>(level);
        const int32_t cell = dpiCellIdOf(level, profile.dpiSet[slot]);
        const SkinItem* item =
            cell >= kFirstDpiCell && cell <= kLastDpiCell ? entryAt(items, cell) : nullptr;
        if (knob && item != nullptr && item->width > 0 && item->height > 0) {
            frame.canvas.copy(*knob, {0, 0, item->width, item->height}, item->x, item->y);
        }
        if (profile.dpiSetEnabled[slot] != 0)
            show(frame, items, kFirstDpiSwitch + level, Layer::Down);
    }

    show(frame, items, profile.wheelStatus != 0 ? kWheelSecond : kWheelFirst, Layer::Down);

    const int32_t hover = state.mainHover;
    if (hover >= kFirstButtonLabel && hover <= kLastButtonLabel) {
        show(frame, items, hover + (kFirstMouseButton - kFirstButtonLabel), Layer::Over);
    } else if (!state.banner.driverWorking) {
        const int32_t key = state.banner.startKeyNumber;
        if (key >= 1 && key <= kButtonCount) {
            show(frame, items, kFirstMouseButton - 1 + key,
                 state.banner.startKeyVisible ? Layer::Over : Layer::Down);
        }
    }
}

void FramePainter::paintAdvancedPage(Frame& frame) {
    using namespace advanced_item;
    const FrameState& state = frame.state;
    const ConfigProfile& profile = state.profile;
    const std::span<const SkinItem> items = tables_.advancedItems;

    if (state.recording)
        show(frame, items, kRecord, Layer::Down);
    show(frame, items, kFirstPointerSpeed + profile.dpiSpeed, Layer::Down);
    show(frame, items, kFirstWheelSpeed + profile.wheelSpeed, Layer::Down);

    // The fire bar grows from the left edge of its entry: 0..300 ms across its width.
    const SkinItem& bar = items[kFireBar];
    if (bar.width > 0) {
        const auto fireTime = static_cast<uint32_t>(std::clamp(profile.fireTime, 0, kMaxFireTime));
        const auto filled = static_cast<int32_t>(fireTime * static_cast<uint32_t>(bar.width) /
                                                 static_cast<uint32_t>(kMaxFireTime));
        copyArea(frame, layer(frame, Layer::Down),
                 {bar.x, bar.y, bar.x + filled, bar.y + bar.height});
    }

    if (profile.macroMode2 != 0)
        show(frame, items, kMacroModeSwitch, Layer::Down);
    if (state.currentMacroRepeats)
        show(frame, items, kRepeatSwitch, Layer::Down);
}

void FramePainter::paintColourPage(Frame& frame) {
    const FrameState& state = frame.state;
    show(frame, tables_.colourItems, colour_item::kFirstLedMode + state.profile.ledStatus,
         Layer::Down);

    // The preview area shows the mouse's light: unlit, or lit in the colour of the preview.
    const platform::PixelRect preview = tables_.colourItems[colour_item::kPreview].area();
    std::shared_ptr<const platform::Picture> own;
    const platform::Picture* source = nullptr;
    if (state.ledPreview.previewOff) {
        own = load(skin_picture::kPreviewOff);
        source = own.get();
    } else {
        switch (state.ledPreview.previewColour) {
            case 0:
                own = load(skin_picture::kPreviewBlue);
                source = own.get();
                break;
            case 2:
                source = layer(frame, Layer::Over);
                break;
            case 3:
                source = layer(frame, Layer::Down);
                break;
            default:  // colour 1 is the page's normal picture, already there
                break;
        }
    }
    copyArea(frame, source, preview);
}

void FramePainter::PaintCommonLayer(Frame& frame, int32_t tab) {
    using namespace main_item;
    const FrameState& state = frame.state;
    for (int32_t i = 0; i <= kLastCommon; ++i) {
        if (i == state.currentConfig + (kFirstProfile - 1)) {
            show(frame, tables_.mainItems, i, Layer::Down);
        } else if (i == state.mainHover) {
            show(frame, tables_.mainItems, i, state.buttonPressed ? Layer::Down : Layer::Over);
        } else if (i == tab || (i == kChinese && !state.english) ||
                   (i == kEnglish && state.english)) {
            show(frame, tables_.mainItems, i, Layer::Down);
        }
    }
}

void FramePainter::drawLabel(Frame& frame, const SkinItem& item, std::u16string_view text,
                             platform::Rgb colour, bool centred) {
    if (text.empty())
        return;
    const platform::FontChoice font = fontFor(frame.state.english);
    const platform::TextExtent extent = frame.canvas.measureText(text, font);
    const int32_t x = centred ? item.x + (item.width - extent.width) / 2
                              : item.x + frame.state.scale.px(kButtonLabelIndent);
    const int32_t y = item.y + (item.height - extent.height) / 2;
    frame.canvas.drawText(text, x, y, font, colour);
}

void FramePainter::PaintLabels(Frame& frame, int32_t count) {
    const FrameState& state = frame.state;
    const ConfigProfile& profile = state.profile;
    const bool english = state.english;
    for (int32_t i = 0; i < count; ++i) {
        const platform::Rgb defaultColour =
            i == main_item::kBanner ? text_colour::kYellow : text_colour::kWhite;

        if (state.currentPage == PAGE_MAIN && i >= main_item::kFirstButtonLabel &&
            i <= main_item::kLastButtonLabel) {
            const int32_t code =
                profile.buttonFunction[static_cast<size_t>(i - main_item::kFirstButtonLabel)];
            drawLabel(frame, tables_.mainItems[static_cast<size_t>(i)],
                      functionNameOf(code, tables_.functionNames, state.macroNames),
                      i == state.mainHover ? text_colour::kGreen : text_colour::kWhite, false);
        } else if (i < kFirstPageLabel || state.currentPage == PAGE_MAIN) {
            const SkinItem& item = tables_.mainItems[static_cast<size_t>(i)];
            platform::Rgb colour = defaultColour;
            if (i >= main_item::kFirstDpiCaption &&
                i < main_item::kFirstDpiCaption + kDpiLevelCount) {
                const auto level = static_cast<size_t>(i - main_item::kFirstDpiCaption);
                colour = profile.dpiSetEnabled[level] != 0 ? text_colour::kRed : text_colour::kGrey;
            }
            if (i == main_item::kBanner) {
                drawLabel(frame, item, bannerText(state.banner, english), colour, true);
            } else {
                drawLabel(frame, item, item.label, colour, true);
            }
        } else if (state.currentPage == PAGE_ADVANCED) {
            const int32_t j = i - kFirstPageLabel;
            const SkinItem* item = entryAt(tables_.advancedItems, j);
            if (item == nullptr)
                continue;
            std::u16string text = item->label;
            if (j == advanced_item::kRecord) {
                text = state.recording ? (english ? u"Stop" : u"停止")
                                       : (english ? u"Record" : u"录制");
            } else if (j == advanced_item::kPressCounter) {
                text = u"[↓]" + formatInt(state.pressCount);
            } else if (j == advanced_item::kReleaseCounter) {
                text = u"[↑]" + formatInt(state.releaseCount);
            } else if (j == advanced_item::kFireCaption) {
                text = formatInt(profile.fireTime) + u"ms";
            }
            drawLabel(frame, *item, text,
                      j == state.advancedHover ? text_colour::kRed : defaultColour, true);
        } else {
            const int32_t j = i - kFirstPageLabel;
            const SkinItem* item = entryAt(tables_.colourItems, j);
            if (item == nullptr)
                continue;
            if (j == colour_item::kDpiText) {
                const auto level =
                    static_cast<size_t>(std::clamp(profile.dpiLevel, 0, kDpiLevelCount - 1));
                drawLabel(frame, *item, formatInt(dpiValueOf(state.mouse.dpiCode(level, profile))),
                          defaultColour, true);
            } else {
                drawLabel(frame, *item, item->label, defaultColour, true);
            }
        }
    }
}

}  // namespace v270
