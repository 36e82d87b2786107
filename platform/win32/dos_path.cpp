#include "dos_path.h"

#include <algorithm>

std::string DosPathFromUnix(const std::string& unixPath)
{
    std::string dos = unixPath;
    std::replace(dos.begin(), dos.end(), '/', '\\');
    if (!unixPath.empty() && unixPath.front() == '/')
        dos.insert(0, "Z:");
    return dos;
}

std::string UnixPathFromDos(const std::string& path)
{
    std::string unix = path;
    if (unix.size() >= 2 && (unix[0] == 'Z' || unix[0] == 'z') && unix[1] == ':')
        unix.erase(0, 2);
    std::replace(unix.begin(), unix.end(), '\\', '/');
    return unix;
}
