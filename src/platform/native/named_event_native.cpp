#include "platform/named_event.h"

namespace v270::platform {

namespace {

// Nothing here waits on named events, so there is nothing to hold.
class NoNamedEvent final : public NamedEvent {};

}  // namespace

std::unique_ptr<NamedEvent> createAutoResetEvent(std::u16string_view /*name*/) {
    return std::make_unique<NoNamedEvent>();
}

}  // namespace v270::platform
