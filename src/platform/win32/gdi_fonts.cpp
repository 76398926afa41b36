#include "platform/win32/gdi_fonts.h"

namespace v270::win32 {

GdiFonts::GdiFonts(int32_t dpi)
    : dpi_(dpi),
      english_(CreateFontW(platform::fontCell(platform::FontChoice::English, dpi).height,
                           platform::fontCell(platform::FontChoice::English, dpi).width, 0, 0,
                           FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_STRING_PRECIS,
                           CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_ROMAN,
                           L"Consolas")),
      chinese_(CreateFontW(platform::fontCell(platform::FontChoice::Chinese, dpi).height,
                           platform::fontCell(platform::FontChoice::Chinese, dpi).width, 0, 0,
                           FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                           L"\u5B8B\u4F53")) {}  // 宋体

}  // namespace v270::win32
