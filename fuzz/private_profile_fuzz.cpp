// Settings files are chosen by the user and may hold anything. Reading one
// must not crash or overrun the caller's buffer, and a value just written
// must read back whatever else the file holds.
#include "winbase.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/gw_profile_fuzz." + std::to_string(getpid()) + ".ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    char small[8];
    char large[256];
    for (const char* key : {"StartRow", "AsText", "X"}) {
        const DWORD got = GetPrivateProfileStringA("Export", key, "", small, sizeof small, path.c_str());
        if (got >= sizeof small || std::strlen(small) != got)
            std::abort();
        GetPrivateProfileStringA("Import", key, "d", large, sizeof large, path.c_str());
    }
    if (WritePrivateProfileStringA("Export", "StartRow", "42", path.c_str())) {
        const DWORD got = GetPrivateProfileStringA("export", "startrow", "", large, sizeof large, path.c_str());
        if (got != 2 || std::strcmp(large, "42") != 0)
            std::abort();
    }
    return 0;
}
