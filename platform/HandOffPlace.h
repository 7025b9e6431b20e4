// Where the hand-off between editors and launchers meets: a private per-user directory for the
// message sockets and the lock that guards the named blocks, and the namespace that keeps
// unrelated sessions (and parallel tests) apart.
#pragma once

#include "platform/IoStatus.h"

#include <cstddef>
#include <string>
#include <sys/types.h>

namespace platform {

struct HandOffPlace {
    std::string dir; // ends with "/"
    std::string ns;
    uid_t uid = 0;
};

// ZUN_HANDOFF_NS when set (letters, digits, ".", "_" and "-", at most 32 of them, not "." or
// ".."), else "default". Empty when the variable holds anything else.
std::string HandOffNamespace();

// The longest socket name the place must still have room for (see MessageWindow).
inline constexpr std::size_t HandOffSocketNameLength = 9;

// Makes (or checks) $XDG_RUNTIME_DIR/zun/<ns>/, or, without a usable XDG_RUNTIME_DIR,
// zun-<uid>/<ns>/ in the system's temporary directory ($TMPDIR, else /tmp). Each directory of
// ours is 0700; one that is a symbolic link, belongs to someone else or is open to others is
// refused, and so is a place whose socket names would not fit an AF_UNIX address.
IoStatus OpenHandOffPlace(HandOffPlace& place);

} // namespace platform
