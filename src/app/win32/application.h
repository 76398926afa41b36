#pragma once

#include <windows.h>

#include <filesystem>

namespace v270::win32 {

// The application object: it finds the program's folder, keeps a second copy from running, and
// runs the main window until it ends.
class DAVO_RUravuVez {
  public:
    explicit DAVO_RUravuVez(HINSTANCE instance);

    // Runs the program; returns when the main window has ended, or at once in a second copy,
    // after bringing back the window of the first. Returns the process's exit code.
    int InitInstance();

    const std::filesystem::path& exeFolder() const { return exeFolder_; }

  private:
    HINSTANCE instance_;
    std::filesystem::path exeFolder_;
};

}  // namespace v270::win32
