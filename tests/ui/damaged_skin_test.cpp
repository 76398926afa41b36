// The shipped skin layout files, damaged: cut short at every byte, overwritten with noise, edited
// by hand into huge and negative numbers, names of 10,000 characters and line breaks inside
// values. Each loads into the layout tables, and everything the tables feed (the window shape,
// hit tests, the fire bar, the frames of the three pages, the warning dialog and the function
// menus) works with what it got.
#include <gtest/gtest.h>

#include "settings/text.h"
#include "support/damaged_files.h"
#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"
#include "ui/frame_painter.h"
#include "ui/function_menu.h"
#include "ui/hit_test.h"
#include "ui/profile_edits.h"
#include "ui/recording_canvas.h"
#include "ui/skin_indices.h"
#include "ui/skin_loader.h"
#include "ui/skin_pictures.h"
#include "ui/warning_dialog.h"
#include "ui/window_shape.h"

namespace v270 {
namespace {

using test::readFile;
using test::writeFile;

const std::filesystem::path kSkins = std::filesystem::path(V270_SOURCE_DIR) / "skins";
// Small pictures: the layouts' areas lie mostly outside them, which is what the clipping is for.
constexpr platform::PixelSize kWindow{64, 48};

struct LayoutFile {
    SkinLoader::LayoutFile which;
    bool english;
};

void PrintTo(const LayoutFile& file, std::ostream* out) {
    *out << static_cast<int>(file.which) << (file.english ? " English" : " Chinese");
}

class DamagedSkinFileTest : public testing::TestWithParam<LayoutFile> {
  protected:
    DamagedSkinFileTest() {
        for (const char* language : {"INI_EN", "INI_CN"}) {
            std::filesystem::create_directories(folder / language);
            for (const auto& entry : std::filesystem::directory_iterator(kSkins / language)) {
                std::filesystem::copy_file(entry.path(),
                                           folder / language / entry.path().filename());
            }
        }
        settings.setEnglishUi(GetParam().english ? 1 : 0);
        for (const auto& name :
             {skin_picture::kMainPage, skin_picture::kAdvancedPage, skin_picture::kColourPage}) {
            pictures.add(std::string(name.normal));
            pictures.add(std::string(name.over));
            pictures.add(std::string(name.down));
        }
        for (const std::string_view name :
             {skin_picture::kDpiKnob, skin_picture::kPreviewOff, skin_picture::kPreviewBlue}) {
            pictures.add(std::string(name));
        }
        using enum SkinLoader::LayoutFile;
        for (const SkinLoader::LayoutFile which : {Main, Colour, Advanced, Warning})
            EXPECT_TRUE(load(loader, which));
    }

    static bool load(SkinLoader& loader, SkinLoader::LayoutFile which) {
        switch (which) {
            case SkinLoader::LayoutFile::Main:
                return loader.LoadMainSkin();
            case SkinLoader::LayoutFile::Colour:
                return loader.LoadColourSkin();
            case SkinLoader::LayoutFile::Advanced:
                return loader.LoadAdvancedSkin();
            case SkinLoader::LayoutFile::Warning:
                return loader.LoadWarningSkin();
        }
        return false;
    }

    std::filesystem::path target() const {
        return loader.layoutPath(GetParam().which, GetParam().english);
    }
    std::string original() const {
        return readFile(kSkins / target().parent_path().filename() / target().filename());
    }

    void check(const std::string& bytes) {
        writeFile(target(), bytes);
        test::RecordingMessageBoxes messages;
        // The other layouts as the shipped files have them; the damaged one loaded over them.
        SkinTables tables = shippedTables;
        SkinLoader fresh{files, messages, folder.path(), settings, tables};
        EXPECT_TRUE(load(fresh, GetParam().which));
        // One message at most for each damaged file, not one for each of its values.
        EXPECT_LE(messages.shown().size(), 1u);
        use(tables);
    }

