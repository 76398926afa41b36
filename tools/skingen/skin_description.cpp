#include "skin_description.h"

#include <string>

namespace v270::skingen {

namespace {

using enum Look;

// The main page's DPI value cells lie in the order of their resolutions, so that each level's
// slider reads 1200, 1600, 2000, 2400, 3200 from left to right: value index v sits at stop
// kStopOfValue[v].
constexpr std::array<int32_t, 5> kStopOfValue = {4, 0, 1, 2, 3};
constexpr std::array<const char*, 5> kStopDpi = {"1200", "1600", "2000", "2400", "3200"};

void addCommon(std::vector<Entry>& e) {
    const auto main = [&e](int32_t index, const char* name, PixelRect area, std::string en,
                           std::string cn, Look look, int32_t variant = 0) {
        e.push_back({Table::Main, index, name, area, std::move(en), std::move(cn), look, variant});
    };
    main(0, "profiles", at(16, 104, 160, 20), "PROFILES", "配置文件", Label);
    main(1, "banner", at(186, 505, 390, 26), "", "", Label);
    main(2, "revert", at(584, 503, 80, 28), "CANCEL", "取消", Button);
    main(3, "apply", at(672, 503, 88, 28), "APPLY", "应用", Button, 1);
    for (int32_t p = 0; p < 5; ++p) {
        const std::string number = std::to_string(p + 1);
        main(4 + p, "profile", at(24, 130 + 44 * p, 144, 36), "PROFILE " + number, "配置 " + number,
             Profile, p);
    }
    main(9, "tab_main", at(200, 62, 160, 30), "BUTTONS & DPI", "按键与DPI", Tab);
    main(10, "tab_advanced", at(366, 62, 160, 30), "ADVANCED", "高级设置", Tab);
    main(11, "tab_colour", at(532, 62, 160, 30), "LIGHTING", "灯光效果", Tab);
    main(12, "minimise", at(716, 16, 22, 22), "", "", Minimise);
    main(13, "close", at(742, 16, 22, 22), "", "", Close);
    main(14, "import", at(24, 368, 144, 30), "IMPORT", "导入配置", Button);
    main(15, "export", at(24, 404, 144, 30), "EXPORT", "导出配置", Button);
    main(16, "reset", at(24, 440, 144, 30), "RESET", "恢复出厂", Button);
    main(17, "chinese", at(622, 17, 40, 20), "", "", Language, 0);
    main(18, "english", at(666, 17, 40, 20), "", "", Language, 1);
    main(19, "badge", at(18, 10, 178, 40), "", "", Logo);
}

void addMainPage(std::vector<Entry>& e) {
    const auto main = [&e](int32_t index, const char* name, PixelRect area, std::string en,
                           std::string cn, Look look, int32_t variant = 0) {
        e.push_back({Table::Main, index, name, area, std::move(en), std::move(cn), look, variant});
    };
    main(20, "assign_title", at(192, 102, 150, 18), "BUTTON ASSIGNMENT", "按键功能分配", Label);
    main(21, "dpi_title", at(192, 318, 120, 18), "DPI LEVELS", "DPI 档位", Label);
    main(22, "wheel_title", at(608, 318, 152, 18), "WHEEL", "滚轮", Label);
    main(23, "assign_hint", at(192, 293, 150, 18), "Click to assign", "点击方框分配功能", Label);
    main(24, "switch_head", at(308, 338, 46, 18), "ON", "启用", Label);

    // The six mouse buttons: slots 1, 4 and 5 on the left of the mouse, 2, 3 and 6 on the right.
    struct Side {
        int32_t slot;
        bool left;
        int32_t row;
        const char* en;
        const char* cn;
    };
    constexpr Side kSides[] = {{1, true, 0, "BUTTON 1 - LEFT", "按键1 左键"},
                               {2, false, 0, "BUTTON 2 - RIGHT", "按键2 右键"},
                               {3, false, 1, "BUTTON 3 - WHEEL", "按键3 滚轮"},
                               {4, true, 1, "BUTTON 4 - FRONT", "按键4 前侧键"},
                               {5, true, 2, "BUTTON 5 - REAR", "按键5 后侧键"},
                               {6, false, 2, "BUTTON 6 - DPI", "按键6 DPI键"}};
    for (const Side& side : kSides) {
        const int32_t x = side.left ? 192 : 566;
        const int32_t caption = 124 + 58 * side.row;
        const int32_t box = caption + 18;
        const int32_t centre = box + 14;
        main(30 + side.slot, "button_caption", at(x, caption, 150, 16), side.en, side.cn, Label);
        main(24 + side.slot, "button_function", at(x, box, 150, 28), "", "", AssignBox, side.slot);
        main(83 + side.slot, "button_marker", at(side.left ? 356 : 526, centre - 9, 18, 18), "", "",
             Badge, side.slot);
    }

    // DPI levels: indicator, choice, caption, switch and the five value stops per row.
    for (int32_t level = 0; level < 4; ++level) {
        const int32_t y = 358 + 34 * level;
        const std::string number = std::to_string(level + 1);
        main(80 + level, "dpi_current", at(194, y + 8, 14, 14), "", "", Indicator, level);
        main(54 + level, "dpi_select", at(212, y + 3, 24, 24), "", "", Radio, level);
        main(50 + level, "dpi_caption", at(240, y + 3, 64, 24), "LEVEL " + number, "档位 " + number,
             Label, level);
        main(46 + level, "dpi_switch", at(310, y + 4, 42, 22), "", "", Switch, level);
        for (int32_t value = 0; value < 5; ++value) {
            const int32_t stop = kStopOfValue[static_cast<size_t>(value)];
            main(60 + 5 * level + value, "dpi_cell", at(362 + 46 * stop, y + 3, 42, 24), "", "",
                 DpiCell, stop);
        }
    }
    constexpr int32_t kStopHeads[] = {37, 38, 39, 40, 43};
    for (int32_t stop = 0; stop < 5; ++stop) {
        main(kStopHeads[stop], "dpi_head", at(362 + 46 * stop, 338, 42, 18),
             kStopDpi[static_cast<size_t>(stop)], kStopDpi[static_cast<size_t>(stop)], Label);
    }
    main(44, "level_head", at(212, 338, 92, 18), "LEVEL", "档位", Label);
    main(45, "wheel_head", at(608, 338, 152, 18), "DIRECTION", "滚动方向", Label);
    main(41, "wheel_normal", at(616, 362, 136, 30), "NORMAL", "正常", Radio, 10);
    main(42, "wheel_reverse", at(616, 400, 136, 30), "REVERSE", "反向", Radio, 10);

    main(58, "palm_logo", at(430, 252, 40, 32), "", "", PalmLogo);
    main(59, "chin", at(246, 542, 288, 14), "", "", Chin);

    // The mouse picture, buttons split by the wheel channel.
    main(90, "mouse_left", at(384, 112, 56, 96), "", "", MouseButton, 1);
    main(91, "mouse_right", at(460, 112, 56, 96), "", "", MouseButton, 2);
    main(92, "mouse_wheel", at(440, 130, 20, 48), "", "", MouseButton, 3);
    main(93, "mouse_front", at(374, 214, 14, 30), "", "", MouseButton, 4);
    main(94, "mouse_rear", at(374, 250, 14, 30), "", "", MouseButton, 5);
    main(95, "mouse_dpi", at(440, 182, 20, 24), "", "", MouseButton, 6);
}

void addAdvancedPage(std::vector<Entry>& e) {
    const auto adv = [&e](int32_t index, const char* name, PixelRect area, std::string en,
                          std::string cn, Look look, int32_t variant = 0) {
        e.push_back(
            {Table::Advanced, index, name, area, std::move(en), std::move(cn), look, variant});
    };
    adv(34, "editor_title", at(194, 102, 318, 18), "MACRO EDITOR", "宏编辑", Label);
    adv(35, "list_head", at(194, 124, 150, 16), "MACROS", "宏列表", Label);
    adv(36, "step_head", at(352, 124, 160, 16), "STEPS", "步骤", Label);
    adv(2, "add", at(352, 327, 76, 28), "ADD", "添加", Button);
    adv(3, "delete", at(436, 327, 76, 28), "DELETE", "删除", Button);
    adv(4, "record", at(194, 362, 150, 30), "RECORD", "录制", Button, 1);
    adv(38, "downs", at(352, 362, 76, 30), "", "", Label);
    adv(39, "ups", at(436, 362, 76, 30), "", "", Label);
    adv(37, "repeat_head", at(194, 402, 68, 26), "REPEAT", "重复", Label);
    adv(6, "repeat", at(266, 404, 42, 22), "", "", Switch);
    adv(5, "repeat_set", at(384, 401, 60, 28), "SET", "设置", Button);
    adv(0, "import", at(194, 440, 150, 30), "IMPORT MACROS", "导入宏", Button);
    adv(1, "export", at(352, 440, 160, 30), "EXPORT MACROS", "导出宏", Button);

    adv(45, "play_title", at(540, 102, 220, 18), "PLAYBACK & SPEED", "播放与速度", Label);
    adv(7, "macro_mode", at(540, 128, 42, 22), "", "", Switch);
    adv(40, "macro_mode_caption", at(588, 126, 172, 26), "HOLD TO REPEAT", "按住时重复", Label);
    adv(41, "pointer_title", at(540, 166, 220, 18), "POINTER SPEED", "指针速度", Label);
    adv(42, "wheel_title", at(540, 226, 220, 18), "SCROLL SPEED", "滚轮速度", Label);
    for (int32_t step = 0; step < 10; ++step) {
        adv(8 + step, "pointer_step", at(540 + 22 * step, 188, 20, 26), "", "", Segment, step);
        adv(18 + step, "wheel_step", at(540 + 22 * step, 248, 20, 26), "", "", Segment, step);
    }
    adv(28, "slow", at(540, 276, 70, 16), "SLOW", "慢", Label);
    adv(29, "fast", at(690, 276, 70, 16), "FAST", "快", Label);
    adv(43, "fire_title", at(540, 300, 220, 18), "FIRE INTERVAL", "连发间隔", Label);
    adv(32, "fire_minus", at(540, 324, 26, 26), "", "", Minus);
    adv(30, "fire_bar", at(572, 326, 150, 22), "", "", FireBar);
    adv(31, "fire_plus", at(728, 324, 26, 26), "", "", Plus);
    adv(33, "fire_value", at(572, 354, 150, 20), "", "", Label);
    adv(44, "fire_scale", at(540, 380, 220, 18), "0 - 300 ms", "0 - 300 毫秒", Label);
}

void addColourPage(std::vector<Entry>& e) {
    const auto col = [&e](int32_t index, const char* name, PixelRect area, std::string en,
                          std::string cn, Look look, int32_t variant = 0) {
        e.push_back(
            {Table::Colour, index, name, area, std::move(en), std::move(cn), look, variant});
    };
    col(5, "mode_title", at(194, 102, 260, 18), "LIGHTING MODE", "灯光模式", Label);
    col(0, "breathing", at(194, 130, 260, 38), "BREATHING", "呼吸", LedMode, 0);
    col(1, "flashing", at(194, 176, 260, 38), "FAST BLINK", "快闪", LedMode, 1);
    col(2, "steady", at(194, 222, 260, 38), "STEADY", "常亮", LedMode, 2);
    col(3, "off", at(194, 268, 260, 38), "OFF", "关闭", LedMode, 3);
    col(7, "dpi_title", at(194, 326, 260, 18), "DPI IN USE", "当前DPI", Label);
    col(4, "dpi_panel", at(194, 348, 260, 64), "", "", Panel);
    col(9, "dpi_value", at(214, 362, 150, 36), "", "", Label);
    col(8, "dpi_unit", at(364, 362, 70, 36), "DPI", "DPI", Label);
    col(10, "apply_hint", at(194, 426, 260, 18), "Apply to light the mouse", "点击应用后生效",
        Label);
    col(6, "preview_title", at(470, 102, 290, 18), "PREVIEW", "效果预览", Label);
    col(11, "preview", at(470, 126, 290, 250), "", "", Preview);
    col(12, "colour_hint", at(470, 384, 290, 18), "Each DPI level has its colour",
        "每个DPI档位一种颜色", Label);
}

void addWarning(std::vector<Entry>& e) {
    e.push_back({Table::Warning, 0, "ok", at(86, 100, 96, 30), "CONTINUE", "继续", Button});
    e.push_back({Table::Warning, 1, "cancel", at(198, 100, 96, 30), "CANCEL", "取消", Button});
    e.push_back({Table::Warning, 2, "message", at(20, 46, 340, 36),
                 "No other button has the left click. Go on?", "其他按键都没有左键功能，继续吗？",
                 Label});
}

std::array<FunctionName, 54> functionNames() {
    std::array<FunctionName, 54> names;
    const auto set = [&names](int32_t code, std::string en, std::string cn) {
        names[static_cast<size_t>(code - 1)] = {std::move(en), std::move(cn)};
    };
    for (int32_t code = 1; code <= 54; ++code)
        set(code, "Unassigned", "未分配");
    set(1, "Left Click", "左键");
    set(2, "Right Click", "右键");
    set(3, "Middle Click", "中键");
    set(4, "Back", "后退");
    set(5, "Forward", "前进");
    set(6, "DPI Cycle", "DPI循环");
    set(7, "Mouse & DPI", "鼠标与DPI");
    set(8, "Multimedia", "多媒体");
    set(9, "Macros", "宏");
    set(10, "Shortcuts", "快捷键");
    set(11, "Fire Key", "连发键");
    set(12, "Double Click", "双击");
    set(13, "Scroll Up", "向上滚动");
    set(14, "Scroll Down", "向下滚动");
    set(15, "Tilt Left", "左倾");
    set(16, "Tilt Right", "右倾");
    set(17, "DPI Up", "DPI加");
    set(18, "DPI Down", "DPI减");
    set(19, "LED On/Off", "灯光开关");
    set(21, "Play/Pause", "播放/暂停");
    set(22, "Next Track", "下一曲");
    set(23, "Previous Track", "上一曲");
    set(24, "Volume Up", "音量加");
    set(25, "Volume Down", "音量减");
    set(26, "Mute", "静音");
    set(31, "Copy", "复制");
    set(32, "Paste", "粘贴");
    set(33, "Select All", "全选");
    set(34, "Undo", "撤销");
    set(35, "Close Window", "关闭窗口");
    set(36, "My Computer", "我的电脑");
    set(37, "Lock Computer", "锁定电脑");
    set(38, "Calculator", "计算器");
    set(39, "Command Prompt", "命令提示符");
    set(40, "Next Profile", "下一配置");
    for (int32_t macro = 1; macro <= 12; ++macro) {
        set(40 + macro, "Macro " + std::to_string(macro), "宏 " + std::to_string(macro));
    }
    return names;
}

SkinDescription describe() {
    SkinDescription skin;
    addCommon(skin.entries);
    addMainPage(skin.entries);
    addAdvancedPage(skin.entries);
    addColourPage(skin.entries);
    addWarning(skin.entries);
    skin.controls.macroList = at(194, 144, 150, 176);
    skin.controls.stepList = at(352, 144, 160, 176);
    skin.controls.nameEdit = at(194, 328, 150, 26);
    skin.controls.repeatEdit = at(316, 402, 60, 26);
    skin.functionNames = functionNames();
    skin.outline = {{22, 0},    {758, 0},   {780, 22},  {780, 510}, {750, 540}, {560, 540},
                    {540, 560}, {240, 560}, {220, 540}, {30, 540},  {0, 510},   {0, 22}};
    skin.menu = {168, 26, 10};
    skin.subMenu = {176, 26, 12};
    skin.warningSize = {380, 150};
    skin.warningOutline = {{14, 0},    {366, 0},  {380, 14}, {380, 136},
                           {366, 150}, {14, 150}, {0, 136},  {0, 14}};
    return skin;
}

}  // namespace

const Entry* SkinDescription::find(Table table, int32_t index) const {
    for (const Entry& entry : entries) {
        if (entry.table == table && entry.index == index)
            return &entry;
    }
    return nullptr;
}

const SkinDescription& shippedSkin() {
    static const SkinDescription skin = describe();
    return skin;
}

}  // namespace v270::skingen
