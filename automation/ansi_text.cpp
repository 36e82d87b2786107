#include "automation/ansi_text.h"

#include <windows.h>

#include <memory>

namespace {

[[noreturn]] void RaiseLastError()
{
    DWORD error = GetLastError();
    _com_issue_error(HRESULT_FROM_WIN32(error ? error : ERROR_INVALID_PARAMETER));
}

// A buffer of `count` units on the stack when it is small enough, else on the heap.
template <class Unit>
class ConversionBuffer {
public:
    explicit ConversionBuffer(int count)
    {
        if (count > kStackConversionChars + 1) {
            heap_ = std::make_unique<Unit[]>(static_cast<std::size_t>(count));
            data_ = heap_.get();
        } else {
            data_ = stack_;
        }
    }
    Unit* data() { return data_; }
    bool OnHeap() const { return heap_ != nullptr; }

private:
    Unit stack_[kStackConversionChars + 1];
    std::unique_ptr<Unit[]> heap_;
    Unit* data_;
};

} // namespace

_bstr_t AnsiToBstr(const char* text)
{
    if (!text)
        return _bstr_t();
    // Bytes that are no text in the code page stop the conversion rather than
    // reach the program as replacement characters.
    int needed = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (needed == 0)
        RaiseLastError();
    ConversionBuffer<WCHAR> buffer(needed);
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, buffer.data(), needed) == 0)
        RaiseLastError();
    BSTR out = SysAllocStringLen(buffer.data(), static_cast<UINT>(needed - 1));
    if (!out)
        _com_issue_error(E_OUTOFMEMORY);
    return _bstr_t(out, false);
}

std::string BstrToAnsi(const WCHAR* text, UINT length)
{
    if (!text || length == 0)
        return std::string();
    // Most texts are short: converted straight into a stack buffer, which
    // spares the call that only measures. A longer one fails there for want
    // of room and takes the measured way below.
    char quick[kStackConversionChars];
    const int converted = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), quick,
                                              static_cast<int>(sizeof quick), nullptr, nullptr);
    if (converted > 0)
        return std::string(quick, static_cast<std::size_t>(converted));
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        RaiseLastError();
    int needed = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (needed == 0)
        RaiseLastError();
    ConversionBuffer<char> buffer(needed);
    if (WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), buffer.data(), needed, nullptr, nullptr) == 0)
        RaiseLastError();
    return std::string(buffer.data(), static_cast<std::size_t>(needed));
}
