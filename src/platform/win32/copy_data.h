#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace v270::win32 {

// Hands `bytes`, tagged with `tag`, to `window` of another process and waits up to `timeoutMs`
// for it to take them; a window that does not answer in time is left alone. True when the
// window answered that it took them. `from` is the sender's window, where an answer may go.
inline bool sendCopyData(HWND window, ULONG_PTR tag, std::span<uint8_t> bytes, UINT timeoutMs,
                         HWND from = nullptr) {
    COPYDATASTRUCT data{tag, static_cast<DWORD>(bytes.size()), bytes.data()};
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_COPYDATA, reinterpret_cast<WPARAM>(from),
                               reinterpret_cast<LPARAM>(&data),
                               SMTO_ABORTIFHUNG, timeoutMs, &result) != 0 &&
           result == TRUE;
}

}  // namespace v270::win32
