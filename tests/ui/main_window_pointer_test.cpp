#include "ui/main_window_pointer.h"

#include <gtest/gtest.h>

#include "settings/text.h"
#include "support/fake_file_dialogs.h"
#include "support/recording_message_boxes.h"
#include "support/recording_view_port.h"
#include "support/temp_folder.h"
#include "ui/advanced_page.h"
#include "ui/colour_page.h"
#include "ui/main_page.h"
#include "ui/profile_edits.h"
#include "ui/skin_indices.h"

namespace v270 {
namespace {

using test::EventLog;
using Events = std::vector<std::string>;

constexpr Point kNowhere{700, 700};
constexpr int32_t kAdvancedTop = 1000;
constexpr int32_t kColourTop = 2000;
const SkinItem kFireBar{10, 1200, 200, 20, u""};

// Each table's entries on a grid of their own, 40 x 20 pixels every 50 x 30, so that no entry
// of one table lies over another table's; the fire bar on a row of its own.
SkinTables gridTables() {
    SkinTables tables;
    const auto place = [](auto& table, int32_t top) {
        for (size_t i = 0; i < table.size(); ++i) {
            const auto index = static_cast<int32_t>(i);
            table[i] = SkinItem{(index % 10) * 50, top + (index / 10) * 30, 40, 20, u""};
        }
    };
    place(tables.mainItems, 0);
    place(tables.advancedItems, kAdvancedTop);
    place(tables.colourItems, kColourTop);
    tables.advancedItems[advanced_item::kFireBar] = kFireBar;
    return tables;
}

Point inside(const SkinItem& item) {
    return {item.x + 3, item.y + 2};
}

// The settings actions, logged by name.
class RecordingSettings final : public SettingsCommands {
  public:
    explicit RecordingSettings(EventLog& log) : log_(log) {}
    void apply() override { log_.add("apply"); }
    void importProfile() override { log_.add("import"); }
    void exportProfile() override { log_.add("export"); }
    void reset() override { log_.add("reset"); }
    void switchLanguage(int32_t language) override {
        log_.add("language " + std::to_string(language));
    }

  private:
    EventLog& log_;
};

// A page animation that starts once and runs until the test ends.
// A page's thread that, once started, runs until the test says otherwise.
template <typename Animation>
class RunningAnimation final : public Animation {
  public:
    RunningAnimation(EventLog& log, bool& running, std::string name)
        : log_(log), running_(running), name_(std::move(name)) {}
    void ensureRunning() override {
        if (std::exchange(running_, true))
            return;
        log_.add(name_);
    }
    LedPreviewView preview() const { return {}; }

  private:
    EventLog& log_;
    bool& running_;
    std::string name_;
};

// The tray of a program that has its mouse.
class TitleTray final : public TrayHider {
  public:
    explicit TitleTray(platform::ViewPort& view) : view_(view) {}
    void hideToTray() override { v270::hideToTray(view_, true); }

  private:
    platform::ViewPort& view_;
};

class NoMouse final : public MouseStateSource {
  public:
    MouseState mouseState() const override { return {}; }
};

class MainWindowPointerTest : public testing::Test {
  protected:
    MainWindowPointerTest() {
        test::writeFile(configFile,
                        "[Init]\r\nCurConfig=2\r\nVER_SEL=1\r\n"
                        "[Config1]\r\nK1=1\r\nK2=2\r\nK3=3\r\nK4=5\r\nK5=4\r\nK6=6\r\n"
                        "DPI_SET_EN1=1\r\nFIRE_TIME=11\r\n"
                        "[Config2]\r\nK1=1\r\nK2=2\r\nK3=3\r\nK4=5\r\nK5=4\r\nK6=6\r\n"
                        "DPI_SET_EN1=1\r\nDPI_SET_EN2=1\r\nFIRE_TIME=22\r\n"
                        "[Config6]\r\nK1=1\r\nK2=21\r\nDPI_SET_EN1=1\r\nDPI_SET_EN2=1\r\n"
                        "DPI_LEVEL=0\r\nFIRE_TIME=66\r\n");
        profiles.readStartupSettings();
    }

