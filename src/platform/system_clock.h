#pragma once

#include <memory>

#include "platform/clock.h"

namespace v270::platform {

// The system's clock. On Windows it raises the process's timer resolution for as long as it
// lives and waits on high-resolution timers where the system has them, so that waits of a few
// milliseconds last what they say; create one where the program starts and keep it.
std::unique_ptr<Clock> createSystemClock();

}  // namespace v270::platform
