// The files of a drag and drop: the local paths named by a dropped "text/uri-list".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One URI a line (CR LF or LF), "#" lines are comments. A "file:" URI of this machine (no host,
// "localhost" or this host's name) gives its path with every %XX decoded to its byte, so any
// file name the file system holds comes through; every other URI, and a path holding a zero
// byte, is left out. The order is the list's.
std::vector<std::string> LocalFilesOfUriList(std::string_view uriList);

} // namespace platform
