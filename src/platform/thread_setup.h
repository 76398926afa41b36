#pragma once

#include <string_view>

namespace v270::platform {

enum class ThreadPriority { Normal, Highest };

// Names the calling thread, so that process tools and debuggers show what it is, and sets its
// scheduling priority. Where the system refuses either, the thread runs on unnamed or at normal
// priority.
void prepareCurrentThread(std::string_view name, ThreadPriority priority);

}  // namespace v270::platform
