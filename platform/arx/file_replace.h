// Replacing a user's file with new contents without ever leaving it damaged:
// the bytes go to a temporary file beside the real target, which is renamed
// over it only when every write, fsync and close succeeded.
//
// A symbolic link is followed, so the link stays a link and its target gets
// the new contents. An existing target keeps its permission bits (and, where
// the process may set them, its owner and group); a new one gets the mode the
// umask allows. An existing target that is read-only is refused rather than
// replaced behind the user's back by the rename: "read-only" means no write
// bit for anyone, or a file this process may not write. The mode bits are
// checked and not only access(), because access() says yes to root for any
// file, and a file its owner made read-only is a statement about the file.
#pragma once
#include <functional>
#include <string>
#include <string_view>

// False with `error` (one line, naming the file) when nothing was replaced;
// the original and its directory are then as they were.
bool ReplaceFileKeepingItsMode(const std::string& path, const std::string& contents, std::string& error);
// The same with the contents written in pieces by `writeContents` to the
// temporary file's descriptor, so that a large file is never held in memory
// whole; it returns false with errno set when a write failed.
bool ReplaceFileKeepingItsMode(const std::string& path, const std::function<bool(int fd)>& writeContents,
                               std::string& error);
// Writes all of `contents` to `fd`, going on after short writes and
// interruptions; false with errno set when the descriptor refused it.
bool WriteAll(int fd, std::string_view contents);
