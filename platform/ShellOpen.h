// Hands a file or web address to the desktop's opener, and starts a program without waiting.
#pragma once

#include "platform/IoStatus.h"

#include <string>
#include <vector>

namespace platform {

// Starts argv[0] (looked up in PATH when it has no "/") with the arguments exactly as given,
// never through a shell, and does not wait for it. The program is detached: it outlives the
// caller and leaves no zombie. Fails when the program cannot be started.
IoStatus SpawnDetached(const std::vector<std::string>& argv);

// Opens a file or an address with the user's preferred application (xdg-open).
IoStatus ShellOpen(const std::string& target);

} // namespace platform
