#include <pthread.h>

#include <string>

#include "platform/thread_setup.h"

namespace v270::platform {

// Linux keeps 15 bytes of a thread's name. Priorities above normal need privileges the tests
// and tools do not have, so the priority is left to the scheduler.
void prepareCurrentThread(std::string_view name, ThreadPriority) {
    const std::string cut(name.substr(0, 15));
    pthread_setname_np(pthread_self(), cut.c_str());
}

}  // namespace v270::platform
