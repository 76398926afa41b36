#include <windows.h>

#include <string>

#include "platform/named_event.h"
#include "platform/win32/unique_handle.h"

namespace v270::platform {

namespace {

class Win32NamedEvent final : public NamedEvent {
  public:
    explicit Win32NamedEvent(HANDLE handle) : handle_(handle) {}

  private:
    win32::UniqueHandle handle_;
};

}  // namespace

std::unique_ptr<NamedEvent> createAutoResetEvent(std::u16string_view name) {
    const std::wstring wideName(name.begin(), name.end());
    return std::make_unique<Win32NamedEvent>(CreateEventW(nullptr, FALSE, FALSE, wideName.c_str()));
}

}  // namespace v270::platform
