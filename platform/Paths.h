// Where the program lives and the per-user places that stand in when it cannot write there.
#pragma once

#include "platform/IoStatus.h"

#include <string>

namespace platform {

// Directory of the running program, ending with "/".
std::string ProgramDir();

// $XDG_CONFIG_HOME/zun/ (else $HOME/.config/zun/), ending with "/"; not created here.
std::string UserConfigDir();
// $XDG_CACHE_HOME/zun/ (else $HOME/.cache/zun/), ending with "/"; not created here.
std::string UserCacheDir();

// The current directory, ending with "/"; empty when it cannot be read.
std::string CurrentDirectory();

// The path made absolute against the current directory, with "." and "name/.." folded where
// that still names the same file: a ".." after a symbolic link leads to the parent of the link's
// target, so it stays. An empty path stays empty.
std::string AbsolutePath(const std::string& path);

// Creates the directory and its missing parents.
IoStatus MakeDirectories(const std::string& dir);

// Whether a new file can be created, written and removed in the directory. The probe uses a
// fresh name that no other file has, so nothing of the user's is ever touched.
bool ProbeDirectoryWritable(const std::string& dir);

} // namespace platform
