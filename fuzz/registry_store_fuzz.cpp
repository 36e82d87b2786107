// The per-user registry store file is outside data (users edit it, other
// tools write it, in whichever encoding they like). Whatever it holds,
// reading must not crash, and what we write from a tree must read back into
// the same tree: writing twice gives the same bytes, in the encoding the
// file came in.
#include "registry_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string text;
    std::string error;
    RegistryFileEncoding encoding = RegistryFileEncoding::Ansi;
    if (!DecodeRegistryFile(bytes, text, encoding, error))
        return 0;
    RegNode first("");
    if (!ParseRegistryExport(text, "HKEY_CURRENT_USER", first, error))
        return 0;
    const std::string written = FormatRegistryExport(first, "HKEY_CURRENT_USER");
    const std::string encoded = EncodeRegistryFile(written, encoding);
    std::string decoded;
    RegistryFileEncoding again = RegistryFileEncoding::Ansi;
    if (!DecodeRegistryFile(encoded, decoded, again, error) || again != encoding || decoded != written)
        std::abort();
    RegNode second("");
    if (!ParseRegistryExport(decoded, "HKEY_CURRENT_USER", second, error))
        std::abort();
    if (FormatRegistryExport(second, "HKEY_CURRENT_USER") != written)
        std::abort();
    return 0;
}
