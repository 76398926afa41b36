#pragma once

#include <string_view>

namespace v270 {

// The main window's titles, by which a second instance and the recording hook find it.
inline constexpr std::u16string_view kEnglishTitle = u"VELKO V270 GAMING MOUSE";
inline constexpr std::u16string_view kChineseTitle = u"VELKO V270竞技游戏鼠标";

inline constexpr std::u16string_view windowTitle(bool english) {
    return english ? kEnglishTitle : kChineseTitle;
}

// The model name the not-found message names.
inline constexpr std::u16string_view kModelName = u"VELKO V270";

}  // namespace v270
