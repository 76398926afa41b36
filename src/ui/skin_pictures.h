#pragma once

#include <array>
#include <string_view>

#include "ui/page.h"

// The pictures of the skin folder. Each page has three full-window pictures in the coordinates
// of the layout entries: the normal look, the look under the pointer and the pressed or
// selected look.
namespace v270::skin_picture {

struct PagePictures {
    std::string_view normal;
    std::string_view over;
    std::string_view down;
};

inline constexpr PagePictures kMainPage{"main_normal.jpg", "main_over.jpg", "main_down.jpg"};
inline constexpr PagePictures kAdvancedPage{"advanced_normal.jpg", "advanced_over.jpg",
                                            "advanced_down.jpg"};
inline constexpr PagePictures kColourPage{"color_normal_pink.jpg", "color_over_red.jpg",
                                          "color_down_purple.jpg"};

inline constexpr PagePictures pagePictures(Page page) {
    switch (page) {
        case PAGE_ADVANCED:
            return kAdvancedPage;
        case PAGE_COLOUR:
            return kColourPage;
        case PAGE_MAIN:
            break;
    }
    return kMainPage;
}

inline constexpr std::string_view kMask = "main_mask.jpg";
inline constexpr std::string_view kDpiKnob = "dpi_slider.jpg";
// The LED preview's unlit look and its colour 0; colours 1..3 are the colour page's own three.
inline constexpr std::string_view kPreviewOff = "color_normal_gray.jpg";
inline constexpr std::string_view kPreviewBlue = "color_over_blue.jpg";

// The function menu, its sub-menus and the warning dialog.
inline constexpr std::string_view kMenuMask = "menu_mask.jpg";
inline constexpr std::string_view kMenuNormal = "menu_normal.jpg";
inline constexpr std::string_view kMenuOver = "menu_over.jpg";
inline constexpr std::string_view kMenuDown = "menu_down.jpg";
inline constexpr std::string_view kSubMenuMask = "advanced menu_mask.jpg";
inline constexpr std::string_view kSubMenuNormal = "advanced menu_normal.jpg";
inline constexpr std::string_view kSubMenuOver = "advanced menu_over.jpg";
inline constexpr std::string_view kSubMenuDown = "advanced menu_down.jpg";
inline constexpr std::string_view kWarningMask = "warning_mask.jpg";
inline constexpr std::string_view kWarningNormal = "warning_normal.jpg";
inline constexpr std::string_view kWarningOver = "warning_over.jpg";

// The pictures of the main page's first frame (and the mask that shapes the window), which the
// program carries packed in its resources, in the order of their resource ids, so that a start
// decodes no JPEG before its first frame (ui/packed_picture.h). The page under the pointer comes
// with them: the first move over the window shows it.
inline constexpr std::array<std::string_view, 5> kPackedPictures = {
    kMask, kMainPage.normal, kMainPage.down, kDpiKnob, kMainPage.over};
// Where the source tree keeps them, each as its picture's name with ".pix" for ".jpg".
inline constexpr std::string_view kPackedFolder = "src/app/win32/res/pictures";

}  // namespace v270::skin_picture
