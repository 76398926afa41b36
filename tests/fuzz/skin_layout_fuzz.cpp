// Any bytes as a skin layout file, read by all four layout loaders as the program reads
// skin_main_en.ini and the others, then used as the program uses the tables: pointer hit tests,
// the three pages painted (pictures copied by the native frame canvas), the warning dialog, the
// fire bar and the window shape. The last bytes of the input choose the frame's state and the
// pointer's position. Checked: "加载ini错误！" shows exactly for the values with more than six
// commas; a value's fields joined with commas give the value back; an entry's numbers and label
// are its fields; a hit is an entry that holds the point; no arithmetic on any coordinate
// overflows (the sanitizer's part) and every step ends promptly.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "platform/native/cairo_frame_canvas.h"
#include "platform/pixel_picture.h"
#include "settings/macro.h"
#include "settings/profile_store.h"
#include "settings/text.h"
#include "support/memory_ini_files.h"
#include "support/recording_message_boxes.h"
#include "ui/frame_painter.h"
#include "ui/hit_test.h"
#include "ui/profile_edits.h"
#include "ui/skin_indices.h"
#include "ui/skin_loader.h"
#include "ui/warning_dialog.h"
#include "ui/window_shape.h"

namespace v270::fuzz {
namespace {

constexpr platform::PixelSize kPictureSize{96, 64};
constexpr size_t kStateBytes = 64;

// Every picture of the skin is the same small one.
class OnePicture : public PictureSource {
  public:
    std::shared_ptr<const platform::Picture> picture(const std::filesystem::path&) override {
        return picture_;
    }

  private:
    std::shared_ptr<const platform::Picture> picture_ =
        std::make_shared<platform::PixelPicture>(kPictureSize, platform::Rgb{10, 20, 30});
};

// Copies go to the native canvas, which clips them as the program's canvases do; text is only
// measured, in the fonts' cell sizes, since drawing it costs more than the rest of a run.
class FrameUnderTest : public platform::FrameCanvas {
  public:
    void copy(const platform::Picture& picture, const platform::PixelRect& source, int32_t destX,
              int32_t destY) override {
        canvas_.copy(picture, source, destX, destY);
    }
    platform::TextExtent measureText(std::u16string_view text, platform::FontChoice) override {
        return {static_cast<int32_t>(7 * std::min<size_t>(text.size(), 1000)), 15};
    }
    void drawText(std::u16string_view, int32_t, int32_t, platform::FontChoice,
                  platform::Rgb) override {}
    void fill(const platform::PixelRect& rect, platform::Rgb colour) override {
        canvas_.fill(rect, colour);
    }

