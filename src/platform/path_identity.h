#pragma once
// What a path names when a file is to be written through it: a descriptor the program already holds
// (/dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N, or a link to one of them), or a file, existing or yet
// to be created, told apart from others by device and inode, or by its place for a file not yet there.
#include <optional>
#include <string>

namespace platform {

// The folder part of a path: "." without a '/', "/" for a file in the root.
std::string FolderOf(const std::string &path);
// The name part of a path: what follows its last '/', or the whole path without one.
std::string NameOf(const std::string &path);
// The path with every link and "." / ".." resolved, for a path that exists; nothing (errno says why) otherwise.
std::optional<std::string> RealPath(const std::string &path);

// The file a dangling link points to (which writing creates), following a chain of links; the path itself
// when it is no link or the chain cannot be read.
std::string DanglingLinkTarget(const std::string &path);

// The descriptor that the path names through this process's descriptor folder, or -1 for any other path.
int NamedDescriptor(const std::string &path);

// Whether writing either path would write over the other's regular file: the same regular file (device and
// inode, whatever the names: links, "./X"), or the same place of a file that does not exist yet. Pipes,
// devices and folders never count: what is written to them replaces nothing.
bool NameSameRegularFile(const std::string &first, const std::string &second);

} // namespace platform
