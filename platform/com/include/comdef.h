// Stand-in for comdef.h: the _com_error exception that carries a failed
// HRESULT with the error information of the failing call, the functions that
// raise it, and the smart-pointer typedefs of the standard interfaces.
#pragma once
#include "comip.h"
#include "winbase.h"

#include <string>

class _com_error {
public:
    // Takes over one reference to `errorInfo` unless addRef is true.
    explicit _com_error(HRESULT hr, IErrorInfo* errorInfo = nullptr, bool addRef = false) noexcept;
    _com_error(const _com_error& other) noexcept;
    _com_error& operator=(const _com_error& other) noexcept;
    virtual ~_com_error();

    HRESULT Error() const noexcept { return hr_; }
    // Automation error number: HRESULT - 0x80040200 inside the automation range, else 0.
    WORD WCode() const noexcept { return HRESULTToWCode(hr_); }
    IErrorInfo* ErrorInfo() const noexcept; // AddRef'd, null without error information

    // From the error information; null strings without it.
    _bstr_t Description() const;
    _bstr_t Source() const;

    // The system's text for the HRESULT with its final line break removed, or
    // "IDispatch error #N" / "Unknown error 0x..." when the system has none.
    // Computed on first use and kept with the error.
    const char* ErrorMessage() const noexcept;

    static HRESULT WCodeToHRESULT(WORD code) noexcept
    {
        return static_cast<HRESULT>(code >= 0xFE00 ? 0x8004FFFFu : 0x80040200u + code);
    }
    static WORD HRESULTToWCode(HRESULT hr) noexcept
    {
        auto u = static_cast<DWORD>(hr);
        return (u > 0x80040200u && u <= 0x8004FFFFu) ? static_cast<WORD>(u - 0x80040200u) : 0;
    }

private:
    HRESULT hr_;
    IErrorInfo* errorInfo_;
    mutable std::string message_;
    mutable bool messageReady_ = false;
};

// Throw _com_error(hr); the errex form attaches the thread's error
// information when the object says its interface supplies it.
[[noreturn]] void _com_issue_error(HRESULT hr);
// The same with error information already in hand (one reference taken over).
[[noreturn]] void _com_raise_error(HRESULT hr, IErrorInfo* errorInfo = nullptr);

_COM_SMARTPTR_TYPEDEF(IUnknown, __uuidof(IUnknown));
_COM_SMARTPTR_TYPEDEF(IDispatch, __uuidof(IDispatch));
_COM_SMARTPTR_TYPEDEF(IErrorInfo, __uuidof(IErrorInfo));
_COM_SMARTPTR_TYPEDEF(ICreateErrorInfo, __uuidof(ICreateErrorInfo));
_COM_SMARTPTR_TYPEDEF(ISupportErrorInfo, __uuidof(ISupportErrorInfo));