  private:
    static inline platform::CairoFrameCanvas canvas_{kPictureSize};
};

using LayoutFile = SkinLoader::LayoutFile;

struct Section {
    std::u16string_view name;
    int32_t firstKey;
    int32_t lastKey;
};

// The sections and keys each loader reads.
std::vector<Section> sectionsOf(LayoutFile which) {
    switch (which) {
        case LayoutFile::Main:
            return {{u"BUTTONPOS", 0, kMainItemCount - 1},
                    {u"FUN_STRING", 1, static_cast<int32_t>(kFunctionNameCount)}};
        case LayoutFile::Colour:
            return {{u"BUTTONPOS", 0, kColourItemCount - 1}};
        case LayoutFile::Advanced:
            return {{u"BUTTONPOS", 0, kAdvancedItemCount - 1},
                    {u"EDIT", 3, 4},
                    {u"MACRODISPLAY", 1, 2}};
        case LayoutFile::Warning:
            return {{u"BUTTONPOS", 0, kWarningItemCount - 1}};
    }
    return {};
}

std::u16string joined(const SkinRecord& record, size_t fields) {
    std::u16string text = record.fields[0];
    for (size_t f = 1; f < fields; ++f)
        text.append(u",").append(record.fields[f]);
    return text;
}

// Reads every value a loader reads and checks its record; returns how many values are
// malformed.
size_t checkRecords(const IniDocument& document, LayoutFile which, const SkinTables& tables) {
    size_t malformed = 0;
    for (const Section& section : sectionsOf(which)) {
        for (int32_t key = section.firstKey; key <= section.lastKey; ++key) {
            const std::u16string value =
                document.read(section.name, formatInt(key), kSkinValueBuffer);
            FUZZ_CHECK(value.size() < kSkinValueBuffer);
            const size_t commas = commaCount(value);
            if (commas > kMaxSkinRecordCommas)
                ++malformed;
            const SkinRecord record = splitSkinRecord(value);
            const size_t used = std::min(commas, kMaxSkinRecordCommas) + 1;
            FUZZ_CHECK(joined(record, used) == value);
            for (size_t f = used; f < kSkinRecordFields; ++f)
                FUZZ_CHECK(record.fields[f].empty());
            for (size_t f = 0; f + 1 < kSkinRecordFields; ++f)
                FUZZ_CHECK(commaCount(record.fields[f]) == 0);

            const SkinItem item = record.item();
            FUZZ_CHECK(item.label == record.fields[5]);
            if (section.name == u"BUTTONPOS") {
                const auto index = static_cast<size_t>(key);
                const SkinItem* stored = which == LayoutFile::Main     ? &tables.mainItems[index]
                                         : which == LayoutFile::Colour ? &tables.colourItems[index]
                                         : which == LayoutFile::Advanced
                                             ? &tables.advancedItems[index]
                                             : &tables.warningItems[index];
                FUZZ_CHECK(*stored == item);
            } else if (section.name == u"FUN_STRING") {
                FUZZ_CHECK(tables.functionNames[static_cast<size_t>(key - 1)] == record.fields[0]);
            }
        }
    }
    return malformed;
}

void checkHits(std::span<const SkinItem> table, int32_t last, Point point) {
    const int32_t hit = HitTest(point, table, last);
    if (hit == NO_HIT)
        return;
    FUZZ_CHECK(hit >= 0 && hit <= last);
    const SkinItem& item = table[static_cast<size_t>(hit)];
    FUZZ_CHECK(item.width > 0 && item.height > 0);
    FUZZ_CHECK(item.contains(point.x, point.y));
}

FrameState frameState(FuzzedDataProvider& input, const SkinTables& tables, Point point) {
    FrameState state;
    state.currentPage = static_cast<Page>(input.ConsumeIntegralInRange<int>(0, 2));
    state.english = input.ConsumeBool();
    state.buttonPressed = input.ConsumeBool();
    state.mainHover = HitTest(point, tables.mainItems, main_item::kLastHitOnMainPage);
    state.advancedHover = HitTest(point, tables.advancedItems, advanced_item::kLastHit);
    state.colourHover = HitTest(point, tables.colourItems, colour_item::kLastHit);
    state.currentConfig = input.ConsumeIntegralInRange<int32_t>(1, kProfileCount);

    // A profile as loading leaves it: every value within its range, the functions any code.
    ConfigProfile& p = state.profile;
    for (int32_t& code : p.buttonFunction)
        code = input.ConsumeIntegral<int32_t>();
    p.wheelStatus = input.ConsumeIntegral<int32_t>();
    p.macroMode2 = input.ConsumeIntegralInRange<int32_t>(0, 1);
    p.dpiLevel = input.ConsumeIntegralInRange<int32_t>(0, kDpiLevelCount - 1);
    for (size_t level = 0; level < kDpiLevelCount; ++level) {
        p.dpiSet[level] = input.ConsumeIntegralInRange<uint8_t>(0, kDpiStepCount - 1);
        p.dpiSetEnabled[level] = input.ConsumeBool() ? 1 : 0;
    }
    p.ledStatus = input.ConsumeIntegralInRange<uint8_t>(0, kMaxLedMode);
    p.dpiSpeed = input.ConsumeIntegralInRange<uint8_t>(0, kMaxSpeedStep);
    p.wheelSpeed = input.ConsumeIntegralInRange<uint8_t>(0, kMaxSpeedStep);
    p.fireTime = input.ConsumeIntegralInRange<int32_t>(0, kMaxFireTime);

    state.mouse.applied = input.ConsumeBool();
    state.banner.driverWorking = input.ConsumeBool();
    state.banner.startKeyNumber = input.ConsumeIntegral<int32_t>();
    state.banner.startKeyVisible = input.ConsumeBool();
    state.macroNames.assign(input.ConsumeIntegralInRange<size_t>(0, size_t{kMaxMacros}), u"macro");
    state.currentMacroRepeats = input.ConsumeBool();
    state.recording = input.ConsumeBool();
    state.pressCount = input.ConsumeIntegral<int32_t>();
    state.releaseCount = input.ConsumeIntegral<int32_t>();
    state.ledPreview.previewColour = input.ConsumeIntegral<int32_t>();
    state.ledPreview.previewOff = input.ConsumeBool();
    return state;
}

}  // namespace
}  // namespace v270::fuzz

