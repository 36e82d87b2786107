#include "automation/com_error_report.h"

#include <afxwin.h>
#include <comdef.h>

#include <cstdarg>
#include <cstdio>

namespace {

// Formats one report line into a buffer of 1024 characters; longer texts
// are cut, as the report promises.
std::string Line(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Line(const char* format, ...)
{
    char buffer[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    return buffer;
}

// UTF-16 error-information text in the ANSI code page; "null" when absent or empty.
std::string AnsiOrNull(BSTR text)
{
    if (!text || SysStringLen(text) == 0)
        return "null";
    const int length = static_cast<int>(SysStringLen(text));
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return "null";
    std::string ansi(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, ansi.data(), size, nullptr, nullptr);
    return ansi;
}

} // namespace

std::string ComErrorMeaning(HRESULT hr)
{
    char buffer[1024];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(hr), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, sizeof buffer, nullptr);
    if (length > 0) {
        std::string text(buffer, length);
        if (!text.empty() && text.back() == '\n') {
            text.pop_back();
            if (!text.empty() && text.back() == '\r')
                text.pop_back();
        }
        return text;
    }
    const auto code = static_cast<DWORD>(hr);
    if (code > 0x80040200u && code <= 0x8004FFFFu)
        return Line("IDispatch error #%d", static_cast<int>(static_cast<WORD>(code - 0x80040200u)));
    return Line("Unknown error 0x%0lX", static_cast<unsigned long>(code));
}

std::string ComErrorReportText(const _com_error& error)
{
    std::string source = "null";
    std::string description = "null";
    if (IErrorInfo* info = error.ErrorInfo()) {
        BSTR text = nullptr;
        if (SUCCEEDED(info->GetSource(&text)))
            source = AnsiOrNull(text);
        SysFreeString(text);
        text = nullptr;
        if (SUCCEEDED(info->GetDescription(&text)))
            description = AnsiOrNull(text);
        SysFreeString(text);
        info->Release();
    }
    std::string report = "COM error!\n";
    report += Line("Code = %08lx\n", static_cast<unsigned long>(static_cast<DWORD>(error.Error())));
    report += Line("Code meaning = %s\n", ComErrorMeaning(error.Error()).c_str());
    report += Line("Source = %s\n", source.c_str());
    report += Line("Description = %s\n", description.c_str());
    return report;
}

void ReportComError(const _com_error& error) { AfxMessageBox(ComErrorReportText(error).c_str(), MB_OK); }

void ReportOleException(const COleException* exception)
{
    AfxMessageBox(Line("Ole Error : 0x%08lX", static_cast<unsigned long>(static_cast<DWORD>(exception->m_sc))).c_str(),
        MB_OK);
}

void ReportDispatchException(const COleDispatchException* exception)
{
    AfxMessageBox(("Dispatch error : " + exception->m_strDescription).c_str(), MB_OK);
}
