// Paths as the module sees them. Like Wine, the stand-ins show the Unix file
// system to the module as drive Z: with backslashes ("Z:\home\me\gwell16.arx"),
// so the module's path handling (cut at the last backslash, join with one) is
// the real platform's. Every stand-in that takes a path from the module maps it
// back with UnixPathFromDos; plain Unix paths and relative paths pass through.
#pragma once
#include <string>

std::string DosPathFromUnix(const std::string& unixPath);
std::string UnixPathFromDos(const std::string& path);
