#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/pixel_types.h"

// The one description of the shipped skin: every layout entry with its place, its labels in
// both languages and how it looks, the window outline and the popups' geometry. The layout files
// and every picture are made from it, so the two cannot drift apart.
namespace v270::skingen {

using platform::PixelRect;

inline constexpr int32_t kWindowWidth = 780;
inline constexpr int32_t kWindowHeight = 560;

enum class Table { Main, Colour, Advanced, Warning };

// How an entry is drawn in the normal, over and down pictures. Each look paints only inside its
// entry's area, so that a copy of the area from the over or down picture changes nothing else.
enum class Look {
    Label,     // text only: the same in every picture
    Button,    // a chamfered push button; down is lit red
    Profile,   // a profile button of the side bar; down marks the current profile
    Tab,       // a page tab; down marks the page shown
    Language,  // a language pill, its language's name in the picture; down: in use
    Minimise,
    Close,
    Logo,         // the maker's badge in the title bar
    AssignBox,    // a mouse button's function field, with a drop-down mark
    Badge,        // a numbered marker beside the mouse picture
    MouseButton,  // one button of the mouse picture: glows when over, lit red when down
    Switch,       // an on/off toggle: down is on
    Radio,        // a round choice: down is chosen
    Indicator,    // a light: down is lit in the DPI level's colour
    DpiCell,      // a stop of a DPI slider; the knob picture marks the chosen one
    Segment,      // one step of a ten-step speed scale; down is the chosen step
    FireBar,      // the fire interval bar: down is filled
    Plus,
    Minus,
    LedMode,   // an LED mode button with its sign
    Panel,     // a framed read-out that only glows under the pointer
    Preview,   // the LED preview: the mouse lit in the colour of the picture
    PalmLogo,  // the sign on the mouse's palm
    Chin,      // the plate at the window's lower edge
};

struct Entry {
    Table table;
    int32_t index;
    const char* name;  // field 0 of the record: free text, no comma
    PixelRect area;    // left, top, right, bottom
    std::string english;
    std::string chinese;  // UTF-8 here; the Chinese layout files are UTF-16
    Look look;
    int32_t variant = 0;  // the DPI level, the step, the LED mode or the button number
};

// A rectangle from its position and size, as the layout files give it.
constexpr PixelRect at(int32_t x, int32_t y, int32_t width, int32_t height) {
    return {x, y, x + width, y + height};
}

struct ControlRects {
    PixelRect repeatEdit;
    PixelRect nameEdit;
    PixelRect macroList;
    PixelRect stepList;
};

struct FunctionName {
    std::string english;
    std::string chinese;
};

// The popup menus: ten rows for the function menu, twelve for a sub-menu.
struct MenuGeometry {
    int32_t rowWidth;
    int32_t rowHeight;
    int32_t rows;
    // The picture height: rows of rowHeight and the one-pixel line the window adds below them.
    int32_t height() const { return rows * rowHeight + 1; }
};

struct SkinDescription {
    std::vector<Entry> entries;
    ControlRects controls;
    std::array<FunctionName, 54> functionNames;
    // The window's outline, clockwise; the mask is this polygon, dark on white.
    std::vector<std::array<int32_t, 2>> outline;
    MenuGeometry menu;
    MenuGeometry subMenu;
    platform::PixelSize warningSize;
    std::vector<std::array<int32_t, 2>> warningOutline;

    const Entry* find(Table table, int32_t index) const;
};

const SkinDescription& shippedSkin();

// The colours of the four DPI levels, which the LED preview shows too:
// blue, pink, red, purple.
inline constexpr std::array<platform::Rgb, 4> kLevelColours = {
    platform::Rgb{0, 140, 255}, platform::Rgb{255, 70, 180}, platform::Rgb{255, 40, 50},
    platform::Rgb{170, 70, 255}};

}  // namespace v270::skingen
