#pragma once

#include <optional>
#include <string_view>

namespace v270::platform {

// What was found of the desktop shell, through which the driver starts programs for the user.
struct DesktopShell {
    bool found = false;            // the shell's desktop window and its process
    bool ownProcess = false;       // that process is the driver itself
    std::optional<bool> elevated;  // its token; nothing when it could not be read
};

// Why no program may start through `shell`; nothing when they may. The driver runs with
// administrator rights, which a program it starts must never get: a program starts through an
// unelevated shell, with the shell's ordinary rights, or not at all.
constexpr std::optional<std::u16string_view> shellLaunchRefusal(const DesktopShell& shell) {
    if (!shell.found)
        return u"no desktop shell runs";
    if (shell.ownProcess)
        return u"the desktop shell is this program";
    if (!shell.elevated)
        return u"the desktop shell's rights cannot be read";
    if (*shell.elevated)
        return u"the desktop shell runs with administrator rights";
    return std::nullopt;
}

}  // namespace v270::platform
