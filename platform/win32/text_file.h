// Whole-file reading and safe replacement, shared by the stand-ins that keep
// state in files (the per-user registry, private-profile files).
#pragma once
#include <cstddef>
#include <limits>
#include <string>

enum class ReadResult { Ok, Missing, Failed };

// Reads the whole file as bytes; `error` says why on Failed. Only a regular
// file is read: a directory, FIFO, device or socket fails at once (a FIFO is
// opened without waiting for a writer), and so does a file larger than
// maxBytes, which is never read further than that.
ReadResult ReadWholeFile(const std::string& path, std::string& contents, std::string& error,
                         std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

// Writes `contents` to a temporary file beside `path` and renames it over
// `path`, so that a failed write never leaves a half-written file behind.
// With createFolders, missing parent folders are created first.
bool ReplaceFileContents(const std::string& path, const std::string& contents, bool createFolders,
                         std::string& error);
