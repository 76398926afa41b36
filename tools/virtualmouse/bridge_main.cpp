// v270-mousebridge: joins the virtual mouse (v270vmouse.sys) to a simulated mouse, for tests
// under Wine. It runs for a whole test session, which it also keeps alive: the Wine session, and
// with it the driver's host, lives as long as one of its programs does.
//
//   v270-mousebridge.exe [--inf PATH]
//
//   --inf PATH   the driver's INF (default: v270vmouse.inf beside the bridge)
//
// Writes "ready" once it runs, then reads one command a line from standard input and answers
// each with one line:
//   attach PORT [MOUSE]
//                  virtual mouse MOUSE (0, the default, or 1) follows the simulator whose HID
//                  port is PORT on 127.0.0.1: it is installed with the simulator's report lengths
//                  when that is plugged in, removed when not; "ok" once the devices are as the
//                  simulator says
//   release PORT   stop following that simulator (before it ends), leaving the devices as they are
//   detach [MOUSE] stop following any simulator and remove the devices of mouse MOUSE, or of
//                  every mouse: no mouse
//   counters       the driver's counters, as JSON
//   log            the input reports handed to the driver and the feature reports taken from it
//                  since the last log, with their times in microseconds of the performance
//                  counter (the host's CLOCK_MONOTONIC_RAW under Wine), as JSON
//   quit           end
// Replies that start with "error: " say what failed. The end of standard input ends it too.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "device_install.h"
#include "mouse_bridge.h"
#include "platform/worker_thread.h"

int wmain(int argc, wchar_t** argv) {
    std::wstring inf = v270::virtualmouse::infBesideProgram();
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--inf") == 0 && i + 1 < argc) {
            inf = argv[++i];
        } else {
            std::fputs("usage: v270-mousebridge.exe [--inf PATH]\n", stderr);
            return 2;
        }
    }
    v270::virtualmouse::MouseBridge bridge(inf);
    v270::platform::WorkerThread commands(
        "v270 bridge commands", v270::platform::ThreadPriority::Normal, [&bridge](std::stop_token) {
            char line[256];
            while (std::fgets(line, sizeof line, stdin) != nullptr) {
                std::string text(line);
                while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                    text.pop_back();
                if (text.empty())
                    continue;
                const bool last = text == "quit";
                bridge.post(std::move(text));
                if (last)
                    return;
            }
            bridge.endOfCommands();
        });
    commands.ensureRunning();
    std::puts("ready");
    std::fflush(stdout);
    bridge.run([](const std::string& reply) {
        std::fputs((reply + "\n").c_str(), stdout);
        std::fflush(stdout);
    });
    return 0;
}
