#include "comdef.h"

#include <cstdio>
#include <cstring>

_com_error::_com_error(HRESULT hr, IErrorInfo* errorInfo, bool addRef) noexcept : hr_(hr), errorInfo_(errorInfo)
{
    if (errorInfo_ && addRef)
        errorInfo_->AddRef();
}

_com_error::_com_error(const _com_error& other) noexcept
    : hr_(other.hr_), errorInfo_(other.errorInfo_), message_(other.message_), messageReady_(other.messageReady_)
{
    if (errorInfo_)
        errorInfo_->AddRef();
}

_com_error& _com_error::operator=(const _com_error& other) noexcept
{
    if (this != &other) {
        if (other.errorInfo_)
            other.errorInfo_->AddRef();
        if (errorInfo_)
            errorInfo_->Release();
        hr_ = other.hr_;
        errorInfo_ = other.errorInfo_;
        message_ = other.message_;
        messageReady_ = other.messageReady_;
    }
    return *this;
}

_com_error::~_com_error()
{
    if (errorInfo_)
        errorInfo_->Release();
}

IErrorInfo* _com_error::ErrorInfo() const noexcept
{
    if (errorInfo_)
        errorInfo_->AddRef();
    return errorInfo_;
}

namespace {
_bstr_t Take(IErrorInfo* info, HRESULT (IErrorInfo::*get)(BSTR*))
{
    BSTR text = nullptr;
    if (info && SUCCEEDED((info->*get)(&text)))
        return _bstr_t(text, false);
    return _bstr_t();
}
} // namespace

_bstr_t _com_error::Description() const { return Take(errorInfo_, &IErrorInfo::GetDescription); }
_bstr_t _com_error::Source() const { return Take(errorInfo_, &IErrorInfo::GetSource); }

const char* _com_error::ErrorMessage() const noexcept
{
    if (messageReady_)
        return message_.c_str();
    try {
        char* text = nullptr;
        DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, static_cast<DWORD>(hr_), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                      reinterpret_cast<LPSTR>(&text), 0, nullptr);
        if (length && text) {
            // One final line feed goes, with the carriage return before it.
            if (length > 1 && text[length - 1] == '\n') {
                text[--length] = 0;
                if (text[length - 1] == '\r')
                    text[--length] = 0;
            }
            message_.assign(text, length);
            LocalFree(text);
        } else {
            char buffer[32];
            if (WORD code = WCode())
                std::snprintf(buffer, sizeof buffer, "IDispatch error #%d", code);
            else
                std::snprintf(buffer, sizeof buffer, "Unknown error 0x%0lX", static_cast<unsigned long>(hr_ & 0xFFFFFFFFu));
            message_ = buffer;
        }
    } catch (...) {
        message_.clear(); // no memory for the text: an empty meaning
    }
    messageReady_ = true;
    return message_.c_str();
}

void _com_raise_error(HRESULT hr, IErrorInfo* errorInfo) { throw _com_error(hr, errorInfo); }

void _com_issue_error(HRESULT hr) { _com_raise_error(hr, nullptr); }
