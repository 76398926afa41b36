#pragma once

#include <memory>

#include "platform/clock.h"

namespace v270::platform {

// The system's clock. On Windows it waits on high-resolution timers where the system has them,
// and raises the process's timer resolution only while precision is held; create one where the
// program starts and keep it.
std::unique_ptr<Clock> createSystemClock();

}  // namespace v270::platform
