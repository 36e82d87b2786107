// A customization file is outside data: anyone may edit gwmenu16.cui. Whatever
// it holds, reading it must not crash and must either load a named group or
// refuse the file with a reason.
#include "arx/cui_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CuiFile file;
    std::string error;
    if (!ParseCuiText(bytes, file, error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    if (file.group.empty())
        std::abort();
    return 0;
}
