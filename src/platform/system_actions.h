#pragma once

#include <filesystem>
#include <memory>

namespace v270::platform {

// The shell and session actions that buttons can perform.
class SystemActions {
  public:
    virtual ~SystemActions() = default;

    // Opens the shell's computer folder in a normal window.
    virtual void openComputerFolder() = 0;

    // Starts the program at `program`, a full path, with a shown window. The path is never
    // searched for, so no program of the same name elsewhere can be started in its place.
    virtual void startProgram(const std::filesystem::path& program) = 0;

    // Locks the workstation.
    virtual void lockWorkStation() = 0;

    // The folder of the system's own programs (calc.exe, cmd.exe).
    virtual std::filesystem::path systemFolder() const = 0;
};

// The platform's actions: the shell on Windows; natively they do nothing, as there is no such
// shell, and the system folder is /usr/bin.
std::unique_ptr<SystemActions> createSystemActions();

}  // namespace v270::platform
