#include "winbase.h"

#include "dos_path.h"
#include "errhandlingapi.h"
#include "text_file.h"
#include "winerror.h"

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string Trim(const std::string& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// The section name of a "[name]" line.
std::optional<std::string> SectionName(const std::string& line)
{
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] != '[')
        return std::nullopt;
    const size_t close = trimmed.find(']');
    return Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

// The key and raw value of a "key = value" line; comments and lines without
// '=' are no entries.
bool SplitEntry(const std::string& line, std::string& key, std::string& value)
{
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == ';')
        return false;
    const size_t equals = trimmed.find('=');
    if (equals == std::string::npos)
        return false;
    key = Trim(trimmed.substr(0, equals));
    value = Trim(trimmed.substr(equals + 1));
    return true;
}

struct Location {
    size_t sectionLine = 0;    // index of the "[section]" line
    size_t lastEntryLine = 0;  // last non-blank line of the section
    std::optional<size_t> keyLine;
};

std::optional<Location> Find(const std::vector<std::string>& lines, const std::string& section,
                             const std::string& key)
{
    std::optional<Location> found;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (auto name = SectionName(lines[i])) {
            if (found)
                break;
            if (SameName(*name, section))
                found = Location{i, i, std::nullopt};
            continue;
        }
        if (!found)
            continue;
        if (!Trim(lines[i]).empty())
            found->lastEntryLine = i;
        std::string entryKey;
        std::string value;
        if (!found->keyLine && SplitEntry(lines[i], entryKey, value) && SameName(entryKey, key))
            found->keyLine = i;
    }
    return found;
}

// The caller gets a C string: a NUL byte in the file ends the value there.
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size)
{
    if (!buffer || size == 0)
        return 0;
    const size_t length = std::min<size_t>(std::min(text.size(), text.find('\0')), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

} // namespace

DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName)
{
    if (!lpAppName || !lpKeyName || !lpFileName) {
        CopyOut("", lpReturnedString, nSize);
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // Windows hands back the default without its trailing blanks.
    std::string fallback = lpDefault ? lpDefault : "";
    while (!fallback.empty() && fallback.back() == ' ')
        fallback.pop_back();

    std::string text;
    std::string error;
    const ReadResult read = ReadWholeFile(UnixPathFromDos(lpFileName), text, error);
    if (read != ReadResult::Ok) {
        SetLastError(read == ReadResult::Missing ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
        return CopyOut(fallback, lpReturnedString, nSize);
    }
    const std::vector<std::string> lines = SplitLines(text);
    const auto found = Find(lines, lpAppName, lpKeyName);
    if (!found || !found->keyLine) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return CopyOut(fallback, lpReturnedString, nSize);
    }
    std::string key;
    std::string value;
    SplitEntry(lines[*found->keyLine], key, value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    SetLastError(ERROR_SUCCESS);
    return CopyOut(value, lpReturnedString, nSize);
}

BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName)
{
    if (!lpAppName || !lpKeyName || !lpString || !lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string path = UnixPathFromDos(lpFileName);
    std::string text;
    std::string error;
    if (ReadWholeFile(path, text, error) == ReadResult::Failed) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    std::vector<std::string> lines = SplitLines(text);
    const std::string entry = std::string(lpKeyName) + "=" + lpString;
    const auto found = Find(lines, lpAppName, lpKeyName);
    if (!found) {
        lines.push_back("[" + std::string(lpAppName) + "]");
        lines.push_back(entry);
    } else if (found->keyLine) {
        // Keep the key as the file spells it.
        std::string key;
        std::string value;
        SplitEntry(lines[*found->keyLine], key, value);
        lines[*found->keyLine] = key + "=" + lpString;
    } else {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(found->lastEntryLine + 1), entry);
    }
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    if (!ReplaceFileContents(path, out, false, error)) {
        const std::filesystem::path parent = std::filesystem::path(path).parent_path();
        std::error_code ec;
        const bool folderExists = parent.empty() || std::filesystem::is_directory(parent, ec);
        SetLastError(folderExists ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