    Point mainEntry(int32_t i) const { return inside(tables.mainItems[static_cast<size_t>(i)]); }
    Point advancedEntry(int32_t j) const {
        return inside(tables.advancedItems[static_cast<size_t>(j)]);
    }
    Point colourEntry(int32_t j) const {
        return inside(tables.colourItems[static_cast<size_t>(j)]);
    }

    void click(Point p) {
        pointer.onMouseMove(p);
        pointer.onLeftButtonDown(p);
        pointer.onLeftButtonUp(p);
    }
    // A click with the log cleared first, returning what it asked for.
    Events clickLogged(Point p) {
        pointer.onMouseMove(p);
        log.clear();
        pointer.onLeftButtonDown(p);
        pointer.onLeftButtonUp(p);
        return log.events();
    }
    void showPage(Page page) {
        currentPage = page;
        pointer.onMouseMove(kNowhere);
        log.clear();
    }
    ConfigProfile profile() const { return profiles.profile(); }

    test::TempFolder folder;
    std::filesystem::path configFile = folder / "config.ini";
    IniFiles files;
    test::RecordingMessageBoxes messages;
    ProfileStore profiles{files, configFile};
    MacroStore macros{files, messages};
    SkinTables tables = gridTables();
    std::atomic<Page> currentPage{PAGE_MAIN};
    EventLog log;
    test::RecordingViewPort window{&log};
    RecordingSettings settings{log};
    bool blinking = false;
    NoMouse mouse;
    MainPage mainPage{
        profiles, tables, window,
        std::make_unique<RunningAnimation<PageAnimation>>(log, blinking, "blink thread")};
    ProgramPaths paths = ProgramPaths::inFolder(folder.path());
    test::FakeFileDialogs dialogs;
    AdvancedPage advancedPage{
        AdvancedPageServices{profiles, macros, tables, paths, window, dialogs, messages}};
    bool previewing = false;
    ColourPage colourPage{
        profiles, mouse,
        std::make_unique<RunningAnimation<LedPreviewAnimation>>(log, previewing, "preview thread")};
    TitleTray tray{window};
    MainWindowPointer pointer{PointerServices{profiles, tables, currentPage, window, settings,
                                              mainPage, advancedPage, colourPage, tray}};
};

TEST_F(MainWindowPointerTest, HitTestTakesTheFirstEntryUpToTheLastIndexWithInclusiveTopLeft) {
    std::array<SkinItem, 3> items{SkinItem{10, 20, 30, 40, u""}, SkinItem{10, 20, 5, 5, u""},
                                  SkinItem{50, 50, 0, 0, u""}};
    EXPECT_EQ(HitTest({10, 20}, items, 2), 0);
    EXPECT_EQ(HitTest({39, 59}, items, 2), 0);
    EXPECT_EQ(HitTest({40, 20}, items, 2), NO_HIT);
    EXPECT_EQ(HitTest({10, 60}, items, 2), NO_HIT);
    EXPECT_EQ(HitTest({50, 50}, items, 2), NO_HIT) << "an entry of zero size holds no point";
    items[0] = SkinItem{};
    EXPECT_EQ(HitTest({12, 22}, items, 0), NO_HIT) << "entries after the last index are not tested";
    EXPECT_EQ(HitTest({12, 22}, items, 1), 1);
}

TEST_F(MainWindowPointerTest,
       MovesRepaintOnlyWhenAnIndexChangesAndTheAdvancedPageKeepsItsControls) {
    pointer.onMouseMove(mainEntry(3));
    EXPECT_EQ(pointer.mainHover(), 3);
    EXPECT_EQ(log.events(), (Events{"invalidate", "update"}));
    log.clear();
    pointer.onMouseMove({mainEntry(3).x + 1, mainEntry(3).y});
    EXPECT_TRUE(log.events().empty());

    // Entries above 19 are the main page's alone.
    showPage(PAGE_ADVANCED);
    pointer.onMouseMove(mainEntry(25));
    EXPECT_EQ(pointer.mainHover(), NO_HIT);
    pointer.onMouseMove(advancedEntry(8));
    EXPECT_EQ(pointer.advancedHover(), 8);
    EXPECT_EQ(log.events(), (Events{"invalidate advanced region", "update"}));

    // All three indices are followed on every page.
    showPage(PAGE_MAIN);
    pointer.onMouseMove(colourEntry(2));
    EXPECT_EQ(pointer.colourHover(), 2);
    EXPECT_EQ(pointer.mainHover(), NO_HIT);
    pointer.onMouseMove(mainEntry(90));
    EXPECT_EQ(pointer.mainHover(), 90);
    pointer.onMouseMove(mainEntry(91));
    EXPECT_EQ(pointer.mainHover(), NO_HIT) << "the main page tests entries up to 90";
}

TEST_F(MainWindowPointerTest, AProfileLoadsWhenTheButtonComesUpOverItWhereverItWentDown) {
    ASSERT_EQ(profile().fireTime, 22);
    pointer.onMouseMove(mainEntry(main_item::kFirstProfile));
    pointer.onLeftButtonDown(mainEntry(main_item::kFirstProfile));
    EXPECT_TRUE(pointer.buttonPressed());
    pointer.onMouseMove(mainEntry(58));
    pointer.onLeftButtonUp(mainEntry(58));
    EXPECT_FALSE(pointer.buttonPressed());
    EXPECT_EQ(profiles.currentConfig(), 2);
    EXPECT_EQ(profile().fireTime, 22);

    pointer.onMouseMove(mainEntry(58));
    pointer.onLeftButtonDown(mainEntry(58));
    pointer.onMouseMove(mainEntry(main_item::kFirstProfile));
    log.clear();
    pointer.onLeftButtonUp(mainEntry(main_item::kFirstProfile));
    EXPECT_EQ(profiles.currentConfig(), 1);
    EXPECT_EQ(profile().fireTime, 11);
    EXPECT_EQ(log.events(), (Events{"invalidate", "invalidate"}));
}

TEST_F(MainWindowPointerTest, CommonEntriesActOnReleaseOnEveryPage) {
    for (const Page page : {PAGE_MAIN, PAGE_ADVANCED, PAGE_COLOUR}) {
        showPage(page);
        EXPECT_EQ(clickLogged(mainEntry(main_item::kApply)),
                  (Events{"invalidate", "invalidate", "apply"}));
        const Events hidden = clickLogged(mainEntry(main_item::kClose));
        EXPECT_EQ(Events(hidden.end() - 3, hidden.end()),
                  (Events{"tray add VELKO V270 GAMING MOUSE", "minimize", "hide"}));
        EXPECT_EQ(pointer.mainHover(), NO_HIT);
        EXPECT_EQ(
            clickLogged(mainEntry(main_item::kMinimise)).back(),
            "minimise " + std::to_string(mainEntry(12).x) + "," + std::to_string(mainEntry(12).y));
        EXPECT_EQ(clickLogged(mainEntry(main_item::kImport)).back(), "import");
        EXPECT_EQ(clickLogged(mainEntry(main_item::kExport)).back(), "export");
        EXPECT_EQ(clickLogged(mainEntry(main_item::kReset)).back(), "reset");
        EXPECT_EQ(clickLogged(mainEntry(main_item::kChinese)).back(), "language 0");
        EXPECT_EQ(clickLogged(mainEntry(main_item::kEnglish)).back(), "language 1");
        EXPECT_EQ(clickLogged(mainEntry(main_item::kInert)), (Events{"invalidate", "invalidate"}));
    }
}

TEST_F(MainWindowPointerTest, RevertKeepsTheDpiLevelLoadsTheLastAppliedSettingsAndHides) {
    profiles.edit([](ConfigProfile& p) {
        p.dpiLevel = 1;
        p.fireTime = 123;
    });
    const Events events = clickLogged(mainEntry(main_item::kRevert));
    EXPECT_EQ(events, (Events{"invalidate", "invalidate", "tray add VELKO V270 GAMING MOUSE",
                              "minimize", "hide", "invalidate"}));
    EXPECT_EQ(profile().fireTime, 66);
    EXPECT_EQ(profile().buttonFunction[1], 21);
    EXPECT_EQ(profile().dpiLevel, 1) << "the level in use was written into slot 6 first";
    EXPECT_EQ(files.read(configFile, u"Config6", u"DPI_LEVEL", 5), u"1");
    EXPECT_EQ(pointer.mainHover(), NO_HIT);
}

TEST_F(MainWindowPointerTest, MainPageEntriesEditTheProfileOnPress) {
    click(mainEntry(main_item::kWheelSecond));
    EXPECT_EQ(profile().wheelStatus, 1);
    click(mainEntry(main_item::kWheelFirst));
    EXPECT_EQ(profile().wheelStatus, 0);

    // Level 2 is disabled in profile 2: it cannot become current until it is switched on.
    click(mainEntry(main_item::kFirstDpiSelect + 2));
    EXPECT_EQ(profile().dpiLevel, 0);
    click(mainEntry(main_item::kFirstDpiSwitch + 2));
    click(mainEntry(main_item::kFirstDpiSelect + 2));
    EXPECT_EQ(profile().dpiLevel, 2);

    click(mainEntry(73));  // level 2, value index 3
    EXPECT_EQ(dpiCellIdOf(2, profile().dpiSet[2]), 73);
    EXPECT_EQ(profile().dpiSet[2], 3);
    EXPECT_EQ(profile().dpiSet[1], 0) << "other levels keep their values";
}

TEST(ProfileEditsTest, DisablingTheCurrentLevelMovesToTheNextEnabledAndOneAlwaysStays) {
    ConfigProfile profile;
    profile.dpiSetEnabled = {0, 0, 1, 0};
    profile.dpiLevel = 2;
    toggleDpiLevel(profile, 2);
    EXPECT_EQ(profile.dpiSetEnabled, (std::array<uint8_t, 4>{0, 0, 1, 0}));
    EXPECT_EQ(profile.dpiLevel, 2);

    profile.dpiSetEnabled = {1, 0, 1, 0};
    toggleDpiLevel(profile, 2);
    EXPECT_EQ(profile.dpiSetEnabled, (std::array<uint8_t, 4>{1, 0, 0, 0}));
    EXPECT_EQ(profile.dpiLevel, 0) << "it wraps round from level 3 to level 0";

    toggleDpiLevel(profile, 3);
    EXPECT_EQ(profile.dpiSetEnabled[3], 1);
    toggleDpiLevel(profile, 0);
    EXPECT_EQ(profile.dpiLevel, 3);
    toggleDpiLevel(profile, 3);
    EXPECT_EQ(profile.dpiSetEnabled, (std::array<uint8_t, 4>{0, 0, 0, 1}));

    // A level that is not current is simply switched off.
    profile.dpiSetEnabled = {1, 1, 1, 1};
    profile.dpiLevel = 0;
    toggleDpiLevel(profile, 1);
    EXPECT_EQ(profile.dpiSetEnabled, (std::array<uint8_t, 4>{1, 0, 1, 1}));
    EXPECT_EQ(profile.dpiLevel, 0);
}

TEST_F(MainWindowPointerTest, AdvancedPageSetsSpeedsAndTheFireInterval) {
    showPage(PAGE_ADVANCED);
    click(advancedEntry(advanced_item::kFirstPointerSpeed + 9));
    EXPECT_EQ(profile().dpiSpeed, 9);
    click(advancedEntry(advanced_item::kFirstWheelSpeed));
    EXPECT_EQ(profile().wheelSpeed, 0);

    click({kFireBar.x, kFireBar.y});
    EXPECT_EQ(profile().fireTime, 0) << "the bar's left edge";
    click({kFireBar.x + 100, kFireBar.y});
    EXPECT_EQ(profile().fireTime, 150);
    click({kFireBar.x + kFireBar.width - 1, kFireBar.y});
    EXPECT_EQ(profile().fireTime, 298);

    click(advancedEntry(advanced_item::kFirePlus));
    click(advancedEntry(advanced_item::kFirePlus));
    click(advancedEntry(advanced_item::kFirePlus));
    EXPECT_EQ(profile().fireTime, 300) << "the plus stops at 300";

    click({kFireBar.x, kFireBar.y});
    pointer.onMouseMove(advancedEntry(advanced_item::kFireMinus));
    log.clear();
    pointer.onLeftButtonDown(advancedEntry(advanced_item::kFireMinus));
    EXPECT_EQ(profile().fireTime, 0) << "the minus stops at 0";
    EXPECT_EQ(log.events(), (Events{"invalidate", "invalidate"}));
}

TEST_F(MainWindowPointerTest, MacroEntriesNeitherEditNorDragAndPressesOutsideEveryEntryDrag) {
    showPage(PAGE_ADVANCED);
    for (int32_t entry = advanced_item::kImportMacros; entry <= advanced_item::kMacroModeSwitch;
         ++entry) {
        EXPECT_EQ(clickLogged(advancedEntry(entry)), (Events{"invalidate", "invalidate"}));
    }
    EXPECT_EQ(clickLogged(advancedEntry(28)), (Events{"invalidate", "invalidate"}));
    EXPECT_EQ(clickLogged({710, 720}), (Events{"drag 710,720", "invalidate"}));
    EXPECT_EQ(clickLogged(mainEntry(main_item::kTitle)), (Events{"invalidate", "invalidate"}))
        << "a common entry is no place to drag from";
}

TEST_F(MainWindowPointerTest, ColourPageChoosesTheLedModeAndItsEntryFourNeitherActsNorDrags) {
    showPage(PAGE_COLOUR);
    click(colourEntry(2));
    EXPECT_EQ(profile().ledStatus, 2);
    EXPECT_EQ(clickLogged(colourEntry(4)), (Events{"invalidate", "invalidate"}));
    EXPECT_EQ(profile().ledStatus, 2);
    EXPECT_EQ(clickLogged({705, 705}), (Events{"drag 705,705", "invalidate"}));
}

TEST_F(MainWindowPointerTest, ADragEndsThePressedLook) {
    // Over a colour entry on the main page: the press is noted, but no main entry is there.
    pointer.onMouseMove(colourEntry(1));
    pointer.onLeftButtonDown(colourEntry(1));
    EXPECT_FALSE(pointer.buttonPressed()) << "the system's move loop takes the release";
    EXPECT_EQ(log.events().back(),
              "drag " + std::to_string(colourEntry(1).x) + "," + std::to_string(colourEntry(1).y));
    FrameState frame;
    pointer.onMouseMove(mainEntry(5));
    pointer.fill(frame);
    EXPECT_EQ(frame.mainHover, 5);
    EXPECT_FALSE(frame.buttonPressed);
}

TEST_F(MainWindowPointerTest, PageSwitchesCreateAndDestroyTheControlsAndStartThePagesThreads) {
    EXPECT_EQ(clickLogged(mainEntry(main_item::kAdvancedTab)),
              (Events{"invalidate", "invalidate advanced region", "create controls", "update",
                      "refresh macro list", "update", "invalidate"}));
    EXPECT_EQ(currentPage.load(), PAGE_ADVANCED);
    EXPECT_EQ(clickLogged(mainEntry(main_item::kAdvancedTab)), (Events{"invalidate", "invalidate"}))
        << "the page's own tab does nothing";

    EXPECT_EQ(
        clickLogged(mainEntry(main_item::kColourTab)),
        (Events{"invalidate", "preview thread", "destroy controls", "invalidate", "invalidate"}));
    EXPECT_EQ(clickLogged(mainEntry(main_item::kMainTab)),
              (Events{"invalidate", "blink thread", "invalidate", "invalidate"}));
    EXPECT_TRUE(blinking);
    EXPECT_TRUE(previewing);

    // Threads still running are not started again.
    click(mainEntry(main_item::kColourTab));
    EXPECT_EQ(clickLogged(mainEntry(main_item::kMainTab)),
              (Events{"invalidate", "invalidate", "invalidate"}));
    EXPECT_EQ(currentPage.load(), PAGE_MAIN);
    click(mainEntry(main_item::kAdvancedTab));
    EXPECT_EQ(clickLogged(mainEntry(main_item::kMainTab)),
              (Events{"invalidate", "destroy controls", "invalidate", "invalidate"}));
}

TEST_F(MainWindowPointerTest, TheFunctionMenuOpensBelowTheButtonAndTheNextPressClosesIt) {
    // Profile 2 has the left click on slot 1 only: slot 2's menu needs no warning.
    const SkinItem& entry = tables.mainItems[26];
    EXPECT_EQ(clickLogged(mainEntry(26)),
              (Events{"invalidate",
                      "open menu " + std::to_string(100 + entry.x) + "," +
                          std::to_string(50 + entry.y + entry.height),
                      "invalidate"}));
    EXPECT_TRUE(mainPage.menuDlgOpen());
    EXPECT_EQ(mainPage.menuButton(), 26);
    EXPECT_EQ(mainPage.menuSlot(), 2);
    EXPECT_EQ(window.menuSlot, 2) << "the menu knows whose function it assigns";

    EXPECT_EQ(clickLogged(mainEntry(main_item::kInert)),
              (Events{"invalidate", "close menu", "invalidate"}));
    EXPECT_FALSE(mainPage.menuDlgOpen());

    click(mainEntry(27));
    mainPage.functionMenuClosed();
    EXPECT_EQ(clickLogged(mainEntry(main_item::kInert)), (Events{"invalidate", "invalidate"}))
        << "a menu that ended by itself is not closed again";
}

TEST_F(MainWindowPointerTest, APressOrReleaseWhereNoMoveWasSeenActsOnTheEntryUnderIt) {
    // A window that appeared under a still pointer has seen no move before the press.
    pointer.onLeftButtonDown(mainEntry(26));
    const Events events = log.events();
    EXPECT_EQ(events.front(), "invalidate") << "the hover shows first";
    EXPECT_EQ(events[1], "update");
    EXPECT_TRUE(mainPage.menuDlgOpen());
    EXPECT_EQ(mainPage.menuButton(), 26);

    pointer.onMouseMove(mainEntry(58));
    pointer.onLeftButtonDown(mainEntry(58));
    pointer.onLeftButtonUp(mainEntry(main_item::kFirstProfile));
    EXPECT_EQ(profiles.currentConfig(), 1);
}

TEST_F(MainWindowPointerTest, TheWarningComesBeforeTheOnlyLeftClickIsReassigned) {
    const Events slot1 = clickLogged(mainEntry(25));
    ASSERT_EQ(slot1.size(), 5u);
    EXPECT_EQ(slot1[1].rfind("warning ", 0), 0u);
    EXPECT_EQ(slot1[1].substr(8), slot1[3].substr(10)) << "both at the same place";
    EXPECT_FALSE(pointer.buttonPressed());
    mainPage.functionMenuClosed();

    window.warningResult = platform::kWarningCancelled;
    const Events cancelled = clickLogged(mainEntry(25));
    EXPECT_EQ(cancelled.size(), 4u);
    for (const std::string& event : cancelled)
        EXPECT_EQ(event.rfind("open menu", 0), std::string::npos);
    EXPECT_FALSE(mainPage.menuDlgOpen());

    // Any result but cancel opens the menu (Enter gives 1, a closed dialog may give others).
    window.warningResult = 0;
    click(mainEntry(25));
    EXPECT_TRUE(mainPage.menuDlgOpen());
}

}  // namespace
}  // namespace v270
