// Whole-file reads and writes, the atomic replace of a file, and small file-system queries.
#pragma once

#include "platform/IoStatus.h"

#include <string>

namespace platform {

// Reads every byte of the file into text; on any failure text is left empty.
IoStatus ReadWholeFile(const std::string& path, std::string& text);

// Replaces the file's content as one step: the bytes go to a new temporary file in the same
// directory, which is flushed to disk and then renamed over the target. On any failure the
// previous file is untouched and the temporary file is gone. A target without any write
// permission bit counts as read-only and is refused, also for the superuser, as a read-only
// file is on the platforms the project files come from.
IoStatus WriteFileAtomic(const std::string& path, const std::string& bytes);

// How WriteFileReplacing reached the file.
enum class WriteWay { None, Atomic, InPlace };

// WriteFileAtomic, and where the directory refuses the temporary file or the rename while the
// file itself may be written (a user's file in a folder they may not write), the file is
// rewritten in place: the room for the new bytes is reserved first and the old bytes are kept,
// so that a write failing part-way puts them back. A failure names the file and the reason.
IoStatus WriteFileReplacing(const std::string& path, const std::string& bytes, WriteWay& way);

bool FileExists(const std::string& path); // a regular file (after symbolic links)
bool DirectoryExists(const std::string& path);
bool RemoveFile(const std::string& path);

// The directory part of a path with its trailing "/", or "" for a bare file name.
std::string DirectoryOf(const std::string& path);

} // namespace platform
