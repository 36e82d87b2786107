#include "winbase.h"

#include "errhandlingapi.h"
#include "winerror.h"

#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace {

// Windows' English system messages, CR LF included, keyed by the code the
// system table files them under (Win32 codes, and HRESULTs of other facilities).
const std::unordered_map<DWORD, const char*>& MessageTable()
{
    static const std::unordered_map<DWORD, const char*> table = {
        {0, "The operation completed successfully.\r\n"},
        {2, "The system cannot find the file specified.\r\n"},
        {3, "The system cannot find the path specified.\r\n"},
        {5, "Access is denied.\r\n"},
        {6, "The handle is invalid.\r\n"},
        {8, "Not enough storage is available to process this command.\r\n"},
        {14, "Not enough storage is available to complete this operation.\r\n"},
        {87, "The parameter is incorrect.\r\n"},
        {122, "The data area passed to a system call is too small.\r\n"},
        {126, "The specified module could not be found.\r\n"},
        {1004, "Invalid flags.\r\n"},
        {1113, "No mapping for the Unicode character exists in the target multi-byte code page.\r\n"},
        {0x8000FFFFu, "Catastrophic failure\r\n"},
        {0x80004001u, "Not implemented\r\n"},
        {0x80004002u, "No such interface supported\r\n"},
        {0x80004003u, "Invalid pointer\r\n"},
        {0x80004004u, "Operation aborted\r\n"},
        {0x80004005u, "Unspecified error\r\n"},
        {0x80010001u, "Call was rejected by callee.\r\n"},
        {0x80010105u, "The server threw an exception.\r\n"},
        {0x80010108u, "The object invoked has disconnected from its clients.\r\n"},
        {0x8001010Eu, "The application called an interface that was marshalled for a different thread.\r\n"},
        {0x80020001u, "Unknown interface.\r\n"},
        {0x80020003u, "Member not found.\r\n"},
        {0x80020004u, "Parameter not found.\r\n"},
        {0x80020005u, "Type mismatch.\r\n"},
        {0x80020006u, "Unknown name.\r\n"},
        {0x80020007u, "No named arguments.\r\n"},
        {0x80020008u, "Bad variable type.\r\n"},
        {0x80020009u, "Exception occurred.\r\n"},
        {0x8002000Au, "Out of present range.\r\n"},
        {0x8002000Bu, "Invalid index.\r\n"},
        {0x8002000Eu, "Invalid number of parameters.\r\n"},
        {0x8002000Fu, "Parameter not optional.\r\n"},
        {0x80040110u, "Class does not support aggregation (or class object is remote)\r\n"},
        {0x80040111u, "ClassFactory cannot supply requested class\r\n"},
        {0x80040154u, "Class not registered\r\n"},
        {0x800401E3u, "Operation unavailable\r\n"},
        {0x800401F0u, "CoInitialize has not been called.\r\n"},
        {0x800401F3u, "Invalid class string\r\n"},
        {0x80080005u, "Server execution failed\r\n"},
    };
    return table;
}

const char* Lookup(DWORD id)
{
    const auto& table = MessageTable();
    auto it = table.find(id);
    if (it != table.end())
        return it->second;
    // The table files Win32 errors under their code; an HRESULT wrapping one
    // (facility Win32) finds the same text.
    if ((id & 0xFFFF0000u) == 0x80070000u) {
        it = table.find(id & 0xFFFFu);
        if (it != table.end())
            return it->second;
    }
    return nullptr;
}

} // namespace

HLOCAL LocalAlloc(UINT flags, std::size_t bytes)
{
    void* memory = (flags & LMEM_ZEROINIT) ? std::calloc(1, bytes ? bytes : 1) : std::malloc(bytes ? bytes : 1);
    if (!memory)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return memory;
}

HLOCAL LocalFree(HLOCAL memory)
{
    std::free(memory);
    return nullptr;
}

DWORD FormatMessageA(DWORD flags, LPCVOID, DWORD messageId, DWORD languageId, LPSTR buffer, DWORD size, void*)
{
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || (flags & (FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_HMODULE))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // One language installed: neutral, the user's default and English find it.
    WORD primary = languageId & 0x3FF;
    if (languageId != 0 && primary != LANG_NEUTRAL && primary != LANG_ENGLISH) {
        SetLastError(ERROR_RESOURCE_LANG_NOT_FOUND);
        return 0;
    }
    const char* text = Lookup(messageId);
    if (!text) {
        SetLastError(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    std::size_t length = std::strlen(text);
    if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        if (!buffer) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        char* copy = static_cast<char*>(LocalAlloc(LMEM_FIXED, length + 1));
        if (!copy)
            return 0;
        std::memcpy(copy, text, length + 1);
        *reinterpret_cast<char**>(buffer) = copy;
        return static_cast<DWORD>(length);
    }
    if (!buffer || size < length + 1) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, text, length + 1);
    return static_cast<DWORD>(length);
}