// fontconfig keeps its caches until the process ends; they are not leaks of this target.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace v270;
    using namespace v270::fuzz;
    // The last bytes choose the pointer and the frame's state, so that a layout file with a few
    // bytes appended is a complete input.
    const size_t stateSize = std::min<size_t>(size, kStateBytes);
    FuzzedDataProvider input(data + (size - stateSize), stateSize);
    const IniDocument document =
        IniDocument::parse(std::as_bytes(std::span(data, size - stateSize)));
    const Point point{input.ConsumeIntegral<int32_t>(), input.ConsumeIntegral<int32_t>()};
    const Point near{input.ConsumeIntegralInRange<int32_t>(-8, 800),
                     input.ConsumeIntegralInRange<int32_t>(-8, 600)};

    test::MemoryIniFiles files;
    test::RecordingMessageBoxes messages;
    ProfileStore settings(files, "config.ini");
    SkinTables tables;
    SkinLoader loader(files, messages, "skins", settings, tables);
    // Every table from the one file; the records of one loader, chosen by the input, are
    // checked, since reading every value twice would halve the runs.
    const auto checked = static_cast<LayoutFile>(input.ConsumeIntegralInRange<int>(0, 3));
    for (const LayoutFile which :
         {LayoutFile::Main, LayoutFile::Colour, LayoutFile::Advanced, LayoutFile::Warning}) {
        const size_t before = messages.shown().size();
        loader.readLayout(which, document);
        if (which == checked) {
            const size_t malformed = checkRecords(document, which, tables);
            FUZZ_CHECK(messages.shown().size() - before == malformed);
        }
    }
    for (const std::u16string& shown : messages.shown())
        FUZZ_CHECK(shown == kSkinValueMalformedMessage);

    for (const Point p : {point, near}) {
        checkHits(tables.mainItems, main_item::kLastHitOnMainPage, p);
        checkHits(tables.advancedItems, advanced_item::kLastHit, p);
        checkHits(tables.colourItems, colour_item::kLastHit, p);
        WarningPointer warning(tables.warningItems);
        warning.moveTo(p);
        if (const auto result = warning.release())
            FUZZ_CHECK(*result == 1 || *result == 2);
        const int32_t fireTime = fireTimeAt(p.x, tables.advancedItems[advanced_item::kFireBar]);
        FUZZ_CHECK(fireTime >= 0 && fireTime <= kMaxFireTime);
    }

    const FrameState state = frameState(input, tables, near);
    OnePicture pictures;
    FramePainter painter(tables, pictures, "skins");
    FrameUnderTest canvas;
    painter.PaintFrame(state, canvas);
    const WarningPictures warningPictures{pictures.picture("warning_normal.jpg"),
                                          pictures.picture("warning_over.jpg")};
    for (const int32_t hovered : {1, 2})
        paintWarning(canvas, tables.warningItems, warningPictures, hovered,
                     platform::FontChoice::English);

    const platform::PixelPicture mask(kPictureSize, platform::Rgb{});
    const WindowShape shape = buildWindowShape(&mask, tables);
    FUZZ_CHECK(shape.size == kPictureSize);
    return 0;
}
