// How a COM failure that reached a command guard is shown to the user. The
// texts are fixed English built around the failure's own data.
#pragma once
#include <windows.h>

#include <string>

class _com_error;
class COleException;
class COleDispatchException;

void ReportComError(const _com_error& error);
void ReportOleException(const COleException* exception);
void ReportDispatchException(const COleDispatchException* exception);

// The system's message text for `hr` without its final line end; else the
// automation-error or unknown-error form.
std::string ComErrorMeaning(HRESULT hr);
// The five lines ReportComError shows.
std::string ComErrorReportText(const _com_error& error);
