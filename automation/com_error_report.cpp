#include "automation/com_error_report.h"

#include "automation/ansi_text.h"

#include <afxwin.h>
#include <comdef.h>

#include <cstdarg>
#include <cstdio>

namespace {

// The longest report line; longer texts are cut, as the report promises.
constexpr std::size_t kReportLineLength = 1024;

std::string Line(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Line(const char* format, ...)
{
    char buffer[kReportLineLength];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    return buffer;
}

// Error-information text in the ANSI code page; "null" when absent, empty
// or not convertible, so that the report itself never fails.
std::string AnsiOrNull(const _bstr_t& text)
{
    if (text.length() == 0)
        return "null";
    try {
        return BstrToAnsi(text);
    } catch (const _com_error&) {
        return "null";
    }
}

} // namespace

std::string ComErrorMeaning(HRESULT hr)
{
    char buffer[kReportLineLength];
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
    if (const WORD automationCode = _com_error::HRESULTToWCode(hr))
        return Line("IDispatch error #%d", static_cast<int>(automationCode));
    return Line("Unknown error 0x%0lX", static_cast<unsigned long>(static_cast<DWORD>(hr)));
}

std::string ComErrorReportText(const _com_error& error)
{
    // Both are null without error information.
    const std::string source = AnsiOrNull(error.Source());
    const std::string description = AnsiOrNull(error.Description());
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
