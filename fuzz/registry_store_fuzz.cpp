// The per-user registry store file is outside data (users edit it, other
// tools write it). Whatever it holds, reading must not crash, and what we
// write from a tree must read back into the same tree: writing twice gives
// the same bytes.
#include "win32/registry_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    RegNode first("");
    std::string error;
    if (!ParseRegistryExport(text, "HKEY_CURRENT_USER", first, error))
        return 0;
    const std::string written = FormatRegistryExport(first, "HKEY_CURRENT_USER");
    RegNode second("");
    if (!ParseRegistryExport(written, "HKEY_CURRENT_USER", second, error))
        std::abort();
    if (FormatRegistryExport(second, "HKEY_CURRENT_USER") != written)
        std::abort();
    return 0;
}
