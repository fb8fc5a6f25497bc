// Finding the file a privileged write may go to, following only links nobody else planted.
// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// The kernel's fs.protected_symlinks guards only sticky world-writable folders; a plant folder
// that a group may write is not one. Every write of ours therefore walks its path itself and
// follows a link only when it belongs to the writer (the effective user), to root, or to the owner
// of the folder that holds it and leads to something that user owns: nobody can point our write
// at a file they could not write themselves. A link to nothing is never followed, so no write
// creates a file where a link points.
namespace link_walk {

// The folder that holds the file `path` names, open with O_PATH (the caller closes it), and the
// file's name there, which is no link: the file, or nothing yet, or something else (a FIFO). -1
// with errno when `path` is empty or a folder is missing or closed, when a link is refused
// (EACCES), or when `path` names a folder (EISDIR: ".", "..", ends in "/").
int OpenFolderOf(const std::string& path, std::string& name);

}  // namespace link_walk
