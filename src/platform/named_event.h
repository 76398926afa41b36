#pragma once

#include <memory>
#include <string_view>

namespace v270::platform {

// A named kernel event, held open while this object lives.
class NamedEvent {
  public:
    virtual ~NamedEvent() = default;
};

// Creates (or opens) the auto-reset event `name`, not signalled. Where the system has no named
// events the object holds nothing.
std::unique_ptr<NamedEvent> createAutoResetEvent(std::u16string_view name);

}  // namespace v270::platform
