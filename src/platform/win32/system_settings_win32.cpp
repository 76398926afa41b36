#include "platform/win32/system_settings_win32.h"

#include <windows.h>

#include <cstdint>

namespace v270::win32 {

std::optional<int32_t> Win32SystemSettings::pointerSpeed() {
    int speed = 0;
    if (!SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0))
        return std::nullopt;
    return speed;
}

void Win32SystemSettings::setPointerSpeed(int32_t speed) {
    // Windows takes the speed as the pointer argument itself, not through it, and ignores the
    // integer argument; Wine 8 reads the integer argument instead. Both carry it.
    SystemParametersInfoW(SPI_SETMOUSESPEED, static_cast<UINT>(speed),
                          reinterpret_cast<PVOID>(static_cast<intptr_t>(speed)),
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

std::optional<uint32_t> Win32SystemSettings::wheelScrollLines() {
    UINT lines = 0;
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        return std::nullopt;
    return lines;
}

void Win32SystemSettings::setWheelScrollLines(uint32_t lines) {
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr, SPIF_UPDATEINIFILE);
}

}  // namespace v270::win32
