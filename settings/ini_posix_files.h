#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

// What the POSIX INI backend needs to know of a file besides its lines.
namespace ini::posix {

enum class ReadResult { kRead, kMissing, kFailed };

// A regular file's bytes and, when `info` is given, its status.
ReadResult ReadWholeFile(const std::string& path, std::string& bytes, struct stat* info);

std::string DirName(const std::string& path);

// Follows symbolic links so that the link stays a link and the file it names gets the new
// bytes. A dangling link names the file to create.
bool ResolveLinks(const std::string& file_name, std::string& path);

// Gives the open file `to` exactly the extended attributes of the file at `from` (the POSIX ACL
// and security labels among them); false when one cannot be read, set or removed.
bool CopyAttributes(const std::string& from, int to);

}  // namespace ini::posix