    // Everything that the tables feed.
    void use(const SkinTables& tables) {
        const WindowShape shape = buildWindowShape(&mask, tables);
        EXPECT_FALSE(shape.windowRegion.empty());

        for (const std::span<const SkinItem> table :
             {std::span<const SkinItem>(tables.mainItems),
              std::span<const SkinItem>(tables.colourItems),
              std::span<const SkinItem>(tables.advancedItems),
              std::span<const SkinItem>(tables.warningItems)}) {
            for (const SkinItem& item : table) {
                const platform::PixelRect area = item.area();
                for (const Point corner :
                     {Point{area.left, area.top}, Point{area.right - 1, area.bottom - 1}}) {
                    const int32_t hit =
                        HitTest(corner, table, static_cast<int32_t>(table.size()) - 1);
                    EXPECT_TRUE(hit == NO_HIT ||
                                (hit >= 0 && static_cast<size_t>(hit) < table.size()));
                    const int32_t fireTime =
                        fireTimeAt(corner.x, tables.advancedItems[advanced_item::kFireBar]);
                    EXPECT_TRUE(fireTime >= 0 && fireTime <= kMaxFireTime);
                }
            }
        }

        FramePainter painter(tables, pictures, folder.path());
        FrameState state;
        state.profile = builtInDefaultProfile(1);
        state.profile.fireTime = kMaxFireTime;
        state.english = GetParam().english;
        state.macroNames = {u"macro"};
        state.buttonPressed = true;
        state.mainHover = main_item::kApply;
        state.advancedHover = advanced_item::kFireBar;
        state.colourHover = 0;
        for (const Page page : {PAGE_MAIN, PAGE_ADVANCED, PAGE_COLOUR}) {
            state.currentPage = page;
            painter.PaintFrame(state, canvas);
        }

        const auto font =
            GetParam().english ? platform::FontChoice::English : platform::FontChoice::Chinese;
        for (const int32_t hovered : {1, 2})
            paintWarning(canvas, tables.warningItems, {picture, picture}, hovered, font);
        const MenuGeometry geometry = mainMenuGeometry({120, 300});
        paintMenu(canvas, geometry, {picture, picture, picture}, 1, true,
                  mainMenuLabels(tables.functionNames), font);
        for (const int32_t row : {7, 8, 9, 10}) {
            paintMenu(canvas, subMenuGeometry({120, 300}, 10), {picture, picture, picture}, 1,
                      false, subMenuLabels(row, tables.functionNames, state.macroNames), font);
        }
        canvas.copies.clear();
        canvas.texts.clear();
    }

    test::TempFolder folder{test::sweepFolderParent()};
    IniFiles files;
    test::RecordingMessageBoxes unused;
    ProfileStore settings{files, folder / "config.ini"};
    SkinTables shippedTables;
    SkinLoader loader{files, unused, folder.path(), settings, shippedTables};
    test::FakePictures pictures{kWindow};
    const platform::PixelPicture mask{kWindow, platform::Rgb{}};
    const std::shared_ptr<platform::PixelPicture> picture =
        std::make_shared<platform::PixelPicture>(kWindow, platform::Rgb{});
    test::RecordingCanvas canvas;
};

TEST_P(DamagedSkinFileTest, CutShortAtEveryByte) {
    test::checkEachCut(original(), [&](const std::string& bytes) { check(bytes); });
}

TEST_P(DamagedSkinFileTest, DamagedByHandOrByNoise) {
    test::checkEachDamagedCopy(original(), [&](const std::string& bytes) { check(bytes); });
}

std::string layoutName(const testing::TestParamInfo<LayoutFile>& param) {
    constexpr const char* kNames[] = {"Main", "Colour", "Advanced", "Warning"};
    return std::string(kNames[static_cast<int>(param.param.which)]) +
           (param.param.english ? "English" : "Chinese");
}

using Layout = SkinLoader::LayoutFile;
INSTANTIATE_TEST_SUITE_P(
    ShippedFiles, DamagedSkinFileTest,
    testing::Values(LayoutFile{Layout::Main, true}, LayoutFile{Layout::Colour, true},
                    LayoutFile{Layout::Advanced, true}, LayoutFile{Layout::Warning, true},
                    LayoutFile{Layout::Main, false}, LayoutFile{Layout::Colour, false},
                    LayoutFile{Layout::Advanced, false}, LayoutFile{Layout::Warning, false}),
    layoutName);

}  // namespace
}  // namespace v270
