#pragma once

#include <cstdint>

// What each entry of the layout tables is. The index is the key of the entry in section
// "BUTTONPOS" of its layout file.
namespace v270 {

namespace main_item {
// Entries 0..19 are common to all three pages: hit-tested, drawn and labelled on every page.
inline constexpr int32_t kLastCommon = 19;
inline constexpr int32_t kTitle = 0;   // label only
inline constexpr int32_t kBanner = 1;  // the status banner; its label is the banner text
inline constexpr int32_t kRevert = 2;  // back to the last applied settings, hide to the tray
inline constexpr int32_t kApply = 3;
inline constexpr int32_t kFirstProfile = 4;  // profile buttons 1..5 are 4..8
inline constexpr int32_t kLastProfile = 8;
inline constexpr int32_t kMainTab = 9;
inline constexpr int32_t kAdvancedTab = 10;
inline constexpr int32_t kColourTab = 11;
inline constexpr int32_t kMinimise = 12;
inline constexpr int32_t kClose = 13;
inline constexpr int32_t kImport = 14;
inline constexpr int32_t kExport = 15;
inline constexpr int32_t kReset = 16;
inline constexpr int32_t kChinese = 17;
inline constexpr int32_t kEnglish = 18;
inline constexpr int32_t kInert = 19;
// The main page only.
inline constexpr int32_t kFirstButtonLabel = 25;  // mouse buttons 1..6: 25..30
inline constexpr int32_t kLastButtonLabel = 30;
inline constexpr int32_t kWheelFirst = 41;  // wheelStatus 0 and 1: 41, 42
inline constexpr int32_t kWheelSecond = 42;
inline constexpr int32_t kFirstDpiSwitch = 46;   // enable switches of levels 0..3
inline constexpr int32_t kFirstDpiCaption = 50;  // red when the level is enabled, grey if not
inline constexpr int32_t kFirstDpiSelect = 54;   // make level 0..3 the current level
inline constexpr int32_t kFirstDpiCell = 60;     // 60 + 5 * level + value index
inline constexpr int32_t kLastDpiCell = 79;
inline constexpr int32_t kFirstDpiIndicator = 80;  // the current level's indicator: 80..83
inline constexpr int32_t kFirstMouseButton = 90;   // the buttons on the mouse picture: 90..95
inline constexpr int32_t kLastMouseButton = 95;
// The highest index hit-tested on the main page, and on the other pages.
inline constexpr int32_t kLastHitOnMainPage = 90;
inline constexpr int32_t kLastHitOnOtherPages = kLastCommon;
}  // namespace main_item

namespace advanced_item {
inline constexpr int32_t kImportMacros = 0;
inline constexpr int32_t kExportMacros = 1;
inline constexpr int32_t kAddMacro = 2;
inline constexpr int32_t kDeleteMacro = 3;
inline constexpr int32_t kRecord = 4;  // label "Record"/"Stop"
inline constexpr int32_t kTakeRepeatCount = 5;
inline constexpr int32_t kRepeatSwitch = 6;
inline constexpr int32_t kMacroModeSwitch = 7;
inline constexpr int32_t kFirstPointerSpeed = 8;  // dpiSpeed 0..9: 8..17
inline constexpr int32_t kFirstWheelSpeed = 18;   // wheelSpeed 0..9: 18..27
inline constexpr int32_t kFireBar = 30;
inline constexpr int32_t kFirePlus = 31;
inline constexpr int32_t kFireMinus = 32;
inline constexpr int32_t kFireCaption = 33;  // label: fireTime and "ms"
inline constexpr int32_t kPressCounter = 38;
inline constexpr int32_t kReleaseCounter = 39;
inline constexpr int32_t kLastHit = 33;
}  // namespace advanced_item

namespace colour_item {
inline constexpr int32_t kFirstLedMode = 0;  // LED modes 0..3
inline constexpr int32_t kDpiText = 9;       // label: the DPI value in effect
inline constexpr int32_t kPreview = 11;      // the LED preview area
inline constexpr int32_t kLastHit = 4;
}  // namespace colour_item

namespace warning_item {
inline constexpr int32_t kConfirm = 0;
inline constexpr int32_t kCancel = 1;
inline constexpr int32_t kMessage = 2;
}  // namespace warning_item

}  // namespace v270
