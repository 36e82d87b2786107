#include "cmd/command_guard.h"

#include "automation/com_error_report.h"
#include "common/resource_strings.h"
#include "res/resource.h"

#include <acdocman.h>
#include <afxwin.h>
#include <comdef.h>

void GuardCommand(void (*body)(), GuardFallback fallback)
{
    try {
        body();
    } catch (const _com_error& error) {
        ReportComError(error);
    } catch (COleException* exception) {
        ReportOleException(exception);
        exception->Delete();
    } catch (COleDispatchException* exception) {
        ReportDispatchException(exception);
        exception->Delete();
    } catch (...) {
        if (fallback == GuardFallback::ResourceTexts) {
            const std::string text = ResourceString(IDS_UNEXPECTED_ERROR);
            const std::string caption = ResourceString(IDS_ERROR_TEXT);
            MessageBoxA(adsw_acadMainWnd(), text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
        } else {
            MessageBoxA(adsw_acadMainWnd(), "ERROR: general exception found.", "Error", MB_ICONERROR);
        }
    }
}
