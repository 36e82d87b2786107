#include "input_file_check.h"

#include <text_for_terminal.h>
#include <unique_fd.h>

#include <cstdint>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* Noun(InputFileKind kind) { return kind == InputFileKind::Drawing ? "a drawing" : "a workbook"; }

std::uint32_t Little(const unsigned char* p, int bytes)
{
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

// The media type an OpenDocument package declares, or empty for anything
// else. The package format puts a "mimetype" entry first in the zip, stored
// uncompressed, exactly so that its type can be read from the first bytes
// whatever the file is called.
std::string OpenDocumentType(int fd)
{
    unsigned char head[256];
    ssize_t got = 0;
    while (got < static_cast<ssize_t>(sizeof head)) {
        const ssize_t n = ::read(fd, head + got, sizeof head - static_cast<std::size_t>(got));
        if (n <= 0)
            break;
        got += n;
    }
    constexpr int kHeader = 30; // a zip local file header before its name
    if (got < kHeader || Little(head, 4) != 0x04034b50)
        return {};
    const std::uint32_t method = Little(head + 8, 2);
    const std::uint32_t size = Little(head + 18, 4);
    const std::uint32_t nameLength = Little(head + 26, 2);
    const std::uint32_t extraLength = Little(head + 28, 2);
    const std::string_view name(reinterpret_cast<const char*>(head + kHeader), nameLength);
    const std::size_t dataAt = kHeader + std::size_t(nameLength) + extraLength;
    if (method != 0 || name != "mimetype" || dataAt + size > static_cast<std::size_t>(got))
        return {};
    std::string type(reinterpret_cast<const char*>(head + dataAt), size);
    const std::string_view prefix = "application/vnd.oasis.opendocument.";
    return type.compare(0, prefix.size(), prefix) == 0 ? type : std::string();
}

} // namespace

bool CheckInputFile(const std::string& path, InputFileKind kind, std::string& error)
{
    const std::string shown = TextForTerminal(path);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return true;
    if (S_ISDIR(info.st_mode)) {
        error = shown + " is a directory, not " + Noun(kind);
        return false;
    }
    if (S_ISFIFO(info.st_mode)) {
        error = shown + " is a FIFO (named pipe), not " + Noun(kind);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = shown + " is not a regular file, not " + Noun(kind);
        return false;
    }
    // O_NONBLOCK: the file may have been swapped for a FIFO since the stat.
    const UniqueFd file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.get() < 0)
        return true;
    const std::string type = OpenDocumentType(file.get());
    if (type.empty())
        return true;
    if (kind == InputFileKind::Workbook && type == "application/vnd.oasis.opendocument.spreadsheet")
        error = shown + " is an OpenDocument spreadsheet; save it as .xlsx";
    else if (kind == InputFileKind::Workbook)
        error = shown + " is an OpenDocument file (" + TextForTerminal(type) + "), not an .xlsx workbook";
    else
        error = shown + " is an OpenDocument file (" + TextForTerminal(type) + "), not a DXF drawing";
    return false;
}
