// GetFileVersionInfoSizeA, GetFileVersionInfoA and VerQueryValueA over the
// version record the resource compiler stand-in puts into a module.
//
// The copied block is self-contained (no pointers into the module), so it
// outlives the module's mapping, as the caller's buffer does on Windows:
//   "GWVI" | total size | VS_FIXEDFILEINFO | entry count |
//   entries: path length | path (NUL-ended) | kind | value size | value,
//   the kind and the value each on a 4-byte boundary. Paths are the
//   VerQueryValueA paths.
#include "dos_path.h"
#include "errhandlingapi.h"
#include "version_resource.h"
#include "winerror.h"
#include "winver.h"

#include <dlfcn.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kMagic[4] = {'G', 'W', 'V', 'I'};
constexpr std::uint32_t kText = 1;
constexpr std::uint32_t kBinary = 0;

struct Header {
    char magic[4];
    std::uint32_t size;
    VS_FIXEDFILEINFO fixed;
    std::uint32_t entryCount;
};

std::size_t Aligned(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

void Append(std::vector<unsigned char>& out, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    out.insert(out.end(), bytes, bytes + size);
}

void AppendWord(std::vector<unsigned char>& out, std::uint32_t value) { Append(out, &value, sizeof value); }

void AppendEntry(std::vector<unsigned char>& out, const std::string& path, std::uint32_t kind, const void* value,
                 std::size_t size)
{
    AppendWord(out, static_cast<std::uint32_t>(path.size() + 1));
    Append(out, path.c_str(), path.size() + 1);
    // Values start on a 4-byte boundary, as Windows aligns them, so that a
    // caller may read the Translation words in place.
    out.resize(Aligned(out.size()), 0);
    AppendWord(out, kind);
    AppendWord(out, static_cast<std::uint32_t>(size));
    Append(out, value, size);
    out.resize(Aligned(out.size()), 0);
}

DWORD Pack(unsigned short high, unsigned short low) { return (static_cast<DWORD>(high) << 16) | low; }

std::vector<unsigned char> Serialise(const GwVersionResource& resource)
{
    Header header {};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.fixed.dwSignature = VS_FFI_SIGNATURE;
    header.fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    header.fixed.dwFileVersionMS = Pack(resource.fileVersion[0], resource.fileVersion[1]);
    header.fixed.dwFileVersionLS = Pack(resource.fileVersion[2], resource.fileVersion[3]);
    header.fixed.dwProductVersionMS = Pack(resource.productVersion[0], resource.productVersion[1]);
    header.fixed.dwProductVersionLS = Pack(resource.productVersion[2], resource.productVersion[3]);
    header.fixed.dwFileFlagsMask = resource.fileFlagsMask;
    header.fixed.dwFileFlags = resource.fileFlags;
    header.fixed.dwFileOS = resource.fileOS;
    header.fixed.dwFileType = resource.fileType;
    header.fixed.dwFileSubtype = resource.fileSubtype;
    header.entryCount = static_cast<std::uint32_t>(resource.stringCount + (resource.translationWords > 0 ? 1 : 0));

    std::vector<unsigned char> out;
    Append(out, &header, sizeof header);
    for (int i = 0; i < resource.stringCount; ++i) {
        const GwVersionString& entry = resource.strings[i];
        const std::string path = std::string("\\StringFileInfo\\") + entry.block + "\\" + entry.name;
        AppendEntry(out, path, kText, entry.value, std::strlen(entry.value) + 1);
    }
    if (resource.translationWords > 0)
        AppendEntry(out, "\\VarFileInfo\\Translation", kBinary, resource.translation,
                    static_cast<std::size_t>(resource.translationWords) * sizeof(unsigned short));
    const auto size = static_cast<std::uint32_t>(out.size());
    std::memcpy(out.data() + offsetof(Header, size), &size, sizeof size);
    return out;
}

// The module's version information, serialised; false with the last error
// set when there is none.
bool ReadVersionInfo(LPCSTR fileName, std::vector<unsigned char>& block)
{
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const std::string path = UnixPathFromDos(fileName);
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    // A module already loaded is found again without running anything; one
    // that is not is mapped for the read only.
    void* module = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL | RTLD_NOLOAD);
    if (!module)
        module = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!module) {
        SetLastError(ERROR_BAD_FORMAT);
        return false;
    }
    const auto* resource = static_cast<const GwVersionResource*>(dlsym(module, GW_VERSION_RESOURCE_SYMBOL));
    if (resource)
        block = Serialise(*resource);
    dlclose(module);
    if (!resource) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return false;
    }
    return true;
}

} // namespace

DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle)
{
    if (handle)
        *handle = 0;
    std::vector<unsigned char> block;
    if (!ReadVersionInfo(fileName, block))
        return 0;
    return static_cast<DWORD>(block.size());
}

BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD, DWORD length, LPVOID data)
{
    if (!data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<unsigned char> block;
    if (!ReadVersionInfo(fileName, block))
        return FALSE;
    // As on Windows a short buffer takes what fits; its size field still says
    // the whole, and VerQueryValueA reads only what is there.
    const std::size_t copied = std::min<std::size_t>(block.size(), length);
    std::memcpy(data, block.data(), copied);
    if (copied < sizeof(Header)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* header = static_cast<Header*>(data);
    header->size = static_cast<std::uint32_t>(copied);
    return TRUE;
}

BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, UINT* length)
{
    if (length)
        *length = 0;
    if (!block || !buffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto* bytes = static_cast<const unsigned char*>(block);
    Header header;
    std::memcpy(&header, bytes, sizeof header);
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string wanted = subBlock ? subBlock : "";
    if (wanted.empty() || wanted == "\\") {
        *buffer = const_cast<unsigned char*>(bytes + offsetof(Header, fixed));
        if (length)
            *length = sizeof(VS_FIXEDFILEINFO);
        return TRUE;
    }
    std::size_t at = sizeof header;
    for (std::uint32_t i = 0; i < header.entryCount && at + 12 <= header.size; ++i) {
        std::uint32_t pathLength;
        std::memcpy(&pathLength, bytes + at, 4);
        const char* path = reinterpret_cast<const char*>(bytes + at + 4);
        const std::size_t next = Aligned(at + 4 + pathLength);
        if (next + 8 > header.size)
            break;
        std::uint32_t size;
        std::memcpy(&size, bytes + next + 4, 4);
        const std::size_t valueAt = next + 8;
        if (valueAt + size > header.size)
            break;
        if (strcasecmp(path, wanted.c_str()) == 0) {
            *buffer = const_cast<unsigned char*>(bytes + valueAt);
            // An ANSI text's size in bytes is its length in characters with
            // the terminator, which is what Windows reports for texts.
            if (length)
                *length = size;
            return TRUE;
        }
        at = Aligned(valueAt + size);
    }
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return FALSE;
}
