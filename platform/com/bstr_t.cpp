#include "codepage.h"
#include "comdef.h"
#include "errhandlingapi.h"

#include <utility>

namespace {

// The ANSI code page to UTF-16, as comsupp's ConvertStringToBSTR does it.
BSTR FromAnsi(const char* text)
{
    if (!text)
        return nullptr;
    int needed = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (needed == 0)
        _com_issue_error(HRESULT_FROM_WIN32(GetLastError()));
    BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(needed - 1));
    if (!out)
        _com_issue_error(E_OUTOFMEMORY);
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, out, needed) == 0) {
        DWORD error = GetLastError();
        SysFreeString(out);
        _com_issue_error(HRESULT_FROM_WIN32(error));
    }
    return out;
}

BSTR Duplicate(const WCHAR* text, UINT length)
{
    BSTR out = SysAllocStringLen(text, length);
    if (!out)
        _com_issue_error(E_OUTOFMEMORY);
    return out;
}

} // namespace

_bstr_t::_bstr_t(const _bstr_t& other) : bstr_(other.bstr_ ? Duplicate(other.bstr_, other.length()) : nullptr) {}

_bstr_t::_bstr_t(_bstr_t&& other) noexcept
    : bstr_(std::exchange(other.bstr_, nullptr)), ansi_(std::move(other.ansi_)), ansiValid_(other.ansiValid_)
{
    other.ansiValid_ = false;
}

_bstr_t::_bstr_t(const char* text) : bstr_(FromAnsi(text)) {}

_bstr_t::_bstr_t(const WCHAR* text)
{
    if (text) {
        bstr_ = SysAllocString(text);
        if (!bstr_)
            _com_issue_error(E_OUTOFMEMORY);
    }
}

_bstr_t::_bstr_t(BSTR text, bool copy) : bstr_(copy && text ? Duplicate(text, SysStringLen(text)) : text) {}

_bstr_t::_bstr_t(const _variant_t& value)
{
    if (value.vt == VT_BSTR) {
        bstr_ = value.bstrVal ? Duplicate(value.bstrVal, SysStringLen(value.bstrVal)) : nullptr;
        return;
    }
    _variant_t text;
    text.ChangeType(VT_BSTR, &value);
    bstr_ = std::exchange(text.bstrVal, nullptr);
    text.vt = VT_EMPTY;
}

_bstr_t::~_bstr_t() { SysFreeString(bstr_); }

_bstr_t& _bstr_t::operator=(const _bstr_t& other)
{
    if (this != &other)
        Assign(other.bstr_);
    return *this;
}

_bstr_t& _bstr_t::operator=(_bstr_t&& other) noexcept
{
    if (this != &other) {
        SysFreeString(bstr_);
        bstr_ = std::exchange(other.bstr_, nullptr);
        ansiValid_ = false;
    }
    return *this;
}

_bstr_t& _bstr_t::operator=(const char* text)
{
    Attach(FromAnsi(text));
    return *this;
}

_bstr_t& _bstr_t::operator=(const WCHAR* text)
{
    _bstr_t copy(text);
    Attach(copy.Detach());
    return *this;
}

_bstr_t& _bstr_t::operator+=(const _bstr_t& other)
{
    UINT left = length(), right = other.length();
    BSTR joined = Duplicate(nullptr, left + right);
    for (UINT i = 0; i < left; ++i)
        joined[i] = bstr_[i];
    for (UINT i = 0; i < right; ++i)
        joined[left + i] = other.bstr_[i];
    Attach(joined);
    return *this;
}

_bstr_t::operator const char*() const
{
    if (!bstr_)
        return nullptr;
    if (!ansiValid_) {
        ansi_.clear();
        UINT count = length();
        if (count) {
            int needed = WideCharToMultiByte(CP_ACP, 0, bstr_, static_cast<int>(count), nullptr, 0, nullptr, nullptr);
            if (needed == 0)
                _com_issue_error(HRESULT_FROM_WIN32(GetLastError()));
            ansi_.resize(static_cast<std::size_t>(needed));
            WideCharToMultiByte(CP_ACP, 0, bstr_, static_cast<int>(count), ansi_.data(), needed, nullptr, nullptr);
        }
        ansiValid_ = true;
    }
    return ansi_.c_str();
}

bool _bstr_t::operator==(const _bstr_t& other) const noexcept
{
    UINT n = length();
    if (n != other.length())
        return false;
    for (UINT i = 0; i < n; ++i)
        if (bstr_[i] != other.bstr_[i])
            return false;
    return true;
}

BSTR _bstr_t::copy(bool copyString) const
{
    if (!copyString)
        return bstr_;
    return bstr_ ? Duplicate(bstr_, length()) : nullptr;
}

void _bstr_t::Assign(BSTR text) { Attach(text ? Duplicate(text, SysStringLen(text)) : nullptr); }

void _bstr_t::Attach(BSTR text)
{
    if (text != bstr_)
        SysFreeString(bstr_);
    bstr_ = text;
    ansiValid_ = false;
}

BSTR _bstr_t::Detach() noexcept
{
    ansiValid_ = false;
    return std::exchange(bstr_, nullptr);
}
