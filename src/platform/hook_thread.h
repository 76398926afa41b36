#pragma once

#include <functional>
#include <future>
#include <stop_token>
#include <string>
#include <utility>

#include "platform/worker_thread.h"

namespace v270::platform {

// A system hook on a thread of its own. The system calls a low-level hook on the thread that
// installed it, and every event of its kind waits for that call, so the thread does nothing
// else: no work of the window's can hold the system up, or make it drop the hook. The install
// is handed over to the thread and its answer handed back; the owner's end stops the thread's
// loop, which removes the hook, and joins it.
class HookThread {
  public:
    // Runs on the thread; says whether the system took the hook.
    using Install = std::function<bool()>;
    // Runs on the thread after a successful install, until `stop`; then removes the hook.
    using Loop = std::function<void(std::stop_token stop)>;

    HookThread(std::string name, Install install, Loop loop)
        : install_(std::move(install)),
          loop_(std::move(loop)),
          thread_(std::move(name), ThreadPriority::Highest,
                  [this](std::stop_token stop) { run(std::move(stop)); }) {}

    // Starts the thread and waits for the install's answer. Once only.
    bool start() {
        std::future<bool> answer = installed_.get_future();
        thread_.ensureRunning();
        return answer.get();
    }
    // Ends the loop, the hook removed, and joins the thread; the destructor does it too.
    void stop() { thread_.stop(); }

  private:
    void run(std::stop_token stop) {
        const bool installed = install_();
        installed_.set_value(installed);
        if (installed)
            loop_(std::move(stop));
    }

    const Install install_;
    const Loop loop_;
    std::promise<bool> installed_;
    WorkerThread thread_;  // last: it ends before the rest goes
};

}  // namespace v270::platform
